#ifndef BYTECODEC_H
#define BYTECODEC_H

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Reads a fixed binary record from bytes a device or a file gave us. A read past the end never
// touches memory beyond the data: missing bytes read as 0 and overrun() turns true, so a caller
// can refuse a short record or accept the zeros, as its format wants.
class ByteReader
{
public:
    explicit ByteReader(const QByteArray &data, int start = 0);

    int pos() const { return m_pos; }
    int size() const { return int(m_data.size()); }
    int remaining() const { return m_pos < size() ? size() - m_pos : 0; }
    bool atEnd() const { return m_pos >= size(); }
    // True once any read wanted a byte beyond the end.
    bool overrun() const { return m_overrun; }

    void seek(int pos);
    void skip(int count);

    quint8 u8();
    qint8 s8() { return qint8(u8()); }
    quint16 u16le();
    quint16 u16be();
    qint16 s16le() { return qint16(u16le()); }
    qint16 s16be() { return qint16(u16be()); }
    quint32 u32le();
    quint32 u32be();
    qint32 s32le() { return qint32(u32le()); }
    qint32 s32be() { return qint32(u32be()); }
    float f32le();
    float f32be();

    // count bytes; those beyond the end are zeros.
    QByteArray bytes(int count);
    // A text field of width bytes: the text ends at the first zero byte and never reads past the
    // field; the reader moves on by the whole width. UTF-8, falling back to Latin-1 when invalid.
    QString text(int width);
    // The rest of the data, from here.
    QByteArray rest();

    // How many whole records of recordSize fit in size bytes (a trailing part record is not one).
    static int wholeRecords(int size, int recordSize);

private:
    bool take(int count, const char **at);

    QByteArray m_data;
    int m_pos = 0;
    bool m_overrun = false;
};

// Builds a fixed binary record.
class ByteWriter
{
public:
    ByteWriter() = default;
    explicit ByteWriter(int reserve) { m_data.reserve(reserve); }

    const QByteArray &data() const { return m_data; }
    int size() const { return int(m_data.size()); }

    ByteWriter &u8(quint8 v);
    ByteWriter &s8(qint8 v) { return u8(quint8(v)); }
    ByteWriter &u16le(quint16 v);
    ByteWriter &u16be(quint16 v);
    ByteWriter &s16le(qint16 v) { return u16le(quint16(v)); }
    ByteWriter &s16be(qint16 v) { return u16be(quint16(v)); }
    ByteWriter &u32le(quint32 v);
    ByteWriter &u32be(quint32 v);
    ByteWriter &s32le(qint32 v) { return u32le(quint32(v)); }
    ByteWriter &s32be(qint32 v) { return u32be(quint32(v)); }
    ByteWriter &f32le(float v);
    ByteWriter &f32be(float v);
    ByteWriter &bytes(const QByteArray &bytes);
    // count copies of value.
    ByteWriter &fill(int count, quint8 value = 0);
    // A text field of width bytes, UTF-8, zero-padded. At most maxBytes bytes of text are written
    // (width when maxBytes < 0), cut before a character that would not fit whole.
    ByteWriter &text(const QString &text, int width, int maxBytes = -1);
    // Pads with zeros (or cuts) to exactly size bytes.
    ByteWriter &resize(int size);

private:
    QByteArray m_data;
};

// The UTF-8 bytes of text, at most maxBytes long, never ending inside a character.
QByteArray utf8Cut(const QString &text, int maxBytes);

#endif
