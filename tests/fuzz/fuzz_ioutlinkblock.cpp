#include "ioutlinkblock.h"

#include <cstddef>
#include <cstdint>

// The input is a remote I/O link block as a coupler or a project file gives it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray block(reinterpret_cast<const char *>(data), int(size));
    const QVector<IoutlinkRecord> records = decodeIoutlinkRecords(block);
    if (records.size() != int(size) / IoutlinkRecordSize)
        __builtin_trap();
    const QVector<int> owners = ioutlinkOwners(records);
    if (owners.size() != records.size())
        __builtin_trap();
    for (int i = 0; i < owners.size(); ++i) {
        if (owners.at(i) >= i)
            __builtin_trap();
    }
    // What was read is written back as the same record.
    for (int i = 0; i < records.size(); ++i) {
        const QByteArray again = encodeIoutlinkRecord(records.at(i));
        if (again.size() != IoutlinkRecordSize)
            __builtin_trap();
        const IoutlinkRecord back = decodeIoutlinkRecords(again).value(0);
        if (back.ip != records.at(i).ip || back.slot != records.at(i).slot || back.typeId != records.at(i).typeId
            || back.Scantime != records.at(i).Scantime || !records.at(i).name.startsWith(back.name))
            __builtin_trap();
    }
    return 0;
}
