#include "endpoints.h"
#include "fakemodule.h"
#include "fakeservice.h"
#include "serialpeer.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QSerialPort>
#include <QTcpSocket>
#include <QUdpSocket>
#include <memory>

Q_DECLARE_METATYPE(FakeMisbehaviour)

namespace {

// Answers every datagram with "re:" + the datagram; counts ticks and remembers commands.
class EchoService : public FakeUdpService
{
public:
    explicit EchoService(quint16 port, bool broadcast = false, int tickMs = 0)
        : m_port(port)
        , m_broadcast(broadcast)
        , m_tickMs(tickMs)
    {
    }
    quint16 port() const override { return m_port; }
    bool wantsBroadcast() const override { return m_broadcast; }
    int tickMs() const override { return m_tickMs; }
    void datagram(FakeUdpContext &ctx, const QByteArray &data, const QHostAddress &from, quint16 fromPort) override
    {
        // Two answers to "twice" show how answers of one datagram leave.
        ctx.reply("re:" + data, from, fromPort);
        if (data == "twice")
            ctx.reply("re:again", from, fromPort);
        QMutexLocker lock(&mutex);
        m_peer = qMakePair(from, fromPort);
    }
    void tick(FakeUdpContext &ctx) override
    {
        QPair<QHostAddress, quint16> peer;
        {
            QMutexLocker lock(&mutex);
            ++m_ticks;
            peer = m_peer;
        }
        if (peer.second)
            ctx.sendRaw("tick", peer.first, peer.second);
    }
    void command(FakeUdpContext &ctx, const QByteArray &bytes, const QHostAddress &from) override
    {
        QMutexLocker lock(&mutex);
        m_commands << bytes;
        m_commandPeer = from;
        m_address = ctx.moduleAddress();
    }
    int ticks() const
    {
        QMutexLocker lock(&mutex);
        return m_ticks;
    }
    QList<QByteArray> commands() const
    {
        QMutexLocker lock(&mutex);
        return m_commands;
    }
    QHostAddress moduleAddress() const
    {
        QMutexLocker lock(&mutex);
        return m_address;
    }

private:
    quint16 m_port;
    bool m_broadcast;
    int m_tickMs;
    int m_ticks = 0;
    QPair<QHostAddress, quint16> m_peer;
    QList<QByteArray> m_commands;
    QHostAddress m_commandPeer;
    QHostAddress m_address;
};

// A client socket on 127.0.0.1 collecting what arrives with its arrival time.
struct Client
{
    QUdpSocket socket;
    QList<QByteArray> got;
    QList<qint64> at;
    QElapsedTimer clock;

    Client()
    {
        socket.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0);
        clock.start();
        QObject::connect(&socket, &QUdpSocket::readyRead, [this] {
            while (socket.hasPendingDatagrams()) {
                got << socket.receiveDatagram().data();
                at << clock.elapsed();
            }
        });
    }
    void send(const QByteArray &data, const QString &to, quint16 port)
    {
        socket.writeDatagram(data, QHostAddress(to), port);
    }
};

// A stateful serial device: "N?\n" asks how many questions it has had, "Z\n" resets the count;
// it talks unasked ("T\n") when ticking.
class CountingDevice : public SerialPeer::Device
{
public:
    explicit CountingDevice(int tickMs = 0)
        : m_tickMs(tickMs)
    {
    }
    int consume(const QByteArray &pending, QList<SerialPeer::Reply> &replies) override
    {
        for (const QByteArray &request : { QByteArray("N?\n"), QByteArray("Z\n") }) {
            if (pending.startsWith(request)) {
                if (request == "Z\n")
                    m_count = 0;
                else
                    replies << SerialPeer::now("N" + QByteArray::number(++m_count) + "\n");
                return request.size();
            }
            if (request.startsWith(pending))
                return needMore;
        }
        return notMine;
    }
    int tickMs() const override { return m_tickMs; }
    void tick(QList<SerialPeer::Reply> &replies) override { replies << SerialPeer::now("T\n"); }

private:
    int m_tickMs;
    int m_count = 0;
};

struct Port
{
    QSerialPort port;
    QByteArray got;
    explicit Port(const QString &name)
        : port(name)
    {
        QObject::connect(&port, &QSerialPort::readyRead, [this] { got += port.readAll(); });
    }
};

} // namespace

class tst_FakeModule : public QObject
{
    Q_OBJECT

private slots:
    void serviceAddedBeforeOrAfterStart_data()
    {
        QTest::addColumn<bool>("afterStart");
        QTest::newRow("before start") << false;
        QTest::newRow("after start") << true;
    }
    void serviceAddedBeforeOrAfterStart()
    {
        QFETCH(bool, afterStart);
        const quint16 port = TestSupport::freePort();
        FakeModule fake(QStringLiteral("127.0.0.21"));
        auto service = std::make_shared<EchoService>(port);
        if (!afterStart)
            QVERIFY(fake.addService(service));
        QVERIFY(fake.start());
        if (afterStart)
            QVERIFY(fake.addService(service));

        Client client;
        client.send("hello", fake.address(), port);
        QTRY_COMPARE_WITH_TIMEOUT(client.got, QList<QByteArray> { "re:hello" }, 5000);
        QCOMPARE(service->received(), QList<QByteArray> { "hello" });
        service->clearReceived();
        QVERIFY(service->received().isEmpty());
    }

    void portInUseFailsTheService()
    {
        const quint16 port = TestSupport::freePort();
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress(QStringLiteral("127.0.0.22")), port));
        FakeModule fake(QStringLiteral("127.0.0.22"));
        QVERIFY(fake.start());
        QVERIFY(!fake.addService(std::make_shared<EchoService>(port)));

        FakeModule later(QStringLiteral("127.0.0.22"));
        QVERIFY(later.addService(std::make_shared<EchoService>(port)));
        fake.stop();
        QVERIFY(!later.start());
    }

    void misbehaviour_data()
    {
        QTest::addColumn<FakeMisbehaviour>("misbehaviour");
        QTest::addColumn<QList<QByteArray>>("request");
        QTest::addColumn<QList<QByteArray>>("answers");
        QTest::addColumn<int>("minMs");

        const QList<QByteArray> three { "a", "b", "c" };
        FakeMisbehaviour m;
        QTest::newRow("plain") << m << three << QList<QByteArray> { "re:a", "re:b", "re:c" } << 0;
        m.silent = true;
        QTest::newRow("silent") << m << three << QList<QByteArray>() << 0;
        m = FakeMisbehaviour();
        m.delayMs = 300;
        QTest::newRow("late") << m << QList<QByteArray> { "a" } << QList<QByteArray> { "re:a" } << 300;
        m = FakeMisbehaviour();
        m.splitAt = 2;
        m.gapMs = 200;
        QTest::newRow("split") << m << QList<QByteArray> { "abc" } << QList<QByteArray> { "re", ":abc" } << 200;
        m = FakeMisbehaviour();
        m.dropEvery = 2;
        QTest::newRow("drop every second")
            << m << QList<QByteArray> { "a", "b", "c", "d", "e" } << QList<QByteArray> { "re:a", "re:c", "re:e" } << 0;
        m = FakeMisbehaviour();
        m.backToBack = true;
        m.splitAt = 2;
        m.gapMs = 5000; // no gap back to back
        QTest::newRow("back to back") << m << QList<QByteArray> { "twice" }
                                      << QList<QByteArray> { "re", ":twice", "re", ":again" } << 0;
    }
    void misbehaviour()
    {
        QFETCH(FakeMisbehaviour, misbehaviour);
        QFETCH(QList<QByteArray>, request);
        QFETCH(QList<QByteArray>, answers);
        QFETCH(int, minMs);

        const quint16 port = TestSupport::freePort();
        FakeModule fake(QStringLiteral("127.0.0.23"));
        auto service = std::make_shared<EchoService>(port);
        service->setMisbehaviour(misbehaviour);
        QVERIFY(fake.addService(service));
        QVERIFY(fake.start());

        Client client;
        for (const QByteArray &r : request) {
            client.send(r, fake.address(), port);
            // One at a time so the order of answers is the order of requests.
            QTRY_COMPARE_WITH_TIMEOUT(service->received().size(), request.indexOf(r) + 1, 5000);
        }
        if (answers.isEmpty()) {
            // An answer left before this one would arrive first.
            service->setMisbehaviour(FakeMisbehaviour());
            client.send("z", fake.address(), port);
            QTRY_COMPARE_WITH_TIMEOUT(client.got, QList<QByteArray> { "re:z" }, 5000);
            QCOMPARE(service->received(), request + QList<QByteArray> { "z" });
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(client.got, answers, 10000);
        QVERIFY2(client.at.last() >= minMs, qPrintable(QString::number(client.at.last())));
        if (misbehaviour.backToBack)
            QVERIFY2(client.at.last() < 2000, qPrintable(QString::number(client.at.last())));
    }

    void broadcastReachesEveryModuleOnce()
    {
        const quint16 port = TestSupport::freePort();
        FakeModule first(QStringLiteral("127.0.0.24"));
        FakeModule second(QStringLiteral("127.0.0.25"));
        auto one = std::make_shared<EchoService>(port, true);
        auto two = std::make_shared<EchoService>(port, true);
        QVERIFY(first.addService(one));
        QVERIFY(second.addService(two));
        QVERIFY(first.start());
        QVERIFY(second.start());

        QUdpSocket client;
        QVERIFY(client.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0));
        client.writeDatagram("who", Endpoints::current().broadcast, port);
        QStringList senders;
        QElapsedTimer timer;
        timer.start();
        while (senders.size() < 2 && timer.elapsed() < 5000) {
            if (!client.hasPendingDatagrams())
                client.waitForReadyRead(100);
            while (client.hasPendingDatagrams()) {
                const QNetworkDatagram d = client.receiveDatagram();
                QCOMPARE(d.data(), QByteArray("re:who"));
                senders << d.senderAddress().toString();
            }
        }
        senders.sort();
        // Each answers from its own address, so the program sees two modules.
        QCOMPARE(senders, QStringList({ "127.0.0.24", "127.0.0.25" }));
        QCOMPARE(one->received(), QList<QByteArray> { "who" });
        QCOMPARE(two->received(), QList<QByteArray> { "who" });

        // A unicast to one of them reaches that one only: had the other taken it, it would come
        // before the next broadcast.
        client.writeDatagram("you", QHostAddress(QStringLiteral("127.0.0.25")), port);
        QTRY_COMPARE_WITH_TIMEOUT(two->received().size(), 2, 5000);
        client.writeDatagram("all", Endpoints::current().broadcast, port);
        QTRY_COMPARE_WITH_TIMEOUT(one->received().size(), 2, 5000);
        QCOMPARE(one->received(), (QList<QByteArray> { "who", "all" }));
        QTRY_COMPARE_WITH_TIMEOUT(two->received(), (QList<QByteArray> { "who", "you", "all" }), 5000);
    }

    void tickAndCommandsReachTheService()
    {
        const quint16 port = TestSupport::freePort();
        FakeModule fake(QStringLiteral("127.0.0.26"));
        auto service = std::make_shared<EchoService>(port, false, 50);
        QVERIFY(fake.addService(service));
        QVERIFY(fake.start());

        Client client;
        client.send("on", fake.address(), port);
        QTRY_VERIFY_WITH_TIMEOUT(client.got.count("tick") >= 3, 5000);
        QVERIFY(service->ticks() >= 3);

        QTcpSocket command;
        QByteArray answers;
        connect(&command, &QTcpSocket::readyRead, this, [&] { answers += command.readAll(); });
        command.connectToHost(fake.address(), Endpoints::current().commandPort);
        command.write(QByteArray("M\x01\x00", 3));
        command.write("Rxx");
        QTRY_COMPARE_WITH_TIMEOUT(service->commands(), (QList<QByteArray> { QByteArray("M\x01\x00", 3), "Rxx" }), 5000);
        QCOMPARE(service->moduleAddress(), QHostAddress(fake.address()));
        // The module still answers its own commands.
        QTRY_VERIFY_WITH_TIMEOUT(answers.contains("moduletype:FAKE-IO#"), 5000);
    }

    // The command port offers every ending and cutting of upload replies, repeated and held
    // back acknowledges, and greetings late on one link only.
    void commandPortForms()
    {
        FakeModule fake(QStringLiteral("127.0.0.27"));
        fake.setUploadBlock(18, 19, "ABCDEFGHIJ");
        fake.setUploadChunkSize(4);
        fake.setUploadTrailer("end\n");
        fake.setUploadSizeTail("end\r\n");
        fake.setGreetingDelays({ 1000, 0 });
        QVERIFY(fake.start());
        const auto open = [&fake](QTcpSocket &socket, QByteArrayList &reads) {
            connect(&socket, &QTcpSocket::readyRead, &socket, [&socket, &reads] { reads << socket.readAll(); });
            socket.connectToHost(fake.address(), Endpoints::current().commandPort);
        };

        // The second link is greeted first.
        QTcpSocket late;
        QTcpSocket early;
        QByteArrayList lateReads;
        QByteArrayList earlyReads;
        open(late, lateReads);
        QTRY_COMPARE_WITH_TIMEOUT(fake.connectionCount(FakeModule::CommandPort), 1, 5000);
        open(early, earlyReads);
        QTRY_COMPARE_WITH_TIMEOUT(earlyReads.size(), 1, 5000);
        QVERIFY(lateReads.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(lateReads.size(), 1, 5000);

        // Upload replies with their endings, in reads of at most 5 bytes.
        fake.setReadSize(5);
        fake.setPieceGap(30);
        earlyReads.clear();
        early.write("U\x12\x13");
        const QByteArray stream = QByteArray("SIZE\0\0\0\x0a", 8) + "end\r\n" + "ABCDend\nEFGHend\nIJend\n";
        QTRY_COMPARE_WITH_TIMEOUT(earlyReads.join(), stream, 5000);
        // Checked where they are written: a busy machine may read two pieces at once.
        const QList<QByteArray> pieces = fake.uploadPieces();
        QCOMPARE(pieces.join(), stream);
        for (int i = 0; i < pieces.size(); ++i)
            QVERIFY(i == pieces.size() - 1 ? pieces.at(i).size() <= 5 : pieces.at(i).size() == 5);

        // The header of an empty block acknowledged three times at once, then (limit 1) nothing.
        fake.setAckRepeat(3, 0);
        fake.setAckLimit(1);
        earlyReads.clear();
        early.write(QByteArray("C\x12\x10\0\0\0\0", 7));
        QTRY_COMPARE_WITH_TIMEOUT(earlyReads.join(), FakeModule::ackReply.repeated(3), 5000);
        early.write(QByteArray("C\x12\x10\0\0\0\0", 7));
        early.write("R\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(earlyReads.join().endsWith("#end"), 5000);
        QCOMPARE(earlyReads.join(), FakeModule::ackReply.repeated(3) + fake.infoReply());

        // Repeats spaced apart come in reads of their own.
        fake.setAckRepeat(2, 100);
        fake.setAckLimit(-1);
        earlyReads.clear();
        early.write(QByteArray("C\x12\x10\0\0\0\0", 7));
        QTRY_COMPARE_WITH_TIMEOUT(earlyReads, (QByteArrayList { FakeModule::ackReply, FakeModule::ackReply }), 5000);
    }

    // The module's own configuration port misbehaves like any service.
    void configPortIsAService()
    {
        FakeModule fake(QStringLiteral("127.0.0.27"));
        fake.setUploadBlock(2, 1, "0123456789");
        QVERIFY(fake.start());
        FakeMisbehaviour split;
        split.splitAt = 4;
        fake.configService().setMisbehaviour(split);
        fake.setReplyDelay(100); // keeps the split

        Client client;
        const quint16 port = Endpoints::current().configModulePort;
        client.send(QByteArray("\x55\x02\x01\0\0\0\0", 7), fake.address(), port);
        QTRY_COMPARE_WITH_TIMEOUT(client.got, (QList<QByteArray> { "0123", "456789" }), 5000);
        QVERIFY(client.at.first() >= 100);
        QCOMPARE(fake.datagrams(), QList<QByteArray> { QByteArray("\x55\x02\x01\0\0\0\0", 7) });

        fake.setSilent(true);
        client.send(QByteArray("\x43\x02\x01\0\0\0\x01x", 8), fake.address(), port);
        QTRY_COMPARE_WITH_TIMEOUT(fake.block(2, 1), QByteArray("x"), 5000);
        fake.setSilent(false);
        client.send(QByteArray("\x55\x02\x01\0\0\0\0", 7), fake.address(), port);
        QTRY_COMPARE_WITH_TIMEOUT(client.got.size(), 4, 5000);
        QCOMPARE(client.got.mid(2), (QList<QByteArray> { "0123", "456789" }));
    }

    void serialDeviceBesideRules()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        peer.addReply("R\r\n", "info#end");
        auto device = std::make_shared<CountingDevice>();
        peer.addDevice(device);

        Port p(peer.portName());
        QVERIFY(p.port.open(QIODevice::ReadWrite));
        // The device's request arrives in pieces; bytes nobody understands are dropped.
        p.port.write("xN");
        p.port.flush();
        QVERIFY(peer.waitForReceived(2));
        p.port.write("?\nR\r\nN?\nZ\nN?\n");
        QTRY_COMPARE_WITH_TIMEOUT(p.got, QByteArray("N1\ninfo#endN2\nN1\n"), 5000);
        QCOMPARE(peer.requests(), (QList<QByteArray> { "N?\n", "R\r\n", "N?\n", "Z\n", "N?\n" }));
        QCOMPARE(peer.received(), QByteArray("xN?\nR\r\nN?\nZ\nN?\n"));
    }

    void serialDeviceMisbehaves_data()
    {
        QTest::addColumn<FakeMisbehaviour>("misbehaviour");
        QTest::addColumn<QByteArray>("answers");
        QTest::addColumn<int>("minMs");
        FakeMisbehaviour m;
        m.dropEvery = 2;
        QTest::newRow("drop every second") << m << QByteArray("N1\nN3\n") << 0;
        m = FakeMisbehaviour();
        m.delayMs = 300;
        QTest::newRow("late") << m << QByteArray("N1\nN2\nN3\n") << 300;
        m = FakeMisbehaviour();
        m.splitAt = 1;
        m.gapMs = 100;
        QTest::newRow("split") << m << QByteArray("N1\nN2\nN3\n") << 100;
        m.backToBack = true;
        QTest::newRow("back to back") << m << QByteArray("N1\nN2\nN3\n") << 0;
    }
    void serialDeviceMisbehaves()
    {
        QFETCH(FakeMisbehaviour, misbehaviour);
        QFETCH(QByteArray, answers);
        QFETCH(int, minMs);
        SerialPeer peer;
        auto device = std::make_shared<CountingDevice>();
        device->setMisbehaviour(misbehaviour);
        peer.addDevice(device);
        Port p(peer.portName());
        QVERIFY(p.port.open(QIODevice::ReadWrite));
        QElapsedTimer clock;
        clock.start();
        QList<QByteArray> reads;
        QObject::connect(&p.port, &QSerialPort::readyRead, [&] { reads << p.got; });
        p.port.write("N?\nN?\nN?\n");
        QTRY_COMPARE_WITH_TIMEOUT(p.got, answers, 5000);
        QVERIFY(clock.elapsed() >= minMs);
        // Split answers arrive in pieces; back to back, whole.
        const bool piecesSeen
            = std::any_of(reads.begin(), reads.end(), [](const QByteArray &r) { return !r.endsWith('\n'); });
        QCOMPARE(piecesSeen, misbehaviour.splitAt > 0 && !misbehaviour.backToBack);
    }

    void serialDeviceTalksUnasked()
    {
        SerialPeer peer;
        peer.addDevice(std::make_shared<CountingDevice>(30));
        Port p(peer.portName());
        QVERIFY(p.port.open(QIODevice::ReadWrite));
        QTRY_VERIFY_WITH_TIMEOUT(p.got.count("T\n") >= 3, 5000);
        p.port.write("N?\n");
        QTRY_VERIFY_WITH_TIMEOUT(p.got.contains("N1\n"), 5000);
    }
};

RIVUDO_TEST_MAIN(tst_FakeModule)
#include "tst_fakemodule.moc"
