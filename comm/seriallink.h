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

// One user's handle on the shared serial line of a port (SerialLine): a page, monitor or dialog
// of a coupler writes requests here and receives what answers them, taking turns with the other
// users of the same port, all without waiting in the GUI thread. Closing (or destroying) the
// handle lets go of the line; the port closes when its last user lets go.
class SerialLink : public QObject
{
    Q_OBJECT
public:
    static constexpr int defaultMaxBuffer = 64 * 1024;

    // Decides from the bytes received since a request went out whether its reply is whole, so
    // the line can serve the next user.
    using ReplyEnd = std::function<bool(const QByteArray &replySoFar)>;

    explicit SerialLink(QObject *parent = nullptr);
    ~SerialLink() override;

    // Joins the line of portName (a COM name or a device path such as a pty), opening the port
    // unless another user has. False, with errorString() ("串口%1被占用") and systemError(), only
    // when the system refuses the port: another program holds it, it is missing, no permission.
    // A port lent to a scan or a download is no failure: the link joins it paused.
    bool open(const QString &portName);
    void close();
    // Joined to a line (whose port may be lent out or gone for the moment).
    bool isOpen() const;
    QString portName() const { return m_portName; }
    QString errorString() const { return m_error; }
    QString systemError() const { return m_systemError; }

    // Without a cutter every read is handed on as it came.
    void setCutter(FrameCutter cutter);
    // Without a rule a reply is whole at its first frame (with a cutter) or first bytes.
    void setReplyEnd(ReplyEnd rule);
    // Bytes kept while waiting for a frame's end; past it the buffer is dropped.
    void setMaxBuffer(int bytes);

    // Queues a request on the line; false, with nothing sent, while the port is lent out or
    // cannot be opened (it may have vanished: a later write tries again).
    bool write(const QByteArray &bytes);
    // Tells the user in a message box, from the event loop (never inside the caller), that the
    // system refused the port (errorString()).
    void showRefusal(QWidget *parent) const;

    // A request of this link waits in the line's queue or for its reply.
    bool isWaiting() const;
    // The port is lent to a blocking user (a scan or a download); writes wait until it is back.
    bool isPaused() const;

signals:
    void frameReceived(const QByteArray &frame);
    // The port failed or vanished; the link stays joined and the next write opens it again.
    void linkError(const QString &message);
    void pausedChanged(bool paused);

private:
    friend class SerialLine;
    void beginTurn();
    // Bytes for this link; true when they complete the reply of its request.
    bool takeBytes(const QByteArray &data);

    QPointer<SerialLine> m_line;
    QString m_portName;
    QString m_error;
    QString m_systemError;
    FrameCutter m_cutter;
    ReplyEnd m_replyEnd;
    QByteArray m_buffer;
    QByteArray m_turnBytes;
    int m_turnFrames = 0;
    int m_maxBuffer = defaultMaxBuffer;
};

#endif
