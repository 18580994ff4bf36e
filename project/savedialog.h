#ifndef SAVEDIALOG_H
#define SAVEDIALOG_H

#include <QDialog>
#include <QString>

namespace Ui {
class SaveDialog;
}

// Asks for the project's name, directory, creator and description before a save.
class SaveDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SaveDialog(QWidget *parent = nullptr);
    ~SaveDialog() override;

    QString getPath();
    // The project name followed by ".kdxml".
    QString getFileName();
    // The file-information element: creator, the current time and the description.
    QString getFileInfo();

    // Group "saveinfo" of the settings file.
    bool writeSetting(QString key, QString value);
    bool readSetting(QString key, QString &value);

    Ui::SaveDialog *form() const { return ui; }

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();

private:
    Ui::SaveDialog *ui;
};

#endif
