#include "dhcpcodec.h"

#include <QStringList>

QString dhcpHostText(const QList<DhcpHost> &hosts)
{
    QString text;
    for (const DhcpHost &host : hosts) {
        if (!host.mac.isEmpty())
            text += QStringLiteral("[%1]\n").arg(host.mac);
        if (!host.ip.isEmpty())
            text += QStringLiteral("IP=%1\n").arg(host.ip);
    }
    return text;
}

QString dhcpSettingsKey(const QString &mac)
{
    return QString(mac).replace(QLatin1Char(':'), QLatin1Char('_'));
}

QString dhcpMacFromKey(const QString &key)
{
    return QString(key).replace(QLatin1Char('_'), QLatin1Char(':'));
}

QString decodeDhcpLog(const QByteArray &bytes)
{
    const int zero = bytes.indexOf('\0');
    return QString::fromLocal8Bit(zero < 0 ? bytes : bytes.left(zero));
}

QList<int> dhcpServedHosts(const QString &logText, const QList<DhcpHost> &hosts)
{
    QList<int> served;
    const QStringList lines = logText.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (!line.contains(QStringLiteral("Host")))
            continue;
        const QString upper = line.toUpper();
        for (int i = 0; i < hosts.size(); ++i) {
            if (upper.contains(hosts[i].mac.toUpper()) && upper.contains(hosts[i].ip.toUpper()) && !served.contains(i))
                served.append(i);
        }
    }
    return served;
}
