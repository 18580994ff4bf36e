#ifndef MODULEATTRIBUTES_H
#define MODULEATTRIBUTES_H

#include <QString>

// What a coupler reports about itself in a scan and what a project file keeps of it.
struct ModuleAttributes
{
    QString mac;
    QString ip;
    QString mask;
    QString gateway;
    QString inlen;
    QString outlen;
    QString Paralen;
    QString softwareVer;
    QString backbusVer;
    int subnum = 0;
};

#endif
