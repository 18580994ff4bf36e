#ifndef TOHEXSTRING_H
#define TOHEXSTRING_H

#include <QByteArray>
#include <QString>

// Upper-case hexadecimal digits, zero-padded, no prefix: two for a byte, four for a 16-bit value.
QString toHexString(quint8 value);
QString toHexString(quint16 value);
// The bytes as pairs of upper-case digits joined by single spaces ("01 0A FF"); empty for none.
QString toHexPairs(const QByteArray &bytes);

#endif
