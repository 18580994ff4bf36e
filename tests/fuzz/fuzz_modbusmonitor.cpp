#include "modbusmonitorcodec.h"

#include <cstddef>
#include <cstdint>

// Bytes from the module's serial stream, cut into messages; each message is read for its text,
// kind and slot as the page shows and filters it. The first byte picks the filter.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static const char *const filters[] = { "", "0", "3,12", "3,", "999,1,2" };
    const QString filter = QString::fromLatin1(filters[data[0] % 5]);
    QByteArray buffer(reinterpret_cast<const char *>(data + 1), int(size - 1));
    const int before = buffer.size();
    const QList<QByteArray> messages = cutMonitorMessages(buffer);
    int taken = 0;
    for (const QByteArray &message : messages) {
        taken += message.size() + 1;
        const QString text = monitorMessageText(message);
        monitorMessageColor(message);
        uint slot = 0;
        monitorSlotNumber(text, &slot);
        monitorFilterHides(filter, text);
    }
    if (taken + buffer.size() != before || buffer.contains('#'))
        __builtin_trap();
    return 0;
}
