#include "modbusconfig.h"

#include "apppaths.h"
#include "gatewaytable.h"
#include "modbusconfigcodec.h"
#include "modbusconfigfiles.h"
#include "modbusfunctioncode.h"
#include "prompts.h"
#include "ui_modbusconfig.h"
#include "xlsxsheet.h"

#include <QComboBox>
#include <QHash>
#include <QSpinBox>

namespace {

enum Column { SlaveColumn, FunctionColumn, RegisterColumn, LengthColumn, InColumn, OutColumn };

using GatewayTable::RightClick;

} // namespace

modbusconfig::modbusconfig(QWidget *parent)
    : menubase(parent)
    , ui(new Ui::modbusconfig)
{
    setTitle(tr("Modbus配置"));
    ownsRest = true;
    buildUnlessDeferred();
}

void modbusconfig::buildPage()
{
    ui->setupUi(this);
    m_cells = GatewayTable::Cells(ui->tableWidget);
    ui->tableWidget->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->tableWidget, &QWidget::customContextMenuRequested, this, &modbusconfig::show_menu);
    const int widths[] = { 80, 150, 110, 80, 120, 120 };
    for (int i = 0; i < 6; ++i)
        ui->tableWidget->setColumnWidth(i, widths[i]);
    // The widths above are the least; a header or a choice longer in the language shown widens its column.
    GatewayTable::fitColumns(ui->tableWidget);
    for (QLineEdit *edit : { ui->lineEdit_sumslots, ui->lineEdit_suminsize, ui->lineEdit_sumoutsize }) {
        edit->setText("0");
        edit->setReadOnly(true);
    }
    ui->tableWidget->setSelectionBehavior(QAbstractItemView::SelectRows);
}

modbusconfig::~modbusconfig()
{
    delete ui;
}

QComboBox *modbusconfig::functionBox(int row) const
{
    return m_cells.combo(row, FunctionColumn);
}

QComboBox *modbusconfig::makeFunctionBox(int row)
{
    QComboBox *box = GatewayTable::makeCombo(RightClick::FieldMenu);
    for (int i = 0; i < ModbusFunctionCode::Count; ++i)
        box->addItem(ModbusFunctionCode::text(i, "modbusconfig"), ModbusFunctionCode::code(i));
    ui->tableWidget->setCellWidget(row, FunctionColumn, box);
    GatewayTable::fitColumns(ui->tableWidget, row);
    connect(box, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &modbusconfig::comboxcurrentIndexChanged);
    return box;
}

QSpinBox *modbusconfig::makeLength(int row, int minimum, int value)
{
    QSpinBox *box = GatewayTable::makeSpin(minimum, 255, value, RightClick::FieldMenu);
    ui->tableWidget->setCellWidget(row, LengthColumn, box);
    GatewayTable::fitColumns(ui->tableWidget, row);
    connect(box, QOverload<int>::of(&QSpinBox::valueChanged), this, &modbusconfig::lenvaluechanged);
    return box;
}

int modbusconfig::appendRow(int slave, int reg)
{
    const int row = ui->tableWidget->rowCount();
    ui->tableWidget->insertRow(row);
    ui->tableWidget->setCellWidget(row, SlaveColumn, GatewayTable::makeSpin(1, 255, slave, RightClick::FieldMenu));
    ui->tableWidget->setCellWidget(row, RegisterColumn, GatewayTable::makeSpin(0, 65535, reg, RightClick::FieldMenu));
    ui->tableWidget->setItem(row, InColumn, GatewayTable::readOnlyItem());
    ui->tableWidget->setItem(row, OutColumn, GatewayTable::readOnlyItem());
    GatewayTable::fitColumns(ui->tableWidget, row);
    ui->tableWidget->setCurrentCell(row, 0);
    return row;
}

void modbusconfig::rowDataSize(int row, int &inBytes, int &outBytes)
{
    inBytes = 0;
    outBytes = 0;
    QComboBox *box = functionBox(row);
    QSpinBox *length = m_cells.spin(row, LengthColumn);
    if (!box || !length)
        return;
    const int n = length->value();
    switch (box->currentIndex()) {
    case 0:
    case 1:
        inBytes = (n + 7) / 8;
        break;
    case 2:
    case 3:
        inBytes = 2 * n;
        break;
    case 4:
    case 6:
        outBytes = (n + 7) / 8;
        break;
    case 5:
    case 7:
        outBytes = 2 * n;
        break;
    default:
        break;
    }
}

void modbusconfig::updateAddresses()
{
    renumber(ui->tableWidget->currentRow());
}

void modbusconfig::renumber(int editedRow)
{
    // Byte 1 and 2 of each image hold the status or control word.
    GatewayTable::ImageNumbering in(2);
    GatewayTable::ImageNumbering out(2);
    QTableWidget *table = ui->tableWidget;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (!functionBox(row))
            makeFunctionBox(row);
        if (!m_cells.spin(row, LengthColumn))
            makeLength(row, 1, 1);
        if (!table->item(row, InColumn))
            table->setItem(row, InColumn, GatewayTable::readOnlyItem());
        if (!table->item(row, OutColumn))
            table->setItem(row, OutColumn, GatewayTable::readOnlyItem());
        int h = 0;
        int k = 0;
        rowDataSize(row, h, k);
        in.place(table->item(row, InColumn), h);
        out.place(table->item(row, OutColumn), k);
    }
    ui->lineEdit_sumslots->setText(QString::number(table->rowCount()));
    ui->lineEdit_suminsize->setText(QString::number(in.size()));
    ui->lineEdit_sumoutsize->setText(QString::number(out.size()));

    // Only a direction that has data can overflow. The row just edited is cut back, never
    // another row that merely happens to be current. Both checks are of this pass, and the row
    // is cut back before any box: the warnings open once the field's signal (or the reply that
    // brought the block) is over, so no row is held while a box is open.
    const bool inOver = in.overflows(Maxinputsize);
    const bool outOver = out.overflows(Maxoutputsize);
    if (inOver || outOver) {
        if (QSpinBox *length = m_cells.spin(editedRow, LengthColumn))
            length->setValue(1);
    }
    if (inOver)
        Prompts::warningLater(this, tr("错误"), tr("超出了输入数据长度"));
    if (outOver)
        Prompts::warningLater(this, tr("错误"), tr("超出了输出数据长度"));
}

void modbusconfig::setFunctionCode(int row, int code)
{
    if (QComboBox *box = functionBox(row))
        box->setCurrentIndex(ModbusFunctionCode::indexOf(code));
}

void modbusconfig::clearRows()
{
    for (int row = ui->tableWidget->rowCount() - 1; row >= 0; --row)
        ui->tableWidget->removeRow(row);
}

void modbusconfig::show_menu(QPoint)
{
    GatewayTable::popupRowMenu(
        this, tr("增加"), tr("删除"), [this] { additem(); }, [this] { delitem(); });
}

void modbusconfig::additem(bool)
{
    if (ui->tableWidget->rowCount() >= Maxslotnum) {
        Prompts::warning(nullptr, tr("错误"), tr("超出了槽数量"));
        return;
    }
    const int row = appendRow(1, 0);
    updateAddresses();
    ui->tableWidget->setCurrentCell(row, 0);
}

int modbusconfig::additem(uint slaveid, uint funcode, uint regadd, uint reglen)
{
    if (ui->tableWidget->rowCount() >= Maxslotnum) {
        Prompts::warning(nullptr, tr("错误"), tr("超出了槽数量"));
        return -1;
    }
    const int row = appendRow(int(qMin(slaveid, 255u)), int(qMin(regadd, 65535u)));
    makeFunctionBox(row);
    QSpinBox *length = makeLength(row, 0, 1);
    setFunctionCode(row, int(qMin(funcode, 255u)));
    if (!ModbusFunctionCode::isSingleWrite(functionBox(row)->currentIndex()))
        length->setValue(int(qMin(reglen, 255u)));
    updateAddresses();
    return row;
}

void modbusconfig::delitem(bool)
{
    const int row = ui->tableWidget->currentRow();
    if (row < 0)
        return;
    ui->tableWidget->removeRow(row);
    updateAddresses();
}

void modbusconfig::comboxcurrentIndexChanged(int index)
{
    // The box that changed names the row; the table's current row may be another one.
    const int row = m_cells.senderRow(sender());
    if (row < 0)
        return;
    QSpinBox *length = m_cells.spin(row, LengthColumn);
    if (!length)
        length = makeLength(row, 1, 1);
    {
        const QSignalBlocker block(length);
        length->setValue(1);
    }
    length->setEnabled(!ModbusFunctionCode::isSingleWrite(index));
    renumber(row);
}

void modbusconfig::lenvaluechanged(int)
{
    // The field that changed names the row; the table's current row may be another one.
    renumber(m_cells.senderRow(sender()));
}

QByteArray modbusconfig::getParamData()
{
    ensureBuilt();
    QVector<ModbusRequestRow> rows;
    for (int row = 0; row < ui->tableWidget->rowCount(); ++row) {
        ModbusRequestRow r;
        QSpinBox *slave = m_cells.spin(row, SlaveColumn);
        QSpinBox *reg = m_cells.spin(row, RegisterColumn);
        QSpinBox *length = m_cells.spin(row, LengthColumn);
        QComboBox *box = functionBox(row);
        r.slave = quint8(slave ? slave->value() : 1);
        r.code = quint8(box ? box->currentData().toInt() : 1);
        r.reg = quint16(reg ? reg->value() : 0);
        r.length = quint8(length ? length->value() : 0);
        rows.append(r);
    }
    return encodeModbusRequestRows(rows);
}

int modbusconfig::setParamData(QByteArray data)
{
    ensureBuilt();
    if (data.isEmpty())
        return 0;
    for (const ModbusRequestRow &r : decodeModbusRequestRows(data)) {
        const int row = appendRow(r.slave, r.reg);
        makeFunctionBox(row);
        setFunctionCode(row, r.code);
        makeLength(row, 0, r.length);
    }
    updateAddresses();
    // The table is the last block of the module: it owns everything left, a part record included.
    return int(data.size());
}

void modbusconfig::restoreDefaults(bool) { }

void modbusconfig::retranslate(int lang)
{
    if (deferRetranslate(lang)) {
        setTitle(tr("Modbus配置"));
        return;
    }
    ui->retranslateUi(this);
    setTitle(tr("Modbus配置"));
    for (int row = 0; row < ui->tableWidget->rowCount(); ++row) {
        if (QComboBox *box = functionBox(row)) {
            for (int i = 0; i < ModbusFunctionCode::Count && i < box->count(); ++i)
                box->setItemText(i, ModbusFunctionCode::text(i, "modbusconfig"));
        }
    }
    GatewayTable::fitColumns(ui->tableWidget);
    language = lang;
}

void modbusconfig::on_pushButton_2_clicked()
{
    const QString name = language != 0 ? "/Template/modbusconfig_En.xlsx" : "/Template/modbusconfig_Zh.xlsx";
    ModbusConfigFiles::copyTemplate(
        "modbusconfig", AppPaths::find(name), "modbusmasterconfig.xlsx", "BOM Files(*.xls *.xlsx)");
}

void modbusconfig::on_pushButton_clicked()
{
    QHash<QString, int> codes;
    for (int i = 0; i < ModbusFunctionCode::Count; ++i)
        codes.insert(ModbusFunctionCode::text(i, "modbusconfig"), ModbusFunctionCode::code(i));
    struct Row
    {
        uint slave, code, reg, length;
    };
    const auto read = [this, &codes](const XlsxSheet &sheet) {
        QList<Row> rows;
        for (int r = 1; r < Maxslotnum; ++r) {
            if (!sheet.hasCell(r, 1) || !sheet.hasCell(r, 2) || !sheet.hasCell(r, 3) || !sheet.hasCell(r, 4))
                break;
            const auto code = codes.constFind(sheet.text(r, 2));
            if (code == codes.constEnd())
                continue;
            rows.append({ ModbusConfigFiles::number(sheet.text(r, 1)), uint(*code),
                ModbusConfigFiles::number(sheet.text(r, 3)), ModbusConfigFiles::number(sheet.text(r, 4)) });
        }
        return rows;
    };
    ModbusConfigFiles::importRows("modbusconfig", "BOM Files(*.xls *.xlsx)", read, [this](const QList<Row> &rows) {
        clearRows();
        for (const Row &row : rows)
            additem(row.slave, row.code, row.reg, row.length);
    });
    update();
}
