#ifndef MODBUSMONITORCODEC_H
#define MODBUSMONITORCODEC_H

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>

// The messages a gateway streams about its Modbus traffic: over UDP one datagram each, over the
// serial line each ended by "#".

// Takes every message ended by "#" off the front of buffer (empty ones included, the "#" left
// out); the bytes after the last "#" stay in buffer.
QList<QByteArray> cutMonitorMessages(QByteArray &buffer);

// The shown text: the bytes up to the first zero byte, as UTF-8.
QString monitorMessageText(const QByteArray &message);

// The colour of a message by the first keyword it holds: "Rx", "Tx", "Err", "Disable"; black
// (and not a keyword kind) for none.
QColor monitorMessageColor(const QByteArray &message, bool *keyword = nullptr);

// The slot number a message names: the number after its first "=" that is followed by a digit.
// False when it names none.
bool monitorSlotNumber(const QString &text, uint *slot);

// True when the filter (slot numbers separated by ",", as typed) hides the message's slot.
bool monitorFilterHides(const QString &filter, const QString &text);

#endif
