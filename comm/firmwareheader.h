#ifndef FIRMWAREHEADER_H
#define FIRMWAREHEADER_H

#include <QByteArray>
#include <QtGlobal>

// The 12 bytes sent ahead of a firmware image, each field a little-endian 32-bit word.
struct FirmwareHeader
{
    static constexpr quint32 Magic = 0x1357ABCD;
    static constexpr int Size = 12;

    quint32 magic = Magic;
    qint32 length = 0; // image bytes; 0 when no file was read
    qint32 checksum = 0; // minus the 32-bit sum of the image bytes; 0 for an empty image

    // The header of image: its length and check sum.
    static FirmwareHeader fromImage(const QByteArray &image);
    // The wire bytes.
    QByteArray toBytes() const;
};

#endif
