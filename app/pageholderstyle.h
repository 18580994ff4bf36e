#ifndef PAGEHOLDERSTYLE_H
#define PAGEHOLDERSTYLE_H

#include <QProxyStyle>

// The style of the group box that holds the page tabs: no frame, and its title a white text of
// 18 pixels on a blue band centred at the top. A style set on a widget stays with that widget, where a
// style sheet would also restyle every page widget inside the box, and a page of many widgets
// would then carry the sheet's rules for each of them.
class PageHolderStyle : public QProxyStyle
{
public:
    PageHolderStyle();

    // The title's font and the band's colour.
    static QFont titleFont(const QFont &boxFont);
    static QColor bandColor();

    QRect subControlRect(QStyle::ComplexControl control, const QStyleOptionComplex *option,
        QStyle::SubControl subControl, const QWidget *widget) const override;
    void drawComplexControl(QStyle::ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
        const QWidget *widget) const override;
    QSize sizeFromContents(QStyle::ContentsType type, const QStyleOption *option, const QSize &contentsSize,
        const QWidget *widget) const override;
};

#endif
