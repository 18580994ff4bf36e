#include "mqtttemplate.h"

#include <cstddef>
#include <cstdint>

// A payload template from a file the user loads: any text is either no JSON or gives rows whose
// addresses can be written back, and a cut template never exceeds the limit.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    bool parsed = false;
    const QList<MqttParamMapping> rows = mqttTemplateMappings(text, &parsed);
    if (!parsed && !rows.isEmpty())
        __builtin_trap();
    for (const MqttParamMapping &row : rows) {
        const QString changed = mqttTemplateWithAddress(text, row.name, QStringLiteral("7"));
        if (changed.isNull())
            __builtin_trap();
    }
    if (parsed != !mqttPrintTemplate(text).isNull())
        __builtin_trap();
    int cursor = int(size % 1024);
    const QString cut = mqttCutTemplate(text, 16, &cursor);
    if (text.size() > 16 ? cut.size() != 16 : cut != text)
        __builtin_trap();
    if (cursor < 0)
        __builtin_trap();
    return 0;
}
