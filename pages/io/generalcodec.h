#ifndef GENERALCODEC_H
#define GENERALCODEC_H

#include <QByteArray>
#include <QString>
#include <QVector>

// One parameter of the "General" page as it travels: its wire type and value. min tells
// whether a one-byte "signed8" value may be negative.
struct GeneralField
{
    QString dataType;
    int value = 0;
    int min = 0;
};

// Bytes a wire type takes: 1, 2 or 4; 0 for a type the page does not send.
int generalTypeWidth(const QString &dataType);

// value as the type's bytes, big-endian; empty for an unknown type.
QByteArray encodeGeneralValue(const QString &dataType, int value);

struct GeneralDecoded
{
    int value = 0;
    int width = 0; // bytes the type stands for; 0 = unknown type, value not read
};

// Reads the type's bytes at pos; bytes past the end of data read as 0. A "signed8" value is
// sign-extended only when its parameter allows negative values (min < 0).
GeneralDecoded decodeGeneralValue(const QString &dataType, const QByteArray &data, int pos, int min = 0);

// The page's parameter block: every field's bytes in order, no gaps or header.
QByteArray encodeGeneralBlock(const QVector<GeneralField> &fields);

// Reads the block from the front of data into the fields' values (unknown types keep theirs)
// and returns the bytes the block stands for, even when data is shorter.
int decodeGeneralBlock(QVector<GeneralField> &fields, const QByteArray &data);

#endif
