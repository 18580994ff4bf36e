#include "iomonitorcodec.h"

#include <cstddef>
#include <cstdint>

// The first byte picks the transport and the point layout (sizes and swap flags of up to three
// points); the rest arrives from the module as it would, cut into replies and decoded.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const bool serial = data[0] & 0x80;
    static const int sizes[] = { 1, 2, 4, 1 };
    QVector<IoSlot> layout;
    for (int i = 0; i < 3; ++i)
        layout.append({ sizes[(data[0] >> (2 * i)) & 3], bool((data[0] >> (6 - i)) & 1) });
    QByteArray buffer(reinterpret_cast<const char *>(data + 1), int(size - 1));
    const int image = ioImageBytes(layout);
    const QList<QByteArray> replies = cutIoReplies(buffer, image, serial);
    for (const QByteArray &reply : replies) {
        const IoReplyValues v = decodeIoReply(reply, layout, serial);
        if (v.values.size() > layout.size() || (v.complete && v.values.size() != layout.size()))
            __builtin_trap();
    }
    // The raw bytes as one reply, whatever they hold.
    decodeIoReply(QByteArray(reinterpret_cast<const char *>(data + 1), int(size - 1)), layout, serial);
    return 0;
}
