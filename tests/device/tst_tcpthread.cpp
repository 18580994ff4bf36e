#include "endpoints.h"
#include "fakemodule.h"
#include "tcpthread.h"
#include "testsupport.h"

#include <QRegularExpression>
#include <QThread>
#include <QTranslator>
#include <QtEndian>
#include <memory>

// Runs one worker in a thread of its own, the way the dialogs do, and collects its signals in
// the test's thread.
class WorkerRun : public QObject
{
    Q_OBJECT
public:
    QThread thread;
    TCPThread *worker = new TCPThread;
    QStringList curIP;
    QList<QByteArray> infos;
    QList<QByteArray> prms;
    int finished = 0;

    WorkerRun()
    {
        connect(worker, &TCPThread::SendCurIP, this, [this](const QString &text) { curIP << text; });
        connect(worker, &TCPThread::Sendmodule, this, [this](const QByteArray &reply) { infos << reply; });
        connect(worker, &TCPThread::SendmodulePrm, this, [this](const QByteArray &reply) { prms << reply; });
        connect(worker, &TCPThread::finished, this, [this] { ++finished; });
        connect(worker, &TCPThread::finished, &thread, &QThread::quit);
        worker->moveToThread(&thread);
    }
    ~WorkerRun() override
    {
        thread.quit();
        thread.wait();
        delete worker;
    }
    void start(const char *slot)
    {
        thread.start();
        QMetaObject::invokeMethod(worker, slot, Qt::QueuedConnection);
    }
    void scan(const QString &from, const QString &to)
    {
        thread.start();
        QMetaObject::invokeMethod(
            worker, "Scanmodulestart", Qt::QueuedConnection, Q_ARG(QString, from), Q_ARG(QString, to));
    }
    bool done(int msec = 60000)
    {
        QElapsedTimer timer;
        timer.start();
        while (finished == 0 && timer.elapsed() < msec)
            QTest::qWait(20);
        return finished == 1 && thread.wait(10000);
    }
};

namespace {

QByteArray firmwareHeader(const QByteArray &image)
{
    quint32 sum = 0;
    for (char c : image)
        sum += quint8(c);
    QByteArray header(12, '\0');
    qToLittleEndian<quint32>(0x1357ABCD, header.data());
    qToLittleEndian<quint32>(quint32(image.size()), header.data() + 4);
    qToLittleEndian<quint32>(quint32(0u - sum), header.data() + 8);
    return header;
}

QByteArray pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / 256) & 0xFF);
    return bytes;
}

ModuleTarget target(const QString &ip, const QByteArray &params, int downFlag = 1)
{
    ModuleTarget t;
    t.ip = ip;
    t.downFlag = downFlag;
    t.paramData = params;
    return t;
}

} // namespace

class TestTcpThread : public QObject
{
    Q_OBJECT

private slots:
    void construction()
    {
        TCPThread worker;
        QCOMPARE(worker.blockSize, 1000);
        QCOMPARE(worker.stopFlag.load(), 0);
        QVERIFY(worker.moduleList.isEmpty());
        QVERIFY(worker.localIP.isEmpty());
    }

    // Replies spaced as the fake spaces them, or back to back as a real network delivers them.
    void scanRange_data() { FakeModule::addSpacingRows(); }

    // Fakes on some addresses of the range, nothing on the others.
    void scanRange()
    {
        QFETCH(bool, backToBack);
        FakeModule first("127.0.0.3");
        first.setParamBytes(QByteArray("\x01\x02\x03\x00\x05", 5));
        FakeModule second("127.0.0.9");
        second.setModuleType("KD-TWO");
        second.setSubmoduleIds({ 17, 4 });
        FakeModule mute("127.0.0.12"); // takes the connection, never greets
        mute.setSilent(true);
        FakeModule noParams("127.0.0.15"); // answers R, hangs up on G
        noParams.setDropOnCommand('G');
        FakeModule last("127.0.0.20");
        for (FakeModule *fake : { &first, &second, &mute, &noParams, &last }) {
            fake->setBackToBack(backToBack);
            QVERIFY(fake->start());
        }

        WorkerRun run;
        run.worker->localIP = "127.0.0.1";
        QTest::ignoreMessage(QtDebugMsg, "Connected");
        QTest::ignoreMessage(QtDebugMsg, "Connected");
        QTest::ignoreMessage(QtDebugMsg, "Connected");
        QTest::ignoreMessage(QtDebugMsg, "Connected");
        run.scan("127.0.0.1", "127.0.0.20");
        QVERIFY(run.done());

        QStringList tried;
        for (int n = 1; n <= 20; ++n)
            tried << QStringLiteral("127.0.0.%1").arg(n);
        QCOMPARE(run.curIP, tried);
        QCOMPARE(run.infos,
            (QList<QByteArray> { first.infoReply(), second.infoReply(), noParams.infoReply(), last.infoReply() }));
        QCOMPARE(run.prms, (QList<QByteArray> { first.paramReply(), second.paramReply(), last.paramReply() }));
        QCOMPARE(run.prms.first(), QByteArray("PRM:\x01\x02\x03\x00\x05#end", 13));
        QVERIFY(second.infoReply().contains("#IP:127.0.0.9#"));
        QCOMPARE(first.received(FakeModule::CommandPort), QByteArray("R\r\nG\r\n"));
        QCOMPARE(last.received(FakeModule::CommandPort), QByteArray("R\r\nG\r\n"));
        QCOMPARE(noParams.received(FakeModule::CommandPort), QByteArray("R\r\nG\r\n"));
        QCOMPARE(mute.received(FakeModule::CommandPort), QByteArray());
        QCOMPARE(mute.connectionCount(FakeModule::CommandPort), 1);
    }

    // Later addresses are connected while an earlier, slow module is still being asked: every
    // module is still greeted, asked and reported in address order, over one connection each.
    void scanAheadKeepsAddressOrder()
    {
        FakeModule slow("127.0.0.30");
        slow.setReplyDelay(300);
        FakeModule quick("127.0.0.31");
        quick.setModuleType("KD-QUICK");
        FakeModule mute("127.0.0.32");
        mute.setSilent(true);
        FakeModule later("127.0.0.36");
        for (FakeModule *fake : { &slow, &quick, &mute, &later })
            QVERIFY(fake->start());

        WorkerRun run;
        for (int i = 0; i < 3; ++i)
            QTest::ignoreMessage(QtDebugMsg, "Connected");
        run.scan("127.0.0.30", "127.0.0.40");
        QVERIFY(run.done());

        QCOMPARE(run.curIP.size(), 11);
        QCOMPARE(run.curIP.first(), QStringLiteral("127.0.0.30"));
        QCOMPARE(run.curIP.last(), QStringLiteral("127.0.0.40"));
        QCOMPARE(run.infos, (QList<QByteArray> { slow.infoReply(), quick.infoReply(), later.infoReply() }));
        QCOMPARE(run.prms, (QList<QByteArray> { slow.paramReply(), quick.paramReply(), later.paramReply() }));
        for (FakeModule *fake : { &slow, &quick, &later }) {
            QCOMPARE(fake->connectionCount(FakeModule::CommandPort), 1);
            QCOMPARE(fake->received(FakeModule::CommandPort), QByteArray("R\r\nG\r\n"));
        }
        QCOMPARE(mute.connectionCount(FakeModule::CommandPort), 1);
    }

    // The chosen local address is bound before every connection, not only the first.
    void scanBindsLocalAddress_data()
    {
        QTest::addColumn<QString>("localIP");
        QTest::addColumn<QString>("peer");
        QTest::newRow("chosen address") << "127.0.0.30"
                                        << "127.0.0.30";
        QTest::newRow("zero-padded address") << "127.0.0.031"
                                             << "127.0.0.31";
        QTest::newRow("empty: system's choice") << ""
                                                << "127.0.0.1";
        QTest::newRow("not an address: system's choice") << "eth0"
                                                         << "127.0.0.1";
    }

    void scanBindsLocalAddress()
    {
        QFETCH(QString, localIP);
        QFETCH(QString, peer);
        FakeModule a("127.0.0.33");
        FakeModule b("127.0.0.35");
        QVERIFY(a.start());
        QVERIFY(b.start());
        WorkerRun run;
        run.worker->localIP = localIP;
        QTest::ignoreMessage(QtDebugMsg, "Connected");
        QTest::ignoreMessage(QtDebugMsg, "Connected");
        run.scan("127.0.0.33", "127.0.0.35");
        QVERIFY(run.done());
        QCOMPARE(run.infos.size(), 2);
        QCOMPARE(a.commandPeers(), QList<QHostAddress> { QHostAddress(peer) });
        QCOMPARE(b.commandPeers(), QList<QHostAddress> { QHostAddress(peer) });
    }

    void scanRangeTexts_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QStringList>("tried");
        QTest::newRow("backwards") << "127.0.0.10"
                                   << "127.0.0.5" << QStringList();
        QTest::newRow("end's first octets unused")
            << "127.0.0.1"
            << "10.0.0.3" << QStringList { "127.0.0.1", "127.0.0.2", "127.0.0.3" };
        QTest::newRow("start too short") << "127.0.0"
                                         << "127.0.0.5" << QStringList();
        QTest::newRow("end too short") << "127.0.0.1"
                                       << "" << QStringList();
        QTest::newRow("last octet not a number") << "127.0.0.x"
                                                 << "127.0.0.0" << QStringList { "127.0.0.0" };
        QTest::newRow("not an address") << "a.b.c.1"
                                        << "1.1.1.2" << QStringList { "a.b.c.1", "a.b.c.2" };
        QTest::newRow("beyond 255") << "127.0.0.254"
                                    << "127.0.0.300" << QStringList { "127.0.0.254", "127.0.0.255" };
    }

    // Every scan ends with finished(), whatever the texts.
    void scanRangeTexts()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QStringList, tried);
        WorkerRun run;
        run.scan(from, to);
        QVERIFY(run.done());
        QCOMPARE(run.curIP, tried);
        QVERIFY(run.infos.isEmpty());
    }

    void stopEndsScanAfterCurrentAddress()
    {
        WorkerRun run;
        TCPThread *worker = run.worker;
        connect(
            worker, &TCPThread::SendCurIP, worker,
            [worker](const QString &address) {
                if (address == QLatin1String("127.0.0.5"))
                    worker->stopFlag = 1;
            },
            Qt::DirectConnection);
        run.scan("127.0.0.1", "127.0.0.20");
        QVERIFY(run.done());
        QCOMPARE(run.curIP, (QStringList { "127.0.0.1", "127.0.0.2", "127.0.0.3", "127.0.0.4", "127.0.0.5" }));
    }

    void stopBeforeStartIsOverwritten()
    {
        WorkerRun run;
        run.worker->stopFlag = 1;
        run.scan("127.0.0.1", "127.0.0.3");
        QVERIFY(run.done());
        QCOMPARE(run.curIP.size(), 3);
    }

    void downloadParameters_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<bool>("backToBack");
        QTest::newRow("chinese") << false << false;
        QTest::newRow("english") << true << false;
        QTest::newRow("chinese, back to back") << false << true;
    }

    void downloadParameters()
    {
        QFETCH(bool, english);
        QFETCH(bool, backToBack);
        QTranslator translator;
        if (english) {
            QVERIFY(translator.load(":/res/language/en_US.qm"));
            QCoreApplication::installTranslator(&translator);
        }
        FakeModule good("127.0.0.41");
        FakeModule skipped("127.0.0.42");
        FakeModule mute("127.0.0.44");
        mute.setSilent(true);
        FakeModule noAck("127.0.0.45");
        noAck.setSkipAck(0);
        FakeModule hangsUp("127.0.0.46"); // acknowledges, then the link is gone before the bytes
        hangsUp.setCloseAfterCommand('P');
        FakeModule second("127.0.0.47");
        FakeModule resets("127.0.0.48"); // resets the link once 64 KiB have come in
        resets.setCommandDropAfter(64 << 10);
        for (FakeModule *fake : { &good, &skipped, &mute, &noAck, &hangsUp, &second, &resets }) {
            fake->setBackToBack(backToBack);
            QVERIFY(fake->start());
        }

        const QByteArray params = pattern(700);
        WorkerRun run;
        run.worker->moduleList
            = { target("127:0:0:41", params), target("127.0.0.42", "x", 0), target("127.0.0.43", "x"),
                  target("127.0.0.44", "x"), target("127.0.0.45", "x"), target("127.0.0.46", pattern(32 << 20)),
                  target("127.0.0.47", QByteArray()), target("127.0.0.48", pattern(1 << 20)) };
        run.start("DownParamter");
        QVERIFY(run.done());
        QCoreApplication::removeTranslator(&translator);

        const QString ok = english ? "#Succeeded" : "#下载成功";
        const QString fail = english ? "#Fail" : "#下载出错";
        const QString timeout = english ? "#Timeout" : "#连接超时";
        QCOMPARE(run.curIP,
            (QStringList { "127.0.0.41" + ok, "127.0.0.43" + timeout, "127.0.0.44" + fail, "127.0.0.45" + fail,
                "127.0.0.46" + fail, "127.0.0.47" + ok, "127.0.0.48" + fail }));
        QTRY_COMPARE(good.received(FakeModule::CommandPort), "P\r\n" + params);
        QCOMPARE(good.downloadedParams(), params);
        QCOMPARE(skipped.connectionCount(FakeModule::CommandPort), 0);
        QCOMPARE(mute.received(FakeModule::CommandPort), QByteArray());
        QCOMPARE(noAck.received(FakeModule::CommandPort), QByteArray("P\r\n"));
        QCOMPARE(second.received(FakeModule::CommandPort), QByteArray("P\r\n"));
        // The reset came before the module had all the bytes: the failure is not the fake's luck.
        QVERIFY(resets.received(FakeModule::CommandPort).size() >= 64 << 10);
        QVERIFY(resets.received(FakeModule::CommandPort).size() < 3 + (1 << 20));
    }

    void downloadWithNothingTicked()
    {
        WorkerRun run;
        run.worker->moduleList = { target("127.0.0.41", "x", 0), target("127.0.0.42", "y", 0) };
        run.start("DownParamter");
        QVERIFY(run.done());
        QVERIFY(run.curIP.isEmpty());
    }

    void readInformation()
    {
        FakeModule a("127.0.0.51");
        QVERIFY(a.start());
        WorkerRun run;
        run.worker->moduleList = { target("127.0.0.51", "", 0), target("127.0.0.52", "", 0) };
        run.start("UpParamte");
        QVERIFY(run.done());
        QCOMPARE(run.curIP, (QStringList { "127.0.0.51", "127.0.0.52" }));
        QCOMPARE(run.infos, QList<QByteArray> { a.infoReply() });
        QCOMPARE(a.received(FakeModule::CommandPort), QByteArray("R\r\n"));
    }

    void firmwareUpdate_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<qint64>("dropAfter");
        QTest::addColumn<QStringList>("statuses");
        QTest::addColumn<bool>("imageComplete");
        const QString a = "127.0.0.61";
        QTest::newRow("50 blocks, no progress report")
            << 25600 << true << qint64(-1) << QStringList { a + "#开始下载", a + "#下载完成" } << true;
        QTest::newRow("51 blocks, one report")
            << 26112 << true << qint64(-1) << QStringList { a + "#开始下载", a + "#下载中 +", a + "#下载完成" } << true;
        QTest::newRow("102 blocks and a tail, two reports")
            << 26112 * 2 + 100 << true << qint64(-1)
            << QStringList { a + "#开始下载", a + "#下载中 +", a + "#下载中 -", a + "#下载完成" } << true;
        QTest::newRow("short last block")
            << 1000 << true << qint64(-1) << QStringList { a + "#开始下载", a + "#下载完成" } << true;
        QTest::newRow("empty image: header only")
            << 0 << true << qint64(-1) << QStringList { a + "#开始下载", a + "#下载完成" } << true;
        QTest::newRow("no confirmation") << 2000 << false << qint64(-1)
                                         << QStringList { a + "#开始下载", a + "#下载出错" } << true;
        QTest::newRow("link lost part-way")
            << 40000 << true << qint64(5000) << QStringList { a + "#开始下载", a + "#下载出错" } << false;
    }

    void firmwareUpdate()
    {
        QFETCH(int, size);
        QFETCH(bool, confirm);
        QFETCH(qint64, dropAfter);
        QFETCH(QStringList, statuses);
        QFETCH(bool, imageComplete);
        FakeModule fake("127.0.0.61");
        fake.setConfirmFirmware(confirm);
        fake.setFirmwareDropAfter(dropAfter);
        QVERIFY(fake.start());
        const QByteArray image = pattern(size);
        ModuleTarget t;
        t.ip = "127:0:0:61";
        t.firmwareFlag = 1;
        t.firmwareHeader = firmwareHeader(image);
        t.firmwareData = image;
        WorkerRun run;
        run.worker->moduleList = { t };
        if (dropAfter >= 0)
            QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^warning: firmware"));
        run.start("DownFirmware");
        QVERIFY(run.done(120000));
        QCOMPARE(run.curIP, statuses);
        QCOMPARE(fake.received(FakeModule::CommandPort), QByteArray("f\r\n"));
        QCOMPARE(fake.connectionCount(FakeModule::FirmwarePort), 1);
        if (imageComplete) {
            QTRY_COMPARE(fake.firmwareImage(), image);
            QCOMPARE(fake.firmwareHeader(), t.firmwareHeader);
        } else {
            QVERIFY(fake.firmwareImage().size() < image.size());
        }
        // The worker's copy of the image is emptied only once the module confirmed it.
        QCOMPARE(run.worker->moduleList.first().firmwareData.isEmpty(), statuses.last().endsWith("#下载完成"));
    }

    void firmwareSkipsAndUnreachable()
    {
        FakeModule fake("127.0.0.62");
        QVERIFY(fake.start());
        ModuleTarget off;
        off.ip = "127.0.0.62";
        off.firmwareData = "xx";
        ModuleTarget away;
        away.ip = "127.0.0.63";
        away.firmwareFlag = 1;
        away.firmwareHeader = firmwareHeader("abc");
        away.firmwareData = "abc";
        ModuleTarget mute;
        mute.ip = "not.an.address";
        mute.firmwareFlag = 1;
        WorkerRun run;
        run.worker->moduleList = { off, away, mute };
        run.start("DownFirmware");
        QVERIFY(run.done());
        QCOMPARE(run.curIP, (QStringList { "127.0.0.63#连接超时", "not.an.address#连接超时" }));
        QCOMPARE(fake.connectionCount(FakeModule::CommandPort), 0);
    }

    // The confirmation may arrive while the image is still on its way; it is reported at the end,
    // also when the module then cuts the image link.
    void firmwareConfirmedEarly_data()
    {
        QTest::addColumn<qint64>("dropAfter");
        QTest::newRow("image completes") << qint64(-1);
        QTest::newRow("image link cut after the confirmation") << qint64(1000);
    }

    void firmwareConfirmedEarly()
    {
        QFETCH(qint64, dropAfter);
        FakeModule fake("127.0.0.64");
        fake.setFirmwareDropAfter(dropAfter);
        QVERIFY(fake.start());
        const QByteArray image = pattern(3000);
        ModuleTarget t;
        t.ip = "127.0.0.64";
        t.firmwareFlag = 1;
        // A header announcing a shorter image makes the fake confirm after the first block.
        t.firmwareHeader = firmwareHeader(image.left(100));
        t.firmwareData = image;
        WorkerRun run;
        run.worker->moduleList = { t };
        run.start("DownFirmware");
        QVERIFY(run.done());
        QCOMPARE(run.curIP, (QStringList { "127.0.0.64#开始下载", "127.0.0.64#下载完成" }));
        QVERIFY(run.worker->moduleList.first().firmwareData.isEmpty());
        if (dropAfter < 0)
            QTRY_COMPARE(fake.firmwareImage(), image);
        else
            QVERIFY(fake.firmwareImage().size() < image.size());
    }

    void sendFirmwareWithoutImagePort()
    {
        TCPThread worker;
        ModuleTarget t;
        t.ip = "127.0.0.65";
        t.firmwareData = "abc";
        QCOMPARE(worker.SendFirmware(t), -1);
    }
};

RIVUDO_TEST_MAIN(TestTcpThread)
#include "tst_tcpthread.moc"
