#ifndef SCANDIALOG_H
#define SCANDIALOG_H

#include "modulebase.h"

#include <QByteArray>
#include <QDialog>
#include <QString>

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
    // Ends a running network scan and its thread; the dialog's replies stop with it.
    void stopWorker();
    void releaseWorker();

    Ui::SCANDialog *ui;
};

#endif
