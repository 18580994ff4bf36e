#include "gsdml.h"

#include <QBuffer>
#include <QDomDocument>
#include <QIODevice>

namespace Gsdml {

IndexEntry lookupIndex(QIODevice &device, const QString &typeName)
{
    IndexEntry entry;
    while (!device.atEnd()) {
        QByteArray raw = device.readLine();
        // Index files are often written on Windows.
        if (raw.endsWith('\n'))
            raw.chop(1);
        if (raw.endsWith('\r'))
            raw.chop(1);
        const QStringList fields = QString::fromUtf8(raw).split(':');
        if (fields.size() < 3 || fields.at(0) != typeName)
            continue;
        if (fields.at(1).contains(QLatin1String("GSDML"))) {
            entry.found = true;
            entry.file = fields.at(1).toUpper();
            entry.dapId = fields.at(2);
        }
        return entry;
    }
    return entry;
}

IndexEntry lookupIndex(const QByteArray &data, const QString &typeName)
{
    QByteArray copy = data;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return lookupIndex(buffer, typeName);
}

bool parseIdent(const QString &text, int *value)
{
    bool ok = false;
    const int v = text.toInt(&ok, 16);
    if (!ok || v < 0)
        return false;
    *value = v;
    return true;
}

namespace {

    QList<Item> readItems(const QDomElement &list, const QString &identAttribute)
    {
        QList<Item> items;
        for (QDomElement e = list.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
            Item item;
            item.identValid = parseIdent(e.attribute(identAttribute), &item.ident);
            item.id = e.attribute(QStringLiteral("ID"));
            item.textId = e.firstChildElement(QStringLiteral("ModuleInfo"))
                              .firstChildElement(QStringLiteral("Name"))
                              .attribute(QStringLiteral("TextId"));
            items.append(item);
        }
        return items;
    }

    ApplicationProcess readProcess(const QDomElement &process)
    {
        ApplicationProcess ap;
        // The access point list is whatever comes first, whatever its tag.
        const QDomNode dapList = process.firstChild();
        for (QDomNode n = dapList.firstChild(); !n.isNull(); n = n.nextSibling()) {
            const QDomElement e = n.toElement();
            if (e.isNull() || e.tagName() != QLatin1String("DeviceAccessPointItem"))
                continue;
            ap.accessPoints.append(
                { e.attribute(QStringLiteral("ID")), e.attribute(QStringLiteral("DNS_CompatibleName")) });
        }
        const QDomElement modules = process.firstChildElement(QStringLiteral("ModuleList"));
        ap.hasModuleList = !modules.isNull();
        ap.modules = readItems(modules, QStringLiteral("ModuleIdentNumber"));
        ap.submodules = readItems(
            process.firstChildElement(QStringLiteral("SubmoduleList")), QStringLiteral("SubmoduleIdentNumber"));
        const QDomNode primary = process.firstChildElement(QStringLiteral("ExternalTextList")).firstChild();
        for (QDomElement t = primary.firstChildElement(); !t.isNull(); t = t.nextSiblingElement())
            ap.texts.append({ t.attribute(QStringLiteral("TextId")), t.attribute(QStringLiteral("Value")) });
        return ap;
    }

} // namespace

Document read(const QByteArray &data)
{
    Document document;
    QDomDocument dom;
    QString message;
    int line = 0;
    int column = 0;
    if (!dom.setContent(data, false, &message, &line, &column)) {
        document.error = QStringLiteral("%1 (%2:%3)").arg(message).arg(line).arg(column);
        return document;
    }
    document.ok = true;
    const QDomElement root = dom.documentElement();
    for (QDomElement body = root.firstChildElement(QStringLiteral("ProfileBody")); !body.isNull();
         body = body.nextSiblingElement(QStringLiteral("ProfileBody"))) {
        for (QDomElement process = body.firstChildElement(QStringLiteral("ApplicationProcess")); !process.isNull();
             process = process.nextSiblingElement(QStringLiteral("ApplicationProcess")))
            document.processes.append(readProcess(process));
    }
    return document;
}

Document read(QIODevice &device)
{
    return read(device.readAll());
}

const Item *findItem(const QList<Item> &items, int typeId)
{
    if (typeId < 0)
        return nullptr;
    for (const Item &item : items) {
        if (item.identValid && item.ident == typeId)
            return &item;
    }
    return nullptr;
}

const Text *findText(const QList<Text> &texts, const QString &textId)
{
    if (textId.isEmpty())
        return nullptr;
    for (const Text &text : texts) {
        if (text.textId == textId)
            return &text;
    }
    return nullptr;
}

} // namespace Gsdml
