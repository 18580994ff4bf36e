#ifndef WEIGHCOMMAND_H
#define WEIGHCOMMAND_H

#include <QByteArray>
#include <QString>

// Command byte of a weighing plug frame.
enum WeighCommand : quint8 {
    WEIGH_READ = 0x00,
    WEIGH_TARE = 0x10,
    WEIGH_ZERO_SET = 0x20,
    WEIGH_SAMPLING = 0x30,
    WEIGH_ZERO_CALIB = 0x40,
    WEIGH_FREE_CALIB = 0x50,
    WEIGH_CALIB_POINT = 0x60, // 0x60 to 0x63: calibration weights 1 to 4
    WEIGH_CALIB_END = 0x64,
    WEIGH_FACTORY_READ = 0x80,
    WEIGH_FACTORY_POINT = 0x81,
    WEIGH_FACTORY_END = 0x8F,
};

// The byte codecs of the weighing pages, apart from the widgets that use them.
namespace WeighCodec {

// A weighing request frame (type 0x14) for command and payload.
QByteArray request(int command, const QByteArray &payload);
// What goes on the serial link for a request: the prefix byte, then the frame.
QByteArray onWire(const QByteArray &frame);

// An entry with one decimal as the whole number of tenths it travels as: v x 10 + c, cut toward
// zero, where c is 0.5 for the zero range and 0.05 (as a float) for weights and sensor data.
quint32 zeroRangeTenths(double value);
quint32 weightTenths(double value);
QByteArray bigEndian32(quint32 value);

// A reply of the weighing page taken apart: command, channel and the data after the channel.
// False when the frame is under 10 bytes, of another type or its length field disagrees.
bool splitReply(const QByteArray &frame, int *command, int *channel, QByteArray *data);
// The factory page's reply: all bytes the length field counts are data (no channel byte).
bool splitFactoryReply(const QByteArray &frame, int *command, QByteArray *data);

// The size of a reply of the weighing page (a channel panel's command, for a channel below
// channels) or of the factory page, from its first bytes (head first): 0 while they are too few,
// -1 for a frame of neither.
int pageReplySize(const QByteArray &frameSoFar, int channels);
int factoryReplySize(const QByteArray &frameSoFar);

// Tenths of a unit as shown with one decimal: a 32-bit big-endian number at offset, signed for
// weights (a net weight below zero is negative), unsigned for the factory page's raw values.
QString tenthsText(const QByteArray &data, int offset, bool isSigned);

} // namespace WeighCodec

#endif
