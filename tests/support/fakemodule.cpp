#include "fakemodule.h"

#include "endpoints.h"
#include "tempctlblocks.h"
#include "tempctldebugblocks.h"

#include <QDateTime>
#include <QMutexLocker>
#include <QNetworkDatagram>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUdpSocket>
#include <QtEndian>
#include <QtTest>

const QByteArray FakeModule::defaultGreeting = QByteArrayLiteral("\r\nFAKE-IO Software version V1.00\r\n");
const QByteArray FakeModule::ackReply = QByteArrayLiteral("ACK\r\n");
const QByteArray FakeModule::resetReply = QByteArrayLiteral("\r\nRESET your system, to start new firmware\r\n");

const QString FakeModule::exampleCouplerType = QStringLiteral("RVE-C100");
const QList<int> FakeModule::exampleSubmoduleIds = { 101, 102, 111 };
// Big-endian defaults of the descriptions: RVE-C100 (4 bytes), RV-DI16 (2), RV-DO16 (3), RV-AI4 (5).
const QByteArray FakeModule::exampleParamBytes = QByteArray::fromHex("00 03e8 01"
                                                                     "02 00"
                                                                     "01 0000"
                                                                     "00 0000 000a");

namespace {
constexpr int tcpBlock = 1000;
}

// One service's sockets in the fake's thread: its port on the module's address, optionally a
// second socket on any address for broadcasts, its tick, and its misbehaviour on the way out.
class FakeServiceSocket : public QObject, public FakeUdpContext
{
public:
    FakeServiceSocket(std::shared_ptr<FakeUdpService> service, const QHostAddress &address, QObject *parent)
        : QObject(parent)
        , m_service(std::move(service))
        , m_address(address)
    {
    }

    bool open()
    {
        const quint16 port = m_service->port();
        const bool broadcast = m_service->wantsBroadcast();
        const QAbstractSocket::BindMode mode = broadcast
            ? QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint
            : QAbstractSocket::DefaultForPlatform;
        m_socket = new QUdpSocket(this);
        if (!m_socket->bind(m_address, port, mode))
            return false;
        connect(m_socket, &QUdpSocket::readyRead, this, [this] { read(m_socket, false); });
        if (broadcast) {
            // A socket bound to a unicast address never sees broadcasts.
            m_broadcastSocket = new QUdpSocket(this);
            if (!m_broadcastSocket->bind(QHostAddress::AnyIPv4, port, mode))
                return false;
            connect(m_broadcastSocket, &QUdpSocket::readyRead, this, [this] { read(m_broadcastSocket, true); });
        }
        if (const int period = m_service->tickMs(); period > 0) {
            auto *timer = new QTimer(this);
            connect(timer, &QTimer::timeout, this, [this] { m_service->tick(*this); });
            timer->start(period);
        }
        return true;
    }

    FakeUdpService *service() const { return m_service.get(); }

    void command(const QByteArray &bytes, const QHostAddress &from) { m_service->command(*this, bytes, from); }

    void reply(const QByteArray &data, const QHostAddress &to, quint16 port) override
    {
        const FakeMisbehaviour m = m_service->currentMisbehaviour();
        if (m.silent)
            return;
        ++m_answers;
        if (m.dropEvery > 0 && m_answers % m.dropEvery == 0)
            return;
        QList<QByteArray> pieces;
        if (m.splitAt > 0 && m.splitAt < data.size())
            pieces << data.left(m.splitAt) << data.mid(m.splitAt);
        else
            pieces << data;
        if (m.backToBack) {
            // Everything answered before the fake gets back to its event loop leaves in one burst.
            const bool first = m_burst.isEmpty();
            for (const QByteArray &piece : pieces)
                m_burst << Outgoing { piece, to, port };
            if (first)
                QTimer::singleShot(m.delayMs, this, [this] {
                    const QList<Outgoing> burst = std::exchange(m_burst, {});
                    for (const Outgoing &out : burst)
                        sendRaw(out.data, out.to, out.port);
                });
            return;
        }
        int at = m.delayMs;
        for (const QByteArray &piece : pieces) {
            if (at <= 0)
                sendRaw(piece, to, port);
            else
                QTimer::singleShot(at, this, [this, piece, to, port] { sendRaw(piece, to, port); });
            at += m.gapMs;
        }
    }

    void sendRaw(const QByteArray &data, const QHostAddress &to, quint16 port) override
    {
        m_socket->writeDatagram(data, to, port);
    }

    QHostAddress moduleAddress() const override { return m_address; }

private:
    struct Outgoing
    {
        QByteArray data;
        QHostAddress to;
        quint16 port;
    };

    void read(QUdpSocket *socket, bool broadcast)
    {
        while (socket->hasPendingDatagrams()) {
            const QNetworkDatagram datagram = socket->receiveDatagram();
            if (!datagram.isValid())
                break;
            // The any-address socket also catches unicasts to 127.0.0.x addresses nobody holds.
            if (broadcast && datagram.destinationAddress() != Endpoints::current().broadcast
                && !datagram.destinationAddress().isNull())
                continue;
            const QByteArray data = datagram.data();
            {
                QMutexLocker lock(&m_service->mutex);
                m_service->receivedDatagrams << data;
            }
            m_service->datagram(*this, data, datagram.senderAddress(), quint16(datagram.senderPort()));
        }
    }

    std::shared_ptr<FakeUdpService> m_service;
    QHostAddress m_address;
    QUdpSocket *m_socket = nullptr;
    QUdpSocket *m_broadcastSocket = nullptr;
    QList<Outgoing> m_burst;
    int m_answers = 0;
};

// The configuration block port: a 0x43 datagram writes a block, a 0x55 datagram reads one.
class FakeConfigService : public FakeUdpService
{
public:
    explicit FakeConfigService(FakeModule *fake)
        : m_fake(fake)
    {
    }

    quint16 port() const override { return Endpoints::current().configModulePort; }

    void datagram(FakeUdpContext &ctx, const QByteArray &data, const QHostAddress &from, quint16 fromPort) override
    {
        QByteArray answer;
        {
            QMutexLocker lock(&m_fake->m_mutex);
            FakeModule::Records &r = m_fake->m_records;
            r.received[FakeModule::ConfigPort] += data;
            r.datagrams << data;
            if (data.size() < 7)
                return;
            const auto key = qMakePair(int(quint8(data.at(1))), int(quint8(data.at(2))));
            if (data.at(0) == 0x43) {
                const quint32 length = qFromBigEndian<quint32>(data.constData() + 3);
                r.blocks[key] = data.mid(7, int(length));
                const QByteArray &scripted = m_fake->m_script.udpDownloadReply;
                answer = scripted.isNull() ? QByteArrayLiteral("#OK\r\n") : scripted;
            } else if (data.at(0) == 0x55) {
                answer = m_fake->m_script.uploadBlocks.value(key);
            } else {
                return;
            }
        }
        ctx.reply(answer, from, fromPort);
    }

private:
    FakeModule *m_fake;
};

// Lives in the fake's own thread and owns every socket.
class FakeModuleEngine : public QObject
{
public:
    explicit FakeModuleEngine(FakeModule *fake)
        : m_fake(fake)
    {
    }

    bool listen()
    {
        const Endpoints &endpoints = Endpoints::current();
        const QHostAddress address(m_fake->m_address);
        m_command = new QTcpServer(this);
        m_firmware = new QTcpServer(this);
        if (!m_command->listen(address, endpoints.commandPort) || !m_firmware->listen(address, endpoints.firmwarePort)
            || !attachService(m_fake->m_config))
            return false;
        m_configSocket = m_services.constFirst();
        connect(m_command, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_command->nextPendingConnection())
                acceptCommand(socket);
        });
        connect(m_firmware, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_firmware->nextPendingConnection())
                acceptFirmware(socket);
        });
        QList<std::shared_ptr<FakeUdpService>> services;
        {
            QMutexLocker lock(&m_fake->m_mutex);
            services = m_fake->m_services;
        }
        for (const auto &service : services) {
            if (!attachService(service))
                return false;
        }
        return true;
    }

    bool attachService(const std::shared_ptr<FakeUdpService> &service)
    {
        auto *socket = new FakeServiceSocket(service, QHostAddress(m_fake->m_address), this);
        if (!socket->open()) {
            delete socket;
            return false;
        }
        m_services << socket;
        return true;
    }

    void shutdown()
    {
        const auto sockets = findChildren<QAbstractSocket *>();
        for (QAbstractSocket *socket : sockets)
            socket->abort();
        qDeleteAll(std::exchange(m_services, {}));
        m_configSocket = nullptr;
        delete m_command;
        delete m_firmware;
        m_command = m_firmware = nullptr;
        qDeleteAll(findChildren<QTcpSocket *>());
    }

    void sendDatagram(const QByteArray &data, const QHostAddress &to, quint16 port, int msec)
    {
        QTimer::singleShot(msec, this, [this, data, to, port] {
            if (m_configSocket)
                m_configSocket->sendRaw(data, to, port);
        });
    }

private:
    enum Mode { Commands, Params, Settings, Block };
    struct Link
    {
        QByteArray buffer;
        Mode mode = Commands;
        int plug = 0;
        int subplug = 0;
        qint64 blockTotal = 0;
        QByteArray blockData;
        QByteArray pending; // the data block being received
        qint64 pendingSize = 0;
        qint64 firmwareBytes = 0;
        qint64 commandBytes = 0;
        QByteArray firmware;
    };

    FakeModule::Script script() const
    {
        QMutexLocker lock(&m_fake->m_mutex);
        return m_fake->m_script;
    }

    template <typename F> void record(F &&change)
    {
        QMutexLocker lock(&m_fake->m_mutex);
        change(m_fake->m_records);
    }

    // Writes the pieces of one reply, honouring the scripted delay, split and gap.
    void reply(QTcpSocket *socket, const QByteArray &data, bool thenClose = false)
    {
        replyPieces(socket, { data }, thenClose);
    }

    // readSized: the replies of an upload, which the scripted read size cuts anywhere.
    void replyPieces(
        QTcpSocket *socket, const QList<QByteArray> &replies, bool thenClose = false, bool readSized = false)
    {
        const FakeModule::Script s = script();
        if (s.silent)
            return;
        QList<QByteArray> pieces;
        const bool cutUpload = readSized && (s.readSize > 0 || !s.uploadCuts.isEmpty());
        if (readSized && s.readSize > 0) {
            const QByteArray all = replies.join();
            for (int at = 0; at < all.size(); at += s.readSize)
                pieces << all.mid(at, s.readSize);
        } else if (cutUpload) {
            const QByteArray all = replies.join();
            int from = 0;
            for (const int at : s.uploadCuts) {
                if (at > from && at < all.size()) {
                    pieces << all.mid(from, at - from);
                    from = at;
                }
            }
            pieces << all.mid(from);
        } else {
            for (const QByteArray &data : replies) {
                if (s.split > 0 && s.split < data.size()) {
                    pieces << data.left(s.split) << data.mid(s.split);
                } else {
                    pieces << data;
                }
            }
        }
        if (s.backToBack && pieces.size() > 1)
            pieces = { pieces.join() }; // as a busy network delivers them: in one go
        QPointer<QTcpSocket> guarded(socket);
        int at = s.replyDelay;
        for (int i = 0; i < pieces.size(); ++i) {
            const QByteArray piece = pieces.at(i);
            const bool close = thenClose && i == pieces.size() - 1;
            const bool recorded = cutUpload;
            QTimer::singleShot(at, this, [this, guarded, piece, close, recorded] {
                if (guarded && guarded->state() == QAbstractSocket::ConnectedState) {
                    guarded->write(piece);
                    guarded->flush();
                    if (recorded)
                        record([&piece](FakeModule::Records &r) { r.uploadPieces << piece; });
                    if (close)
                        guarded->disconnectFromHost();
                }
            });
            at += s.pieceGap;
        }
    }

    // Writes each reply on its own after its pause (the first after the scripted delay); replies
    // without a pause go out with the one before.
    void replyPaused(QTcpSocket *socket, const QList<QByteArray> &replies, const QList<int> &pauses)
    {
        const FakeModule::Script s = script();
        if (s.silent)
            return;
        QPointer<QTcpSocket> guarded(socket);
        int at = s.replyDelay;
        QList<QByteArray> batch;
        const auto flush = [this, guarded](int when, const QList<QByteArray> &writes) {
            QTimer::singleShot(when, this, [this, guarded, writes] {
                for (const QByteArray &write : writes) {
                    if (!guarded || guarded->state() != QAbstractSocket::ConnectedState)
                        return;
                    guarded->write(write);
                    guarded->flush();
                    record([&write](FakeModule::Records &r) { r.uploadPieces << write; });
                }
            });
        };
        for (int i = 0; i < replies.size(); ++i) {
            const int pause = i == 0 ? 0 : std::max(0, pauses.value(i - 1, 0));
            if (pause > 0 && !batch.isEmpty()) {
                flush(at, batch);
                batch.clear();
            }
            at += pause;
            batch << replies.at(i);
        }
        if (!batch.isEmpty())
            flush(at, batch);
    }

    void acknowledge(QTcpSocket *socket, bool thenClose = false)
    {
        int index = 0;
        record([&index](FakeModule::Records &r) { index = r.acks++; });
        const FakeModule::Script s = script();
        if (index == s.skipAck || (s.ackLimit >= 0 && index >= s.ackLimit))
            return;
        const int times = std::max(1, s.ackTimes);
        if (s.ackGap <= 0) {
            reply(socket, FakeModule::ackReply.repeated(times), thenClose);
            return;
        }
        // Repeats go out on their own, whatever the module has been sent meanwhile.
        QPointer<QTcpSocket> guarded(socket);
        for (int i = 0; i < times; ++i) {
            const bool last = i == times - 1;
            QTimer::singleShot(i * s.ackGap, this, [this, guarded, last, thenClose] {
                if (guarded && m_links.contains(guarded.data()))
                    reply(guarded, FakeModule::ackReply, last && thenClose);
            });
        }
    }

    void acceptCommand(QTcpSocket *socket)
    {
        socket->setParent(this);
        m_links.insert(socket, Link());
        const QHostAddress peer = socket->peerAddress();
        int index = 0;
        record([&peer, &index](FakeModule::Records &r) {
            index = r.connections[FakeModule::CommandPort]++;
            r.peers << peer;
        });
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readCommands(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_links.remove(socket);
            if (m_firmwareCommander == socket)
                m_firmwareCommander = nullptr;
            socket->deleteLater();
        });
        const FakeModule::Script s = script();
        const QByteArray greeting = s.greeting.isEmpty() ? FakeModule::defaultGreeting : s.greeting;
        const int late = s.greetingDelays.isEmpty() ? 0 : s.greetingDelays.value(index, s.greetingDelays.last());
        if (late <= 0) {
            reply(socket, greeting);
            return;
        }
        QPointer<QTcpSocket> guarded(socket);
        QTimer::singleShot(late, this, [this, guarded, greeting] {
            if (guarded && m_links.contains(guarded.data()))
                reply(guarded, greeting);
        });
    }

    void acceptFirmware(QTcpSocket *socket)
    {
        socket->setParent(this);
        m_links.insert(socket, Link());
        record([](FakeModule::Records &r) {
            r.connections[FakeModule::FirmwarePort]++;
            r.firmwareHeader.clear();
            r.firmwareImage.clear();
        });
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFirmware(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_links.remove(socket);
            socket->deleteLater();
        });
    }

    void readFirmware(QTcpSocket *socket)
    {
        if (!m_links.contains(socket))
            return;
        Link &link = m_links[socket];
        const QByteArray bytes = socket->readAll();
        link.firmware += bytes;
        link.firmwareBytes += bytes.size();
        record([&bytes, &link](FakeModule::Records &r) {
            r.received[FakeModule::FirmwarePort] += bytes;
            r.firmwareHeader = link.firmware.left(12);
            r.firmwareImage = link.firmware.mid(12);
        });
        const FakeModule::Script s = script();
        if (s.firmwareDropAfter >= 0 && link.firmwareBytes >= s.firmwareDropAfter) {
            socket->abort();
            return;
        }
        if (link.firmware.size() < 12)
            return;
        const quint32 length = qFromLittleEndian<quint32>(link.firmware.constData() + 4);
        if (link.mode == Commands && quint64(link.firmware.size()) >= 12 + quint64(length)) {
            link.mode = Params; // complete; confirm once
            if (s.confirmFirmware && m_firmwareCommander)
                reply(m_firmwareCommander, FakeModule::resetReply);
        }
    }

    void readCommands(QTcpSocket *socket)
    {
        if (!m_links.contains(socket))
            return;
        const QByteArray bytes = socket->readAll();
        record([&bytes](FakeModule::Records &r) { r.received[FakeModule::CommandPort] += bytes; });
        Link &link = m_links[socket];
        link.commandBytes += bytes.size();
        const qint64 dropAfter = script().commandDropAfter;
        if (dropAfter >= 0 && link.commandBytes >= dropAfter) {
            socket->abort();
            return;
        }
        link.buffer += bytes;
        while (m_links.contains(socket) && handleOne(socket, m_links[socket])) { }
    }

    // Takes one step off the link's buffer; false when more bytes are needed.
    bool handleOne(QTcpSocket *socket, Link &link)
    {
        QByteArray &buf = link.buffer;
        if (buf.isEmpty())
            return false;
        switch (link.mode) {
        case Params:
            record([&buf](FakeModule::Records &r) { r.params += buf; });
            buf.clear();
            return false;
        case Settings: {
            const QByteArray part = buf.left(12 - int(link.pendingSize));
            buf.remove(0, part.size());
            link.pendingSize += part.size();
            record([&part](FakeModule::Records &r) { r.settings += part; });
            if (link.pendingSize >= 12)
                link.mode = Commands;
            return true;
        }
        case Block: {
            const qint64 want
                = std::min<qint64>(tcpBlock, link.blockTotal - link.blockData.size()) - link.pending.size();
            const QByteArray part = buf.left(int(want));
            buf.remove(0, part.size());
            link.pending += part;
            if (link.pending.size() == std::min<qint64>(tcpBlock, link.blockTotal - link.blockData.size())) {
                link.blockData += link.pending;
                const QByteArray write = link.pending;
                link.pending.clear();
                const bool done = link.blockData.size() >= link.blockTotal;
                const auto key = qMakePair(link.plug, link.subplug);
                const QByteArray data = link.blockData;
                record([&](FakeModule::Records &r) {
                    r.blockWrites << write;
                    if (done)
                        r.blocks[key] = data;
                });
                if (done)
                    link.mode = Commands;
                acknowledge(socket);
            }
            return true;
        }
        case Commands:
            break;
        }
        const char command = buf.at(0);
        int size = 3;
        if (command == 'C')
            size = 7;
        else if (!QByteArray("RGPSfUTDM").contains(command)) {
            buf.remove(0, 1);
            return true;
        }
        if (buf.size() < size)
            return false;
        const QByteArray bytes = buf.left(size);
        buf.remove(0, size);
        record([&bytes](FakeModule::Records &r) { r.commands << bytes; });
        const QHostAddress peer = socket->peerAddress();
        for (FakeServiceSocket *service : qAsConst(m_services))
            service->command(bytes, peer);
        if (!m_links.contains(socket))
            return false; // a service's answer closed the link
        const FakeModule::Script s = script();
        if (s.dropOn && s.dropOn == command) {
            socket->disconnectFromHost();
            return false;
        }
        const bool close = s.closeAfter && s.closeAfter == command;
        switch (command) {
        case 'R':
            reply(socket, m_fake->infoReply(), close);
            break;
        case 'G':
            reply(socket, m_fake->paramReply(), close);
            break;
        case 'P':
            record([](FakeModule::Records &r) { r.params.clear(); });
            link.mode = Params;
            acknowledge(socket, close);
            break;
        case 'S':
            record([](FakeModule::Records &r) { r.settings.clear(); });
            link.mode = Settings;
            link.pendingSize = 0;
            acknowledge(socket, close);
            break;
        case 'f':
            m_firmwareCommander = socket;
            break;
        case 'C': {
            link.plug = quint8(bytes.at(1));
            link.subplug = quint8(bytes.at(2));
            link.blockTotal = qFromBigEndian<quint32>(bytes.constData() + 3);
            link.blockData.clear();
            link.pending.clear();
            if (link.blockTotal > 0)
                link.mode = Block;
            else
                record(
                    [&link](FakeModule::Records &r) { r.blocks[qMakePair(link.plug, link.subplug)] = QByteArray(); });
            acknowledge(socket);
            break;
        }
        case 'U': {
            const QByteArray block
                = s.uploadBlocks.value(qMakePair(int(quint8(bytes.at(1))), int(quint8(bytes.at(2)))));
            const quint32 announced = quint32(s.uploadAnnounced >= 0 ? s.uploadAnnounced : block.size());
            QByteArray first = QByteArrayLiteral("SIZE");
            first.append(4, '\0');
            qToBigEndian(announced, first.data() + 4);
            first += s.uploadSizeTail;
            QList<QByteArray> replies { first };
            const int chunk = std::max(1, s.uploadChunk);
            for (int at = 0, i = 0; at < block.size() && s.uploadDataReplies.isEmpty(); ++i) {
                const int length = std::max(1, s.uploadReplyLengths.value(i, chunk));
                replies << block.mid(at, length) + s.uploadTrailer;
                at += length;
            }
            replies += s.uploadDataReplies;
            if (!s.uploadSurplus.isEmpty())
                replies << s.uploadSurplus + s.uploadTrailer;
            if (!s.uploadPauses.isEmpty() && s.readSize <= 0 && s.uploadCuts.isEmpty())
                replyPaused(socket, replies, s.uploadPauses);
            else
                replyPieces(socket, replies, false, true);
            break;
        }
        default: // stream and monitor switches are only recorded
            break;
        }
        return true;
    }

    FakeModule *m_fake;
    QTcpServer *m_command = nullptr;
    QTcpServer *m_firmware = nullptr;
    FakeServiceSocket *m_configSocket = nullptr;
    QHash<QTcpSocket *, Link> m_links;
    QPointer<QTcpSocket> m_firmwareCommander;
    QList<FakeServiceSocket *> m_services;
};

FakeModule::FakeModule(const QString &address)
    : m_address(address)
    , m_config(std::make_shared<FakeConfigService>(this))
{
}

FakeModule::~FakeModule()
{
    stop();
}

bool FakeModule::start()
{
    if (m_thread)
        return true;
    m_thread = new QThread;
    m_thread->setObjectName(QStringLiteral("FakeModule ") + m_address);
    m_engine = new FakeModuleEngine(this);
    m_engine->moveToThread(m_thread);
    m_thread->start();
    bool ok = false;
    QMetaObject::invokeMethod(
        m_engine, [this, &ok] { ok = m_engine->listen(); }, Qt::BlockingQueuedConnection);
    if (!ok)
        stop();
    return ok;
}

void FakeModule::stop()
{
    if (!m_thread)
        return;
    QMetaObject::invokeMethod(
        m_engine, [this] { m_engine->shutdown(); }, Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
    delete m_engine;
    delete m_thread;
    m_engine = nullptr;
    m_thread = nullptr;
}

bool FakeModule::addService(std::shared_ptr<FakeUdpService> service)
{
    {
        QMutexLocker lock(&m_mutex);
        m_services << service;
    }
    if (!m_engine)
        return true; // bound by start()
    bool ok = false;
    FakeModuleEngine *engine = m_engine;
    if (QThread::currentThread() == m_thread)
        ok = engine->attachService(service);
    else
        QMetaObject::invokeMethod(
            engine, [engine, &service, &ok] { ok = engine->attachService(service); }, Qt::BlockingQueuedConnection);
    if (!ok) {
        QMutexLocker lock(&m_mutex);
        m_services.removeOne(service);
    }
    return ok;
}

void FakeModule::useExampleCoupler()
{
    QMutexLocker lock(&m_mutex);
    m_script.moduleType = exampleCouplerType;
    m_script.submoduleIds = exampleSubmoduleIds;
    m_script.paramBytes = exampleParamBytes;
    // Coupler 2 in and 2 out, RV-DI16 2 in, RV-DO16 2 out, RV-AI4 8 in.
    m_script.inputLength = 12;
    m_script.outputLength = 4;
    m_script.greeting = "\r\n" + exampleCouplerType.toLatin1() + " Software version V1.00\r\n";
}

void FakeModule::useExampleTempCtlBlocks()
{
    TempCtlPidBlock pid;
    TempCtlIoBlock io;
    TempCtlStatusBlock status;
    for (int ch = 0; ch < tempChannelCount; ++ch) {
        // Every other channel switches on and off; channels 1 and 2 drive the analog outputs, the
        // others a heater bit each (time-proportioned under PID).
        const quint8 mode = quint8(ch % 2);
        TempCtlPidBlock::Channel &p = pid.channels[size_t(ch)];
        p.mode = mode;
        p.upperTenths = quint16(800 + 20 * ch);
        p.lowerTenths = 50;
        p.bandHundredths = quint16(1500 + 10 * ch);
        p.integralHundredths = quint16(6000 + 100 * ch);
        p.derivativeHundredths = 3000;
        p.periodMs = 2000;
        TempCtlIoBlock::Channel &c = io.channels[size_t(ch)];
        c.input = tempChannelId(QLatin1Char('I'), 0, ch % 4, 0).toLatin1();
        c.output = (ch < 2 ? tempChannelId(QLatin1Char('Q'), 0, ch, 0) : tempChannelId(QLatin1Char('Q'), 0, 2, ch))
                       .toLatin1();
        c.inputHigh = 4000;
        c.inputLow = -200;
        TempCtlStatusBlock::Channel &s = status.channels[size_t(ch)];
        s.mode = mode;
        s.statusReg = 0x0001;
        s.ctrlReg = 0x0001;
        s.pHundredths = p.bandHundredths;
        s.iHundredths = p.integralHundredths;
        s.dHundredths = p.derivativeHundredths;
        // As the curves of the standalone fake show them.
        s.targetTenths = quint16(600 + 50 * ch);
        s.actualTenths = quint16(580 + 50 * ch);
        s.outputTenths = quint16(300 + 40 * ch);
    }
    setUploadBlock(19, 16, pid.encode());
    setUploadBlock(19, 18, io.encode());
    setUploadBlock(19, 19, status.encode());
}

QByteArray FakeModule::uploadBlock(int plug, int subplug) const
{
    QMutexLocker lock(&m_mutex);
    return m_script.uploadBlocks.value(qMakePair(plug, subplug));
}

void FakeModule::setProcessImageLengths(int input, int output)
{
    QMutexLocker lock(&m_mutex);
    m_script.inputLength = input;
    m_script.outputLength = output;
}

#define FAKE_SET(field, value)                                                                                         \
    do {                                                                                                               \
        QMutexLocker lock(&m_mutex);                                                                                   \
        m_script.field = value;                                                                                        \
    } while (0)

void FakeModule::setGreeting(const QByteArray &greeting)
{
    FAKE_SET(greeting, greeting);
}
void FakeModule::setModuleType(const QString &type)
{
    FAKE_SET(moduleType, type);
}
void FakeModule::setSubmoduleIds(const QList<int> &typeIds)
{
    FAKE_SET(submoduleIds, typeIds);
}
void FakeModule::setInfoReply(const QByteArray &reply)
{
    FAKE_SET(infoReply, reply);
}
void FakeModule::setParamBytes(const QByteArray &bytes)
{
    FAKE_SET(paramBytes, bytes);
}
void FakeModule::setParamReply(const QByteArray &reply)
{
    FAKE_SET(paramReply, reply);
}
void FakeModule::setUploadAnnouncedSize(qint64 size)
{
    FAKE_SET(uploadAnnounced, size);
}
void FakeModule::setUploadChunkSize(int size)
{
    FAKE_SET(uploadChunk, size);
}
void FakeModule::setUdpDownloadReply(const QByteArray &reply)
{
    FAKE_SET(udpDownloadReply, reply);
}
void FakeModule::setSilent(bool silent)
{
    FAKE_SET(silent, silent);
    FakeMisbehaviour m = m_config->currentMisbehaviour();
    m.silent = silent;
    m_config->setMisbehaviour(m);
}
void FakeModule::setSkipAck(int index)
{
    FAKE_SET(skipAck, index);
}
void FakeModule::setSplitReply(int at)
{
    FAKE_SET(split, at);
}
void FakeModule::setPieceGap(int msec)
{
    FAKE_SET(pieceGap, msec);
}
void FakeModule::setGreetingDelays(const QList<int> &msec)
{
    FAKE_SET(greetingDelays, msec);
}
void FakeModule::setReadSize(int bytes)
{
    FAKE_SET(readSize, bytes);
}
void FakeModule::setAckRepeat(int times, int gapMs)
{
    QMutexLocker lock(&m_mutex);
    m_script.ackTimes = times;
    m_script.ackGap = gapMs;
}
void FakeModule::setAckLimit(int count)
{
    FAKE_SET(ackLimit, count);
}
void FakeModule::setUploadTrailer(const QByteArray &trailer)
{
    Q_ASSERT(trailer.size() == 4);
    FAKE_SET(uploadTrailer, trailer);
}
void FakeModule::setUploadSizeTail(const QByteArray &tail)
{
    FAKE_SET(uploadSizeTail, tail);
}
void FakeModule::setBackToBack(bool on)
{
    FAKE_SET(backToBack, on);
}
void FakeModule::setReplyDelay(int msec)
{
    FAKE_SET(replyDelay, msec);
    FakeMisbehaviour m = m_config->currentMisbehaviour();
    m.delayMs = msec;
    m_config->setMisbehaviour(m);
}

void FakeModule::addSpacingRows()
{
    QTest::addColumn<bool>("backToBack");
    QTest::newRow("spaced") << false;
    QTest::newRow("back to back") << true;
}

FakeUdpService &FakeModule::configService()
{
    return *m_config;
}
void FakeModule::setDropOnCommand(char command)
{
    FAKE_SET(dropOn, command);
}
void FakeModule::setCloseAfterCommand(char command)
{
    FAKE_SET(closeAfter, command);
}
void FakeModule::setFirmwareDropAfter(qint64 bytes)
{
    FAKE_SET(firmwareDropAfter, bytes);
}
void FakeModule::setCommandDropAfter(qint64 bytes)
{
    FAKE_SET(commandDropAfter, bytes);
}
void FakeModule::setConfirmFirmware(bool confirm)
{
    FAKE_SET(confirmFirmware, confirm);
}

void FakeModule::setUploadCuts(const QList<int> &at)
{
    FAKE_SET(uploadCuts, at);
}

void FakeModule::setUploadReplyLengths(const QList<int> &lengths)
{
    FAKE_SET(uploadReplyLengths, lengths);
}

void FakeModule::setUploadSurplus(const QByteArray &data)
{
    FAKE_SET(uploadSurplus, data);
}

void FakeModule::setUploadPauses(const QList<int> &msec)
{
    FAKE_SET(uploadPauses, msec);
}

void FakeModule::setUploadDataReplies(const QList<QByteArray> &replies)
{
    FAKE_SET(uploadDataReplies, replies);
}

void FakeModule::setUploadBlock(int plug, int subplug, const QByteArray &block)
{
    QMutexLocker lock(&m_mutex);
    m_script.uploadBlocks[qMakePair(plug, subplug)] = block;
}

QByteArray FakeModule::infoReply() const
{
    QMutexLocker lock(&m_mutex);
    if (!m_script.infoReply.isEmpty())
        return m_script.infoReply;
    const QString lastOctet = m_address.section(QLatin1Char('.'), 3, 3);
    QString text = QStringLiteral("moduletype:%1#MAC:02:00:00:00:00:%2#IP:%3#MASK:255.0.0.0#GATEWAY:127.0.0.1"
                                  "#INLN:%4#OTLN:%5#PRLN:%6#V1.00#V1.00#SUBNUM:%7")
                       .arg(m_script.moduleType)
                       .arg(lastOctet.toInt(), 2, 16, QLatin1Char('0'))
                       .arg(m_address)
                       .arg(m_script.inputLength)
                       .arg(m_script.outputLength)
                       .arg(m_script.paramBytes.size())
                       .arg(m_script.submoduleIds.size());
    for (int id : m_script.submoduleIds)
        text += QStringLiteral("#ID:%1#V1.00").arg(id);
    text += QStringLiteral("#end");
    return text.toLatin1();
}

QByteArray FakeModule::paramBytes() const
{
    QMutexLocker lock(&m_mutex);
    return m_script.paramBytes;
}

QByteArray FakeModule::paramReply() const
{
    QMutexLocker lock(&m_mutex);
    if (!m_script.paramReply.isEmpty())
        return m_script.paramReply;
    return QByteArrayLiteral("PRM:") + m_script.paramBytes + QByteArrayLiteral("#end");
}

void FakeModule::sendDatagram(const QByteArray &data, const QHostAddress &to, quint16 port, int msec)
{
    if (!m_engine)
        return;
    FakeModuleEngine *engine = m_engine;
    QMetaObject::invokeMethod(engine, [engine, data, to, port, msec] { engine->sendDatagram(data, to, port, msec); });
}

#define FAKE_GET(expr)                                                                                                 \
    QMutexLocker lock(&m_mutex);                                                                                       \
    return expr

QByteArray FakeModule::received(Port port) const
{
    FAKE_GET(m_records.received.value(port));
}
QList<QByteArray> FakeModule::datagrams() const
{
    FAKE_GET(m_records.datagrams);
}
QList<QByteArray> FakeModule::commands() const
{
    FAKE_GET(m_records.commands);
}
int FakeModule::connectionCount(Port port) const
{
    FAKE_GET(m_records.connections.value(port));
}
QList<QHostAddress> FakeModule::commandPeers() const
{
    FAKE_GET(m_records.peers);
}
QByteArray FakeModule::downloadedParams() const
{
    FAKE_GET(m_records.params);
}
QByteArray FakeModule::networkSettings() const
{
    FAKE_GET(m_records.settings);
}
QByteArray FakeModule::block(int plug, int subplug) const
{
    FAKE_GET(m_records.blocks.value(qMakePair(plug, subplug)));
}
QList<QByteArray> FakeModule::blockWrites() const
{
    FAKE_GET(m_records.blockWrites);
}
QList<QByteArray> FakeModule::uploadPieces() const
{
    FAKE_GET(m_records.uploadPieces);
}
QByteArray FakeModule::firmwareHeader() const
{
    FAKE_GET(m_records.firmwareHeader);
}
QByteArray FakeModule::firmwareImage() const
{
    FAKE_GET(m_records.firmwareImage);
}

void FakeModule::clearRecords()
{
    m_config->clearReceived();
    QMutexLocker lock(&m_mutex);
    m_records = Records();
}

FakeSerialModule::FakeSerialModule(const FakeModule &module)
    : m_module(module)
{
}

int FakeSerialModule::consume(const QByteArray &pending, QList<SerialPeer::Reply> &replies)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (m_remaining >= 0 && now - m_lastMs > staleMs)
        m_remaining = -1;
    m_lastMs = now;
    if (m_remaining > 0) {
        const int take = std::min(m_blockLeft, int(pending.size()));
        m_data += pending.left(take);
        m_blockLeft -= take;
        m_remaining -= take;
        if (m_blockLeft == 0) {
            replies << SerialPeer::now(FakeModule::ackReply);
            m_blockLeft = int(std::min<qint64>(blockSize, m_remaining));
        }
        if (m_remaining == 0) {
            m_remaining = -1;
            m_downloaded = m_data;
            ++m_downloads;
        }
        return take;
    }
    for (const char *command : { "R\r\n", "G\r\n" }) {
        const QByteArray request(command);
        if (pending.startsWith(request)) {
            replies << SerialPeer::now(request.at(0) == 'R' ? m_module.infoReply() : m_module.paramReply());
            return request.size();
        }
        if (request.startsWith(pending))
            return needMore;
    }
    if (pending.at(0) != 'P')
        return notMine;
    if (pending.size() < 7)
        return needMore;
    if (pending.mid(5, 2) != "\r\n")
        return notMine;
    m_remaining = qFromBigEndian<quint32>(pending.constData() + 1);
    m_blockLeft = int(std::min<qint64>(blockSize, m_remaining));
    m_data.clear();
    replies << SerialPeer::now(FakeModule::ackReply);
    if (m_remaining == 0) {
        m_remaining = -1;
        m_downloaded.clear();
        ++m_downloads;
    }
    return 7;
}

QByteArray FakeSerialModule::downloaded() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_downloaded;
}

int FakeSerialModule::downloads() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_downloads;
}
