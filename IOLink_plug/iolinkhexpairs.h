#ifndef IOLINKHEXPAIRS_H
#define IOLINKHEXPAIRS_H

#include <QByteArray>
#include <QString>

// IO-Link data bytes as the user types and reads them: pairs of hexadecimal digits separated by
// single spaces ("01 0A FF").

// True when text, without white space at both ends, is one or more pairs joined by single spaces.
bool isHexPairText(const QString &text);
// The bytes of a hex-pair text (white space at both ends ignored); call isHexPairText first.
QByteArray hexPairBytes(const QString &text);
// How many pairs text holds when split at spaces, empty parts skipped.
int hexPairCount(const QString &text);
// bytes as upper-case pairs joined by single spaces; empty for no bytes.
QString hexPairText(const QByteArray &bytes);

#endif
