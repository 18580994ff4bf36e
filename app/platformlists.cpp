#include "platformlists.h"

#include <QNetworkInterface>
#include <QSerialPortInfo>
#include <optional>

namespace {
std::optional<QList<LocalAddress>> &addressOverride()
{
    static std::optional<QList<LocalAddress>> list;
    return list;
}
std::optional<QStringList> &portOverride()
{
    static std::optional<QStringList> list;
    return list;
}

}

QList<LocalAddress> PlatformLists::localAddresses()
{
    if (addressOverride())
        return *addressOverride();
    QList<LocalAddress> result;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &iface : interfaces) {
        const bool ethernet = iface.type() == QNetworkInterface::Ethernet;
        for (const QNetworkAddressEntry &entry : iface.addressEntries()) {
            if (entry.ip().protocol() != QAbstractSocket::IPv4Protocol)
                continue;
            LocalAddress a;
            a.ip = entry.ip();
            a.broadcast = entry.broadcast();
            a.interfaceName = iface.humanReadableName();
            a.ethernet = ethernet;
            result.append(a);
        }
    }
    return result;
}

QList<QHostAddress> PlatformLists::localIPv4()
{
    QList<QHostAddress> result;
    for (const LocalAddress &a : localAddresses())
        result.append(a.ip);
    return result;
}

QStringList PlatformLists::serialPorts()
{
    if (portOverride())
        return *portOverride();
    // Only the system's serial ports: other devices (pseudo-terminals of terminals, bridges or
    // virtual machines) are not ours to touch unless the user types their path.
    QStringList result;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        result.append(info.portName());
    return result;
}

void PlatformLists::setLocalAddresses(const QList<LocalAddress> &addresses)
{
    addressOverride() = addresses;
}

void PlatformLists::setSerialPorts(const QStringList &ports)
{
    portOverride() = ports;
}

void PlatformLists::reset()
{
    addressOverride().reset();
    portOverride().reset();
}
