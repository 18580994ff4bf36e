#include "ecatmodbusconfigcodec.h"

#include "bytecodec.h"

namespace {

QByteArray upToZero(const QByteArray &bytes)
{
    const int zero = int(bytes.indexOf('\0'));
    return zero < 0 ? bytes : bytes.left(zero);
}

} // namespace

QByteArray encodeEcatBlock(const EcatBlock &block)
{
    ByteWriter w(EcatDeviceHeaderSize + int(block.rows.size()) * EcatRequestRowSize);
    w.u8(block.stateWord ? 1 : 0).u8(block.ctlWord ? 1 : 0).u32le(block.productCode);
    w.bytes(upToZero(block.productName).left(EcatProductNameSize));
    w.resize(EcatDeviceHeaderSize);
    for (int i = 0; i < block.rows.size(); ++i) {
        const EcatRequestRow &r = block.rows.at(i);
        w.u8(quint8(i)).u8(r.slave).u8(r.code).u8(r.length).u8(r.trigger).u8(r.swap).u8(r.bitAccess);
        w.u16le(r.reg).u32le(r.pollTime).u32le(r.timeout);
        // A name of the whole field has no ending zero; the reader stops at the field's end.
        const QByteArray name = upToZero(r.name).left(EcatRowNameSize);
        w.bytes(name).fill(EcatRowNameSize - int(name.size()));
    }
    return w.data();
}

EcatBlock decodeEcatBlock(const QByteArray &data)
{
    EcatBlock block;
    ByteReader r(data);
    block.stateWord = r.u8() == 1;
    block.ctlWord = r.u8() == 1;
    block.productCode = r.u32le();
    const QByteArray name = r.bytes(EcatProductNameSize);
    for (char c : name) {
        if (c != '\0')
            block.productName.append(c);
    }
    r.seek(EcatDeviceHeaderSize);
    const int count = ByteReader::wholeRecords(r.remaining(), EcatRequestRowSize);
    for (int i = 0; i < count; ++i) {
        EcatRequestRow row;
        r.skip(1); // the row's position
        row.slave = r.u8();
        row.code = r.u8();
        row.length = r.u8();
        row.trigger = r.u8();
        row.swap = r.u8();
        row.bitAccess = r.u8();
        row.reg = r.u16le();
        row.pollTime = r.u32le();
        row.timeout = r.u32le();
        row.name = upToZero(r.bytes(EcatRowNameSize));
        block.rows.append(row);
    }
    return block;
}
