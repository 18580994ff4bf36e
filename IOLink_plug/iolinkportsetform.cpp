#include "iolinkportsetform.h"
#include "ui_iolinkportsetform.h"

#include "iolink_module.h"
#include "iolinkpages.h"

IoLinkPortSetform::IoLinkPortSetform(QWidget *parent)
    : menubase(parent)
    , ui(new Ui::IoLinkPortSetform)
{
    ui->setupUi(this);
}

IoLinkPortSetform::~IoLinkPortSetform()
{
    IoLink_Module::deleteInstance();
    delete ui;
}

int IoLinkPortSetform::attachModule(modulebase *module)
{
    IoLinkPages::attach(this, module,
        { ui->portSetframeFrame_Ctrl_0, ui->portSetframeFrame_Ctrl_1, ui->portSetframeFrame_Ctrl_2,
            ui->portSetframeFrame_Ctrl_3 });
    return 0;
}

void IoLinkPortSetform::retranslate(int language)
{
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
