// The replies of a configuration block upload come straight from the network, in reads of any
// size. Input: one byte giving the read length (0: all at once), then the bytes of the link.
#include "uploadreplycutter.h"

#include <QByteArray>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int step = data[0];
    const QByteArray stream(reinterpret_cast<const char *>(data + 1), int(size - 1));
    UploadReplyCutter cutter(4096);
    QByteArray cut;
    int replies = 0;
    for (int at = 0; at < stream.size() && !cutter.overflowed();) {
        const int length = step == 0 ? stream.size() : step;
        const QByteArray read = stream.mid(at, length);
        at += read.size();
        for (const QByteArray &reply : cutter.feed(read)) {
            // Every reply holds its marker after its first byte.
            if (reply.indexOf("end", 1) < 1)
                __builtin_trap();
            cut += reply;
            ++replies;
        }
        // No byte is lost, doubled or reordered.
        if (!cutter.overflowed() && cut + cutter.held() != stream.left(at))
            __builtin_trap();
    }
    return 0;
}
