#include "tohexstring.h"

#include <QStringList>

QString toHexString(quint8 value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

QString toHexString(quint16 value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

QString toHexPairs(const QByteArray &bytes)
{
    QStringList pairs;
    pairs.reserve(bytes.size());
    for (char c : bytes)
        pairs.append(toHexString(quint8(c)));
    return pairs.join(QLatin1Char(' '));
}
