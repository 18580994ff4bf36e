#include "platformlists.h"

#include <QDir>
#include <QFile>
#include <QNetworkInterface>
#include <QSerialPortInfo>
#include <QSet>
#include <optional>

#ifdef Q_OS_LINUX
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

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

#ifdef Q_OS_LINUX
// The controlling terminals of all processes, as the kernel encodes them in /proc/<pid>/stat.
QSet<quint64> controllingTerminals()
{
    QSet<quint64> result;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : pids) {
        bool number = false;
        pid.toInt(&number);
        if (!number)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        // The name in parentheses may hold blanks; the fields after it are state, ppid, pgrp,
        // session and tty_nr.
        const int nameEnd = line.lastIndexOf(')');
        if (nameEnd < 0)
            continue;
        const QList<QByteArray> fields = line.mid(nameEnd + 2).split(' ');
        if (fields.size() < 5)
            continue;
        const quint64 tty = fields.at(4).toULongLong();
        if (tty == 0)
            continue;
        const unsigned ttyMajor = (tty >> 8) & 0xfff;
        const unsigned ttyMinor = (tty & 0xff) | ((tty >> 12) & 0xfff00);
        result.insert(makedev(ttyMajor, ttyMinor));
    }
    return result;
}

// Pseudo-terminals that are no process's terminal: the serial lines of module simulators and
// serial bridges, which the system's port list never shows. Terminals of shells are left out.
QStringList freePseudoTerminals()
{
    QStringList result;
    const QDir pts(QStringLiteral("/dev/pts"));
    const QStringList names = pts.entryList(QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    QSet<quint64> terminals;
    bool terminalsRead = false;
    for (const QString &name : names) {
        bool number = false;
        name.toInt(&number);
        if (!number)
            continue;
        const QString path = pts.filePath(name);
        struct stat info;
        if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISCHR(info.st_mode))
            continue;
        if (!terminalsRead) {
            terminals = controllingTerminals();
            terminalsRead = true;
        }
        if (!terminals.contains(quint64(info.st_rdev)))
            result.append(path);
    }
    return result;
}
#endif
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
    QStringList result;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        result.append(info.portName());
#ifdef Q_OS_LINUX
    result.append(freePseudoTerminals());
#endif
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
