#include "plugframe.h"
#include "testsupport.h"

#include <QElapsedTimer>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

} // namespace

class TestPlugFrame : public QObject
{
    Q_OBJECT

private slots:
    void build_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("device info port 0") << 0x15 << 0x0A << hex("00") << hex("A5 15 0A 00 00 00 01 00 FF 3B");
        QTest::newRow("device info port 3") << 0x15 << 0x0A << hex("03") << hex("A5 15 0A 00 00 00 01 03 FF 38");
        QTest::newRow("get port 1") << 0x15 << 0x04 << hex("01") << hex("A5 15 04 00 00 00 01 01 FF 40");
        QTest::newRow("set port reply") << 0x15 << 0x03 << hex("00 00") << hex("A5 15 03 00 00 00 02 00 00 FF 41");
        QTest::newRow("weigh read channel 0") << 0x14 << 0x00 << hex("00") << hex("A5 14 00 00 00 00 01 00 FF 46");
        QTest::newRow("empty payload") << 0x14 << 0x00 << QByteArray() << hex("A5 14 00 00 00 00 00 FF 47");
        QTest::newRow("command modulo 256") << 0x15 << 0x10A << hex("00") << hex("A5 15 0A 00 00 00 01 00 FF 3B");
    }
    void build()
    {
        QFETCH(int, type);
        QFETCH(int, command);
        QFETCH(QByteArray, payload);
        QFETCH(QByteArray, frame);
        const QByteArray built = PlugFrame::build(quint8(type), command, payload);
        QCOMPARE(built.toHex(' '), frame.toHex(' '));
        QVERIFY(PlugFrame::checkSum(built));
    }

    void checkSumRejectsShortCandidates()
    {
        QVERIFY(!PlugFrame::checkSum(QByteArray()));
        QVERIFY(!PlugFrame::checkSum(hex("00")));
        QVERIFY(!PlugFrame::checkSum(hex("00 00")));
        QVERIFY(PlugFrame::checkSum(hex("00 00 00")));
        // The check sum is one 16-bit number, not two bytes added separately.
        QVERIFY(!PlugFrame::checkSum(hex("A5 15 0A 00 00 00 01 00 3B FF")));
    }

    void take_data()
    {
        const QByteArray reply = hex("A5 15 03 00 00 00 02 00 00 FF 41");
        const QByteArray other = PlugFrame::build(0x15, 0x0A, hex("01 02 03"));
        // 0x5A inside the payload; no shorter prefix passes the check sum.
        const QByteArray inner = PlugFrame::build(0x14, 0x00, hex("00 5A 5A 01"));
        QByteArray corrupt = other;
        corrupt[corrupt.size() - 1] = char(corrupt.at(corrupt.size() - 1) + 1);

        QTest::addColumn<QByteArray>("buffer");
        QTest::addColumn<QList<QByteArray>>("frames");
        QTest::addColumn<QByteArray>("left");
        QTest::newRow("one reply") << reply + hex("5A") << QList<QByteArray> { reply } << QByteArray();
        QTest::newRow("two back to back")
            << reply + hex("5A") + other + hex("5A") << QList<QByteArray> { reply, other } << QByteArray();
        QTest::newRow("leftovers before")
            << hex("00 11") + reply + hex("5A") << QList<QByteArray> { reply } << QByteArray();
        QTest::newRow("separator missing") << reply << QList<QByteArray>() << reply;
        QTest::newRow("separator inside payload") << inner + hex("5A") << QList<QByteArray> { inner } << QByteArray();
        QTest::newRow("corrupt then good")
            << corrupt + hex("5A") + reply + hex("5A") << QList<QByteArray> { reply } << QByteArray();
        QTest::newRow("lone head") << hex("A5") << QList<QByteArray>() << hex("A5");
        QTest::newRow("noise only is dropped") << hex("00 11 5A 22") << QList<QByteArray>() << QByteArray();
        QTest::newRow("part of the next frame stays")
            << reply + hex("5A") + other.left(4) << QList<QByteArray> { reply } << other.left(4);
    }
    void take()
    {
        QFETCH(QByteArray, buffer);
        QFETCH(QList<QByteArray>, frames);
        QFETCH(QByteArray, left);
        QCOMPARE(PlugFrame::takeAll(buffer), frames);
        QCOMPARE(buffer.toHex(' '), left.toHex(' '));
    }

    void takeLeavesBufferWithoutFrame()
    {
        QByteArray buffer = hex("00 11 A5 15");
        QVERIFY(PlugFrame::take(buffer).isEmpty());
        QCOMPARE(buffer, hex("00 11 A5 15"));
    }

    void arrivesInPieces()
    {
        const QByteArray reply = PlugFrame::build(0x15, 0x0A, QByteArray(40, '\x5A'));
        const QByteArray wire = reply + hex("5A");
        QByteArray buffer;
        QList<QByteArray> got;
        for (char c : wire) {
            buffer.append(c);
            got += PlugFrame::takeAll(buffer);
        }
        QCOMPARE(got, QList<QByteArray> { reply });
        QVERIFY(buffer.isEmpty());
    }

    void cutTriesOnlyTheFirstHead()
    {
        const QByteArray reply = hex("A5 15 03 00 00 00 02 00 00 FF 41");
        QCOMPARE(PlugFrame::cut(hex("00") + reply + hex("5A")), reply);
        QVERIFY(PlugFrame::cut(hex("A5 00 5A") + reply + hex("5A")).isEmpty());
    }

    // Heads that never find a separator must not make every read search the whole buffer once
    // per head; a reply behind them still comes through, with the noise.
    void headNoiseStaysCheap()
    {
        const QByteArray reply = hex("A5 15 03 00 00 00 02 00 00 FF 41");
        const QByteArray piece(64, char(0xA5));
        QByteArray buffer;
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < PlugFrame::maxBuffer / piece.size(); ++i) {
            buffer += piece;
            QVERIFY(PlugFrame::takeAll(buffer).isEmpty());
        }
        buffer += reply + hex("5A");
        QCOMPARE(PlugFrame::takeAll(buffer), QList<QByteArray> { reply });
        QVERIFY(buffer.isEmpty());
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
    }

    void noiseIsBounded()
    {
        QByteArray buffer(PlugFrame::maxBuffer + 10, char(0xA5));
        QVERIFY(PlugFrame::takeAll(buffer).isEmpty());
        QVERIFY(buffer.isEmpty());
    }
};

RIVUDO_TEST_MAIN(TestPlugFrame)
#include "tst_plugframe.moc"
