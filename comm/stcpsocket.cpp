#include "stcpsocket.h"

#include "delay.h"

#include <QDebug>

namespace {

const char *markerFor(sTcpSocket::INFOType state)
{
    switch (state) {
    case sTcpSocket::WAIT_VERSION:
        return "Software version";
    case sTcpSocket::WAIT_INFO:
    case sTcpSocket::WAIT_PRM:
        return "end";
    case sTcpSocket::WAIT_RESET:
        return "RESET your system, to start new firmware";
    default:
        return nullptr;
    }
}

void logDropped(const QByteArray &chunk, sTcpSocket::INFOType state, const char *why)
{
    qDebug().noquote() << QStringLiteral("warning: command channel dropped %1 bytes in state %2 (%3): %4")
                              .arg(chunk.size())
                              .arg(int(state))
                              .arg(QLatin1String(why))
                              .arg(QString::fromLatin1(chunk.left(48).toHex(' ')));
}

} // namespace

sTcpSocket::sTcpSocket()
    : QTcpSocket(nullptr)
{
    connect(this, &QIODevice::readyRead, this, &sTcpSocket::onRead);
}

sTcpSocket::~sTcpSocket()
{
    disconnect(this, &QIODevice::readyRead, this, &sTcpSocket::onRead);
    reply.clear();
}

void sTcpSocket::onRead()
{
    const QByteArray chunk = readAll();
    if (!chunk.isEmpty())
        ++chunksRead;
    if (rawReader)
        rawReader(chunk);
    else
        handleChunk(chunk);
}

void sTcpSocket::handleChunk(const QByteArray &chunk)
{
    if (chunk.isEmpty())
        return;
    if ((state & 1) || state > WAIT_RESET) {
        logDropped(chunk, state, "no reply awaited");
        return;
    }
    if (state == WAIT_ACK) {
        state = ACK_OK;
        return;
    }
    // A marker at the very first byte does not count: the module always puts something before it.
    if (chunk.indexOf(markerFor(state)) <= 0) {
        logDropped(chunk, state, "no marker after the first byte");
        return;
    }
    if (state != WAIT_VERSION)
        reply = chunk;
    state = INFOType(state + 1);
}

void sTcpSocket::takeStale()
{
    // waitForReadyRead(0) takes what the system holds for the socket and hands it to onRead().
    // Bounded, for a module that never stops sending.
    for (int round = 0; round < 16; ++round) {
        if (bytesAvailable() > 0)
            onRead();
        else if (connectionState() != ConnectedState || !waitForReadyRead(0))
            break;
    }
}

bool sTcpSocket::settle(int quietPolls)
{
    quint64 seen = chunksRead;
    int quiet = 0;
    return waitUntil([this, &seen, &quiet, quietPolls] {
        if (chunksRead != seen) {
            seen = chunksRead;
            quiet = 0;
            return false;
        }
        return ++quiet >= quietPolls;
    });
}

bool sTcpSocket::waitread(INFOType newstate)
{
    if (state == newstate)
        return true;
    return waitreadAfterDelay(newstate);
}

bool sTcpSocket::waitreadAfterDelay(INFOType newstate)
{
    return waitUntil([this, newstate] { return state == newstate; });
}

bool sTcpSocket::waitUntil(const std::function<bool()> &done)
{
    for (int round = 1; round <= pollCount; ++round) {
        delay(pollInterval);
        if (round == pollCount)
            return false;
        if (done())
            return true;
        if (stopRequested && stopRequested())
            return false;
        // No chunk can arrive any more on a link the module has closed or reset.
        if (connectionState() == UnconnectedState && error() == RemoteHostClosedError && bytesAvailable() == 0)
            return false;
    }
    return false;
}
