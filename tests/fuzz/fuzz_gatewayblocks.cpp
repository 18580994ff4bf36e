#include "ecatmodbusconfigcodec.h"
#include "modbusconfigcodec.h"
#include "mscomm_configcodec.h"

#include <cstddef>
#include <cstdint>

// A gateway table block as a device or a project file hands it over; all three readers take it,
// and what they read must write back to a block of whole records.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray block(reinterpret_cast<const char *>(data), int(size));

    const QVector<ModbusRequestRow> modbus = decodeModbusRequestRows(block);
    if (encodeModbusRequestRows(modbus).size() != modbus.size() * ModbusRequestRowSize)
        __builtin_trap();

    const MscomBlock mscom = decodeMscomBlock(block);
    if (encodeMscomBlock(mscom).size() != 2 + mscom.rows.size() * MscomRequestRowSize)
        __builtin_trap();

    const EcatBlock ecat = decodeEcatBlock(block);
    if (ecat.productName.size() > EcatProductNameSize)
        __builtin_trap();
    for (const EcatRequestRow &row : ecat.rows) {
        if (row.name.size() > EcatRowNameSize)
            __builtin_trap();
    }
    if (encodeEcatBlock(ecat).size() != EcatDeviceHeaderSize + ecat.rows.size() * EcatRequestRowSize)
        __builtin_trap();
    return 0;
}
