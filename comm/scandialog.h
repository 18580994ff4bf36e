#ifndef SCANDIALOG_H
#define SCANDIALOG_H

#include "modulebase.h"

#include <QByteArray>
#include <QDialog>
#include <QPointer>
#include <QString>
#include <atomic>
#include <memory>

class DeviceRequest;
class QThread;
class TCPThread;

namespace Ui {
class SCANDialog;
}

// Looks for modules over the network (the last octet of an address range) or on one COM port
// and hands every reply on with the way the module was reached.
class SCANDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SCANDialog(QWidget *parent = nullptr);
    ~SCANDialog() override;

    void setLocalIP(QString ip);
    void setIPRange(QString start, QString end);
    QString getStartIP() const;
    QString getEndIP() const;
    QString getLocalIP() const;
    int getConnType() const;

    void done(int result) override;

    TCPThread *worker = nullptr;
    QThread *thread = nullptr;
    QString comstr;
    int connType = modulebase::CONNEST_NET;

signals:
    void stopscan();
    void startscan(QString startip, QString endip);
    void startscan(QString comstr);
    void endscan();
    void Sendmodule(QByteArray modulueinfo, modulebase::CONNEST_TYPE connType);
    void SendmodulePrm(QByteArray modulueinfo);

private slots:
    void on_closebutton_clicked();
    void SetCurScanIP(QString moduleinfo);
    void on_pushButton_clicked();
    void Sancefinished();
    void on_pushButton_2_clicked();
    void Getmoduleinfo(QByteArray moduleinfo);
    void GetmoduleinfoPrm(QByteArray moduleinfo);
    void on_radioButton_net_clicked();
    void on_radioButton_com_clicked();

private:
    // Asks a running scan to stop without waiting for it; its replies no longer reach the dialog.
    void stopWorker();
    // Lets go of the network worker; its thread ends and deletes itself and the worker.
    void releaseWorker();
    void setScanning(bool running);
    void startSerialScan(const QString &port);

    // The network worker's stop flag; valid as long as its thread object.
    std::shared_ptr<std::atomic<bool>> m_stop;
    // Receives the network worker's signals for the dialog; deleting it cuts them off safely
    // whatever the worker's thread is doing.
    QObject *m_relay = nullptr;
    QPointer<DeviceRequest> m_serialScan;
    bool m_comPorts = false;

    Ui::SCANDialog *ui;
};

#endif
