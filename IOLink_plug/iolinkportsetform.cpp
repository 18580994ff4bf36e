#include "iolinkportsetform.h"
#include "ui_iolinkportsetform.h"

#include "channel_ctrl.h"
#include "iolink_module.h"
#include "iolinkpages.h"

IoLinkPortSetform::IoLinkPortSetform(QWidget *parent)
    : menubase(parent)
    , ui(new Ui::IoLinkPortSetform)
{
    buildUnlessDeferred();
}

void IoLinkPortSetform::buildPage()
{
    {
        // Only the port in view builds its panel; the others when their tab is shown.
        Channel_Ctrl::DeferBuild defer;
        ui->setupUi(this);
    }
    // The owner the factory attached before the first show gets the frames now.
    if (owner)
        attachFrames();
}

IoLinkPortSetform::~IoLinkPortSetform()
{
    IoLink_Module::deleteInstance();
    delete ui;
}

int IoLinkPortSetform::attachModule(modulebase *module)
{
    owner = module;
    if (isBuilt())
        attachFrames();
    return 0;
}

void IoLinkPortSetform::attachFrames()
{
    IoLinkPages::attach(this, owner,
        { ui->portSetframeFrame_Ctrl_0, ui->portSetframeFrame_Ctrl_1, ui->portSetframeFrame_Ctrl_2,
            ui->portSetframeFrame_Ctrl_3 });
}

void IoLinkPortSetform::retranslate(int language)
{
    if (deferRetranslate(language)) {
        setTitle(tr("端口设置"));
        return;
    }
    ui->retranslateUi(this);
    setTitle(tr("端口设置"));
    ui->portSetframeFrame_Ctrl_0->retranslate(language);
    ui->portSetframeFrame_Ctrl_1->retranslate(language);
    ui->portSetframeFrame_Ctrl_2->retranslate(language);
    ui->portSetframeFrame_Ctrl_3->retranslate(language);
}

void IoLinkPortSetform::resetPage()
{
    IoLinkPages::releasePort();
}
