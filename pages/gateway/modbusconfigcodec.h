#ifndef MODBUSCONFIGCODEC_H
#define MODBUSCONFIGCODEC_H

#include <QByteArray>
#include <QVector>

// One request of the Modbus master table: 6 bytes in the module's parameter bytes.
struct ModbusRequestRow
{
    quint8 slave = 1;
    quint8 code = 1;
    quint16 reg = 0; // big-endian in the block, unlike the other gateway tables
    quint8 length = 1;

    bool operator==(const ModbusRequestRow &o) const
    {
        return slave == o.slave && code == o.code && reg == o.reg && length == o.length;
    }
};

constexpr int ModbusRequestRowSize = 6;

// The table's block: the rows in order, no header, no count (an empty table gives no bytes).
QByteArray encodeModbusRequestRows(const QVector<ModbusRequestRow> &rows);
// Whole records only; a trailing part record is ignored rather than read as zeros.
QVector<ModbusRequestRow> decodeModbusRequestRows(const QByteArray &block);

#endif
