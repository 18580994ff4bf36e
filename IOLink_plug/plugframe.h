#ifndef PLUGFRAME_H
#define PLUGFRAME_H

#include <QByteArray>
#include <QList>

// The framed message IO-Link master and weighing sub-modules speak on the serial link:
// head 0xA5, type, command, payload length (32-bit big-endian), payload, then a 16-bit big-endian
// check sum that brings the byte sum of the whole frame to a multiple of 65536. A reply is
// followed on the wire by the separator 0x5A, which belongs to no frame.
class PlugFrame
{
public:
    static constexpr quint8 head = 0xA5;
    static constexpr quint8 split = 0x5A;
    static constexpr quint8 typeWeigh = 0x14;
    static constexpr quint8 typeIoLink = 0x15;
    // Byte a request is prefixed with on the serial link.
    static constexpr quint8 requestPrefix = 0x43;
    // Bytes kept while waiting for a frame to complete; noise beyond that is dropped.
    static constexpr int maxBuffer = 16 * 1024;

    // The frame for command (taken modulo 256) and payload.
    static QByteArray build(quint8 type, int command, const QByteArray &payload);
    // True when the frame's last two bytes hold the check sum of the bytes before them.
    static bool checkSum(const QByteArray &frame);
    // The first frame in bytes (from its first 0xA5), ended by a 0x5A and passing the check sum;
    // empty when there is none yet.
    static QByteArray cut(const QByteArray &bytes);
    // Takes the next frame out of buffer, removing the bytes before it, the frame and its 0x5A;
    // empty (buffer unchanged) when no whole frame is there.
    static QByteArray take(QByteArray &buffer);
    // Every frame take() finds, in order. Bytes that can never begin a frame (before the first
    // 0xA5) are dropped, and a buffer that grows past maxBuffer without a frame is emptied.
    static QList<QByteArray> takeAll(QByteArray &buffer);
    // The payload length a frame announces (0 for a frame under 7 bytes).
    static quint32 payloadLength(const QByteArray &frame);
    // The command of a frame of type from its first bytes (head first): -1 for another type, -2
    // while they are too few to tell.
    static int commandOf(const QByteArray &frameSoFar, quint8 type);
    // The size a frame of a type the program speaks (weighing or IO-Link) has by its length
    // field, from its first bytes (head first): 0 while they are too few, -1 for another type.
    static qint64 sizeFromLength(const QByteArray &frameSoFar);
};

#endif
