#include "openinfodialog.h"
#include "offlinetextdocument.h"
#include "ui_openinfodialog.h"

OpenInfoDialog::OpenInfoDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::OpenInfoDialog)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    ui->widget->hideMaxButton();
    ui->widget->hideMinButton();
    ui->widget->setTitleIcon(QIcon(":/new/prefix1/img/open.png"));
    ui->widget->setWindow(this);
    // The description comes from the file: show its markup, follow nothing it points to.
    ui->textBrowser->setDocument(new OfflineTextDocument(ui->textBrowser));
    ui->textBrowser->setOpenLinks(false);
}

OpenInfoDialog::~OpenInfoDialog()
{
    delete ui;
}

void OpenInfoDialog::setFileName(QString name)
{
    ui->lineEdit_name->setText(name);
}

void OpenInfoDialog::setProducer(QString producer)
{
    ui->lineEdit_producer->setText(producer);
}

void OpenInfoDialog::setModfiyDate(QString date)
{
    ui->lineEdit_modfiy->setText(date);
}

void OpenInfoDialog::setInfoText(QString text)
{
    ui->textBrowser->setText(text);
}

void OpenInfoDialog::on_pushButton_clicked()
{
    accept();
}

void OpenInfoDialog::on_pushButton_2_clicked()
{
    reject();
}
