#ifndef FAKECOMMMONITOR_H
#define FAKECOMMMONITOR_H

#include "fakeservice.h"
#include "serialpeer.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <memory>

// The messages a fake gateway has to tell about its Modbus traffic, and the keep-alives it
// heard. Shared by the UDP and the serial variant; every member may be called from any thread.
class FakeCommLog
{
public:
    // Queued; they go out in answer to the next keep-alive.
    void queue(const QList<QByteArray> &messages);
    QList<QByteArray> takeQueued();
    void countKeepAlive();
    int keepAlives() const;

private:
    mutable QMutex m_mutex;
    QList<QByteArray> m_queued;
    int m_keepAlives = 0;
};

// The module's communication monitor port (Endpoints::current().modbusMonModulePort at
// construction): each "IAMOK" is a keep-alive, answered by one datagram per queued message.
class FakeCommMonitor : public FakeUdpService
{
public:
    FakeCommMonitor();

    FakeCommLog &log() { return m_log; }
    quint16 port() const override { return m_port; }
    void datagram(FakeUdpContext &ctx, const QByteArray &data, const QHostAddress &from, quint16 fromPort) override;

private:
    FakeCommLog m_log;
    quint16 m_port;
};

// The same module on the serial line: "M\r\n" is the keep-alive, answered by the queued
// messages, each ended by "#", as one stream.
class FakeCommMonitorSerial : public SerialPeer::Device
{
public:
    FakeCommLog &log() { return m_log; }
    int consume(const QByteArray &pending, QList<SerialPeer::Reply> &replies) override;

private:
    FakeCommLog m_log;
};

#endif
