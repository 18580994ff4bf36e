#include "submodule.h"

#include "module.h"

namespace {
QString escapeAttribute(const QString &text)
{
    return text.toHtmlEscaped();
}
} // namespace

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

QString submodule::toXmlString() const
{
    return QStringLiteral("              <submodule name=\"%1\" slot=\"%2\" softwareVer=\"%3\"/>\n")
        .arg(escapeAttribute(name), escapeAttribute(slot), escapeAttribute(softwareVer));
}
