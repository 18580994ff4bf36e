#ifndef SERIALLINE_H
#define SERIALLINE_H

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSerialPort>
#include <QString>

#include "seriallink.h"

class QTimer;

// The one serial port of a coupler reached over a COM port (115200 baud, 8N1, no flow control),
// shared by every page, monitor and dialog of that coupler through SerialLink handles.
//
// Who gets received bytes is decided by what they say, never by when they come:
// - a plug frame (head 0xA5, a type its user knows, the size its user's claim gives, then 0x5A
//   and a right check sum) goes to the user that claims it; when several users claim it, to the
//   one whose unanswered request asked for its command and channel, the oldest first. A whole
//   plug frame of a known type that nobody claims is dropped;
// - every other byte belongs to the one request of a user without a claim that holds the line:
//   from its write until its reply is whole by that user's rule or its wait ends. Bytes after
//   that go to the same user (a late reply, or a stream it asked for), until another such user's
//   request holds the line; that request goes out only once the line has been quiet settleMs
//   after a wait ended unanswered, so a late reply does not become the next user's;
// - with no such user, those bytes are a sign of life for the framed users (bytesHeard).
// Bytes that may still become a claimed frame wait for the rest.
//
// A blocking worker (a scan, a download) borrows the port while it is lent out: the line closes
// it, keeps what was queued and tells its users, who pause; the queue goes out when the port is
// back. Lives in the GUI thread; made and kept by SerialPortRegistry, one per device.
class SerialLine : public QObject
{
    Q_OBJECT
public:
    // Quiet after a reply that did not come in time, before another user's request goes out: a
    // reply later than its wait and this cannot be told from the next user's.
    static constexpr int settleMs = 1000;
    // Plug frames longer than this are nobody's.
    static constexpr int maxFrameBytes = 1024;

    explicit SerialLine(const QString &portName, QObject *parent = nullptr);
    ~SerialLine() override;

    QString portName() const { return m_portName; }
    // The name the port is opened by; only while no user holds the line.
    void setPortName(const QString &name) { m_portName = name; }

    // Opens the port unless it is open or lent out. False when it cannot be had: problem names
    // the port and why (missing, in use, no permission), reason is the system's own words.
    bool open(QString *problem = nullptr, QString *reason = nullptr);
    bool isOpen() const;
    bool isLentOut() const { return m_lent > 0; }

    void attach(SerialLink *link);
    // The last user gone, the port is closed and given back to the system.
    void detach(SerialLink *link);
    int userCount() const { return m_users.size(); }

    // Takes one request of link (SerialLink::write). False, with problem, when the port is gone
    // or refused.
    bool enqueue(SerialLink *link, const QByteArray &bytes, QString *problem = nullptr);
    // Whether a request of link waits in the queue or holds the line.
    bool hasPending(const SerialLink *link) const;

    // Counted: the port comes back when every lender has taken it back.
    void lendOut();
    void takeBack();

    // The text a user sees when port cannot be had or fails: the port and what is wrong with it.
    static QString portProblem(const QString &port, QSerialPort::SerialPortError error, const QString &reason);

    // What the front of the received bytes is, by what it says.
    struct Piece
    {
        enum Kind {
            // Nothing can be told yet: the bytes may still become a claimed frame.
            None,
            // Bytes no frame holds.
            Bytes,
            // A whole plug frame (its 0x5A taken away too) that claims take: their indexes.
            Frame,
            // A whole plug frame of a type the program speaks that no claim takes.
            Unclaimed,
        };
        Kind kind = None;
        QByteArray bytes;
        QList<int> claimants;
    };
    // Takes the next piece off the front of rx: a frame is one of claims' size, followed by 0x5A,
    // with a right check sum; when several claims take it, all are named.
    static Piece takePiece(QByteArray &rx, const QList<FrameClaim> &claims);

signals:
    void lentOutChanged(bool lent);

private:
    struct Exchange
    {
        QPointer<SerialLink> link;
        QByteArray bytes;
        // Its user has gone: it still goes out, and its reply to nobody.
        bool orphan = false;
    };
    void closePort();
    bool writeOut(SerialLink *link, const QByteArray &bytes, QString *problem);
    bool startTurn(SerialLink *link, const QByteArray &bytes, bool orphan, QString *problem);
    void queue(SerialLink *link, const QByteArray &bytes);
    // Milliseconds the line must stay quiet before link's request may go out; 0: now.
    int settleLeft(const SerialLink *link) const;
    void scheduleServe(int delayMs = 0);
    void serveNext();
    void endTurn(bool timedOut);
    void onReadyRead();
    void onPortError();
    void route();
    SerialLink *ownerOf(const QByteArray &frame, const QList<SerialLink *> &claimants) const;
    void giveUnclaimed(const QByteArray &bytes);
    QList<SerialLink *> framedUsers() const;

    QString m_portName;
    QSerialPort *m_port = nullptr;
    QTimer *m_turnTimer = nullptr;
    QTimer *m_serveTimer = nullptr;
    QList<Exchange> m_queue;
    QList<SerialLink *> m_users;
    QByteArray m_rx;
    // The request whose reply is awaited: a user's, or one whose user has gone.
    QPointer<SerialLink> m_holder;
    bool m_orphanTurn = false;
    // Who gets the bytes once the last turn ended.
    QPointer<SerialLink> m_last;
    // The last turn ended unanswered: others wait for quiet.
    bool m_unsettled = false;
    QElapsedTimer m_quiet;
    quint64 m_sequence = 0;
    bool m_routing = false;
    int m_lent = 0;
};

#endif
