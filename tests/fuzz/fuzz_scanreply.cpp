// Module-information and parameter replies come straight from the network or a serial port.
#include "scanreply.h"
#include "scanreplyhandler.h"

#include <QByteArray>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    const ScanReply reply = ScanReply::parse(bytes);
    for (const ScanReply::Sub &sub : reply.subs) {
        if (sub.slot < 1 || sub.slot > reply.subnum)
            __builtin_trap();
    }
    const QByteArray payload = ScanReplyHandler::paramPayload(bytes);
    if (payload.size() > bytes.size())
        __builtin_trap();
    return 0;
}
