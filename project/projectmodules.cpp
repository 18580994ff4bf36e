#include "projectmodules.h"

#include "module.h"
#include "submodule.h"

namespace ProjectModules {

ProjectFile::ModuleRecord recordOf(module *m)
{
    return m->toRecord();
}

QString modulesXml(const QList<module *> &modules)
{
    QString text;
    for (module *m : modules)
        text += m->toXmlString();
    return text;
}

module *buildModule(const ProjectFile::ModuleRecord &record, const QMap<QString, QString> &families)
{
    if (!families.contains(record.name))
        return nullptr;
    for (const ProjectFile::SubmoduleRecord &sub : record.submodules) {
        if (!families.contains(sub.name))
            return nullptr;
    }
    auto *m = new module(record.name, families.value(record.name));
    m->setAttributes(record);
    m->setSlotNum("0");
    for (const ProjectFile::SubmoduleRecord &sub : record.submodules) {
        submodule *s = m->addSubmodule(sub.name, families.value(sub.name), sub.slot.toInt());
        s->softwareVer = sub.softwareVer;
    }
    if (record.hasParameters)
        m->setParamData(record.parameters);
    return m;
}

} // namespace ProjectModules
