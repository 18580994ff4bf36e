#ifndef STATESHOWFORM_H
#define STATESHOWFORM_H

#include <QWidget>

namespace Ui {
class StateShowForm;
}

// The pop-up of a status register cell: its enable, input alarm and tuning bits.
class StateShowForm : public QWidget
{
    Q_OBJECT

public:
    explicit StateShowForm(QWidget *parent = nullptr);
    ~StateShowForm() override;

    void setValue(uint16_t value);
    uint16_t value() const { return m_value; }

private:
    Ui::StateShowForm *ui;
    uint16_t m_value = 0;
};

#endif
