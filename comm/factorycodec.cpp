#include "factorycodec.h"

#include "bytecodec.h"

#include <QDomDocument>
#include <QStringList>

const char factoryHello[] = "Hello_module";
const char factoryRestore[] = "Restoreset_module";
const char factoryReset[] = "Reset_module";

namespace {

template <std::size_t N> void readBytes(ByteReader &reader, std::array<quint8, N> &out)
{
    for (quint8 &b : out)
        b = reader.u8();
}

template <std::size_t N> void writeBytes(ByteWriter &writer, const std::array<quint8, N> &in)
{
    for (quint8 b : in)
        writer.u8(b);
}

} // namespace

bool readModuleNetInfo(const QByteArray &datagram, ModuleNetInfo &info)
{
    if (datagram.size() < ModuleNetInfo::MinSize)
        return false;
    ByteReader reader(datagram.left(ModuleNetInfo::Size));
    ModuleNetInfo read;
    read.typeName = reader.text(ModuleNetInfo::TypeNameSize);
    readBytes(reader, read.ip);
    readBytes(reader, read.mask);
    readBytes(reader, read.gateway);
    readBytes(reader, read.mac);
    info = read;
    return true;
}

QByteArray writeModuleNetInfo(const ModuleNetInfo &info)
{
    ByteWriter writer(ModuleNetInfo::Size);
    writer.text(info.typeName, ModuleNetInfo::TypeNameSize);
    writeBytes(writer, info.ip);
    writeBytes(writer, info.mask);
    writeBytes(writer, info.gateway);
    writeBytes(writer, info.mac);
    writer.resize(ModuleNetInfo::Size);
    return writer.data();
}

QString macToString(const std::array<quint8, 6> &mac)
{
    QStringList parts;
    for (quint8 b : mac)
        parts << QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    return parts.join(QLatin1Char('-'));
}

QString ipToString(const std::array<quint8, 4> &ip)
{
    return QStringLiteral("%1.%2.%3.%4").arg(ip[0]).arg(ip[1]).arg(ip[2]).arg(ip[3]);
}

QString shownModuleName(const QString &typeName, const QMap<QString, QString> &names)
{
    const QString name = typeName.toUpper().replace(QLatin1Char('_'), QLatin1Char('-'));
    const QString shown = names.value(name);
    return shown.isEmpty() ? name : shown;
}

QByteArray ipSetCommand(const QString &mac, const QString &ip, const QString &mask, const QString &gateway)
{
    return QStringLiteral("IPSET#MAC:%1,IP%2,MK%3,GT%4").arg(mac, ip, mask, gateway).toLatin1();
}

bool lessByMACBytes(const ModuleNetInfo &a, const ModuleNetInfo &b)
{
    const auto key = [](const ModuleNetInfo &r) { return quint32(r.mac[3]) << 16 | quint32(r.mac[4]) << 8 | r.mac[5]; };
    return key(a) < key(b);
}

bool lessByIPBytes(const ModuleNetInfo &a, const ModuleNetInfo &b)
{
    const auto key = [](const ModuleNetInfo &r) {
        return quint32(r.ip[3]) << 24 | quint32(r.ip[2]) << 16 | quint32(r.ip[1]) << 8 | r.ip[0];
    };
    return key(a) < key(b);
}

QMap<QString, QString> readModuleNames(const QByteArray &xml)
{
    QMap<QString, QString> names;
    QDomDocument doc;
    if (!doc.setContent(xml))
        return names;
    const QDomNode list = doc.documentElement().firstChild();
    for (QDomNode node = list.firstChild(); !node.isNull(); node = node.nextSibling()) {
        const QDomElement element = node.toElement();
        if (element.isNull())
            continue;
        const QString key = element.attribute(QStringLiteral("ModuleName")).simplified();
        const QString value = element.attribute(QStringLiteral("ModuleShowName")).simplified();
        if (!value.isEmpty())
            names.insert(key, value);
    }
    return names;
}
