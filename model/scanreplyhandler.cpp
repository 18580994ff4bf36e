#include "scanreplyhandler.h"

#include "familymap.h"
#include "module.h"
#include "scanreply.h"
#include "sublistmap.h"
#include "submodule.h"

module *ScanReplyHandler::buildModule(const ScanReply &reply, const FamilyMap &families, const SublistMap &sublist,
    int language, modulebase::CONNEST_TYPE type, const QString &scanStart, Outcome *outcome)
{
    Outcome result = Made;
    module *made = nullptr;
    if (!reply.hasModuleType) {
        result = NoModuleType;
    } else if (!families.contains(reply.typeName)) {
        result = UnknownModuleType;
    } else {
        // Every reported sub-module type needs a family before anything is built, so an
        // ignored reply never makes (and throws away) pages.
        for (const ScanReply::Sub &sub : reply.subs) {
            const auto name = sublist.constFind(sub.typeId);
            if (name != sublist.constEnd() && !families.contains(*name)) {
                result = UnknownSubmoduleType;
                break;
            }
        }
    }
    if (result == Made) {
        made = new module(reply.typeName, families.value(reply.typeName));
        made->setAttributes(reply);
        made->setSlotNum(QStringLiteral("0"));
        made->setLanguage(language);
        made->connType = type;
        made->comstr = scanStart;
        made->buildIoPoints();
        for (const ScanReply::Sub &sub : reply.subs) {
            const auto name = sublist.constFind(sub.typeId);
            if (name == sublist.constEnd())
                continue;
            submodule *s = made->addSubmodule(*name, families.value(*name), sub.slot);
            s->typeId = sub.typeId;
            s->setLanguage(language);
            s->softwareVer = sub.softwareVer;
        }
    }
    if (outcome)
        *outcome = result;
    return made;
}

module *ScanReplyHandler::takeModuleInfo(const QByteArray &reply, const FamilyMap &families, const SublistMap &sublist,
    int language, modulebase::CONNEST_TYPE type, const QString &scanStart, Outcome *outcome)
{
    module *made = buildModule(ScanReply::parse(reply), families, sublist, language, type, scanStart, outcome);
    m_last = made;
    return made;
}

bool ScanReplyHandler::takeParamReply(const QByteArray &reply)
{
    module *target = m_last.data();
    m_last = nullptr;
    if (!target)
        return false;
    const QByteArray payload = paramPayload(reply);
    // Nothing to hand over would set every parameter of the module and its sub-modules to 0.
    if (payload.isEmpty())
        return false;
    target->setParamData(payload);
    return true;
}

void ScanReplyHandler::reset()
{
    m_last = nullptr;
}

module *ScanReplyHandler::lastModule() const
{
    return m_last.data();
}

QByteArray ScanReplyHandler::paramPayload(const QByteArray &reply)
{
    if (reply.size() <= 4)
        return QByteArray();
    // A reply too short for its trailer still carries the bytes after the header.
    if (reply.size() < 8)
        return reply.mid(4);
    return reply.mid(4, reply.size() - 8);
}
