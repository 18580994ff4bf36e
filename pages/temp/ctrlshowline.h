#ifndef CTRLSHOWLINE_H
#define CTRLSHOWLINE_H

#include <QPushButton>

class TempCtrlRegDialog;

// A flat cell that shows a control register in hexadecimal. Read-only, a press shows its bits
// while held; editable, a press opens a small dialog that changes them.
class Ctrlshowline : public QPushButton
{
    Q_OBJECT

public:
    Ctrlshowline(bool readOnly, QWidget *parent = nullptr);

    void setValue(uint16_t value);
    bool isReadOnly() const { return m_readOnly; }
    TempCtrlRegDialog *popup() const { return m_popup; }

signals:
    void modfiyvalue(uint16_t value);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_shown = false;
    const bool m_readOnly;
    // A child of the cell, so it goes with the cell, once.
    TempCtrlRegDialog *m_popup;
};

#endif
