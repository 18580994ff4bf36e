#include "modbusmonitorcodec.h"

#include <QRegularExpression>
#include <QStringList>

QList<QByteArray> cutMonitorMessages(QByteArray &buffer)
{
    QList<QByteArray> messages;
    int start = 0;
    for (int end = buffer.indexOf('#'); end >= 0; end = buffer.indexOf('#', start)) {
        messages.append(buffer.mid(start, end - start));
        start = end + 1;
    }
    buffer.remove(0, start);
    return messages;
}

QString monitorMessageText(const QByteArray &message)
{
    const int zero = message.indexOf('\0');
    return QString::fromUtf8(zero < 0 ? message : message.left(zero));
}

QColor monitorMessageColor(const QByteArray &message, bool *keyword)
{
    static const struct
    {
        const char *word;
        QColor color;
    } kinds[] = {
        { "Rx", QColor(60, 179, 113) },
        { "Tx", QColor(0, 128, 128) },
        { "Err", QColor(Qt::red) },
        { "Disable", QColor(Qt::gray) },
    };
    for (const auto &kind : kinds) {
        if (message.contains(kind.word)) {
            if (keyword)
                *keyword = true;
            return kind.color;
        }
    }
    if (keyword)
        *keyword = false;
    return QColor(Qt::black);
}

bool monitorSlotNumber(const QString &text, uint *slot)
{
    static const QRegularExpression slotMark(QStringLiteral("=\\d{1,3}"));
    const QRegularExpressionMatch match = slotMark.match(text);
    if (!match.hasMatch())
        return false;
    const int from = match.capturedStart() + 1;
    const int comma = text.indexOf(QLatin1Char(','), from);
    const QString field = text.mid(from, comma < 0 ? -1 : comma - from).section(QLatin1Char('='), 0, 0);
    bool ok = false;
    const uint number = field.toUInt(&ok, 10);
    *slot = ok ? number : 0;
    return true;
}

bool monitorFilterHides(const QString &filter, const QString &text)
{
    uint slot = 0;
    if (filter.isEmpty() || !monitorSlotNumber(text, &slot))
        return false;
    // An unfinished entry (an empty one after a trailing comma) counts as slot 0.
    for (const QString &entry : filter.split(QLatin1Char(','))) {
        bool ok = false;
        const uint hidden = entry.toUInt(&ok, 10);
        if ((ok ? hidden : 0u) == slot)
            return true;
    }
    return false;
}
