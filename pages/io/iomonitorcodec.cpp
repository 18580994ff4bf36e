#include "iomonitorcodec.h"

#include "bytecodec.h"
#include "iopoint.h"

#include <climits>

namespace {
const char replyHead = char(0xA5);
const char replyEnd = char(0x5A);
const char serialPollPrefix = char(0x44);

bool validType(int dataType)
{
    return dataType >= 0 && dataType < IoDataTypeCount;
}

// A reply needs its head, the two bytes after it and its end; the serial one its check too.
int minimumReplyLength(bool serial)
{
    return serial ? 6 : 4;
}

bool checkMatches(const QByteArray &reply)
{
    if (reply.size() < 4)
        return false;
    const QByteArray body = reply.left(reply.size() - 3);
    ByteReader r(reply, reply.size() - 3);
    return r.u16be() == ioCheckSum(body);
}
}

int ioDataTypeSize(int dataType)
{
    switch (dataType) {
    case IoUINT:
    case IoINT:
        return 2;
    case IoUDINT:
    case IoDINT:
        return 4;
    default:
        return 1;
    }
}

QString ioDataTypeName(int dataType)
{
    static const char *const names[IoDataTypeCount] = { "USINT", "UINT", "UDINT", "SINT", "INT", "DINT" };
    return validType(dataType) ? QString::fromLatin1(names[dataType]) : QString();
}

bool ioDataTypeSigned(int dataType)
{
    return dataType == IoSINT || dataType == IoINT || dataType == IoDINT;
}

int ioModifyMinimum(int dataType)
{
    switch (dataType) {
    case IoSINT:
        return -127;
    case IoINT:
        return -32767;
    case IoDINT:
        return INT_MIN;
    default:
        return 0;
    }
}

int ioModifyMaximum(int dataType)
{
    switch (dataType) {
    case IoUINT:
        return 65535;
    case IoUDINT:
    case IoDINT:
        return INT_MAX;
    case IoSINT:
        return 127;
    case IoINT:
        return 32767;
    default:
        return 255;
    }
}

QString ioValueText(quint32 value, int dataType, int format)
{
    if (format == 2)
        return QStringLiteral("2#") + QString::number(value, 2);
    if (format == 1) {
        if (ioDataTypeSigned(dataType) && qint32(value) < 0)
            return QStringLiteral("-") + QString::number(quint32(-qint64(qint32(value))), 16);
        return QString::number(value, 16);
    }
    switch (dataType) {
    case IoUINT:
        return QString::number(value & 0xFFFFu);
    case IoUDINT:
        return QString::number(value);
    case IoSINT:
        return QString::number(qint8(quint8(value)));
    case IoINT:
        return QString::number(qint16(quint16(value)));
    case IoDINT:
        return QString::number(qint32(value));
    default:
        return QString::number(value & 0xFFu);
    }
}

quint32 ioWidthMask(int size)
{
    if (size >= 4)
        return 0xFFFFFFFFu;
    if (size == 2)
        return 0xFFFFu;
    return 0xFFu;
}

QVector<IoSlot> ioLayout(const QList<IoPoint *> &points)
{
    QVector<IoSlot> layout;
    layout.reserve(points.size());
    for (const IoPoint *p : points)
        layout.append({ p->size, p->swap });
    return layout;
}

int ioImageBytes(const QVector<IoSlot> &layout)
{
    int sum = 0;
    for (const IoSlot &s : layout)
        sum += qMax(0, s.size);
    return sum;
}

quint16 ioCheckSum(const QByteArray &bytes)
{
    quint16 sum = 0;
    for (char c : bytes)
        sum = quint16(sum + quint8(c));
    return quint16(0x10000 - sum);
}

QByteArray packIoOutputs(const QList<IoPoint *> &points, int outputLength)
{
    ByteWriter w;
    for (const IoPoint *p : points) {
        if (p->direction != 1)
            continue;
        const quint32 v = quint32(p->writeValue);
        switch (ioDataTypeSize(p->dataType)) {
        case 2:
            p->swap ? w.u16be(quint16(v)) : w.u16le(quint16(v));
            break;
        case 4:
            p->swap ? w.u32be(v) : w.u32le(v);
            break;
        default:
            w.u8(quint8(v));
        }
    }
    // The module takes exactly its output image; a short run would shift every later byte.
    w.resize(qMax(0, outputLength));
    return w.data();
}

QByteArray buildIoPoll(const QByteArray &outputs)
{
    ByteWriter w(outputs.size() + 4);
    w.u8(quint8(replyHead)).u16be(quint16(outputs.size())).bytes(outputs).u8(quint8(replyEnd));
    return w.data();
}

QByteArray frameSerialIoPoll(const QByteArray &poll)
{
    QByteArray framed;
    framed.append(serialPollPrefix);
    framed.append(poll);
    ByteWriter w;
    w.bytes(framed).u16be(ioCheckSum(framed));
    return w.data();
}

int ioReplyLength(int imageBytes, bool serial)
{
    return 3 + qMax(0, imageBytes) + (serial ? 2 : 0) + 1;
}

QList<QByteArray> cutIoReplies(QByteArray &buffer, int imageBytes, bool serial)
{
    QList<QByteArray> replies;
    const int whole = ioReplyLength(imageBytes, serial);
    const int shortest = minimumReplyLength(serial);
    for (;;) {
        const int head = buffer.indexOf(replyHead);
        if (head < 0) {
            buffer.clear();
            break;
        }
        buffer.remove(0, head);
        // A whole reply with a wrong check is still the module's answer; the decoder refuses it.
        if (buffer.size() >= whole && buffer.at(whole - 1) == replyEnd) {
            replies.append(buffer.left(whole));
            buffer.remove(0, whole);
            continue;
        }
        // Anything shorter ends at its first 0x5A that closes a plausible reply, and is taken as
        // soon as that byte is here: a module that sends less than the whole image must not have
        // its replies shown one late.
        int end = -1;
        const int searchEnd = qMin(buffer.size(), whole - 1);
        for (int i = shortest - 1; i < searchEnd; ++i) {
            if (buffer.at(i) == replyEnd && (!serial || checkMatches(buffer.left(i + 1)))) {
                end = i;
                break;
            }
        }
        if (end >= 0) {
            replies.append(buffer.left(end + 1));
            buffer.remove(0, end + 1);
            continue;
        }
        if (buffer.size() < whole)
            break; // the rest of a reply is still on its way
        buffer.remove(0, 1); // this A5 starts no reply
    }
    return replies;
}

IoReplyValues decodeIoReply(const QByteArray &reply, const QVector<IoSlot> &layout, bool serial)
{
    IoReplyValues out;
    if (reply.size() < minimumReplyLength(serial) || reply.at(0) != replyHead || reply.back() != replyEnd)
        return out;
    if (serial && !checkMatches(reply))
        return out;
    out.valid = true;
    const int dataEnd = reply.size() - 1 - (serial ? 2 : 0);
    ByteReader r(reply.left(dataEnd), 3);
    for (const IoSlot &slot : layout) {
        if (slot.size < 1 || r.remaining() < slot.size)
            return out;
        quint32 v = 0;
        if (slot.size == 1) {
            v = r.u8();
        } else if (slot.size == 2) {
            v = slot.swap ? r.u16be() : r.u16le();
        } else if (slot.size == 4) {
            v = slot.swap ? r.u32be() : r.u32le();
        } else {
            // Other widths do not occur on the page; take their bytes in the point's order.
            const QByteArray b = r.bytes(slot.size);
            for (int i = 0; i < b.size() && i < 4; ++i) {
                const int shift = slot.swap ? (qMin(b.size(), 4) - 1 - i) * 8 : i * 8;
                v |= quint32(quint8(b.at(i))) << shift;
            }
        }
        out.values.append(v);
    }
    out.complete = true;
    return out;
}
