#include "scandialog.h"

#include "devicerequest.h"
#include "ipaddress.h"
#include "platformlists.h"
#include "prompts.h"
#include "serialportregistry.h"
#include "tcpthread.h"
#include "titleform.h"
#include "uartthread.h"
#include "ui_scandialog.h"

#include <QSerialPort>
#include <QSerialPortInfo>
#include <QThread>

namespace {
int lastOctet(const QString &ip)
{
    return ip.mid(ip.lastIndexOf(QLatin1Char('.')) + 1).toInt();
}
}

SCANDialog::SCANDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::SCANDialog)
{
    qRegisterMetaType<modulebase::CONNEST_TYPE>("modulebase::CONNEST_TYPE");
    ui->setupUi(this);

    ui->widgetTitle->hideMinButton();
    ui->widgetTitle->hideMaxButton();
    ui->widgetTitle->setTitleIcon(QIcon(QStringLiteral(":/new/prefix1/img/scan1.png")));
    ui->widgetTitle->setWindow(this);
    ui->widgetTitle->setTitleText(tr("扫描模块"));

    ui->progressBar->setValue(0);
    ui->StartIP->setIP(QStringLiteral("192.168.0.1"));
    ui->EndIP->setIP(QStringLiteral("192.168.0.255"));
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    ui->radioButton_com->setEnabled(false);

    for (const QHostAddress &address : PlatformLists::localIPv4()) {
        const QString text = address.toString();
        if (!text.contains(QLatin1String("127.0.")))
            ui->comboBox_Local->addItem(text);
    }

    for (const QString &name : PlatformLists::serialPorts()) {
        // A port our own pages share is in use by us, not by another program: listed as it is.
        if (SerialPortRegistry::instance().hasOpenLine(name)) {
            const QSerialPortInfo info(name);
            ui->comboBox->addItem(QStringLiteral("%1 (%2 %3)").arg(name, info.manufacturer(), info.description()));
            continue;
        }
        QSerialPort port(name);
        if (!port.open(QIODevice::ReadWrite))
            continue;
        const QSerialPortInfo info(port);
        ui->comboBox->addItem(QStringLiteral("%1 (%2 %3)").arg(name, info.manufacturer(), info.description()));
        port.close();
    }
    // The port box is editable: a device path the list does not show (a module simulator's
    // pseudo-terminal) may be typed, so the serial scan is offered even when nothing is listed.
    m_comPorts = true;
    ui->radioButton_com->setEnabled(true);

    comstr.clear();
    ui->groupBox_net->setEnabled(true);
    ui->groupBox_com->setEnabled(false);
    ui->pushButton_2->setEnabled(false);
}

SCANDialog::~SCANDialog()
{
    stopWorker();
    delete ui;
}

void SCANDialog::setLocalIP(QString ip)
{
    const int index = ui->comboBox_Local->findText(ip);
    if (index >= 0)
        ui->comboBox_Local->setCurrentIndex(index);
}

void SCANDialog::setIPRange(QString start, QString end)
{
    ui->StartIP->setIP(start);
    ui->EndIP->setIP(end);
}

QString SCANDialog::getStartIP() const
{
    return ui->StartIP->getIP();
}

QString SCANDialog::getEndIP() const
{
    return ui->EndIP->getIP();
}

QString SCANDialog::getLocalIP() const
{
    return ui->comboBox_Local->currentText();
}

int SCANDialog::getConnType() const
{
    if (ui->radioButton_net->isChecked())
        return modulebase::CONNEST_NET;
    if (ui->radioButton_com->isChecked())
        return modulebase::CONNEST_COM;
    return modulebase::CONNEST_NONE;
}

void SCANDialog::done(int result)
{
    // Closing mid-scan must not leave a worker walking the range for nobody.
    stopWorker();
    QDialog::done(result);
}

void SCANDialog::on_closebutton_clicked()
{
    reject();
}

void SCANDialog::on_radioButton_net_clicked()
{
    const bool net = ui->radioButton_net->isChecked();
    ui->groupBox_net->setEnabled(net);
    ui->groupBox_com->setEnabled(!net);
    ui->pushButton_2->setEnabled(net);
}

void SCANDialog::on_radioButton_com_clicked()
{
    const bool com = ui->radioButton_com->isChecked();
    ui->groupBox_net->setEnabled(!com);
    ui->groupBox_com->setEnabled(com);
    ui->pushButton_2->setEnabled(!com);
}

void SCANDialog::on_pushButton_clicked()
{
    if (worker || m_serialScan)
        return;
    connType = getConnType();
    if (ui->radioButton_net->isChecked()) {
        // Entry text may carry leading zeros, which an address parser could read as octal.
        const QString start = IPAddress::stripLeadingZeros(ui->StartIP->getIP());
        const QString end = IPAddress::stripLeadingZeros(ui->EndIP->getIP());
        ui->progressBar->setRange(0, lastOctet(end) - lastOctet(start));
        ui->progressBar->setValue(0);
        comstr.clear();

        thread = new QThread;
        worker = new TCPThread;
        worker->localIP = ui->comboBox_Local->currentText();
        m_stop = DeviceRequest::adopt(thread);
        worker->cancel = m_stop.get();
        QObject *relay = m_relay = new QObject(this);
        // Signals already on their way when the dialog lets the worker go are dropped.
        const auto current = [this, relay] { return m_relay == relay; };
        connect(worker, &TCPThread::Sendmodule, relay, [this, current](QByteArray r) {
            if (current())
                Getmoduleinfo(r);
        });
        connect(worker, &TCPThread::SendmodulePrm, relay, [this, current](QByteArray r) {
            if (current())
                GetmoduleinfoPrm(r);
        });
        connect(worker, &TCPThread::SendCurIP, relay, [this, current](QString ip) {
            if (current())
                SetCurScanIP(ip);
        });
        connect(worker, &TCPThread::finished, thread, &QThread::quit, Qt::DirectConnection);
        connect(worker, &TCPThread::finished, relay, [this, current] {
            if (current())
                Sancefinished();
        });
        const auto startConnection
            = connect(this, qOverload<QString, QString>(&SCANDialog::startscan), worker, &TCPThread::Scanmodulestart);
        // The thread ends on its own once the worker is done, and takes the worker with it.
        connect(thread, &QThread::finished, worker, &QObject::deleteLater);
        connect(thread, &QThread::finished, thread, &QObject::deleteLater);
        worker->moveToThread(thread);
        thread->start();

        setScanning(true);
        emit startscan(start, end);
        disconnect(startConnection);
        emit startscan(QStringLiteral("eth"));
        ui->pushButton_2->setEnabled(true);
        ui->pushButton->setEnabled(false);
    } else if (ui->radioButton_com->isChecked() && !ui->comboBox->currentText().trimmed().isEmpty()) {
        // The box is editable, so a typed port name or device path is taken as well.
        const QString text = ui->comboBox->currentText().trimmed();
        const int blank = text.indexOf(QLatin1Char(' '));
        comstr = blank < 0 ? text : text.left(blank);
        // startscan (which empties the module list) follows once the port has opened.
        startSerialScan(comstr);
    }
}

void SCANDialog::startSerialScan(const QString &port)
{
    struct Replies
    {
        bool opened = false;
        QString reason;
        QList<QByteArray> infos;
        QList<QByteArray> prms;
    };
    setScanning(true);
    ui->pushButton->setEnabled(false);
    // The port reports no steps: the bar shows it busy, then full once the scan is through.
    ui->progressBar->setRange(0, 0);
    // The coupler's pages sharing the port pause while the scan has it.
    auto lease = std::make_shared<SerialLease>(port);
    m_serialScan = DeviceRequest::run<Replies>(
        this,
        [port](const std::atomic<bool> &stop) {
            Replies replies;
            uartthread serial(port);
            serial.cancel = &stop;
            QObject::connect(&serial, &uartthread::Sendmodule, [&replies](const QByteArray &r) { replies.infos << r; });
            QObject::connect(
                &serial, &uartthread::SendmodulePrm, [&replies](const QByteArray &r) { replies.prms << r; });
            serial.Scanmodulestart();
            replies.opened = serial.openError().isEmpty();
            replies.reason = serial.openError();
            return replies;
        },
        [this, port, lease](const Replies &replies) {
            // A scan the dialog gave up on (it was closed) hands nothing on.
            if (!m_serialScan)
                return;
            m_serialScan = nullptr;
            if (!replies.opened) {
                // Nothing was scanned: the module list stays as it was, and the dialog is ready
                // for another try.
                ui->progressBar->setRange(0, 100);
                ui->progressBar->setValue(0);
                ui->pushButton->setEnabled(true);
                setScanning(false);
                Prompts::warning(this, tr("错误"), tr("无法打开串口%1").arg(port) + QLatin1Char('\n') + replies.reason);
                return;
            }
            emit startscan(comstr);
            ui->progressBar->setRange(0, 100);
            ui->progressBar->setValue(100);
            for (const QByteArray &info : replies.infos)
                Getmoduleinfo(info);
            for (const QByteArray &prm : replies.prms)
                GetmoduleinfoPrm(prm);
            Sancefinished();
        });
}

void SCANDialog::Getmoduleinfo(QByteArray moduleinfo)
{
    emit Sendmodule(moduleinfo, static_cast<modulebase::CONNEST_TYPE>(connType));
}

void SCANDialog::GetmoduleinfoPrm(QByteArray moduleinfo)
{
    emit SendmodulePrm(moduleinfo);
}

void SCANDialog::SetCurScanIP(QString)
{
    ui->progressBar->setValue(ui->progressBar->value() + 1);
}

void SCANDialog::on_pushButton_2_clicked()
{
    // Through the shared flag: the worker may already be gone while its end is on the way.
    if (worker && m_stop)
        m_stop->store(true);
}

void SCANDialog::Sancefinished()
{
    ui->pushButton->setText(tr("重新开始"));
    ui->pushButton->setEnabled(true);
    ui->pushButton_2->setEnabled(false);
    // Whatever the mode shows now, the scan that ended lets its worker go.
    releaseWorker();
    setScanning(false);
    emit endscan();
}

void SCANDialog::setScanning(bool running)
{
    // The mode cannot change under a running scan.
    ui->radioButton_net->setEnabled(!running);
    ui->radioButton_com->setEnabled(!running && m_comPorts);
    ui->groupBox_net->setEnabled(!running && ui->radioButton_net->isChecked());
    ui->groupBox_com->setEnabled(!running && ui->radioButton_com->isChecked());
}

void SCANDialog::stopWorker()
{
    if (m_serialScan) {
        m_serialScan->cancel();
        m_serialScan = nullptr;
    }
    if (!worker)
        return;
    if (m_stop)
        m_stop->store(true);
    releaseWorker();
}

void SCANDialog::releaseWorker()
{
    if (!worker)
        return;
    // The worker itself is not touched: it lives in its thread and may be deleting itself.
    m_relay->deleteLater();
    m_relay = nullptr;
    worker = nullptr;
    thread = nullptr;
    m_stop.reset();
}
