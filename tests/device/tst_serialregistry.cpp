#include "seriallink.h"
#include "serialpeer.h"
#include "serialportregistry.h"
#include "testsupport.h"
#include "uartthread.h"

#include <QSerialPort>
#include <QThread>

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

    // Two users of one port: the second is refused until the first gives it back.
    void twoLinksOnOnePort()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        SerialLink first;
        SerialLink second;
        QVERIFY(first.open(peer.portName()));
        QVERIFY(!second.open(peer.portName()));
        QCOMPARE(second.errorString(), QString("串口已被占用"));
        QVERIFY(!second.isOpen());
        first.close();
        QVERIFY(second.open(peer.portName()));
        QVERIFY(!first.open(peer.portName()));
        QCOMPARE(registry().holderOf(peer.portName()), &second);
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
        QCOMPARE(registry().holderOf(peer.portName()), &page);
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
