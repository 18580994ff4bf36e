#ifndef IOLINKINFOFORM_H
#define IOLINKINFOFORM_H

#include "menubase.h"

namespace Ui {
class IoLinkInfoForm;
}

// The device information page of an IO-Link master: one information panel per port.
// The page holds no settings; destroying it takes the shared IO-Link link down.
class IoLinkInfoForm : public menubase
{
    Q_OBJECT

public:
    explicit IoLinkInfoForm(QWidget *parent = nullptr);
    ~IoLinkInfoForm() override;

    int attachModule(modulebase *module) override;
    void retranslate(int language) override;
    // Gives the link's serial port back while the module's pages are put away.
    void resetPage() override;

protected:
    void buildPage() override;

private:
    void attachFrames();

    Ui::IoLinkInfoForm *ui;
};

#endif
