#include "tempctl_manual_dialog.h"
#include "ui_tempctl_manual_dialog.h"

#include "ctrlshowline.h"
#include "devicerequest.h"
#include "regshowline.h"
#include "tcpthread.h"
#include "textfit.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDebug>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>

namespace {

enum MonitorRow {
    MonMode,
    MonStatusReg,
    MonCtrlReg,
    MonP,
    MonI,
    MonD,
    MonTarget,
    MonActual,
    MonIdentState,
    MonIdentP,
    MonIdentI,
    MonOutput,
    MonitorRows
};

enum DebugRow { DbgMode, DbgCtrlReg, DbgP, DbgI, DbgD, DbgTarget, DbgManual, DebugRows };

constexpr int columns = tempChannelCount + 1;
constexpr int nameColumnWidth = 100;
// What the register cells of the monitor table show before the first status.
constexpr uint16_t initialRegister = 15;
// The largest entries whose scaled values fit a 16-bit word.
constexpr double maxHundredths = 655.35;
constexpr double maxTenths = 6553.5;

const QColor nameBackground(80, 80, 80);
const QString headerStyle
    = QStringLiteral("QHeaderView::section{background-color:rgb(80, 80, 80);color:rgb(255, 255, 255);}");

struct StatusRead
{
    int result = -1;
    QByteArray data;
};

QString hundredths(quint16 word)
{
    return QString::number(word / 100.0, 'f', 2);
}

QString tenths(quint16 word)
{
    return QString::number(word / 10.0, 'f', 1);
}

// The header and the row names of column 0, in the present language.
void nameTable(QTableWidget *table, const QString &nameHeader, const QStringList &rowNames)
{
    QStringList headers { nameHeader };
    for (int c = 1; c < columns; ++c)
        headers << Tempctl_Manual_Dialog::tr("通道") + QString::number(c);
    table->setHorizontalHeaderLabels(headers);
    for (int r = 0; r < table->rowCount(); ++r)
        table->item(r, 0)->setText(rowNames.value(r));
}

void setUpTable(QTableWidget *table, int rows, const QString &nameHeader, const QStringList &rowNames)
{
    table->setColumnCount(columns);
    table->setRowCount(rows);
    table->horizontalHeader()->setStyleSheet(headerStyle);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
    table->setColumnWidth(0, nameColumnWidth);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    for (int r = 0; r < rows; ++r) {
        auto *name = new QTableWidgetItem;
        name->setBackground(nameBackground);
        name->setForeground(Qt::white);
        table->setItem(r, 0, name);
    }
    nameTable(table, nameHeader, rowNames);
}

// The width a header section needs for its text, in bold as a header may draw it.
int headerWidth(QHeaderView *header, const QString &text)
{
    header->ensurePolished();
    QFont font = header->font();
    font.setBold(true);
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    return QFontMetrics(font).horizontalAdvance(text) + 2 * margin;
}

// The channel columns share the table's width but never get narrower than their widest field
// or header needs: the mode choices, the register buttons and a translated "channel" show whole,
// and the table scrolls instead. The name column holds its names and its header.
void fitChannelColumns(QTableWidget *table)
{
    QHeaderView *header = table->horizontalHeader();
    QStringList registers;
    for (const char digit : QByteArray("0123456789ABCDEF"))
        registers << registerText(uint16_t(QByteArray(4, digit).toUInt(nullptr, 16)));
    int needed = 0;
    for (int c = 1; c < table->columnCount(); ++c)
        needed = qMax(needed, headerWidth(header, table->horizontalHeaderItem(c)->text()));
    for (int r = 0; r < table->rowCount(); ++r) {
        for (int c = 1; c < table->columnCount(); ++c) {
            QWidget *field = table->cellWidget(r, c);
            if (auto *box = qobject_cast<QComboBox *>(field)) {
                QStringList texts;
                for (int i = 0; i < box->count(); ++i)
                    texts << box->itemText(i);
                needed = qMax(needed, TextFit::comboBoxWidth(box, texts));
            } else if (auto *button = qobject_cast<QPushButton *>(field)) {
                for (const QString &text : qAsConst(registers))
                    needed = qMax(needed, TextFit::pushButtonWidth(button, text));
            } else if (field) {
                field->ensurePolished();
                needed = qMax(needed, field->sizeHint().width());
            }
        }
    }
    header->setMinimumSectionSize(qMax(needed, header->minimumSectionSize()));
    const int names = qMax(static_cast<QAbstractItemView *>(table)->sizeHintForColumn(0),
        headerWidth(header, table->horizontalHeaderItem(0)->text()));
    table->setColumnWidth(0, qMax(nameColumnWidth, names));
}

} // namespace

Tempctl_Manual_Dialog::Tempctl_Manual_Dialog(modulebase *owner, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::Tempctl_Manual_Dialog)
{
    ui->setupUi(this);
    setModule(owner);
    setWindowFlags(
        windowFlags() | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setTexts();

    ui->comboBox->setEnabled(false);
    buildMonitorTable();
    buildDebugTable();
    ui->tableWidget_modfiy->setEnabled(false);
    ui->pushButton->setFocusPolicy(Qt::NoFocus);
}

Tempctl_Manual_Dialog::~Tempctl_Manual_Dialog()
{
    delete ui;
}

void Tempctl_Manual_Dialog::setTexts()
{
    setWindowTitle(tr("调试页面"));
    monitorRowNames
        = QStringList { tr("控制方式"), tr("状态寄存器"), tr("控制寄存器"), tr("当前P"), tr("当前I"), tr("当前D"),
              tr("目标值"), tr("实时值"), tr("自动识别状态"), tr("识别参数P"), tr("识别参数I"), tr("当前输出量") };
    debugRowNames = QStringList { tr("控制方式"), tr("控制寄存器"), tr("设置P"), tr("设置I"), tr("设置D"),
        tr("修改目标值"), tr("手动设置输出量") };
    identStateTexts = { { 0, tr("空闲") }, { 1, tr("启动") }, { 2, tr("获取响应延时") }, { 3, tr("获取变化量最大值") },
        { 4, tr("完成") } };
    modeTexts = { { 0, tr("自动模式") }, { 1, QStringLiteral("ON/OFF") }, { 2, tr("手动模式") } };
}

void Tempctl_Manual_Dialog::retranslate()
{
    const QMap<int, QString> oldModes = modeTexts;
    const QMap<int, QString> oldStates = identStateTexts;
    ui->retranslateUi(this);
    setTexts();
    QTableWidget *mon = ui->tableWidget;
    QTableWidget *dbg = ui->tableWidget_modfiy;
    nameTable(mon, tr("监控参数名称"), monitorRowNames);
    nameTable(dbg, tr("调试参数名称"), debugRowNames);
    // What the last status showed, in the new language.
    const auto renamed = [](QTableWidgetItem *cell, const QMap<int, QString> &before, const QMap<int, QString> &now) {
        const int key = before.key(cell->text(), -1);
        if (key >= 0)
            cell->setText(now.value(key));
    };
    for (int c = 1; c < columns; ++c) {
        renamed(mon->item(MonMode, c), oldModes, modeTexts);
        renamed(mon->item(MonIdentState, c), oldStates, identStateTexts);
        auto *mode = qobject_cast<QComboBox *>(dbg->cellWidget(DbgMode, c));
        int i = 0;
        for (auto it = modeTexts.cbegin(); it != modeTexts.cend(); ++it)
            mode->setItemText(i++, it.value());
    }
    // The form names the button for a first connect.
    if (connected)
        ui->pushButton->setText(tr("断开连接"));
    else if (m_generation > 0)
        ui->pushButton->setText(tr("重新连接"));
    fitChannelColumns(mon);
    fitChannelColumns(dbg);
}

void Tempctl_Manual_Dialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void Tempctl_Manual_Dialog::setModule(modulebase *owner)
{
    m_ip = owner ? owner->ipAddress : QString();
    m_connType = owner ? owner->connType : modulebase::CONNEST_NONE;
}

void Tempctl_Manual_Dialog::buildMonitorTable()
{
    QTableWidget *t = ui->tableWidget;
    setUpTable(t, MonitorRows, tr("监控参数名称"), monitorRowNames);
    for (int c = 1; c < columns; ++c) {
        for (int r = 0; r < MonitorRows; ++r) {
            if (r == MonStatusReg) {
                auto *reg = new Regshowline;
                reg->setValue(initialRegister);
                t->setCellWidget(r, c, reg);
            } else if (r == MonCtrlReg) {
                auto *reg = new Ctrlshowline(true);
                reg->setValue(initialRegister);
                t->setCellWidget(r, c, reg);
            } else {
                t->setItem(r, c, new QTableWidgetItem);
            }
        }
    }
    fitChannelColumns(t);
}

void Tempctl_Manual_Dialog::buildDebugTable()
{
    QTableWidget *t = ui->tableWidget_modfiy;
    setUpTable(t, DebugRows, tr("调试参数名称"), debugRowNames);
    for (int c = 1; c < columns; ++c) {
        auto *mode = new QComboBox;
        for (auto it = modeTexts.cbegin(); it != modeTexts.cend(); ++it)
            mode->addItem(it.value());
        connect(mode, QOverload<int>::of(&QComboBox::activated), this, &Tempctl_Manual_Dialog::modechanged);
        t->setCellWidget(DbgMode, c, mode);

        auto *reg = new Ctrlshowline(false);
        connect(reg, &Ctrlshowline::modfiyvalue, this, &Tempctl_Manual_Dialog::modfiyctrlreg);
        t->setCellWidget(DbgCtrlReg, c, reg);

        for (int r = DbgP; r < DebugRows; ++r) {
            auto *box = new QDoubleSpinBox;
            if (r <= DbgD) {
                box->setDecimals(2);
                box->setSingleStep(0.01);
                box->setRange(0, maxHundredths);
            } else {
                box->setDecimals(1);
                box->setRange(0, maxTenths);
            }
            if (r == DbgManual)
                box->setEnabled(false);
            connect(
                box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, &Tempctl_Manual_Dialog::ModfiyValue);
            t->setCellWidget(r, c, box);
        }
    }
    fitChannelColumns(t);
}

int Tempctl_Manual_Dialog::channelOf(QObject *widget, int *row) const
{
    const QTableWidget *t = ui->tableWidget_modfiy;
    for (int c = 1; c < columns; ++c) {
        for (int r = 0; r < DebugRows; ++r) {
            if (t->cellWidget(r, c) == widget) {
                *row = r;
                return c - 1;
            }
        }
    }
    return -1;
}

int Tempctl_Manual_Dialog::readStatus()
{
    return startRead(true);
}

int Tempctl_Manual_Dialog::startRead(bool counts)
{
    if (m_connType != modulebase::CONNEST_NET)
        return -1;
    const QString ip = m_ip;
    const int generation = m_generation;
    ++m_inFlight;
    m_read = DeviceRequest::run<StatusRead>(
        this,
        [ip](const std::atomic<bool> &stop) {
            TCPThread worker;
            worker.cancel = &stop;
            StatusRead read;
            read.result = worker.udp_UploadPlugConfig(ip, plug, statusSubplug, read.data);
            return read;
        },
        [this, counts, generation](const StatusRead &read) {
            --m_inFlight;
            // A reply that comes in after a disconnect belongs to nothing any more.
            if (connected && generation == m_generation)
                statusRead(read.result, read.data, counts);
        });
    return 1;
}

void Tempctl_Manual_Dialog::statusRead(int result, const QByteArray &data, bool counts)
{
    if (result >= 0) {
        parseStatus(data);
        failedReads = 0;
    } else if (counts) {
        countFailedRead();
    }
}

void Tempctl_Manual_Dialog::countFailedRead()
{
    if (++failedReads > maxFailedReads)
        disconnectLink();
}

void Tempctl_Manual_Dialog::parseStatus(QByteArray block)
{
    TempCtlStatusBlock status;
    if (!status.decode(block))
        return;
    QTableWidget *mon = ui->tableWidget;
    QTableWidget *dbg = ui->tableWidget_modfiy;
    for (int c = 1; c < columns; ++c) {
        const TempCtlStatusBlock::Channel &s = status.channels[size_t(c - 1)];
        const int mode = s.mode & 0x0F;
        if (modeTexts.contains(mode))
            mon->item(MonMode, c)->setText(modeTexts.value(mode));
        qobject_cast<Regshowline *>(mon->cellWidget(MonStatusReg, c))->setValue(s.statusReg);
        qobject_cast<Ctrlshowline *>(mon->cellWidget(MonCtrlReg, c))->setValue(s.ctrlReg);
        mon->item(MonP, c)->setText(hundredths(s.pHundredths));
        mon->item(MonI, c)->setText(hundredths(s.iHundredths));
        mon->item(MonD, c)->setText(hundredths(s.dHundredths));
        mon->item(MonTarget, c)->setText(tenths(s.targetTenths));
        mon->item(MonActual, c)->setText(tenths(s.actualTenths));
        const int ident = s.identState & 0x0F;
        if (identStateTexts.contains(ident))
            mon->item(MonIdentState, c)->setText(identStateTexts.value(ident));
        mon->item(MonIdentP, c)->setText(hundredths(s.identPHundredths));
        mon->item(MonIdentI, c)->setText(hundredths(s.identIHundredths));
        mon->item(MonOutput, c)->setText(tenths(s.outputTenths));

        if (seeded)
            continue;
        TempCtlDebugBlock::Channel &d = debugBlock.channels[size_t(c - 1)];
        d.mode = quint16(mode);
        d.ctrlReg = s.ctrlReg & 0x0F;
        d.pHundredths = s.pHundredths;
        d.iHundredths = s.iHundredths;
        d.dHundredths = s.dHundredths;
        d.targetTenths = s.targetTenths;
        // Not the user's choice: nothing becomes pending and the manual output box stays as it is.
        qobject_cast<QComboBox *>(dbg->cellWidget(DbgMode, c))->setCurrentIndex(modeTexts.contains(mode) ? mode : -1);
        qobject_cast<Ctrlshowline *>(dbg->cellWidget(DbgCtrlReg, c))->setValue(s.ctrlReg);
        const quint16 words[] = { s.pHundredths, s.iHundredths, s.dHundredths, s.targetTenths };
        for (int r = DbgP; r <= DbgTarget; ++r) {
            auto *box = qobject_cast<QDoubleSpinBox *>(dbg->cellWidget(r, c));
            const QSignalBlocker quiet(box);
            box->setValue(words[r - DbgP] / (r == DbgTarget ? 10.0 : 100.0));
        }
    }
    seeded = true;
}

int Tempctl_Manual_Dialog::writeDebugBlock()
{
    if (m_connType != modulebase::CONNEST_NET)
        return -1;
    const QString ip = m_ip;
    const QByteArray block = debugBlock.encode();
    ++m_inFlight;
    // No context: the block that ends debug mode must go out even when the window closes now.
    QPointer<Tempctl_Manual_Dialog> self(this);
    DeviceRequest::run<int>(
        nullptr,
        [ip, block](const std::atomic<bool> &stop) {
            TCPThread worker;
            worker.cancel = &stop;
            return worker.udp_DownPlugConfig(ip, plug, debugSubplug, block);
        },
        [self](int) {
            if (self)
                --self->m_inFlight;
        });
    return 1;
}

int Tempctl_Manual_Dialog::disconnectLink()
{
    if (!connected)
        return 1;
    killTimer(timerId);
    timerId = -1;
    // The module leaves debug mode at once; a status still on its way is of no use.
    if (m_read)
        m_read->cancel();
    ui->pushButton->setChecked(false);
    ui->pushButton->setText(tr("重新连接"));
    connected = false;
    ui->comboBox->setEnabled(false);
    ui->comboBox->setCurrentIndex(0);
    setAllEnable(0);
    if (!m_ownerGone)
        writeDebugBlock();
    return 1;
}

void Tempctl_Manual_Dialog::ownerGone()
{
    // Its address may be another module's by now: nothing more goes out.
    m_ownerGone = true;
    m_connType = modulebase::CONNEST_NONE;
    disconnectLink();
    close();
}

void Tempctl_Manual_Dialog::setAllEnable(quint16 enable)
{
    for (TempCtlDebugBlock::Channel &c : debugBlock.channels)
        c.debugEnable = enable;
}

void Tempctl_Manual_Dialog::timerEvent(QTimerEvent *event)
{
    Q_UNUSED(event)
    // One exchange at a time: a slow module skips ticks instead of piling up requests.
    if (m_inFlight > 0)
        return;
    if (debugPending) {
        writeDebugBlock();
        debugPending = false;
        return;
    }
    if (readStatus() < 0)
        countFailedRead();
}

void Tempctl_Manual_Dialog::closeEvent(QCloseEvent *event)
{
    disconnectLink();
    QWidget::closeEvent(event);
    emit closeDialog();
}

void Tempctl_Manual_Dialog::reject()
{
    // Escape closes like the title bar does, so the module leaves debug mode and the page hears of it.
    close();
}

void Tempctl_Manual_Dialog::modfiyctrlreg(uint16_t value)
{
    int row = 0;
    const int channel = channelOf(sender(), &row);
    if (channel < 0)
        return;
    TempCtlDebugBlock::Channel &d = debugBlock.channels[size_t(channel)];
    if (d.ctrlReg != value) {
        d.ctrlReg = value;
        debugPending = true;
    }
}

void Tempctl_Manual_Dialog::modechanged(int index)
{
    int row = 0;
    const int channel = channelOf(sender(), &row);
    if (channel < 0)
        return;
    TempCtlDebugBlock::Channel &d = debugBlock.channels[size_t(channel)];
    if (index >= 0 && d.mode != index) {
        d.mode = quint16(index);
        debugPending = true;
    }
    ui->tableWidget_modfiy->cellWidget(DbgManual, channel + 1)->setEnabled(index == 2);
}

void Tempctl_Manual_Dialog::ModfiyValue(double index)
{
    int row = 0;
    const int channel = channelOf(sender(), &row);
    if (channel < 0)
        return;
    TempCtlDebugBlock::Channel &d = debugBlock.channels[size_t(channel)];
    quint16 *word = nullptr;
    int decimals = 2;
    switch (row) {
    case DbgP:
        word = &d.pHundredths;
        break;
    case DbgI:
        word = &d.iHundredths;
        break;
    case DbgD:
        word = &d.dHundredths;
        break;
    case DbgTarget:
        word = &d.targetTenths;
        decimals = 1;
        break;
    case DbgManual:
        word = &d.manualTenths;
        decimals = 1;
        break;
    default:
        return;
    }
    const quint16 scaled = scaledValue(index, decimals);
    if (*word != scaled) {
        *word = scaled;
        debugPending = true;
    }
}

void Tempctl_Manual_Dialog::on_pushButton_clicked(bool checked)
{
    if (!checked) {
        disconnectLink();
        return;
    }
    // A module off the network gets no traffic: its reads fail at once and the fifth tick
    // disconnects, as for a module that does not answer.
    ++m_generation;
    if (m_inFlight == 0)
        startRead(false);
    failedReads = 0;
    timerId = startTimer(pollMs, Qt::CoarseTimer);
    ui->pushButton->setText(tr("断开连接"));
    connected = true;
    ui->comboBox->setEnabled(true);
}

void Tempctl_Manual_Dialog::on_comboBox_currentIndexChanged(int index)
{
    ui->tableWidget_modfiy->setEnabled(index != 0);
    setAllEnable(index != 0 ? 1 : 0);
    debugPending = true;
}

void Tempctl_Manual_Dialog::on_tableWidget_cellActivated(int row, int column)
{
    qDebug() << "Activated" << row << column;
}

void Tempctl_Manual_Dialog::on_pushButton_clicked() { }
