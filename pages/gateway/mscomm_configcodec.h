#ifndef MSCOMM_CONFIGCODEC_H
#define MSCOMM_CONFIGCODEC_H

#include <QByteArray>
#include <QVector>

// One request of the serial gateway table: 18 bytes in the module's parameter bytes.
struct MscomRequestRow
{
    quint8 port = 0; // 0 port 1, 1 port 2
    quint8 slave = 1;
    quint8 code = 3; // 0 for a free-protocol message
    quint8 inLen = 0;
    quint8 outLen = 0;
    quint8 trigger = 0;
    quint8 swap = 0;
    quint16 reg = 0;
    quint32 pollTime = 300;
    quint32 timeout = 100;

    bool operator==(const MscomRequestRow &o) const
    {
        return port == o.port && slave == o.slave && code == o.code && inLen == o.inLen && outLen == o.outLen
            && trigger == o.trigger && swap == o.swap && reg == o.reg && pollTime == o.pollTime && timeout == o.timeout;
    }
};

constexpr int MscomRequestRowSize = 18;

struct MscomBlock
{
    // 0 off, 1 on, 2 on with byte swap
    quint8 stateMode = 0;
    quint8 ctlMode = 0;
    QVector<MscomRequestRow> rows;
};

QByteArray encodeMscomBlock(const MscomBlock &block);
// A missing second head byte reads 0; records are whole ones only.
MscomBlock decodeMscomBlock(const QByteArray &data);

#endif
