#ifndef SERIALLINK_H
#define SERIALLINK_H

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QWidget;
class SerialLine;

// Takes every whole frame off the front of buffer and returns them in order; bytes that can
// never start a frame are dropped, a part frame stays in buffer for the next read.
using FrameCutter = std::function<QList<QByteArray>(QByteArray &buffer)>;

// Tells from the first bytes of a plug frame (from its head 0xA5 on) whether the frame is one
// its user takes: the whole frame's size from head to check sum, 0 while too few bytes are in to
// tell, -1 when it is none of the user's.
using FrameClaim = std::function<int(const QByteArray &frameSoFar)>;

// One user's handle on the shared serial line of a port (SerialLine): a page, monitor or dialog
// of a coupler writes requests here and receives what answers them, without waiting in the GUI
// thread. Two kinds of user share a line:
// - a framed user (a claim set) speaks plug frames, whose bytes name what they answer; its
//   requests go out at once, whoever else waits for a reply, and every frame it claims reaches
//   it whenever it comes;
// - any other user takes turns with the line's other such users: its request goes out when
//   nobody else's reply is awaited, and the bytes no frame claims are its reply until the reply
//   is whole by its own rule or its wait ends.
// Closing (or destroying) the handle lets go of the line; the port closes when its last user
// lets go.
class SerialLink : public QObject
{
    Q_OBJECT
public:
    static constexpr int defaultMaxBuffer = 64 * 1024;
    static constexpr int defaultReplyWaitMs = 300;

    // Decides from the bytes received since a request went out whether its reply is whole, so
    // the line can serve the next user.
    using ReplyEnd = std::function<bool(const QByteArray &replySoFar)>;

    explicit SerialLink(QObject *parent = nullptr);
    ~SerialLink() override;

    // Joins the line of portName (a COM name or a device path such as a pty), opening the port
    // unless another user has. False, with errorString() naming the port and the reason (missing,
    // in use, no permission) and systemError() the system's own words, when the port cannot be
    // had. A port lent to a scan or a download is no failure: the link joins it paused.
    bool open(const QString &portName);
    void close();
    // Joined to a line (whose port may be lent out or gone for the moment).
    bool isOpen() const;
    QString portName() const { return m_portName; }
    QString errorString() const { return m_error; }
    QString systemError() const { return m_systemError; }

    // Makes this a framed user: the plug frames claim accepts come here whole, one
    // frameReceived each, without their 0x5A.
    void setClaim(FrameClaim claim);
    bool isFramed() const { return bool(m_claim); }
    // Without a cutter every read is handed on as it came.
    void setCutter(FrameCutter cutter);
    // Without a rule a reply is whole at its first frame (with a cutter) or first bytes.
    void setReplyEnd(ReplyEnd rule);
    // How long a request holds the line for its reply (users without a claim).
    void setReplyWait(int ms);
    int replyWait() const { return m_replyWaitMs; }
    // Bytes kept while waiting for a frame's end; past it the buffer is dropped.
    void setMaxBuffer(int bytes);

    // Hands a request to the line. True when it went out, or waits its turn or for a lent port
    // to come back; false, with lastError() naming the port and the reason, when the port is
    // gone or refused and nothing will go out.
    bool write(const QByteArray &bytes);
    QString lastError() const { return m_lastError; }
    // Tells the user in a message box, from the event loop (never inside the caller), why the
    // port could not be had (errorString()).
    void showRefusal(QWidget *parent) const;

    // A request of this link waits its turn or for its reply.
    bool isWaiting() const;
    // The port is lent to a blocking user (a scan or a download); writes wait until it is back.
    bool isPaused() const;

signals:
    void frameReceived(const QByteArray &frame);
    // Bytes that nobody's frame or reply holds reached the line (framed users: a sign of life).
    void bytesHeard(int count);
    // The port failed or vanished; the link stays joined and the next write opens it again.
    void linkError(const QString &message);
    void pausedChanged(bool paused);

private:
    friend class SerialLine;

    struct Request
    {
        quint8 type;
        quint8 command;
        int selector; // first payload byte, -1 without
        quint64 sequence;
    };

    int claimSize(const QByteArray &frameSoFar) const { return m_claim ? m_claim(frameSoFar) : -1; }
    void beginTurn();
    // Bytes for this link; true when they complete the reply of its request.
    bool takeBytes(const QByteArray &data);
    void takeFrame(const QByteArray &frame);
    // Keeps what a plug frame request asks, so that a reply several users claim goes to the one
    // that asked.
    void noteRequest(const QByteArray &onWire, quint64 sequence);
    // 2: an unanswered request of this link asked for frame's command and channel, 1: for its
    // command, 0: none; sequence: when that request went out.
    int askedFor(const QByteArray &frame, quint64 *sequence) const;
    void answered(const QByteArray &frame);

    QPointer<SerialLine> m_line;
    QString m_portName;
    QString m_error;
    QString m_systemError;
    QString m_lastError;
    FrameClaim m_claim;
    FrameCutter m_cutter;
    ReplyEnd m_replyEnd;
    QByteArray m_buffer;
    QByteArray m_turnBytes;
    QList<Request> m_asked;
    quint64 m_lastWrite = 0;
    int m_turnFrames = 0;
    int m_replyWaitMs = defaultReplyWaitMs;
    int m_maxBuffer = defaultMaxBuffer;
};

#endif
