#include "intelhex.h"

#include <QBuffer>
#include <QIODevice>

namespace {

inline int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

inline bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

} // namespace

bool isBlankHexLine(const QByteArray &line)
{
    for (char c : line) {
        if (!isSpace(c))
            return false;
    }
    return true;
}

bool parseHexRecord(const QByteArray &line, HexRecord &record)
{
    // Longest record: 255 data bytes plus length, offset, type and check sum.
    quint8 bytes[255 + 5];
    int count = 0;
    int high = -1;
    for (char c : line) {
        const int v = hexValue(c);
        if (v < 0)
            continue;
        if (high < 0) {
            high = v;
            continue;
        }
        if (count == int(sizeof bytes))
            return false;
        bytes[count++] = quint8(high << 4 | v);
        high = -1;
    }
    // A lone digit left over, fewer bytes than the fixed fields, or a count that does not
    // match the line: the line is damaged, whatever its check sum says.
    if (high >= 0 || count < 5 || count != bytes[0] + 5)
        return false;

    quint8 sum = 0;
    for (int i = 0; i < count - 1; ++i)
        sum = quint8(sum + bytes[i]);
    const quint8 checksum = bytes[count - 1];
    if (quint8(sum + checksum) != 0)
        return false;

    record.length = bytes[0];
    record.offset = quint16(bytes[1] << 8 | bytes[2]);
    record.type = bytes[3];
    record.data = QByteArray(reinterpret_cast<const char *>(bytes + 4), record.length);
    record.checksum = checksum;
    return true;
}

HexStep applyHexRecord(const HexRecord &record, HexReaderState &state, QByteArray &image, HexError &error)
{
    switch (record.type) {
    case 0x00: {
        const quint64 address = state.segmentBase != 0 ? quint64(state.segmentBase) + record.offset
                                                       : quint64(state.linearBase | record.offset);
        quint64 fill = 0;
        if (state.placed) {
            if (address < state.nextAddress) {
                error = HexError::AddressBackwards;
                return HexStep::Failed;
            }
            fill = address - state.nextAddress;
        }
        if (quint64(image.size()) + fill + record.length > quint64(maxHexImageSize)) {
            error = HexError::ImageTooLarge;
            return HexStep::Failed;
        }
        if (fill > 0)
            image.append(int(fill), '\0');
        image.append(record.data);
        state.nextAddress = address + record.length;
        state.placed = true;
        return HexStep::Continue;
    }
    case 0x01:
        return HexStep::End;
    case 0x02:
    case 0x04: {
        if (record.data.size() < 2) {
            error = HexError::BadRecord;
            return HexStep::Failed;
        }
        const quint32 value = quint32(quint8(record.data[0])) << 8 | quint8(record.data[1]);
        if (record.type == 0x02) {
            state.segmentBase = value * 16;
            state.linearBase = 0;
        } else {
            state.linearBase = value << 16;
            state.segmentBase = 0;
        }
        return HexStep::Continue;
    }
    default:
        // Start addresses and unknown types end the file: what came before is the image.
        return HexStep::End;
    }
}

HexReadResult readIntelHex(QIODevice &device)
{
    HexReadResult result;
    HexReaderState state;
    HexRecord record;
    int lineNumber = 0;
    auto fail = [&](HexError error) {
        result.error = error;
        result.line = lineNumber;
        return result;
    };
    while (!device.atEnd()) {
        const QByteArray line = device.readLine(maxHexLineLength + 2);
        ++lineNumber;
        if (line.isEmpty() && !device.atEnd())
            return fail(HexError::ReadFailed);
        // No record needs more; a longer line is not read into memory whole.
        if (line.size() > maxHexLineLength)
            return fail(HexError::BadRecord);
        if (isBlankHexLine(line))
            continue;
        if (!parseHexRecord(line, record))
            return fail(HexError::BadRecord);
        HexError error = HexError::None;
        switch (applyHexRecord(record, state, result.image, error)) {
        case HexStep::Continue:
            break;
        case HexStep::End:
            return result;
        case HexStep::Failed:
            return fail(error);
        }
    }
    return result;
}

HexReadResult readIntelHex(const QByteArray &text)
{
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly);
    return readIntelHex(buffer);
}
