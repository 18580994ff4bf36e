#include "downdialog.h"
#include "ui_downdialog.h"

#include "devicerequest.h"
#include "module.h"
#include "moduletargets.h"
#include "serialportregistry.h"
#include "tcpthread.h"
#include "uartthread.h"

#include <QCheckBox>
#include <QDeadlineTimer>
#include <QHeaderView>
#include <QThread>

DownDialog::DownDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DownDialog)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    ui->widget->hideMaxButton();
    ui->widget->hideMinButton();
    ui->widget->setTitleIcon(QIcon(":/new/prefix1/img/down.png"));
    ui->widget->setWindow(this);
    ui->widget->setTitleText(tr("下载参数"));

    ui->tableWidget->setColumnWidth(0, 30);
    ui->tableWidget->setColumnWidth(1, 150);
    ui->tableWidget->setColumnWidth(2, 150);
    ui->tableWidget->horizontalHeader()->setStyleSheet("QHeaderView::section{background-color: rgb(178, 171, 255);}");
    ui->progressBar->setValue(0);
}

DownDialog::~DownDialog()
{
    stopWork();
    delete ui;
}

void DownDialog::done(int result)
{
    // Closing mid-download must not leave workers running for nobody.
    stopWork();
    QDialog::done(result);
}

void DownDialog::stopWork()
{
    if (m_stop)
        m_stop->store(true);
    if (m_serial)
        m_serial->cancel();
    const QDeadlineTimer deadline(stopWaitMs);
    if (m_thread)
        m_thread->wait(deadline);
    if (m_serial)
        m_serial->wait(int(qMax<qint64>(0, deadline.remainingTime())));
}

void DownDialog::jobDone()
{
    if (--m_running <= 0) {
        m_running = 0;
        Sancefinished();
    }
}

void DownDialog::setModuleList(QList<module *> modules)
{
    for (module *m : modules) {
        DownItem item;
        item.checkBox = new QCheckBox;
        item.checkBox->setChecked(true);
        item.mod = m;
        item.row = ui->tableWidget->rowCount();
        items.append(item);
        ui->tableWidget->insertRow(item.row);
        ui->tableWidget->setCellWidget(item.row, 0, item.checkBox);

        QString address;
        if (m->connType == modulebase::CONNEST_COM) {
            address = m->comstr;
            comPort = m->comstr;
        } else {
            address = m->ip;
        }
        auto *addressItem = new QTableWidgetItem(address);
        addressItem->setFlags(addressItem->flags() & ~Qt::ItemIsEditable);
        addressItem->setTextAlignment(Qt::AlignCenter);
        ui->tableWidget->setItem(item.row, 1, addressItem);
        auto *stateItem = new QTableWidgetItem(tr("未下载"));
        stateItem->setFlags(stateItem->flags() & ~Qt::ItemIsEditable);
        stateItem->setTextAlignment(Qt::AlignCenter);
        ui->tableWidget->setItem(item.row, 2, stateItem);
    }
}

void DownDialog::on_pushButton_clicked()
{
    targetList.clear();
    for (const DownItem &item : qAsConst(items)) {
        if (item.checkBox->isChecked()) {
            item.mod->downFlag = 1;
            targetList.append(item.mod);
        } else {
            item.mod->downFlag = 0;
        }
    }
    ui->progressBar->setRange(0, targetList.size());
    ui->progressBar->setValue(0);
    ui->pushButton->setEnabled(false);
    startDownload();
}

void DownDialog::startDownload()
{
    if (targetList.isEmpty())
        return;

    // Everything the downloads need is taken from the modules here, in the GUI thread: the
    // worker thread never calls into pages, and each serial module goes out on its own port.
    ModuleTargetList network;
    QList<QPair<QString, QByteArray>> serial;
    for (module *m : qAsConst(targetList)) {
        if (m->connType == modulebase::CONNEST_COM) {
            serial.append({ m->comstr, m->getParamData() });
        } else {
            network.append(moduleTarget(m));
        }
    }

    if (!serial.isEmpty()) {
        ++m_running;
        // The ports are lent out while the download runs: the pages sharing them pause, and take
        // them back once the request is gone.
        QList<std::shared_ptr<SerialLease>> leases;
        for (const auto &job : qAsConst(serial))
            leases << std::make_shared<SerialLease>(job.first);
        // Each serial module goes out on its own port, one after the other, on a worker.
        m_serial = DeviceRequest::run<QStringList>(
            this,
            [serial](const std::atomic<bool> &stop) {
                QStringList states;
                for (const auto &job : serial) {
                    if (stop)
                        break;
                    uartthread worker(job.first);
                    worker.cancel = &stop;
                    QObject::connect(&worker, &uartthread::SendCurstate, [&states](const QString &s) { states << s; });
                    worker.DownParamter(job.second);
                }
                return states;
            },
            [this, leases](const QStringList &states) {
                for (const QString &state : states)
                    SetCurScanIP(state);
                jobDone();
            });
    }

    if (network.isEmpty()) {
        if (m_running == 0)
            Sancefinished();
        return;
    }
    ++m_running;
    auto *thread = new QThread;
    auto *worker = new TCPThread;
    worker->moduleList = network;
    m_thread = thread;
    m_stop = DeviceRequest::adopt(thread);
    worker->cancel = m_stop.get();
    const auto start = connect(this, QOverload<>::of(&DownDialog::startdownsignal), worker, &TCPThread::DownParamter);
    connect(worker, &TCPThread::SendCurIP, this, &DownDialog::SetCurScanIP);
    connect(worker, &TCPThread::finished, thread, &QThread::quit, Qt::DirectConnection);
    connect(worker, &TCPThread::finished, this, &DownDialog::jobDone);
    connect(thread, &QThread::finished, worker, &QObject::deleteLater);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    worker->moveToThread(thread);
    thread->start();
    emit startdownsignal();
    // The worker may end and go before the next start; that one makes its own.
    disconnect(start);
}

QString DownDialog::rowAddress(const QString &text)
{
    QString address = text.trimmed();
    address.replace(QLatin1Char(':'), QLatin1Char('.'));
    return address;
}

void DownDialog::SetCurScanIP(QString moduleinfo)
{
    const int hash = moduleinfo.indexOf(QLatin1Char('#'));
    if (hash < 0)
        return;
    const QString address = rowAddress(moduleinfo.left(hash));
    const QString status = moduleinfo.mid(hash + 1).section(QLatin1Char('#'), 0, 0);
    // The whole address must match: "192.168.0.1" is not the row of "192.168.0.10".
    for (const DownItem &item : qAsConst(items)) {
        if (!item.checkBox->isChecked())
            continue;
        QTableWidgetItem *addressItem = ui->tableWidget->item(item.row, 1);
        if (!addressItem || rowAddress(addressItem->text()) != address)
            continue;
        ui->tableWidget->item(item.row, 2)->setText(status);
        ui->progressBar->setValue(ui->progressBar->value() + 1);
    }
}

void DownDialog::Sancefinished()
{
    ui->pushButton->setEnabled(true);
}
