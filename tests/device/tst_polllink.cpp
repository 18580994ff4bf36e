#include "devicerequest.h"
#include "endpoints.h"
#include "fakemodule.h"
#include "polllink.h"
#include "serialpeer.h"
#include "serialportregistry.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QUdpSocket>

namespace {

// The module's side of a polled UDP port, in the test's thread: answers every poll with "R" and
// the poll, unless muted.
class UdpModule : public QObject
{
public:
    explicit UdpModule(const QString &address)
    {
        bound = socket.bind(QHostAddress(address), Endpoints::current().ioMonModulePort);
        connect(&socket, &QUdpSocket::readyRead, this, [this] {
            while (socket.hasPendingDatagrams()) {
                const QNetworkDatagram d = socket.receiveDatagram();
                polls << d.data();
                fromPorts << quint16(d.senderPort());
                if (!muted)
                    socket.writeDatagram("R" + d.data(), d.senderAddress(), quint16(d.senderPort()));
            }
        });
    }
    QUdpSocket socket;
    bool bound = false;
    bool muted = false;
    QList<QByteArray> polls;
    QList<quint16> fromPorts;
};

PollLink::Settings udpSettings(const QString &address, int missLimit = 3)
{
    PollLink::Settings s;
    s.transport = PollLink::Udp;
    s.address = address;
    s.localPort = Endpoints::current().ioMonLocalPort;
    s.modulePort = Endpoints::current().ioMonModulePort;
    s.periodMs = 20;
    s.missLimit = missLimit;
    return s;
}

// Frames end with a line feed.
QList<QByteArray> cutLines(QByteArray &buffer)
{
    QList<QByteArray> frames;
    int end;
    while ((end = buffer.indexOf('\n')) >= 0) {
        frames << buffer.left(end);
        buffer.remove(0, end + 1);
    }
    return frames;
}

} // namespace

class TestPollLink : public QObject
{
    Q_OBJECT

private slots:
    void pollsOverUdp()
    {
        UdpModule module("127.0.0.91");
        QVERIFY(module.bound);
        PollLink link;
        int n = 0;
        link.setPollBuilder([&n] { return QByteArray("Q") + QByteArray::number(n++); });
        QSignalSpy frames(&link, &PollLink::frameReceived);
        QSignalSpy lost(&link, &PollLink::linkLost);
        QVERIFY(link.start(udpSettings("127.0.0.91")));
        QVERIFY(link.isRunning());
        QTRY_VERIFY_WITH_TIMEOUT(frames.count() >= 5, 10000);
        QCOMPARE(frames.at(0).at(0).toByteArray(), QByteArray("RQ0"));
        QCOMPARE(frames.at(1).at(0).toByteArray(), QByteArray("RQ1"));
        QCOMPARE(module.polls.at(0), QByteArray("Q0"));
        QCOMPARE(module.fromPorts.at(0), Endpoints::current().ioMonLocalPort);
        QCOMPARE(lost.count(), 0);
        QVERIFY(link.send("W"));
        QTRY_VERIFY(module.polls.contains("W"));
        link.stop();
        QVERIFY(!link.isRunning());
        QVERIFY(!link.send("W"));
    }

    void emptyFrameSendsNothing()
    {
        UdpModule module("127.0.0.91");
        QVERIFY(module.bound);
        PollLink link;
        link.setPollBuilder([] { return QByteArray(); });
        QSignalSpy lost(&link, &PollLink::linkLost);
        QVERIFY(link.start(udpSettings("127.0.0.91", 2)));
        // Nothing asked, nothing answered: the misses still count.
        QVERIFY(lost.wait(10000));
        QVERIFY(module.polls.isEmpty());
    }

    void withoutTransportTheLinkIsLostAsASilentOnes()
    {
        PollLink link;
        int polls = 0;
        link.setPollBuilder([&polls] {
            ++polls;
            return QByteArray("Q");
        });
        QSignalSpy lost(&link, &PollLink::linkLost);
        PollLink::Settings s;
        s.transport = PollLink::NoTransport;
        s.periodMs = 20;
        s.missLimit = 1;
        QVERIFY(link.start(s));
        QVERIFY(!link.send("W"));
        QVERIFY(lost.wait(5000));
        // Lost on the third tick, as a module that never answers would be.
        QCOMPARE(polls, 2);
        QVERIFY(!link.isRunning());
    }

    // Each page gives its own rule of when the module is lost: whether the opening poll counts,
    // and whether the link gives up right after the poll that goes over the limit or when the
    // next one is due.
    void missRule_data()
    {
        QTest::addColumn<bool>("pollAtOpen");
        QTest::addColumn<bool>("openingCounts");
        QTest::addColumn<bool>("lostAtPoll");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("polls");
        QTest::newRow("judged when the next poll is due") << false << false << false << 1 << 2;
        QTest::newRow("lost right after the poll") << false << false << true << 1 << 2;
        QTest::newRow("opening poll not counted") << true << false << false << 1 << 3;
        QTest::newRow("opening poll counted") << true << true << false << 1 << 2;
        QTest::newRow("ten polls, lost after the tenth") << true << true << true << 9 << 10;
    }
    void missRule()
    {
        QFETCH(bool, pollAtOpen);
        QFETCH(bool, openingCounts);
        QFETCH(bool, lostAtPoll);
        QFETCH(int, limit);
        QFETCH(int, polls);
        const int period = 100;
        PollLink link;
        int sent = 0;
        QElapsedTimer sinceLastPoll;
        link.setPollBuilder([&] {
            ++sent;
            sinceLastPoll.start();
            return QByteArray("Q");
        });
        int sentAtLoss = -1;
        qint64 lostAfterPoll = -1;
        connect(&link, &PollLink::linkLost, this, [&] {
            sentAtLoss = sent;
            lostAfterPoll = sinceLastPoll.elapsed();
        });
        PollLink::Settings s;
        s.transport = PollLink::NoTransport;
        s.periodMs = period;
        s.missLimit = limit;
        s.lostAtPoll = lostAtPoll;
        s.pollAtOpen = pollAtOpen;
        s.openingPollCounts = openingCounts;
        QVERIFY(link.start(s));
        QCOMPARE(sent, pollAtOpen ? 1 : 0);
        QTRY_VERIFY_WITH_TIMEOUT(sentAtLoss >= 0, 10000);
        QCOMPARE(sentAtLoss, polls);
        QVERIFY(!link.isRunning());
        // Given up in the same step as the last poll, or a whole period later.
        if (lostAtPoll)
            QVERIFY2(lostAfterPoll < period / 2, QByteArray::number(lostAfterPoll));
        else
            QVERIFY2(lostAfterPoll >= period / 2, QByteArray::number(lostAfterPoll));
    }

    // Bytes that make no frame answer a poll only where the page says any bytes do.
    void anyBytesAnswer_data()
    {
        QTest::addColumn<bool>("anyBytes");
        QTest::newRow("any bytes answer") << true;
        QTest::newRow("only whole frames answer") << false;
    }
    void anyBytesAnswer()
    {
        QFETCH(bool, anyBytes);
        UdpModule module("127.0.0.91");
        QVERIFY(module.bound);
        PollLink link;
        link.setCutter(cutLines);
        link.setPollBuilder([] { return QByteArray("Q"); });
        QSignalSpy frames(&link, &PollLink::frameReceived);
        QSignalSpy lost(&link, &PollLink::linkLost);
        PollLink::Settings s = udpSettings("127.0.0.91", 2);
        s.anyBytesAnswer = anyBytes;
        QVERIFY(link.start(s));
        // The module's "RQ" never ends a line.
        if (anyBytes) {
            QTRY_VERIFY_WITH_TIMEOUT(module.polls.size() >= 10, 10000);
            QCOMPARE(lost.count(), 0);
            QVERIFY(link.isRunning());
        } else {
            QVERIFY(lost.wait(10000));
            QCOMPARE(module.polls.size(), 3);
        }
        QCOMPARE(frames.count(), 0);
    }

    void repliesOnlyFromTheModule()
    {
        UdpModule module("127.0.0.91");
        module.muted = true;
        QVERIFY(module.bound);
        QUdpSocket stranger;
        QVERIFY(stranger.bind(QHostAddress("127.0.0.92"), 0));
        PollLink link;
        link.setPollBuilder([] { return QByteArray("Q"); });
        QSignalSpy frames(&link, &PollLink::frameReceived);
        QVERIFY(link.start(udpSettings("127.0.0.91", 1000)));
        for (int i = 0; i < 5; ++i)
            stranger.writeDatagram("intruder", QHostAddress("127.0.0.1"), Endpoints::current().ioMonLocalPort);
        module.socket.writeDatagram("mine", QHostAddress("127.0.0.1"), Endpoints::current().ioMonLocalPort);
        QTRY_COMPARE_WITH_TIMEOUT(frames.count(), 1, 10000);
        QTest::qWait(100);
        QCOMPARE(frames.count(), 1);
        QCOMPARE(frames.at(0).at(0).toByteArray(), QByteArray("mine"));
    }

    void losingAndRegainingTheModule()
    {
        UdpModule module("127.0.0.91");
        QVERIFY(module.bound);
        PollLink link;
        link.setPollBuilder([] { return QByteArray("Q"); });
        QSignalSpy frames(&link, &PollLink::frameReceived);
        QSignalSpy lost(&link, &PollLink::linkLost);
        QVERIFY(link.start(udpSettings("127.0.0.91", 8)));
        QTRY_VERIFY_WITH_TIMEOUT(frames.count() >= 2, 10000);

        // A short silence, within the miss limit, is no loss.
        module.muted = true;
        const int before = module.polls.size();
        QTRY_VERIFY_WITH_TIMEOUT(module.polls.size() >= before + 3, 10000);
        module.muted = false;
        const int framesBefore = frames.count();
        QTRY_VERIFY_WITH_TIMEOUT(frames.count() > framesBefore + 2, 10000);
        QCOMPARE(lost.count(), 0);

        // A long one is.
        module.muted = true;
        QVERIFY(lost.wait(10000));
        QVERIFY(!link.isRunning());
        const int polled = module.polls.size();
        QTest::qWait(100);
        QCOMPARE(module.polls.size(), polled);

        // The module is back: a new start polls it again.
        module.muted = false;
        frames.clear();
        QVERIFY(link.start(udpSettings("127.0.0.91", 8)));
        QTRY_VERIFY_WITH_TIMEOUT(frames.count() >= 2, 10000);
        QCOMPARE(lost.count(), 1);
    }

    void cutterAndBufferCap()
    {
        UdpModule module("127.0.0.91");
        module.muted = true;
        QVERIFY(module.bound);
        PollLink link;
        link.setCutter(cutLines);
        QSignalSpy frames(&link, &PollLink::frameReceived);
        PollLink::Settings s = udpSettings("127.0.0.91", 1000);
        s.maxBuffer = 64;
        QVERIFY(link.start(s));
        const quint16 port = Endpoints::current().ioMonLocalPort;
        const QHostAddress here("127.0.0.1");
        module.socket.writeDatagram("ab", here, port);
        module.socket.writeDatagram("c\nd", here, port);
        QTRY_COMPARE_WITH_TIMEOUT(frames.count(), 1, 10000);
        QCOMPARE(frames.at(0).at(0).toByteArray(), QByteArray("abc"));
        // A frame that never ends cannot grow the buffer past its cap.
        module.socket.writeDatagram(QByteArray(100, 'x'), here, port);
        module.socket.writeDatagram("tail\n", here, port);
        QTRY_COMPARE_WITH_TIMEOUT(frames.count(), 2, 10000);
        QCOMPARE(frames.at(1).at(0).toByteArray(), QByteArray("tail"));
    }

    void badStartsFail()
    {
        PollLink link;
        QVERIFY(!link.start(udpSettings("not an address")));
        QVERIFY(!link.errorString().isEmpty());
        QVERIFY(!link.isRunning());
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress::AnyIPv4, Endpoints::current().ioMonLocalPort));
        QVERIFY(!link.start(udpSettings("127.0.0.91")));
        QVERIFY(!link.isRunning());
        PollLink::Settings serial;
        serial.transport = PollLink::Serial;
        serial.portName = "/dev/no-such-port";
        QVERIFY(!link.start(serial));
        QVERIFY(!SerialPortRegistry::instance().isHeld("/dev/no-such-port"));
    }

    void stopFromAnyState_data()
    {
        QTest::addColumn<QString>("when");
        QTest::newRow("never started") << "idle";
        QTest::newRow("twice") << "twice";
        QTest::newRow("in frameReceived") << "frame";
        QTest::newRow("deleted in frameReceived") << "deleteOnFrame";
        QTest::newRow("in linkLost") << "lost";
        QTest::newRow("deleted in linkLost") << "deleteOnLost";
        QTest::newRow("deleted while running") << "delete";
    }

    void stopFromAnyState()
    {
        QFETCH(QString, when);
        UdpModule module("127.0.0.91");
        QVERIFY(module.bound);
        QPointer<PollLink> link = new PollLink;
        link->setPollBuilder([] { return QByteArray("Q"); });
        bool handled = false;
        if (when == "idle" || when == "twice") {
            link->stop();
            link->stop();
            if (when == "twice") {
                QVERIFY(link->start(udpSettings("127.0.0.91")));
                link->stop();
                link->stop();
            }
            QVERIFY(!link->isRunning());
            delete link;
            return;
        }
        if (when == "frame" || when == "deleteOnFrame") {
            connect(link, &PollLink::frameReceived, this, [&link, &handled, when] {
                handled = true;
                if (when == "frame")
                    link->stop();
                else
                    delete link;
            });
        } else if (when == "lost" || when == "deleteOnLost") {
            module.muted = true;
            connect(link, &PollLink::linkLost, this, [&link, &handled, when] {
                handled = true;
                if (when == "lost")
                    link->stop();
                else
                    delete link;
            });
        }
        QVERIFY(link->start(udpSettings("127.0.0.91", 2)));
        if (when == "delete") {
            QTRY_VERIFY(!module.polls.isEmpty());
            delete link;
            handled = true;
        }
        QTRY_VERIFY_WITH_TIMEOUT(handled, 10000);
        QTest::qWait(60);
        if (link) {
            QVERIFY(!link->isRunning());
            delete link;
        }
        // The local port is free again.
        QTRY_VERIFY(QUdpSocket().bind(QHostAddress::AnyIPv4, Endpoints::current().ioMonLocalPort));
    }

    void switchesTheStreamOnAndOff()
    {
        FakeModule fake("127.0.0.93");
        QVERIFY(fake.start());
        PollLink link;
        link.setPollBuilder([] { return QByteArray("Q"); });
        PollLink::Settings s = udpSettings("127.0.0.93", 1000);
        s.streamOn = QByteArray("\x44\x00\x01", 3);
        s.streamOff = QByteArray("\x44\x00\x00", 3);
        QVERIFY(link.start(s));
        QTRY_COMPARE_WITH_TIMEOUT(fake.received(FakeModule::CommandPort), s.streamOn, 10000);
        link.stop();
        QTRY_COMPARE_WITH_TIMEOUT(fake.received(FakeModule::CommandPort), s.streamOn + s.streamOff, 10000);
        QVERIFY(DeviceRequest::stopAll(10000));
    }

    void pollsOverTheSerialLink()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        peer.addReply("?\r\n", "val#end\n");
        PollLink link;
        link.setPollBuilder([] { return QByteArray("?\r\n"); });
        link.setCutter(cutLines);
        QSignalSpy frames(&link, &PollLink::frameReceived);
        PollLink::Settings s;
        s.transport = PollLink::Serial;
        s.portName = peer.portName();
        s.periodMs = 30;
        s.missLimit = 1000;
        QVERIFY(link.start(s));
        QVERIFY(SerialPortRegistry::instance().isHeld(peer.portName()));
        QTRY_VERIFY_WITH_TIMEOUT(frames.count() >= 3, 10000);
        QCOMPARE(frames.at(0).at(0).toByteArray(), QByteArray("val#end"));
        QVERIFY(peer.received().startsWith("?\r\n?\r\n"));
        link.stop();
        QVERIFY(!SerialPortRegistry::instance().isHeld(peer.portName()));
    }

    // While a scan or a download has the port, the polls wait and nothing is counted: the link
    // outlives a lease far longer than its miss limit and polls again after it.
    void pausedWhileThePortIsLent()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        peer.addReply("?\r\n", "val#end\n");
        PollLink link;
        link.setPollBuilder([] { return QByteArray("?\r\n"); });
        link.setCutter(cutLines);
        QSignalSpy frames(&link, &PollLink::frameReceived);
        QSignalSpy lost(&link, &PollLink::linkLost);
        PollLink::Settings s;
        s.transport = PollLink::Serial;
        s.portName = peer.portName();
        s.periodMs = 30;
        s.missLimit = 2;
        s.lostAtPoll = true;
        QVERIFY(link.start(s));
        QTRY_VERIFY_WITH_TIMEOUT(frames.count() >= 1, 10000);
        {
            SerialLease lease(peer.portName());
            const int received = peer.received().size();
            QElapsedTimer clock;
            clock.start();
            QTRY_VERIFY_WITH_TIMEOUT(clock.elapsed() > 20 * s.periodMs, 10000);
            QCOMPARE(lost.count(), 0);
            QVERIFY(link.isRunning());
            // At most the poll already on its way when the port was lent.
            QVERIFY(peer.received().size() <= received + 3);
        }
        const int before = frames.count();
        QTRY_VERIFY_WITH_TIMEOUT(frames.count() >= before + 3, 10000);
        QCOMPARE(lost.count(), 0);
    }

    void serialPortHeldElsewhere()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        QObject other;
        QVERIFY(SerialPortRegistry::instance().acquire(peer.portName(), &other));
        PollLink link;
        PollLink::Settings s;
        s.transport = PollLink::Serial;
        s.portName = peer.portName();
        QVERIFY(!link.start(s));
        QCOMPARE(link.errorString(), QString::fromUtf8("串口%1被占用：扫描或下载正在使用").arg(peer.portName()));
        SerialPortRegistry::instance().release(peer.portName(), &other);
        QVERIFY(link.start(s));
        link.stop();
    }
};

RIVUDO_TEST_MAIN(TestPollLink)
#include "tst_polllink.moc"
