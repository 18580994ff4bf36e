#ifndef IOMONITORCODEC_H
#define IOMONITORCODEC_H

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

class IoPoint;

// Data types of a process-image point, by the index the I/O page stores in IoPoint::dataType.
enum IoDataType { IoUSINT, IoUINT, IoUDINT, IoSINT, IoINT, IoDINT, IoDataTypeCount };

// Bytes of a data type (1, 2 or 4); an unknown index counts as one byte.
int ioDataTypeSize(int dataType);
QString ioDataTypeName(int dataType);
bool ioDataTypeSigned(int dataType);
// The range the modify spin box allows for an output of this type.
int ioModifyMinimum(int dataType);
int ioModifyMaximum(int dataType);
// The value column's text of a raw value: format 0 decimal, 1 hexadecimal, 2 binary ("2#...").
QString ioValueText(quint32 value, int dataType, int format);
// All bits of a point of size bytes.
quint32 ioWidthMask(int size);

// The layout of one point as the monitor frames carry it.
struct IoSlot
{
    int size = 1;
    bool swap = false;
};
QVector<IoSlot> ioLayout(const QList<IoPoint *> &points);
int ioImageBytes(const QVector<IoSlot> &layout);

// Two's complement of the 16-bit sum of bytes: the check of the serial monitor frames.
quint16 ioCheckSum(const QByteArray &bytes);

// The output image to write: every output point's write value in its type's width, in list
// order, low byte first unless the point is swapped; padded with zeros or cut to outputLength.
QByteArray packIoOutputs(const QList<IoPoint *> &points, int outputLength);
// A poll: A5, the output length high byte first, the outputs, 5A. Without outputs (no write
// pending) it is A5 00 00 5A.
QByteArray buildIoPoll(const QByteArray &outputs);
// A poll as the serial link carries it: 0x44, the poll, its check high byte first.
QByteArray frameSerialIoPoll(const QByteArray &poll);

// The length of a whole reply for an image of imageBytes.
int ioReplyLength(int imageBytes, bool serial);
// Takes the replies off the front of buffer. A reply of the expected length ends with 0x5A at its
// known end, so a 0x5A among the data does not cut it. Any other reply ends at the first 0x5A that
// closes a plausible frame (on the serial link, one whose check matches) and is taken as soon as
// that byte has arrived. A whole serial reply is taken whatever its check: the decoder refuses it.
// Bytes before an 0xA5 are dropped; a part reply stays in buffer.
QList<QByteArray> cutIoReplies(QByteArray &buffer, int imageBytes, bool serial);

struct IoReplyValues
{
    bool valid = false; // starts with A5, ends with 5A and, on the serial link, its check matches
    bool complete = false; // every point of the layout got its value
    QVector<quint32> values; // the points wholly present, from the first on
};
// Decodes one reply against the layout: values from offset 3, each point in its size, low byte
// first unless swapped, zero-extended. A point the reply does not hold whole is left out, with
// every point after it. On the serial link the check bytes are verified and stripped first.
IoReplyValues decodeIoReply(const QByteArray &reply, const QVector<IoSlot> &layout, bool serial);

#endif
