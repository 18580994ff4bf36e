#ifndef MQTTPARAMMAPPING_H
#define MQTTPARAMMAPPING_H

#include <QString>

// One row of the topic editor's mapping table: a payload member that carries a parameter address.
struct MqttParamMapping
{
    QString value; // the member's value as printed JSON text, quotes included
    QString name; // the member's key
    QString address; // the address digits shown for it

    bool operator==(const MqttParamMapping &other) const
    {
        return value == other.value && name == other.name && address == other.address;
    }
};

#endif
