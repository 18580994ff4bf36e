#include "iolinkhexpairs.h"

#include <QRegularExpression>
#include <QStringList>

bool isHexPairText(const QString &text)
{
    static const QRegularExpression pairs(QStringLiteral("\\A(?:([0-9A-Fa-f]{2} )*[0-9A-Fa-f]{2})\\z"));
    return pairs.match(text.trimmed()).hasMatch();
}

QByteArray hexPairBytes(const QString &text)
{
    QByteArray bytes;
    const QStringList parts = text.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    bytes.reserve(parts.size());
    for (const QString &part : parts)
        bytes.append(char(part.toUInt(nullptr, 16) & 0xFF));
    return bytes;
}

int hexPairCount(const QString &text)
{
    return text.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts).size();
}

QString hexPairText(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}
