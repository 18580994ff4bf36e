#include "tempcurvedialog.h"
#include "ui_tempcurvedialog.h"

#include "endpoints.h"
#include "ipv4text.h"
#include "polllink.h"
#include "prompts.h"
#include "tempcurvecodec.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QHeaderView>
#include <QIntValidator>
#include <QTableWidgetItem>
#include <QTimer>

namespace {

constexpr int rowColour = 0;
constexpr int rowChannel = 1;
constexpr int rowValue = 2;
constexpr int channelsShown = 9;

const char headerStyle[] = "QHeaderView::section{background-color:rgb(80,80,80);color:white;}";

struct Period
{
    const char *text;
    int ms;
};
const Period periods[] = { { "1S", 1000 }, { "2S", 2000 }, { "5S", 5000 }, { "10S", 10000 }, { "20S", 20000 },
    { "30S", 30000 }, { "50S", 50000 } };

} // namespace

TempCurveDialog::TempCurveDialog(modulebase *owner, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::TempCurveDialog)
    , link(new PollLink(this))
{
    ui->setupUi(this);
    readout = CurveReadout(
        { ui->widget, ui->widget_show, ui->lineEdit_time, ui->comboBox_diff1, ui->comboBox_diff2, ui->lineEdit_value });
    setModule(owner);
    setWindowTitle(tr("温度曲线"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);

    QTableWidget *table = ui->tableWidget;
    table->setRowCount(3);
    table->setColumnCount(curveCount + 1);
    for (const Period &p : periods)
        ui->comboBox_sampletime->addItem(QString::fromLatin1(p.text), p.ms);
    table->setHorizontalHeaderItem(0, new QTableWidgetItem(QStringLiteral(" ")));
    const QStringList rowNames = { tr("颜色"), tr("通道"), tr("监控值") };
    for (int row = 0; row < rowNames.size(); ++row) {
        auto *item = new QTableWidgetItem(rowNames.at(row));
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        item->setBackground(QColor(80, 80, 80));
        item->setForeground(Qt::white);
        table->setItem(row, 0, item);
    }
    curveColors = { QColor(0, 0, 255), Qt::black, QColor(160, 160, 164), QColor(255, 255, 0), QColor(255, 0, 0),
        QColor(0, 255, 0), QColor(255, 0, 255), QColor(153, 0, 211), QColor(139, 69, 19), QColor(32, 178, 170),
        QColor(0, 191, 255), QColor(112, 128, 144), QColor(255, 182, 192), QColor(204, 221, 255), QColor(255, 136, 0),
        QColor(102, 134, 192) };
    ui->widget->setColors(curveColors);
    ui->widget->yAxis->setRange(0, 1000);
    const QStringList kinds = { tr("不使能"), tr("PV值"), tr("SV值"), tr("输出值") };
    for (int curve = 0; curve < curveCount; ++curve) {
        const int column = curve + 1;
        table->setHorizontalHeaderItem(column, new QTableWidgetItem(tr("曲线") + QString::number(column)));
        auto *colour = new QTableWidgetItem;
        colour->setFlags(colour->flags() & ~Qt::ItemIsEditable);
        colour->setBackground(curveColors.at(curve));
        table->setItem(rowColour, column, colour);
        auto *kind = new QComboBox(table);
        kind->addItems(kinds);
        kind->setCurrentIndex(0);
        table->setCellWidget(rowValue, column, kind);
        connect(kind, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &TempCurveDialog::ModeChanged);
    }
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
    table->setColumnWidth(0, 50);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->horizontalHeader()->setStyleSheet(QString::fromLatin1(headerStyle));
    table->setSelectionMode(QAbstractItemView::NoSelection);
    setChannelCount(channelsShown);

    link->setPollBuilder([this] { return connType == modulebase::CONNEST_NET ? buildRequest() : QByteArray(); });
    link->setCutter(cutTempCurveFrames);
    connect(link, &PollLink::frameReceived, this, &TempCurveDialog::parseReply);
    connect(link, &PollLink::linkLost, this, &TempCurveDialog::linkLost);
    connect(ui->comboBox_sampletime, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        &TempCurveDialog::periodChanged);

    ui->pushButton->setChecked(false);
    connect(ui->checkBox, &QCheckBox::stateChanged, this, &TempCurveDialog::showdiffvaule);
    ui->widget_show->setEnabled(false);
    connect(ui->widget, &MultiCurvesPlot::sendTracer_Data, this, &TempCurveDialog::getTracer_Data);
    connect(
        ui->comboBox_diff1, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &TempCurveDialog::calcdiffvalue);
    connect(
        ui->comboBox_diff2, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &TempCurveDialog::calcdiffvalue);
    ui->label_save->hide();
    ui->lineEdit_path->hide();
    ui->pushButton_2->hide();
    auto *validator = new QIntValidator(0, 500, this);
    ui->lineEdit_Y->setValidator(validator);
    ui->lineEdit_YMIN->setValidator(validator);
}

TempCurveDialog::~TempCurveDialog()
{
    // The stream-off goes out on a worker: nothing here waits.
    stopMonitor();
    delete ui;
}

void TempCurveDialog::setModule(modulebase *owner)
{
    connType = owner ? owner->connType : modulebase::CONNEST_NONE;
    ipAddress = owner ? QString(owner->ipAddress).replace(QLatin1Char(':'), QLatin1Char('.')) : QString();
    comstr = owner ? owner->comstr : QString();
}

MultiCurvesPlot *TempCurveDialog::plot() const
{
    return ui->widget;
}

QComboBox *TempCurveDialog::channelBox(int curve) const
{
    return qobject_cast<QComboBox *>(ui->tableWidget->cellWidget(rowChannel, curve + 1));
}

QComboBox *TempCurveDialog::valueBox(int curve) const
{
    return qobject_cast<QComboBox *>(ui->tableWidget->cellWidget(rowValue, curve + 1));
}

void TempCurveDialog::setChannelCount(int count)
{
    channelCount = count;
    channelNames.clear();
    for (int n = 1; n <= count; ++n)
        channelNames.append(QStringLiteral("CH%1").arg(n));
    for (int curve = 0; curve < curveCount; ++curve) {
        auto *box = new QComboBox(ui->tableWidget);
        box->addItems(channelNames);
        // Two curves per channel to start with: curves 1 and 2 on CH1, 3 and 4 on CH2 ...
        box->setCurrentIndex(curve / 2);
        connect(box, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &TempCurveDialog::ModeChanged);
        ui->tableWidget->setCellWidget(rowChannel, curve + 1, box);
    }
    ModeChanged(0);
}

void TempCurveDialog::ModeChanged(int)
{
    enabledCurves.clear();
    for (int curve = 0; curve < curveCount; ++curve) {
        QComboBox *kind = valueBox(curve);
        QComboBox *channel = channelBox(curve);
        if (!kind || !channel || kind->currentIndex() == 0)
            continue;
        enabledCurves.append(quint16(curve));
        ui->widget->setCurveName(curve, QStringLiteral("%1_%2").arg(channel->currentText(), kind->currentText()));
    }
    ui->widget->showCurves(enabledCurves);
    rebuildReadout();
}

void TempCurveDialog::rebuildReadout()
{
    QList<QPair<int, QString>> rows;
    for (quint16 curve : qAsConst(enabledCurves))
        rows.append({ curve, ui->widget->getCurveName(curve) });
    readout.rebuild(rows);
}

QByteArray TempCurveDialog::buildRequest() const
{
    QList<TempCurveChoice> curves;
    for (quint16 curve : enabledCurves)
        curves.append({ curve, quint8(channelBox(curve)->currentIndex()), quint8(valueBox(curve)->currentIndex()) });
    return buildTempCurveRequest(curves);
}

void TempCurveDialog::on_pushButton_clicked(bool checked)
{
    if (checked)
        startMonitor();
    else
        stopMonitor();
}

// Why a run could not start. A local port the system refuses (most often one another program
// holds) is named with the system's reason, as a serial port is.
static QString startRefusal(const PollLink::Settings &s, const QString &error)
{
    if (s.transport != PollLink::Udp || ipv4FromText(s.address).isNull())
        return error;
    return QCoreApplication::translate("TempCurveDialog", "本地UDP端口%1不可用：%2").arg(s.localPort).arg(error);
}

void TempCurveDialog::startMonitor()
{
    const int periodIndex = ui->comboBox_sampletime->currentIndex();
    PollLink::Settings s;
    s.periodMs = ui->comboBox_sampletime->currentData().toInt();
    // Every period sends its request; the third in a row without a byte back ends the run right
    // after it went out. Any byte counts, a whole frame or not.
    s.missLimit = 2;
    s.lostAtPoll = true;
    s.anyBytesAnswer = true;
    s.maxBuffer = maxPending;
    if (connType == modulebase::CONNEST_NET) {
        s.transport = PollLink::Udp;
        s.address = ipAddress;
        s.localPort = Endpoints::current().tempLocalPort;
        s.modulePort = Endpoints::current().tempModulePort;
        s.streamOn = tempCurveStreamCommand(periodIndex, true);
        s.streamOff = tempCurveStreamCommand(periodIndex, false);
    } else if (connType == modulebase::CONNEST_COM) {
        s.transport = PollLink::Serial;
        s.portName = comstr;
    } else {
        // A module no scan reached: nothing can answer, so the run ends as a silent one's.
        s.transport = PollLink::NoTransport;
    }
    if (!link->start(s)) {
        // A port in use leaves no run, and the user is told which and why.
        ui->pushButton->setChecked(false);
        Prompts::warning(this, tr("错误"), startRefusal(s, link->errorString()));
        return;
    }
    running = true;
    ui->pushButton->setText(tr("停止"));
}

void TempCurveDialog::periodChanged(int index)
{
    // The running period stays, but the stream is switched off with the period shown then.
    if (running && connType == modulebase::CONNEST_NET)
        link->setStreamOff(tempCurveStreamCommand(index, false));
}

void TempCurveDialog::stopMonitor()
{
    if (!running)
        return;
    link->stop();
    running = false;
    ui->pushButton->setText(tr("打开"));
}

void TempCurveDialog::linkLost()
{
    stopMonitor();
    ui->pushButton->setChecked(false);
}

void TempCurveDialog::parseReply(const QByteArray &frame)
{
    const TempCurveReply reply = parseTempCurveReply(frame, enabledCurves);
    if (!reply.taken)
        return;
    // Every sample keeps its frame's arrival time, however late its batch is plotted.
    const double t = QDateTime::currentMSecsSinceEpoch() / 1000.0;
    for (const TempCurveSample &sample : reply.samples)
        pending.append({ sample.curve, t, sample.value });
    if (!plotQueued) {
        plotQueued = true;
        QTimer::singleShot(0, this, &TempCurveDialog::plotPending);
    }
}

void TempCurveDialog::plotPending()
{
    plotQueued = false;
    const int end = qMin(pending.size(), pendingAt + pointsPerBatch);
    for (; pendingAt < end; ++pendingAt) {
        const PendingPoint &p = pending.at(pendingAt);
        ui->widget->addData(p.curve, p.key, p.value);
    }
    if (pendingAt >= pending.size()) {
        pending.clear();
        pendingAt = 0;
    } else {
        plotQueued = true;
        QTimer::singleShot(0, this, &TempCurveDialog::plotPending);
    }
    ui->widget->replot(QCustomPlot::rpQueuedReplot);
}

void TempCurveDialog::showdiffvaule(int check)
{
    readout.showTracer(check != 0);
}

void TempCurveDialog::getTracer_Data(Tracer_Data data)
{
    readout.showTracerData(data, data.curveIndex);
}

void TempCurveDialog::calcdiffvalue(int)
{
    readout.showDifference();
}

void TempCurveDialog::on_lineEdit_Y_textChanged(const QString &text)
{
    readout.setYUpper(ui->lineEdit_Y, text, tr("自动"));
}

void TempCurveDialog::on_lineEdit_YMIN_textChanged(const QString &text)
{
    readout.setYLower(text);
}

void TempCurveDialog::closeEvent(QCloseEvent *event)
{
    QDialog::closeEvent(event);
    // The module's stream goes off with the window, not later when it is deleted.
    stopMonitor();
    emit closeDialog();
}
