#include "firmwaredialog.h"
#include "ui_firmwaredialog.h"

#include "firmwarefileform.h"
#include "module.h"
#include "moduletargets.h"
#include "tcpthread.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QThread>
#include <algorithm>

namespace {

enum Column { TickColumn, IpColumn, NameColumn, FileColumn, StateColumn };

QTableWidgetItem *readOnlyItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}

QString dottedAddress(QString text)
{
    text = text.trimmed();
    text.replace(QLatin1Char(':'), QLatin1Char('.'));
    return text;
}

} // namespace

FirmwareDialog::FirmwareDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::FirmwareDialog)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    ui->widget->hideMaxButton();
    ui->widget->hideMinButton();
    ui->widget->setTitleIcon(QIcon(":/new/prefix1/img/Firmware.png"));
    ui->widget->setWindow(this);
    ui->widget->setTitleText(tr("固件升级"));

    ui->tableWidget->setColumnWidth(TickColumn, 30);
    ui->tableWidget->setColumnWidth(IpColumn, 150);
    ui->tableWidget->setColumnWidth(NameColumn, 150);
    ui->tableWidget->setColumnWidth(FileColumn, 540);
    ui->tableWidget->setColumnWidth(StateColumn, 100);
    ui->tableWidget->horizontalHeader()->setStyleSheet("QHeaderView::section{background-color: rgb(178, 171, 255);}");
    connect(ui->tableWidget->horizontalHeader(), &QHeaderView::sectionClicked, this,
        &FirmwareDialog::on_tablewidget_sectionClicked);

    ui->checkBox->setEnabled(false);
    ui->pushButton->setEnabled(false);
}

FirmwareDialog::~FirmwareDialog()
{
    qDeleteAll(items);
    delete ui;
}

void FirmwareDialog::setModuleList(QList<module *> modules)
{
    ui->tableWidget->setRowCount(0);
    qDeleteAll(items);
    items.clear();
    for (module *m : modules) {
        if (!m)
            continue;
        auto *item = new FirmwareItem;
        item->name = m->ModuleShowName;
        item->ip = m->ip;
        item->status = tr("未下载");
        item->module = m;
        items.append(item);
    }
    ui->checkBox->setEnabled(!items.isEmpty());
    ui->pushButton->setEnabled(!items.isEmpty());
    fillTable();
}

void FirmwareDialog::fillTable()
{
    for (FirmwareItem *item : qAsConst(items)) {
        const int row = ui->tableWidget->rowCount();
        ui->tableWidget->insertRow(row);
        item->row = row;

        item->checkBox = new QCheckBox;
        item->checkBox->setChecked(item->ticked);
        ui->tableWidget->setCellWidget(row, TickColumn, item->checkBox);

        QTableWidgetItem *ipItem = readOnlyItem(item->ip);
        ipItem->setData(Qt::UserRole + 1, QVariant::fromValue(static_cast<void *>(item)));
        ui->tableWidget->setItem(row, IpColumn, ipItem);
        ui->tableWidget->setItem(row, NameColumn, readOnlyItem(item->name));

        item->fileForm = new FirmwareFileForm;
        item->fileForm->setPath(item->path);
        ui->tableWidget->setCellWidget(row, FileColumn, item->fileForm);

        ui->tableWidget->setItem(row, StateColumn, readOnlyItem(item->status));
    }
}

void FirmwareDialog::readRows()
{
    for (int row = ui->tableWidget->rowCount() - 1; row >= 0; --row) {
        QTableWidgetItem *ipItem = ui->tableWidget->item(row, IpColumn);
        auto *item = ipItem ? static_cast<FirmwareItem *>(ipItem->data(Qt::UserRole + 1).value<void *>()) : nullptr;
        if (item) {
            item->ticked = item->checkBox->isChecked();
            item->path = item->fileForm->getPath();
            item->status = ui->tableWidget->item(row, StateColumn)->text();
            item->checkBox = nullptr;
            item->fileForm = nullptr;
        }
        ui->tableWidget->removeRow(row);
    }
}

bool FirmwareDialog::lessByChecked(const FirmwareItem *a, const FirmwareItem *b)
{
    return a->ticked && !b->ticked;
}

bool FirmwareDialog::sortByName(const FirmwareItem *a, const FirmwareItem *b)
{
    return a->name < b->name;
}

void FirmwareDialog::sortByStatus(QList<FirmwareItem *> &list)
{
    std::stable_sort(
        list.begin(), list.end(), [](const FirmwareItem *a, const FirmwareItem *b) { return a->status < b->status; });
    QList<QList<FirmwareItem *>> groups;
    for (FirmwareItem *item : qAsConst(list)) {
        if (groups.isEmpty() || groups.last().first()->status != item->status)
            groups.append(QList<FirmwareItem *>());
        groups.last().append(item);
    }
    const auto failed = std::find_if(groups.begin(), groups.end(),
        [](const QList<FirmwareItem *> &g) { return g.first()->status.contains(QStringLiteral("错误")); });
    if (failed != groups.end())
        std::rotate(groups.begin(), failed, failed + 1);
    const int from = failed != groups.end() ? 1 : 0;
    const auto done = std::find_if(groups.begin() + from, groups.end(),
        [](const QList<FirmwareItem *> &g) { return g.first()->status.contains(QStringLiteral("完成")); });
    if (done != groups.end())
        std::rotate(done, done + 1, groups.end());
    list.clear();
    for (const QList<FirmwareItem *> &g : qAsConst(groups))
        list += g;
}

void FirmwareDialog::on_tablewidget_sectionClicked(int column)
{
    if (column != TickColumn && column != NameColumn && column != StateColumn)
        return;
    readRows();
    if (column == TickColumn)
        std::stable_sort(items.begin(), items.end(), lessByChecked);
    else if (column == NameColumn)
        std::stable_sort(items.begin(), items.end(), sortByName);
    else
        sortByStatus(items);
    fillTable();
}

void FirmwareDialog::on_checkBox_stateChanged(int)
{
    if (items.isEmpty())
        return;
    const QString path = items.first()->fileForm->getPath();
    for (int i = 1; i < items.size(); ++i) {
        if (items[i]->checkBox->isChecked())
            items[i]->fileForm->setPath(path);
    }
}

void FirmwareDialog::on_pushButton_clicked()
{
    for (ModuleTargetList &list : workerLists)
        list.clear();
    for (FirmwareItem *item : qAsConst(items)) {
        module *m = item->module;
        if (!m)
            continue;
        m->firmwareFlag = 0;
        if (!item->checkBox->isChecked() || item->fileForm->isPathEmpty())
            continue;
        QByteArray image;
        const FirmwareHeader header = item->fileForm->readFirmware(image);
        // A file that could not be read (or holds no data) would leave the module without
        // firmware: such a module is left as it is.
        if (header.length == 0) {
            ui->tableWidget->item(item->row, StateColumn)->setText(tr("下载出错"));
            continue;
        }
        m->firmwareData = image;
        m->firmwareHeader = header;
        m->firmwareFlag = 1;
        workerLists[item->row % 3].append(moduleTarget(m));
    }
    ui->pushButton->setEnabled(false);
    for (const ModuleTargetList &list : workerLists)
        startDownload(list);
    emit startdownsignal();
    // Each worker takes the start once; later starts make new workers.
    disconnect(this, &FirmwareDialog::startdownsignal, nullptr, nullptr);
}

void FirmwareDialog::startDownload(const ModuleTargetList &list)
{
    auto *thread = new QThread;
    auto *worker = new TCPThread;
    worker->moduleList = list;
    connect(this, &FirmwareDialog::startdownsignal, worker, &TCPThread::DownFirmware);
    connect(worker, &TCPThread::SendCurIP, this, &FirmwareDialog::SetCurScanIP);
    connect(worker, &TCPThread::finished, thread, &QThread::quit);
    connect(worker, &TCPThread::finished, this, &FirmwareDialog::Sancefinished);
    connect(thread, &QThread::finished, worker, &QObject::deleteLater);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    worker->moveToThread(thread);
    ++m_running;
    thread->start(QThread::InheritPriority);
}

void FirmwareDialog::SetCurScanIP(QString moduleinfo)
{
    const int hash = moduleinfo.indexOf(QLatin1Char('#'));
    if (hash < 0)
        return;
    const QString address = dottedAddress(moduleinfo.left(hash));
    const QString status = moduleinfo.mid(hash + 1).section(QLatin1Char('#'), 0, 0);
    // The whole address must match: a report for 192.168.1.1 is not one for 192.168.1.10.
    for (FirmwareItem *item : qAsConst(items)) {
        if (!item->checkBox->isChecked() || dottedAddress(item->ip) != address)
            continue;
        ui->tableWidget->item(item->row, StateColumn)->setText(status);
        if (QLatin1Char('#') + status == TCPThread::tr("#下载完成") && item->module)
            item->module->firmwareData.clear();
    }
}

void FirmwareDialog::Sancefinished()
{
    // The button comes back only when every worker is done, so that no module is sent twice.
    if (m_running > 0)
        --m_running;
    if (m_running == 0)
        ui->pushButton->setEnabled(true);
}
