#include "textroom.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>

namespace TestSupport {

int textRoom(QLineEdit *edit)
{
    QStyleOptionFrame opt;
    opt.initFrom(edit);
    opt.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, edit) : 0;
    opt.state |= QStyle::State_Sunken;
    const QRect r = edit->style()->subElementRect(QStyle::SE_LineEditContents, &opt, edit);
    // QLineEdit leaves two pixels on each side, and the cursor needs one.
    return r.width() - edit->textMargins().left() - edit->textMargins().right() - 4 - 1;
}

int textRoom(QPushButton *button)
{
    QStyleOptionButton opt;
    opt.initFrom(button);
    if (button->autoDefault())
        opt.features |= QStyleOptionButton::AutoDefaultButton;
    return button->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, button).width();
}

int textRoom(QComboBox *combo)
{
    QStyleOptionComboBox opt;
    opt.initFrom(combo);
    opt.frame = combo->hasFrame();
    opt.subControls = QStyle::SC_All;
    return combo->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, combo).width();
}

int textRoom(QCheckBox *box)
{
    QStyleOptionButton opt;
    opt.initFrom(box);
    return box->style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, box).width();
}
}
