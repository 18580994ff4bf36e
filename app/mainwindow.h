#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "familymap.h"
#include "modulebase.h"
#include "scanreplyhandler.h"
#include "sublistmap.h"

#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QRect>
#include <QString>

class QLabel;
class QTranslator;
class module;
class moduleFrame;

namespace Ui {
class MainWindow;
}

// The program's one top-level window: title bar, toolbar, module tree, picture row,
// information panel and the page tabs of the selected module.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Start-up: the language stored in the settings file, Chinese when none is stored.
    void applyStoredLanguage();

    bool writeSetting(QString group, QString key, QString value);
    bool readSetting(QString group, QString key, QString &value);
    void setLanguage(int index);
    void readLogoInfo();

    void readDevicestype();
    void readSublistmap();

    // Empties the module list for a new scan, an opened project or shutdown: resets every
    // page, removes the picture and page tabs, clears the information panel, forgets the
    // current and highlighted frames, then deletes the modules with their pages.
    void clearModuleList();
    // Lists a module built by a scan or a project read (tree row, page tab widget).
    void addModule(module *m);
    void showModule(module *m);
    void highlightModule(moduleFrame *f);
    void clearTabs();
    // Turns on the save button alone, as opening a project does.
    void enableSave();

    // The screen area the window may take: the available geometry of its screen, or, when
    // set (tests: a laptop's screen on the small offscreen one), the given area. An empty
    // rectangle restores the screen's.
    static void setScreenAreaOverride(const QRect &area);
    QRect screenArea() const;

    QList<module *> moduleList;
    module *currentModule = nullptr;
    moduleFrame *highlightedFrame = nullptr;
    int language = 0;
    QString lastScanPort;
    FamilyMap familyMap;
    SublistMap sublistMap;
    QLabel *versionLabel = nullptr;
    QLabel *companyLabel = nullptr;

public slots:
    void Startnewscan(QString startPort);
    void Getmoduleinfo(QByteArray moduleinfo, modulebase::CONNEST_TYPE type);
    void GetmoduleinfoPrm(QByteArray moduleinfo);
    void Endscan();
    // Reads a project file into the module list once the user has confirmed its information.
    void loadProjectFile(QString path);

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void on_treeWidget_itemSelectionChanged();
    void on_scanmodule_clicked();
    void on_comboBox_currentIndexChanged(int index);
    void on_pushButton_down_clicked();
    void on_pushButton_Firmware_clicked();
    void on_pushButton_rev_clicked();
    void on_pushButton_dhcp_clicked();
    void on_pushButton_topology_clicked();
    void on_pushButton_save_clicked();
    void on_pushButton_open_clicked();
    void on_pushButton_cax_clicked();
    void on_pushButton_import_clicked();
    void on_pushButton_help_clicked();

private:
    // showModule, and the tree selects m and the panel shows no sub-module, so the tree, the
    // information panel and the pages always name the same module.
    void presentModule(module *m);
    void updateModuleButtons();
    void fitInfoPanel();
    void fitPageArea();
    // The page area starts at its top for pages other than those it showed last.
    void pagesShown(const moduleFrame *frame);
    // A window shown normal that is larger than its screen area shrinks into it.
    void fitToScreen();
    void loadQtTranslation(int index);

    Ui::MainWindow *ui;
    QTranslator *translator = nullptr;
    // Qt's own texts (standard buttons, file dialogs) in Chinese; none in English.
    QTranslator *qtTranslator = nullptr;
    // Knows which module the next parameter reply of a scan belongs to.
    ScanReplyHandler scanHandler;
    // Whose pages the page area shows; compared only, never followed.
    const moduleFrame *m_pagesOf = nullptr;
};

#endif
