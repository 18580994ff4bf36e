#include "moduleinfoform.h"

#include "ipmodfiy_dialog.h"
#include "module.h"
#include "prompts.h"
#include "submodule.h"
#include "ui_moduleinfoform.h"

#include <QEvent>
#include <QLabel>

namespace {
constexpr int captionWidth = 100;
}

moduleinfoForm::moduleinfoForm(QWidget *parent)
    : QWidget(parent)
    , form(new Ui::moduleinfoForm)
{
    form->setupUi(this);
    form->pushButton_2->setEnabled(false);
    form->pushButton_IP->setEnabled(false);
    form->pushButton->setEnabled(false);
    form->pushButton->hide();
    fitCaptions();
}

void moduleinfoForm::fitCaptions()
{
    // The captions are at least 100 wide, and never narrower than their text: a layout may
    // otherwise squeeze a row of three below what a larger font needs and cut their ends.
    for (QLabel *caption : findChildren<QLabel *>()) {
        caption->ensurePolished();
        caption->setMinimumWidth(qMax(captionWidth,
            caption->fontMetrics().horizontalAdvance(caption->text()) + caption->width()
                - caption->contentsRect().width()));
    }
}

void moduleinfoForm::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        fitCaptions();
}

moduleinfoForm::~moduleinfoForm()
{
    disconnect(m_destroyedConnection);
    delete form;
}

void moduleinfoForm::showModuleInfo(::module *m)
{
    if (!m)
        return;
    if (module != m) {
        disconnect(m_destroyedConnection);
        m_destroyedConnection = connect(m, &QObject::destroyed, this, &moduleinfoForm::moduleDestroyed);
    }
    form->moduletype->setText(m->ModuleShowName);
    form->macadd->setText(m->mac.toUpper());
    form->ipadd->setText(m->ip);
    form->submodulenum->setText(QString::number(m->subnum));
    form->firmware->setText(m->softwareVer);
    form->interbusver->setText(m->backbusVer);
    form->InsizelineEdit->setText(m->inlen);
    form->OutsizelineEdit->setText(m->outlen);
    form->ConfsizelineEdit->setText(m->Paralen);
    module = m;
    form->pushButton_2->setEnabled(true);
    form->pushButton->setEnabled(true);
    form->pushButton_IP->setEnabled(m->connType == modulebase::CONNEST_NET);
}

void moduleinfoForm::showSubmoduleInfo(submodule *sub)
{
    if (!sub)
        return;
    form->submoduletype->setEnabled(true);
    form->subfirmware->setEnabled(true);
    form->subinfo->setEnabled(true);
    form->submoduletype->setText(sub->ModuleShowName);
    form->subfirmware->setText(sub->softwareVer);
    form->subinfo->setText(sub->Text);
}

void moduleinfoForm::clearSubmoduleInfo()
{
    form->submoduletype->clear();
    form->subfirmware->clear();
    form->subinfo->clear();
    form->submoduletype->setEnabled(false);
    form->subfirmware->setEnabled(false);
    form->subinfo->setEnabled(false);
}

void moduleinfoForm::clearModuleInfo()
{
    disconnect(m_destroyedConnection);
    module = nullptr;
    for (QLineEdit *field : { form->moduletype, form->macadd, form->ipadd, form->submodulenum, form->firmware,
             form->interbusver, form->InsizelineEdit, form->OutsizelineEdit, form->ConfsizelineEdit })
        field->clear();
    clearSubmoduleInfo();
    form->pushButton_2->setEnabled(false);
    form->pushButton_IP->setEnabled(false);
    form->pushButton->setEnabled(false);
}

void moduleinfoForm::retranslate()
{
    form->retranslateUi(this);
    // Re-setting the form's texts empties the type field; every other field keeps its value.
    form->moduletype->setText(module ? module->ModuleShowName : QString());
    fitCaptions();
}

void moduleinfoForm::moduleDestroyed()
{
    clearModuleInfo();
}

void moduleinfoForm::on_pushButton_2_clicked()
{
    if (module)
        module->restoreDefaults();
}

void moduleinfoForm::on_pushButton_IP_clicked()
{
    if (!module || module->connType != modulebase::CONNEST_NET)
        return;
    auto *dialog = new IPModfiy_Dialog(module.data(), this);
    Prompts::exec(dialog);
    delete dialog;
}

void moduleinfoForm::on_pushButton_clicked() { }
