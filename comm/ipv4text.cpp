#include "ipv4text.h"

#include <QStringList>

QHostAddress ipv4FromText(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return QHostAddress();
    quint32 value = 0;
    for (const QString &part : parts) {
        if (part.isEmpty())
            return QHostAddress();
        uint octet = 0;
        for (const QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return QHostAddress();
            octet = octet * 10 + uint(c.unicode() - '0');
            if (octet > 255)
                return QHostAddress();
        }
        value = (value << 8) | octet;
    }
    return QHostAddress(value);
}
