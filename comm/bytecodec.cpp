#include "bytecodec.h"

#include <QTextCodec>
#include <QtEndian>
#include <cstring>

ByteReader::ByteReader(const QByteArray &data, int start)
    : m_data(data)
    , m_pos(qMax(0, start))
{
}

void ByteReader::seek(int pos)
{
    m_pos = qMax(0, pos);
}

void ByteReader::skip(int count)
{
    if (count <= 0)
        return;
    if (count > remaining())
        m_overrun = true;
    m_pos = int(qMin<qint64>(qint64(m_pos) + count, qint64(INT_MAX)));
}

bool ByteReader::take(int count, const char **at)
{
    if (count <= remaining()) {
        *at = m_data.constData() + m_pos;
        m_pos += count;
        return true;
    }
    m_overrun = true;
    return false;
}

quint8 ByteReader::u8()
{
    return quint8(bytes(1).at(0));
}

quint16 ByteReader::u16le()
{
    return qFromLittleEndian<quint16>(bytes(2).constData());
}

quint16 ByteReader::u16be()
{
    return qFromBigEndian<quint16>(bytes(2).constData());
}

quint32 ByteReader::u32le()
{
    return qFromLittleEndian<quint32>(bytes(4).constData());
}

quint32 ByteReader::u32be()
{
    return qFromBigEndian<quint32>(bytes(4).constData());
}

float ByteReader::f32le()
{
    const quint32 raw = u32le();
    float v;
    std::memcpy(&v, &raw, sizeof v);
    return v;
}

float ByteReader::f32be()
{
    const quint32 raw = u32be();
    float v;
    std::memcpy(&v, &raw, sizeof v);
    return v;
}

QByteArray ByteReader::bytes(int count)
{
    if (count <= 0)
        return QByteArray();
    const char *at = nullptr;
    if (take(count, &at))
        return QByteArray(at, count);
    QByteArray out(count, '\0');
    const int have = remaining();
    if (have > 0)
        std::memcpy(out.data(), m_data.constData() + m_pos, size_t(have));
    skip(count);
    return out;
}

QString ByteReader::text(int width)
{
    const QByteArray field = bytes(width);
    const int end = field.indexOf('\0');
    const QByteArray raw = end < 0 ? field : field.left(end);
    QTextCodec::ConverterState state;
    QTextCodec *utf8 = QTextCodec::codecForName("UTF-8");
    const QString decoded = utf8->toUnicode(raw.constData(), int(raw.size()), &state);
    if (state.invalidChars > 0)
        return QString::fromLatin1(raw);
    return decoded;
}

QByteArray ByteReader::rest()
{
    return bytes(remaining());
}

int ByteReader::wholeRecords(int size, int recordSize)
{
    if (size <= 0 || recordSize <= 0)
        return 0;
    return size / recordSize;
}

ByteWriter &ByteWriter::u8(quint8 v)
{
    m_data.append(char(v));
    return *this;
}

ByteWriter &ByteWriter::u16le(quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    m_data.append(b, 2);
    return *this;
}

ByteWriter &ByteWriter::u16be(quint16 v)
{
    char b[2];
    qToBigEndian(v, b);
    m_data.append(b, 2);
    return *this;
}

ByteWriter &ByteWriter::u32le(quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    m_data.append(b, 4);
    return *this;
}

ByteWriter &ByteWriter::u32be(quint32 v)
{
    char b[4];
    qToBigEndian(v, b);
    m_data.append(b, 4);
    return *this;
}

ByteWriter &ByteWriter::f32le(float v)
{
    quint32 raw;
    std::memcpy(&raw, &v, sizeof raw);
    return u32le(raw);
}

ByteWriter &ByteWriter::f32be(float v)
{
    quint32 raw;
    std::memcpy(&raw, &v, sizeof raw);
    return u32be(raw);
}

ByteWriter &ByteWriter::bytes(const QByteArray &bytes)
{
    m_data.append(bytes);
    return *this;
}

ByteWriter &ByteWriter::fill(int count, quint8 value)
{
    if (count > 0)
        m_data.append(QByteArray(count, char(value)));
    return *this;
}

ByteWriter &ByteWriter::text(const QString &text, int width, int maxBytes)
{
    if (width <= 0)
        return *this;
    const int limit = maxBytes < 0 ? width : qMin(maxBytes, width);
    const QByteArray raw = utf8Cut(text, limit);
    m_data.append(raw);
    return fill(width - int(raw.size()));
}

ByteWriter &ByteWriter::resize(int size)
{
    size = qMax(0, size);
    if (size < m_data.size())
        m_data.truncate(size);
    else
        fill(size - int(m_data.size()));
    return *this;
}

QByteArray utf8Cut(const QString &text, int maxBytes)
{
    QByteArray raw = text.toUtf8();
    if (maxBytes <= 0)
        return QByteArray();
    if (raw.size() <= maxBytes)
        return raw;
    int cut = maxBytes;
    // Step back over continuation bytes so the cut falls between characters.
    while (cut > 0 && (quint8(raw.at(cut)) & 0xC0) == 0x80)
        --cut;
    return raw.left(cut);
}
