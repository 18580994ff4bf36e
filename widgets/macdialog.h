#ifndef MACDIALOG_H
#define MACDIALOG_H

#include <QDialog>

class QLineEdit;

namespace Ui {
class MACDialog;
}

// Six two-hex-digit fields with colons between them. A dialog class, but always embedded as a
// plain child widget (the DHCP host table puts one into each row).
class MACDialog : public QDialog
{
    Q_OBJECT

public:
    explicit MACDialog(QWidget *parent = nullptr);
    ~MACDialog() override;

    QString getMAC() const;
    void setMAC(const QString &mac);
    void setFocusFirst();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    void textChanged(const QString &text);

private:
    void focusNextField();
    void focusPreviousField();
    QList<QLineEdit *> fields() const;

    Ui::MACDialog *ui;
    QLineEdit *currentField;
};

#endif
