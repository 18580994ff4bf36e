#ifndef TEMPCTRLREGDIALOG_H
#define TEMPCTRLREGDIALOG_H

#include <QDialog>

namespace Ui {
class TempCtrlRegDialog;
}

// The pop-up of a control register cell: shows, or lets the user change, the enable and
// identification-start bits; the other bits are carried along.
class TempCtrlRegDialog : public QDialog
{
    Q_OBJECT

public:
    TempCtrlRegDialog(bool readOnly, QWidget *parent = nullptr);
    ~TempCtrlRegDialog() override;

    void setValue(uint16_t value);
    // The last value with the two bits as the boxes show them.
    uint16_t value();

    void reject() override;

public slots:
    void on_pushButton_OK_clicked();
    void on_pushButton_close_clicked();

private:
    Ui::TempCtrlRegDialog *ui;
    uint16_t m_value = 0;
};

#endif
