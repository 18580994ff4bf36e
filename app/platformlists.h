#ifndef PLATFORMLISTS_H
#define PLATFORMLISTS_H

#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>

// One IPv4 address of a local network interface.
struct LocalAddress
{
    QHostAddress ip;
    QHostAddress broadcast;   // null when the interface has none
    QString interfaceName;
    bool ethernet = false;    // an Ethernet-type interface (not wireless, not loopback)
};

// What the machine offers: local addresses and serial ports. Tests replace both lists.
class PlatformLists
{
public:
    static QList<LocalAddress> localAddresses();
    // The IPv4 addresses of localAddresses(), in order.
    static QList<QHostAddress> localIPv4();
    // Names of the system's serial ports; a name may also be a device path.
    static QStringList serialPorts();

    static void setLocalAddresses(const QList<LocalAddress> &addresses);
    static void setSerialPorts(const QStringList &ports);
    // Back to the machine's own lists.
    static void reset();
};

#endif
