#include "fakecommmonitor.h"

#include "endpoints.h"

void FakeCommLog::queue(const QList<QByteArray> &messages)
{
    QMutexLocker lock(&m_mutex);
    m_queued.append(messages);
}

QList<QByteArray> FakeCommLog::takeQueued()
{
    QMutexLocker lock(&m_mutex);
    QList<QByteArray> out;
    out.swap(m_queued);
    return out;
}

void FakeCommLog::countKeepAlive()
{
    QMutexLocker lock(&m_mutex);
    ++m_keepAlives;
}

int FakeCommLog::keepAlives() const
{
    QMutexLocker lock(&m_mutex);
    return m_keepAlives;
}

FakeCommMonitor::FakeCommMonitor()
    : m_port(Endpoints::current().modbusMonModulePort)
{
}

void FakeCommMonitor::datagram(FakeUdpContext &ctx, const QByteArray &data, const QHostAddress &from, quint16 fromPort)
{
    if (data != "IAMOK")
        return;
    m_log.countKeepAlive();
    for (const QByteArray &message : m_log.takeQueued())
        ctx.reply(message, from, fromPort);
}

int FakeCommMonitorSerial::consume(const QByteArray &pending, QList<SerialPeer::Reply> &replies)
{
    static const QByteArray keepAlive("M\r\n");
    if (!keepAlive.startsWith(pending.left(keepAlive.size())))
        return notMine;
    if (pending.size() < keepAlive.size())
        return needMore;
    m_log.countKeepAlive();
    QByteArray stream;
    for (const QByteArray &message : m_log.takeQueued())
        stream += message + '#';
    if (!stream.isEmpty())
        replies.append(SerialPeer::now(stream));
    return keepAlive.size();
}
