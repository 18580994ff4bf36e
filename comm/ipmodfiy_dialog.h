#ifndef IPMODFIY_DIALOG_H
#define IPMODFIY_DIALOG_H

#include <QDialog>

class IPAddress;
class module;

namespace Ui {
class IPModfiy_Dialog;
}

// Changes one module's IP address, default gateway and subnet mask. The module object keeps
// its old values: the user scans again to see the new ones.
class IPModfiy_Dialog : public QDialog
{
    Q_OBJECT

public:
    explicit IPModfiy_Dialog(module *owner, QWidget *parent = nullptr);
    ~IPModfiy_Dialog() override;

private slots:
    void on_pushButton_clicked();

private:
    IPAddress *ipEdit;
    IPAddress *gatewayEdit;
    IPAddress *maskEdit;
    Ui::IPModfiy_Dialog *ui;
    module *mod;
};

#endif
