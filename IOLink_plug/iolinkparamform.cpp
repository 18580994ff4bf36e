#include "iolinkparamform.h"
#include "ui_iolinkparamform.h"

#include "channel_ctrl.h"
#include "iolink_module.h"
#include "iolinkpages.h"

IoLinkParamForm::IoLinkParamForm(QWidget *parent)
    : menubase(parent)
    , ui(new Ui::IoLinkParamForm)
{
    buildUnlessDeferred();
}

void IoLinkParamForm::buildPage()
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

IoLinkParamForm::~IoLinkParamForm()
{
    IoLink_Module::deleteInstance();
    delete ui;
}

int IoLinkParamForm::attachModule(modulebase *module)
{
    owner = module;
    if (isBuilt())
        attachFrames();
    return 0;
}

void IoLinkParamForm::attachFrames()
{
    IoLinkPages::attach(
        this, owner, { ui->paramframe_ctrl_0, ui->paramframe_ctrl_1, ui->paramframe_ctrl_2, ui->paramframe_ctrl_3 });
}

void IoLinkParamForm::retranslate(int language)
{
    if (deferRetranslate(language)) {
        setTitle(tr("参数设置"));
        return;
    }
    ui->retranslateUi(this);
    setTitle(tr("参数设置"));
    ui->paramframe_ctrl_0->retranslate(language);
    ui->paramframe_ctrl_1->retranslate(language);
    ui->paramframe_ctrl_2->retranslate(language);
    ui->paramframe_ctrl_3->retranslate(language);
}

void IoLinkParamForm::resetPage()
{
    IoLinkPages::releasePort();
}
