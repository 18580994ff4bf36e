#include "showmoduleform.h"

#include "ui_showmoduleform.h"

ShowModuleForm::ShowModuleForm(QWidget *parent)
    : moduleshowform(parent)
    , form(new Ui::ShowModuleForm)
{
    form->setupUi(this);
}

ShowModuleForm::~ShowModuleForm()
{
    delete form;
}

void ShowModuleForm::addModuleWidget(QWidget *frame)
{
    if (!frame)
        return;
    // Before the trailing spacer, so frames line up from the left in the order they come.
    form->horizontalLayout->insertWidget(form->horizontalLayout->count() - 1, frame);
}
