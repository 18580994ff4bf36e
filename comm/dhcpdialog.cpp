#include "dhcpdialog.h"
#include "ui_dhcpdialog.h"

#include "apppaths.h"
#include "externalprograms.h"
#include "factorybroadcast.h"
#include "factorycodec.h"
#include "ipaddress.h"
#include "macdialog.h"
#include "prompts.h"
#include "usrconf.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTextStream>
#include <QTimer>

namespace {

enum Column { MacColumn, IpColumn, StateColumn };

const char settingsGroup[] = "DHCP";

QString serverDir()
{
    return AppPaths::find(QStringLiteral("/OpenDHCPServer"));
}

QTableWidgetItem *stateItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

} // namespace

dhcpDialog::dhcpDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::dhcpDialog)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    ui->widget->hideMaxButton();
    ui->widget->hideMinButton();
    ui->widget->setTitleIcon(QIcon(":/new/prefix1/img/DHCP.png"));
    ui->widget->setWindow(this);
    ui->widget->setTitleText(tr("DHCP配置"));
    ui->groupBox_2->setStyleSheet("QGroupBox{background:rgb(119, 121, 255)}");
    ui->label_2->setStyleSheet("color:white");
    ui->tableInfo->setColumnWidth(MacColumn, 200);
    ui->tableInfo->setColumnWidth(IpColumn, 150);
    ui->tableInfo->setColumnWidth(StateColumn, 100);
    ui->tableInfo->setFocusPolicy(Qt::NoFocus);
    ui->tableInfo->setTabKeyNavigation(false);
    ui->tableInfo->setEditTriggers(QAbstractItemView::NoEditTriggers);

    setEditing(true);

    timer = new QTimer;
    logPath = AppPaths::path(QStringLiteral("/OpenDHCPServer/log/OpenDHCPServer.log"));
    logFile = new QFile(logPath);
    QDir().mkpath(QFileInfo(logPath).absolutePath());
    // The log starts empty, so that only what the server writes from now on marks rows.
    if (logFile->open(QIODevice::WriteOnly | QIODevice::Truncate))
        logFile->close();

    connect(timer, &QTimer::timeout, this, &dhcpDialog::onReadyRead);
    on_LoadFileButton_clicked();
    ui->tableInfo->setSelectionBehavior(QAbstractItemView::SelectRows);
}

dhcpDialog::~dhcpDialog()
{
    if (process) {
        process->close();
        if (!process->waitForFinished(30000) && process->state() != QProcess::NotRunning)
            Prompts::information(this, tr("系统提示"), tr("服务关闭失败！"));
        delete process;
    }
    timer->stop();
    delete timer;
    logFile->close();
    delete logFile;
    delete ui;
}

void dhcpDialog::setEditing(bool editing)
{
    ui->tableInfo->setEnabled(editing);
    ui->AddmacButton->setEnabled(editing);
    ui->DelmacButton->setEnabled(editing);
    ui->StartButton->setEnabled(editing);
    ui->LoadFileButton->setEnabled(editing);
    ui->SaveFileButton->setEnabled(editing);
    ui->StopButton->setEnabled(!editing);
}

void dhcpDialog::addRow(const QString &mac, const QString &ip)
{
    const int row = ui->tableInfo->rowCount();
    ui->tableInfo->insertRow(row);
    auto *macEntry = new MACDialog;
    if (!mac.isEmpty())
        macEntry->setMAC(mac);
    ui->tableInfo->setCellWidget(row, MacColumn, macEntry);
    auto *ipEntry = new IPAddress;
    ipEntry->setIP(ip);
    ui->tableInfo->setCellWidget(row, IpColumn, ipEntry);
    ui->tableInfo->setItem(row, StateColumn, stateItem(tr("未分配")));
}

QList<DhcpHost> dhcpDialog::tableHosts() const
{
    QList<DhcpHost> hosts;
    for (int row = 0; row < ui->tableInfo->rowCount(); ++row) {
        auto *macEntry = qobject_cast<MACDialog *>(ui->tableInfo->cellWidget(row, MacColumn));
        auto *ipEntry = qobject_cast<IPAddress *>(ui->tableInfo->cellWidget(row, IpColumn));
        hosts.append({ macEntry ? macEntry->getMAC() : QString(), ipEntry ? ipEntry->getIP() : QString() });
    }
    return hosts;
}

void dhcpDialog::on_AddmacButton_clicked()
{
    addRow(QString(), QStringLiteral("192.168.0.1"));
}

void dhcpDialog::on_DelmacButton_clicked()
{
    // Only the status column holds items: a row goes when its status cell is current.
    QTableWidgetItem *current = ui->tableInfo->currentItem();
    if (current)
        ui->tableInfo->removeRow(current->row());
}

void dhcpDialog::on_LoadFileButton_clicked()
{
    QSettings settings(UsrConf::filePath(), QSettings::IniFormat);
    settings.beginGroup(QLatin1String(settingsGroup));
    const QStringList keys = settings.childKeys();
    for (const QString &key : keys) {
        const QString ip = settings.value(key).toString();
        if (!ip.isEmpty())
            addRow(dhcpMacFromKey(key), ip);
    }
    settings.endGroup();
}

void dhcpDialog::saveMacTable()
{
    const QList<DhcpHost> hosts = tableHosts();
    hostText = dhcpHostText(hosts);
    QSettings settings(UsrConf::filePath(), QSettings::IniFormat);
    settings.beginGroup(QLatin1String(settingsGroup));
    settings.remove(QString());
    for (const DhcpHost &host : hosts)
        settings.setValue(dhcpSettingsKey(host.mac), host.ip);
    settings.endGroup();
    settings.sync();
}

void dhcpDialog::on_SaveFileButton_clicked()
{
    const QString name = Prompts::getSaveFileName(this, "save file", "nullname", "config Files (*.dhcfg)");
    if (name.isEmpty())
        return;
    QFile file(name);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Text))
        Prompts::warning(nullptr, "file open", "can't open", QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    file.resize(0);
    saveMacTable();
    if (file.isOpen()) {
        QTextStream out(&file);
        out.setCodec("UTF-8");
        out << hostText << "\n";
    }
    file.close();
}

void dhcpDialog::sendResetBroadcast()
{
    FactoryBroadcast::sendOnce(QByteArray(factoryReset));
}

void dhcpDialog::on_StartButton_clicked()
{
    setEditing(false);

    const QString dir = serverDir();
    QFile templ(AppPaths::find(QStringLiteral("/OpenDHCPServer/OpenDHCPServer.bck")));
    if (!templ.open(QIODevice::ReadOnly | QIODevice::Text)) {
        Prompts::critical(nullptr, tr("错误"), tr("打开失败"), QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        return;
    }
    QString text = QString::fromUtf8(templ.readAll());
    templ.close();
    saveMacTable();
    text += hostText;

    QFile ini(dir + QStringLiteral("/OpenDHCPServer.ini"));
    if (!ini.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Truncate)) {
        Prompts::critical(nullptr, tr("错误"), tr("打开失败"), QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        return;
    }
    ini.write(text.toUtf8());
    ini.close();

    const QString program = ExternalPrograms::resolve(ExternalPrograms::DhcpServer);
    if (program.isEmpty()) {
        Prompts::information(this, tr("系统提示"),
            tr("命令：") + AppPaths::path(ExternalPrograms::relativePath(ExternalPrograms::DhcpServer))
                + tr("不存在！"));
        return;
    }
    delete process;
    process = new QProcess;
    connect(process, &QProcess::started, this, &dhcpDialog::onReadyStart);
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setWorkingDirectory(dir);
    process->start(program, { QStringLiteral("-v") }, QIODevice::ReadWrite);
    if (!process->waitForStarted(30000)) {
        Prompts::information(this, tr("系统提示"), tr("服务打开失败！"));
        return;
    }
    // Modules ask for an address when they restart; only a running server can answer them.
    sendResetBroadcast();
}

void dhcpDialog::onReadyStart()
{
    if (logFile->isOpen())
        logFile->close();
    if (logFile->open(QIODevice::ReadOnly | QIODevice::Text | QIODevice::Unbuffered))
        timer->start(1000);
}

void dhcpDialog::onReadyRead()
{
    if (!logFile->isOpen())
        return;
    const QString text = decodeDhcpLog(logFile->readAll());
    if (text.isEmpty())
        return;
    const QList<int> served = dhcpServedHosts(text, tableHosts());
    for (int row : served) {
        QTableWidgetItem *item = stateItem(tr("分配成功"));
        item->setBackground(QBrush(QColor(155, 255, 255), Qt::SolidPattern));
        ui->tableInfo->setItem(row, StateColumn, item);
    }
    ui->textEdit->moveCursor(QTextCursor::End);
    ui->textEdit->insertPlainText(text);
}

void dhcpDialog::on_StopButton_clicked()
{
    setEditing(true);
    if (process) {
        process->close();
        delete process;
        process = nullptr;
    }
    timer->stop();
    logFile->close();
}

void dhcpDialog::on_ClrinfoButton_clicked()
{
    ui->textEdit->clear();
}

void dhcpDialog::focusCell(int row, int column)
{
    if (row < 0)
        return;
    if (column == MacColumn) {
        if (auto *entry = qobject_cast<MACDialog *>(ui->tableInfo->cellWidget(row, column)))
            entry->setFocusFirst();
    } else if (column == IpColumn) {
        if (auto *entry = qobject_cast<IPAddress *>(ui->tableInfo->cellWidget(row, column)))
            entry->setFocusFirst();
    }
}

void dhcpDialog::on_tableInfo_currentCellChanged(int currentRow, int currentColumn, int, int)
{
    focusCell(currentRow, currentColumn);
}

void dhcpDialog::focusInEvent(QFocusEvent *event)
{
    QDialog::focusInEvent(event);
    focusCell(ui->tableInfo->currentRow(), ui->tableInfo->currentColumn());
}
