#ifndef DESCRIPTIONTRANSLATION_H
#define DESCRIPTIONTRANSLATION_H

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <optional>

// The entries of one ModuleParameter_<lang>.xml that concern one type, in file order, read
// without touching any description so the reader can be tested and fuzzed on its own.
class DescriptionTranslation
{
public:
    enum Status { Ok, Unreadable, NotWellFormed };

    struct Entry
    {
        enum Kind { Text, Param };
        Kind kind = Text;
        // Text: the new description text (empty when the attribute is missing or the first child
        // is not an element). Param: the parameter's shown name.
        QString translation;
        QString srcText; // Param only
    };

    struct ItemList
    {
        QString id; // simplified
        QList<QPair<QString, QString>> items; // (TextId, translation), both simplified
    };

    static DescriptionTranslation parse(const QByteArray &xml, const QString &name);
    static DescriptionTranslation read(const QString &path, const QString &name);

    Status status = Unreadable;
    QList<Entry> entries;
    QList<ItemList> itemLists;
};

#endif
