#include "mqttgeneralconfig.h"

#include "mqttblocks.h"

#include <QStringList>

namespace {

constexpr int generalFieldCount = 9;

QString markEmpty(const QString &text)
{
    return text.isEmpty() ? QString(mqttEmptyMark) : text;
}

QString unmarkEmpty(const QString &field)
{
    return field == QString(mqttEmptyMark) ? QString() : field;
}

} // namespace

QString MqttGeneralConfig::toText() const
{
    const QStringList fields { clientId, serverAddress, port, markEmpty(userName), markEmpty(password),
        QString::number(keepAlive), QString::number(reconnect ? 1 : 0), QString::number(reconnectPeriod),
        QString::number(enabled ? 1 : 0) };
    return mqttFieldsText(fields);
}

bool MqttGeneralConfig::fromText(const QString &text)
{
    const QStringList pieces = text.split(mqttSeparator);
    if (pieces.size() < generalFieldCount)
        return false;
    clientId = pieces.at(0);
    serverAddress = pieces.at(1);
    port = pieces.at(2);
    userName = unmarkEmpty(pieces.at(3));
    password = unmarkEmpty(pieces.at(4));
    keepAlive = mqttNumber(pieces.at(5));
    bool ok = false;
    const uint again = pieces.at(6).toUInt(&ok, 10);
    reconnect = ok && (again & 1u);
    reconnectPeriod = mqttNumber(pieces.at(7));
    enabled = mqttNumber(pieces.at(8)) != 0;
    return true;
}

bool MqttGeneralConfig::operator==(const MqttGeneralConfig &other) const
{
    return enabled == other.enabled && clientId == other.clientId && serverAddress == other.serverAddress
        && port == other.port && userName == other.userName && password == other.password
        && keepAlive == other.keepAlive && reconnect == other.reconnect && reconnectPeriod == other.reconnectPeriod;
}
