#include "rowmenu.h"

#include <QMenu>
#include <QTreeWidget>

void popupRowMenu(QTreeWidget *tree, const QPoint &pos, const QString &text, std::function<void()> action)
{
    QTreeWidgetItem *row = tree->itemAt(pos);
    if (!row)
        return;
    tree->setCurrentItem(row);
    auto *menu = new QMenu(tree);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction *act = menu->addAction(text);
    QObject::connect(act, &QAction::triggered, tree, [action]() { action(); });
    menu->popup(tree->viewport()->mapToGlobal(pos));
}
