#ifndef IOLINKPORTSETFORM_H
#define IOLINKPORTSETFORM_H

#include "menubase.h"

namespace Ui {
class IoLinkPortSetform;
}

// The port set-up page of an IO-Link master: one port set-up panel per port.
// The page holds no settings; destroying it takes the shared IO-Link link down.
class IoLinkPortSetform : public menubase
{
    Q_OBJECT

public:
    explicit IoLinkPortSetform(QWidget *parent = nullptr);
    ~IoLinkPortSetform() override;

    int attachModule(modulebase *module) override;
    void retranslate(int language) override;
    // Gives the link's serial port back while the module's pages are put away.
    void resetPage() override;

protected:
    void buildPage() override;

private:
    void attachFrames();

    Ui::IoLinkPortSetform *ui;
};

#endif
