#include "firmwareheader.h"

#include <QtEndian>

FirmwareHeader FirmwareHeader::fromImage(const QByteArray &image)
{
    FirmwareHeader header;
    header.length = image.size();
    if (!image.isEmpty()) {
        quint32 sum = 0;
        for (char c : image)
            sum += quint8(c);
        header.checksum = qint32(0u - sum);
    }
    return header;
}

QByteArray FirmwareHeader::toBytes() const
{
    QByteArray bytes(Size, '\0');
    uchar *p = reinterpret_cast<uchar *>(bytes.data());
    qToLittleEndian<quint32>(magic, p);
    qToLittleEndian<qint32>(length, p + 4);
    qToLittleEndian<qint32>(checksum, p + 8);
    return bytes;
}
