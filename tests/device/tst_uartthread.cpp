#include "platformlists.h"
#include "serialpeer.h"
#include "testsupport.h"
#include "uartthread.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTranslator>
#include <functional>

Q_DECLARE_METATYPE(SerialPeer::Reply)
Q_DECLARE_METATYPE(std::function<void(SerialPeer &)>)

namespace {

const QByteArray info = "R#KD-IO-01#1.2#slots:3#end";
const QByteArray params = QByteArray("PRM\x01\x02\x03", 6) + "end";

QByteArray downloadHeader(int length)
{
    QByteArray h(1, 'P');
    h.append(char(length >> 24)).append(char(length >> 16)).append(char(length >> 8)).append(char(length));
    return h + "\r\n";
}

} // namespace

class TestUartThread : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        SerialPeer probe;
        if (!probe.isOpen())
            QSKIP("no pseudo-terminals on this machine");
    }

    void frames_data()
    {
        QTest::addColumn<int>("op"); // 0 write, 1 sendIOdata, 2 Monitor
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("wire");

        QTest::newRow("write") << 0 << QByteArray("\xA5\x15") << QByteArray("\x43\xA5\x15");
        QTest::newRow("write nothing") << 0 << QByteArray() << QByteArray("\x43");
        QTest::newRow("write keeps every byte")
            << 0 << QByteArray("\x00\x0D\x0A\xFF", 4) << QByteArray("\x43\x00\x0D\x0A\xFF", 5);
        QTest::newRow("io data empty") << 1 << QByteArray() << QByteArray("\x44\xFF\xBC");
        QTest::newRow("io data two bytes") << 1 << QByteArray("\x01\x02") << QByteArray("\x44\x01\x02\xFF\xB9");
        // 0x44 + 300 * 0xFF = 0x12B18: only the low 16 bits count.
        QTest::newRow("io data sum past 16 bits")
            << 1 << QByteArray(300, '\xFF') << QByteArray("\x44") + QByteArray(300, '\xFF') + "\xD4\xE8";
        QTest::newRow("keep-alive") << 2 << QByteArray() << QByteArray("\x4D\x0D\x0A");
    }

    void frames()
    {
        QFETCH(int, op);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, wire);

        SerialPeer peer;
        uartthread worker(peer.portName());
        QVERIFY(!worker.serialPort->isOpen());
        if (op == 0)
            worker.write(data);
        else if (op == 1)
            worker.sendIOdata(data);
        else
            worker.Monitor();
        QTRY_COMPARE_WITH_TIMEOUT(peer.received().toHex(), wire.toHex(), 5000);
        // Writing operations leave the port open for the next frame.
        QVERIFY(worker.serialPort->isOpen());
        QCOMPARE(worker.serialPort->baudRate(), 115200);
        QCOMPARE(worker.serialPort->dataBits(), QSerialPort::Data8);
        QCOMPARE(worker.serialPort->parity(), QSerialPort::NoParity);
        QCOMPARE(worker.serialPort->stopBits(), QSerialPort::OneStop);
        QCOMPARE(worker.serialPort->flowControl(), QSerialPort::NoFlowControl);
    }

    void writeOpensAgainAfterClose()
    {
        SerialPeer peer;
        uartthread worker(peer.portName());
        worker.write("a");
        worker.closePort();
        QVERIFY(!worker.serialPort->isOpen());
        worker.write("b");
        QVERIFY(worker.serialPort->isOpen());
        QTRY_COMPARE_WITH_TIMEOUT(peer.received(), QByteArray("CaCb"), 5000);
        worker.closeCom();
        QVERIFY(!worker.serialPort->isOpen());
    }

    void stalledWriteClosesThePort()
    {
        SerialPeer peer;
        peer.setReadingPaused(true);
        uartthread worker(peer.portName());
        // Each write moves some bytes until the pseudo-terminal's buffer is full; then a frame
        // cannot leave within 100 ms and the port is closed.
        int writes = 0;
        do {
            worker.write(QByteArray(64 * 1024, 'x'));
        } while (worker.serialPort->isOpen() && ++writes < 200);
        QVERIFY(!worker.serialPort->isOpen());

        peer.setReadingPaused(false);
        worker.write("ok");
        QVERIFY(worker.serialPort->isOpen());
        QTRY_VERIFY_WITH_TIMEOUT(peer.received().endsWith("Cok"), 5000);
    }

    void missingPortIsSilent()
    {
        uartthread worker("/dev/rivudo-no-such-port");
        worker.write("a");
        worker.sendIOdata("b");
        worker.Monitor();
        QVERIFY(!worker.serialPort->isOpen());
        QSignalSpy module(&worker, &uartthread::Sendmodule);
        worker.Scanmodulestart();
        QCOMPARE(module.count(), 0);
        QSignalSpy state(&worker, &uartthread::SendCurstate);
        QSignalSpy finished(&worker, &uartthread::finished);
        worker.DownParamter("x");
        QCOMPARE(state.count(), 1);
        QCOMPARE(state.at(0).at(0).toString(), QString("/dev/rivudo-no-such-port#下载出错"));
        QCOMPARE(finished.count(), 1);
    }

    void statusIsTranslated()
    {
        QTranslator english;
        QVERIFY(english.load(":/res/language/en_US.qm"));
        QCoreApplication::installTranslator(&english);
        uartthread worker("/dev/rivudo-no-such-port");
        QSignalSpy state(&worker, &uartthread::SendCurstate);
        worker.DownParamter("x");
        QCoreApplication::removeTranslator(&english);
        QCOMPARE(state.count(), 1);
        QCOMPARE(state.at(0).at(0).toString(), QString("/dev/rivudo-no-such-port#Fail"));
    }

    void waitreadJudgesReplies_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("stored");

        for (int type : { 0, 2, 6, 7 }) {
            const QByteArray t = QByteArray::number(type);
            QTest::newRow("type " + t + " end inside") << type << QByteArray("abc#end") << true << true;
            QTest::newRow("type " + t + " starts with end") << type << QByteArray("end#abc") << false << false;
            QTest::newRow("type " + t + " no end") << type << QByteArray("abc") << false << false;
        }
        for (int type : { 1, 4, 5 })
            QTest::newRow(("type " + QByteArray::number(type) + " any data").constData())
                << type << QByteArray("x") << true << false;
        QTest::newRow("type 4 nothing") << 4 << QByteArray() << false << false;
        QTest::newRow("type 3 never") << 3 << QByteArray("abc#end") << false << false;
        QTest::newRow("type 8 confirmed")
            << 8 << QByteArray("ok: RESET your system, to start new firmware") << true << true;
        QTest::newRow("type 8 at the start")
            << 8 << QByteArray("RESET your system, to start new firmware") << false << false;
        QTest::newRow("type 9") << 9 << QByteArray("abc#end") << false << false;
        QTest::newRow("type -1") << -1 << QByteArray("abc#end") << false << false;
    }

    void waitreadJudgesReplies()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, reply);
        QFETCH(bool, accepted);
        QFETCH(bool, stored);

        SerialPeer peer;
        uartthread worker(peer.portName());
        QVERIFY(worker.serialPort->open(QIODevice::ReadWrite));
        worker.reply = "old";
        if (!reply.isEmpty())
            peer.send(reply);
        QCOMPARE(worker.waitread(type), accepted);
        QCOMPARE(worker.reply, stored ? reply : QByteArray("old"));
    }

    void replyWait_data()
    {
        QTest::addColumn<SerialPeer::Reply>("answer");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QByteArray>("reply");

        QTest::newRow("at once") << SerialPeer::now("abc#end") << true << QByteArray("abc#end");
        QTest::newRow("late within the silence") << SerialPeer::late("abc#end", 100) << true << QByteArray("abc#end");
        QTest::newRow("split with short gaps")
            << SerialPeer::split({ "ab", "c#e", "nd" }, 100) << true << QByteArray("abc#end");
        QTest::newRow("later than the silence") << SerialPeer::late("abc#end", 1500) << false << QByteArray();
        QTest::newRow("silent") << SerialPeer::silent() << false << QByteArray();
    }

    void replyWait()
    {
        QFETCH(SerialPeer::Reply, answer);
        QFETCH(bool, accepted);
        QFETCH(QByteArray, reply);

        SerialPeer peer;
        peer.addReply("?", answer);
        uartthread worker(peer.portName());
        QVERIFY(worker.serialPort->open(QIODevice::ReadWrite));
        worker.serialPort->write("?");
        QCOMPARE(worker.waitread(0), accepted);
        QCOMPARE(worker.reply, reply);
    }

    void replyWaitIsBoundedWhenTheDeviceKeepsTalking()
    {
        SerialPeer peer;
        // Every chunk would satisfy the reply on its own; the stream never pauses for 300 ms.
        peer.addReply("?", SerialPeer::talking("abc#end", 50));
        uartthread worker(peer.portName());
        QVERIFY(worker.serialPort->open(QIODevice::ReadWrite));
        worker.serialPort->write("?");
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!worker.waitread(0));
        const qint64 elapsed = timer.elapsed();
        QVERIFY2(elapsed >= uartthread::replyTimeLimitMs - 100, QByteArray::number(elapsed));
        QVERIFY2(elapsed < uartthread::replyTimeLimitMs + 2000, QByteArray::number(elapsed));
        QVERIFY(worker.reply.isEmpty());
        peer.stopTalking();
    }

    void scan_data()
    {
        QTest::addColumn<std::function<void(SerialPeer &)>>("script");
        QTest::addColumn<QByteArrayList>("modules");
        QTest::addColumn<QByteArrayList>("prms");
        QTest::addColumn<QByteArray>("wire");

        const QByteArray rg = "R\r\nG\r\n";
        QTest::newRow("module answers") << std::function<void(SerialPeer &)>([](SerialPeer &p) {
            p.addReply("R\r\n", info);
            p.addReply("G\r\n", params);
        }) << QByteArrayList { info } << QByteArrayList { params }
                                        << rg;
        QTest::newRow("split and late answers") << std::function<void(SerialPeer &)>([](SerialPeer &p) {
            p.addReply("R\r\n", SerialPeer::split({ info.left(5), info.mid(5, 10), info.mid(15) }, 80));
            p.addReply("G\r\n", SerialPeer::late(params, 150));
        }) << QByteArrayList { info } << QByteArrayList { params }
                                                << rg;
        QTest::newRow("no parameters") << std::function<void(SerialPeer &)>([](SerialPeer &p) {
            p.addReply("R\r\n", info);
            p.addSilence("G\r\n");
        }) << QByteArrayList { info } << QByteArrayList {}
                                       << rg;
        QTest::newRow("information without end")
            << std::function<void(SerialPeer &)>([](SerialPeer &p) { p.addReply("R\r\n", "R#KD-IO-01"); })
            << QByteArrayList {} << QByteArrayList {} << QByteArray("R\r\n");
        QTest::newRow("silent port") << std::function<void(SerialPeer &)>([](SerialPeer &) {}) << QByteArrayList {}
                                     << QByteArrayList {} << QByteArray("R\r\n");
        QTest::newRow("stale bytes are cleared") << std::function<void(SerialPeer &)>([](SerialPeer &p) {
            p.send("junk#end");
            p.waitForPortInput();
            p.addReply("R\r\n", info);
            p.addReply("G\r\n", params);
        }) << QByteArrayList { info } << QByteArrayList { params }
                                                 << rg;
    }

    void scan()
    {
        QFETCH(std::function<void(SerialPeer &)>, script);
        QFETCH(QByteArrayList, modules);
        QFETCH(QByteArrayList, prms);
        QFETCH(QByteArray, wire);

        SerialPeer peer;
        PlatformLists::setSerialPorts({ peer.portName() });
        script(peer);
        uartthread worker(PlatformLists::serialPorts().value(0));
        PlatformLists::reset();
        QSignalSpy module(&worker, &uartthread::Sendmodule);
        QSignalSpy prm(&worker, &uartthread::SendmodulePrm);
        QSignalSpy finished(&worker, &uartthread::finished);
        worker.Scanmodulestart();

        QByteArrayList gotModules, gotPrms;
        for (const auto &args : module)
            gotModules << args.at(0).toByteArray();
        for (const auto &args : prm)
            gotPrms << args.at(0).toByteArray();
        QCOMPARE(gotModules, modules);
        QCOMPARE(gotPrms, prms);
        QCOMPARE(finished.count(), 0);
        QVERIFY(!worker.serialPort->isOpen());
        QCOMPARE(peer.received(), wire);
    }

    void download_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("silentBlock"); // -1: every block answered
        QTest::addColumn<bool>("ok");

        QTest::newRow("100 bytes") << 100 << -1 << true;
        QTest::newRow("nothing to send") << 0 << -1 << true;
        QTest::newRow("exactly two blocks") << 96 << -1 << true;
        QTest::newRow("second block unanswered") << 100 << 1 << false;
    }

    void download()
    {
        QFETCH(int, size);
        QFETCH(int, silentBlock);
        QFETCH(bool, ok);

        QByteArray data;
        for (int i = 0; i < size; ++i)
            data.append(char(i));
        QList<QByteArray> blocks;
        for (int i = 0; i < size; i += 48)
            blocks << data.mid(i, 48);

        SerialPeer peer;
        peer.addReply("R\r\n", info);
        peer.addReply(downloadHeader(size), "OK");
        for (int i = 0; i < blocks.size(); ++i) {
            if (i == silentBlock)
                peer.addSilence(blocks.at(i), 1);
            else
                peer.addReply(blocks.at(i), "OK", 1);
        }

        uartthread worker(peer.portName());
        QSignalSpy state(&worker, &uartthread::SendCurstate);
        QSignalSpy finished(&worker, &uartthread::finished);
        worker.DownParamter(data);

        QCOMPARE(state.count(), 1);
        QCOMPARE(state.at(0).at(0).toString(), peer.portName() + (ok ? "#下载成功" : "#下载出错"));
        QCOMPARE(finished.count(), 1);
        QVERIFY(!worker.serialPort->isOpen());

        QList<QByteArray> expected { "R\r\n", downloadHeader(size) };
        const int sentBlocks = silentBlock < 0 ? blocks.size() : silentBlock + 1;
        expected += blocks.mid(0, sentBlocks);
        QCOMPARE(peer.requests(), expected);
        QCOMPARE(peer.received(), expected.join());
    }

    void downloadStopsWithoutInformation()
    {
        SerialPeer peer;
        peer.addReply("R\r\n", "no reply marker");
        uartthread worker(peer.portName());
        QSignalSpy state(&worker, &uartthread::SendCurstate);
        worker.DownParamter("abc");
        QCOMPARE(state.count(), 1);
        QVERIFY(state.at(0).at(0).toString().endsWith("#下载出错"));
        QCOMPARE(peer.received(), QByteArray("R\r\n"));
    }

    void downloadOnAnOpenPortFails()
    {
        SerialPeer peer;
        peer.addReply("R\r\n", info);
        uartthread worker(peer.portName());
        QVERIFY(worker.serialPort->open(QIODevice::ReadWrite));
        QSignalSpy state(&worker, &uartthread::SendCurstate);
        QSignalSpy finished(&worker, &uartthread::finished);
        worker.DownParamter("abc");
        QCOMPARE(state.count(), 1);
        QCOMPARE(state.at(0).at(0).toString(), peer.portName() + "#下载出错");
        QCOMPARE(finished.count(), 1);
        QVERIFY(!worker.serialPort->isOpen());
        QVERIFY(peer.received().isEmpty());
    }

    void downloadGivesUpOnATalkingDevice()
    {
        SerialPeer peer;
        peer.addReply("R\r\n", SerialPeer::talking(info, 40));
        uartthread worker(peer.portName());
        QSignalSpy state(&worker, &uartthread::SendCurstate);
        QElapsedTimer timer;
        timer.start();
        worker.DownParamter("abc");
        QVERIFY(timer.elapsed() < uartthread::replyTimeLimitMs + 2000);
        QCOMPARE(state.count(), 1);
        QVERIFY(state.at(0).at(0).toString().endsWith("#下载出错"));
        QCOMPARE(peer.received(), QByteArray("R\r\n"));
        peer.stopTalking();
    }
};

RIVUDO_TEST_MAIN(TestUartThread)
#include "tst_uartthread.moc"
