#include "iolinkportsetcodec.h"

#include "bytecodec.h"

QByteArray IoLinkIoParams::encode() const
{
    ByteWriter w(size);
    w.u8(port).u8(safeMode).u8(pin4Filter).u8(pin2);
    return w.data();
}

bool IoLinkIoParams::decode(const QByteArray &payload)
{
    if (payload.size() < size)
        return false;
    ByteReader r(payload);
    port = r.u8();
    safeMode = r.u8();
    pin4Filter = r.u8();
    pin2 = r.u8();
    return true;
}

QByteArray IoLinkPortConfig::encode() const
{
    ByteWriter w(size);
    w.u8(port).u8(function).u16le(vendorId).u32le(deviceId);
    w.u8(cycle).u8(validation).u8(inputLength).u8(outputLength).u8(swap);
    return w.data();
}

bool IoLinkPortConfig::decode(const QByteArray &payload)
{
    if (payload.size() < size)
        return false;
    ByteReader r(payload);
    port = r.u8();
    function = r.u8();
    vendorId = r.u16le();
    deviceId = r.u32le();
    cycle = r.u8();
    validation = r.u8();
    inputLength = r.u8();
    outputLength = r.u8();
    swap = r.u8();
    return true;
}

QByteArray IoLinkIsduReadRequest::encode() const
{
    ByteWriter w(size);
    w.u8(port).u16le(index).u8(subIndex);
    return w.data();
}

bool IoLinkIsduReadRequest::decode(const QByteArray &payload)
{
    if (payload.size() < size)
        return false;
    ByteReader r(payload);
    port = r.u8();
    index = r.u16le();
    subIndex = r.u8();
    return true;
}

QByteArray IoLinkIsduReadReply::validData() const
{
    return data.left(qMin(int(count), dataSize));
}

QByteArray IoLinkIsduReadReply::encode() const
{
    ByteWriter w(size);
    w.u8(port).u8(count).bytes(data.left(dataSize)).fill(dataSize - qMin(int(data.size()), dataSize));
    w.u16le(errorCode);
    return w.data();
}

bool IoLinkIsduReadReply::decode(const QByteArray &payload)
{
    if (payload.size() < size)
        return false;
    ByteReader r(payload);
    port = r.u8();
    count = r.u8();
    data = r.bytes(dataSize);
    errorCode = r.u16le();
    return true;
}

QByteArray IoLinkIsduWriteRequest::encode() const
{
    const QByteArray sent = data.left(dataSize);
    ByteWriter w(size);
    w.u8(port).u16le(index).u8(subIndex).u8(quint8(sent.size())).bytes(sent);
    w.fill(dataSize - int(sent.size()));
    return w.data();
}

bool IoLinkIsduWriteRequest::decode(const QByteArray &payload)
{
    if (payload.size() < size)
        return false;
    ByteReader r(payload);
    port = r.u8();
    index = r.u16le();
    subIndex = r.u8();
    const int count = qMin(int(r.u8()), dataSize);
    data = r.bytes(dataSize).left(count);
    return true;
}
