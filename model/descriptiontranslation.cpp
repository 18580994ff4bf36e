#include "descriptiontranslation.h"

#include <QDomDocument>
#include <QDomElement>
#include <QFile>

DescriptionTranslation DescriptionTranslation::parse(const QByteArray &xml, const QString &name)
{
    DescriptionTranslation t;
    QDomDocument doc;
    if (!doc.setContent(xml)) {
        t.status = NotWellFormed;
        return t;
    }
    t.status = Ok;
    const QDomElement root = doc.documentElement();
    const QDomNode moduleList = root.firstChild();
    for (QDomNode node = moduleList.firstChild(); !node.isNull(); node = node.nextSibling()) {
        if (node.toElement().attribute("ModuleName").simplified() != name)
            continue;
        for (QDomNode child = node.firstChild(); !child.isNull(); child = child.nextSibling()) {
            const QDomElement e = child.toElement();
            if (e.isNull())
                continue;
            if (e.tagName() == QLatin1String("Text")) {
                const QDomNode first = e.firstChild();
                if (first.isNull())
                    continue;
                Entry entry;
                entry.kind = Entry::Text;
                entry.translation = first.toElement().attribute("translation");
                t.entries.append(entry);
            } else if (e.tagName() == QLatin1String("Param")) {
                for (QDomElement p = e.firstChildElement(); !p.isNull(); p = p.nextSiblingElement()) {
                    Entry entry;
                    entry.kind = Entry::Param;
                    entry.translation = p.attribute("translation");
                    entry.srcText = p.attribute("SRC_Text");
                    t.entries.append(entry);
                }
            }
        }
    }
    const QDomNode lists = moduleList.nextSibling();
    for (QDomNode list = lists.firstChild(); !list.isNull(); list = list.nextSibling()) {
        ItemList itemList;
        itemList.id = list.toElement().attribute("ID").simplified();
        for (QDomElement item = list.firstChildElement(); !item.isNull(); item = item.nextSiblingElement())
            itemList.items.append(
                { item.attribute("TextId").simplified(), item.attribute("translation").simplified() });
        t.itemLists.append(itemList);
    }
    return t;
}

DescriptionTranslation DescriptionTranslation::read(const QString &path, const QString &name)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return DescriptionTranslation();
    return parse(file.readAll(), name);
}
