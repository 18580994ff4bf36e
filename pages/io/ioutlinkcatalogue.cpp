#include "ioutlinkcatalogue.h"

#include "apppaths.h"
#include "moduleslot.h"

#include <QDomDocument>
#include <QDomElement>
#include <QFile>

namespace IoutlinkCatalogueReader {

namespace {

    int decimalOrZero(const QString &text)
    {
        bool ok = false;
        const int n = text.toInt(&ok, 10);
        return ok ? n : 0;
    }

    bool parseFile(const QString &path, QDomDocument &doc)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        return doc.setContent(&file);
    }

} // namespace

QString deviceslistPath(const QString &family, const QString &type)
{
    return QStringLiteral("/ModuleParameter/%1/%2_Deviceslist.xml").arg(family, type);
}

bool readModuleDescription(moduleslot *entry)
{
    if (!entry)
        return false;
    QDomDocument doc;
    if (!parseFile(AppPaths::find(QStringLiteral("/ModuleParameter/%1/ModuleParameter.xml").arg(entry->Family)), doc))
        return false;
    QDomElement found;
    for (QDomNode n = doc.documentElement().firstChild().firstChild(); !n.isNull(); n = n.nextSibling()) {
        const QDomElement e = n.toElement();
        const QString name = e.attribute(QStringLiteral("ModuleName")).simplified();
        if (!name.isEmpty() && name == entry->name) {
            found = e;
            break;
        }
    }
    if (found.isNull())
        return false;

    entry->Text = found.attribute(QStringLiteral("Text")).simplified();
    entry->Pixmap = AppPaths::find(QStringLiteral("/ModuleParameter/%1/%2")
                                       .arg(entry->Family, found.attribute(QStringLiteral("Pixmap")).simplified()));
    const struct
    {
        const char *attribute;
        int *field;
    } limits[] = { { "Maxslotnum", &entry->Maxslotnum }, { "Maxinputsize", &entry->Maxinputsize },
        { "Maxoutputsize", &entry->Maxoutputsize }, { "Scantime", &entry->Scantime } };
    for (const auto &limit : limits) {
        const QString attribute = QLatin1String(limit.attribute);
        if (found.hasAttribute(attribute))
            *limit.field = decimalOrZero(found.attribute(attribute).simplified());
    }
    for (QDomNode n = found.firstChild(); !n.isNull(); n = n.nextSibling()) {
        const QDomElement data = n.toElement();
        if (data.tagName() != QLatin1String("Data"))
            continue;
        if (data.hasAttribute(QStringLiteral("Inputsize")))
            entry->Inputsize = decimalOrZero(data.attribute(QStringLiteral("Inputsize")).simplified());
        if (data.hasAttribute(QStringLiteral("Outputsize")))
            entry->Outputsize = decimalOrZero(data.attribute(QStringLiteral("Outputsize")).simplified());
        break;
    }
    return true;
}

void deleteType(moduleslot *entry)
{
    if (!entry)
        return;
    qDeleteAll(entry->children);
    entry->children.clear();
    delete entry;
}

bool readDeviceslist(const QString &path, IoutlinkCatalogue &catalogue, QObject *owner)
{
    QDomDocument doc;
    if (!parseFile(path, doc))
        return false;
    for (QDomNode n = doc.documentElement().firstChild(); !n.isNull(); n = n.nextSibling()) {
        const QDomElement node = n.toElement();
        const QString name = node.attribute(QStringLiteral("Name")).simplified();
        if (name.isEmpty())
            continue;
        auto *type = new moduleslot(name);
        type->Family = node.attribute(QStringLiteral("Family")).simplified();
        if (!readModuleDescription(type)) {
            delete type;
            continue;
        }
        type->setParent(owner);
        deleteType(catalogue.value(name));
        catalogue.insert(name, type);
        for (QDomNode c = n.firstChild(); !c.isNull(); c = c.nextSibling()) {
            const QDomElement subNode = c.toElement();
            const QString subName = subNode.attribute(QStringLiteral("SubName")).simplified();
            if (subName.isEmpty())
                continue;
            auto *sub = new moduleslot(subName);
            sub->Family = subNode.attribute(QStringLiteral("Family")).simplified();
            sub->parent = type;
            if (!readModuleDescription(sub)) {
                delete sub;
                continue;
            }
            sub->setParent(owner);
            type->children.append(sub);
        }
    }
    return true;
}

} // namespace IoutlinkCatalogueReader
