#include "iolinkdeviceinfo.h"

#include "bytecodec.h"

IoLinkDeviceInfo IoLinkDeviceInfo::decode(const QByteArray &payload)
{
    ByteReader r(payload);
    IoLinkDeviceInfo info;
    info.port = r.u8();
    info.vendorId = r.u16le();
    info.deviceId = r.u32le();
    info.vendorName = r.text(65);
    info.productId = r.text(65);
    info.productText = r.text(65);
    info.firmwareRevision = r.text(65);
    info.applicationTag = r.text(35);
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
