#ifndef FAKESERVICE_H
#define FAKESERVICE_H

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QMutex>
#include <functional>

// How a fake service misbehaves on the way out. Each service keeps its own.
struct FakeMisbehaviour
{
    bool silent = false; // receives and records, never answers
    int delayMs = 0; // every answer comes this much later
    int splitAt = 0; // > 0: each answer goes out in two pieces split after this many bytes
    int gapMs = 0; // pause between the pieces of a split answer
    int dropEvery = 0; // > 0: every n-th answer is not sent
    bool backToBack = false; // answers queued within one tick go out together, no gap
    // > 0: each answer comes a further 0..jitterMs later, drawn from seed, and may overtake the
    // answers before it (never inside one another).
    int jitterMs = 0;
    unsigned seed = 1;
};

// What a service may do on its socket; given to it in the fake's thread.
class FakeUdpContext
{
public:
    virtual ~FakeUdpContext() = default;
    // Sends an answer, applying the service's misbehaviour.
    virtual void reply(const QByteArray &data, const QHostAddress &to, quint16 port) = 0;
    // Sends at once, misbehaviour aside.
    virtual void sendRaw(const QByteArray &data, const QHostAddress &to, quint16 port) = 0;
    // The fake module's own address.
    virtual QHostAddress moduleAddress() const = 0;
};

// One UDP port of a fake module (I/O monitor, communication monitor, temperature, factory tool
// and the like). It runs in the fake module's thread; its setters and records are called from
// the test's thread, so a service guards its own state with its mutex.
class FakeUdpService
{
public:
    virtual ~FakeUdpService() = default;

    // The module-side port to bind (usually from Endpoints::current()).
    virtual quint16 port() const = 0;
    // Also receive broadcasts (binds an extra socket to any address on the same port).
    virtual bool wantsBroadcast() const { return false; }
    virtual void datagram(FakeUdpContext &ctx, const QByteArray &data, const QHostAddress &from, quint16 fromPort) = 0;
    // > 0: tick() runs at this period while the module runs (streams, changing inputs).
    virtual int tickMs() const { return 0; }
    virtual void tick(FakeUdpContext &) { }
    // A command arrived on the command port (streams switched on or off there).
    virtual void command(FakeUdpContext &, const QByteArray &, const QHostAddress &) { }

    void setMisbehaviour(const FakeMisbehaviour &m)
    {
        QMutexLocker lock(&mutex);
        misbehaviour = m;
    }
    FakeMisbehaviour currentMisbehaviour() const
    {
        QMutexLocker lock(&mutex);
        return misbehaviour;
    }
    // Every datagram received, in order (recorded by the fake module before datagram() runs).
    QList<QByteArray> received() const
    {
        QMutexLocker lock(&mutex);
        return receivedDatagrams;
    }
    void clearReceived()
    {
        QMutexLocker lock(&mutex);
        receivedDatagrams.clear();
    }

protected:
    friend class FakeServiceSocket; // records each datagram before datagram() runs
    mutable QMutex mutex;
    FakeMisbehaviour misbehaviour;
    QList<QByteArray> receivedDatagrams;
};

#endif
