#ifndef INTELHEX_H
#define INTELHEX_H

#include <QByteArray>
#include <QtGlobal>

class QIODevice;

// One decoded line of an Intel HEX file.
struct HexRecord
{
    quint8 length = 0; // number of data bytes
    quint16 offset = 0; // load offset, big-endian on the line
    quint8 type = 0;
    QByteArray data; // exactly length bytes
    quint8 checksum = 0;
};

// Address state carried from one record to the next while a file is read.
struct HexReaderState
{
    quint32 segmentBase = 0; // from an extended segment address record (type 02)
    quint32 linearBase = 0; // from an extended linear address record (type 04)
    quint64 nextAddress = 0; // absolute address of the next image byte
    bool placed = false; // a data record has fixed the image's base
};

enum class HexError {
    None,
    BadRecord, // check sum wrong, or the line's length does not match its count
    AddressBackwards, // a data record below the next expected address
    ImageTooLarge, // the image (fill included) would pass maxHexImageSize
    ReadFailed, // the device could not be read
};

// The flat image never grows past this; firmware images are far smaller.
constexpr int maxHexImageSize = 16 * 1024 * 1024;

// The longest line read: a 255-byte record takes 521 characters, the rest leaves room for
// blanks and line ends.
constexpr int maxHexLineLength = 4096;

struct HexReadResult
{
    QByteArray image;
    HexError error = HexError::None;
    int line = 0; // 1-based line of the error, 0 without one

    bool ok() const { return error == HexError::None; }
};

enum class HexStep { Continue, End, Failed };

// Decodes one line into record; false when the line is malformed or fails its check sum.
// Characters that are not hexadecimal digits (the start code, blanks, line ends) are skipped.
bool parseHexRecord(const QByteArray &line, HexRecord &record);

// True for a line that holds nothing but white space.
bool isBlankHexLine(const QByteArray &line);

// Places record into image; error is set when the result is Failed.
HexStep applyHexRecord(const HexRecord &record, HexReaderState &state, QByteArray &image, HexError &error);

// Reads a whole Intel HEX text into its flat image: byte 0 stands for the first data record's
// address, holes between records hold 0x00. Reading ends with success at the end-of-file
// record, at a start address record or any other type that is not data or a base, or at the
// end of the text. On failure the image holds what was placed before the failing line.
HexReadResult readIntelHex(QIODevice &device);
HexReadResult readIntelHex(const QByteArray &text);

#endif
