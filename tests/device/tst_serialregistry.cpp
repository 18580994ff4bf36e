#include "serialline.h"
#include "seriallink.h"
#include "serialpeer.h"
#include "serialportregistry.h"
#include "testsupport.h"
#include "uartthread.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QThread>
#include <memory>

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
        QVERIFY2(clock.elapsed() >= SerialLine::replyWaitMs - 50, QByteArray::number(clock.elapsed()));
        QCOMPARE(peer.received(), QByteArray("AB"));
    }

    // Another program holding the port is the one failure a user sees.
    void portHeldByAnotherProgram()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        QSerialPort other(peer.portName());
        QVERIFY(other.open(QIODevice::ReadWrite));
        SerialLink link;
        QVERIFY(!link.open(peer.portName()));
        QCOMPARE(link.errorString(), QString::fromUtf8("串口%1被占用").arg(peer.portName()));
        QVERIFY(!link.systemError().isEmpty());
        QVERIFY(!link.isOpen());
        other.close();
        QVERIFY(link.open(peer.portName()));
        QVERIFY(!link.open(QStringLiteral("/dev/rivudo-no-such-port")));
        QCOMPARE(link.errorString(), QString::fromUtf8("串口%1被占用").arg("/dev/rivudo-no-such-port"));
    }

    // A scan or a download borrows the port from the line: its users pause and carry on after.
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
            QVERIFY(!page.write("A"));
            uartthread worker(peer.portName());
            QSignalSpy info(&worker, &uartthread::Sendmodule);
            worker.Scanmodulestart();
            QCOMPARE(info.count(), 1);
            // A link that joins while the port is lent joins paused.
            SerialLink late;
            QVERIFY(late.open(peer.portName()));
            QVERIFY(late.isPaused());
        }
        QCOMPARE(paused.count(), 2);
        QVERIFY(!page.isPaused());
        QVERIFY(page.write("A"));
        QTRY_COMPARE_WITH_TIMEOUT(frames.count(), 1, 10000);
        QCOMPARE(frames.at(0).at(0).toByteArray(), QByteArray("a"));
        QVERIFY(!peer.received().contains("AR"));
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
        QTRY_VERIFY_WITH_TIMEOUT(errors.count() >= 1 || !link.write("A"), 10000);
        QVERIFY(link.isOpen());
        peer = std::make_unique<SerialPeer>();
        QVERIFY(peer->isOpen());
        peer->addReply("A", "a#end");
        QFile::remove(path);
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
