#ifndef TEXTFIT_H
#define TEXTFIT_H

#include <QStringList>

class QComboBox;
class QLineEdit;
class QPushButton;

// Widths at which a widget shows its longest text whole, measured with the widget's own font,
// style and style sheet, so a translation or a larger system font does not clip it.
namespace TextFit {
int lineEditWidth(QLineEdit *edit, const QString &text);
int pushButtonWidth(QPushButton *button, const QString &text);
int comboBoxWidth(QComboBox *combo, const QStringList &texts);
}

#endif
