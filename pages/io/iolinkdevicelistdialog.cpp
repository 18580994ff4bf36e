#include "iolinkdevicelistdialog.h"

#include "ioutlinkform.h"
#include "moduleslot.h"
#include "prompts.h"
#include "rowmenu.h"
#include "ui_iolinkdevicelistdialog.h"

#include <QAction>
#include <QColor>
#include <QMenu>

namespace {
using Column = IOutlinkForm::Column;
const QColor duplicateColour(QStringLiteral("#B0C4DE"));
} // namespace

IOlinkDevicelistDialog::IOlinkDevicelistDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::IOlinkDevicelistDialog)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    ui->widget->hideMinButton();
    ui->widget->hideMaxButton();
    ui->widget->setWindow(this);
    ui->treeWidget->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->treeWidget, &QWidget::customContextMenuRequested, this, &IOlinkDevicelistDialog::showmenu);
}

IOlinkDevicelistDialog::~IOlinkDevicelistDialog()
{
    delete ui;
}

void IOlinkDevicelistDialog::setDevices(QList<moduleslot *> devices)
{
    for (moduleslot *entry : qAsConst(devices))
        IOutlinkForm::addModuleRow(ui->treeWidget, entry);
    const int n = devices.size();
    for (int i = n; i < MaxRows; ++i)
        new QTreeWidgetItem(ui->treeWidget);
    if (n < MaxRows)
        ui->treeWidget->setCurrentItem(ui->treeWidget->topLevelItem(n));
}

void IOlinkDevicelistDialog::setCatalogue(QMap<QString, moduleslot *> types)
{
    catalogue = types;
    fillCatalogueTree();
}

QList<moduleslot *> IOlinkDevicelistDialog::getDevices()
{
    QList<moduleslot *> devices;
    for (int i = 0; i < ui->treeWidget->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = ui->treeWidget->topLevelItem(i);
        if (row->text(Column::NameColumn).isEmpty())
            continue;
        moduleslot *entry = IOutlinkForm::entryFromRow(row);
        // Slots follow the filled rows, so no two remote modules share one whatever rows stayed
        // empty in between: the block tells modules apart by their slot alone.
        entry->slot = devices.size() + 1;
        for (int j = 0; j < row->childCount(); ++j) {
            moduleslot *sub = IOutlinkForm::entryFromRow(row->child(j));
            sub->slot = entry->slot;
            sub->parent = entry;
            entry->children.append(sub);
        }
        devices.append(entry);
    }
    return devices;
}

void IOlinkDevicelistDialog::showSubmoduleTypes(QList<moduleslot *> types)
{
    ui->treeWidget_sub->clear();
    for (moduleslot *type : qAsConst(types)) {
        auto *item = new QTreeWidgetItem(ui->treeWidget_sub);
        item->setText(0, type->name);
        IOutlinkForm::setEntry(item, type);
    }
}

void IOlinkDevicelistDialog::fillCatalogueTree()
{
    ui->treeWidgetsrc->clear();
    for (auto it = catalogue.cbegin(); it != catalogue.cend(); ++it) {
        if (!it.value() || it.value()->parent)
            continue;
        auto *item = new QTreeWidgetItem(ui->treeWidgetsrc);
        item->setText(0, it.key());
        IOutlinkForm::setEntry(item, it.value());
    }
}

void IOlinkDevicelistDialog::checkDuplicateIP()
{
    QList<QTreeWidgetItem *> rows;
    for (int i = 0; i < ui->treeWidget->topLevelItemCount(); ++i)
        rows.append(ui->treeWidget->topLevelItem(i));
    IOutlinkForm::markSharedAddresses(rows, duplicateColour);
}

void IOlinkDevicelistDialog::askForRow()
{
    Prompts::information(nullptr, QString(), tr("鼠标选择需要插入或者替换的行"), QMessageBox::Ok);
}

void IOlinkDevicelistDialog::on_treeWidgetsrc_itemClicked(QTreeWidgetItem *item, int)
{
    moduleslot *type = IOutlinkForm::entryOf(item);
    if (!type)
        return;
    showSubmoduleTypes(type->children);
    ui->widget_info->showEntry(type);
}

void IOlinkDevicelistDialog::on_treeWidgetsrc_itemDoubleClicked(QTreeWidgetItem *item, int)
{
    moduleslot *t = IOutlinkForm::entryOf(item);
    if (!t)
        return;
    QTreeWidgetItem *row = ui->treeWidget->currentItem();
    // A module type goes only on a module row.
    if (!row || row->parent()) {
        askForRow();
        return;
    }
    row->setText(Column::NameColumn, t->name);
    row->setText(Column::SlotColumn, QString::number(ui->treeWidget->indexOfTopLevelItem(row) + 1));
    row->setText(Column::SubSlotColumn, QString::number(t->subSlot));
    row->setText(Column::InputColumn, QString::number(t->Inputsize));
    row->setText(Column::OutputColumn, QString::number(t->Outputsize));
    row->setText(Column::IpColumn, t->ip);
    row->setText(Column::ScanColumn, QString::number(quint32(t->Scantime)));
}

void IOlinkDevicelistDialog::on_treeWidget_sub_itemDoubleClicked(QTreeWidgetItem *item, int)
{
    moduleslot *s = IOutlinkForm::entryOf(item);
    if (!s)
        return;
    QTreeWidgetItem *row = ui->treeWidget->currentItem();
    if (!row) {
        askForRow();
        return;
    }
    QTreeWidgetItem *m = row->parent() ? row->parent() : row;
    // Only under a module whose type lists this sub-module type.
    moduleslot *type = catalogue.value(m->text(Column::NameColumn));
    if (!type || !type->findSubmodule(s->name)) {
        askForRow();
        return;
    }
    if (m->childCount() >= type->Maxslotnum) {
        Prompts::information(nullptr, QString(), tr("超过了最大子槽数量"), QMessageBox::Ok);
        return;
    }
    auto *sub = new QTreeWidgetItem(m);
    sub->setText(Column::SlotColumn, QString::number(IOutlinkForm::cellNumber(m, Column::SlotColumn)));
    sub->setText(Column::SubSlotColumn, QString::number(m->childCount()));
    sub->setText(Column::NameColumn, s->name);
    sub->setText(Column::InputColumn, QString::number(s->Inputsize));
    sub->setText(Column::OutputColumn, QString::number(s->Outputsize));
}

void IOlinkDevicelistDialog::on_treeWidget_itemClicked(QTreeWidgetItem *item, int)
{
    if (!item)
        return;
    moduleslot *type = catalogue.value(item->text(Column::NameColumn));
    if (type)
        showSubmoduleTypes(type->children);
    else if (!item->parent())
        ui->treeWidget_sub->clear();
}

void IOlinkDevicelistDialog::on_treeWidget_itemDoubleClicked(QTreeWidgetItem *item, int column)
{
    if (!item || m_cellEditor.isOpen())
        return;
    m_cellEditor.open(ui->treeWidget, item, column, this, [this]() { TableWidgetItemEditingFinishSlot(); });
}

void IOlinkDevicelistDialog::TableWidgetItemEditingFinishSlot()
{
    QString text;
    if (m_cellEditor.finish(&text) && !text.isEmpty())
        checkDuplicateIP();
}

void IOlinkDevicelistDialog::showmenu(QPoint pos)
{
    popupRowMenu(ui->treeWidget, pos, tr("删除"), [this]() { delitem(false); });
}

void IOlinkDevicelistDialog::delitem(bool)
{
    QTreeWidgetItem *row = ui->treeWidget->currentItem();
    if (!row)
        return;
    m_cellEditor.discard();
    QTreeWidgetItem *moduleRow = row->parent();
    delete row;
    if (moduleRow) {
        IOutlinkForm::numberSubRows(moduleRow);
        return;
    }
    renumberModules();
}

void IOlinkDevicelistDialog::renumberModules()
{
    for (int i = 0; i < ui->treeWidget->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = ui->treeWidget->topLevelItem(i);
        if (row->text(Column::NameColumn).isEmpty())
            break;
        IOutlinkForm::setSlotText(row, i + 1);
    }
}
