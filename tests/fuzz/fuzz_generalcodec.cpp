#include "generalcodec.h"

#include <cstddef>
#include <cstdint>

// The first byte picks the parameter types (two bits each), the rest is a parameter block as a
// device sends it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static const char *const types[] = { "Unsigned8", "signed8", "Integer16", "Unsigned32" };
    QVector<GeneralField> fields;
    for (int i = 0; i < 4; ++i)
        fields.append({ QString::fromLatin1(types[(data[0] >> (2 * i)) & 3]), 0, i % 2 ? -1 : 0 });
    fields.append({ QStringLiteral("UINT8"), 5, 0 });
    const QByteArray block(reinterpret_cast<const char *>(data + 1), int(size - 1));
    const int used = decodeGeneralBlock(fields, block);
    if (encodeGeneralBlock(fields).size() != used)
        __builtin_trap();
    return 0;
}
