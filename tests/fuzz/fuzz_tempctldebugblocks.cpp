#include "tempctldebugblocks.h"

#include <cstddef>
#include <cstdint>

// A status reply or debug block as it comes off the network: a whole block decodes and encodes
// back to its own first bytes, anything shorter is refused and changes nothing.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    TempCtlStatusBlock status;
    const QByteArray statusBefore = status.encode();
    const bool statusTaken = status.decode(bytes);
    if (statusTaken != (bytes.size() >= TempCtlStatusBlock::size))
        __builtin_trap();
    if (status.encode() != (statusTaken ? bytes.left(TempCtlStatusBlock::size) : statusBefore))
        __builtin_trap();
    TempCtlDebugBlock debug;
    const bool debugTaken = debug.decode(bytes);
    if (debugTaken != (bytes.size() >= TempCtlDebugBlock::size))
        __builtin_trap();
    if (debug.encode()
        != (debugTaken ? bytes.left(TempCtlDebugBlock::size) : QByteArray(TempCtlDebugBlock::size, '\0')))
        __builtin_trap();
    return 0;
}
