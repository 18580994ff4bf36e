#include "pageholderstyle.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyleOptionGroupBox>

namespace {

// Room around the title text: 2 pixels above and below, 40 at each side.
constexpr int bandPadV = 2;
constexpr int bandPadH = 40;

QRect bandRect(const QStyleOptionGroupBox *box, const QFont &font)
{
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(box->text) + 2 * bandPadH;
    const int height = metrics.height() + 2 * bandPadV;
    return QRect(box->rect.left() + (box->rect.width() - width) / 2, box->rect.top(), width, height);
}

// The contents start below a top margin of three x-heights of the box's font, or below the
// band when that is taller.
int contentsTop(const QStyleOptionGroupBox *box, const QFont &font)
{
    const int margin = 3 * box->fontMetrics.xHeight();
    return box->text.isEmpty() ? margin : qMax(margin, bandRect(box, font).height());
}

QFont boxFont(const QWidget *widget)
{
    return widget ? widget->font() : QFont();
}

} // namespace

PageHolderStyle::PageHolderStyle() = default;

QFont PageHolderStyle::titleFont(const QFont &boxFont)
{
    QFont font = boxFont;
    font.setPixelSize(18);
    return font;
}

QColor PageHolderStyle::bandColor()
{
    return QColor(119, 121, 255);
}

QRect PageHolderStyle::subControlRect(QStyle::ComplexControl control, const QStyleOptionComplex *option,
    QStyle::SubControl subControl, const QWidget *widget) const
{
    const auto *box = qstyleoption_cast<const QStyleOptionGroupBox *>(option);
    if (control != CC_GroupBox || !box)
        return QProxyStyle::subControlRect(control, option, subControl, widget);
    const QFont font = titleFont(boxFont(widget));
    switch (subControl) {
    case SC_GroupBoxLabel:
        return bandRect(box, font);
    case SC_GroupBoxFrame:
        return box->rect;
    case SC_GroupBoxContents:
        return box->rect.adjusted(0, contentsTop(box, font), 0, 0);
    default:
        return QProxyStyle::subControlRect(control, option, subControl, widget);
    }
}

void PageHolderStyle::drawComplexControl(
    QStyle::ComplexControl control, const QStyleOptionComplex *option, QPainter *painter, const QWidget *widget) const
{
    const auto *box = qstyleoption_cast<const QStyleOptionGroupBox *>(option);
    if (control != CC_GroupBox || !box) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    // No frame; only the title band.
    if (box->text.isEmpty())
        return;
    const QFont font = titleFont(boxFont(widget));
    const QRect band = bandRect(box, font);
    painter->save();
    painter->fillRect(band, bandColor());
    painter->setFont(font);
    painter->setPen(Qt::white);
    painter->drawText(band, Qt::AlignCenter | Qt::TextSingleLine, box->text);
    painter->restore();
}

QSize PageHolderStyle::sizeFromContents(
    QStyle::ContentsType type, const QStyleOption *option, const QSize &contentsSize, const QWidget *widget) const
{
    const auto *box = qstyleoption_cast<const QStyleOptionGroupBox *>(option);
    if (type != CT_GroupBox || !box)
        return QProxyStyle::sizeFromContents(type, option, contentsSize, widget);
    // Wide enough for the band, tall enough for the margin above the contents.
    const QFont font = titleFont(boxFont(widget));
    return QSize(
        qMax(contentsSize.width(), bandRect(box, font).width()), contentsSize.height() + contentsTop(box, font));
}
