#include "mscomm_configcodec.h"

#include "bytecodec.h"

QByteArray encodeMscomBlock(const MscomBlock &block)
{
    ByteWriter w(2 + int(block.rows.size()) * MscomRequestRowSize);
    w.u8(block.stateMode).u8(block.ctlMode);
    for (int i = 0; i < block.rows.size(); ++i) {
        const MscomRequestRow &r = block.rows.at(i);
        w.u8(r.port).u8(quint8(i)).u8(r.slave).u8(r.code).u8(r.inLen).u8(r.outLen).u8(r.trigger).u8(r.swap);
        w.u16le(r.reg).u32le(r.pollTime).u32le(r.timeout);
    }
    return w.data();
}

MscomBlock decodeMscomBlock(const QByteArray &data)
{
    MscomBlock block;
    ByteReader r(data);
    block.stateMode = r.u8();
    block.ctlMode = r.u8();
    const int count = ByteReader::wholeRecords(r.remaining(), MscomRequestRowSize);
    for (int i = 0; i < count; ++i) {
        MscomRequestRow row;
        row.port = r.u8();
        r.skip(1); // the row's position
        row.slave = r.u8();
        row.code = r.u8();
        row.inLen = r.u8();
        row.outLen = r.u8();
        row.trigger = r.u8();
        row.swap = r.u8();
        row.reg = r.u16le();
        row.pollTime = r.u32le();
        row.timeout = r.u32le();
        block.rows.append(row);
    }
    return block;
}
