#include "mqttblocks.h"

#include <QStringList>

QString mqttFieldsText(const QStringList &fields)
{
    QString text;
    for (const QString &field : fields)
        text += field + mqttSeparator;
    return text;
}

QString mqttBlockText(const QByteArray &block)
{
    // Plain UTF-8: a stray byte must not turn every Chinese topic of the block into Latin-1.
    const int end = block.indexOf('\0');
    return QString::fromUtf8(end < 0 ? block : block.left(end));
}

QString mqttFieldText(const QString &text)
{
    QString out = text;
    out.remove(mqttSeparator);
    out.remove(QChar(0));
    return out;
}

int mqttNumber(const QString &field)
{
    bool ok = false;
    const int value = field.toInt(&ok, 10);
    return ok ? value : 0;
}

QString mqttListText(const QList<MqttTopicConfig *> &entries)
{
    QString text;
    for (const MqttTopicConfig *entry : entries) {
        if (entry)
            text += entry->toText();
    }
    return text;
}

QList<MqttTopicConfig> mqttReadList(const QString &text)
{
    const int width = MqttTopicConfig::fieldCount;
    QStringList pieces = text.split(mqttSeparator);
    // Whole entries as the page writes them end in a separator: 6n fields and an empty last
    // piece. Only such a text can be read with its empty fields in place; in any other the
    // empty pieces are noise and dropped.
    const bool asWritten = pieces.size() % width == 1 && pieces.last().isEmpty();
    if (asWritten)
        pieces.removeLast();
    else
        pieces.removeAll(QString());
    QList<MqttTopicConfig> entries;
    for (int at = 0; at + width <= pieces.size() && entries.size() < mqttMaxListEntries; at += width) {
        MqttTopicConfig entry;
        entry.setFields(pieces.mid(at, width));
        entries.append(entry);
    }
    return entries;
}
