#ifndef TEXTROOM_H
#define TEXTROOM_H

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace TestSupport {
// The width a widget gives its text at its present size, by its style (and style sheet).
int textRoom(QLineEdit *edit);
int textRoom(QPushButton *button);
int textRoom(QComboBox *combo);
int textRoom(QCheckBox *box);
}

#endif
