#ifndef FOCUSCHAIN_H
#define FOCUSCHAIN_H

class QWidget;

// Gives the keyboard focus to the widget that Tab (forward) or Shift+Tab would reach from
// `from`, inside from's window. Leaves the focus alone when no other widget takes it.
void focusAlongChain(QWidget *from, bool forward);

#endif
