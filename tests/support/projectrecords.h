#ifndef PROJECTRECORDS_H
#define PROJECTRECORDS_H

#include "projectfile.h"

// A coupler record as a project file would hold it, without parameter bytes, for tests that
// build modules from records.
inline ProjectFile::ModuleRecord record(const QString &name, const QString &ip,
                                        const QList<ProjectFile::SubmoduleRecord> &subs)
{
    ProjectFile::ModuleRecord r;
    r.name = name;
    r.mac = "00:11:22:33:44:55";
    r.ip = ip;
    r.mask = "255.255.255.0";
    r.gateway = "192.168.0.1";
    r.inlen = "2";
    r.outlen = "1";
    r.Paralen = "9";
    r.softwareVer = "V1.0";
    r.backbusVer = "V2.0";
    r.subnum = subs.size();
    r.submodules = subs;
    r.hasParameters = false;
    return r;
}

#endif
