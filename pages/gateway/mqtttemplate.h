#ifndef MQTTTEMPLATE_H
#define MQTTTEMPLATE_H

#include "mqttparammapping.h"

#include <QList>
#include <QString>

// JSON payload templates of MQTT topics: an object whose string members may carry a parameter
// address as "%" and decimal digits. Parsed and printed with cJSON; a text is JSON only when it is
// one value with nothing after it but white space.

// Longest template the module takes, in characters.
constexpr int mqttTemplateLimit = 500;

// The members that carry an address, depth first in member order, one per distinct key (its
// first occurrence); arrays are not searched. False in *parsed (rows empty) when text is no JSON.
QList<MqttParamMapping> mqttTemplateMappings(const QString &text, bool *parsed = nullptr);

// text with the first string member called key at each nesting level set to "%" + address,
// printed by cJSON. A null string when text is no JSON.
QString mqttTemplateWithAddress(const QString &text, const QString &key, const QString &address);

// text printed by cJSON; a null string when it is no JSON.
QString mqttPrintTemplate(const QString &text);

// text cut to limit characters by taking out the run that stands just before *cursor (from the
// start when the cursor stands closer to it than the run is long); *cursor moves to where the run
// began. text unchanged when it is not too long.
QString mqttCutTemplate(const QString &text, int limit, int *cursor);

#endif
