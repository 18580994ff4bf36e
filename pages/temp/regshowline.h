#ifndef REGSHOWLINE_H
#define REGSHOWLINE_H

#include <QPushButton>
#include <memory>

class StateShowForm;

// A flat cell that shows a status register in hexadecimal; while it is pressed, a pop-up shows
// the register's bits.
class Regshowline : public QPushButton
{
    Q_OBJECT

public:
    explicit Regshowline(QWidget *parent = nullptr);
    ~Regshowline() override;

    void setValue(uint16_t value);
    uint16_t value() const { return m_value; }
    StateShowForm *popup() const { return m_popup.get(); }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_shown = false;
    std::unique_ptr<StateShowForm> m_popup;
    uint16_t m_value = 0;
};

// "16#" and four upper-case hexadecimal digits.
QString registerText(uint16_t value);

#endif
