#include "fakeiomonitor.h"

#include "endpoints.h"
#include "iomonitorcodec.h"

FakeIoImage::FakeIoImage(int inputBytes, int outputBytes)
    : m_inputs(qMax(0, inputBytes), '\0')
    , m_outputs(qMax(0, outputBytes), '\0')
{
}

void FakeIoImage::setInputs(const QByteArray &inputs)
{
    QMutexLocker lock(&m_mutex);
    const int size = m_inputs.size();
    m_inputs = inputs.left(size);
    m_inputs.append(QByteArray(size - m_inputs.size(), '\0'));
}

QByteArray FakeIoImage::inputs() const
{
    QMutexLocker lock(&m_mutex);
    return m_inputs;
}

QByteArray FakeIoImage::outputs() const
{
    QMutexLocker lock(&m_mutex);
    return m_outputs;
}

QList<QByteArray> FakeIoImage::writes() const
{
    QMutexLocker lock(&m_mutex);
    return m_writes;
}

bool FakeIoImage::streamOn() const
{
    QMutexLocker lock(&m_mutex);
    return m_streamOn;
}

int FakeIoImage::pollCount() const
{
    QMutexLocker lock(&m_mutex);
    return m_polls;
}

void FakeIoImage::setInputChanger(std::function<void(QByteArray &)> changer, int tickMs)
{
    QMutexLocker lock(&m_mutex);
    m_changer = std::move(changer);
    m_tickMs = tickMs;
}

int FakeIoImage::tickMs() const
{
    QMutexLocker lock(&m_mutex);
    return m_tickMs;
}

void FakeIoImage::tick()
{
    QMutexLocker lock(&m_mutex);
    if (m_changer) {
        const int size = m_inputs.size();
        m_changer(m_inputs);
        m_inputs = m_inputs.left(size);
        m_inputs.append(QByteArray(size - m_inputs.size(), '\0'));
    }
}

void FakeIoImage::setReplyFilter(std::function<QByteArray(const QByteArray &)> filter)
{
    QMutexLocker lock(&m_mutex);
    m_filter = std::move(filter);
}

void FakeIoImage::command(const QByteArray &bytes)
{
    if (bytes.size() < 3 || bytes.at(0) != 'D')
        return;
    QMutexLocker lock(&m_mutex);
    m_streamOn = bytes.at(2) != 0;
}

QByteArray FakeIoImage::answer(const QByteArray &poll, bool serial)
{
    if (poll.size() < 4 || quint8(poll.at(0)) != 0xA5 || quint8(poll.back()) != 0x5A)
        return QByteArray();
    const int length = (quint8(poll.at(1)) << 8) | quint8(poll.at(2));
    if (poll.size() != 4 + length)
        return QByteArray();
    QMutexLocker lock(&m_mutex);
    ++m_polls;
    if (length > 0) {
        const QByteArray data = poll.mid(3, length);
        m_writes.append(data);
        m_outputs = data.left(m_outputs.size()) + m_outputs.mid(data.size());
    }
    const QByteArray image = m_inputs + m_outputs;
    QByteArray reply;
    reply.append(char(0xA5));
    reply.append(char((image.size() >> 8) & 0xFF));
    reply.append(char(image.size() & 0xFF));
    reply.append(image);
    if (serial) {
        const quint16 check = ioCheckSum(reply);
        reply.append(char(check >> 8));
        reply.append(char(check & 0xFF));
    }
    reply.append(char(0x5A));
    return m_filter ? m_filter(reply) : reply;
}

FakeIoMonitor::FakeIoMonitor(std::shared_ptr<FakeIoImage> image)
    : m_image(std::move(image))
    , m_port(Endpoints::current().ioMonModulePort)
{
}

void FakeIoMonitor::datagram(FakeUdpContext &ctx, const QByteArray &data, const QHostAddress &from, quint16 fromPort)
{
    const QByteArray reply = m_image->answer(data, false);
    if (!reply.isEmpty())
        ctx.reply(reply, from, fromPort);
}

FakeIoMonitorSerial::FakeIoMonitorSerial(std::shared_ptr<FakeIoImage> image)
    : m_image(std::move(image))
{
}

int FakeIoMonitorSerial::consume(const QByteArray &pending, QList<SerialPeer::Reply> &replies)
{
    if (pending.isEmpty() || pending.at(0) != 0x44)
        return notMine;
    if (pending.size() >= 2 && quint8(pending.at(1)) != 0xA5)
        return notMine;
    if (pending.size() < 4)
        return needMore;
    const int length = (quint8(pending.at(2)) << 8) | quint8(pending.at(3));
    const int whole = 1 + 3 + length + 1 + 2;
    if (pending.size() < whole)
        return needMore;
    const QByteArray framed = pending.left(whole);
    const QByteArray body = framed.left(whole - 2);
    const quint16 check = (quint8(framed.at(whole - 2)) << 8) | quint8(framed.at(whole - 1));
    if (check != ioCheckSum(body))
        return whole; // a module drops a poll whose check fails
    const QByteArray reply = m_image->answer(body.mid(1), true);
    if (!reply.isEmpty())
        replies.append(SerialPeer::now(reply));
    return whole;
}
