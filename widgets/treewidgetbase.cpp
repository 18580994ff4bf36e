#include "treewidgetbase.h"

#include <QPainter>
#include <QTreeWidgetItemIterator>

TreeWidgetBase::TreeWidgetBase(QWidget *parent)
    : QTreeWidget(parent)
{
}

void TreeWidgetBase::paintEvent(QPaintEvent *event)
{
    {
        // Closed before the tree paints: a device takes only one active painter at a time,
        // and the items must end up over the lines.
        QPainter painter(viewport());
        painter.setPen(QPen(QColor(255, 255, 255, 255), 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));

        QTreeWidgetItem *const first = topLevelItem(0);
        for (QTreeWidgetItemIterator it(this); *it; ++it) {
            QTreeWidgetItem *const item = *it;
            const QRect r = visualItemRect(item);
            if (r.isEmpty())
                continue; // collapsed or hidden: nothing on screen to frame
            if (item == first)
                painter.drawLine(r.left(), r.top(), r.right(), r.top());
            painter.drawLine(r.right(), r.top(), r.right(), r.bottom());
            painter.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
            painter.drawLine(r.left(), r.top(), r.left(), r.bottom());
            int x = r.right();
            for (int column = columnCount() - 1; column >= 1; --column) {
                x -= columnWidth(column);
                painter.drawLine(x, r.top(), x, r.bottom());
            }
        }
    }
    QTreeWidget::paintEvent(event);
}
