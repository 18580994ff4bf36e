#ifndef IOLINKPORTSETCODEC_H
#define IOLINKPORTSETCODEC_H

#include "iolinkrecord.h"

#include <QByteArray>
#include <QtGlobal>

// Payloads of the port set-up commands of an IO-Link master. Byte 0 is always the port; numbers
// are little-endian. Each decode refuses (returns false, leaving the record as it was) a payload
// shorter than its record, so a short reply is never read past its end.

// Output safe mode, pin-4 input filter and the pin-2 byte of one port.
struct IoLinkIoParams : IoLinkRecord<IoLinkIoParams>
{
    static constexpr int size = 4;

    quint8 port = 0;
    quint8 safeMode = 0; // 0 hold the last value, 1 output 1, 2 output 0
    quint8 pin4Filter = 0; // ms
    quint8 pin2 = 0;

    template <class R, class F> static void fields(R &r, F &f) { f(r.port, r.safeMode, r.pin4Filter, r.pin2); }
};

// The IO-Link configuration of one port.
struct IoLinkPortConfig : IoLinkRecord<IoLinkPortConfig>
{
    static constexpr int size = 13;

    quint8 port = 0;
    quint8 function = 0; // 0 INACTIVE, 1 SDCI, 2 DI, 3 DO_NPN, 4 DO_PNP
    quint16 vendorId = 0;
    quint32 deviceId = 0;
    quint8 cycle = 0;
    quint8 validation = 0; // 0 no check, 1 compatible
    quint8 inputLength = 0; // bytes, 0..32
    quint8 outputLength = 0;
    quint8 swap = 0; // 0 DISABLE, 1 ENABLE

    template <class R, class F> static void fields(R &r, F &f)
    {
        f(r.port, r.function, r.vendorId, r.deviceId, r.cycle, r.validation, r.inputLength, r.outputLength, r.swap);
    }
};

struct IoLinkIsduReadRequest : IoLinkRecord<IoLinkIsduReadRequest>
{
    static constexpr int size = 4;

    quint8 port = 0;
    quint16 index = 0;
    quint8 subIndex = 0;

    template <class R, class F> static void fields(R &r, F &f) { f(r.port, r.index, r.subIndex); }
};

struct IoLinkIsduReadReply : IoLinkRecord<IoLinkIsduReadReply>
{
    static constexpr int size = 238;
    static constexpr int dataSize = 234;

    quint8 port = 0;
    quint8 count = 0; // as the master reports it; may exceed dataSize
    QByteArray data; // the whole data field, dataSize bytes
    quint16 errorCode = 0; // 0 success

    // The first count data bytes, never more than the field holds.
    QByteArray validData() const;

    template <class R, class F> static void fields(R &r, F &f)
    {
        f(r.port, r.count, IoLinkWire::bytes(r.data, dataSize), r.errorCode);
    }
};

struct IoLinkIsduWriteRequest : IoLinkRecord<IoLinkIsduWriteRequest>
{
    static constexpr int size = 239;
    static constexpr int dataSize = 234;

    quint8 port = 0;
    quint16 index = 0;
    quint8 subIndex = 0;
    QByteArray data; // at most dataSize bytes are sent; the count byte is their number

    // Always the whole record, the data zero-padded; a count read is cut to the data field.
    template <class R, class F> static void fields(R &r, F &f)
    {
        f(r.port, r.index, r.subIndex, IoLinkWire::counted(r.data, dataSize));
    }
};

#endif
