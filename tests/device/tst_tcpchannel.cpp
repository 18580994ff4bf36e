#include "endpoints.h"
#include "fakemodule.h"
#include "stcpsocket.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QRegularExpression>

Q_DECLARE_METATYPE(sTcpSocket::INFOType)

class TestTcpChannel : public QObject
{
    Q_OBJECT

    // Connects to the fake and waits for its greeting.
    static bool greeted(sTcpSocket &socket, const QString &address)
    {
        socket.connectToHost(QHostAddress(address), Endpoints::current().commandPort);
        socket.state = sTcpSocket::WAIT_VERSION;
        return socket.waitForConnected(2000) && socket.waitread(sTcpSocket::VERSION_OK);
    }

private slots:
    void construction()
    {
        sTcpSocket socket;
        QCOMPARE(socket.state, sTcpSocket::VERSION_OK);
        QVERIFY(socket.reply.isEmpty());
    }

    void chunkRules_data()
    {
        QTest::addColumn<sTcpSocket::INFOType>("state");
        QTest::addColumn<QByteArray>("chunk");
        QTest::addColumn<sTcpSocket::INFOType>("after");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("dropped");

        const QByteArray none;
        QTest::newRow("greeting after first byte") << sTcpSocket::WAIT_VERSION << QByteArray("\r\nSoftware version 2")
                                                   << sTcpSocket::VERSION_OK << none << false;
        QTest::newRow("greeting at index 0")
            << sTcpSocket::WAIT_VERSION << QByteArray("Software version 2") << sTcpSocket::WAIT_VERSION << none << true;
        QTest::newRow("no greeting text")
            << sTcpSocket::WAIT_VERSION << QByteArray("hello") << sTcpSocket::WAIT_VERSION << none << true;
        QTest::newRow("info reply") << sTcpSocket::WAIT_INFO << QByteArray("moduletype:X#end") << sTcpSocket::INFO_OK
                                    << QByteArray("moduletype:X#end") << false;
        QTest::newRow("info marker at 0")
            << sTcpSocket::WAIT_INFO << QByteArray("end of it") << sTcpSocket::WAIT_INFO << none << true;
        // The first occurrence decides: a later one does not rescue a chunk that starts with it.
        QTest::newRow("info marker at 0 and later")
            << sTcpSocket::WAIT_INFO << QByteArray("end#end") << sTcpSocket::WAIT_INFO << none << true;
        QTest::newRow("info without marker")
            << sTcpSocket::WAIT_INFO << QByteArray("moduletype:X#e") << sTcpSocket::WAIT_INFO << none << true;
        QTest::newRow("ack takes anything, keeps nothing")
            << sTcpSocket::WAIT_ACK << QByteArray("x#end") << sTcpSocket::ACK_OK << none << false;
        QTest::newRow("ack of one byte") << sTcpSocket::WAIT_ACK << QByteArray("\0", 1) << sTcpSocket::ACK_OK << none
                                         << false;
        QTest::newRow("after ack nothing changes")
            << sTcpSocket::ACK_OK << QByteArray("more#end") << sTcpSocket::ACK_OK << none << true;
        QTest::newRow("parameter reply") << sTcpSocket::WAIT_PRM << QByteArray("PRM:\x01\x02#end") << sTcpSocket::PRM_OK
                                         << QByteArray("PRM:\x01\x02#end") << false;
        QTest::newRow("parameter marker at 0")
            << sTcpSocket::WAIT_PRM << QByteArray("end\x01") << sTcpSocket::WAIT_PRM << none << true;
        QTest::newRow("reset text") << sTcpSocket::WAIT_RESET
                                    << QByteArray("\r\nRESET your system, to start new firmware")
                                    << sTcpSocket::RESET_OK
                                    << QByteArray("\r\nRESET your system, to start new firmware") << false;
        QTest::newRow("reset text at 0") << sTcpSocket::WAIT_RESET
                                         << QByteArray("RESET your system, to start new firmware")
                                         << sTcpSocket::WAIT_RESET << none << true;
        QTest::newRow("reset partial") << sTcpSocket::WAIT_RESET << QByteArray("\r\nRESET your system")
                                       << sTcpSocket::WAIT_RESET << none << true;
        QTest::newRow("info ok ignores") << sTcpSocket::INFO_OK << QByteArray("x#end") << sTcpSocket::INFO_OK << none
                                         << true;
        QTest::newRow("unknown state") << sTcpSocket::INFOType(10) << QByteArray("x#end") << sTcpSocket::INFOType(10)
                                       << none << true;
    }

    void chunkRules()
    {
        QFETCH(sTcpSocket::INFOType, state);
        QFETCH(QByteArray, chunk);
        QFETCH(sTcpSocket::INFOType, after);
        QFETCH(QByteArray, reply);
        QFETCH(bool, dropped);
        sTcpSocket socket;
        socket.state = state;
        if (dropped)
            QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^warning: "));
        socket.handleChunk(chunk);
        QCOMPARE(socket.state, after);
        QCOMPARE(socket.reply, reply);
    }

    void emptyChunkChangesNothing()
    {
        sTcpSocket socket;
        socket.state = sTcpSocket::WAIT_ACK;
        socket.handleChunk(QByteArray());
        QCOMPARE(socket.state, sTcpSocket::WAIT_ACK);
    }

    void waitreadReturnsAtOnceWhenReached()
    {
        sTcpSocket socket;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(socket.waitread(sTcpSocket::VERSION_OK));
        QVERIFY(timer.elapsed() < 15);
    }

    void waitreadGivesUpAfter61Waits()
    {
        sTcpSocket socket;
        socket.state = sTcpSocket::WAIT_ACK;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!socket.waitread(sTcpSocket::ACK_OK));
        QVERIFY2(timer.elapsed() >= 61 * 20 - 5, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(timer.elapsed() < 20000);
    }

    void greetingAndReplyOverTheWire()
    {
        FakeModule fake("127.0.0.21");
        QVERIFY(fake.start());
        sTcpSocket socket;
        QVERIFY(greeted(socket, fake.address()));
        QVERIFY(socket.reply.isEmpty()); // the greeting is not kept
        socket.state = sTcpSocket::WAIT_INFO;
        socket.write("R\r\n");
        socket.flush();
        QVERIFY(socket.waitread(sTcpSocket::INFO_OK));
        QCOMPARE(socket.reply, fake.infoReply());
        QVERIFY(socket.reply.contains("#IP:127.0.0.21#"));
    }

    // A reply in two chunks: only the chunk holding the marker (after its first byte) counts.
    void splitReply_data()
    {
        QTest::addColumn<int>("at");
        QTest::addColumn<bool>("accepted");
        const QByteArray reply = FakeModule("127.0.0.22").infoReply();
        QTest::newRow("marker in the second chunk") << 5 << true;
        QTest::newRow("marker at 0 of the second chunk") << int(reply.size() - 3) << false;
        QTest::newRow("marker split across the chunks") << int(reply.size() - 2) << false;
    }

    void splitReply()
    {
        QFETCH(int, at);
        QFETCH(bool, accepted);
        FakeModule fake("127.0.0.22");
        QVERIFY(fake.start());
        sTcpSocket socket;
        QVERIFY(greeted(socket, fake.address()));
        fake.setSplitReply(at);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^warning: "));
        if (!accepted)
            QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^warning: "));
        socket.state = sTcpSocket::WAIT_INFO;
        socket.write("R\r\n");
        socket.flush();
        QCOMPARE(socket.waitread(sTcpSocket::INFO_OK), accepted);
        if (accepted)
            QCOMPARE(socket.reply, fake.infoReply().mid(at));
    }

    void greetingRules_data()
    {
        QTest::addColumn<QByteArray>("greeting");
        QTest::addColumn<int>("late");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<bool>("greeted");
        QTest::newRow("prompt") << QByteArray("\nSoftware version") << 0 << false << true;
        QTest::newRow("late but in time") << QByteArray("\nSoftware version") << 600 << false << true;
        QTest::newRow("too late") << QByteArray("\nSoftware version") << 2500 << false << false;
        QTest::newRow("marker at 0") << QByteArray("Software version 1.0") << 0 << false << false;
        QTest::newRow("silent") << QByteArray() << 0 << true << false;
    }

    void greetingRules()
    {
        QFETCH(QByteArray, greeting);
        QFETCH(int, late);
        QFETCH(bool, silent);
        QFETCH(bool, greeted);
        FakeModule fake("127.0.0.23");
        fake.setGreeting(greeting);
        fake.setReplyDelay(late);
        fake.setSilent(silent);
        QVERIFY(fake.start());
        if (greeting.startsWith("Software"))
            QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^warning: "));
        sTcpSocket socket;
        QCOMPARE(TestTcpChannel::greeted(socket, fake.address()), greeted);
        QCOMPARE(fake.connectionCount(FakeModule::CommandPort), 1);
    }

    void fakeRecordsCommandBytes()
    {
        FakeModule fake("127.0.0.24");
        QVERIFY(fake.start());
        sTcpSocket socket;
        QVERIFY(greeted(socket, fake.address()));
        socket.write(QByteArray("T\x03\x01", 3));
        socket.write(QByteArray("D\x00\x01", 3));
        socket.flush();
        QTRY_COMPARE(fake.received(FakeModule::CommandPort),
            QByteArray("T\x03\x01"
                       "D\x00\x01",
                6));
        QCOMPARE(fake.commands().size(), 2);
    }
};

RIVUDO_TEST_MAIN(TestTcpChannel)
#include "tst_tcpchannel.moc"
