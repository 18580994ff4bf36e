#include "customtabstyle.h"

#include <QPainter>
#include <QStyleOptionTab>
#include <QTextOption>

namespace {
constexpr int tileWidth = 100;
constexpr int tileHeight = 30;
// Room between the text and the tile's rounded edge.
constexpr int textAirX = 8;
constexpr int textAirY = 4;
}

CustomTabStyle::CustomTabStyle() = default;

QSize CustomTabStyle::sizeFromContents(
    QStyle::ContentsType type, const QStyleOption *option, const QSize &contentsSize, const QWidget *widget) const
{
    // Every page tab is a tile of at least 100 x 30, whatever its icon or position, and as large
    // as its horizontal text needs, so a longer translation shows whole instead of wrapping and
    // being cut. The tab bar gives the tiles of a column the width of the widest.
    if (type == QStyle::CT_TabBarTab) {
        QSize size(tileWidth, tileHeight);
        if (const auto *tab = qstyleoption_cast<const QStyleOptionTab *>(option)) {
            // The label is painted in the tab bar's font, which the option carries.
            const QSize text = tab->fontMetrics.size(0, tab->text);
            size = size.expandedTo(QSize(text.width() + 2 * textAirX, text.height() + 2 * textAirY));
        }
        return size;
    }
    return QProxyStyle::sizeFromContents(type, option, contentsSize, widget);
}

void CustomTabStyle::drawControl(
    QStyle::ControlElement element, const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    if (element == QStyle::CE_TabBarTab) {
        // The base style draws the tab through this style's shape and label.
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    if (element != QStyle::CE_TabBarTabLabel)
        return;
    const auto *tab = qstyleoption_cast<const QStyleOptionTab *>(option);
    if (!tab || tab->version < 3)
        return;

    const QRect rect = tab->rect;
    const QString text = tab->text;
    const QFont font = painter->font();
    const QBrush brush = painter->brush();

    QColor fill;
    QColor textColor;
    if (tab->state & QStyle::State_Selected) {
        fill = QColor(178, 171, 255);
        textColor = Qt::white;
    } else if (tab->state & QStyle::State_MouseOver) {
        fill = QColor(242, 242, 242);
        textColor = QColor(0, 106, 177);
    } else {
        fill = QColor(14, 106, 175);
        textColor = Qt::white;
    }

    painter->save();
    painter->setPen(QColor(218, 219, 220));
    painter->setBrush(QBrush(fill));
    painter->drawRoundedRect(rect, 3, 3);
    painter->restore();

    painter->save();
    painter->setPen(textColor);
    painter->setFont(font);
    QTextOption textOption;
    textOption.setAlignment(Qt::AlignCenter);
    painter->drawText(QRectF(rect), text, textOption);
    if (tab->state & QStyle::State_Selected) {
        painter->setPen(Qt::white);
        painter->setBrush(brush);
        painter->drawRoundedRect(rect, 3, 3);
    }
    painter->restore();
}
