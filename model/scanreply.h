#ifndef SCANREPLY_H
#define SCANREPLY_H

#include <QByteArray>
#include <QList>
#include <QString>

#include "moduleattributes.h"

// A module-information reply ("R") split into its fields. Missing fields read as empty and
// sub-module pairs that the reply does not carry are not listed.
class ScanReply : public ModuleAttributes
{
public:
    struct Sub
    {
        int slot = 0; // 1-based
        int typeId = 0;
        QString softwareVer;
    };

    static ScanReply parse(const QByteArray &reply);

    bool hasModuleType = false; // field 0 holds "moduletype"
    QString typeName;
    // ip, mask and gateway have their ":" already made "."
    QList<Sub> subs;
};

#endif
