#ifndef IOLINKRECORD_H
#define IOLINKRECORD_H

#include "bytecodec.h"

#include <QByteArray>
#include <QtGlobal>

// A fixed little-endian record of an IO-Link master command. Record names its fields once, in the
// order they travel, in a static fields(record, visit), and encoding and decoding both walk that
// one list. A decode refuses (returns false, leaving the record as it was) a payload shorter than
// Record::size, so a short reply is never read past its end.
template <class Record> struct IoLinkRecord
{
    QByteArray encode() const;
    bool decode(const QByteArray &payload);
};

namespace IoLinkWire {

// A data field of width bytes: what does not fit is cut, what is missing is zeros.
template <class Data> struct Bytes
{
    Data &data;
    int width;
};

// A count byte, then a data field of width bytes. The count is that of the bytes sent; a count
// read beyond the field is cut to it.
template <class Data> struct Counted
{
    Data &data;
    int width;
};

template <class Data> Bytes<Data> bytes(Data &data, int width)
{
    return { data, width };
}

template <class Data> Counted<Data> counted(Data &data, int width)
{
    return { data, width };
}

class Writer
{
public:
    explicit Writer(int size)
        : m_w(size)
    {
    }

    template <class... Fields> void operator()(const Fields &...fields) { (put(fields), ...); }
    QByteArray data() const { return m_w.data(); }

private:
    void put(quint8 v) { m_w.u8(v); }
    void put(quint16 v) { m_w.u16le(v); }
    void put(quint32 v) { m_w.u32le(v); }
    void put(const Bytes<const QByteArray> &f)
    {
        const QByteArray sent = f.data.left(f.width);
        m_w.bytes(sent).fill(f.width - int(sent.size()));
    }
    void put(const Counted<const QByteArray> &f)
    {
        const QByteArray sent = f.data.left(f.width);
        m_w.u8(quint8(sent.size())).bytes(sent).fill(f.width - int(sent.size()));
    }

    ByteWriter m_w;
};

class Reader
{
public:
    explicit Reader(const QByteArray &payload)
        : m_r(payload)
    {
    }

    template <class... Fields> void operator()(Fields &&...fields) { (get(fields), ...); }

private:
    void get(quint8 &v) { v = m_r.u8(); }
    void get(quint16 &v) { v = m_r.u16le(); }
    void get(quint32 &v) { v = m_r.u32le(); }
    void get(const Bytes<QByteArray> &f) { f.data = m_r.bytes(f.width); }
    void get(const Counted<QByteArray> &f)
    {
        const int count = qMin(int(m_r.u8()), f.width);
        f.data = m_r.bytes(f.width).left(count);
    }

    ByteReader m_r;
};

} // namespace IoLinkWire

template <class Record> QByteArray IoLinkRecord<Record>::encode() const
{
    IoLinkWire::Writer w(Record::size);
    Record::fields(static_cast<const Record &>(*this), w);
    return w.data();
}

template <class Record> bool IoLinkRecord<Record>::decode(const QByteArray &payload)
{
    if (payload.size() < Record::size)
        return false;
    IoLinkWire::Reader r(payload);
    Record::fields(static_cast<Record &>(*this), r);
    return true;
}

#endif
