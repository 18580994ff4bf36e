#include "tempctlblocks.h"

#include <cstddef>
#include <cstdint>

// A temperature block as a module returns it: a whole block decodes and encodes back to its own
// bytes (spare bytes aside), anything shorter is refused.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    TempCtlIoBlock io;
    if (io.decode(bytes) != (bytes.size() >= TempCtlIoBlock::size))
        __builtin_trap();
    if (bytes.size() >= TempCtlIoBlock::size && io.encode() != bytes.left(TempCtlIoBlock::size))
        __builtin_trap();
    TempCtlPidBlock pid;
    if (pid.decode(bytes) != (bytes.size() >= TempCtlPidBlock::size))
        __builtin_trap();
    if (pid.encode().size() != TempCtlPidBlock::size)
        __builtin_trap();
    return 0;
}
