#include "factorybroadcast.h"

#include "endpoints.h"
#include "platformlists.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

namespace {
const QUdpSocket::BindMode shareMode = QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint;
}

FactoryBroadcast::FactoryBroadcast(QObject *parent)
    : QObject(parent)
{
}

FactoryBroadcast::~FactoryBroadcast()
{
    close();
}

int FactoryBroadcast::open()
{
    close();
    const quint16 port = Endpoints::current().factoryLocalPort;
    for (const LocalAddress &local : PlatformLists::localAddresses()) {
        if (!local.ethernet || local.broadcast.isNull() || local.ip.protocol() != QAbstractSocket::IPv4Protocol
            || local.ip == QHostAddress(QHostAddress::LocalHost))
            continue;
        auto *socket = new QUdpSocket(this);
        socket->bind(local.ip, port, shareMode);
        connect(socket, &QUdpSocket::readyRead, this, [this, socket] { readPending(socket); });
        m_senders.append(socket);
    }
    if (!m_senders.isEmpty()) {
        m_receiver = new QUdpSocket(this);
        m_receiver->bind(QHostAddress::AnyIPv4, port, shareMode);
        connect(m_receiver, &QUdpSocket::readyRead, this, [this] { readPending(m_receiver); });
    }
    return m_senders.size();
}

void FactoryBroadcast::close()
{
    qDeleteAll(m_senders);
    m_senders.clear();
    delete m_receiver;
    m_receiver = nullptr;
}

void FactoryBroadcast::send(const QByteArray &data)
{
    const Endpoints &ends = Endpoints::current();
    for (QUdpSocket *socket : qAsConst(m_senders))
        socket->writeDatagram(data, ends.broadcast, ends.factoryModulePort);
}

void FactoryBroadcast::sendOnce(const QByteArray &data)
{
    const Endpoints &ends = Endpoints::current();
    QUdpSocket socket;
    socket.bind(QHostAddress::AnyIPv4, ends.factoryLocalPort, shareMode);
    socket.writeDatagram(data, ends.broadcast, ends.factoryModulePort);
}

void FactoryBroadcast::readPending(QUdpSocket *socket)
{
    while (socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket->receiveDatagram();
        emit datagramReceived(datagram.data());
    }
}
