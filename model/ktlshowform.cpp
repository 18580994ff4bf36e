#include "ktlshowform.h"

#include "moduleframe.h"
#include "ui_ktlshowform.h"
#include "ui_moduleframe.h"
#include "vtextform.h"

#include <QColor>
#include <QLabel>

namespace {
const QColor kSlotBlue(119, 121, 255);
const char *const kBorderless = "QWidget{border:0px solid #A6B5B8;border-radius:0px;}";
const char *const kFramed = "QWidget{border:1px solid #A6B5B8;border-radius:3px;}";
const char *const kSlotStyle
    = "QWidget{background-color: rgb(119, 121, 255);border:1px solid #A6B5B8;border-radius:3px;}";
} // namespace

KTLShowForm::KTLShowForm(QWidget *parent)
    : moduleshowform(parent)
    , form(new Ui::KTLShowForm)
{
    form->setupUi(this);
}

KTLShowForm::~KTLShowForm()
{
    // The captions go with their parent widget; only the form record is ours to delete.
    delete form;
}

void KTLShowForm::addModuleWidget(QWidget *frame)
{
    const int index = count++;
    if (!frame || index > 2)
        return;

    auto *moduleframe = dynamic_cast<moduleFrame *>(frame);
    if (index == 0) {
        slotText1 = new VTextForm(QString(), form->widget);
        nameText1 = new VTextForm(QString(), form->widget);
        slotText1->setStyleSheet(kBorderless);
        nameText1->setStyleSheet(kBorderless);
        form->horizontalLayout->addWidget(slotText1);
        form->horizontalLayout->addWidget(nameText1);
        form->horizontalLayout->addWidget(frame);
        return;
    }

    QString name;
    if (moduleframe) {
        moduleframe->hideLabels();
        // The captions stand in for the labels, so the frame keeps only its picture.
        const QSize picture = moduleframe->form->label->pixmap(Qt::ReturnByValue).size();
        frame->setFixedSize(qMax(0, picture.width() + 1), qMax(0, picture.height() - 1));
        name = moduleframe->ModuleShowName;
    }
    auto *slotText = new VTextForm(QString::number(index), form->widget);
    auto *nameText = new VTextForm(name, form->widget);
    slotText->setBackground(kSlotBlue);
    nameText->setStyleSheet(kFramed);
    QHBoxLayout *row = form->horizontalLayout_2;
    if (index == 1) {
        slotText->setStyleSheet(kSlotStyle);
        slotText2 = slotText;
        nameText2 = nameText;
    } else {
        row = form->horizontalLayout_3;
        slotText3 = slotText;
        nameText3 = nameText;
    }
    row->addWidget(slotText);
    row->addWidget(nameText);
    row->addWidget(frame);
}
