#ifndef IOLINKPARAMFORM_H
#define IOLINKPARAMFORM_H

#include "menubase.h"

namespace Ui {
class IoLinkParamForm;
}

// The parameter page of an IO-Link master: one parameter table per port.
// The page holds no settings; destroying it takes the shared IO-Link link down.
class IoLinkParamForm : public menubase
{
    Q_OBJECT

public:
    explicit IoLinkParamForm(QWidget *parent = nullptr);
    ~IoLinkParamForm() override;

    int attachModule(modulebase *module) override;
    void retranslate(int language) override;
    // Gives the link's serial port back while the module's pages are put away.
    void resetPage() override;

protected:
    void buildPage() override;

private:
    void attachFrames();

    Ui::IoLinkParamForm *ui;
};

#endif
