#include "textfit.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>

namespace {
// QLineEdit keeps this many pixels free on each side of its text, and one for the cursor.
constexpr int lineEditMargin = 2;
constexpr int cursorWidth = 1;

int widest(const QFontMetrics &fm, const QStringList &texts)
{
    int width = 0;
    for (const QString &text : texts)
        width = qMax(width, fm.horizontalAdvance(text));
    return width;
}

QStyleOptionFrame lineEditOption(QLineEdit *edit, int width)
{
    QStyleOptionFrame opt;
    opt.initFrom(edit);
    opt.rect = QRect(0, 0, width, qMax(edit->height(), 1));
    opt.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, edit) : 0;
    opt.midLineWidth = 0;
    opt.state |= QStyle::State_Sunken;
    opt.features = QStyleOptionFrame::None;
    return opt;
}

int lineEditRoom(QLineEdit *edit, int width)
{
    const QStyleOptionFrame opt = lineEditOption(edit, width);
    const QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &opt, edit);
    const QMargins margins = edit->textMargins();
    return contents.width() - margins.left() - margins.right() - 2 * lineEditMargin - cursorWidth;
}

int pushButtonRoom(QPushButton *button, int width)
{
    QStyleOptionButton opt;
    opt.initFrom(button);
    opt.rect = QRect(0, 0, width, qMax(button->height(), 1));
    opt.text = button->text();
    if (button->isDefault())
        opt.features |= QStyleOptionButton::DefaultButton;
    if (button->autoDefault())
        opt.features |= QStyleOptionButton::AutoDefaultButton;
    if (button->isFlat())
        opt.features |= QStyleOptionButton::Flat;
    return button->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, button).width();
}

int comboBoxRoom(QComboBox *combo, int width)
{
    QStyleOptionComboBox opt;
    opt.initFrom(combo);
    opt.rect = QRect(0, 0, width, qMax(combo->height(), 1));
    opt.editable = combo->isEditable();
    opt.frame = combo->hasFrame();
    opt.currentText = combo->currentText();
    opt.subControls = QStyle::SC_All;
    return combo->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, combo).width();
}

// The style's frame, margins and padding do not depend on the width, so one probe tells the
// width the widget needs around its text.
template <typename Widget> int neededWidth(Widget *widget, int textWidth, int (*room)(Widget *, int))
{
    constexpr int probe = 1000;
    return textWidth + probe - room(widget, probe);
}
}

namespace TextFit {
int lineEditWidth(QLineEdit *edit, const QString &text)
{
    edit->ensurePolished();
    return neededWidth(edit, edit->fontMetrics().horizontalAdvance(text), lineEditRoom);
}

int pushButtonWidth(QPushButton *button, const QString &text)
{
    button->ensurePolished();
    const QFontMetrics fm = button->fontMetrics();
    // A little air on both sides, as the style's own size hints give.
    return neededWidth(button, fm.horizontalAdvance(text) + fm.horizontalAdvance(QLatin1Char(' ')), pushButtonRoom);
}

int comboBoxWidth(QComboBox *combo, const QStringList &texts)
{
    combo->ensurePolished();
    // The label is drawn one pixel in from each side of the edit field.
    return neededWidth(combo, widest(combo->fontMetrics(), texts) + 2, comboBoxRoom);
}
}
