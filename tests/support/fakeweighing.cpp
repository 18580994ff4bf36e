#include "fakeweighing.h"

#include "bytecodec.h"
#include "plugframe.h"
#include "plugrequest.h"

void FakeWeighing::setGross(int channel, qint32 tenths)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_channels[channel & 1].gross = tenths;
}

void FakeWeighing::setResult(quint8 result)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_result = result;
}

void FakeWeighing::setRawValues(quint32 first, quint32 second)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_raw[0] = first;
    m_raw[1] = second;
}

void FakeWeighing::setRawSwing(quint32 swing)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_rawSwing = swing;
}

namespace {
// centre moved along a triangle between centre - swing and centre + swing, one step per answer,
// held inside the 32 bits instead of wrapping round.
quint32 rawReading(quint32 centre, quint32 swing, quint64 step)
{
    if (swing == 0)
        return centre;
    const qint64 s = swing;
    const qint64 t = qint64(step % quint64(4 * s));
    const qint64 offset = t < 2 * s ? t - s : 3 * s - t;
    return quint32(qBound<qint64>(0, qint64(centre) + offset, qint64(0xFFFFFFFFu)));
}
}

QList<FakeWeighing::Request> FakeWeighing::requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

qint32 FakeWeighing::tare(int channel) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_channels[channel & 1].tare;
}

int FakeWeighing::filter(int channel) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_channels[channel & 1].filter;
}

int FakeWeighing::unit(int channel) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_channels[channel & 1].unit;
}

int FakeWeighing::consume(const QByteArray &pending, QList<SerialPeer::Reply> &replies)
{
    PlugRequest request;
    const int total = takePlugRequest(pending, PlugFrame::typeWeigh, 64, request);
    if (total <= 0)
        return total;
    const int command = request.command;
    const QByteArray payload = request.payload;
    const int channel = payload.isEmpty() ? 0 : quint8(payload.at(0)) & 1;

    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.append({ command, payload });
    Channel &ch = m_channels[channel];
    QByteArray answer;
    switch (command) {
    case 0x00: // weights
        answer = ByteWriter().u8(quint8(channel)).s32be(ch.gross).s32be(ch.tare).s32be(ch.gross - ch.tare).data();
        break;
    case 0x10: // tare: 1 takes the gross as tare, 0 clears it
        if (payload.size() >= 2)
            ch.tare = payload.at(1) ? ch.gross : 0;
        answer = ByteWriter().u8(quint8(channel)).u8(m_result).data();
        break;
    case 0x30: // filter and unit
        if (payload.size() >= 3) {
            ch.filter = quint8(payload.at(1));
            ch.unit = quint8(payload.at(2));
        }
        answer = ByteWriter().u8(quint8(channel)).u8(m_result).data();
        break;
    case 0x20:
    case 0x40:
    case 0x50:
    case 0x60:
    case 0x61:
    case 0x62:
    case 0x63:
    case 0x64:
        answer = ByteWriter().u8(quint8(channel)).u8(m_result).data();
        break;
    case 0x80: // raw values of both channels, no channel byte
        // The second channel a quarter turn behind the first.
        answer = ByteWriter()
                     .u32be(rawReading(m_raw[0], m_rawSwing, m_rawAnswers))
                     .u32be(rawReading(m_raw[1], m_rawSwing, m_rawAnswers + m_rawSwing))
                     .data();
        ++m_rawAnswers;
        break;
    case 0x81:
    case 0x8F:
        answer = ByteWriter().u8(m_result).data();
        break;
    default:
        return total;
    }
    replies.append(SerialPeer::now(PlugFrame::build(PlugFrame::typeWeigh, command, answer) + char(PlugFrame::split)));
    return total;
}
