#ifndef TOHEXSTRING_H
#define TOHEXSTRING_H

#include <QString>

// Upper-case hexadecimal digits, zero-padded, no prefix: two for a byte, four for a 16-bit value.
QString toHexString(quint8 value);
QString toHexString(quint16 value);

#endif
