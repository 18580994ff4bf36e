#include "focuschain.h"

#include <QWidget>

void focusAlongChain(QWidget *from, bool forward)
{
    QWidget *const window = from->window();
    QWidget *w = from;
    for (;;) {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == from)
            return;
        if (w->window() != window || w->focusProxy())
            continue;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(window)) {
            w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}
