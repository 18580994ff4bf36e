#ifndef MQTTBLOCKS_H
#define MQTTBLOCKS_H

#include "mqtttopicconfig.h"

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

// The MQTT client's settings travel as four text blocks of one plug.
constexpr int MQTT_PLUG = 18;
constexpr int MQTT_SUB_GENERAL = 16;
constexpr int MQTT_SUB_WILL = 17;
constexpr int MQTT_SUB_PUBLISH = 18;
constexpr int MQTT_SUB_SUBSCRIBE = 19;

// Ends every field of a block text.
constexpr QChar mqttSeparator(0x1F);
// Stands for an empty user name or password in the general text.
constexpr QChar mqttEmptyMark(0x08);
// Entries a list block read back gives at most.
constexpr int mqttMaxListEntries = 5;

// fields as a block writes them: each followed by the separator.
QString mqttFieldsText(const QStringList &fields);
// The text of a block read back: UTF-8 up to the first zero byte.
QString mqttBlockText(const QByteArray &block);
// text without separators and zero characters, so a typed field cannot split a block.
QString mqttFieldText(const QString &text);
// A decimal field; anything else reads as 0.
int mqttNumber(const QString &field);

// The entry texts of entries, one after the other.
QString mqttListText(const QList<MqttTopicConfig *> &entries);
// The entries of a publish or subscribe list text, at most mqttMaxListEntries. A text holding
// exactly whole entries as written (six fields each) keeps its empty fields; any other text is
// read without its empty fields, six at a time, and a final part entry is dropped.
QList<MqttTopicConfig> mqttReadList(const QString &text);

#endif
