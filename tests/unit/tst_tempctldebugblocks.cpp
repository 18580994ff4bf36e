#include "tempctldebugblocks.h"
#include "testsupport.h"

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// Record c (0-based) of a status block whose every word is 0x0100 * c + its field number.
QByteArray numberedStatus(int size)
{
    QByteArray bytes;
    for (int c = 0; c < tempChannelCount; ++c) {
        for (int field = 0; field < 12; ++field) {
            bytes += char(field);
            bytes += char(c);
        }
    }
    return bytes.leftJustified(size, '\xEE', true);
}

} // namespace

class TestTempCtlDebugBlocks : public QObject
{
    Q_OBJECT

private slots:
    void statusFields()
    {
        // Channel 2: mode 0x0012, registers 0x8005 and 0x0104, P 1.50, I 655.35, D 0, target 25.0,
        // actual 1000.0, identification 4, identified 0.01 and 0.02, output 6553.5.
        QByteArray bytes(TempCtlStatusBlock::size, '\0');
        bytes.replace(24, 24, hex("1200 0580 0401 9600 FFFF 0000 FA00 1027 0400 0100 0200 FFFF"));
        TempCtlStatusBlock block;
        QVERIFY(block.decode(bytes));
        const TempCtlStatusBlock::Channel &c = block.channels[1];
        QCOMPARE(c.mode, quint16(0x12));
        QCOMPARE(c.statusReg, quint16(0x8005));
        QCOMPARE(c.ctrlReg, quint16(0x0104));
        QCOMPARE(c.pHundredths, quint16(150));
        QCOMPARE(c.iHundredths, quint16(65535));
        QCOMPARE(c.dHundredths, quint16(0));
        QCOMPARE(c.targetTenths, quint16(250));
        QCOMPARE(c.actualTenths, quint16(10000));
        QCOMPARE(c.identState, quint16(4));
        QCOMPARE(c.identPHundredths, quint16(1));
        QCOMPARE(c.identIHundredths, quint16(2));
        QCOMPARE(c.outputTenths, quint16(65535));
        QCOMPARE(block.encode(), bytes);
    }

    void statusSizes_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("taken");
        QTest::newRow("empty") << 0 << false;
        QTest::newRow("one record") << 24 << false;
        QTest::newRow("one byte short") << 191 << false;
        QTest::newRow("exact") << 192 << true;
        QTest::newRow("longer reply") << 300 << true;
    }
    void statusSizes()
    {
        QFETCH(int, size);
        QFETCH(bool, taken);
        TempCtlStatusBlock block;
        block.channels[7].outputTenths = 4242;
        const QByteArray before = block.encode();
        const QByteArray bytes = numberedStatus(size);
        QCOMPARE(block.decode(bytes), taken);
        // Only the first 192 bytes count; a short reply leaves the block as it was.
        QCOMPARE(block.encode(), taken ? bytes.left(TempCtlStatusBlock::size) : before);
        if (taken)
            QCOMPARE(block.channels[7].outputTenths, quint16(0x070B));
    }

    void debugBytes()
    {
        TempCtlDebugBlock block;
        QCOMPARE(block.encode(), QByteArray(128, '\0'));
        TempCtlDebugBlock::Channel &c = block.channels[2];
        c.debugEnable = 1;
        c.mode = 2;
        c.ctrlReg = 0xA5F0;
        c.pHundredths = 150;
        c.iHundredths = 65535;
        c.dHundredths = 1;
        c.targetTenths = 250;
        c.manualTenths = 0x1234;
        block.channels[7].manualTenths = 0xBEEF;
        const QByteArray bytes = block.encode();
        QCOMPARE(bytes.size(), 128);
        QCOMPARE(bytes.mid(32, 16), hex("0100 0200 F0A5 9600 FFFF 0100 FA00 3412"));
        QCOMPARE(bytes.right(2), hex("EFBE"));
        QCOMPARE(bytes.left(32), QByteArray(32, '\0'));

        TempCtlDebugBlock back;
        QVERIFY(back.decode(bytes));
        QCOMPARE(back.encode(), bytes);
        QVERIFY(!back.decode(bytes.left(127)));
        QCOMPARE(back.encode(), bytes);
    }
};

RIVUDO_TEST_MAIN(TestTempCtlDebugBlocks)
#include "tst_tempctldebugblocks.moc"
