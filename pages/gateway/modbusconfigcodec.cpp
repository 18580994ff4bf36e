#include "modbusconfigcodec.h"

#include "bytecodec.h"

QByteArray encodeModbusRequestRows(const QVector<ModbusRequestRow> &rows)
{
    ByteWriter w(int(rows.size()) * ModbusRequestRowSize);
    for (int i = 0; i < rows.size(); ++i) {
        const ModbusRequestRow &r = rows.at(i);
        w.u8(quint8(i)).u8(r.slave).u8(r.code).u16be(r.reg).u8(r.length);
    }
    return w.data();
}

QVector<ModbusRequestRow> decodeModbusRequestRows(const QByteArray &block)
{
    QVector<ModbusRequestRow> rows;
    const int count = ByteReader::wholeRecords(int(block.size()), ModbusRequestRowSize);
    ByteReader r(block);
    for (int i = 0; i < count; ++i) {
        ModbusRequestRow row;
        r.skip(1); // the row's position: the table order says it already
        row.slave = r.u8();
        row.code = r.u8();
        row.reg = r.u16be();
        row.length = r.u8();
        rows.append(row);
    }
    return rows;
}
