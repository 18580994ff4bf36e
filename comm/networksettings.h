#ifndef NETWORKSETTINGS_H
#define NETWORKSETTINGS_H

#include <QByteArray>
#include <QString>

// The 12 bytes that follow the network settings command: new address, default gateway and
// subnet mask, each first octet first. Empty when one of the three texts is not a full dotted
// IPv4 address, so that a module never gets a short or shifted block.
QByteArray networkSettingsBlock(const QString &ip, const QString &gateway, const QString &mask);

#endif
