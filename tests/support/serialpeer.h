#ifndef SERIALPEER_H
#define SERIALPEER_H

#include <QByteArray>
#include <QList>
#include <QString>
#include <condition_variable>
#include <mutex>
#include <thread>

// The device end of a pseudo-terminal pair: the code under test opens portName() like a COM
// port, the peer answers like a module. It runs on a thread of its own, so it answers while
// the serial worker blocks the test's thread.
//
// Requests are matched against the bytes received and not yet consumed: the first rule (in the
// order added) whose request starts those bytes consumes them and answers. While the bytes are
// still the beginning of some rule's request the peer waits for more; bytes no rule can match
// are dropped one at a time, unanswered. Everything received is recorded either way.
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
    // The requests that rules consumed, in order.
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
    QList<Outgoing> m_outgoing;
    QByteArray m_writeBuffer;
    bool m_stop = false;
    bool m_paused = false;
    std::thread m_thread;
};

#endif
