#include "restoresetdialog.h"
#include "ui_restoresetdialog.h"

#include "apppaths.h"
#include "delay.h"
#include "factorybroadcast.h"
#include "ipaddress.h"
#include "prompts.h"

#include <QFile>
#include <QHeaderView>
#include <QPointer>
#include <QTimer>
#include <algorithm>

namespace {

enum Column { MacColumn, IpColumn, MaskColumn, GatewayColumn, NameColumn, StateColumn };

QTableWidgetItem *readOnlyItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}

} // namespace

RestoresetDialog::RestoresetDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::RestoresetDialog)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    ui->widget->hideMaxButton();
    ui->widget->hideMinButton();
    ui->widget->setTitleIcon(QIcon(":/new/prefix1/img/rev.png"));
    ui->widget->setWindow(this);
    ui->widget->setTitleText(tr("工厂工具"));

    readModuleNames();

    ui->tableWidget->setColumnWidth(MacColumn, 140);
    ui->tableWidget->setColumnWidth(IpColumn, 135);
    ui->tableWidget->setColumnWidth(MaskColumn, 135);
    ui->tableWidget->setColumnWidth(GatewayColumn, 135);
    ui->tableWidget->setColumnWidth(NameColumn, 120);
    ui->tableWidget->setShowGrid(true);
    ui->tableWidget->horizontalHeader()->setStyleSheet("QHeaderView::section{background-color: rgb(178, 171, 255);}");
    ui->progressBar->setValue(0);
    connect(ui->tableWidget->horizontalHeader(), &QHeaderView::sectionClicked, this,
        &RestoresetDialog::on_tablewidget_sectionClicked);
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &RestoresetDialog::timerout);

    ui->pushButton->setEnabled(true);
    ui->pushButton_4->setEnabled(false);
    setCommandButtons(false);

    sockets = new FactoryBroadcast(this);
    connect(sockets, &FactoryBroadcast::datagramReceived, this, &RestoresetDialog::messageReceive);
    sockets->open();
}

RestoresetDialog::~RestoresetDialog()
{
    timer->stop();
    delete ui;
}

QString RestoresetDialog::macToString(const ModuleNetInfo &info)
{
    return ::macToString(info.mac);
}

QString RestoresetDialog::ipToString(const std::array<quint8, 4> &ip)
{
    return ::ipToString(ip);
}

bool RestoresetDialog::lessByIP(const ModuleNetInfo &a, const ModuleNetInfo &b)
{
    return lessByIPBytes(a, b);
}

bool RestoresetDialog::lessByMAC(const ModuleNetInfo &a, const ModuleNetInfo &b)
{
    return lessByMACBytes(a, b);
}

void RestoresetDialog::readModuleNames()
{
    QFile file(AppPaths::find(QStringLiteral("/ModuleParameter/Pellix/ModuleParameter.xml")));
    if (file.open(QIODevice::ReadOnly))
        moduleNames = ::readModuleNames(file.readAll());
}

void RestoresetDialog::setCommandButtons(bool enabled)
{
    ui->pushButton_2->setEnabled(enabled);
    ui->pushButton_3->setEnabled(enabled);
}

void RestoresetDialog::sendBroadcast(const QString &command)
{
    sockets->send(command.toLatin1());
}

void RestoresetDialog::on_pushButton_clicked()
{
    clearTable();
    records.clear();
    ui->progressBar->setValue(0);
    ui->label_3->setText(tr("扫描进行中:"));
    scanSeconds = ui->lineEdit->text().toInt();
    ui->progressBar->setRange(0, scanSeconds * 10);
    m_ticks = 0;
    sendBroadcast(QString::fromLatin1(factoryHello));
    mode = ScanMode;
    timer->start(100);
}

void RestoresetDialog::timerout()
{
    // A scan time of 0 or less (or no number) ends at the first tick rather than never, which
    // would leave the order buttons off for good.
    ++m_ticks;
    ui->progressBar->setValue(m_ticks);
    if (m_ticks >= scanSeconds * 10) {
        timer->stop();
        ui->pushButton->setEnabled(true);
        ui->pushButton_4->setEnabled(true);
        setCommandButtons(true);
    }
}

void RestoresetDialog::messageReceive(QByteArray datagram)
{
    // A datagram that stops before the MAC cannot be matched to a module.
    ModuleNetInfo info;
    if (!readModuleNetInfo(datagram, info))
        return;
    if (markAssigned(info))
        return;
    addRow(info);
    records.append(info);
}

bool RestoresetDialog::markAssigned(const ModuleNetInfo &info)
{
    const QString mac = macToString(info);
    for (int row = 0; row < ui->tableWidget->rowCount(); ++row) {
        QTableWidgetItem *macItem = ui->tableWidget->item(row, MacColumn);
        if (!macItem || macItem->text() != mac)
            continue;
        if (mode != ScanMode) {
            QTableWidgetItem *state = readOnlyItem(tr("分配成功"));
            state->setBackground(QBrush(QColor(155, 255, 255), Qt::SolidPattern));
            ui->tableWidget->setItem(row, StateColumn, state);
        }
        return true;
    }
    return false;
}

void RestoresetDialog::addRow(const ModuleNetInfo &info)
{
    const int row = ui->tableWidget->rowCount();
    ui->tableWidget->insertRow(row);
    ui->tableWidget->setItem(row, MacColumn, readOnlyItem(macToString(info)));
    const std::array<quint8, 4> *addresses[] = { &info.ip, &info.mask, &info.gateway };
    for (int i = 0; i < 3; ++i) {
        auto *entry = new IPAddress;
        entry->setIP(ipToString(*addresses[i]));
        ui->tableWidget->setCellWidget(row, IpColumn + i, entry);
    }
    ui->tableWidget->setItem(row, NameColumn, readOnlyItem(shownModuleName(info.typeName, moduleNames)));
    ui->tableWidget->setItem(row, StateColumn, readOnlyItem(tr("未操作")));
}

void RestoresetDialog::clearTable()
{
    ui->tableWidget->setRowCount(0);
}

void RestoresetDialog::refreshTable()
{
    for (const ModuleNetInfo &info : qAsConst(records))
        addRow(info);
}

void RestoresetDialog::on_tablewidget_sectionClicked(int column)
{
    if (column == MacColumn)
        std::stable_sort(records.begin(), records.end(), lessByMAC);
    else if (column == IpColumn)
        std::stable_sort(records.begin(), records.end(), lessByIP);
    else
        return;
    clearTable();
    refreshTable();
}

void RestoresetDialog::on_pushButton_3_clicked()
{
    ui->tableWidget->setEnabled(false);
    ui->pushButton->setEnabled(false);
    setCommandButtons(false);
    QPointer<RestoresetDialog> self(this);
    // Replies are handled during the waits and may add rows, so the count is read each time.
    for (int row = 0; row < ui->tableWidget->rowCount(); ++row) {
        ui->tableWidget->setItem(row, StateColumn, readOnlyItem(tr("开始分配")));
        QString address[3];
        for (int i = 0; i < 3; ++i) {
            auto *entry = qobject_cast<IPAddress *>(ui->tableWidget->cellWidget(row, IpColumn + i));
            address[i] = entry ? entry->getPaddedIP(3) : QString();
        }
        mode = IpSetMode;
        sendBroadcast(QString::fromLatin1(
            ipSetCommand(ui->tableWidget->item(row, MacColumn)->text(), address[0], address[1], address[2])));
        delay(5);
        if (!self)
            return;
    }
    delay(100);
    if (!self)
        return;
    ui->tableWidget->setEnabled(true);
    ui->pushButton->setEnabled(true);
    setCommandButtons(true);
}

void RestoresetDialog::on_pushButton_2_clicked()
{
    ui->pushButton->setEnabled(false);
    setCommandButtons(false);
    // Shown in Chinese in either language.
    const QMessageBox::StandardButton answer = Prompts::question(this, QStringLiteral("恢复出厂设置"),
        QStringLiteral("是否确认将列表里面的所有模块恢复出厂设置？"), QMessageBox::Yes | QMessageBox::No,
        QMessageBox::Yes);
    if (answer == QMessageBox::Yes) {
        mode = FactoryResetMode;
        sendBroadcast(QString::fromLatin1(factoryRestore));
    }
    ui->pushButton->setEnabled(true);
    setCommandButtons(true);
}

void RestoresetDialog::on_pushButton_4_clicked()
{
    mode = RestartMode;
    sendBroadcast(QString::fromLatin1(factoryReset));
}
