#include "tcpthread.h"

#include "delay.h"
#include "endpoints.h"
#include "ipv4text.h"
#include "plugblock.h"
#include "scanconnector.h"
#include "stcpsocket.h"
#include "uploadreplycutter.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMutex>
#include <QNetworkDatagram>
#include <QStringList>
#include <QTcpSocket>
#include <QTimer>
#include <QUdpSocket>
#include <QtEndian>
#include <algorithm>
#include <functional>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/select.h>
#include <sys/socket.h>
#endif

namespace {

// Connection waits of the command channel, by operation.
constexpr int scanConnectMs = 400;
// Connections a scan keeps open or in progress ahead of the address it examines.
constexpr int scanAhead = 32;
constexpr int shortConnectMs = 200;
constexpr int downloadConnectMs = 1500;
constexpr int switchConnectMs = 2000;
constexpr int firmwareConnectMs = 2000;
constexpr int firmwareAttempts = 3;
constexpr int firmwareBlock = 512;
constexpr int firmwareReportEvery = 51;
constexpr int udpSendMs = 10;
constexpr int udpReplyMs = 1500;
// Bound on the wait until written bytes have left; a module that stops reading fails the exchange.
constexpr int drainMs = 10000;
// Bound on the wait for the module to close a link after our last byte.
constexpr int closeMs = 3000;
// Longest stretch any wait runs before it looks at the stop request again.
constexpr int stopPollMs = 20;
// Longest a UDP exchange waits for another one on the shared local configuration port.
constexpr int udpPortWaitMs = 5000;
// Polls of silence that end an acknowledge before the next block goes out: longer than a
// module's pause between repeats of one acknowledge or between its pieces.
constexpr int ackSettlePolls = 4;

using StopCheck = std::function<bool()>;

// The local configuration port is one per machine: exchanges take turns on it, so two at once
// (a live-status poll beside a block transfer) both succeed and the module still sees the port.
QMutex &configPortMutex()
{
    static QMutex mutex;
    return mutex;
}

// Waits for a connection that has been asked for; no wait longer than stopPollMs passes without
// looking at stop. A socket not connected at the end is aborted.
bool waitConnected(QAbstractSocket &socket, int msec, const StopCheck &stop)
{
    const QDeadlineTimer deadline(msec);
    while (socket.state() == QAbstractSocket::HostLookupState || socket.state() == QAbstractSocket::ConnectingState) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0 || stop())
            break;
        QEventLoop loop;
        QObject::connect(&socket, &QAbstractSocket::stateChanged, &loop, &QEventLoop::quit);
        QTimer::singleShot(int(std::min<qint64>(left, stopPollMs)), &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (socket.state() == QAbstractSocket::ConnectedState)
        return true;
    socket.abort();
    return false;
}

QString dotted(QString ip)
{
    return ip.replace(QLatin1Char(':'), QLatin1Char('.'));
}

void closeChannel(sTcpSocket &socket, bool connected)
{
    if (connected)
        socket.disconnectFromHost();
    socket.close();
    if (socket.connectionState() != QAbstractSocket::UnconnectedState)
        socket.abort();
}

bool writeCommand(QIODevice &socket, const QByteArray &bytes);

// Waits for the greeting, then asks for the module information; true with the reply in
// socket.reply. The scan logs each greeting.
bool requestInfo(sTcpSocket &socket, bool logGreeting = false)
{
    if (!socket.waitread(sTcpSocket::VERSION_OK))
        return false;
    if (logGreeting)
        qDebug() << "Connected";
    socket.state = sTcpSocket::WAIT_INFO;
    writeCommand(socket, QByteArrayLiteral("R\r\n"));
    return socket.waitread(sTcpSocket::INFO_OK) && !socket.reply.isEmpty();
}

bool writeCommand(QIODevice &socket, const QByteArray &bytes)
{
    if (socket.write(bytes) != bytes.size())
        return false;
    if (auto *tcp = qobject_cast<QAbstractSocket *>(&socket))
        tcp->flush();
    return true;
}

// Writes data and waits (bounded) until every byte has been handed to the network.
bool writeAndDrain(QAbstractSocket &socket, const QByteArray &data, int msec, const StopCheck &stop)
{
    if (!data.isEmpty() && socket.write(data) != data.size())
        return false;
    socket.flush();
    const QDeadlineTimer deadline(msec);
    while (socket.bytesToWrite() > 0) {
        if (socket.state() != QAbstractSocket::ConnectedState || deadline.hasExpired() || stop())
            return false;
        const int step = int(std::clamp<qint64>(deadline.remainingTime(), 1, stopPollMs));
        if (!socket.waitForBytesWritten(step) && socket.state() != QAbstractSocket::ConnectedState)
            return false;
    }
    return socket.state() == QAbstractSocket::ConnectedState;
}

// After the last byte: ends our direction of the link and waits (bounded) until the module has
// read everything and closed its side. Bytes handed to the socket are not bytes delivered: a
// module that resets the link before it took them all makes this false.
bool closeCleanly(QAbstractSocket &socket, int msec, const StopCheck &stop)
{
    if (!writeAndDrain(socket, QByteArray(), msec, stop))
        return false;
#ifdef Q_OS_UNIX
    const qintptr fd = socket.socketDescriptor();
    if (fd < 0 || ::shutdown(int(fd), SHUT_WR) != 0)
        return false;
    // Read the descriptor directly: the socket's own reading would see a reset and an orderly
    // close alike.
    const QDeadlineTimer deadline(msec);
    char sink[512];
    for (;;) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0 || stop())
            return false;
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(int(fd), &readable);
        timeval wait { 0, int(std::min<qint64>(left, stopPollMs)) * 1000 };
        const int ready = ::select(int(fd) + 1, &readable, nullptr, nullptr, &wait);
        if (ready < 0 && errno != EINTR)
            return false;
        if (ready <= 0)
            continue;
        const ssize_t got = ::recv(int(fd), sink, sizeof sink, 0);
        if (got == 0)
            return true;
        if (got < 0 && errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)
            return false;
    }
#else
    return socket.state() == QAbstractSocket::ConnectedState;
#endif
}

QByteArray bigEndian32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray blockHead(char command, int plugid, int subplugid, int length)
{
    QByteArray head;
    head.append(command);
    head.append(char(plugid & 0xFF));
    head.append(char(subplugid & 0xFF));
    head.append(bigEndian32(quint32(length)));
    return head;
}

} // namespace

TCPThread::TCPThread()
    : QObject(nullptr)
{
}

TCPThread::~TCPThread()
{
    moduleList.clear();
}

bool TCPThread::stopRequested() const
{
    return m_stopRequested || stopFlag == 1 || (cancel && cancel->load());
}

void TCPThread::arm(sTcpSocket &socket) const
{
    socket.stopRequested = [this] { return stopRequested(); };
}

bool TCPThread::connectChannel(sTcpSocket &socket, const QHostAddress &address, int msec) const
{
    if (address.isNull() || stopRequested())
        return false;
    arm(socket);
    socket.connectToHost(address, Endpoints::current().commandPort, QIODevice::ReadWrite);
    socket.state = sTcpSocket::WAIT_VERSION;
    return waitConnected(socket, msec, [this] { return stopRequested(); });
}

bool TCPThread::pause(int msec) const
{
    const QDeadlineTimer deadline(msec);
    for (;;) {
        if (stopRequested())
            return false;
        const qint64 left = deadline.remainingTime();
        if (left <= 0)
            return true;
        delay(unsigned(std::min<qint64>(left, stopPollMs)));
    }
}

void TCPThread::onRead() { }

void TCPThread::Scanmodulestart(QString startip, QString endip)
{
    stopFlag = 0;
    const QStringList start = startip.split(QLatin1Char('.'));
    const QStringList end = endip.split(QLatin1Char('.'));
    if (start.size() >= 4 && end.size() >= 4) {
        const int first = std::max(0, start.at(3).toInt());
        const int last = std::min(255, end.at(3).toInt());
        QStringList addresses;
        QList<QHostAddress> hosts;
        for (int n = first; n <= last; ++n) {
            addresses << QStringList { start.at(0), start.at(1), start.at(2), QString::number(n) }.join(
                QLatin1Char('.'));
            hosts << ipv4FromText(addresses.last());
        }
        // Connections are tried ahead of the address being examined, so silent addresses wait
        // side by side; each module is still greeted, asked and reported in address order.
        ScanConnector connector(
            hosts, ipv4FromText(localIP), Endpoints::current().commandPort, scanConnectMs, scanAhead);
        connector.setStopCheck([this] { return stopRequested(); }, stopPollMs);
        for (int i = 0; i < addresses.size() && !stopRequested(); ++i) {
            emit SendCurIP(addresses.at(i));
            const std::unique_ptr<sTcpSocket> socket = connector.take(i);
            if (!socket)
                continue;
            arm(*socket);
            if (requestInfo(*socket, true)) {
                emit Sendmodule(socket->reply);
                socket->state = sTcpSocket::WAIT_PRM;
                writeCommand(*socket, QByteArrayLiteral("G\r\n"));
                if (socket->waitread(sTcpSocket::PRM_OK))
                    emit SendmodulePrm(socket->reply);
            }
            closeChannel(*socket, true);
        }
    }
    emit finished();
}

void TCPThread::UpParamte()
{
    sTcpSocket socket;
    for (const ModuleTarget &target : qAsConst(moduleList)) {
        if (stopRequested())
            break;
        const QString address = dotted(target.ip);
        emit SendCurIP(address);
        const bool connected = connectChannel(socket, ipv4FromText(address), shortConnectMs);
        if (connected && requestInfo(socket))
            emit Sendmodule(socket.reply);
        closeChannel(socket, connected);
    }
    emit finished();
}

void TCPThread::DownParamter()
{
    const StopCheck stop = [this] { return stopRequested(); };
    sTcpSocket socket;
    for (const ModuleTarget &target : qAsConst(moduleList)) {
        if (stopRequested())
            break;
        if (target.downFlag != 1)
            continue;
        const QString address = dotted(target.ip);
        if (!connectChannel(socket, ipv4FromText(address), downloadConnectMs)) {
            emit SendCurIP(address + tr("#连接超时"));
            closeChannel(socket, false);
            continue;
        }
        bool ok = socket.waitread(sTcpSocket::VERSION_OK);
        if (ok) {
            socket.state = sTcpSocket::WAIT_ACK;
            ok = writeCommand(socket, QByteArrayLiteral("P\r\n")) && socket.waitread(sTcpSocket::ACK_OK);
        }
        // Success only once the module has taken every byte and closed the link in order: the
        // acknowledge alone, or bytes handed to the socket, say nothing about delivery.
        if (ok)
            ok = writeAndDrain(socket, target.paramData, drainMs, stop) && closeCleanly(socket, closeMs, stop);
        emit SendCurIP(address + (ok ? tr("#下载成功") : tr("#下载出错")));
        closeChannel(socket, true);
    }
    emit finished();
}

void TCPThread::DownFirmware()
{
    sTcpSocket socket;
    for (ModuleTarget &target : moduleList) {
        if (stopRequested())
            break;
        if (target.firmwareFlag != 1)
            continue;
        const QString address = dotted(target.ip);
        if (!connectChannel(socket, ipv4FromText(address), downloadConnectMs)) {
            emit SendCurIP(address + tr("#连接超时"));
            closeChannel(socket, false);
            continue;
        }
        if (!socket.waitread(sTcpSocket::VERSION_OK)) {
            emit SendCurIP(address + tr("#下载出错"));
            closeChannel(socket, true);
            continue;
        }
        socket.state = sTcpSocket::WAIT_RESET;
        writeCommand(socket, QByteArrayLiteral("f\r\n"));
        emit SendCurIP(address + tr("#开始下载"));
        // The command connection stays open; its read handler runs inside the transfer's waits.
        // Only the module's confirmation decides: a module that confirmed and restarted may cut
        // the image link before the transfer ends.
        SendFirmware(target);
        if (socket.waitread(sTcpSocket::RESET_OK)) {
            emit SendCurIP(address + tr("#下载完成"));
            target.firmwareData.clear();
        } else {
            emit SendCurIP(address + tr("#下载出错"));
        }
        closeChannel(socket, true);
    }
    emit finished();
}

int TCPThread::SendFirmware(const ModuleTarget &target)
{
    const QString address = dotted(target.ip);
    const QHostAddress host = ipv4FromText(address);
    const StopCheck stop = [this] { return stopRequested(); };
    QTcpSocket socket;
    bool connected = false;
    for (int attempt = 0; attempt < firmwareAttempts && !host.isNull() && !stopRequested(); ++attempt) {
        socket.abort();
        socket.connectToHost(host, Endpoints::current().firmwarePort, QIODevice::ReadWrite);
        if (waitConnected(socket, firmwareConnectMs, stop)) {
            connected = true;
            break;
        }
        socket.disconnectFromHost();
        socket.close();
    }
    if (!connected)
        return -1;
    const int result = transferImage(socket, address, target);
    if (result == 1)
        socket.disconnectFromHost();
    socket.close();
    socket.abort();
    return result;
}

int TCPThread::transferImage(QTcpSocket &socket, const QString &address, const ModuleTarget &target)
{
    if (!writeCommand(socket, target.firmwareHeader)) {
        qDebug().noquote() << "warning: firmware header to" << address << "could not be written";
        return 0;
    }
    if (!pause(1000))
        return 0;
    const QByteArray &image = target.firmwareData;
    const qint64 size = image.size();
    qint64 sent = 0;
    int count = 0;
    QString sign = QStringLiteral("+");
    while (sent < size) {
        if (socket.state() != QAbstractSocket::ConnectedState) {
            qDebug().noquote() << "warning: firmware link to" << address << "lost after" << sent << "bytes";
            return 0;
        }
        const qint64 written = socket.write(image.constData() + sent, std::min<qint64>(firmwareBlock, size - sent));
        if (written <= 0) {
            qDebug().noquote() << "warning: firmware write to" << address << "failed after" << sent << "bytes";
            return 0;
        }
        while (socket.flush()) { }
        if (!pause(30))
            return 0;
        sent += written;
        if (++count == firmwareReportEvery) {
            emit SendCurIP(address + tr("#下载中 %1").arg(sign));
            sign = sign == QLatin1String("+") ? QStringLiteral("-") : QStringLiteral("+");
            count = 0;
        }
    }
    if (!writeAndDrain(socket, QByteArray(), drainMs, [this] { return stopRequested(); })) {
        qDebug().noquote() << "warning: firmware image to" << address << "was not fully written";
        return 0;
    }
    return 1;
}

int TCPThread::DownPlugConfig(QString ip, int plugid, int subplugid, QByteArray data)
{
    sTcpSocket socket;
    return downPlugConfig(socket, ip, plugid, subplugid, data);
}

int TCPThread::downPlugConfig(sTcpSocket &socket, const QString &ip, int plugid, int subplugid, const QByteArray &data)
{
    if (!connectChannel(socket, ipv4FromText(dotted(ip)), downloadConnectMs)) {
        closeChannel(socket, false);
        return -1;
    }
    int result = -1;
    if (socket.waitread(sTcpSocket::VERSION_OK)) {
        // Whatever came before the header (the tail of a split greeting) never acknowledges it.
        socket.takeStale();
        const bool headerOut = writeCommand(socket, blockHead(0x43, plugid, subplugid, data.size()));
        socket.state = sTcpSocket::WAIT_ACK;
        if (headerOut && socket.waitreadAfterDelay(sTcpSocket::ACK_OK)) {
            const int length = data.size();
            const int step = blockSize > 0 ? blockSize : 1000;
            int block = std::min(length, step);
            int sent = 0;
            result = 1;
            while (sent < length) {
                // Repeats and late pieces of the last acknowledge come in, and are dropped, before
                // the block goes out, so only an answer to the block counts for it.
                if (!socket.settle(ackSettlePolls)) {
                    result = -1;
                    break;
                }
                socket.takeStale();
                // A block the socket refused is a block the module never acknowledges.
                if (!writeCommand(socket, data.mid(sent, block))) {
                    result = -1;
                    break;
                }
                socket.state = sTcpSocket::WAIT_ACK;
                if (!socket.waitreadAfterDelay(sTcpSocket::ACK_OK)) {
                    result = -1;
                    break;
                }
                sent += block;
                if (sent + step >= length)
                    block = length - sent;
            }
        }
    }
    closeChannel(socket, true);
    return result;
}

int TCPThread::UploadPlugConfig(QString ip, int plugid, int subplugid, QByteArray &data, int maxSize)
{
    sTcpSocket socket;
    return uploadPlugConfig(socket, ip, plugid, subplugid, data, maxSize);
}

int TCPThread::uploadPlugConfig(
    sTcpSocket &socket, const QString &ip, int plugid, int subplugid, QByteArray &data, int maxSize)
{
    if (!connectChannel(socket, ipv4FromText(dotted(ip)), shortConnectMs)) {
        closeChannel(socket, false);
        return -1;
    }
    int result = -1;
    if (socket.waitread(sTcpSocket::VERSION_OK)) {
        // Whatever came with or after the greeting is no part of the answer.
        socket.takeStale();
        // Every byte is kept and judged at each poll; the clock and the link settle the rest.
        UploadWait wait(maxSize);
        QElapsedTimer clock;
        socket.rawReader = [&wait, &clock](const QByteArray &read) { wait.read(read, clock.elapsed()); };
        socket.state = sTcpSocket::WAIT_INFO;
        QByteArray request;
        request.append(char(0x55));
        request.append(char(plugid & 0xFF));
        request.append(char(subplugid & 0xFF));
        clock.start();
        writeCommand(socket, request);
        bool stopped = false;
        for (;;) {
            if (socket.waitUntil([&wait, &clock] { return wait.tick(clock.elapsed()); }))
                break;
            stopped = socket.stopRequested && socket.stopRequested();
            if (stopped)
                break;
            // A link the module closed brings nothing more: judge what came.
            if (socket.connectionState() == QAbstractSocket::UnconnectedState && socket.bytesAvailable() == 0) {
                wait.closed(clock.elapsed());
                break;
            }
        }
        socket.rawReader = nullptr;
        const UploadReplyCutter &cutter = wait.cutter();
        if (wait.settled() && wait.result() == 1) {
            data.append(wait.block());
            result = 1;
        } else if (!stopped) {
            qDebug().noquote() << QStringLiteral("warning: upload of block %1/%2 of %3 failed after %4 ms, %5 in %6 "
                                                 "bytes: %7")
                                      .arg(plugid)
                                      .arg(subplugid)
                                      .arg(ip)
                                      .arg(clock.elapsed())
                                      .arg(wait.timedOut() ? QStringLiteral("no block within the time allowed")
                                                           : cutter.why())
                                      .arg(cutter.received().size())
                                      .arg(QString::fromLatin1(cutter.received().left(48).toHex(' ')));
        }
    }
    closeChannel(socket, true);
    return result;
}

bool TCPThread::udpExchange(const QString &ip, const QByteArray &datagram, QByteArray *reply)
{
    const QHostAddress target = ipv4FromText(dotted(ip));
    if (target.isNull())
        return false;
    QMutex &portMutex = configPortMutex();
    const QDeadlineTimer portDeadline(udpPortWaitMs);
    while (!portMutex.tryLock(stopPollMs)) {
        if (stopRequested() || portDeadline.hasExpired())
            return false;
    }
    struct Unlock
    {
        QMutex &mutex;
        ~Unlock() { mutex.unlock(); }
    } unlock { portMutex };

    const Endpoints &endpoints = Endpoints::current();
    QUdpSocket udp;
    if (!udp.bind(QHostAddress::AnyIPv4, endpoints.configLocalPort))
        return false;
    if (udp.writeDatagram(datagram, target, endpoints.configModulePort) != datagram.size())
        return false;
    udp.waitForBytesWritten(udpSendMs);
    const QDeadlineTimer deadline(udpReplyMs);
    for (;;) {
        while (udp.hasPendingDatagrams()) {
            const QNetworkDatagram incoming = udp.receiveDatagram();
            if (!incoming.isValid())
                break;
            bool ok = false;
            if (incoming.senderAddress().toIPv4Address(&ok) == target.toIPv4Address() && ok) {
                *reply = incoming.data();
                return true;
            }
            qDebug().noquote() << QStringLiteral("warning: configuration datagram of %1 bytes from %2 dropped, "
                                                 "waiting for %3")
                                      .arg(incoming.data().size())
                                      .arg(incoming.senderAddress().toString(), target.toString());
        }
        const qint64 left = deadline.remainingTime();
        if (left <= 0 || stopRequested())
            return false;
        udp.waitForReadyRead(int(std::min<qint64>(left, stopPollMs)));
    }
}

int TCPThread::udp_DownPlugConfig(QString ip, int plugid, int subplugid, QByteArray data)
{
    if (data.isEmpty())
        return -1;
    QByteArray reply;
    if (!udpExchange(ip, blockHead(0x43, plugid, subplugid, data.size()) + data, &reply))
        return -1;
    const int zero = reply.indexOf('\0');
    const QByteArray text = zero < 0 ? reply : reply.left(zero);
    return text.indexOf("OK") > 0 ? 1 : -1;
}

int TCPThread::udp_UploadPlugConfig(QString ip, int plugid, int subplugid, QByteArray &data)
{
    QByteArray reply;
    if (!udpExchange(ip, blockHead(0x55, plugid, subplugid, data.size()) + data, &reply))
        return -1;
    data = reply;
    return 1;
}

int TCPThread::DownIPConfig(QString ip, QByteArray data)
{
    sTcpSocket socket;
    return downIPConfig(socket, ip, data);
}

int TCPThread::downIPConfig(sTcpSocket &socket, const QString &ip, const QByteArray &data)
{
    if (!connectChannel(socket, ipv4FromText(dotted(ip)), downloadConnectMs)) {
        closeChannel(socket, false);
        return -1;
    }
    int result = -1;
    if (socket.waitread(sTcpSocket::VERSION_OK)) {
        socket.state = sTcpSocket::WAIT_ACK;
        if (writeCommand(socket, QByteArrayLiteral("S\r\n")) && socket.waitread(sTcpSocket::ACK_OK)
            && writeAndDrain(socket, data, drainMs, [this] { return stopRequested(); }))
            result = 0;
    }
    closeChannel(socket, true);
    return result;
}

void TCPThread::streamSwitch(const QString &ip, const QByteArray &command)
{
    sTcpSocket socket;
    const bool connected = connectChannel(socket, ipv4FromText(ip), switchConnectMs);
    if (connected && socket.waitread(sTcpSocket::VERSION_OK))
        writeAndDrain(socket, command, drainMs, [this] { return stopRequested(); });
    closeChannel(socket, connected);
}

QString TCPThread::streamSwitchQueue(const QString &ip)
{
    const QHostAddress address = ipv4FromText(ip);
    return QStringLiteral("stream switch ") + (address.isNull() ? ip : address.toString());
}

void TCPThread::CurveMonitor(QString ip, int period, unsigned int on)
{
    QByteArray command;
    command.append(char(0x54));
    command.append(char(period & 0xFF));
    command.append(char(on & 0xFF));
    streamSwitch(ip, command);
}

void TCPThread::IOMonitor(QString ip, unsigned int on)
{
    QByteArray command;
    command.append(char(0x44));
    command.append(char(0x00));
    command.append(char(on & 0xFF));
    streamSwitch(ip, command);
}

void TCPThread::Monitor()
{
    sTcpSocket socket;
    const bool connected = connectChannel(socket, ipv4FromText(dotted(monitorIP)), switchConnectMs);
    if (connected && socket.waitread(sTcpSocket::VERSION_OK)) {
        socket.state = sTcpSocket::WAIT_ACK;
        QByteArray command;
        command.append(char(0x4D));
        command.append(char(monitorArg1 & 0xFF));
        command.append(char(monitorArg2 & 0xFF));
        writeAndDrain(socket, command, drainMs, [this] { return stopRequested(); });
    }
    closeChannel(socket, connected);
    emit finished();
}
