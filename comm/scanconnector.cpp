#include "scanconnector.h"

#include "stcpsocket.h"

#include <QEventLoop>
#include <QTimer>

ScanConnector::ScanConnector(
    const QList<QHostAddress> &addresses, const QHostAddress &local, quint16 port, int connectMs, int ahead)
    : m_addresses(addresses)
    , m_local(local)
    , m_port(port)
    , m_connectMs(connectMs)
    , m_ahead(qMax(1, ahead))
    , m_attempts(size_t(addresses.size()))
{
}

ScanConnector::~ScanConnector()
{
    // Attempts not taken (a stopped scan) end here; nothing more is sent to their addresses.
    for (Attempt &a : m_attempts) {
        delete a.deadline;
        if (a.socket) {
            a.socket->abort();
            delete a.socket;
        }
    }
}

void ScanConnector::setStopCheck(std::function<bool()> stop, int pollMs)
{
    m_stop = std::move(stop);
    m_stopPollMs = qMax(1, pollMs);
}

void ScanConnector::start(int index)
{
    Attempt &a = m_attempts[size_t(index)];
    const QHostAddress address = m_addresses.at(index);
    if (address.isNull()) {
        a.status = Status::Failed;
        return;
    }
    a.status = Status::Pending;
    a.socket = new sTcpSocket;
    // Bound before every connection, as the one-at-a-time scan did.
    if (!m_local.isNull())
        a.socket->bind(m_local, 0);
    connect(a.socket, &QAbstractSocket::connected, this, [this, index] { resolve(index, true); });
    connect(a.socket, &QAbstractSocket::errorOccurred, this, [this, index] { resolve(index, false); });
    a.deadline = new QTimer;
    a.deadline->setSingleShot(true);
    a.deadline->setTimerType(Qt::PreciseTimer);
    connect(a.deadline, &QTimer::timeout, this, [this, index] {
        // A connection the system completed in time but whose notice is still queued counts.
        sTcpSocket *socket = m_attempts[size_t(index)].socket;
        resolve(index, socket && socket->waitForConnected(0));
    });
    a.socket->connectToHost(address, m_port, QIODevice::ReadWrite);
    a.socket->state = sTcpSocket::WAIT_VERSION;
    a.deadline->start(m_connectMs);
}

void ScanConnector::resolve(int index, bool connected)
{
    Attempt &a = m_attempts[size_t(index)];
    if (a.status != Status::Pending)
        return;
    a.status = connected ? Status::Connected : Status::Failed;
    a.deadline->stop();
    if (m_wait && m_waitIndex == index)
        m_wait->quit();
    if (!connected && a.socket) {
        a.socket->disconnect(this);
        a.socket->abort();
        a.socket->deleteLater();
        a.socket = nullptr;
    }
}

void ScanConnector::startUpTo(int end)
{
    end = qMin(end, int(m_attempts.size()));
    for (; m_next < end; ++m_next)
        start(m_next);
}

std::unique_ptr<sTcpSocket> ScanConnector::take(int index)
{
    if (index < 0 || index >= int(m_attempts.size()))
        return nullptr;
    startUpTo(index + m_ahead);
    Attempt &a = m_attempts[size_t(index)];
    if (a.status == Status::Pending) {
        // The attempt's own signal or its deadline ends the wait.
        QEventLoop loop;
        m_wait = &loop;
        m_waitIndex = index;
        QTimer poll;
        if (m_stop) {
            connect(&poll, &QTimer::timeout, &loop, [&] {
                if (m_stop())
                    loop.quit();
            });
            poll.start(m_stopPollMs);
        }
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        m_wait = nullptr;
        m_waitIndex = -1;
    }
    if (a.status == Status::Pending)
        return nullptr; // stopped while waiting; the attempt ends with the connector
    delete a.deadline;
    a.deadline = nullptr;
    std::unique_ptr<sTcpSocket> socket(a.status == Status::Connected ? a.socket : nullptr);
    if (socket)
        socket->disconnect(this);
    a.socket = nullptr;
    // The slot it held goes to the next address.
    startUpTo(index + 1 + m_ahead);
    return socket;
}
