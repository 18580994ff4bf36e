#include "mqtttemplate.h"

#include <QRegularExpression>
#include <cjson/cJSON.h>
#include <cstdlib>
#include <memory>

namespace {

struct JsonDelete
{
    void operator()(cJSON *json) const { cJSON_Delete(json); }
};
using Json = std::unique_ptr<cJSON, JsonDelete>;

// One JSON value and nothing after it but white space: cJSON alone stops after the first value,
// so "{...} ,{...}" or "{...}x" would pass as the first object.
Json parse(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    const char *end = nullptr;
    Json json(cJSON_ParseWithLengthOpts(utf8.constData(), size_t(utf8.size()), &end, false));
    if (!json || !end)
        return nullptr;
    for (const char *rest = end; rest < utf8.constData() + utf8.size(); ++rest) {
        if (*rest != ' ' && *rest != '\t' && *rest != '\n' && *rest != '\r')
            return nullptr;
    }
    return json;
}

QString print(const cJSON *json)
{
    char *printed = cJSON_Print(json);
    if (!printed)
        return QString();
    const QString text = QString::fromUtf8(printed);
    std::free(printed);
    return text;
}

QString keyOf(const cJSON *item)
{
    return item->string ? QString::fromUtf8(item->string) : QString();
}

bool hasAddress(const QString &printed)
{
    static const QRegularExpression address(QStringLiteral("\\%\\d{1,5}"));
    return address.match(printed).hasMatch();
}

void collect(const cJSON *object, QList<MqttParamMapping> *rows)
{
    for (const cJSON *child = object->child; child; child = child->next) {
        if (cJSON_IsObject(child)) {
            collect(child, rows);
            continue;
        }
        if (!cJSON_IsString(child))
            continue;
        const QString printed = print(child);
        if (!hasAddress(printed))
            continue;
        const QString key = keyOf(child);
        bool listed = false;
        for (const MqttParamMapping &row : qAsConst(*rows))
            listed = listed || row.name == key;
        if (listed)
            continue;
        QString address = printed;
        address.remove(QLatin1Char('%'));
        address.remove(QLatin1Char('"'));
        rows->append({ printed, key, address });
    }
}

void setAddress(cJSON *object, const QByteArray &key, const QByteArray &value)
{
    for (cJSON *child = object->child; child; child = child->next) {
        if (cJSON_IsObject(child)) {
            setAddress(child, key, value);
            continue;
        }
        if (cJSON_IsString(child) && child->string && key == child->string) {
            cJSON_SetValuestring(child, value.constData());
            return;
        }
    }
}

} // namespace

QList<MqttParamMapping> mqttTemplateMappings(const QString &text, bool *parsed)
{
    QList<MqttParamMapping> rows;
    const Json json = parse(text);
    if (parsed)
        *parsed = json != nullptr;
    if (json && cJSON_IsObject(json.get()))
        collect(json.get(), &rows);
    return rows;
}

QString mqttTemplateWithAddress(const QString &text, const QString &key, const QString &address)
{
    const Json json = parse(text);
    if (!json)
        return QString();
    if (cJSON_IsObject(json.get()))
        setAddress(json.get(), key.toUtf8(), QByteArray("%") + address.toUtf8());
    return print(json.get());
}

QString mqttPrintTemplate(const QString &text)
{
    const Json json = parse(text);
    return json ? print(json.get()) : QString();
}

QString mqttCutTemplate(const QString &text, int limit, int *cursor)
{
    const int excess = text.size() - limit;
    if (excess <= 0)
        return text;
    const int start = qBound(0, *cursor - excess, text.size() - excess);
    *cursor = start;
    return text.left(start) + text.mid(start + excess);
}
