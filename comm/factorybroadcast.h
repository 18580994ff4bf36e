#ifndef FACTORYBROADCAST_H
#define FACTORYBROADCAST_H

#include <QByteArray>
#include <QList>
#include <QObject>

class QUdpSocket;

// The factory tool's UDP link: orders go out as broadcasts from the factory port of every
// Ethernet address of this machine; replies come back to that port.
class FactoryBroadcast : public QObject
{
    Q_OBJECT
public:
    explicit FactoryBroadcast(QObject *parent = nullptr);
    ~FactoryBroadcast() override;

    // One sending socket per IPv4 address of an Ethernet interface that has a broadcast address
    // (127.0.0.1 excepted), and a receiving socket on any address, since a socket bound to one
    // address does not receive broadcasts on Linux. Returns the number of sending sockets.
    int open();
    void close();
    int socketCount() const { return m_senders.size(); }

    // Writes data as one datagram through every sending socket.
    void send(const QByteArray &data);

    // One datagram from the factory port on any address, for callers that expect no reply.
    static void sendOnce(const QByteArray &data);

signals:
    void datagramReceived(QByteArray data);

private:
    void readPending(QUdpSocket *socket);

    QList<QUdpSocket *> m_senders;
    QUdpSocket *m_receiver = nullptr;
};

#endif
