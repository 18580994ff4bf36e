#ifndef TEMPCTLFORM_H
#define TEMPCTLFORM_H

#include "menubase.h"

#include <QPointer>
#include <functional>

class QDialog;
class Tempctl_input_Form;
class Tempctl_PID_Form;

namespace Ui {
class TempCtlForm;
}

// The temperature controller page: the I/O settings and PID tables, moved to and from the
// module as configuration blocks of plug 19, and the buttons that open the curve and debug
// windows.
class TempCtlForm : public menubase
{
    Q_OBJECT

public:
    static constexpr int plug = 19;
    static constexpr int ioSubplug = 18;
    static constexpr int pidSubplug = 16;

    explicit TempCtlForm(QWidget *parent = nullptr);
    ~TempCtlForm() override;

    int attachModule(modulebase *owner) override;
    void setOwner(modulebase *owner) override;
    void updatePage() override;
    void resetPage() override;

    // The transfers run on a worker; done gets true once both blocks went through. False at once
    // (with the reason shown) when there is nothing that can be moved.
    bool downloadParams(std::function<void(bool)> done = {});
    bool uploadParams(std::function<void(bool)> done = {});

    Tempctl_input_Form *inputForm = nullptr;
    Tempctl_PID_Form *pidForm = nullptr;
    QPointer<QDialog> manualDialog;
    QPointer<QDialog> curveDialog;

public slots:
    void on_pushButton_4_clicked();
    void on_pushButton_5_clicked();
    void on_pushButton_clicked();
    void on_pushButton_manual_clicked();
    void colse_curvedialogs();
    void colse_manualdialogs();

protected:
    void buildPage() override;

private:
    modulebase *pendingCoupler = nullptr;
    bool canTransfer();
    void setTransferring(bool busy);

    Ui::TempCtlForm *ui;
};

#endif
