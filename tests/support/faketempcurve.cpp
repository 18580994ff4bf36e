#include "faketempcurve.h"

#include "bytecodec.h"
#include "endpoints.h"

FakeTempCurve::FakeTempCurve()
    : m_port(Endpoints::current().tempModulePort)
{
}

void FakeTempCurve::setValue(int channel, int kind, qint32 tenths)
{
    QMutexLocker lock(&mutex);
    m_values.insert(qMakePair(channel, kind), tenths);
}

qint32 FakeTempCurve::value(int channel, int kind) const
{
    QMutexLocker lock(&mutex);
    return m_values.value(qMakePair(channel, kind), (channel + 1) * 100 + kind * 10);
}

void FakeTempCurve::setReplyFilter(std::function<QByteArray(const QByteArray &)> filter)
{
    QMutexLocker lock(&mutex);
    m_filter = std::move(filter);
}

QList<QByteArray> FakeTempCurve::streamCommands() const
{
    QMutexLocker lock(&mutex);
    return m_streamCommands;
}

bool FakeTempCurve::streamOn() const
{
    QMutexLocker lock(&mutex);
    return m_streamOn;
}

int FakeTempCurve::requestCount() const
{
    QMutexLocker lock(&mutex);
    return m_requests;
}

void FakeTempCurve::datagram(FakeUdpContext &ctx, const QByteArray &data, const QHostAddress &from, quint16 fromPort)
{
    if (data.size() < 2 || (data.size() - 2) % 4 != 0 || quint8(data.at(0)) != 0xA5 || quint8(data.back()) != 0x5A)
        return;
    const int count = (data.size() - 2) / 4;
    ByteReader r(data, 1);
    ByteWriter w;
    w.u8(0xA5).u8(quint8(count));
    for (int k = 0; k < count; ++k) {
        const quint8 curve = r.u8();
        const quint8 channel = r.u8();
        const quint8 kind = r.u8();
        r.skip(1);
        w.u8(curve).s32le(value(channel, kind));
    }
    w.u8(0x5A);
    std::function<QByteArray(const QByteArray &)> filter;
    {
        QMutexLocker lock(&mutex);
        ++m_requests;
        filter = m_filter;
    }
    const QByteArray answer = filter ? filter(w.data()) : w.data();
    if (!answer.isEmpty())
        ctx.reply(answer, from, fromPort);
}

void FakeTempCurve::command(FakeUdpContext &, const QByteArray &bytes, const QHostAddress &)
{
    if (bytes.size() < 3 || bytes.at(0) != 'T')
        return;
    QMutexLocker lock(&mutex);
    m_streamCommands.append(bytes);
    m_streamOn = bytes.at(2) != 0;
}
