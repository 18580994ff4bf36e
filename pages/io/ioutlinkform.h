#ifndef IOUTLINKFORM_H
#define IOUTLINKFORM_H

#include "ioutlinkcatalogue.h"
#include "ioutlinkcelleditor.h"
#include "menubase.h"
#include "sublistmap.h"

#include <QByteArray>
#include <QList>
#include <QPoint>

class QColor;
class QTreeWidget;
class QTreeWidgetItem;
class moduleslot;

namespace Ui {
class IOutlinkForm;
}

// The remote I/O link page: the remote modules a coupler polls over Ethernet, each with its
// sub-modules, as a two-level table. The list travels in the coupler's parameter bytes as
// 33-byte records and is what the page gives the CAx export.
class IOutlinkForm : public menubase
{
    Q_OBJECT

public:
    enum Column { NameColumn, SlotColumn, SubSlotColumn, IpColumn, InputColumn, OutputColumn, ScanColumn };
    // Item data of column 0: the row's entry, and the name of the state icon it shows.
    static constexpr int EntryRole = Qt::UserRole + 1;
    static constexpr int IconRole = Qt::UserRole + 2;

    explicit IOutlinkForm(QWidget *parent = nullptr);
    ~IOutlinkForm() override;

    QByteArray getParamData() override;
    int setParamData(QByteArray data) override;
    void retranslate(int language) override;
    QList<moduleslot *> getSlotList() override;

    void readSublistmap();
    int typeIdByName(QString name) const;
    void readDeviceslist();
    bool readModuleDescription(moduleslot *entry);

    void rebuildSlotList();
    void updateRowIcon(QTreeWidgetItem *row);
    bool checkDuplicateIP();
    bool rowDiffers(moduleslot *entry, QTreeWidgetItem *row) const;
    bool subRowDiffers(moduleslot *entry, QTreeWidgetItem *row) const;

    void markMissingRows();
    moduleslot *findKnownEntry(moduleslot *e) const;
    QTreeWidgetItem *findRowByAddress(moduleslot *e) const;
    moduleslot *findChildEntry(moduleslot *module, moduleslot *sub) const;
    QTreeWidgetItem *findChildRow(QTreeWidgetItem *row, moduleslot *sub) const;

    bool writeSetting(QString group, QString key, QString value);
    bool readSetting(QString group, QString key, QString &value);

    // Takes the device-list editor's result over, row by row in table order.
    void mergeDevices(QList<moduleslot *> devices);

    static moduleslot *entryOf(QTreeWidgetItem *row);
    static void setEntry(QTreeWidgetItem *row, moduleslot *entry);
    static void setRowIcon(QTreeWidgetItem *row, const QString &name);
    static QString rowIcon(QTreeWidgetItem *row);
    static int cellNumber(QTreeWidgetItem *row, int column);
    static quint32 cellUnsigned(QTreeWidgetItem *row, int column);
    // An entry filled from a row's cells (name, address, slot, sub-slot, lengths, scan cycle).
    static moduleslot *entryFromRow(QTreeWidgetItem *row);
    // Writes an entry's slot, sub-slot, name and lengths into a row; modules also their address
    // and scan cycle.
    static void showEntry(QTreeWidgetItem *row, moduleslot *entry, bool module);
    // A row for module entry at the end of tree, with a row under it for each of its sub-modules.
    static QTreeWidgetItem *addModuleRow(QTreeWidget *tree, moduleslot *entry);
    // Shows slot in a module row and in all its sub-module rows.
    static void setSlotText(QTreeWidgetItem *row, int slot);
    // Numbers the sub-slots of a module row's sub-module rows 1..n.
    static void numberSubRows(QTreeWidgetItem *row);
    // Gives the address cell of every row that shares its address with another row colour, however
    // many share it, and the others their normal background back; rows without an address are
    // left alone. True when any address is shared.
    static bool markSharedAddresses(const QList<QTreeWidgetItem *> &rows, const QColor &colour);

    IoutlinkCatalogue catalogue;
    QList<moduleslot *> slotList;
    QList<moduleslot *> scanList;
    SublistMap sublistMap;
    bool editorOpen = false;
    Ui::IOutlinkForm *ui;

public slots:
    void show_menu(QPoint pos);
    void delitem(bool checked);
    void on_treeWidget_itemDoubleClicked(QTreeWidgetItem *item, int column);
    void editingfinishslot();
    void on_pushButton_clicked();
    void getmoduleinfo(QByteArray moduleinfo);
    void getmoduleinfoPrm(QByteArray moduleinfo);
    void startnewscan(QString startPort);
    void on_pushButton_3_clicked();
    void additem(bool checked);

protected:
    void buildPage() override;

private:
    // Entries are kept until the page goes: rows, lists and the CAx export may still point at them.
    moduleslot *adopt(moduleslot *entry);
    QList<QTreeWidgetItem *> moduleRows() const;
    QTreeWidgetItem *addSubRow(QTreeWidgetItem *row, const QString &name, int slot, int subSlot, int in, int out);
    void markModified(QTreeWidgetItem *row, moduleslot *entry);

    IoutlinkCellEditor m_cellEditor;
};

#endif
