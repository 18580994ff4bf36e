#include "ctrlshowline.h"

#include "prompts.h"
#include "regshowline.h"
#include "tempctrlregdialog.h"

#include <QMouseEvent>
#include <QPointer>

Ctrlshowline::Ctrlshowline(bool readOnly, QWidget *parent)
    : QPushButton(parent)
    , m_readOnly(readOnly)
    , m_popup(new TempCtrlRegDialog(readOnly, this))
{
    setStyleSheet(QStringLiteral("QPushButton{border-width:0;border-style:outset}"));
    setValue(0);
}

void Ctrlshowline::setValue(uint16_t value)
{
    m_popup->setValue(value);
    setText(registerText(value));
}

void Ctrlshowline::mousePressEvent(QMouseEvent *event)
{
    if (!m_shown) {
        m_popup->move(event->globalPos());
        if (m_readOnly) {
            m_popup->show();
            m_shown = true;
        } else {
            QPointer<Ctrlshowline> self(this);
            const int result = Prompts::exec(m_popup);
            if (!self)
                return;
            if (result == QDialog::Accepted) {
                const uint16_t value = m_popup->value();
                setText(registerText(value));
                emit modfiyvalue(value);
            }
            // The release went to the dialog: a pressed look would stay behind.
            return;
        }
    }
    QPushButton::mousePressEvent(event);
}

void Ctrlshowline::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_shown) {
        m_popup->hide();
        m_shown = false;
    }
    QPushButton::mouseReleaseEvent(event);
}
