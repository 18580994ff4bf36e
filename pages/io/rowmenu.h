#ifndef ROWMENU_H
#define ROWMENU_H

#include <QPoint>
#include <QString>
#include <functional>

class QTreeWidget;

// Offers one action for the row under pos (made current first); nothing when no row is there.
// The menu pops up without blocking and deletes itself when it closes.
void popupRowMenu(QTreeWidget *tree, const QPoint &pos, const QString &text, std::function<void()> action);

#endif
