#ifndef IOLINK_MODULE_H
#define IOLINK_MODULE_H

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>

class Channel_Ctrl;
class QWidget;
class SerialLink;
class modulebase;

// Command byte of the IO-Link frames; a reply carries the command of its request.
enum IoLinkCommand {
    IOLINK_SET_IOPARAM = 1,
    IOLINK_GET_IOPARAM = 2,
    IOLINK_SET_PORT = 3,
    IOLINK_GET_PORT = 4,
    IOLINK_READ_ISDU = 5,
    IOLINK_WRITE_ISDU = 6,
    IOLINK_WRITE_PARAM = 7,
    IOLINK_READ_PARAM = 8,
    IOLINK_SAVE_PARAM = 9,
    IOLINK_GET_DEVICEINFO = 10,
};

// Payload bytes of the reply to command; 0 for a value that is no IoLinkCommand.
int ioLinkReplyPayloadSize(int command);
// Whole reply frame (head to check sum) of command; 0 for a value that is no IoLinkCommand.
int ioLinkReplyFrameSize(int command);
// Payload bytes of the request of command; 0 for a value that is no IoLinkCommand.
int ioLinkRequestPayloadSize(int command);

// A reply frame that passed the link's checks.
struct IoLinkReply
{
    int command = 0;
    int port = 0;
    // From byte 7 up to the check sum; the port first.
    QByteArray payload;
};

// The one link through which every IO-Link page talks to the master: queued requests leave one
// per 100 ms tick as plug frames on the coupler's shared serial line, replies go to the port frame
// registered for the reply's command class and port whenever they come. Fire and forget: no
// retry; a request that cannot go out is said on the frame that made it.
class IoLink_Module : public QObject
{
    Q_OBJECT

public:
    static constexpr int maxQueued = 31;
    static constexpr int tickMs = 100;

    // The link, made on first use.
    static IoLink_Module *instance();
    // The link if there is one, without making it.
    static IoLink_Module *existingInstance();
    static void deleteInstance();

    void setModule(modulebase *module);
    // The module, or null once it has been deleted.
    modulebase *getModule() const;
    void registerFrame(Channel_Ctrl *frame);
    // Queues a request; dropped when maxQueued frames are already waiting.
    void sendCommand(int command, QByteArray payload);
    // Gives the serial port back (a scan or a download may want it); the next frame borrows it
    // again, from the module set at that time.
    void closePort();
    // The serial port the next frame would go to: the module's own, or for a sub-module the one
    // of the module in whose slot it sits; empty when there is none.
    QString resolvePortName() const;

    // Why requests cannot reach the master (its module was not found over a serial port), or
    // empty; pages check it before they change anything for a request.
    QString unreachableReason() const;
    static QString noSerialLinkText();
    // False, after telling the user in a box over page, when requests cannot reach the master.
    static bool reachable(QWidget *page);
    // The size of the IO-Link reply whose first bytes are frameSoFar (head first): 0 while they
    // are too few, -1 for a frame that is no reply of this link.
    static int claimReply(const QByteArray &frameSoFar);

    // True when frame is an IO-Link reply of a known command, of that command's size, for port
    // 0..3; the length field is not consulted.
    static bool parseReply(const QByteArray &frame, IoLinkReply *reply);
    // The port frame class that gets the replies of command.
    static const QMetaObject *frameClassOf(int command);
    // The log line a reply of command makes on the port set-up frame (empty for none); failed
    // tells whether the reply reports a failure.
    static QString replyLogText(int command, const QByteArray &payload, bool *failed);

    bool checkSum(const QByteArray &frame) const;
    QByteArray _SplitData(QByteArray aryBuf);
    QByteArray SplitData();
    void dispatchFrame(QByteArray frame);

    SerialLink *uart = nullptr;
    QMap<const QMetaObject *, QVector<QPointer<Channel_Ctrl>>> frameMap;
    QList<QByteArray> sendQueue;
    QByteArray dataRecive;

protected:
    bool event(QEvent *e) override;

protected slots:
    void com_messageReceive(const QByteArray &bytes);

private:
    IoLink_Module();
    ~IoLink_Module() override;

    void sendStep();
    // Tells the frame that made a request why it did not go out.
    void unsent(const QByteArray &frame, const QString &why);
    Channel_Ctrl *frameFor(const QMetaObject *frameClass, int port) const;

    modulebase *m_module = nullptr;
    // Guards m_module when it is a QObject (every module and sub-module of the program is).
    mutable QPointer<QObject> m_moduleGuard;
    mutable bool m_guarded = false;
    int m_timerId = 0;
    // Fixed when the serial link is made: a later setModule does not move an open link.
    QString m_portName;
};

#endif
