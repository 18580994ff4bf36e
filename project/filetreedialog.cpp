#include "filetreedialog.h"
#include "prompts.h"
#include "ui_filetreedialog.h"

#include <QFileSystemModel>

FiletreeDialog::FiletreeDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::FiletreeDialog)
    , m_model(new QFileSystemModel(this))
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    ui->widget->hideMaxButton();
    ui->widget->hideMinButton();
    ui->widget->setTitleIcon(QIcon(":/new/prefix1/img/filetree.png"));
    ui->widget->setWindow(this);

    m_model->setOption(QFileSystemModel::DontUseCustomDirectoryIcons);
    m_model->setRootPath(QString());
    ui->treeView->setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        ui->treeView->hideColumn(column);
    const QModelIndex desktop = m_model->index(Prompts::defaultFolder());
    if (desktop.isValid()) {
        ui->treeView->setCurrentIndex(desktop);
        ui->treeView->scrollTo(desktop);
    }
}

FiletreeDialog::~FiletreeDialog()
{
    delete ui;
}

void FiletreeDialog::on_treeView_doubleClicked(const QModelIndex &index)
{
    if (!m_model->isDir(index))
        return;
    m_path = m_model->filePath(index);
    accept();
}
