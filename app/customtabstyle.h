#ifndef CUSTOMTABSTYLE_H
#define CUSTOMTABSTYLE_H

#include <QProxyStyle>

// The page tab bar's style: every tab a rounded tile of at least 100 x 30 that holds its
// horizontal, centred text, coloured for the selected tab, the tab under the mouse and the others.
class CustomTabStyle : public QProxyStyle
{
public:
    CustomTabStyle();

    void drawControl(QStyle::ControlElement element, const QStyleOption *option, QPainter *painter,
        const QWidget *widget = nullptr) const override;
    QSize sizeFromContents(QStyle::ContentsType type, const QStyleOption *option, const QSize &contentsSize,
        const QWidget *widget) const override;
};

#endif
