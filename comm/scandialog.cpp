#include "scandialog.h"

#include "ipaddress.h"
#include "platformlists.h"
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
        QSerialPort port(name);
        if (!port.open(QIODevice::ReadWrite))
            continue;
        const QSerialPortInfo info(port);
        ui->comboBox->addItem(QStringLiteral("%1 (%2 %3)").arg(name, info.manufacturer(), info.description()));
        port.close();
    }
    if (ui->comboBox->count() > 0)
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
    connType = getConnType();
    if (ui->radioButton_net->isChecked()) {
        if (worker)
            return;
        // Entry text may carry leading zeros, which an address parser could read as octal.
        const QString start = IPAddress::stripLeadingZeros(ui->StartIP->getIP());
        const QString end = IPAddress::stripLeadingZeros(ui->EndIP->getIP());
        ui->progressBar->setRange(0, lastOctet(end) - lastOctet(start));
        ui->progressBar->setValue(0);
        comstr.clear();

        thread = new QThread;
        worker = new TCPThread;
        worker->localIP = ui->comboBox_Local->currentText();
        connect(worker, &TCPThread::Sendmodule, this, &SCANDialog::Getmoduleinfo);
        connect(worker, &TCPThread::SendmodulePrm, this, &SCANDialog::GetmoduleinfoPrm);
        connect(worker, &TCPThread::SendCurIP, this, &SCANDialog::SetCurScanIP);
        connect(worker, &TCPThread::finished, thread, &QThread::quit);
        connect(worker, &TCPThread::finished, this, &SCANDialog::Sancefinished);
        connect(this, qOverload<QString, QString>(&SCANDialog::startscan), worker, &TCPThread::Scanmodulestart);
        worker->moveToThread(thread);
        thread->start();

        emit startscan(start, end);
        emit startscan(QStringLiteral("eth"));
        ui->pushButton_2->setEnabled(true);
        ui->pushButton->setEnabled(false);
    } else if (ui->radioButton_com->isChecked() && ui->comboBox->count() > 0) {
        const QString text = ui->comboBox->currentText();
        const int blank = text.indexOf(QLatin1Char(' '));
        comstr = blank < 0 ? text : text.left(blank);
        auto *serial = new uartthread(comstr, nullptr);
        connect(serial, &uartthread::Sendmodule, this, &SCANDialog::Getmoduleinfo);
        connect(serial, &uartthread::SendmodulePrm, this, &SCANDialog::GetmoduleinfoPrm);
        emit startscan(comstr);
        serial->Scanmodulestart();
        disconnect(serial, nullptr, this, nullptr);
        delete serial;
        Sancefinished();
    }
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
    if (worker)
        worker->stopFlag = 1;
}

void SCANDialog::Sancefinished()
{
    ui->pushButton->setText(tr("重新开始"));
    ui->pushButton->setEnabled(true);
    ui->pushButton_2->setEnabled(false);
    if (ui->radioButton_net->isChecked() && thread)
        releaseWorker();
    emit endscan();
}

void SCANDialog::stopWorker()
{
    if (!worker)
        return;
    worker->stopFlag = 1;
    releaseWorker();
}

void SCANDialog::releaseWorker()
{
    if (!worker)
        return;
    disconnect(worker, nullptr, this, nullptr);
    disconnect(worker, nullptr, thread, nullptr);
    disconnect(this, nullptr, worker, nullptr);
    // quit() also ends the local waits of a scan still running, and the stop flag keeps it
    // from starting another address; the thread is never destroyed while it runs.
    thread->quit();
    thread->wait();
    delete worker;
    delete thread;
    worker = nullptr;
    thread = nullptr;
}
