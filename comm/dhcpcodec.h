#ifndef DHCPCODEC_H
#define DHCPCODEC_H

#include <QByteArray>
#include <QList>
#include <QString>

// One fixed address the DHCP server hands out: MAC text in the colon form and the dotted IP.
struct DhcpHost
{
    QString mac;
    QString ip;
};

// The server's host sections: "[<mac>]\n" and "IP=<ip>\n" per host, each line only when its
// text is not empty.
QString dhcpHostText(const QList<DhcpHost> &hosts);

// Settings keys cannot hold ":": the MAC is stored with "_" instead, and read back.
QString dhcpSettingsKey(const QString &mac);
QString dhcpMacFromKey(const QString &key);

// Log bytes as the server writes them: local 8-bit text, ending at the first zero byte.
QString decodeDhcpLog(const QByteArray &bytes);

// Indexes of the hosts that a line of the log reports served: a line holding "Host", the MAC
// and the IP (MAC and IP compared without regard to case).
QList<int> dhcpServedHosts(const QString &logText, const QList<DhcpHost> &hosts);

#endif
