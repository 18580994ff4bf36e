#include "mscomm_config.h"

#include "apppaths.h"
#include "gatewaytable.h"
#include "iopoint.h"
#include "modbusconfigfiles.h"
#include "modbusfunctioncode.h"
#include "module.h"
#include "mscomm_configcodec.h"
#include "prompts.h"
#include "ui_mscomm_config.h"
#include "xlsxsheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHash>
#include <QLineEdit>
#include <QSet>
#include <QSpinBox>

namespace {

const char *const context = "mscomm_config";

enum Column {
    PortColumn,
    SlaveColumn,
    FunctionColumn,
    RegisterColumn,
    SwapColumn,
    InLenColumn,
    OutLenColumn,
    TriggerColumn,
    PollColumn,
    TimeoutColumn,
    InColumn,
    OutColumn,
    DescriptionColumn
};

constexpr int FreeProtocol = 8;

const char *const freeText = QT_TRANSLATE_NOOP("mscomm_config", "自由协议");
const char *const portTexts[]
    = { QT_TRANSLATE_NOOP("mscomm_config", "端口1"), QT_TRANSLATE_NOOP("mscomm_config", "端口2") };
const char *const triggerTexts[]
    = { QT_TRANSLATE_NOOP("mscomm_config", "时间轮询"), QT_TRANSLATE_NOOP("mscomm_config", "改变触发") };

QString functionText(int index)
{
    return index == FreeProtocol ? QCoreApplication::translate(context, freeText)
                                 : ModbusFunctionCode::text(index, context);
}

int functionCode(int index)
{
    return index == FreeProtocol ? 0 : ModbusFunctionCode::code(index);
}

using GatewayTable::RightClick;

} // namespace

mscomm_config::mscomm_config(QWidget *parent)
    : menubase(parent)
    , ui(new Ui::mscomm_config)
{
    setTitle(tr("通讯配置"));
    ownsRest = true;
    buildUnlessDeferred();
}

void mscomm_config::buildPage()
{
    ui->setupUi(this);
    m_cells = GatewayTable::Cells(ui->tableWidget);
    ui->tableWidget->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->tableWidget, &QWidget::customContextMenuRequested, this, &mscomm_config::show_menu);
    for (int i = 0; i < ui->tableWidget->columnCount(); ++i)
        ui->tableWidget->setColumnWidth(i, 80);
    ui->tableWidget->setColumnWidth(FunctionColumn, 150);
    ui->tableWidget->setColumnWidth(RegisterColumn, 110);
    ui->tableWidget->setColumnWidth(DescriptionColumn, 250);
    GatewayTable::fitHeaderTexts(ui->tableWidget);
    for (QLineEdit *edit : { ui->lineEdit_sumslots, ui->lineEdit_suminsize, ui->lineEdit_sumoutsize }) {
        edit->setText("0");
        edit->setReadOnly(true);
    }
    ui->swapcheckBox->setEnabled(false);
}

mscomm_config::~mscomm_config()
{
    if (isBuilt())
        clearRows();
    delete ui;
}

QLineEdit *mscomm_config::description(int row) const
{
    return m_cells.lineEdit(row, DescriptionColumn);
}

void mscomm_config::setDescription(int row, const QString &text)
{
    ui->tableWidget->setCellWidget(row, DescriptionColumn, GatewayTable::makeDescription(text));
}

// Ranges, values and enabling of a row's fields for function index.
void mscomm_config::applyFunction(int row, int index)
{
    QSpinBox *in = m_cells.spin(row, InLenColumn);
    QSpinBox *out = m_cells.spin(row, OutLenColumn);
    const QSignalBlocker blockIn(in);
    const QSignalBlocker blockOut(out);
    if (index < 4) {
        in->setRange(1, 128);
        in->setEnabled(true);
        out->setRange(0, 0);
        out->setEnabled(false);
    } else if (ModbusFunctionCode::isSingleWrite(index)) {
        in->setRange(0, 0);
        in->setEnabled(false);
        out->setRange(1, 1);
        out->setEnabled(false);
    } else if (index < FreeProtocol) {
        in->setRange(0, 0);
        in->setEnabled(false);
        out->setRange(1, 128);
        out->setEnabled(true);
    } else {
        in->setRange(0, 128);
        in->setEnabled(true);
        out->setRange(0, 128);
        out->setEnabled(true);
    }
    if (QComboBox *trigger = m_cells.combo(row, TriggerColumn)) {
        trigger->setCurrentIndex(0);
        trigger->setEnabled(ModbusFunctionCode::isWrite(index));
    }
    QSpinBox *slave = m_cells.spin(row, SlaveColumn);
    if (index == FreeProtocol) {
        slave->setRange(0, 255);
        slave->setValue(0);
        slave->setEnabled(false);
        m_cells.spin(row, RegisterColumn)->setValue(0);
        m_cells.spin(row, RegisterColumn)->setEnabled(false);
        if (QCheckBox *swap = m_cells.check(row, SwapColumn))
            swap->setEnabled(false);
    } else {
        slave->setRange(1, 255);
    }
}

int mscomm_config::insertRow(int port, int slave, int functionIndex, int reg, int inLen, int outLen)
{
    QTableWidget *table = ui->tableWidget;
    const int row = table->rowCount();
    table->insertRow(row);

    QComboBox *portBox = GatewayTable::makeCombo(RightClick::TableMenu);
    portBox->addItem(tr(portTexts[0]), 1);
    portBox->addItem(tr(portTexts[1]), 2);
    // Only two ports exist; anything else is port 1.
    portBox->setCurrentIndex(port == 1 ? 1 : 0);
    table->setCellWidget(row, PortColumn, portBox);
    table->setCellWidget(row, SlaveColumn, GatewayTable::makeSpin(1, 255, slave, RightClick::TableMenu));
    QComboBox *function = GatewayTable::makeCombo(RightClick::TableMenu);
    for (int i = 0; i <= FreeProtocol; ++i)
        function->addItem(functionText(i), functionCode(i));
    function->setCurrentIndex(functionIndex);
    table->setCellWidget(row, FunctionColumn, function);
    table->setCellWidget(row, RegisterColumn, GatewayTable::makeSpin(0, 65535, reg, RightClick::TableMenu));
    table->setCellWidget(row, SwapColumn, GatewayTable::centred(new QCheckBox));
    table->setCellWidget(row, InLenColumn, GatewayTable::makeSpin(0, 128, 0, RightClick::TableMenu));
    table->setCellWidget(row, OutLenColumn, GatewayTable::makeSpin(0, 128, 0, RightClick::TableMenu));
    QComboBox *trigger = GatewayTable::makeCombo(RightClick::TableMenu);
    trigger->addItem(tr(triggerTexts[0]), 1);
    trigger->addItem(tr(triggerTexts[1]), 2);
    table->setCellWidget(row, TriggerColumn, trigger);
    table->setCellWidget(row, PollColumn, GatewayTable::makeSpin(10, 10000, 300, RightClick::TableMenu));
    table->setCellWidget(row, TimeoutColumn, GatewayTable::makeSpin(100, 10000, 100, RightClick::TableMenu));
    table->setItem(row, InColumn, GatewayTable::readOnlyItem());
    table->setItem(row, OutColumn, GatewayTable::readOnlyItem());
    setDescription(row, QString());

    applyFunction(row, functionIndex);
    m_cells.spin(row, InLenColumn)->setValue(inLen);
    m_cells.spin(row, OutLenColumn)->setValue(outLen);
    connect(
        function, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &mscomm_config::comboxcurrentIndexChanged);
    connect(m_cells.spin(row, InLenColumn), QOverload<int>::of(&QSpinBox::valueChanged), this,
        &mscomm_config::inlenvaluechanged);
    connect(m_cells.spin(row, OutLenColumn), QOverload<int>::of(&QSpinBox::valueChanged), this,
        &mscomm_config::outlenvaluechanged);
    table->setCurrentCell(row, 0);
    return row;
}

void mscomm_config::rowDataSize(int row, int &inBytes, int &outBytes)
{
    inBytes = 0;
    outBytes = 0;
    QComboBox *function = m_cells.combo(row, FunctionColumn);
    if (!function)
        return;
    const int nIn = m_cells.spin(row, InLenColumn) ? m_cells.spin(row, InLenColumn)->value() : 0;
    const int nOut = m_cells.spin(row, OutLenColumn) ? m_cells.spin(row, OutLenColumn)->value() : 0;
    switch (function->currentIndex()) {
    case 0:
    case 1:
        inBytes = 2 * ((nIn + 15) / 16);
        break;
    case 2:
    case 3:
        inBytes = 2 * nIn;
        break;
    case 4:
    case 6:
        outBytes = 2 * ((nOut + 15) / 16);
        break;
    case 5:
    case 7:
        outBytes = 2 * nOut;
        break;
    case FreeProtocol:
        inBytes = nIn;
        outBytes = nOut;
        break;
    default:
        break;
    }
}

void mscomm_config::updateAddresses()
{
    QTableWidget *table = ui->tableWidget;
    GatewayTable::ImageNumbering in(0);
    GatewayTable::ImageNumbering out(0);
    for (int row = 0; row < table->rowCount(); ++row) {
        int h = 0;
        int k = 0;
        rowDataSize(row, h, k);
        in.place(table->item(row, InColumn), h);
        out.place(table->item(row, OutColumn), k);
    }
    const int rows = table->rowCount();
    const int sIn = (in.size() + 1) / 2 * 2;
    if (ui->checkBox_state->isChecked()) {
        const int words = ((2 * rows - 1) >> 4) + 1;
        ui->lineEdit_stateadd->setText(QString("I(%1..%2)").arg(sIn).arg(sIn + 2 * words));
        m_inTotal = sIn + 2 * words;
        stateStart = sIn;
    } else {
        ui->lineEdit_stateadd->clear();
        m_inTotal = sIn;
    }
    const int sOut = (out.size() + 1) / 2 * 2;
    if (ui->checkBox_ctl->isChecked()) {
        const int words = ((rows - 1) >> 4) + 1;
        ui->lineEdit_ctladd->setText(QString("Q(%1..%2)").arg(sOut).arg(sOut + 2 * words));
        m_outTotal = sOut + 2 * words;
        ctlStart = sOut;
    } else {
        ui->lineEdit_ctladd->clear();
        m_outTotal = sOut;
    }
    rebuildIoPoints();
    ui->lineEdit_sumslots->setText(QString::number(rows));
    ui->lineEdit_suminsize->setText(QString::number(m_inTotal));
    ui->lineEdit_sumoutsize->setText(QString::number(m_outTotal));
    // Renumbering runs inside a field's signal or the reply that brought the block: the
    // warnings open once that is over.
    if (in.overflows(Maxinputsize))
        Prompts::warningLater(this, tr("错误"), tr("超出了输入数据长度"));
    if (out.overflows(Maxoutputsize))
        Prompts::warningLater(this, tr("错误"), tr("超出了输出数据长度"));
}

void mscomm_config::addRowIoPoints(
    int row, int inStart, int outStart, QList<IoPoint *> &inputs, QList<IoPoint *> &outputs)
{
    int h = 0;
    int k = 0;
    rowDataSize(row, h, k);
    const int index = m_cells.combo(row, FunctionColumn)->currentIndex();
    const bool free = index == FreeProtocol;
    // Coils show bit by bit, registers in hexadecimal.
    const int format = free ? 0 : (index == 0 || index == 4 || index == 6) ? 2 : 1;
    const int slave = m_cells.spin(row, SlaveColumn)->value();
    const auto add = [&](QList<IoPoint *> &list, int direction, int start, int bytes) {
        const int step = free ? 1 : 2;
        for (int offset = 0; offset + step <= bytes; offset += step) {
            auto *point = new IoPoint;
            point->size = step;
            point->number = start + offset;
            point->name = QString("slave:%1_slot:%2_index:%3").arg(slave).arg(row).arg(offset);
            point->direction = direction;
            point->dataType = free ? 0 : 1;
            point->format = format;
            point->updateAddress();
            list.append(point);
        }
    };
    if (h > 0)
        add(inputs, 0, inStart, h);
    if (k > 0)
        add(outputs, 1, outStart, k);
}

void mscomm_config::rebuildIoPoints()
{
    if (!owner || owner->kind != 0)
        return;
    auto *mod = dynamic_cast<module *>(owner);
    if (!mod)
        return;
    // The I/O page reads the image inputs first, so every input point comes before any output.
    QList<IoPoint *> inputs;
    QList<IoPoint *> outputs;
    int inCounter = 0;
    int outCounter = 0;
    const int rows = ui->tableWidget->rowCount();
    for (int row = 0; row < rows; ++row) {
        int h = 0;
        int k = 0;
        rowDataSize(row, h, k);
        addRowIoPoints(row, inCounter + 1, outCounter + 1, inputs, outputs);
        inCounter += h;
        outCounter += k;
    }
    const auto area = [](QList<IoPoint *> &list, int direction, int start, int words, const QString &pattern) {
        for (int j = 0; j < 2 * words; j += 2) {
            auto *point = new IoPoint;
            point->size = 2;
            point->number = start + j;
            point->name = pattern.arg(j);
            point->direction = direction;
            point->dataType = 1;
            point->format = 2;
            point->updateAddress();
            list.append(point);
        }
    };
    if (rows > 0 && ui->checkBox_state->isChecked())
        area(inputs, 0, stateStart, ((2 * rows - 1) >> 4) + 1, "state_%1");
    if (rows > 0 && ui->checkBox_ctl->isChecked())
        area(outputs, 1, ctlStart, ((rows - 1) >> 4) + 1, "Ctl_%1");
    const QList<IoPoint *> old = mod->ioPoints;
    mod->ioPoints = inputs + outputs;
    m_madePoints = mod->ioPoints;
    mod->updatePages();
    // Pages may still hold the old points until they have seen the new list.
    qDeleteAll(old);
}

void mscomm_config::setOwner(modulebase *newOwner)
{
    ensureBuilt();
    menubase::setOwner(newOwner);
    // A scan gives a new module points from its reported image lengths before (or without) a
    // parameter reply; once the scan is over the module's points are the table's again. Points
    // the table made stay, with the choices the I/O page made for them.
    auto *mod = dynamic_cast<module *>(newOwner);
    if (mod && mod->ioPoints != m_madePoints)
        rebuildIoPoints();
}

int mscomm_config::inputSize()
{
    ensureBuilt();
    return m_inTotal;
}

int mscomm_config::outputSize()
{
    ensureBuilt();
    return m_outTotal;
}

void mscomm_config::show_menu(QPoint)
{
    GatewayTable::popupRowMenu(
        this, tr("增加"), tr("删除"), [this] { additem(); }, [this] { delitem(); });
}

void mscomm_config::additem(bool)
{
    const int n = ui->tableWidget->rowCount();
    if (n >= Maxslotnum) {
        Prompts::warning(nullptr, tr("错误"), tr("超出槽数量"));
        return;
    }
    int port = 0;
    int function = 2;
    int inLen = 1;
    int outLen = 1;
    if (n > 0) {
        port = m_cells.combo(n - 1, PortColumn)->currentIndex();
        function = m_cells.combo(n - 1, FunctionColumn)->currentIndex();
        inLen = m_cells.spin(n - 1, InLenColumn)->value();
        outLen = m_cells.spin(n - 1, OutLenColumn)->value();
    }
    insertRow(port, n + 1, function, 0, inLen, outLen);
    updateAddresses();
    ui->tableWidget->setCurrentCell(n, 0);
}

int mscomm_config::addRowWithValues(const MscomRequestRow &values)
{
    if (ui->tableWidget->rowCount() >= Maxslotnum) {
        Prompts::warning(nullptr, tr("错误"), tr("超出了槽数量"));
        return -1;
    }
    const int index = values.code == 0 ? FreeProtocol : ModbusFunctionCode::indexOf(values.code);
    const int row = insertRow(values.port, values.slave, index, values.reg, values.inLen, values.outLen);
    if (QComboBox *trigger = m_cells.combo(row, TriggerColumn)) {
        if (ModbusFunctionCode::isWrite(index) || index == FreeProtocol) {
            trigger->setCurrentIndex(values.trigger < 2 ? values.trigger : 0);
            trigger->setEnabled(true);
        } else {
            trigger->setCurrentIndex(0);
            trigger->setEnabled(false);
        }
    }
    m_cells.spin(row, PollColumn)->setValue(int(qMin<quint32>(values.pollTime, 10000)));
    m_cells.spin(row, TimeoutColumn)->setValue(int(qMin<quint32>(values.timeout, 10000)));
    m_cells.check(row, SwapColumn)->setChecked(values.swap & 1);
    return row;
}

void mscomm_config::setFunctionCode(int row, int code)
{
    QComboBox *function = m_cells.combo(row, FunctionColumn);
    if (!function)
        return;
    function->setCurrentIndex(code == 0 ? FreeProtocol : ModbusFunctionCode::indexOf(code));
}

void mscomm_config::removeRow(int row)
{
    // Removing the row deletes its fields; their signals must not reach a half-removed row.
    for (int column = 0; column < ui->tableWidget->columnCount(); ++column) {
        if (QWidget *field = ui->tableWidget->cellWidget(row, column))
            field->disconnect(this);
    }
    ui->tableWidget->removeRow(row);
}

void mscomm_config::clearRows()
{
    for (int row = ui->tableWidget->rowCount() - 1; row >= 0; --row)
        removeRow(row);
}

void mscomm_config::delitem(bool)
{
    const QList<QTableWidgetItem *> selected = ui->tableWidget->selectedItems();
    if (selected.isEmpty()) {
        const int row = ui->tableWidget->currentRow();
        if (row < 0)
            return;
        removeRow(row);
    } else {
        QList<int> rows;
        for (QTableWidgetItem *item : selected) {
            if (!rows.contains(item->row()))
                rows.append(item->row());
        }
        std::sort(rows.begin(), rows.end(), std::greater<int>());
        for (int row : rows)
            removeRow(row);
    }
    updateAddresses();
}

void mscomm_config::comboxcurrentIndexChanged(int index)
{
    // The box that changed names the row; the table's current row may be another one.
    const int row = m_cells.senderRow(sender());
    if (row < 0)
        return;
    applyFunction(row, index);
    updateAddresses();
}

void mscomm_config::inlenvaluechanged(int)
{
    updateAddresses();
}

void mscomm_config::outlenvaluechanged(int)
{
    updateAddresses();
}

void mscomm_config::on_checkBox_state_stateChanged(int)
{
    const bool any = ui->checkBox_state->isChecked() || ui->checkBox_ctl->isChecked();
    if (!any)
        ui->swapcheckBox->setChecked(false);
    ui->swapcheckBox->setEnabled(any);
    updateAddresses();
}

void mscomm_config::on_checkBox_ctl_stateChanged(int state)
{
    on_checkBox_state_stateChanged(state);
}

QByteArray mscomm_config::getParamData()
{
    ensureBuilt();
    MscomBlock block;
    const int swap = ui->swapcheckBox->isChecked() ? 1 : 0;
    block.stateMode = quint8(ui->checkBox_state->isChecked() ? 1 + swap : 0);
    block.ctlMode = quint8(ui->checkBox_ctl->isChecked() ? 1 + swap : 0);
    for (int row = 0; row < ui->tableWidget->rowCount(); ++row) {
        MscomRequestRow r;
        r.port = quint8(m_cells.combo(row, PortColumn)->currentIndex());
        r.slave = quint8(m_cells.spin(row, SlaveColumn)->value());
        r.code = quint8(m_cells.combo(row, FunctionColumn)->currentData().toInt());
        r.inLen = quint8(m_cells.spin(row, InLenColumn)->value());
        r.outLen = quint8(m_cells.spin(row, OutLenColumn)->value());
        r.trigger = quint8(m_cells.combo(row, TriggerColumn)->currentIndex());
        r.swap = m_cells.check(row, SwapColumn)->isChecked() ? 1 : 0;
        r.reg = quint16(m_cells.spin(row, RegisterColumn)->value());
        r.pollTime = quint32(m_cells.spin(row, PollColumn)->value());
        r.timeout = quint32(m_cells.spin(row, TimeoutColumn)->value());
        block.rows.append(r);
    }
    return encodeMscomBlock(block);
}

int mscomm_config::setParamData(QByteArray data)
{
    ensureBuilt();
    if (data.isEmpty())
        return 0;
    const MscomBlock block = decodeMscomBlock(data);
    const qint8 state = qint8(block.stateMode);
    const qint8 ctl = qint8(block.ctlMode);
    ui->checkBox_state->setChecked(state > 0);
    ui->checkBox_ctl->setChecked(ctl > 0);
    ui->swapcheckBox->setChecked(state > 1 || ctl >= 2);
    for (MscomRequestRow row : block.rows) {
        // The module keeps the trigger mode in the low two bits of its byte.
        row.trigger &= 3;
        // Reading a block never stops at the slot limit: the module holds these rows already.
        const int keep = Maxslotnum;
        Maxslotnum = INT_MAX;
        addRowWithValues(row);
        Maxslotnum = keep;
    }
    updateAddresses();
    return int(data.size());
}

void mscomm_config::retranslate(int lang)
{
    if (deferRetranslate(lang)) {
        setTitle(tr("通讯配置"));
        return;
    }
    ui->retranslateUi(this);
    GatewayTable::fitHeaderTexts(ui->tableWidget);
    setTitle(tr("通讯配置"));
    for (int row = 0; row < ui->tableWidget->rowCount(); ++row) {
        if (QComboBox *box = m_cells.combo(row, FunctionColumn)) {
            for (int i = 0; i <= FreeProtocol && i < box->count(); ++i)
                box->setItemText(i, functionText(i));
        }
        if (QComboBox *box = m_cells.combo(row, TriggerColumn)) {
            for (int i = 0; i < 2 && i < box->count(); ++i)
                box->setItemText(i, tr(triggerTexts[i]));
        }
    }
    language = lang;
}

void mscomm_config::on_pushButton_newExcel_clicked()
{
    const QString name = language != 0 ? "/Template/mscommconfig_En.xlsx" : "/Template/mscommconfig_Zh.xlsx";
    ModbusConfigFiles::copyTemplate(context, AppPaths::find(name), "mscommconfig.xlsx", "BOM Files(*.xlsx)");
}

void mscomm_config::on_pushButton_Import_clicked()
{
    QHash<QString, int> codes;
    for (int i = 0; i <= FreeProtocol; ++i)
        codes.insert(functionText(i), functionCode(i));
    const QString yes = tr("是");
    const QString port2 = tr(portTexts[1]);
    const auto read = [this, &codes, &yes, &port2](const XlsxSheet &sheet) {
        QList<QPair<MscomRequestRow, QString>> rows;
        for (int r = 2; r < Maxslotnum; ++r) {
            if (!sheet.hasCell(r, 2) || !sheet.hasCell(r, 3) || !sheet.hasCell(r, 4) || !sheet.hasCell(r, 6))
                break;
            const auto code = codes.constFind(sheet.text(r, 3));
            if (code == codes.constEnd())
                continue;
            const auto number = [&sheet, r](int column, uint absent) {
                const QString text = sheet.text(r, column);
                return text.isEmpty() ? absent : ModbusConfigFiles::number(text);
            };
            MscomRequestRow values;
            values.port = sheet.text(r, 1) == port2 ? 1 : 0;
            values.slave = quint8(qMin(number(2, 0), 255u));
            values.code = quint8(*code);
            values.reg = quint16(qMin(number(4, 0), 65535u));
            const quint8 length = quint8(qMin(number(6, 0), 255u));
            values.inLen = length;
            values.outLen = length;
            values.trigger = quint8(qMin(number(8, 0), 255u));
            values.pollTime = number(9, 200);
            values.timeout = number(10, 100);
            values.swap = sheet.text(r, 5) == yes ? 1 : 0;
            rows.append({ values, sheet.text(r, 13) });
        }
        return rows;
    };
    ModbusConfigFiles::importRows(
        context, "BOM Files(*.xlsx)", read, [this](const QList<QPair<MscomRequestRow, QString>> &rows) {
            clearRows();
            for (const auto &[values, description] : rows) {
                const int row = addRowWithValues(values);
                if (row < 0)
                    break;
                if (!description.isEmpty())
                    setDescription(row, description);
            }
            updateAddresses();
        });
}
