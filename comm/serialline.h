#ifndef SERIALLINE_H
#define SERIALLINE_H

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

class QSerialPort;
class QTimer;
class SerialLink;

// The one serial port of a coupler reached over a COM port (115200 baud, 8N1, no flow control),
// shared by every page, monitor and dialog of that coupler. Users talk through SerialLink
// handles; their exchanges take turns: the line writes one request, hands what comes back to the
// user that asked until that user's rule says its reply is whole (or replyWaitMs passes), and
// only then writes the next. A blocking worker (a scan, a parameter download) borrows the port
// while it is lent out: the line closes it, drops what was queued and tells its users, who pause.
// Lives in the GUI thread; made and kept by SerialPortRegistry, one per port name.
class SerialLine : public QObject
{
    Q_OBJECT
public:
    // Longest a reply may take before the turn passes to the next user.
    static constexpr int replyWaitMs = 300;

    explicit SerialLine(const QString &portName, QObject *parent = nullptr);
    ~SerialLine() override;

    QString portName() const { return m_portName; }

    // Opens the port unless it is open or lent out. False, with the system's reason, when the
    // system refuses it (another program holds it, it is missing, no permission).
    bool open(QString *reason = nullptr);
    bool isOpen() const;
    bool isLentOut() const { return m_lent > 0; }

    void attach(SerialLink *link);
    // The last user gone, the port is closed and given back to the system.
    void detach(SerialLink *link);
    int userCount() const { return m_users.size(); }

    // Queues one request of link; false (nothing queued) when the port is lent out or cannot be
    // opened.
    bool enqueue(SerialLink *link, const QByteArray &bytes);
    // Whether a request of link waits in the queue or is on the line.
    bool hasPending(const SerialLink *link) const;

    // Counted: the port comes back when every lender has taken it back.
    void lendOut();
    void takeBack();

signals:
    void lentOutChanged(bool lent);

private:
    struct Exchange
    {
        QPointer<SerialLink> link;
        QByteArray bytes;
        // Its user has gone: it goes out, and its reply to nobody.
        bool orphan = false;
    };

    void closePort();
    void scheduleNext();
    void serveNext();
    void endTurn();
    void onReadyRead();
    void onPortError();

    QString m_portName;
    QSerialPort *m_port = nullptr;
    QTimer *m_replyTimer = nullptr;
    QList<Exchange> m_queue;
    QSet<SerialLink *> m_users;
    // Whose reply is on the line; bytes nobody asked for go to the last one that asked.
    QPointer<SerialLink> m_current;
    QPointer<SerialLink> m_last;
    bool m_nextScheduled = false;
    bool m_orphanTurn = false;
    int m_lent = 0;
};

#endif
