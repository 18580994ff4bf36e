#include "familymap.h"

#include "apppaths.h"

#include <QDomDocument>
#include <QDomElement>
#include <QFile>

FamilyMap FamilyMap::parse(const QByteArray &xml, bool *ok)
{
    FamilyMap map;
    QDomDocument doc;
    const bool parsed = doc.setContent(xml);
    if (ok)
        *ok = parsed;
    if (!parsed)
        return map;
    const QDomElement root = doc.documentElement();
    for (QDomNode group = root.firstChild(); !group.isNull(); group = group.nextSibling()) {
        const QString family = group.toElement().attribute("Family").simplified();
        if (family.isEmpty())
            continue;
        for (QDomNode entry = group.firstChild(); !entry.isNull(); entry = entry.nextSibling()) {
            const QString type = entry.toElement().text().simplified();
            if (!type.isEmpty())
                map.insert(type, family);
        }
    }
    return map;
}

bool FamilyMap::read()
{
    return readFile(AppPaths::find(QStringLiteral("/ModuleParameter/Devicestype.xml")));
}

bool FamilyMap::readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bool ok = false;
    const FamilyMap map = parse(file.readAll(), &ok);
    if (!ok)
        return false;
    *this = map;
    return true;
}
