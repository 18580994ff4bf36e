// The ESI export of the EtherCAT gateway page: the template's device with the page's identity and
// one PDO per request row.
#include "apppaths.h"
#include "ecatmodbusconfig.h"
#include "modbusconfigfiles.h"
#include "modbusfunctioncode.h"
#include "prompts.h"
#include "ui_ecatmodbusconfig.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTableWidget>
#include <QTextStream>

namespace {

QDomElement textElement(QDomDocument &doc, const QString &tag, const QString &text)
{
    QDomElement element = doc.createElement(tag);
    element.appendChild(doc.createTextNode(text));
    return element;
}

QDomElement firstChildNamed(const QDomNode &parent, const QString &tag)
{
    return parent.isNull() ? QDomElement() : parent.firstChildElement(tag);
}

} // namespace

void EcatModbusConfig::on_pushButton_ESI_clicked()
{
    const QString path = Prompts::getSaveFileName(
        nullptr, tr("选择文件"), ModbusConfigFiles::desktop() + "/Ethercatmodbusmaster.xml", "Template Files(*.xml)");
    if (path.isEmpty())
        return;
    writeEsi(path);
}

bool EcatModbusConfig::writeEsi(const QString &path)
{
    if (ui->lineEdit_code->text().isEmpty()) {
        Prompts::warning(nullptr, tr("错误"), tr("产品代码不能为空"));
        return false;
    }
    const QString templatePath = AppPaths::find("/Template/VRG7310_Template.xml");
    if (!QFileInfo::exists(templatePath)) {
        Prompts::warning(nullptr, tr("错误"), tr("模板文件丢失，创建文件失败"));
        return false;
    }
    QFile file(templatePath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QDomDocument doc;
    if (!doc.setContent(&file)) {
        Prompts::warning(nullptr, tr("错误"), "XML文件格式错误,打开失败");
        return false;
    }
    file.close();

    const QDomElement devices = firstChildNamed(firstChildNamed(doc.documentElement(), "Descriptions"), "Devices");
    QDomElement device = devices.isNull() ? QDomElement() : devices.firstChildElement();
    QDomElement txAnchor;
    QDomElement rxAnchor;
    for (QDomElement child = device.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
        if (child.tagName() == "Type")
            setTypeElement(child);
        else if (child.tagName() == "Name")
            setNameElement(child);
        else if (child.tagName() == "TxPdo")
            txAnchor = child;
        else if (child.tagName() == "RxPdo")
            rxAnchor = child;
    }
    addTxPdos(doc, txAnchor);
    addRxPdos(doc, rxAnchor);
    if (!txAnchor.isNull())
        device.removeChild(txAnchor);
    if (!rxAnchor.isNull())
        device.removeChild(rxAnchor);

    // Written whole or not at all: an existing file stays until the new one is complete.
    QSaveFile out(path);
    bool written = out.open(QIODevice::WriteOnly | QIODevice::Text);
    if (written) {
        QTextStream stream(&out);
        doc.save(stream, 4);
        stream.flush();
        written = stream.status() == QTextStream::Ok && out.commit();
    }
    if (!written)
        Prompts::warning(nullptr, tr("错误"), tr("创建文件失败"));
    return written;
}

void EcatModbusConfig::setTypeElement(QDomNode type)
{
    QString name = ui->lineEdit_name->text();
    name.remove(QRegularExpression("\\s"));
    type.toElement().setAttribute("ProductCode", "#x" + ui->lineEdit_code->text());
    if (type.hasChildNodes())
        type.firstChild().setNodeValue(name);
}

void EcatModbusConfig::setNameElement(QDomNode nameNode)
{
    QString name = ui->lineEdit_name->text();
    name.remove(QRegularExpression("\\s"));
    if (nameNode.hasChildNodes())
        nameNode.firstChild().setNodeValue(name);
}

QDomElement EcatModbusConfig::makePdoEntry(
    QDomDocument doc, const QString &name, int index, int subIndex, int bitLen, bool bitArray)
{
    QDomElement entry = doc.createElement("Entry");
    entry.appendChild(textElement(doc, "Index", "#x" + QString::number(index, 16)));
    entry.appendChild(textElement(doc, "SubIndex", QString::number(subIndex + 1)));
    entry.appendChild(textElement(doc, "BitLen", QString::number(bitLen)));
    entry.appendChild(textElement(doc, "Name", name));
    entry.appendChild(textElement(doc, "DataType", bitArray ? "BITARR16" : "UINT"));
    return entry;
}

void EcatModbusConfig::addPdos(QDomDocument doc, QDomNode anchor, bool transmit)
{
    if (anchor.isNull())
        return;
    QDomNode parent = anchor.parentNode();
    const QString tag = transmit ? "TxPdo" : "RxPdo";
    const QString sm = transmit ? "3" : "2";
    const auto makePdo = [&](const QString &index, const QString &name) {
        QDomElement pdo = doc.createElement(tag);
        pdo.setAttribute("Sm", sm);
        pdo.setAttribute("Mandatory", "true");
        pdo.setAttribute("Fixed", "true");
        pdo.appendChild(textElement(doc, "Index", index));
        pdo.appendChild(textElement(doc, "Name", name));
        parent.insertBefore(pdo, anchor);
        return pdo;
    };
    int n = 0;
    for (int row = 0; row < ui->tableWidget->rowCount(); ++row) {
        const int function = rowFunction(row);
        if (function < 0 || (transmit ? !ModbusFunctionCode::isRead(function) : !ModbusFunctionCode::isWrite(function)))
            continue;
        const QString name = rowName(row);
        QDomElement pdo = makePdo("#x" + QString::number((transmit ? 0x1a00 : 0x1600) + n, 16), name);
        const int entries = (rowBitLength(row) - 1) / 16 + 1;
        for (int j = 0; j < entries; ++j) {
            pdo.appendChild(makePdoEntry(
                doc, name + "_" + QString::number(j), (transmit ? 0x6000 : 0x7000) + n, j, 16, rowBitAccess(row)));
        }
        ++n;
    }
    if (transmit ? ui->checkBox_state->isChecked() : ui->checkBox_ctl->isChecked()) {
        QDomElement pdo = makePdo(transmit ? "#x1Aff" : "#x16ff", transmit ? "slot_state" : "slot_Ctl");
        QDomElement entry = doc.createElement("Entry");
        entry.appendChild(textElement(doc, "Index", transmit ? "#x2002" : "#x2001"));
        entry.appendChild(textElement(doc, "SubIndex", "0"));
        entry.appendChild(textElement(doc, "BitLen", "32"));
        entry.appendChild(textElement(doc, "Name", transmit ? "slot_state_reg" : "slot_ctl_reg"));
        entry.appendChild(textElement(doc, "DataType", "BITARR32"));
        pdo.appendChild(entry);
    }
}

void EcatModbusConfig::addTxPdos(QDomDocument doc, QDomNode anchor)
{
    addPdos(doc, anchor, true);
}

void EcatModbusConfig::addRxPdos(QDomDocument doc, QDomNode anchor)
{
    addPdos(doc, anchor, false);
}
