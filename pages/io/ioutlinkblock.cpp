#include "ioutlinkblock.h"

#include "bytecodec.h"

#include <QStringList>

QByteArray ioutlinkAddressBytes(const QString &ip)
{
    QByteArray out(4, '\0');
    const QStringList parts = ip.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return out;
    for (int k = 0; k < 4; ++k)
        out[k] = char(parts.at(k).trimmed().toInt() & 0xFF);
    return out;
}

QByteArray encodeIoutlinkRecord(const IoutlinkRecord &record)
{
    ByteWriter w(IoutlinkRecordSize);
    QByteArray name = record.name.toLatin1();
    const int nul = name.indexOf('\0');
    if (nul >= 0)
        name.truncate(nul);
    name.truncate(IoutlinkNameSize - 1);
    w.bytes(name).fill(IoutlinkNameSize - name.size());
    // Stored as a little-endian number: the last octet comes first.
    const QByteArray address = ioutlinkAddressBytes(record.ip);
    for (int k = 3; k >= 0; --k)
        w.u8(quint8(address.at(k)));
    w.u8(quint8(record.slot)).u8(quint8(record.subSlot)).u8(quint8(record.Inputsize)).u8(quint8(record.Outputsize));
    w.u8(quint8(record.subCount)).u32le(record.typeId).u32le(record.Scantime);
    return w.data();
}

QByteArray encodeIoutlinkBlock(const QVector<IoutlinkStation> &stations)
{
    QByteArray out;
    for (const IoutlinkStation &station : stations) {
        IoutlinkRecord module = station.module;
        module.subCount = station.subs.size();
        out.append(encodeIoutlinkRecord(module));
        for (IoutlinkRecord sub : station.subs) {
            sub.ip.clear();
            sub.subCount = 0;
            sub.Scantime = 0;
            out.append(encodeIoutlinkRecord(sub));
        }
    }
    return out;
}

QVector<IoutlinkRecord> decodeIoutlinkRecords(const QByteArray &data)
{
    QVector<IoutlinkRecord> records;
    const int count = ByteReader::wholeRecords(data.size(), IoutlinkRecordSize);
    records.reserve(count);
    ByteReader r(data);
    for (int i = 0; i < count; ++i) {
        IoutlinkRecord rec;
        QByteArray name = r.bytes(IoutlinkNameSize);
        const int nul = name.indexOf('\0');
        if (nul >= 0)
            name.truncate(nul);
        rec.name = QString::fromLatin1(name);
        const quint8 d = r.u8(), c = r.u8(), b = r.u8(), a = r.u8();
        rec.ip = QStringLiteral("%1.%2.%3.%4").arg(a).arg(b).arg(c).arg(d);
        rec.slot = r.u8();
        rec.subSlot = r.u8();
        rec.Inputsize = r.u8();
        rec.Outputsize = r.u8();
        rec.subCount = r.u8();
        rec.typeId = r.u32le();
        rec.Scantime = r.u32le();
        records.append(rec);
    }
    return records;
}

QVector<int> ioutlinkOwners(const QVector<IoutlinkRecord> &records)
{
    QVector<int> owners;
    owners.reserve(records.size());
    int current = -1;
    int previousSlot = -1;
    for (int i = 0; i < records.size(); ++i) {
        if (current >= 0 && records.at(i).slot == previousSlot) {
            owners.append(current);
        } else {
            owners.append(-1);
            current = i;
            previousSlot = records.at(i).slot;
        }
    }
    return owners;
}
