#ifndef PAGESCROLLAREA_H
#define PAGESCROLLAREA_H

#include <QScrollArea>

// The main window's page area. Like any scroll area it brings a widget that the user tabs to into
// view; but when the focus leaves a widget because a page disabled or hid it (a button that opens
// a window is disabled while that window is open, a page makes way for another), the page stays
// where the user left it instead of jumping to whatever widget takes the focus next.
class PageScrollArea : public QScrollArea
{
    Q_OBJECT

public:
    explicit PageScrollArea(QWidget *parent = nullptr);

protected:
    bool focusNextPrevChild(bool next) override;
};

#endif
