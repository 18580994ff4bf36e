#ifndef ECATMODBUSCONFIGCODEC_H
#define ECATMODBUSCONFIGCODEC_H

#include <QByteArray>
#include <QVector>

// One request of the EtherCAT gateway table: 49 bytes in the module's parameter bytes.
struct EcatRequestRow
{
    quint8 slave = 1;
    quint8 code = 3;
    quint8 length = 1;
    quint8 trigger = 0;
    quint8 swap = 0;
    quint8 bitAccess = 0;
    quint16 reg = 0;
    quint32 pollTime = 300;
    quint32 timeout = 100;
    QByteArray name; // Latin-1, at most 32 bytes in the block

    bool operator==(const EcatRequestRow &o) const
    {
        return slave == o.slave && code == o.code && length == o.length && trigger == o.trigger && swap == o.swap
            && bitAccess == o.bitAccess && reg == o.reg && pollTime == o.pollTime && timeout == o.timeout
            && name == o.name;
    }
};

constexpr int EcatDeviceHeaderSize = 16;
constexpr int EcatRequestRowSize = 49;
constexpr int EcatRowNameSize = 32;
constexpr int EcatProductNameSize = 10;

struct EcatBlock
{
    bool stateWord = false;
    bool ctlWord = false;
    quint32 productCode = 0;
    // Written: the first 10 bytes up to a zero byte. Read: the non-zero bytes of the field.
    QByteArray productName;
    QVector<EcatRequestRow> rows;
};

QByteArray encodeEcatBlock(const EcatBlock &block);
// Header bytes beyond a short block read 0; rows are whole records only.
EcatBlock decodeEcatBlock(const QByteArray &data);

#endif
