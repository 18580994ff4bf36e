#ifndef TREEWIDGETBASE_H
#define TREEWIDGETBASE_H

#include <QTreeWidget>

// A tree widget with a white grid around every row and between the columns.
class TreeWidgetBase : public QTreeWidget
{
    Q_OBJECT

public:
    explicit TreeWidgetBase(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

#endif
