#include "iolinkinfoform.h"
#include "ui_iolinkinfoform.h"

#include "iolink_module.h"
#include "iolinkpages.h"

IoLinkInfoForm::IoLinkInfoForm(QWidget *parent)
    : menubase(parent)
    , ui(new Ui::IoLinkInfoForm)
{
    ui->setupUi(this);
}

IoLinkInfoForm::~IoLinkInfoForm()
{
    IoLink_Module::deleteInstance();
    delete ui;
}

int IoLinkInfoForm::attachModule(modulebase *module)
{
    IoLinkPages::attach(this, module, { ui->InfoCtrl_0, ui->InfoCtrl_1, ui->InfoCtrl_2, ui->InfoCtrl_3 });
    return 0;
}

void IoLinkInfoForm::retranslate(int language)
{
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
