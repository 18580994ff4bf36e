#include "regshowline.h"

#include "stateshowform.h"

#include <QMouseEvent>

QString registerText(uint16_t value)
{
    return QStringLiteral("16#%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

Regshowline::Regshowline(QWidget *parent)
    : QPushButton(parent)
    , m_popup(std::make_unique<StateShowForm>())
{
    setStyleSheet(QStringLiteral("QPushButton{border-width:0;border-style:outset}"));
    setValue(0);
}

Regshowline::~Regshowline() = default;

void Regshowline::setValue(uint16_t value)
{
    m_popup->setValue(value);
    setText(registerText(value));
    m_value = value;
}

void Regshowline::mousePressEvent(QMouseEvent *event)
{
    if (!m_shown) {
        m_popup->move(event->globalPos());
        m_popup->show();
        m_shown = true;
    }
    QPushButton::mousePressEvent(event);
}

void Regshowline::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_shown) {
        m_popup->hide();
        m_shown = false;
    }
    QPushButton::mouseReleaseEvent(event);
}
