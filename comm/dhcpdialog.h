#ifndef DHCPDIALOG_H
#define DHCPDIALOG_H

#include "dhcpcodec.h"

#include <QDialog>
#include <QString>

class QFile;
class QProcess;
class QTimer;

namespace Ui {
class dhcpDialog;
}

// Front end of the DHCP server program beside the tool: a table of MAC to IP pairs kept in the
// settings, the server's INI written from its template, start and stop, and the log followed to
// mark the pairs the server has handed out.
class dhcpDialog : public QDialog
{
    Q_OBJECT

public:
    explicit dhcpDialog(QWidget *parent = nullptr);
    ~dhcpDialog() override;

    Ui::dhcpDialog *form() const { return ui; }
    QProcess *serverProcess() const { return process; }

    QString hostText;

public slots:
    void on_AddmacButton_clicked();
    void on_DelmacButton_clicked();
    void on_StartButton_clicked();
    void on_StopButton_clicked();
    void on_LoadFileButton_clicked();
    void on_SaveFileButton_clicked();
    void on_ClrinfoButton_clicked();
    void onReadyStart();
    void onReadyRead();
    void on_tableInfo_currentCellChanged(int currentRow, int currentColumn, int previousRow, int previousColumn);

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    void addRow(const QString &mac, const QString &ip);
    QList<DhcpHost> tableHosts() const;
    void saveMacTable();
    void sendResetBroadcast();
    void setEditing(bool editing);
    void focusCell(int row, int column);

    Ui::dhcpDialog *ui;
    QProcess *process = nullptr;
    QTimer *timer = nullptr;
    QString logPath;
    QFile *logFile = nullptr;
};

#endif
