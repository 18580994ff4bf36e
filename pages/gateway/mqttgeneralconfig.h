#ifndef MQTTGENERALCONFIG_H
#define MQTTGENERALCONFIG_H

#include <QString>

// The MQTT client's general settings, moved as one text block (plug 18, sub-plug 16).
class MqttGeneralConfig
{
public:
    bool enabled = false;
    QString clientId;
    QString serverAddress; // padded form: 192.168.001.010
    QString port; // as typed; the module reads it
    QString userName;
    QString password;
    int keepAlive = 0;
    bool reconnect = false;
    int reconnectPeriod = 0;

    // Nine fields, each followed by the separator; an empty user name or password goes out as
    // U+0008, since the module takes an empty field for a missing one.
    QString toText() const;
    // Fills the record from a general text; false, leaving it unchanged, when the text holds
    // fewer than nine fields.
    bool fromText(const QString &text);

    bool operator==(const MqttGeneralConfig &other) const;
};

#endif
