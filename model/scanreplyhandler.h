#ifndef SCANREPLYHANDLER_H
#define SCANREPLYHANDLER_H

#include "modulebase.h"

#include <QByteArray>
#include <QPointer>
#include <QString>

class FamilyMap;
class ScanReply;
class SublistMap;
class module;

// Turns the replies of a scan into modules: each module-information reply into a module with
// its sub-modules and first process-image points, and the parameter reply after it into that
// module's parameter bytes. The caller lists and shows the modules it is given.
class ScanReplyHandler
{
public:
    enum Outcome {
        Made, // a module was made
        NoModuleType, // field 0 lacks "moduletype"
        UnknownModuleType, // the module type has no family
        UnknownSubmoduleType, // a reported sub-module type has no family
    };

    // The module that reply describes, or null (outcome tells why).
    static module *buildModule(const ScanReply &reply, const FamilyMap &families, const SublistMap &sublist,
        int language, modulebase::CONNEST_TYPE type, const QString &scanStart, Outcome *outcome = nullptr);

    // buildModule for the raw bytes of an information reply. The result (also null) decides
    // where the next parameter reply goes.
    module *takeModuleInfo(const QByteArray &reply, const FamilyMap &families, const SublistMap &sublist, int language,
        modulebase::CONNEST_TYPE type, const QString &scanStart, Outcome *outcome = nullptr);
    // Hands a parameter reply, less its first 4 and last 4 bytes, to the module of the
    // information reply just before it. False when it is dropped: that reply made no module,
    // the module is gone, it already had its parameters, or the reply carries no parameter bytes
    // (the module keeps its values).
    bool takeParamReply(const QByteArray &reply);
    // Forgets the last module (a new scan, or the module list was emptied).
    void reset();
    module *lastModule() const;

    // The parameter bytes inside a parameter reply: without its first 4 and last 4 bytes; a reply
    // shorter than 8 bytes gives what follows its first 4.
    static QByteArray paramPayload(const QByteArray &reply);

private:
    QPointer<module> m_last;
};

#endif
