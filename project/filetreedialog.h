#ifndef FILETREEDIALOG_H
#define FILETREEDIALOG_H

#include <QDialog>
#include <QModelIndex>
#include <QString>

class QFileSystemModel;

namespace Ui {
class FiletreeDialog;
}

// Picks a directory from the file system tree by a double click.
class FiletreeDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FiletreeDialog(QWidget *parent = nullptr);
    ~FiletreeDialog() override;

    // The chosen directory; empty until one was double-clicked.
    QString getPath() const { return m_path; }

    Ui::FiletreeDialog *form() const { return ui; }
    QFileSystemModel *model() const { return m_model; }

private slots:
    void on_treeView_doubleClicked(const QModelIndex &index);

private:
    Ui::FiletreeDialog *ui;
    QFileSystemModel *m_model;
    QString m_path;
};

#endif
