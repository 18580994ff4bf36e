#include "vtextform.h"

#include "ui_vtextform.h"

#include <QGraphicsScene>

VTextForm::VTextForm(QString text, QWidget *parent)
    : QWidget(parent)
    , form(new Ui::VTextForm)
{
    form->setupUi(this);
    setFixedSize(20, 50);
    scene = new QGraphicsScene(this);
    form->graphicsView->setScene(scene);
    form->graphicsView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    form->graphicsView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    form->graphicsView->rotate(-90);
    scene->addText(text);
}

VTextForm::~VTextForm()
{
    delete form;
}

void VTextForm::setBackground(QBrush brush)
{
    scene->setBackgroundBrush(brush);
}
