#include "submodule.h"

#include "module.h"

submodule::submodule(QString name, QString family)
    : moduleFrame(name, family)
{
    kind = 1;
}

submodule::~submodule()
{
    if (parentModule)
        parentModule->submodules.removeAll(this);
}

void submodule::setSlot(QString slot)
{
    setData(0, Qt::DisplayRole, QStringLiteral("%1_%2").arg(ModuleShowName, slot));
    setSlotNum(slot);
    this->slot = slot;
}

ProjectFile::SubmoduleRecord submodule::toRecord() const
{
    return ProjectFile::SubmoduleRecord { name, slot, softwareVer };
}

QString submodule::toXmlString() const
{
    return ProjectFile::submoduleXml(toRecord());
}
