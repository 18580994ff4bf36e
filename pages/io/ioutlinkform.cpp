#include "ioutlinkform.h"

#include "apppaths.h"
#include "iolinkdevicelistdialog.h"
#include "ioutlinkblock.h"
#include "modulebase.h"
#include "moduleslot.h"
#include "prompts.h"
#include "scandialog.h"
#include "scanreply.h"
#include "rowmenu.h"
#include "ui_ioutlinkform.h"
#include "usrconf.h"

#include <QAction>
#include <QColor>
#include <QHash>
#include <QHeaderView>
#include <QIcon>
#include <QMenu>

namespace {

const QString iconOk = QStringLiteral("v.png");
const QString iconModified = QStringLiteral("modify.png");
const QString iconMissing = QStringLiteral("-.png");
const QString iconAdded = QStringLiteral("+.png");
const QColor duplicateColour(QStringLiteral("#EE6363"));

// Fields that follow field 10 (the sub-module count) of a module-information reply.
constexpr int scanReplyMinFields = 11;

} // namespace

IOutlinkForm::IOutlinkForm(QWidget *parent)
    : menubase(parent)
    , ui(new Ui::IOutlinkForm)
{
    ownsRest = true;
    buildUnlessDeferred();
}

void IOutlinkForm::buildPage()
{
    ui->setupUi(this);
    // Every column as wide as its header and its widest cell (a module row's name carries its
    // state icon and the tree's indentation), whatever the language and the names.
    ui->treeWidget->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // A stretched last column would shrink below its header on a narrow window; the table
    // scrolls instead.
    ui->treeWidget->header()->setStretchLastSection(false);
    ui->treeWidget->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->treeWidget, &QWidget::customContextMenuRequested, this, &IOutlinkForm::show_menu);
    readSublistmap();
}

IOutlinkForm::~IOutlinkForm()
{
    delete ui;
}

moduleslot *IOutlinkForm::adopt(moduleslot *entry)
{
    if (entry)
        entry->setParent(this);
    return entry;
}

moduleslot *IOutlinkForm::entryOf(QTreeWidgetItem *row)
{
    if (!row)
        return nullptr;
    return reinterpret_cast<moduleslot *>(row->data(NameColumn, EntryRole).value<quintptr>());
}

void IOutlinkForm::setEntry(QTreeWidgetItem *row, moduleslot *entry)
{
    row->setData(NameColumn, EntryRole, QVariant::fromValue(reinterpret_cast<quintptr>(entry)));
}

void IOutlinkForm::setRowIcon(QTreeWidgetItem *row, const QString &name)
{
    row->setIcon(NameColumn, QIcon(QStringLiteral(":/new/prefix1/img/") + name));
    row->setData(NameColumn, IconRole, name);
}

QString IOutlinkForm::rowIcon(QTreeWidgetItem *row)
{
    return row ? row->data(NameColumn, IconRole).toString() : QString();
}

int IOutlinkForm::cellNumber(QTreeWidgetItem *row, int column)
{
    bool ok = false;
    const int n = row->text(column).toInt(&ok, 10);
    return ok ? n : 0;
}

quint32 IOutlinkForm::cellUnsigned(QTreeWidgetItem *row, int column)
{
    bool ok = false;
    const quint32 n = row->text(column).toUInt(&ok, 10);
    return ok ? n : 0;
}

moduleslot *IOutlinkForm::entryFromRow(QTreeWidgetItem *row)
{
    auto *entry = new moduleslot(row->text(NameColumn));
    entry->ip = row->text(IpColumn);
    entry->slot = cellNumber(row, SlotColumn) & 0xFF;
    entry->subSlot = cellNumber(row, SubSlotColumn) & 0xFF;
    entry->Inputsize = cellNumber(row, InputColumn) & 0xFF;
    entry->Outputsize = cellNumber(row, OutputColumn) & 0xFF;
    entry->Scantime = int(cellUnsigned(row, ScanColumn));
    return entry;
}

void IOutlinkForm::showEntry(QTreeWidgetItem *row, moduleslot *entry, bool module)
{
    row->setText(SlotColumn, QString::number(entry->slot));
    row->setText(SubSlotColumn, QString::number(entry->subSlot));
    row->setText(NameColumn, entry->name);
    row->setText(InputColumn, QString::number(entry->Inputsize));
    row->setText(OutputColumn, QString::number(entry->Outputsize));
    if (module) {
        row->setText(IpColumn, entry->ip);
        row->setText(ScanColumn, QString::number(quint32(entry->Scantime)));
    }
}

QTreeWidgetItem *IOutlinkForm::addModuleRow(QTreeWidget *tree, moduleslot *entry)
{
    auto *row = new QTreeWidgetItem(tree);
    setEntry(row, entry);
    showEntry(row, entry, true);
    for (moduleslot *child : qAsConst(entry->children))
        showEntry(new QTreeWidgetItem(row), child, false);
    return row;
}

void IOutlinkForm::setSlotText(QTreeWidgetItem *row, int slot)
{
    row->setText(SlotColumn, QString::number(slot));
    for (int j = 0; j < row->childCount(); ++j)
        row->child(j)->setText(SlotColumn, QString::number(slot));
}

void IOutlinkForm::numberSubRows(QTreeWidgetItem *row)
{
    for (int j = 0; j < row->childCount(); ++j)
        row->child(j)->setText(SubSlotColumn, QString::number(j + 1));
}

bool IOutlinkForm::markSharedAddresses(const QList<QTreeWidgetItem *> &rows, const QColor &colour)
{
    if (rows.isEmpty())
        return false;
    const QBrush normal = rows.first()->background(NameColumn);
    QHash<QString, QList<QTreeWidgetItem *>> byAddress;
    QStringList order;
    for (QTreeWidgetItem *row : rows) {
        const QString ip = row->text(IpColumn);
        if (ip.isEmpty())
            continue;
        if (!byAddress.contains(ip))
            order.append(ip);
        byAddress[ip].append(row);
    }
    bool shared = false;
    for (const QString &ip : qAsConst(order)) {
        const QList<QTreeWidgetItem *> &holders = byAddress[ip];
        shared = shared || holders.size() > 1;
        for (QTreeWidgetItem *row : holders)
            row->setBackground(IpColumn, holders.size() > 1 ? QBrush(colour) : normal);
    }
    return shared;
}

QList<QTreeWidgetItem *> IOutlinkForm::moduleRows() const
{
    QList<QTreeWidgetItem *> rows;
    for (int i = 0; i < ui->treeWidget->topLevelItemCount(); ++i)
        rows.append(ui->treeWidget->topLevelItem(i));
    return rows;
}

QTreeWidgetItem *IOutlinkForm::addSubRow(
    QTreeWidgetItem *row, const QString &name, int slot, int subSlot, int in, int out)
{
    auto *sub = new QTreeWidgetItem(row);
    sub->setText(NameColumn, name);
    sub->setText(SlotColumn, QString::number(slot));
    sub->setText(SubSlotColumn, QString::number(subSlot));
    sub->setText(InputColumn, QString::number(in));
    sub->setText(OutputColumn, QString::number(out));
    return sub;
}

void IOutlinkForm::markModified(QTreeWidgetItem *row, moduleslot *entry)
{
    if (entry)
        entry->modified = true;
    updateRowIcon(row);
}

QByteArray IOutlinkForm::getParamData()
{
    ensureBuilt();
    // The cells a module row and a sub-module row have alike.
    const auto recordOf = [this](QTreeWidgetItem *row) {
        IoutlinkRecord r;
        r.name = row->text(NameColumn);
        r.slot = cellNumber(row, SlotColumn);
        r.subSlot = cellNumber(row, SubSlotColumn);
        r.Inputsize = cellNumber(row, InputColumn);
        r.Outputsize = cellNumber(row, OutputColumn);
        r.typeId = quint32(typeIdByName(r.name));
        return r;
    };
    QVector<IoutlinkStation> stations;
    for (QTreeWidgetItem *row : moduleRows()) {
        IoutlinkStation station;
        station.module = recordOf(row);
        station.module.ip = row->text(IpColumn);
        station.module.Scantime = cellUnsigned(row, ScanColumn);
        for (int j = 0; j < row->childCount(); ++j)
            station.subs.append(recordOf(row->child(j)));
        stations.append(station);
    }
    const QByteArray block = encodeIoutlinkBlock(stations);
    rebuildSlotList();
    return block;
}

int IOutlinkForm::setParamData(QByteArray data)
{
    ensureBuilt();
    const QVector<IoutlinkRecord> records = decodeIoutlinkRecords(data);
    const QVector<int> owners = ioutlinkOwners(records);
    QTreeWidgetItem *currentRow = nullptr;
    moduleslot *currentEntry = nullptr;
    for (int i = 0; i < records.size(); ++i) {
        const IoutlinkRecord &rec = records.at(i);
        moduleslot *entry = adopt(new moduleslot(rec.name));
        entry->ip = rec.ip;
        entry->slot = rec.slot;
        entry->subSlot = rec.subSlot;
        entry->Inputsize = rec.Inputsize;
        entry->Outputsize = rec.Outputsize;
        entry->typeId = int(rec.typeId);
        entry->Scantime = int(rec.Scantime);
        QTreeWidgetItem *row;
        if (owners.at(i) >= 0 && currentRow) {
            row = new QTreeWidgetItem(currentRow);
            entry->parent = currentEntry;
            currentEntry->children.append(entry);
        } else {
            row = new QTreeWidgetItem(ui->treeWidget);
            setRowIcon(row, iconOk);
            row->setText(IpColumn, entry->ip);
            row->setText(ScanColumn, QString::number(rec.Scantime));
            currentRow = row;
            currentEntry = entry;
        }
        setEntry(row, entry);
        row->setText(SlotColumn, QString::number(rec.slot));
        row->setText(SubSlotColumn, QString::number(rec.subSlot));
        row->setText(NameColumn, rec.name);
        row->setText(InputColumn, QString::number(rec.Inputsize));
        row->setText(OutputColumn, QString::number(rec.Outputsize));
        slotList.append(entry);
    }
    return data.size();
}

void IOutlinkForm::retranslate(int) { }

QList<moduleslot *> IOutlinkForm::getSlotList()
{
    ensureBuilt();
    QList<moduleslot *> list;
    for (QTreeWidgetItem *row : moduleRows()) {
        moduleslot *entry = adopt(entryFromRow(row));
        entry->typeId = typeIdByName(entry->name);
        for (int j = 0; j < row->childCount(); ++j) {
            moduleslot *sub = adopt(entryFromRow(row->child(j)));
            sub->typeId = typeIdByName(sub->name);
            sub->parent = entry;
            entry->children.append(sub);
        }
        list.append(entry);
    }
    return list;
}

void IOutlinkForm::readSublistmap()
{
    if (!sublistMap.read())
        Prompts::critical(nullptr, QStringLiteral("Erro"), QStringLiteral("Missing file"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
}

int IOutlinkForm::typeIdByName(QString name) const
{
    for (auto it = sublistMap.cbegin(); it != sublistMap.cend(); ++it) {
        if (it.value() == name)
            return it.key();
    }
    return int(IoutlinkNoTypeId);
}

void IOutlinkForm::readDeviceslist()
{
    if (!owner)
        return;
    IoutlinkCatalogueReader::readDeviceslist(
        AppPaths::find(IoutlinkCatalogueReader::deviceslistPath(owner->Family, owner->name)), catalogue, this);
}

bool IOutlinkForm::readModuleDescription(moduleslot *entry)
{
    return IoutlinkCatalogueReader::readModuleDescription(entry);
}

void IOutlinkForm::rebuildSlotList()
{
    slotList.clear();
    for (QTreeWidgetItem *row : moduleRows()) {
        moduleslot *entry = adopt(entryFromRow(row));
        setEntry(row, entry);
        slotList.append(entry);
        setRowIcon(row, iconOk);
        for (int j = 0; j < row->childCount(); ++j) {
            QTreeWidgetItem *child = row->child(j);
            moduleslot *sub = adopt(entryFromRow(child));
            sub->parent = entry;
            entry->children.append(sub);
            setEntry(child, sub);
        }
    }
}

void IOutlinkForm::updateRowIcon(QTreeWidgetItem *row)
{
    moduleslot *entry = entryOf(row);
    if (!row || !entry)
        return;
    if (entry->removed)
        setRowIcon(row, iconMissing);
    else if (entry->modified)
        setRowIcon(row, iconModified);
    else
        setRowIcon(row, iconOk);
}

bool IOutlinkForm::checkDuplicateIP()
{
    const QList<QTreeWidgetItem *> rows = moduleRows();
    // Shared addresses are judged before the empty ones below are filled in.
    bool found = markSharedAddresses(rows, duplicateColour);
    const QStringList ownerParts = owner ? owner->ipAddress.split(QLatin1Char('.')) : QStringList();
    for (QTreeWidgetItem *row : rows) {
        if (!row->text(IpColumn).isEmpty())
            continue;
        found = true;
        row->setBackground(IpColumn, duplicateColour);
        if (ownerParts.size() >= 3) {
            row->setText(IpColumn,
                QStringList(ownerParts.mid(0, 3)).join(QLatin1Char('.')) + QLatin1Char('.')
                    + QString::number(cellNumber(row, SlotColumn)));
        }
    }
    return found;
}

bool IOutlinkForm::rowDiffers(moduleslot *entry, QTreeWidgetItem *row) const
{
    if (!entry || !row)
        return true;
    return row->text(IpColumn) != entry->ip || cellUnsigned(row, ScanColumn) != quint32(entry->Scantime)
        || row->text(NameColumn) != entry->name || cellNumber(row, InputColumn) != entry->Inputsize
        || cellNumber(row, OutputColumn) != entry->Outputsize;
}

bool IOutlinkForm::subRowDiffers(moduleslot *entry, QTreeWidgetItem *row) const
{
    // A sub-module row without a recorded counterpart is a change.
    if (!entry || !row)
        return true;
    return row->text(NameColumn) != entry->name || cellNumber(row, InputColumn) != entry->Inputsize
        || cellNumber(row, OutputColumn) != entry->Outputsize;
}

void IOutlinkForm::show_menu(QPoint pos)
{
    popupRowMenu(ui->treeWidget, pos, tr("删除"), [this]() { delitem(false); });
}

void IOutlinkForm::delitem(bool)
{
    QTreeWidgetItem *row = ui->treeWidget->currentItem();
    if (!row)
        return;
    // The open editor goes with its row's cell; it must not report into a deleted row.
    if (m_cellEditor.discard())
        editorOpen = false;
    QTreeWidgetItem *moduleRow = row->parent();
    delete row;
    if (moduleRow) {
        numberSubRows(moduleRow);
        moduleslot *entry = entryOf(moduleRow);
        if (moduleRow->childCount() > 0 && entry)
            entry->modified = true;
        updateRowIcon(moduleRow);
        return;
    }
    const QList<QTreeWidgetItem *> rows = moduleRows();
    for (int i = 0; i < rows.size(); ++i)
        setSlotText(rows.at(i), i + 1);
}

void IOutlinkForm::on_treeWidget_itemDoubleClicked(QTreeWidgetItem *item, int column)
{
    if (editorOpen || !item)
        return;
    moduleslot *entry = entryOf(item);
    if (!entry || entry->parent || item->parent())
        return;
    if (m_cellEditor.open(ui->treeWidget, item, column, this, [this]() { editingfinishslot(); }))
        editorOpen = true;
}

void IOutlinkForm::editingfinishslot()
{
    // The cell the editor was opened in, not whatever row became current meanwhile.
    if (QTreeWidgetItem *row = m_cellEditor.finish()) {
        moduleslot *entry = entryOf(row);
        if (rowDiffers(entry, row)) {
            markModified(row, entry);
            checkDuplicateIP();
        }
    }
    editorOpen = false;
}

bool IOutlinkForm::writeSetting(QString group, QString key, QString value)
{
    if (key.isEmpty())
        return false;
    UsrConf::write(group, key, value);
    return true;
}

bool IOutlinkForm::readSetting(QString group, QString key, QString &value)
{
    value.clear();
    if (key.isEmpty())
        return false;
    UsrConf::read(group, key, value);
    return true;
}

void IOutlinkForm::on_pushButton_clicked()
{
    auto *dialog = new SCANDialog(nullptr);
    connect(dialog, &SCANDialog::Sendmodule, this,
        [this](QByteArray info, modulebase::CONNEST_TYPE) { getmoduleinfo(info); });
    connect(dialog, &SCANDialog::SendmodulePrm, this, &IOutlinkForm::getmoduleinfoPrm);
    connect(dialog, qOverload<QString>(&SCANDialog::startscan), this, &IOutlinkForm::startnewscan);

    readDeviceslist();
    const QString group = QStringLiteral("ioutlink_scanip");
    QString start, end;
    readSetting(group, QStringLiteral("StartIP"), start);
    readSetting(group, QStringLiteral("EndIP"), end);
    dialog->setIPRange(start, end);
    scanList.clear();

    Prompts::exec(dialog);

    markMissingRows();
    writeSetting(group, QStringLiteral("StartIP"), dialog->getStartIP());
    writeSetting(group, QStringLiteral("EndIP"), dialog->getEndIP());
    delete dialog;
}

void IOutlinkForm::getmoduleinfo(QByteArray moduleinfo)
{
    // Every field read below must be there; a cut reply is not merged at all.
    if (moduleinfo.count('#') + 1 < scanReplyMinFields)
        return;
    const ScanReply reply = ScanReply::parse(moduleinfo);
    if (!reply.hasModuleType)
        return;
    moduleslot *c = catalogue.value(reply.typeName);
    if (!c)
        return;

    moduleslot *e = adopt(new moduleslot(c));
    e->ip = reply.ip;
    QTreeWidgetItem *row = nullptr;
    bool isNew = true;
    // Recorded modules first; then a row that an earlier scan added for the same address and
    // name, so that scanning again does not add the module twice.
    if (moduleslot *k = findKnownEntry(e)) {
        row = findRowByAddress(k);
        if (row) {
            e->deleteLater();
            e = k;
            isNew = false;
        }
    }
    if (isNew) {
        QTreeWidgetItem *same = findRowByAddress(e);
        moduleslot *sameEntry = entryOf(same);
        if (same && sameEntry && !slotList.contains(sameEntry)) {
            e->deleteLater();
            e = sameEntry;
            row = same;
            isNew = false;
        }
    }
    // Changes to a module that this page has not recorded yet keep showing it as added.
    const bool unrecorded = !slotList.contains(e);
    if (isNew) {
        // Rows + 1, unless a coupler's list with gaps already uses that slot: modules are told
        // apart in the block by their slot alone.
        e->slot = ui->treeWidget->topLevelItemCount() + 1;
        for (QTreeWidgetItem *other : moduleRows())
            e->slot = qMax(e->slot, cellNumber(other, SlotColumn) + 1);
        e->subSlot = 0;
        row = new QTreeWidgetItem(ui->treeWidget);
        row->setText(NameColumn, reply.typeName);
        row->setText(SlotColumn, QString::number(e->slot));
        row->setText(SubSlotColumn, QStringLiteral("0"));
        row->setText(IpColumn, e->ip);
        row->setText(InputColumn, QString::number(e->Inputsize));
        row->setText(OutputColumn, QString::number(e->Outputsize));
        row->setText(ScanColumn, QString::number(quint32(e->Scantime)));
        setRowIcon(row, iconAdded);
        setEntry(row, e);
    }
    scanList.append(e);

    // The module's place is its row's slot, which deleting rows may have renumbered.
    const int slot = cellNumber(row, SlotColumn);
    for (int i = 0; i < reply.subs.size(); ++i) {
        const int id = reply.subs.at(i).typeId;
        if (!sublistMap.contains(id))
            continue;
        const QString name = sublistMap.value(id);
        moduleslot *d = c->findSubmodule(name);
        if (!d)
            continue;
        moduleslot *s = adopt(new moduleslot(d));
        s->subSlot = i + 1;
        s->slot = slot;
        if (isNew) {
            addSubRow(row, name, slot, i + 1, s->Inputsize, s->Outputsize);
            s->parent = e;
            e->children.append(s);
            e->modified = true;
            setRowIcon(row, iconAdded);
            scanList.append(s);
            continue;
        }
        if (!readModuleDescription(s)) {
            s->deleteLater();
            continue;
        }
        moduleslot *x = findChildEntry(e, s);
        QTreeWidgetItem *subRow = x ? findChildRow(row, x) : nullptr;
        if (x && subRow && x->name == name) {
            s->deleteLater();
            continue;
        }
        if (subRow) {
            subRow->setText(NameColumn, name);
            subRow->setText(InputColumn, QString::number(s->Inputsize));
            subRow->setText(OutputColumn, QString::number(s->Outputsize));
        } else {
            addSubRow(row, name, slot, i + 1, s->Inputsize, s->Outputsize);
            if (!x) {
                s->parent = e;
                e->children.append(s);
            }
        }
        e->modified = true;
        setRowIcon(row, unrecorded ? iconAdded : iconModified);
        scanList.append(s);
    }
}

void IOutlinkForm::getmoduleinfoPrm(QByteArray) { }

void IOutlinkForm::startnewscan(QString)
{
    // A restarted scan judges the rows afresh.
    scanList.clear();
}

void IOutlinkForm::markMissingRows()
{
    for (QTreeWidgetItem *row : moduleRows()) {
        bool found = false;
        for (moduleslot *s : qAsConst(scanList)) {
            if (s->name == row->text(NameColumn) && s->ip == row->text(IpColumn)) {
                found = true;
                break;
            }
        }
        if (found)
            continue;
        if (moduleslot *entry = entryOf(row)) {
            entry->removed = true;
            updateRowIcon(row);
        }
    }
}

moduleslot *IOutlinkForm::findKnownEntry(moduleslot *e) const
{
    moduleslot *found = nullptr;
    for (moduleslot *k : slotList) {
        if (k->ip == e->ip && k->name == e->name && k->Inputsize == e->Inputsize && k->Outputsize == e->Outputsize)
            found = k;
    }
    return found;
}

QTreeWidgetItem *IOutlinkForm::findRowByAddress(moduleslot *e) const
{
    QTreeWidgetItem *found = nullptr;
    for (QTreeWidgetItem *row : moduleRows()) {
        if (row->text(IpColumn) == e->ip && row->text(NameColumn) == e->name)
            found = row;
    }
    return found;
}

moduleslot *IOutlinkForm::findChildEntry(moduleslot *module, moduleslot *sub) const
{
    moduleslot *found = nullptr;
    for (moduleslot *child : module->children) {
        if (child->subSlot == sub->subSlot)
            found = child;
    }
    return found;
}

QTreeWidgetItem *IOutlinkForm::findChildRow(QTreeWidgetItem *row, moduleslot *sub) const
{
    QTreeWidgetItem *found = nullptr;
    for (int j = 0; row && j < row->childCount(); ++j) {
        if (cellNumber(row->child(j), SubSlotColumn) == sub->subSlot)
            found = row->child(j);
    }
    return found;
}

void IOutlinkForm::on_pushButton_3_clicked()
{
    auto *dialog = new IOlinkDevicelistDialog(nullptr);
    QList<moduleslot *> devices;
    for (QTreeWidgetItem *row : moduleRows()) {
        moduleslot *entry = adopt(entryFromRow(row));
        for (int j = 0; j < row->childCount(); ++j) {
            moduleslot *sub = adopt(entryFromRow(row->child(j)));
            sub->parent = entry;
            entry->children.append(sub);
        }
        devices.append(entry);
    }
    dialog->setDevices(devices);
    readDeviceslist();
    dialog->setCatalogue(catalogue);
    if (Prompts::exec(dialog) == QDialog::Accepted) {
        QList<moduleslot *> edited = dialog->getDevices();
        for (moduleslot *d : qAsConst(edited)) {
            adopt(d);
            for (moduleslot *child : qAsConst(d->children))
                adopt(child);
        }
        mergeDevices(edited);
        checkDuplicateIP();
    }
    delete dialog;
}

void IOutlinkForm::mergeDevices(QList<moduleslot *> devices)
{
    // An editor still open holds text that never passed its validator; the merge rewrites its
    // cell and may delete its row, after which it could never report and the page would take
    // no further edit.
    if (m_cellEditor.discard())
        editorOpen = false;
    int i = 0;
    while (i < ui->treeWidget->topLevelItemCount()) {
        QTreeWidgetItem *p = ui->treeWidget->topLevelItem(i);
        moduleslot *e = entryOf(p);
        if (devices.isEmpty()) {
            delete p;
            continue;
        }
        moduleslot *d = devices.first();
        showEntry(p, d, true);
        if (rowDiffers(e, p))
            markModified(p, e);
        QList<moduleslot *> children = d->children;
        int j = 0;
        while (j < p->childCount()) {
            QTreeWidgetItem *r = p->child(j);
            if (!children.isEmpty()) {
                moduleslot *dc = children.takeFirst();
                showEntry(r, dc, false);
                moduleslot *recorded = e && j < e->children.size() ? e->children.at(j) : nullptr;
                if (subRowDiffers(recorded, r))
                    markModified(p, e);
                ++j;
            } else {
                delete r;
                markModified(p, e);
            }
        }
        if (!children.isEmpty()) {
            markModified(p, e);
            for (moduleslot *dc : qAsConst(children))
                showEntry(new QTreeWidgetItem(p), dc, false);
        }
        devices.removeFirst();
        ++i;
    }
    for (moduleslot *d : qAsConst(devices))
        setRowIcon(addModuleRow(ui->treeWidget, d), iconAdded);
}

void IOutlinkForm::additem(bool)
{
    auto *dialog = new IOlinkDevicelistDialog(nullptr);
    Prompts::exec(dialog);
    delete dialog;
}
