#include "cataloginfoform.h"

#include "moduleslot.h"
#include "ui_cataloginfoform.h"

#include <QPixmap>

CatalogInfoForm::CatalogInfoForm(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CatalogInfoForm)
{
    ui->setupUi(this);
}

CatalogInfoForm::~CatalogInfoForm()
{
    delete ui;
}

void CatalogInfoForm::showEntry(moduleslot *entry)
{
    if (!entry)
        return;
    ui->label_img->setPixmap(QPixmap(entry->Pixmap));
    ui->lineEdit_name->setText(entry->name);
    ui->lineEdit_descriptions->setText(entry->Text);
}
