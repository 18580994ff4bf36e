#include "mqtttopicconfig.h"

#include "mqttblocks.h"

QString MqttTopicConfig::toText() const
{
    const QStringList fields { topic, QString::number(format), QString::number(qos), QString::number(retain ? 1 : 0),
        QString::number(sendTime), payload };
    return mqttFieldsText(fields);
}

bool MqttTopicConfig::fromText(const QString &text)
{
    const QStringList pieces = text.split(mqttSeparator);
    if (pieces.size() < fieldCount + 1)
        return false;
    setFields(pieces.mid(0, fieldCount));
    return true;
}

void MqttTopicConfig::setFields(const QStringList &fields)
{
    topic = fields.value(0);
    format = mqttNumber(fields.value(1));
    qos = mqttNumber(fields.value(2));
    retain = mqttNumber(fields.value(3)) != 0;
    sendTime = mqttNumber(fields.value(4));
    payload = fields.value(5);
}

bool MqttTopicConfig::operator==(const MqttTopicConfig &other) const
{
    return format == other.format && topic == other.topic && qos == other.qos && retain == other.retain
        && sendTime == other.sendTime && mappings == other.mappings && payload == other.payload;
}
