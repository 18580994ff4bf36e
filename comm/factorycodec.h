#ifndef FACTORYCODEC_H
#define FACTORYCODEC_H

#include <QByteArray>
#include <QMap>
#include <QString>
#include <array>

// What a module tells the factory tool about itself: one reply datagram.
struct ModuleNetInfo
{
    static constexpr int Size = 80;
    // The bytes up to the end of the MAC; a shorter datagram is no record.
    static constexpr int MinSize = 78;
    static constexpr int TypeNameSize = 60;

    QString typeName;
    std::array<quint8, 4> ip {};
    std::array<quint8, 4> mask {};
    std::array<quint8, 4> gateway {};
    std::array<quint8, 6> mac {};
};

// Orders of the factory tool, sent as they are.
extern const char factoryHello[]; // "Hello_module"
extern const char factoryRestore[]; // "Restoreset_module"
extern const char factoryReset[]; // "Reset_module"

// Reads a reply datagram; further bytes past the record are ignored. False (info untouched)
// when the datagram stops before the end of the MAC.
bool readModuleNetInfo(const QByteArray &datagram, ModuleNetInfo &info);
// The 80 bytes of a record (the last two zero).
QByteArray writeModuleNetInfo(const ModuleNetInfo &info);

// "00-1A-2B-3C-4D-5E".
QString macToString(const std::array<quint8, 6> &mac);
// "192.168.1.10".
QString ipToString(const std::array<quint8, 4> &ip);
// The type name upper-cased with "_" as "-", or its display name when names holds one.
QString shownModuleName(const QString &typeName, const QMap<QString, QString> &names);

// "IPSET#MAC:<mac>,IP<ip>,MK<mask>,GT<gateway>" in Latin-1.
QByteArray ipSetCommand(const QString &mac, const QString &ip, const QString &mask, const QString &gateway);

// Table orders: MAC bytes 3 to 5 as one number; the address bytes read little-endian.
bool lessByMACBytes(const ModuleNetInfo &a, const ModuleNetInfo &b);
bool lessByIPBytes(const ModuleNetInfo &a, const ModuleNetInfo &b);

// Type name to display name from a family's description file (ModuleName to ModuleShowName,
// white space simplified; empty display names are left out, later entries win).
QMap<QString, QString> readModuleNames(const QByteArray &xml);

#endif
