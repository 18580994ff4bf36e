#ifndef IOUTLINKBLOCK_H
#define IOUTLINKBLOCK_H

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

// One 33-byte record of the remote I/O link block: a remote module, or one of its sub-modules
// (which carry no address, count or scan cycle).
struct IoutlinkRecord
{
    QString name;
    QString ip; // dotted address text
    int slot = 0;
    int subSlot = 0;
    int Inputsize = 0;
    int Outputsize = 0;
    int subCount = 0; // sub-module records that follow a module record
    quint32 typeId = 0;
    quint32 Scantime = 0;
};

// A remote module with its sub-modules, in the order they are written.
struct IoutlinkStation
{
    IoutlinkRecord module;
    QVector<IoutlinkRecord> subs;
};

constexpr int IoutlinkRecordSize = 33;
constexpr int IoutlinkNameSize = 16;
constexpr quint32 IoutlinkNoTypeId = 0xFFFF;

// The four address bytes of a dotted text, first octet first; a text without exactly four parts
// gives 0.0.0.0, a part that is not a number counts as 0 and only its low 8 bits are kept.
QByteArray ioutlinkAddressBytes(const QString &ip);

// One record. The name is written in Latin-1 ("?" for other characters) and cut to 15 bytes so
// that the zero the reader stops at is always there.
QByteArray encodeIoutlinkRecord(const IoutlinkRecord &record);

// Every station's module record (its sub-module count taken from subs) followed by its
// sub-module records (address, count and scan cycle written as 0).
QByteArray encodeIoutlinkBlock(const QVector<IoutlinkStation> &stations);

// The whole records of data; a trailing part record is left out.
QVector<IoutlinkRecord> decodeIoutlinkRecords(const QByteArray &data);

// For each record, the index of the module record it belongs to, or -1 when it starts a module:
// a record joins the module before it exactly when it carries the same slot number.
QVector<int> ioutlinkOwners(const QVector<IoutlinkRecord> &records);

#endif
