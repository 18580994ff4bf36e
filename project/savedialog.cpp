#include "savedialog.h"
#include "ui_savedialog.h"

#include "filetreedialog.h"
#include "projectfile.h"
#include "prompts.h"
#include "usrconf.h"

#include <QDateTime>
#include <QDir>
#include <QStandardPaths>

SaveDialog::SaveDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::SaveDialog)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    ui->widget->hideMaxButton();
    ui->widget->hideMinButton();
    ui->widget->setTitleIcon(QIcon(":/new/prefix1/img/save.png"));
    ui->widget->setWindow(this);
    ui->widget->setTitleText(tr("保存配置"));

    QString value;
    readSetting("ProducerName", value);
    ui->lineEdit_producer->setText(value.isEmpty() ? tr("未定义") : value);
    value.clear();
    readSetting("FilePath", value);
    if (value.isEmpty()) // not every machine has a desktop folder; a missing one would fail the first OK
        value = Prompts::defaultFolder();
    ui->lineEdit_path->setText(value);
}

SaveDialog::~SaveDialog()
{
    delete ui;
}

QString SaveDialog::getPath()
{
    return ui->lineEdit_path->text();
}

QString SaveDialog::getFileName()
{
    return ui->lineEdit_name->text() + ".kdxml";
}

QString SaveDialog::getFileInfo()
{
    return ProjectFile::fileInfoXml(ui->lineEdit_producer->text(),
                                    ProjectFile::saveTimeText(QDateTime::currentDateTime()),
                                    ui->textEdit_info->toPlainText());
}

bool SaveDialog::writeSetting(QString key, QString value)
{
    return UsrConf::write("saveinfo", key, value);
}

bool SaveDialog::readSetting(QString key, QString &value)
{
    return UsrConf::read("saveinfo", key, value);
}

void SaveDialog::on_pushButton_clicked()
{
    FiletreeDialog *picker = new FiletreeDialog(nullptr);
    if (Prompts::exec(picker) == QDialog::Accepted)
        ui->lineEdit_path->setText(picker->getPath());
    delete picker;
}

void SaveDialog::on_pushButton_2_clicked()
{
    const QString path = ui->lineEdit_path->text();
    const QString name = ui->lineEdit_name->text();
    writeSetting("ProducerName", ui->lineEdit_producer->text());
    if (!path.isEmpty() && !name.isEmpty() && QDir(path).exists()) {
        writeSetting("FilePath", path);
        accept();
        return;
    }
    Prompts::warning(nullptr, tr("失败"), tr("非正常文件路径"));
}

void SaveDialog::on_pushButton_3_clicked()
{
    reject();
}
