#ifndef SCANCONNECTOR_H
#define SCANCONNECTOR_H

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <functional>
#include <memory>
#include <vector>

class QEventLoop;
class QTimer;
class sTcpSocket;

// Opens the command-channel connections of a scan ahead of the address being examined, a
// bounded number at a time, so that addresses that never answer wait their connect time side
// by side instead of one after the other. Each address gets exactly one attempt, with the full
// connect time counted from its own start; a connection made later than that counts as failed.
// Lives in the scanning thread; take() runs that thread's events while it waits.
class ScanConnector : public QObject
{
public:
    ScanConnector(
        const QList<QHostAddress> &addresses, const QHostAddress &local, quint16 port, int connectMs, int ahead);
    ~ScanConnector() override;

    // A wait in take() looks at stop at least every pollMs and gives up once it is true.
    void setStopCheck(std::function<bool()> stop, int pollMs);

    // The connected socket of address index (ready for the greeting), or nullptr when no
    // connection was made in time. Indexes are taken in increasing order; later ones are
    // started meanwhile.
    std::unique_ptr<sTcpSocket> take(int index);

private:
    enum class Status { NotStarted, Pending, Connected, Failed };
    struct Attempt
    {
        Status status = Status::NotStarted;
        sTcpSocket *socket = nullptr;
        QTimer *deadline = nullptr;
    };

    void startUpTo(int end);
    void start(int index);
    void resolve(int index, bool connected);

    QList<QHostAddress> m_addresses;
    QHostAddress m_local;
    quint16 m_port;
    int m_connectMs;
    int m_ahead;
    int m_next = 0; // first index not yet started
    std::vector<Attempt> m_attempts;
    QEventLoop *m_wait = nullptr; // the wait in take(), for attempt m_waitIndex
    int m_waitIndex = -1;
    std::function<bool()> m_stop;
    int m_stopPollMs = 50;
};

#endif
