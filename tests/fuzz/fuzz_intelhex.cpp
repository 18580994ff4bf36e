// Intel HEX files come from outside; the reader must survive anything.
#include "firmwareheader.h"
#include "intelhex.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    const HexReadResult result = readIntelHex(text);
    if (result.image.size() > maxHexImageSize)
        __builtin_trap();
    if (result.ok())
        FirmwareHeader::fromImage(result.image).toBytes();
    return 0;
}
