#ifndef RESTORESETDIALOG_H
#define RESTORESETDIALOG_H

#include "factorycodec.h"

#include <QDialog>
#include <QList>
#include <QMap>
#include <QString>

class FactoryBroadcast;
class QTimer;

namespace Ui {
class RestoresetDialog;
}

// The factory tool: finds modules by broadcast, sets their addresses by MAC, restores their
// factory settings and restarts them. Replies are taken whenever they come.
class RestoresetDialog : public QDialog
{
    Q_OBJECT

public:
    enum Mode { ScanMode = 0, IpSetMode = 1, FactoryResetMode = 2, RestartMode = 3 };

    explicit RestoresetDialog(QWidget *parent = nullptr);
    ~RestoresetDialog() override;

    Ui::RestoresetDialog *form() const { return ui; }
    int mode = ScanMode;
    int scanSeconds = 0;
    QList<ModuleNetInfo> records;
    QMap<QString, QString> moduleNames;

    static QString macToString(const ModuleNetInfo &info);
    static QString ipToString(const std::array<quint8, 4> &ip);
    static bool lessByIP(const ModuleNetInfo &a, const ModuleNetInfo &b);
    static bool lessByMAC(const ModuleNetInfo &a, const ModuleNetInfo &b);

    // Header clicks re-sort the rows (connected by hand: the table has another name).
    void on_tablewidget_sectionClicked(int column);

public slots:
    void on_pushButton_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_4_clicked();
    void messageReceive(QByteArray datagram);
    void timerout();

private:
    void readModuleNames();
    void sendBroadcast(const QString &command);
    bool markAssigned(const ModuleNetInfo &info);
    void addRow(const ModuleNetInfo &info);
    void clearTable();
    void refreshTable();
    void setCommandButtons(bool enabled);

    Ui::RestoresetDialog *ui;
    FactoryBroadcast *sockets = nullptr;
    QTimer *timer = nullptr;
    int m_ticks = 0; // progress ticks of the running scan
};

#endif
