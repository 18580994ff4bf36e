#ifndef OPENINFODIALOG_H
#define OPENINFODIALOG_H

#include <QDialog>
#include <QString>

namespace Ui {
class OpenInfoDialog;
}

// Shows a project file's creator, time and description before its modules replace the
// current ones.
class OpenInfoDialog : public QDialog
{
    Q_OBJECT

public:
    explicit OpenInfoDialog(QWidget *parent = nullptr);
    ~OpenInfoDialog() override;

    void setFileName(QString name);
    void setProducer(QString producer);
    void setModfiyDate(QString date);
    void setInfoText(QString text);

    Ui::OpenInfoDialog *form() const { return ui; }

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();

private:
    Ui::OpenInfoDialog *ui;
};

#endif
