#ifndef IOLINKDEVICELISTDIALOG_H
#define IOLINKDEVICELISTDIALOG_H

#include "ioutlinkcelleditor.h"

#include <QDialog>
#include <QList>
#include <QMap>
#include <QPoint>
#include <QString>

class QTreeWidgetItem;
class moduleslot;

namespace Ui {
class IOlinkDevicelistDialog;
}

// The device-list editor of the remote I/O link page: an editable copy of the page's remote
// modules with room for 33, the coupler's catalogue of remote module types with the sub-module
// types of the one in view, and the picked type's picture and description.
class IOlinkDevicelistDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int MaxRows = 33;

    explicit IOlinkDevicelistDialog(QWidget *parent = nullptr);
    ~IOlinkDevicelistDialog() override;

    void setDevices(QList<moduleslot *> devices);
    void setCatalogue(QMap<QString, moduleslot *> types);
    // The filled module rows as new entries (the caller owns them), numbered 1..n in table order.
    QList<moduleslot *> getDevices();

    void showSubmoduleTypes(QList<moduleslot *> types);
    void fillCatalogueTree();
    void checkDuplicateIP();

    Ui::IOlinkDevicelistDialog *ui;
    QMap<QString, moduleslot *> catalogue;

public slots:
    void on_treeWidgetsrc_itemClicked(QTreeWidgetItem *item, int column);
    void on_treeWidgetsrc_itemDoubleClicked(QTreeWidgetItem *item, int column);
    void on_treeWidget_sub_itemDoubleClicked(QTreeWidgetItem *item, int column);
    void on_treeWidget_itemClicked(QTreeWidgetItem *item, int column);
    void on_treeWidget_itemDoubleClicked(QTreeWidgetItem *item, int column);
    void TableWidgetItemEditingFinishSlot();
    void showmenu(QPoint pos);
    void delitem(bool checked);

private:
    void askForRow();
    void renumberModules();

    IoutlinkCellEditor m_cellEditor;
};

#endif
