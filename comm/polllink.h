#ifndef POLLLINK_H
#define POLLLINK_H

#include "seriallink.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

class QTimer;
class QUdpSocket;

// A periodic exchange with one module: every period it sends the frame the page builds, cuts
// replies with the page's cutter, and counts the polls left unanswered. The page gives the rule:
// what answers a poll, how many may go unanswered, and whether the opening poll counts; past that
// it reports the link lost and stops. Over UDP it sends to the module's port from a local port and
// accepts datagrams only from the module's address; over the serial link it takes turns with the
// coupler's other users of the shared line; polls that cannot go out because the port is gone or
// taken count as unanswered (problem() says why), those while a scan or a download has borrowed
// the port do not; with no transport nothing is sent or heard, so the link is lost as a silent
// module's would be. Where asked it switches the module's
// stream on (and off) with a command on the command port first, without blocking the GUI thread.
class PollLink : public QObject
{
    Q_OBJECT
public:
    enum Transport { Udp, Serial, NoTransport };

    struct Settings
    {
        Transport transport = Udp;
        QString address; // module IPv4 text (Udp, and the stream switch)
        quint16 localPort = 0; // our UDP port (from Endpoints)
        quint16 modulePort = 0; // the module's UDP port (from Endpoints)
        QString portName; // serial port name or device path (Serial)
        int periodMs = 200;
        // The link is lost once more than missLimit polls in a row are unanswered: by default at
        // the tick after the poll that went over, which then sends nothing; with lostAtPoll right
        // after that poll. Ticks whose frame is empty count as polls too.
        int missLimit = 9;
        bool lostAtPoll = false;
        // What answers the polls: any bytes from the module, or only a whole frame of the cutter.
        bool anyBytesAnswer = false;
        // The link polls once as it opens; whether that poll counts among the unanswered ones.
        bool pollAtOpen = false;
        bool openingPollCounts = false;
        QByteArray streamOn; // sent on the command port before polling starts; empty: none
        QByteArray streamOff; // sent on the command port when polling stops; empty: none
        int maxBuffer = SerialLink::defaultMaxBuffer;
    };

    // The frame to send on a tick; an empty one sends nothing that tick (misses still count).
    using PollBuilder = std::function<QByteArray()>;

    explicit PollLink(QObject *parent = nullptr);
    ~PollLink() override;

    void setPollBuilder(PollBuilder builder);
    // Without a cutter each datagram (or serial read) is one frame.
    void setCutter(FrameCutter cutter);

    // Opens the transport and starts polling; false, with errorString(), when the socket cannot be
    // bound or the port cannot be had. Safe to call while running (restarts).
    bool start(const Settings &settings);
    // Safe from any state, more than once, and from a destructor.
    void stop();
    bool isRunning() const;
    QString errorString() const { return m_error; }
    // Why the transport failed since the module was last heard (the port gone, refused); empty
    // when it is only silent.
    QString problem() const { return m_problem; }
    const Settings &settings() const { return m_settings; }

    // The command that switches the stream off when polling stops, for a stream whose off
    // command depends on choices made while it runs.
    void setStreamOff(const QByteArray &command) { m_settings.streamOff = command; }

    // Sends one extra frame (an output write) through the open transport; false when closed.
    bool send(const QByteArray &frame);

signals:
    void frameReceived(const QByteArray &frame);
    // Too many ticks without a reply, or the transport failed; polling has stopped.
    void linkLost();
    // The transport failed for a new reason (problem()), said once until the module is heard.
    void problemFound(const QString &text);

private:
    static void switchStream(const QString &ip, const QByteArray &command);
    void tick();
    // Sends the next frame; a counted poll may be the one that loses the link.
    void poll(bool counted);
    void lose();
    void onUdpReadyRead();
    // One datagram or serial read from the module.
    void onData(const QByteArray &data);
    void onFrame(const QByteArray &frame);
    void setProblem(const QString &text);

    Settings m_settings;
    PollBuilder m_builder;
    FrameCutter m_cutter;
    QTimer *m_timer = nullptr;
    QUdpSocket *m_udp = nullptr;
    SerialLink *m_serial = nullptr;
    QByteArray m_buffer;
    QString m_error;
    QString m_problem;
    int m_unanswered = 0;
};

#endif
