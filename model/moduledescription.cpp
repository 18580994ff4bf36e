#include "moduledescription.h"

#include <QDomDocument>
#include <QDomElement>
#include <QFile>

int ModuleDescription::toDecimal(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? value : 0;
}

namespace {

moduleData readDataItem(const QDomElement &e)
{
    moduleData item;
    const QString type = e.attribute("DataType");
    item.DataType = type == QLatin1String("BOOL") ? 0 : type.contains("INT") ? 1 : 0;
    const QString dir = e.attribute("DIR");
    item.DIR = dir.contains("Input") ? 0 : dir.contains("Output") ? 1 : 0;
    item.Dataname = e.attribute("Dataname");
    item.BitLen = ModuleDescription::toDecimal(e.attribute("BitLen"));
    return item;
}

QList<QPair<QString, int>> readValueItems(const QDomNode &lists, const QString &target)
{
    QList<QPair<QString, int>> items;
    for (QDomNode list = lists.firstChild(); !list.isNull(); list = list.nextSibling()) {
        if (list.toElement().attribute("ID").simplified() != target)
            continue;
        for (QDomElement item = list.firstChildElement(); !item.isNull(); item = item.nextSiblingElement())
            items.append(
                { item.attribute("TextId").simplified(), ModuleDescription::toDecimal(item.attribute("Content")) });
    }
    return items;
}

ModuleDescription::Param readParam(const QDomElement &e, const QDomNode &lists)
{
    ModuleDescription::Param p;
    p.ParameterName = e.attribute("ParameterName");
    p.DataType = e.attribute("DataType");
    const QStringList range = e.attribute("AllowedValues").split("..");
    if (range.size() >= 2) {
        p.min = ModuleDescription::toDecimal(range.at(0));
        p.max = ModuleDescription::toDecimal(range.at(1));
    }
    p.DefaultValue = ModuleDescription::toDecimal(e.attribute("DefaultValue"));
    const QString target = e.attribute("ValueItemTarget");
    if (!target.isEmpty()) {
        p.ValueItemTarget = target;
        p.valueItems = readValueItems(lists, target);
    }
    return p;
}

void readModule(ModuleDescription &d, const QDomElement &module, const QDomNode &lists)
{
    d.hasPixmap = module.hasAttribute("Pixmap");
    d.pixmapFile = module.attribute("Pixmap").simplified();
    d.text = module.attribute("Text").simplified();
    d.showName = module.attribute("ModuleShowName").simplified();
    if (module.hasAttribute("Maxslotnum"))
        d.maxSlotNum = ModuleDescription::toDecimal(module.attribute("Maxslotnum").simplified());
    if (module.hasAttribute("Maxinputsize"))
        d.maxInputSize = ModuleDescription::toDecimal(module.attribute("Maxinputsize").simplified());
    if (module.hasAttribute("Maxoutputsize"))
        d.maxOutputSize = ModuleDescription::toDecimal(module.attribute("Maxoutputsize").simplified());

    for (QDomNode child = module.firstChild(); !child.isNull(); child = child.nextSibling()) {
        const QDomElement e = child.toElement();
        if (e.isNull())
            continue;
        if (e.tagName() == QLatin1String("Data")) {
            for (QDomElement item = e.firstChildElement(); !item.isNull(); item = item.nextSiblingElement())
                d.dataItems.append(readDataItem(item));
        } else if (e.tagName() == QLatin1String("Param")) {
            // A negative byte count would shift every later sub-module's share backwards.
            d.paramLen = qMax(0, ModuleDescription::toDecimal(e.attribute("Len").simplified()));
            for (QDomElement item = e.firstChildElement(); !item.isNull(); item = item.nextSiblingElement())
                d.params.append(readParam(item, lists));
        } else if (e.tagName() == QLatin1String("menu")) {
            for (QDomElement item = e.firstChildElement(); !item.isNull(); item = item.nextSiblingElement())
                d.menuKeys.append(item.attribute("menuname"));
        }
    }
}

} // namespace

ModuleDescription ModuleDescription::parse(const QByteArray &xml, const QString &name)
{
    ModuleDescription d;
    QDomDocument doc;
    if (!doc.setContent(xml)) {
        d.status = NotWellFormed;
        return d;
    }
    const QDomElement root = doc.documentElement();
    const QDomNode moduleList = root.firstChild();
    const QDomNode lists = moduleList.nextSibling();
    d.status = TypeNotFound;
    for (QDomNode node = moduleList.firstChild(); !node.isNull(); node = node.nextSibling()) {
        const QDomElement e = node.toElement();
        if (e.isNull() || e.attribute("ModuleName").simplified() != name)
            continue;
        readModule(d, e, lists);
        d.status = Ok;
        break;
    }
    return d;
}

ModuleDescription ModuleDescription::read(const QString &path, const QString &name)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ModuleDescription();
    return parse(file.readAll(), name);
}
