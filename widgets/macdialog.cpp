#include "macdialog.h"
#include "ui_macdialog.h"

#include "focuschain.h"

#include <QKeyEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

MACDialog::MACDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::MACDialog)
{
    ui->setupUi(this);
    // Embedded in forms and table cells, so it must not open a window of its own.
    setWindowFlags(Qt::Widget);

    setStyleSheet(QStringLiteral("QWidget{border:1px solid #A6B5B8;border-radius:3px;}"));
    const QString plain = QStringLiteral("background:transparent;border-width:0;border-style:outset");
    for (QLabel *label : { ui->label, ui->label_2, ui->label_3, ui->label_4, ui->label_5 })
        label->setStyleSheet(plain);

    auto *validator = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]{2}")), this);
    for (QLineEdit *edit : fields()) {
        edit->setStyleSheet(plain);
        connect(edit, &QLineEdit::textChanged, this, &MACDialog::textChanged);
        edit->setValidator(validator);
        edit->installEventFilter(this);
    }

    currentField = ui->lineEdit;
}

MACDialog::~MACDialog()
{
    delete ui;
}

QList<QLineEdit *> MACDialog::fields() const
{
    return { ui->lineEdit, ui->lineEdit_2, ui->lineEdit_3, ui->lineEdit_4, ui->lineEdit_5, ui->lineEdit_6 };
}

QString MACDialog::getMAC() const
{
    return QStringLiteral("%1:%2:%3:%4:%5:%6")
        .arg(ui->lineEdit->text(), ui->lineEdit_2->text(), ui->lineEdit_3->text(), ui->lineEdit_4->text(),
            ui->lineEdit_5->text(), ui->lineEdit_6->text())
        .toUpper();
}

void MACDialog::setMAC(const QString &mac)
{
    // Callers pass six groups; a shorter text leaves the missing fields empty and anything
    // past the sixth group is ignored.
    const QStringList parts = mac.split(QLatin1Char(':'), Qt::KeepEmptyParts);
    const QList<QLineEdit *> edits = fields();
    for (int i = 0; i < edits.size(); ++i)
        edits.at(i)->setText(i < parts.size() ? parts.at(i) : QString());
}

void MACDialog::setFocusFirst()
{
    ui->lineEdit->setFocus();
}

bool MACDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched == currentField) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->text() == QLatin1String(":"))
            focusNextField();
        else if (key->key() == Qt::Key_Backspace && currentField->text().size() <= 1)
            focusPreviousField();
    }
    return QDialog::eventFilter(watched, event);
}

void MACDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        // Escape must not close the dialog that embeds this one.
        currentField->clear();
        return;
    }
    // Plain widget handling: Enter and Return trigger no default button here.
    QWidget::keyPressEvent(event);
}

void MACDialog::textChanged(const QString &text)
{
    if (text.size() == 2)
        focusNextField();
}

void MACDialog::focusNextField()
{
    const QList<QLineEdit *> edits = fields();
    const int i = edits.indexOf(currentField);
    if (i + 1 < edits.size()) {
        currentField = edits.at(i + 1);
        currentField->setFocus();
    } else {
        focusAlongChain(edits.last(), true);
    }
}

void MACDialog::focusPreviousField()
{
    const QList<QLineEdit *> edits = fields();
    const int i = edits.indexOf(currentField);
    if (i > 0) {
        currentField = edits.at(i - 1);
        currentField->setFocus();
    } else {
        focusAlongChain(edits.first(), false);
    }
}
