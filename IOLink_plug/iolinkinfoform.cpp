#include "iolinkinfoform.h"
#include "ui_iolinkinfoform.h"

#include "channel_ctrl.h"
#include "iolink_module.h"
#include "iolinkpages.h"

IoLinkInfoForm::IoLinkInfoForm(QWidget *parent)
    : menubase(parent)
    , ui(new Ui::IoLinkInfoForm)
{
    buildUnlessDeferred();
}

void IoLinkInfoForm::buildPage()
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

IoLinkInfoForm::~IoLinkInfoForm()
{
    IoLink_Module::deleteInstance();
    delete ui;
}

int IoLinkInfoForm::attachModule(modulebase *module)
{
    owner = module;
    if (isBuilt())
        attachFrames();
    return 0;
}

void IoLinkInfoForm::attachFrames()
{
    IoLinkPages::attach(this, owner, { ui->InfoCtrl_0, ui->InfoCtrl_1, ui->InfoCtrl_2, ui->InfoCtrl_3 });
}

void IoLinkInfoForm::retranslate(int language)
{
    if (deferRetranslate(language)) {
        setTitle(tr("信息显示"));
        return;
    }
    ui->retranslateUi(this);
    setTitle(tr("信息显示"));
    ui->InfoCtrl_0->retranslate(language);
    ui->InfoCtrl_1->retranslate(language);
    ui->InfoCtrl_2->retranslate(language);
    ui->InfoCtrl_3->retranslate(language);
}

void IoLinkInfoForm::resetPage()
{
    IoLinkPages::releasePort();
}
