#include "iolink_module.h"
#include "plugframe.h"
#include "serialline.h"
#include "seriallink.h"
#include "serialpeer.h"
#include "serialportregistry.h"
#include "testsupport.h"
#include "uartthread.h"
#include "weighcommand.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <memory>
#include <random>

namespace {
// Frames ended by "#end".
QList<QByteArray> cutEnds(QByteArray &buffer)
{
    QList<QByteArray> frames;
    int end;
    while ((end = buffer.indexOf("#end")) >= 0) {
        frames << buffer.left(end);
        buffer.remove(0, end + 4);
    }
    return frames;
}

QByteArray plugRequest(quint8 type, int command, const QByteArray &payload)
{
    return char(PlugFrame::requestPrefix) + PlugFrame::build(type, command, payload);
}

// An IO-Link reply of command for port, its payload of the size the command gives, marked.
QByteArray ioLinkReply(int command, int port, char mark)
{
    QByteArray payload(ioLinkReplyPayloadSize(command), mark);
    payload[0] = char(port);
    return PlugFrame::build(PlugFrame::typeIoLink, command, payload);
}

// The IO-Link replies of one port, as a page of the coupler might take them.
FrameClaim portClaim(int port)
{
    return [port](const QByteArray &frame) {
        const int size = IoLink_Module::claimReply(frame);
        return size > 0 && frame.size() > 7 && quint8(frame.at(7)) != port ? -1 : size;
    };
}

QList<QByteArray> framesOf(const QSignalSpy &spy)
{
    QList<QByteArray> frames;
    for (const QList<QVariant> &args : spy)
        frames << args.at(0).toByteArray();
    return frames;
}

// A module on the line for the seeded test: it answers plug frame requests of the IO-Link, the
// weighing and the factory pages, and turn-taking polls ("D" and a token), each answer carrying
// the request's token; now and then it drops an answer or sends a few noise bytes before one.
class TokenModule : public SerialPeer::Device
{
public:
    explicit TokenModule(unsigned seed)
        : m_random(seed)
    {
    }

    int consume(const QByteArray &pending, QList<SerialPeer::Reply> &replies) override
    {
        if (pending.startsWith('D')) {
            if (pending.size() < 5)
                return needMore;
            const QByteArray token = pending.mid(1, 4);
            QByteArray reply = QByteArray("\xA5\x00\x04", 3) + token;
            quint16 sum = 0;
            for (char c : reply)
                sum = quint16(sum + quint8(c));
            reply.append(char(quint16(0x10000 - sum) >> 8)).append(char((0x10000 - sum) & 0xFF));
            answer(reply + '\x5A', replies);
            return 5;
        }
        if (!pending.startsWith(char(PlugFrame::requestPrefix)))
            return notMine;
        if (pending.size() < 8)
            return needMore;
        const int size = 1 + 9 + int(PlugFrame::payloadLength(pending.mid(1)));
        if (pending.size() < size)
            return needMore;
        const QByteArray frame = pending.mid(1, size - 1);
        const quint8 type = quint8(frame.at(1));
        const int command = quint8(frame.at(2));
        const QByteArray payload = frame.mid(7, frame.size() - 9);
        QByteArray out;
        if (type == PlugFrame::typeIoLink) {
            out.fill('\0', ioLinkReplyPayloadSize(command));
            out.replace(0, 5, payload.left(5));
        } else if (command >= WEIGH_FACTORY_READ) {
            out = payload.mid(1, 4) + QByteArray(4, '\x11');
        } else {
            out = payload.left(5) + QByteArray(8, '\x22');
        }
        answer(PlugFrame::build(type, command, out) + '\x5A', replies);
        return size;
    }

private:
    void answer(const QByteArray &bytes, QList<SerialPeer::Reply> &replies)
    {
        if (m_random() % 10 == 0)
            return;
        QByteArray noise;
        if (m_random() % 4 == 0) {
            for (int n = int(m_random() % 5) + 1; n > 0; --n) {
                char c = char(m_random() % 256);
                if (quint8(c) == PlugFrame::head || quint8(c) == PlugFrame::split)
                    c = 0x33;
                noise += c;
            }
        }
        replies << SerialPeer::now(noise + bytes);
    }

    std::minstd_rand m_random;
};

// Four bytes that hold neither a frame head nor a separator.
QByteArray token(quint32 n)
{
    QByteArray bytes;
    for (int i = 0; i < 4; ++i) {
        bytes += char(0x30 + n % 64);
        n /= 64;
    }
    return bytes;
}

// Pieces between 0x5A whose check passes, from their head on.
QList<QByteArray> cutChecked(QByteArray &buffer)
{
    QList<QByteArray> pieces;
    int end;
    while ((end = buffer.indexOf('\x5A')) >= 0) {
        QByteArray piece = buffer.left(end);
        buffer.remove(0, end + 1);
        const int head = piece.indexOf('\xA5');
        if (head >= 0 && PlugFrame::checkSum(piece.mid(head)))
            pieces << piece.mid(head);
    }
    return pieces;
}
}

class TestSerialRegistry : public QObject
{
    Q_OBJECT

    SerialPortRegistry &registry() { return SerialPortRegistry::instance(); }

private slots:
    void oneHolderAtATime()
    {
        QObject a;
        QObject b;
        QVERIFY(registry().acquire("COM7", &a));
        QVERIFY(registry().acquire("COM7", &a)); // again by the same holder
        QVERIFY(!registry().acquire("com7", &b)); // COM names ignore case
        QCOMPARE(registry().holderOf(" com7 "), &a);
        registry().release("COM7", &b); // not b's to give back
        QVERIFY(registry().isHeld("COM7"));
        registry().release("COM7", &a);
        QVERIFY(!registry().isHeld("COM7"));
        QVERIFY(registry().acquire("COM7", &b));
        registry().releaseAll(&b);
        QVERIFY(!registry().isHeld("COM7"));
    }

    void devicePathsKeepTheirCase()
    {
        QObject a;
        QObject b;
        QVERIFY(registry().acquire("/dev/pts/x", &a));
        QVERIFY(registry().acquire("/dev/PTS/x", &b));
        registry().releaseAll(&a);
        registry().releaseAll(&b);
    }

    // One device, one line, whatever it is called: the name the port list gives, the typed path,
    // or a link to it. Lending it out by one name pauses the users of the others.
    void oneLineForOneDevice()
    {
        QCOMPARE(SerialPortRegistry::key(QStringLiteral("null")), QStringLiteral("/dev/null"));
        QCOMPARE(SerialPortRegistry::key(QStringLiteral(" /dev/./null ")), QStringLiteral("/dev/null"));
        QCOMPARE(SerialPortRegistry::key(QStringLiteral("com3")), QStringLiteral("COM3"));
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString link = dir.filePath(QStringLiteral("adapter"));
        QVERIFY(QFile::link(peer.portName(), link));
        SerialLink byPath;
        SerialLink byLink;
        QVERIFY(byPath.open(peer.portName()));
        QVERIFY(byLink.open(link));
        QCOMPARE(registry().line(link), registry().line(peer.portName()));
        {
            SerialLease lease(link);
            QVERIFY(byPath.isPaused());
            QVERIFY(byLink.isPaused());
            QVERIFY(!registry().isHeld(peer.portName()));
        }
        QVERIFY(!byPath.isPaused());
    }

    void refusesNoHolderOrName()
    {
        QObject a;
        QVERIFY(!registry().acquire("COM1", nullptr));
        QVERIFY(!registry().acquire("  ", &a));
    }

    void destroyedHolderGivesBack_data()
    {
        QTest::addColumn<bool>("otherThread");
        QTest::newRow("same thread") << false;
        QTest::newRow("holder in a worker thread") << true;
    }

    void destroyedHolderGivesBack()
    {
        QFETCH(bool, otherThread);
        QThread thread;
        auto *holder = new QObject;
        QVERIFY(registry().acquire("COM8", holder));
        QVERIFY(registry().acquire("COM9", holder));
        // Given back and taken again by the same holder: still released once it dies.
        registry().release("COM8", holder);
        QVERIFY(registry().acquire("COM8", holder));
        if (otherThread) {
            holder->moveToThread(&thread);
            thread.start();
            QMetaObject::invokeMethod(
                holder, [holder] { delete holder; }, Qt::BlockingQueuedConnection);
            thread.quit();
            thread.wait();
        } else {
            delete holder;
        }
        QVERIFY(!registry().isHeld("COM8"));
        QVERIFY(!registry().isHeld("COM9"));
        QObject next;
        QVERIFY(registry().acquire("COM8", &next));
        registry().releaseAll(&next);
    }

    // Two users of one port share its line: each request goes out once the one before has its
    // reply, and each reply reaches the user that asked.
    void twoLinksTakeTurns()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        peer.addReply("A", SerialPeer::late("a#end", 150));
        peer.addReply("B", "b#end");
        SerialLink first;
        SerialLink second;
        first.setCutter(cutEnds);
        second.setCutter(cutEnds);
        QSignalSpy firstFrames(&first, &SerialLink::frameReceived);
        QSignalSpy secondFrames(&second, &SerialLink::frameReceived);
        QByteArray sentAtFirstReply;
        connect(&first, &SerialLink::frameReceived, this, [&] { sentAtFirstReply = peer.received(); });
        QVERIFY(first.open(peer.portName()));
        QVERIFY(second.open(peer.portName()));
        QVERIFY(first.write("A"));
        QVERIFY(second.write("B"));
        QVERIFY(second.isWaiting());
        QTRY_COMPARE_WITH_TIMEOUT(secondFrames.count(), 1, 10000);
        QCOMPARE(firstFrames.count(), 1);
        QCOMPARE(firstFrames.at(0).at(0).toByteArray(), QByteArray("a"));
        QCOMPARE(secondFrames.at(0).at(0).toByteArray(), QByteArray("b"));
        // B waited for A's reply.
        QCOMPARE(sentAtFirstReply, QByteArray("A"));
        QCOMPARE(peer.received(), QByteArray("AB"));
        QVERIFY(!first.isWaiting());
        QVERIFY(!second.isWaiting());
        // One port for both: closed only when the last lets go.
        QCOMPARE(registry().holderOf(peer.portName()), static_cast<QObject *>(registry().line(peer.portName())));
        first.close();
        QVERIFY(registry().isHeld(peer.portName()));
        second.close();
        QVERIFY(!registry().isHeld(peer.portName()));
    }

    // Replies are plug frames that name what they answer: each reaches the user that claims it,
    // however late it comes, and no user waits for another's reply before it writes.
    void repliesGoWhereTheySay_data()
    {
        QTest::addColumn<int>("lateMs");
        QTest::newRow("at once") << 0;
        QTest::newRow("400 ms late") << 400;
        QTest::newRow("450 ms late") << 450;
        QTest::newRow("700 ms late") << 700;
        QTest::newRow("1200 ms late") << 1200;
    }
    void repliesGoWhereTheySay()
    {
        QFETCH(int, lateMs);
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        SerialLink users[4];
        QList<std::shared_ptr<QSignalSpy>> spies;
        for (int port = 0; port < 4; ++port) {
            const QByteArray reply = ioLinkReply(IOLINK_GET_PORT, port, char('a' + port)) + '\x5A';
            peer.addReply(plugRequest(PlugFrame::typeIoLink, IOLINK_GET_PORT, QByteArray(1, char(port))),
                port == 0 ? SerialPeer::late(reply, lateMs) : SerialPeer::now(reply));
            users[port].setClaim(portClaim(port));
            spies << std::make_shared<QSignalSpy>(&users[port], &SerialLink::frameReceived);
            QVERIFY(users[port].open(peer.portName()));
        }
        for (int port = 0; port < 4; ++port)
            QVERIFY(users[port].write(plugRequest(PlugFrame::typeIoLink, IOLINK_GET_PORT, QByteArray(1, char(port)))));
        // Nobody waited for the first, late reply.
        QTRY_COMPARE_WITH_TIMEOUT(peer.requests().size(), 4, 10000);
        for (int port = 0; port < 4; ++port)
            QTRY_COMPARE_WITH_TIMEOUT(spies[port]->count(), 1, 10000 + lateMs);
        QTest::qWait(200);
        for (int port = 0; port < 4; ++port)
            QCOMPARE(
                framesOf(*spies[port]), QList<QByteArray> { ioLinkReply(IOLINK_GET_PORT, port, char('a' + port)) });
    }

    // A frame of a type the program speaks that no user of the line takes reaches nobody, not
    // even the user whose reply the line awaits.
    void frameNobodyClaimsReachesNobody()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        const QByteArray weighing = PlugFrame::build(PlugFrame::typeWeigh, WEIGH_READ, QByteArray(13, '\0'));
        peer.addReply("Q", SerialPeer::split({ weighing + '\x5A', "q#end" }, 50));
        SerialLink poll;
        SerialLink ioLink;
        poll.setCutter([](QByteArray &buffer) { return cutEnds(buffer); });
        ioLink.setClaim(&IoLink_Module::claimReply);
        QSignalSpy polled(&poll, &SerialLink::frameReceived);
        QSignalSpy ioLinkFrames(&ioLink, &SerialLink::frameReceived);
        QVERIFY(poll.open(peer.portName()));
        QVERIFY(ioLink.open(peer.portName()));
        QVERIFY(poll.write("Q"));
        QTRY_COMPARE_WITH_TIMEOUT(polled.count(), 1, 10000);
        QCOMPARE(framesOf(polled), QList<QByteArray> { "q" });
        QCOMPARE(ioLinkFrames.count(), 0);
    }

    // Two users that take the same frames (two weighing modules of one coupler): each reply goes
    // to the user whose request asked for its command and channel, oldest first.
    void sameFramesGoToTheUserThatAsked()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        const auto weighReply = [](int channel, char mark) {
            return PlugFrame::build(
                PlugFrame::typeWeigh, WEIGH_READ, QByteArray(1, char(channel)) + QByteArray(12, mark));
        };
        peer.addReply(plugRequest(PlugFrame::typeWeigh, WEIGH_READ, QByteArray(1, '\1')),
            SerialPeer::late(weighReply(1, 'x') + '\x5A', 100));
        peer.addReply(plugRequest(PlugFrame::typeWeigh, WEIGH_READ, QByteArray(1, '\0')), weighReply(0, 'y') + '\x5A');
        SerialLink first;
        SerialLink second;
        for (SerialLink *user : { &first, &second }) {
            user->setClaim([](const QByteArray &frame) { return WeighCodec::pageReplySize(frame, 2); });
            QVERIFY(user->open(peer.portName()));
        }
        QSignalSpy firstFrames(&first, &SerialLink::frameReceived);
        QSignalSpy secondFrames(&second, &SerialLink::frameReceived);
        QVERIFY(first.write(plugRequest(PlugFrame::typeWeigh, WEIGH_READ, QByteArray(1, '\1'))));
        QVERIFY(second.write(plugRequest(PlugFrame::typeWeigh, WEIGH_READ, QByteArray(1, '\0'))));
        QTRY_COMPARE_WITH_TIMEOUT(firstFrames.count() + secondFrames.count(), 2, 10000);
        QCOMPARE(framesOf(firstFrames), QList<QByteArray> { weighReply(1, 'x') });
        QCOMPARE(framesOf(secondFrames), QList<QByteArray> { weighReply(0, 'y') });
    }

    // A user whose replies name nothing holds the line until its wait ends; its reply, coming
    // later, is still its own, and the next such user's request waits for the line to be quiet.
    void lateReplyStaysWithItsUser_data()
    {
        QTest::addColumn<int>("lateMs");
        QTest::newRow("450 ms late") << 450;
        QTest::newRow("700 ms late") << 700;
    }
    void lateReplyStaysWithItsUser()
    {
        QFETCH(int, lateMs);
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        peer.addReply("X", SerialPeer::late("x#end", lateMs));
        peer.addReply("Y", "y#end");
        SerialLink x;
        SerialLink y;
        x.setCutter(cutEnds);
        y.setCutter(cutEnds);
        x.setReplyWait(200);
        QSignalSpy xFrames(&x, &SerialLink::frameReceived);
        QSignalSpy yFrames(&y, &SerialLink::frameReceived);
        QVERIFY(x.open(peer.portName()));
        QVERIFY(y.open(peer.portName()));
        QVERIFY(x.write("X"));
        QVERIFY(y.write("Y"));
        QTRY_COMPARE_WITH_TIMEOUT(yFrames.count(), 1, 10000);
        QCOMPARE(framesOf(xFrames), QList<QByteArray> { "x" });
        QCOMPARE(framesOf(yFrames), QList<QByteArray> { "y" });
    }

    // The pages of one coupler on one line, the module answering in any order, late, with noise
    // or not at all: no frame reaches a user that did not ask for it.
    void seededRepliesReachTheirUsers_data()
    {
        QTest::addColumn<unsigned>("seed");
        // > 0: each answer reaches the line in two reads, cut after this many bytes (in order).
        QTest::addColumn<int>("splitAt");
        QTest::newRow("seed 1, out of order") << 1u << 0;
        QTest::newRow("seed 7, out of order") << 7u << 0;
        QTest::newRow("seed 3, cut into reads") << 3u << 5;
    }
    void seededRepliesReachTheirUsers()
    {
        QFETCH(unsigned, seed);
        QFETCH(int, splitAt);
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        auto device = std::make_shared<TokenModule>(seed);
        FakeMisbehaviour jitter;
        jitter.jitterMs = 80;
        jitter.seed = seed;
        jitter.splitAt = splitAt;
        jitter.gapMs = splitAt > 0 ? 3 : 0;
        device->setMisbehaviour(jitter);
        peer.addDevice(device);

        enum { IoLink, Weighing, Factory, Poll, Kinds };
        SerialLink users[Kinds];
        users[IoLink].setClaim(&IoLink_Module::claimReply);
        users[Weighing].setClaim([](const QByteArray &frame) { return WeighCodec::pageReplySize(frame, 2); });
        users[Factory].setClaim(&WeighCodec::factoryReplySize);
        users[Poll].setCutter(cutChecked);
        users[Poll].setReplyWait(100);
        // What each user asked, by token: the frame that asked, or the poll's token.
        QHash<QByteArray, QByteArray> asked[Kinds];
        QList<QByteArray> got[Kinds];
        QSet<QByteArray> seen;
        int wrong = 0;
        for (int kind = 0; kind < Kinds; ++kind) {
            QVERIFY(users[kind].open(peer.portName()));
            connect(&users[kind], &SerialLink::frameReceived, this, [&, kind](const QByteArray &frame) {
                const QByteArray t = kind == Poll ? frame.mid(3, 4)
                    : kind == Factory             ? frame.mid(7, 4)
                                                  : frame.mid(8, 4);
                const QByteArray request = asked[kind].value(t);
                // The reply to another user's request, or to none, or one with other words.
                if (request.isEmpty() || seen.contains(t)
                    || (kind != Poll
                        && (request.at(2) != frame.at(1) || request.at(3) != frame.at(2)
                            || (kind != Factory && request.at(8) != frame.at(7)))))
                    ++wrong;
                seen.insert(t);
                got[kind] << t;
            });
        }
        std::minstd_rand random(seed);
        quint32 next = 1;
        int sent = 0;
        QTimer ticker;
        ticker.setInterval(5);
        connect(&ticker, &QTimer::timeout, this, [&] {
            const int kind = int(random() % Kinds);
            const QByteArray t = token(next++);
            QByteArray bytes;
            if (kind == IoLink) {
                // The commands whose replies hold the token.
                const int commands[] = { IOLINK_GET_PORT, IOLINK_READ_ISDU, IOLINK_READ_PARAM, IOLINK_GET_DEVICEINFO };
                bytes = plugRequest(PlugFrame::typeIoLink, commands[random() % 4], char(random() % 4) + t);
            } else if (kind == Weighing) {
                const int commands[] = { WEIGH_READ, WEIGH_TARE, WEIGH_CALIB_POINT + 1, WEIGH_CALIB_END };
                bytes = plugRequest(PlugFrame::typeWeigh, commands[random() % 4], char(random() % 2) + t);
            } else if (kind == Factory) {
                bytes = plugRequest(PlugFrame::typeWeigh, WEIGH_FACTORY_READ, '\0' + t);
            } else {
                bytes = 'D' + t;
            }
            asked[kind].insert(t, bytes);
            if (users[kind].write(bytes))
                ++sent;
        });
        ticker.start();
        QTRY_VERIFY_WITH_TIMEOUT(sent >= 600, 60000);
        ticker.stop();
        QTest::qWait(1000);
        int delivered = 0;
        for (int kind = 0; kind < Kinds; ++kind)
            delivered += got[kind].size();
        qInfo() << "requests" << sent << "answers delivered" << delivered << "IO-Link" << got[IoLink].size()
                << "weighing" << got[Weighing].size() << "factory" << got[Factory].size() << "polls"
                << got[Poll].size();
        QCOMPARE(wrong, 0);
        // Most answers arrive (a tenth are dropped, and polls take turns).
        QVERIFY2(delivered >= 400, qPrintable(QString::number(delivered)));
        for (int kind = 0; kind < Kinds; ++kind)
            QVERIFY(!got[kind].isEmpty());
    }

    // A request that gets no reply holds the line no longer than the reply wait.
    void silenceMovesTheTurnOn()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        peer.addSilence("A");
        peer.addReply("B", "b#end");
        SerialLink first;
        SerialLink second;
        second.setCutter(cutEnds);
        QSignalSpy secondFrames(&second, &SerialLink::frameReceived);
        QVERIFY(first.open(peer.portName()));
        QVERIFY(second.open(peer.portName()));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(first.write("A"));
        QVERIFY(second.write("B"));
        QTRY_COMPARE_WITH_TIMEOUT(secondFrames.count(), 1, 10000);
        QVERIFY2(clock.elapsed() >= SerialLink::defaultReplyWaitMs - 50, QByteArray::number(clock.elapsed()));
        QCOMPARE(peer.received(), QByteArray("AB"));
    }

    // A port that cannot be had is said with the port and the real reason.
    void portHeldByAnotherProgram()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        QSerialPort other(peer.portName());
        QVERIFY(other.open(QIODevice::ReadWrite));
        SerialLink link;
        QVERIFY(!link.open(peer.portName()));
        QVERIFY2(link.errorString().startsWith(QString::fromUtf8("串口%1被占用或无权访问：").arg(peer.portName())),
            qPrintable(link.errorString()));
        QVERIFY(!link.systemError().isEmpty());
        QVERIFY(link.errorString().endsWith(link.systemError()));
        QVERIFY(!link.isOpen());
        other.close();
        QVERIFY(link.open(peer.portName()));
        QVERIFY(!link.open(QStringLiteral("/dev/rivudo-no-such-port")));
        QCOMPARE(link.errorString(),
            QString::fromUtf8("串口%1不存在：%2").arg("/dev/rivudo-no-such-port", link.systemError()));
    }

    // A scan or a download borrows the port from the line: its users pause, what they handed
    // over meanwhile waits, and goes out once the port is back.
    void leaseLendsThePortToAWorker()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        peer.addReply("R\r\n", "INFO#end");
        peer.addReply("A", "a#end");
        SerialLink page;
        page.setCutter(cutEnds);
        QSignalSpy frames(&page, &SerialLink::frameReceived);
        QSignalSpy paused(&page, &SerialLink::pausedChanged);
        QVERIFY(page.open(peer.portName()));
        {
            SerialLease lease(peer.portName());
            QCOMPARE(paused.count(), 1);
            QVERIFY(page.isPaused());
            QVERIFY(page.write("A"));
            QVERIFY(page.isWaiting());
            uartthread worker(peer.portName());
            QSignalSpy info(&worker, &uartthread::Sendmodule);
            worker.Scanmodulestart();
            QCOMPARE(info.count(), 1);
            QCOMPARE(info.at(0).at(0).toByteArray(), QByteArray("INFO#end"));
            // A link that joins while the port is lent joins paused.
            SerialLink late;
            QVERIFY(late.open(peer.portName()));
            QVERIFY(late.isPaused());
        }
        QCOMPARE(paused.count(), 2);
        QVERIFY(!page.isPaused());
        QTRY_COMPARE_WITH_TIMEOUT(frames.count(), 1, 10000);
        QCOMPARE(frames.at(0).at(0).toByteArray(), QByteArray("a"));
        QCOMPARE(peer.received(), QByteArray("R\r\nG\r\nA"));
    }

    // A poll's reply still on its way when a scan borrows the port is not read as the scan's.
    void replyInFlightAtTheLease()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        peer.addReply("P", SerialPeer::late("p#end", 150));
        peer.addReply("R\r\n", "\r\nmoduletype:X#end");
        SerialLink page;
        page.setCutter(cutEnds);
        QVERIFY(page.open(peer.portName()));
        QVERIFY(page.write("P"));
        QTRY_COMPARE_WITH_TIMEOUT(peer.received(), QByteArray("P"), 5000);
        SerialLease lease(peer.portName());
        uartthread worker(peer.portName());
        QSignalSpy info(&worker, &uartthread::Sendmodule);
        worker.Scanmodulestart();
        QCOMPARE(info.count(), 1);
        QCOMPARE(info.at(0).at(0).toByteArray(), QByteArray("\r\nmoduletype:X#end"));
    }

    // A port that vanishes (a simulator restarted behind a fixed path) is opened again by the
    // next write once it is back; the user stays joined meanwhile.
    void vanishedPortComesBack()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("line"));
        auto peer = std::make_unique<SerialPeer>();
        QVERIFY(peer->isOpen());
        QVERIFY(QFile::link(peer->portName(), path));
        peer->addReply("A", "a#end");
        SerialLink link;
        link.setCutter(cutEnds);
        QSignalSpy frames(&link, &SerialLink::frameReceived);
        QSignalSpy errors(&link, &SerialLink::linkError);
        QVERIFY(link.open(path));
        QVERIFY(link.write("A"));
        QTRY_COMPARE_WITH_TIMEOUT(frames.count(), 1, 10000);
        peer.reset();
        // Its link goes with it, as udev's does: the dead terminal's number may be another's soon.
        QFile::remove(path);
        QTRY_VERIFY_WITH_TIMEOUT(errors.count() >= 1 || !link.write("A"), 10000);
        QVERIFY(link.isOpen());
        peer = std::make_unique<SerialPeer>();
        QVERIFY(peer->isOpen());
        peer->addReply("A", "a#end");
        QVERIFY(QFile::link(peer->portName(), path));
        QTRY_VERIFY_WITH_TIMEOUT((link.write("A"), frames.count() >= 2), 10000);
    }

    void destroyedLinkGivesBack()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        auto *page = new QObject;
        auto *link = new SerialLink(page);
        QVERIFY(link->open(peer.portName()));
        delete page; // the page dies with its link open
        QVERIFY(!registry().isHeld(peer.portName()));
        SerialLink next;
        QVERIFY(next.open(peer.portName()));
    }

    void linkFramesAndWrites()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        peer.addReply("Q", SerialPeer::split({ "ab#", "end", "cd#end#" }, 30));
        SerialLink link;
        link.setCutter([](QByteArray &buffer) {
            QList<QByteArray> frames;
            int end;
            while ((end = buffer.indexOf("#end")) >= 0) {
                frames << buffer.left(end);
                buffer.remove(0, end + 4);
            }
            return frames;
        });
        QSignalSpy frames(&link, &SerialLink::frameReceived);
        QVERIFY(link.open(peer.portName()));
        QVERIFY(link.write("Q"));
        QTRY_COMPARE_WITH_TIMEOUT(frames.count(), 2, 10000);
        QCOMPARE(frames.at(0).at(0).toByteArray(), QByteArray("ab"));
        QCOMPARE(frames.at(1).at(0).toByteArray(), QByteArray("cd"));
        link.close();
        QVERIFY(!link.write("Q"));
    }

    void linkBufferIsCapped()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        SerialLink link;
        link.setMaxBuffer(16);
        link.setCutter([](QByteArray &buffer) {
            QList<QByteArray> frames;
            int end;
            while ((end = buffer.indexOf('\n')) >= 0) {
                frames << buffer.left(end);
                buffer.remove(0, end + 1);
            }
            return frames;
        });
        QSignalSpy frames(&link, &SerialLink::frameReceived);
        QVERIFY(link.open(peer.portName()));
        peer.send(QByteArray(40, 'x'));
        QTest::qWait(100);
        peer.send("ok\n");
        QTRY_COMPARE_WITH_TIMEOUT(frames.count(), 1, 10000);
        QCOMPARE(frames.at(0).at(0).toByteArray(), QByteArray("ok"));
    }

    void linkDeletedInItsOwnSignal()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        QPointer<SerialLink> link = new SerialLink;
        QVERIFY(link->open(peer.portName()));
        const QString name = peer.portName();
        connect(link, &SerialLink::frameReceived, this, [&link] { delete link; });
        peer.send("hello");
        QTRY_VERIFY_WITH_TIMEOUT(link.isNull(), 10000);
        QVERIFY(!registry().isHeld(name));
    }

    // The serial worker borrows its port too: a port a page holds is not opened behind its back.
    void workerRespectsAHeldPort()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        peer.addReply("R\r\n", "INFO#end");
        SerialLink page;
        QVERIFY(page.open(peer.portName()));
        {
            uartthread worker(peer.portName());
            QSignalSpy info(&worker, &uartthread::Sendmodule);
            QSignalSpy state(&worker, &uartthread::SendCurstate);
            worker.Scanmodulestart();
            QCOMPARE(info.count(), 0);
            worker.DownParamter("x");
            QCOMPARE(state.count(), 1);
            QCOMPARE(state.at(0).at(0).toString(), peer.portName() + "#下载出错");
            worker.write("x");
            QVERIFY(!worker.serialPort->isOpen());
        }
        QCOMPARE(registry().holderOf(peer.portName()), static_cast<QObject *>(registry().line(peer.portName())));
        page.close();
        uartthread worker(peer.portName());
        QSignalSpy info(&worker, &uartthread::Sendmodule);
        worker.Scanmodulestart();
        QCOMPARE(info.count(), 1);
        // Closed after the scan and given back.
        QVERIFY(!registry().isHeld(peer.portName()));
    }

    void workerHoldsWhileOpen()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        auto *worker = new uartthread(peer.portName());
        worker->write("x"); // opens on demand and keeps the port
        QVERIFY(worker->serialPort->isOpen());
        QCOMPARE(registry().holderOf(peer.portName()), worker);
        SerialLink page;
        QVERIFY(!page.open(peer.portName()));
        worker->closePort();
        QVERIFY(!registry().isHeld(peer.portName()));
        worker->write("y");
        QVERIFY(registry().isHeld(peer.portName()));
        delete worker;
        QVERIFY(!registry().isHeld(peer.portName()));
        QVERIFY(page.open(peer.portName()));
    }
};

RIVUDO_TEST_MAIN(TestSerialRegistry)
#include "tst_serialregistry.moc"
