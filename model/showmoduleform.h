#ifndef SHOWMODULEFORM_H
#define SHOWMODULEFORM_H

#include "moduleshowform.h"

namespace Ui {
class ShowModuleForm;
}

// The picture row of most families: the module and its sub-modules side by side, scrolling.
class ShowModuleForm : public moduleshowform
{
public:
    explicit ShowModuleForm(QWidget *parent = nullptr);
    ~ShowModuleForm() override;
    ShowModuleForm(const ShowModuleForm &) = delete;
    ShowModuleForm &operator=(const ShowModuleForm &) = delete;

    void addModuleWidget(QWidget *frame) override;

    Ui::ShowModuleForm *form = nullptr;
};

#endif
