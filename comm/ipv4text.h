#ifndef IPV4TEXT_H
#define IPV4TEXT_H

#include <QHostAddress>
#include <QString>

// A dotted IPv4 text of exactly four decimal parts, each 0 to 255. Leading zeros count as
// decimal ("010" is 10, where QHostAddress would read octal). A null address for anything else,
// so that no text ever turns into a host name lookup.
QHostAddress ipv4FromText(const QString &text);

#endif
