#include "tempcurvecodec.h"

#include "bytecodec.h"

namespace {
constexpr quint8 frameHead = 0xA5;
constexpr char frameEnd = 0x5A;
constexpr int sampleSize = 5;
} // namespace

QByteArray buildTempCurveRequest(const QList<TempCurveChoice> &curves)
{
    ByteWriter w(2 + 4 * curves.size());
    w.u8(frameHead);
    for (const TempCurveChoice &c : curves)
        w.u8(quint8(c.curve)).u8(c.channel).u8(c.kind).u8(0);
    w.u8(quint8(frameEnd));
    return w.data();
}

QByteArray tempCurveStreamCommand(int periodIndex, bool on)
{
    ByteWriter w(3);
    w.u8('T').u8(quint8(periodIndex)).u8(on ? 1 : 0);
    return w.data();
}

QList<QByteArray> cutTempCurveFrames(QByteArray &buffer)
{
    QList<QByteArray> frames;
    int from = 0;
    for (int end = buffer.indexOf(frameEnd); end >= 0; end = buffer.indexOf(frameEnd, from)) {
        frames.append(buffer.mid(from, end - from));
        from = end + 1;
    }
    buffer.remove(0, from);
    return frames;
}

TempCurveReply parseTempCurveReply(const QByteArray &frame, const QList<quint16> &curves)
{
    TempCurveReply reply;
    // A piece cut off by a 0x5A inside a value may be shorter than its head.
    if (frame.size() < 2)
        return reply;
    ByteReader r(frame);
    if (r.u8() != frameHead)
        return reply;
    const int count = r.s8();
    if (count != curves.size() || r.remaining() < sampleSize * count)
        return reply;
    reply.taken = true;
    for (int k = 0; k < count; ++k) {
        const quint8 curve = r.u8();
        const qint32 tenths = r.s32le();
        if (curve == curves.at(k))
            reply.samples.append({ curves.at(k), tenths / 10.0 });
    }
    return reply;
}
