#include "firmwarefileform.h"
#include "ui_firmwarefileform.h"

#include "intelhex.h"
#include "prompts.h"
#include "textfit.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>

FirmwareFileForm::FirmwareFileForm(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::FirmwareFileForm)
{
    ui->setupUi(this);
    // 45 pixels unless the translated text needs more.
    for (QPushButton *button : { ui->pushButton, ui->pushButton_2 })
        button->setMaximumWidth(qMax(45, TextFit::pushButtonWidth(button, button->text())));
}

FirmwareFileForm::~FirmwareFileForm()
{
    delete ui;
}

QString FirmwareFileForm::getPath() const
{
    return ui->lineEdit->text();
}

void FirmwareFileForm::setPath(const QString &path)
{
    ui->lineEdit->setText(path);
}

bool FirmwareFileForm::isPathEmpty() const
{
    return ui->lineEdit->text().isEmpty();
}

void FirmwareFileForm::on_pushButton_clicked()
{
    QGuiApplication::clipboard()->setText(getPath());
}

void FirmwareFileForm::on_pushButton_2_clicked()
{
    const QString file = Prompts::getOpenFileName(this, "Open hex", ".", "Files(*.hex)");
    if (!file.isEmpty())
        setPath(file);
}

bool FirmwareFileForm::readHexFile(QByteArray &image)
{
    const QString path = getPath();
    if (path.isEmpty())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Prompts::information(nullptr, tr("打开失败"), tr("打开失败"));
        return false;
    }
    HexReadResult result = readIntelHex(file);
    image = result.image;
    return result.ok();
}

FirmwareHeader FirmwareFileForm::readFirmware(QByteArray &image)
{
    if (!readHexFile(image)) {
        Prompts::information(nullptr, tr("文件错误"), tr("提供的hex文件不对"));
        return FirmwareHeader();
    }
    return FirmwareHeader::fromImage(image);
}
