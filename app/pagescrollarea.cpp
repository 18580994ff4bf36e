#include "pagescrollarea.h"

PageScrollArea::PageScrollArea(QWidget *parent)
    : QScrollArea(parent)
{
}

bool PageScrollArea::focusNextPrevChild(bool next)
{
    // Qt moves the focus on from a widget being disabled or hidden through here as well; only a
    // move away from a widget still in use is the user's.
    const QWidget *from = window()->focusWidget();
    if (from && from->isEnabled() && from->isVisible())
        return QScrollArea::focusNextPrevChild(next);
    return QAbstractScrollArea::focusNextPrevChild(next);
}
