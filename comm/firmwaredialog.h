#ifndef FIRMWAREDIALOG_H
#define FIRMWAREDIALOG_H

#include "moduletarget.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QString>
#include <array>

class QCheckBox;
class FirmwareFileForm;
class module;

namespace Ui {
class FirmwareDialog;
}

// One module's row of the firmware table; kept across re-sorts, which rebuild the rows.
class FirmwareItem
{
public:
    QString name;
    QString path;
    QString ip;
    FirmwareFileForm *fileForm = nullptr; // owned by the table
    QCheckBox *checkBox = nullptr; // owned by the table
    QString status;
    QPointer<::module> module; // not owned
    bool ticked = true;
    int row = 0;
};

// Updates the firmware of the ticked modules from their HEX files, three modules at a time.
class FirmwareDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FirmwareDialog(QWidget *parent = nullptr);
    ~FirmwareDialog() override;

    void setModuleList(QList<module *> modules);
    void startDownload(const ModuleTargetList &list);

    Ui::FirmwareDialog *form() const { return ui; }

    QList<FirmwareItem *> items;
    // What each of the three workers updates, as taken when the download started.
    std::array<ModuleTargetList, 3> workerLists;

signals:
    void startdownsignal();

public slots:
    void on_pushButton_clicked();
    void SetCurScanIP(QString moduleinfo);
    void Sancefinished();
    void on_checkBox_stateChanged(int state);

public:
    // Header clicks re-sort the rows (connected by hand: the table has another name).
    void on_tablewidget_sectionClicked(int column);

private:
    void fillTable();
    void readRows();
    static bool lessByChecked(const FirmwareItem *a, const FirmwareItem *b);
    static bool sortByName(const FirmwareItem *a, const FirmwareItem *b);
    static void sortByStatus(QList<FirmwareItem *> &items);

    Ui::FirmwareDialog *ui;
    int m_running = 0; // workers that have not reported their end yet
};

#endif
