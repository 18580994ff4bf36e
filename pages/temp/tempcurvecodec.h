#ifndef TEMPCURVECODEC_H
#define TEMPCURVECODEC_H

#include <QByteArray>
#include <QList>
#include <QVector>
#include <QtGlobal>

// One curve the temperature curves window asks the module for.
struct TempCurveChoice
{
    quint16 curve = 0; // 0 .. 15
    quint8 channel = 0; // CH1 is 0
    quint8 kind = 0; // 1 PV, 2 SV, 3 output
};

// The request sent every period: A5, four bytes per curve (curve, channel, kind, 0), 5A.
QByteArray buildTempCurveRequest(const QList<TempCurveChoice> &curves);

// The stream switch on the command port: 'T', the period index, 1 on or 0 off.
QByteArray tempCurveStreamCommand(int periodIndex, bool on);

// Takes every frame ended by 0x5A off the front of buffer (without the 0x5A); the bytes after
// the last 0x5A stay for the next datagram.
QList<QByteArray> cutTempCurveFrames(QByteArray &buffer);

struct TempCurveSample
{
    quint16 curve = 0;
    double value = 0;
};

struct TempCurveReply
{
    bool taken = false; // head, count and length fit the curves asked for
    QVector<TempCurveSample> samples;
};

// One frame: A5, count, then per sample its curve and a signed 32-bit little-endian value in
// tenths. Taken only when the count equals the number of curves asked for and every sample is
// there; a sample whose curve is not the one asked for at its position is skipped.
TempCurveReply parseTempCurveReply(const QByteArray &frame, const QList<quint16> &curves);

#endif
