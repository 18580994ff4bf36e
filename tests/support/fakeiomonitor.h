#ifndef FAKEIOMONITOR_H
#define FAKEIOMONITOR_H

#include "fakeservice.h"
#include "serialpeer.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <functional>
#include <memory>

// The process image behind a fake module's I/O monitor: input bytes the module reports, output
// bytes the tool wrote, and whether the command port switched monitoring on. Shared by the UDP
// and the serial variant; every member may be called from any thread.
class FakeIoImage
{
public:
    FakeIoImage(int inputBytes, int outputBytes);

    void setInputs(const QByteArray &inputs); // cut or zero-padded to the input size
    QByteArray inputs() const;
    QByteArray outputs() const;
    // Every output image a poll carried, in order.
    QList<QByteArray> writes() const;
    bool streamOn() const;
    int pollCount() const;
    // Runs at each tick of the service (every tickMs) with the inputs to change in place.
    void setInputChanger(std::function<void(QByteArray &inputs)> changer, int tickMs);
    int tickMs() const;
    void tick();
    // Applied to each reply before it leaves (to script odd replies); none: replies as built.
    void setReplyFilter(std::function<QByteArray(const QByteArray &reply)> filter);

    // A reply to the poll: A5, image length high byte first, inputs, outputs, [check,] 5A.
    // Empty when the poll is not one (bad head, end or length).
    QByteArray answer(const QByteArray &poll, bool serial);
    void command(const QByteArray &bytes);

private:
    mutable QMutex m_mutex;
    QByteArray m_inputs;
    QByteArray m_outputs;
    QList<QByteArray> m_writes;
    bool m_streamOn = false;
    int m_polls = 0;
    std::function<void(QByteArray &)> m_changer;
    int m_tickMs = 0;
    std::function<QByteArray(const QByteArray &)> m_filter;
};

// The module's UDP monitor port (Endpoints::current().ioMonModulePort at construction).
class FakeIoMonitor : public FakeUdpService
{
public:
    explicit FakeIoMonitor(std::shared_ptr<FakeIoImage> image);

    FakeIoImage &image() { return *m_image; }
    quint16 port() const override { return m_port; }
    void datagram(FakeUdpContext &ctx, const QByteArray &data, const QHostAddress &from, quint16 fromPort) override;
    int tickMs() const override { return m_image->tickMs(); }
    void tick(FakeUdpContext &) override { m_image->tick(); }
    void command(FakeUdpContext &, const QByteArray &bytes, const QHostAddress &) override { m_image->command(bytes); }

private:
    std::shared_ptr<FakeIoImage> m_image;
    quint16 m_port;
};

// The same module on the serial line: polls arrive as 0x44, the poll and its check.
class FakeIoMonitorSerial : public SerialPeer::Device
{
public:
    explicit FakeIoMonitorSerial(std::shared_ptr<FakeIoImage> image);

    FakeIoImage &image() { return *m_image; }
    int consume(const QByteArray &pending, QList<SerialPeer::Reply> &replies) override;
    int tickMs() const override { return m_image->tickMs(); }
    void tick(QList<SerialPeer::Reply> &) override { m_image->tick(); }

private:
    std::shared_ptr<FakeIoImage> m_image;
};

#endif
