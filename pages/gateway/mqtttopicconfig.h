#ifndef MQTTTOPICCONFIG_H
#define MQTTTOPICCONFIG_H

#include "mqttparammapping.h"

#include <QList>
#include <QString>
#include <QStringList>

// One topic entry: the last will, a publish entry or a subscribe entry.
class MqttTopicConfig
{
public:
    // Fields of one entry text.
    static constexpr int fieldCount = 6;

    int format = 0; // index of the encoding choice; 0 is JSON
    QString topic;
    int qos = 0;
    bool retain = false;
    int sendTime = 0;
    // What the editor last showed; kept in memory only, never sent.
    QList<MqttParamMapping> mappings;
    QString payload;

    // Topic, format, QoS, retain, send time and payload, each followed by the separator.
    QString toText() const;
    // Fills the record from a last-will text; false, leaving it unchanged, when the text holds
    // fewer than the six fields and the separator after them.
    bool fromText(const QString &text);
    // Fills topic ... payload from six fields in entry-text order.
    void setFields(const QStringList &fields);

    bool operator==(const MqttTopicConfig &other) const;
};

#endif
