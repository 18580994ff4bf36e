#include "intelhex.h"

#include <QIODevice>
#include <cstring>

namespace {

// Value of a hexadecimal digit, -1 for any other character.
struct HexDigits
{
    qint8 value[256];
    constexpr HexDigits()
        : value()
    {
        for (int i = 0; i < 256; ++i)
            value[i] = -1;
        for (int i = 0; i < 10; ++i)
            value['0' + i] = qint8(i);
        for (int i = 0; i < 6; ++i) {
            value['A' + i] = qint8(10 + i);
            value['a' + i] = qint8(10 + i);
        }
    }
};
constexpr HexDigits hexDigits;

inline int hexValue(char c)
{
    return hexDigits.value[quint8(c)];
}

inline bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Longest record: 255 data bytes plus length, offset, type and check sum.
constexpr int maxRecordBytes = 255 + 5;

// The bytes a line's hexadecimal digits spell; characters that are not digits are skipped.
// False when a digit is left over or the line spells more than a record can hold.
bool decodeDigits(const char *p, const char *end, quint8 *bytes, int &count)
{
    count = 0;
    // The common shape first: a start code, then digit pairs up to the line end.
    if (p < end && *p == ':')
        ++p;
    while (end - p >= 2) {
        const int high = hexValue(p[0]);
        const int low = hexValue(p[1]);
        if ((high | low) < 0)
            break;
        if (count == maxRecordBytes)
            return false;
        bytes[count++] = quint8(high << 4 | low);
        p += 2;
    }
    // Whatever else the line holds: skip non-digits, pair the digits that remain.
    int high = -1;
    for (; p < end; ++p) {
        const int v = hexValue(*p);
        if (v < 0)
            continue;
        if (high < 0) {
            high = v;
            continue;
        }
        if (count == maxRecordBytes)
            return false;
        bytes[count++] = quint8(high << 4 | v);
        high = -1;
    }
    return high < 0;
}

// A lone digit, fewer bytes than the fixed fields, a count that does not match the line or a
// wrong check sum: the line is damaged.
bool validRecord(const quint8 *bytes, int count)
{
    if (count < 5 || count != bytes[0] + 5)
        return false;
    quint8 sum = 0;
    for (int i = 0; i < count; ++i)
        sum = quint8(sum + bytes[i]);
    return sum == 0;
}

bool isBlank(const char *p, const char *end)
{
    for (; p < end; ++p) {
        if (!isSpace(*p))
            return false;
    }
    return true;
}

HexStep placeRecord(quint8 type, quint16 offset, const char *data, int length, HexReaderState &state, QByteArray &image,
    HexError &error)
{
    switch (type) {
    case 0x00: {
        const quint64 address
            = state.segmentBase != 0 ? quint64(state.segmentBase) + offset : quint64(state.linearBase | offset);
        quint64 fill = 0;
        if (state.placed) {
            if (address < state.nextAddress) {
                error = HexError::AddressBackwards;
                return HexStep::Failed;
            }
            fill = address - state.nextAddress;
        }
        if (quint64(image.size()) + fill + quint64(length) > quint64(maxHexImageSize)) {
            error = HexError::ImageTooLarge;
            return HexStep::Failed;
        }
        if (fill > 0)
            image.append(int(fill), '\0');
        image.append(data, length);
        state.nextAddress = address + quint64(length);
        state.placed = true;
        return HexStep::Continue;
    }
    case 0x01:
        return HexStep::End;
    case 0x02:
    case 0x04: {
        if (length < 2) {
            error = HexError::BadRecord;
            return HexStep::Failed;
        }
        const quint32 value = quint32(quint8(data[0])) << 8 | quint8(data[1]);
        if (type == 0x02) {
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

// Reads a text line by line into result; the caller hands over each line with its line end.
class LineReader
{
public:
    explicit LineReader(HexReadResult &result)
        : m_result(result)
    {
    }

    // False once reading has ended, successfully or not.
    bool line(const char *p, qint64 length)
    {
        ++m_lineNumber;
        // No record needs more; a longer line is a damaged one.
        if (length > maxHexLineLength)
            return fail(HexError::BadRecord);
        const char *end = p + length;
        if (isBlank(p, end))
            return true;
        quint8 bytes[maxRecordBytes];
        int count = 0;
        if (!decodeDigits(p, end, bytes, count) || !validRecord(bytes, count))
            return fail(HexError::BadRecord);
        HexError error = HexError::None;
        switch (placeRecord(bytes[3], quint16(bytes[1] << 8 | bytes[2]), reinterpret_cast<const char *>(bytes + 4),
            bytes[0], m_state, m_result.image, error)) {
        case HexStep::Continue:
            return true;
        case HexStep::End:
            return false;
        case HexStep::Failed:
            break;
        }
        return fail(error);
    }

    bool fail(HexError error)
    {
        m_result.error = error;
        m_result.line = m_lineNumber;
        return false;
    }

    // Reading stopped at the line before the one that could not be read.
    void readFailed()
    {
        ++m_lineNumber;
        fail(HexError::ReadFailed);
    }

private:
    HexReadResult &m_result;
    HexReaderState m_state;
    int m_lineNumber = 0;
};

// Every data byte takes two digits: the text's length bounds the image apart from holes, and
// reserving it spares the copies of a growing image.
void reserveFor(QByteArray &image, qint64 textLength)
{
    if (textLength > 0)
        image.reserve(int(qMin<qint64>(maxHexImageSize, textLength / 2)));
}

} // namespace

bool isBlankHexLine(const QByteArray &line)
{
    return isBlank(line.constData(), line.constData() + line.size());
}

bool parseHexRecord(const QByteArray &line, HexRecord &record)
{
    quint8 bytes[maxRecordBytes];
    int count = 0;
    if (!decodeDigits(line.constData(), line.constData() + line.size(), bytes, count) || !validRecord(bytes, count))
        return false;
    record.length = bytes[0];
    record.offset = quint16(bytes[1] << 8 | bytes[2]);
    record.type = bytes[3];
    record.data = QByteArray(reinterpret_cast<const char *>(bytes + 4), record.length);
    record.checksum = bytes[count - 1];
    return true;
}

HexStep applyHexRecord(const HexRecord &record, HexReaderState &state, QByteArray &image, HexError &error)
{
    // A record made by hand may claim more bytes than it carries.
    if (record.data.size() < record.length) {
        error = HexError::BadRecord;
        return HexStep::Failed;
    }
    return placeRecord(record.type, record.offset, record.data.constData(), record.length, state, image, error);
}

HexReadResult readIntelHex(QIODevice &device)
{
    HexReadResult result;
    if (!device.isSequential())
        reserveFor(result.image, device.size() - device.pos());
    LineReader reader(result);

    // Lines are cut out of large reads; a line that does not fit is too long anyway.
    constexpr int chunk = 64 * 1024;
    QByteArray buffer(chunk + maxHexLineLength + 1, Qt::Uninitialized);
    char *const base = buffer.data();
    qint64 held = 0;
    bool atEnd = false;
    while (!atEnd) {
        const qint64 got = device.read(base + held, chunk);
        if (got < 0) {
            reader.readFailed();
            return result;
        }
        atEnd = got == 0;
        held += got;
        const char *p = base;
        const char *const end = base + held;
        while (p < end) {
            const char *newline = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
            if (!newline) {
                if (!atEnd && end - p <= maxHexLineLength)
                    break;
                // The text ends without a line end, or the line is longer than any record.
                reader.line(p, end - p);
                return result;
            }
            if (!reader.line(p, newline + 1 - p))
                return result;
            p = newline + 1;
        }
        held = end - p;
        std::memmove(base, p, size_t(held));
    }
    return result;
}

HexReadResult readIntelHex(const QByteArray &text)
{
    HexReadResult result;
    reserveFor(result.image, text.size());
    LineReader reader(result);
    const char *p = text.constData();
    const char *const end = p + text.size();
    while (p < end) {
        const char *newline = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        const char *next = newline ? newline + 1 : end;
        if (!reader.line(p, next - p))
            break;
        p = next;
    }
    return result;
}
