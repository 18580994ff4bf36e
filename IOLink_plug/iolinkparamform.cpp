#include "iolinkparamform.h"
#include "ui_iolinkparamform.h"

#include "iolink_module.h"
#include "iolinkpages.h"

IoLinkParamForm::IoLinkParamForm(QWidget *parent)
    : menubase(parent)
    , ui(new Ui::IoLinkParamForm)
{
    ui->setupUi(this);
}

IoLinkParamForm::~IoLinkParamForm()
{
    IoLink_Module::deleteInstance();
    delete ui;
}

int IoLinkParamForm::attachModule(modulebase *module)
{
    IoLinkPages::attach(
        this, module, { ui->paramframe_ctrl_0, ui->paramframe_ctrl_1, ui->paramframe_ctrl_2, ui->paramframe_ctrl_3 });
    return 0;
}

void IoLinkParamForm::retranslate(int language)
{
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
