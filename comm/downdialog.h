#ifndef DOWNDIALOG_H
#define DOWNDIALOG_H

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QString>

class QCheckBox;
class module;

namespace Ui {
class DownDialog;
}

// One row of the download table.
struct DownItem
{
    QCheckBox *checkBox = nullptr; // owned by the table
    module *mod = nullptr;
    int row = 0;
};

// Downloads the parameter bytes of the ticked modules and shows each module's status.
class DownDialog : public QDialog
{
    Q_OBJECT

public:
    explicit DownDialog(QWidget *parent = nullptr);
    ~DownDialog() override;

    void setModuleList(QList<module *> modules);
    void startDownload();

    Ui::DownDialog *form() const { return ui; }

    QList<module *> targetList;
    QString comPort;
    QList<DownItem> items;

signals:
    void startdownsignal();
    void startdownsignal(QByteArray Parame);

public slots:
    void on_pushButton_clicked();
    void SetCurScanIP(QString moduleinfo);
    void Sancefinished();

private:
    Ui::DownDialog *ui;

    // The address text a row is known by: the COM port name or the module's address.
    static QString rowAddress(const QString &text);
};

#endif
