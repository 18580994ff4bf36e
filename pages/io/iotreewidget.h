#ifndef IOTREEWIDGET_H
#define IOTREEWIDGET_H

#include <QTreeWidget>

// The I/O page's table: a tree widget whose rows can be found from the model indexes its
// delegate's editors carry.
class IoTreeWidget : public QTreeWidget
{
public:
    using QTreeWidget::indexFromItem;
    using QTreeWidget::itemFromIndex;
    using QTreeWidget::QTreeWidget;
};

#endif
