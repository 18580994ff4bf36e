#ifndef SERIALPEER_H
#define SERIALPEER_H

#include <QByteArray>
#include <QList>
#include <QString>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <random>
#include <thread>

#include "fakeservice.h"

// The device end of a pseudo-terminal pair: the code under test opens portName() like a COM
// port, the peer answers like a module. It runs on a thread of its own, so it answers while
// the serial worker blocks the test's thread.
//
// Requests are matched against the bytes received and not yet consumed: the first rule (in the
// order added) whose request starts those bytes consumes them and answers. While the bytes are
// still the beginning of some rule's request the peer waits for more; bytes no rule can match
// are dropped one at a time, unanswered. Everything received is recorded either way.
//
// A stateful device on the line (an IO-Link master, a weighing module) is a Device: after the
// rules, each device in the order added is shown the unconsumed bytes and takes what it
// understands, so adding a serial device is adding a class, not editing a switch.
class SerialPeer
{
public:
    struct Reply
    {
        QList<QByteArray> parts; // written one after the other; none: stay silent
        int delayMs = 0; // before the first part (answer late)
        int gapMs = 0; // between parts (split replies)
        int repeatMs = 0; // > 0: keep sending the last part at this period (keep talking)
    };

    class Device
    {
    public:
        static constexpr int notMine = -1;
        static constexpr int needMore = 0;

        virtual ~Device() = default;
        // Runs in the peer's thread with the peer locked: keep it short and do not call the peer.
        // Returns how many leading bytes of pending it took (> 0) and appends its answers to
        // replies; needMore while pending begins a request it understands; notMine otherwise.
        virtual int consume(const QByteArray &pending, QList<Reply> &replies) = 0;
        // > 0: tick() runs at this period, for a device that talks unasked.
        virtual int tickMs() const { return 0; }
        virtual void tick(QList<Reply> &) { }

        // Applied to every answer on its way out: silent, late (delayMs), split (splitAt,
        // gapMs), dropped (dropEvery), back to back (all parts and answers in one write).
        void setMisbehaviour(const FakeMisbehaviour &m)
        {
            std::lock_guard<std::mutex> lock(m_deviceMutex);
            m_misbehaviour = m;
            m_random.seed(m.seed);
        }
        FakeMisbehaviour misbehaviour() const
        {
            std::lock_guard<std::mutex> lock(m_deviceMutex);
            return m_misbehaviour;
        }

    private:
        friend class SerialPeer;
        mutable std::mutex m_deviceMutex;
        FakeMisbehaviour m_misbehaviour;
        int m_answers = 0;
        std::minstd_rand m_random;
        qint64 m_nextTickMs = 0;
        qint64 m_busyUntilMs = 0;
    };
    static Reply now(const QByteArray &bytes);
    static Reply late(const QByteArray &bytes, int delayMs);
    static Reply split(const QList<QByteArray> &parts, int gapMs);
    static Reply silent();
    static Reply talking(const QByteArray &chunk, int periodMs);

    SerialPeer();
    ~SerialPeer();
    SerialPeer(const SerialPeer &) = delete;
    SerialPeer &operator=(const SerialPeer &) = delete;

    // False when no pseudo-terminal could be made.
    bool isOpen() const { return m_master >= 0; }
    // The device path the code under test opens.
    QString portName() const { return m_slaveName; }

    // times < 0: the rule answers every time; otherwise it is used that often, then dropped.
    void addReply(const QByteArray &request, const Reply &reply, int times = -1);
    void addReply(const QByteArray &request, const QByteArray &reply, int times = -1);
    void addSilence(const QByteArray &request, int times = -1);
    void clearReplies();
    // Adds a stateful device (see Device); it answers from the next bytes on.
    void addDevice(std::shared_ptr<Device> device);

    // Sends bytes at once, unasked.
    void send(const QByteArray &bytes);
    // While paused the peer reads nothing, so the port's output backs up like a stalled link.
    void setReadingPaused(bool paused);
    // Waits until bytes sent to the port wait there to be read (useful before the port opens).
    bool waitForPortInput(int timeoutMs = 5000) const;
    // Ends every repeating reply and drops answers not yet sent.
    void stopTalking();

    // Every byte received so far.
    QByteArray received() const;
    void clearReceived();
    // The requests that rules and devices consumed, in order.
    QList<QByteArray> requests() const;
    // Waits until at least count bytes have been received.
    bool waitForReceived(int count, int timeoutMs = 5000) const;

private:
    struct Rule
    {
        QByteArray request;
        Reply reply;
        int times;
    };
    struct Outgoing
    {
        qint64 dueMs;
        QByteArray bytes;
        int repeatMs;
    };

    void run();
    void wake();
    void matchLocked();
    void scheduleLocked(const Reply &reply);
    void scheduleDeviceLocked(Device &device, const QList<Reply> &replies);
    bool deviceStepLocked(bool &waiting);
    int tickDevicesLocked(qint64 now);
    static qint64 nowMs();

    int m_master = -1;
    int m_slave = -1; // kept open so the master never sees a hang-up between opens
    int m_wake[2] = { -1, -1 };
    QString m_slaveName;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_receivedCond;
    QByteArray m_received;
    QByteArray m_pending;
    QList<QByteArray> m_requests;
    QList<Rule> m_rules;
    QList<std::shared_ptr<Device>> m_devices;
    QList<Outgoing> m_outgoing;
    QByteArray m_writeBuffer;
    bool m_stop = false;
    bool m_paused = false;
    std::thread m_thread;
};

#endif
