#include "ecatmodbusconfig.h"

#include "apppaths.h"
#include "ecatmodbusconfigcodec.h"
#include "gatewaytable.h"
#include "modbusconfigfiles.h"
#include "modbusfunctioncode.h"
#include "prompts.h"
#include "ui_ecatmodbusconfig.h"
#include "xlsxsheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHash>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSpinBox>

namespace {

const char *const context = "EcatModbusConfig";

enum Column {
    SlaveColumn,
    FunctionColumn,
    RegisterColumn,
    LengthColumn,
    TriggerColumn,
    PollColumn,
    TimeoutColumn,
    SwapColumn,
    BitColumn,
    DescriptionColumn
};

const char *const triggerTexts[]
    = { QT_TRANSLATE_NOOP("EcatModbusConfig", "时间轮询"), QT_TRANSLATE_NOOP("EcatModbusConfig", "改变触发") };

using GatewayTable::RightClick;

} // namespace

EcatModbusConfig::EcatModbusConfig(QWidget *parent)
    : menubase(parent)
    , ui(new Ui::EcatModbusConfig)
{
    setTitle(tr("Modbus配置"));
    ownsRest = true;
    buildUnlessDeferred();
}

void EcatModbusConfig::buildPage()
{
    ui->setupUi(this);
    m_cells = GatewayTable::Cells(ui->tableWidget);
    const int widths[] = { 80, 150, 110, 80, 80, 80, 80, 80, 80, 250 };
    for (int i = 0; i < 10; ++i)
        ui->tableWidget->setColumnWidth(i, widths[i]);
    // The widths above are the least; a header or a choice longer in the language shown widens its column.
    GatewayTable::fitColumns(ui->tableWidget);
    ui->tableWidget->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->tableWidget, &QWidget::customContextMenuRequested, this, &EcatModbusConfig::show_menu);
    ui->lineEdit_name->setValidator(
        new QRegularExpressionValidator(QRegularExpression("^[a-zA-Z][a-zA-Z0-9_]{3,8}$"), this));
    ui->lineEdit_code->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QString("[A-Fa-f0-9]{%1}").arg(10)), this));
}

EcatModbusConfig::~EcatModbusConfig()
{
    delete ui;
}

int EcatModbusConfig::rowFunction(int row) const
{
    QComboBox *box = m_cells.combo(row, FunctionColumn);
    return box ? box->currentIndex() : -1;
}

bool EcatModbusConfig::rowBitAccess(int row) const
{
    QCheckBox *box = m_cells.check(row, BitColumn);
    return box && box->isChecked();
}

QString EcatModbusConfig::defaultBaseName(int row) const
{
    return ModbusFunctionCode::englishName(rowFunction(row)).replace(' ', '_');
}

QString EcatModbusConfig::rowName(int row) const
{
    QString name;
    if (QLineEdit *edit = m_cells.lineEdit(row, DescriptionColumn))
        name = edit->text().simplified();
    if (name.isEmpty())
        name = ModbusFunctionCode::englishName(rowFunction(row));
    name.replace(' ', '_');
    QSpinBox *slave = m_cells.spin(row, SlaveColumn);
    return QString("%1_ID_%2").arg(name).arg(slave ? slave->value() : 0);
}

int EcatModbusConfig::rowBitLength(int row) const
{
    QSpinBox *length = m_cells.spin(row, LengthColumn);
    const int n = length ? length->value() : 0;
    return ModbusFunctionCode::isBitFunction(rowFunction(row)) ? n : 16 * n;
}

int EcatModbusConfig::insertRow(int slave, int functionIndex, int reg, int length)
{
    QTableWidget *table = ui->tableWidget;
    const int row = table->rowCount();
    table->insertRow(row);
    table->setRowHeight(row, 10);
    table->setCellWidget(row, SlaveColumn, GatewayTable::makeSpin(1, 255, slave, RightClick::TableMenu));
    table->setCellWidget(row, RegisterColumn, GatewayTable::makeSpin(0, 65535, reg, RightClick::TableMenu));

    QComboBox *function = GatewayTable::makeCombo(RightClick::TableMenu);
    for (int i = 0; i < ModbusFunctionCode::Count; ++i)
        function->addItem(ModbusFunctionCode::text(i, context), ModbusFunctionCode::code(i));
    function->setCurrentIndex(functionIndex);
    table->setCellWidget(row, FunctionColumn, function);

    // Every length editor takes the whole byte range, wherever the row came from.
    QSpinBox *len = GatewayTable::makeSpin(1, 255, length, RightClick::TableMenu);
    const bool single = ModbusFunctionCode::isSingleWrite(functionIndex);
    if (single)
        len->setValue(1);
    len->setEnabled(!single);
    table->setCellWidget(row, LengthColumn, len);

    QComboBox *trigger = GatewayTable::makeCombo(RightClick::TableMenu);
    trigger->addItem(tr(triggerTexts[0]), 1);
    trigger->addItem(tr(triggerTexts[1]), 2);
    trigger->setEnabled(ModbusFunctionCode::isWrite(functionIndex));
    table->setCellWidget(row, TriggerColumn, trigger);

    table->setCellWidget(row, PollColumn, GatewayTable::makeSpin(10, 10000, 300, RightClick::TableMenu));
    table->setCellWidget(row, TimeoutColumn, GatewayTable::makeSpin(100, 10000, 100, RightClick::TableMenu));
    table->setCellWidget(row, SwapColumn, GatewayTable::centred(new QCheckBox));
    table->setCellWidget(row, BitColumn, GatewayTable::centred(new QCheckBox));
    setDescription(row, QString());
    GatewayTable::fitColumns(table, row);

    connect(function, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        &EcatModbusConfig::comboxcurrentIndexChanged);
    table->setCurrentCell(row, 0);
    return row;
}

void EcatModbusConfig::setDescription(int row, const QString &text)
{
    ui->tableWidget->setCellWidget(row, DescriptionColumn, GatewayTable::makeDescription(text));
}

void EcatModbusConfig::setTrigger(int row, int index)
{
    QComboBox *trigger = m_cells.combo(row, TriggerColumn);
    if (!trigger)
        return;
    const bool write = ModbusFunctionCode::isWrite(rowFunction(row));
    // Only the two modes exist; anything else polls.
    trigger->setCurrentIndex(write && index >= 0 && index < trigger->count() ? index : 0);
    trigger->setEnabled(write);
}

void EcatModbusConfig::appendRow(const EcatRequestRow &values, const QString &storedName)
{
    const int index = ModbusFunctionCode::indexOf(values.code);
    const int row = insertRow(qMax<int>(1, values.slave), index, values.reg, qMax<int>(1, values.length));
    setTrigger(row, values.trigger & 3);
    m_cells.spin(row, PollColumn)->setValue(int(qMin<quint32>(values.pollTime, 10000)));
    m_cells.spin(row, TimeoutColumn)->setValue(int(qMin<quint32>(values.timeout, 10000)));
    m_cells.check(row, SwapColumn)->setChecked(values.swap & 1);
    m_cells.check(row, BitColumn)->setChecked(values.bitAccess & 1);

    // The stored name carries "_ID_<slave>" and, without a description, the function's name:
    // take both off so that saving again gives the same name rather than a longer one.
    QString name = storedName;
    const QString suffix = QString("_ID_%1").arg(m_cells.spin(row, SlaveColumn)->value());
    if (name.endsWith(suffix))
        name.chop(suffix.size());
    if (!name.isEmpty() && name != defaultBaseName(row))
        setDescription(row, name);
}

void EcatModbusConfig::show_menu(QPoint)
{
    GatewayTable::popupRowMenu(
        this, tr("增加"), tr("删除"), [this] { additem(); }, [this] { delitem(); });
}

void EcatModbusConfig::additem(bool)
{
    const int n = ui->tableWidget->rowCount();
    if (n >= Maxslotnum) {
        Prompts::warning(nullptr, tr("错误"), tr("超出了槽数量"));
        return;
    }
    int function = 2;
    int length = 1;
    if (n > 0) {
        function = qMax(0, rowFunction(n - 1));
        if (QSpinBox *previous = m_cells.spin(n - 1, LengthColumn))
            length = previous->value();
    }
    insertRow(n + 1, function, 0, length);
    ui->tableWidget->setCurrentCell(n, 0);
}

void EcatModbusConfig::delitem(bool)
{
    const int row = ui->tableWidget->currentRow();
    if (row >= 0)
        ui->tableWidget->removeRow(row);
}

void EcatModbusConfig::comboxcurrentIndexChanged(int index)
{
    // The box that changed names the row; the table's current row may be another one.
    const int row = m_cells.senderRow(sender());
    if (row < 0)
        return;
    if (QSpinBox *length = m_cells.spin(row, LengthColumn)) {
        const bool single = ModbusFunctionCode::isSingleWrite(index);
        if (single)
            length->setValue(1);
        length->setEnabled(!single);
    }
    setTrigger(row, 0);
    if (ModbusFunctionCode::isBitFunction(index) && index != 1) {
        if (QCheckBox *bits = m_cells.check(row, BitColumn))
            bits->setChecked(true);
    }
}

QByteArray EcatModbusConfig::getParamData()
{
    ensureBuilt();
    EcatBlock block;
    block.stateWord = ui->checkBox_state->isChecked();
    block.ctlWord = ui->checkBox_ctl->isChecked();
    // Product codes are unsigned 32-bit; an empty or too long code is stored as 0.
    bool ok = false;
    const uint code = ui->lineEdit_code->text().toUInt(&ok, 16);
    block.productCode = ok ? code : 0;
    block.productName = ui->lineEdit_name->text().toLatin1();
    for (int row = 0; row < ui->tableWidget->rowCount(); ++row) {
        EcatRequestRow r;
        r.slave = quint8(m_cells.spin(row, SlaveColumn) ? m_cells.spin(row, SlaveColumn)->value() : 1);
        r.code = quint8(ModbusFunctionCode::code(qMax(0, rowFunction(row))));
        r.length = quint8(m_cells.spin(row, LengthColumn) ? m_cells.spin(row, LengthColumn)->value() : 0);
        r.trigger = quint8(m_cells.combo(row, TriggerColumn) ? m_cells.combo(row, TriggerColumn)->currentIndex() : 0);
        r.swap = m_cells.check(row, SwapColumn) && m_cells.check(row, SwapColumn)->isChecked() ? 1 : 0;
        r.bitAccess = rowBitAccess(row) ? 1 : 0;
        r.reg = quint16(m_cells.spin(row, RegisterColumn) ? m_cells.spin(row, RegisterColumn)->value() : 0);
        r.pollTime = quint32(m_cells.spin(row, PollColumn) ? m_cells.spin(row, PollColumn)->value() : 0);
        r.timeout = quint32(m_cells.spin(row, TimeoutColumn) ? m_cells.spin(row, TimeoutColumn)->value() : 0);
        r.name = rowName(row).toLatin1();
        block.rows.append(r);
    }
    return encodeEcatBlock(block);
}

int EcatModbusConfig::setParamData(QByteArray data)
{
    ensureBuilt();
    if (data.isEmpty())
        return 0;
    const EcatBlock block = decodeEcatBlock(data);
    ui->checkBox_state->setChecked(block.stateWord);
    ui->checkBox_ctl->setChecked(block.ctlWord);
    if (block.productCode != 0)
        ui->lineEdit_code->setText(QString::number(block.productCode, 16));
    if (block.productName.size() >= 5 && block.productName.size() <= 9)
        ui->lineEdit_name->setText(QString::fromLatin1(block.productName));
    for (const EcatRequestRow &row : block.rows)
        appendRow(row, QString::fromLatin1(row.name));
    // The table is the last block of the module: it owns everything left, a part record included.
    return int(data.size());
}

void EcatModbusConfig::retranslate(int lang)
{
    if (deferRetranslate(lang)) {
        setTitle(tr("Modbus配置"));
        return;
    }
    // Re-applying the form texts would put the form's product name and code back over the user's.
    const QString name = ui->lineEdit_name->text();
    const QString code = ui->lineEdit_code->text();
    ui->retranslateUi(this);
    ui->lineEdit_name->setText(name);
    ui->lineEdit_code->setText(code);
    setTitle(tr("Modbus配置"));
    for (int row = 0; row < ui->tableWidget->rowCount(); ++row) {
        if (QComboBox *box = m_cells.combo(row, FunctionColumn)) {
            for (int i = 0; i < ModbusFunctionCode::Count && i < box->count(); ++i)
                box->setItemText(i, ModbusFunctionCode::text(i, context));
        }
        if (QComboBox *box = m_cells.combo(row, TriggerColumn)) {
            for (int i = 0; i < 2 && i < box->count(); ++i)
                box->setItemText(i, tr(triggerTexts[i]));
        }
    }
    GatewayTable::fitColumns(ui->tableWidget);
    language = lang;
}

void EcatModbusConfig::on_pushButton_newExcel_clicked()
{
    const QString name = language != 0 ? "/Template/ecatmodbusconfig_En.xlsx" : "/Template/ecatmodbusconfig_Zh.xlsx";
    ModbusConfigFiles::copyTemplate(context, AppPaths::find(name), "modbusmasterconfig.xlsx", "BOM Files(*.xlsx)");
}

void EcatModbusConfig::on_pushButton_Import_clicked()
{
    QHash<QString, int> codes;
    for (int i = 0; i < ModbusFunctionCode::Count; ++i)
        codes.insert(ModbusFunctionCode::text(i, context), ModbusFunctionCode::code(i));
    const QString yes = tr("是");
    const auto read = [this, &codes, &yes](const XlsxSheet &sheet) {
        QList<QPair<EcatRequestRow, QString>> rows;
        for (int r = 2; r < Maxslotnum; ++r) {
            if (!sheet.hasCell(r, 1) || !sheet.hasCell(r, 2) || !sheet.hasCell(r, 3) || !sheet.hasCell(r, 4))
                break;
            const auto code = codes.constFind(sheet.text(r, 2));
            if (code == codes.constEnd())
                continue;
            const auto number = [&sheet, r](int column, uint absent) {
                const QString text = sheet.text(r, column);
                return text.isEmpty() ? absent : ModbusConfigFiles::number(text);
            };
            EcatRequestRow values;
            values.slave = quint8(qMin(number(1, 0), 255u));
            values.code = quint8(*code);
            values.reg = quint16(qMin(number(3, 0), 65535u));
            values.length = quint8(qMin(number(4, 0), 255u));
            values.trigger = quint8(qMin(number(5, 0), 255u));
            values.pollTime = number(6, 200);
            values.timeout = number(7, 80);
            values.swap = sheet.text(r, 8) == yes ? 1 : 0;
            const QString bits = sheet.text(r, 9);
            values.bitAccess = bits.isEmpty()
                ? ModbusFunctionCode::isBitFunction(ModbusFunctionCode::indexOf(*code)) && *code != 2
                : bits == yes;
            rows.append({ values, sheet.text(r, 10).simplified() });
        }
        return rows;
    };
    ModbusConfigFiles::importRows(
        context, "BOM Files(*.xlsx)", read, [this](const QList<QPair<EcatRequestRow, QString>> &rows) {
            while (ui->tableWidget->rowCount() > 0)
                ui->tableWidget->removeRow(ui->tableWidget->rowCount() - 1);
            for (const auto &[values, name] : rows) {
                if (ui->tableWidget->rowCount() >= Maxslotnum) {
                    Prompts::warning(nullptr, tr("错误"), tr("超出了槽数量"));
                    break;
                }
                appendRow(values, name);
            }
        });
    update();
}
