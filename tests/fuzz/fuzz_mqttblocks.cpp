#include "mqttblocks.h"
#include "mqttgeneralconfig.h"
#include "mqtttopicconfig.h"

#include <cstddef>
#include <cstdint>

// A block a module returns for the MQTT client: whatever it holds, reading it never gives more
// than five list entries, and what was read is written and read back to the same records.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    const QString text = mqttBlockText(bytes);

    MqttGeneralConfig general;
    if (general.fromText(text)) {
        MqttGeneralConfig again;
        if (!again.fromText(general.toText()) || !(again == general))
            __builtin_trap();
    }

    MqttTopicConfig will;
    if (will.fromText(text)) {
        MqttTopicConfig again;
        if (!again.fromText(will.toText()) || !(again == will))
            __builtin_trap();
    }

    QList<MqttTopicConfig> entries = mqttReadList(text);
    if (entries.size() > mqttMaxListEntries)
        __builtin_trap();
    QList<MqttTopicConfig *> pointers;
    for (MqttTopicConfig &entry : entries)
        pointers.append(&entry);
    if (!(mqttReadList(mqttListText(pointers)) == entries))
        __builtin_trap();
    return 0;
}
