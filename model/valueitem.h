#ifndef VALUEITEM_H
#define VALUEITEM_H

#include <QList>
#include <QPair>
#include <QString>

// One choice of a parameter's value-item list.
struct ValueItem
{
    QString text; // shown, translated
    QString TextId; // as the description writes it; the key of the translation files
};

// A parameter's value items with the value each stands for, in description order: every
// "first item" lookup and the combo box order follow this order.
using ValueItemList = QList<QPair<ValueItem *, int>>;

#endif
