#include "iolinkdeviceinfo.h"

#include "bytecodec.h"

namespace {

// A text field of width bytes: UTF-8 up to its first zero byte, never past the field.
QString utf8Field(ByteReader &r, int width)
{
    const QByteArray field = r.bytes(width);
    const int end = int(field.indexOf('\0'));
    return QString::fromUtf8(end < 0 ? field : field.left(end));
}

} // namespace

IoLinkDeviceInfo IoLinkDeviceInfo::decode(const QByteArray &payload)
{
    ByteReader r(payload);
    IoLinkDeviceInfo info;
    info.port = r.u8();
    info.vendorId = r.u16le();
    info.deviceId = r.u32le();
    info.vendorName = utf8Field(r, 65);
    info.productId = utf8Field(r, 65);
    info.productText = utf8Field(r, 65);
    info.firmwareRevision = utf8Field(r, 65);
    info.applicationTag = utf8Field(r, 35);
    info.inputLength = r.u8();
    info.input = r.bytes(maxData).left(qMin(info.inputLength, maxData));
    info.outputLength = r.u8();
    info.output = r.bytes(maxData).left(qMin(info.outputLength, maxData));
    info.eventCount = r.u8();
    for (int i = 0; i < maxEvents; ++i) {
        const quint16 code = r.u16le();
        if (i < info.eventCount)
            info.events.append(code);
    }
    return info;
}
