#include "bytecodec.h"
#include "iolinkdeviceinfo.h"
#include "testsupport.h"
#include "tohexstring.h"

class TestIoLinkDeviceInfo : public QObject
{
    Q_OBJECT

private slots:
    void hexTexts()
    {
        QCOMPARE(toHexString(quint8(0x0A)), QString("0A"));
        QCOMPARE(toHexString(quint8(0xFF)), QString("FF"));
        QCOMPARE(toHexString(quint8(0)), QString("00"));
        QCOMPARE(toHexString(quint16(0x00FF)), QString("00FF"));
        QCOMPARE(toHexString(quint16(0xABCD)), QString("ABCD"));
    }

    void deviceInfoFields()
    {
        ByteWriter w;
        w.u8(2).u16le(0x0123).u32le(0x00ABCDEF);
        w.text("Vendor", 65).text("PID", 65).text("Product", 65).text("FW 1.2", 65).text("tag", 35);
        w.u8(3).bytes(QByteArray::fromHex("010AFF")).resize(335);
        w.u8(2).bytes(QByteArray::fromHex("BEEF")).resize(368);
        w.u8(2).u16le(0x0000).u16le(0x5000).u16le(0x7710);
        const IoLinkDeviceInfo info = IoLinkDeviceInfo::decode(w.resize(381).data());
        QCOMPARE(int(info.port), 2);
        QCOMPARE(info.vendorId, quint16(0x0123));
        QCOMPARE(info.deviceId, quint32(0xABCDEF));
        QCOMPARE(info.vendorName, QString("Vendor"));
        QCOMPARE(info.productId, QString("PID"));
        QCOMPARE(info.productText, QString("Product"));
        QCOMPARE(info.firmwareRevision, QString("FW 1.2"));
        QCOMPARE(info.applicationTag, QString("tag"));
        QCOMPARE(info.input, QByteArray::fromHex("010AFF"));
        QCOMPARE(info.output, QByteArray::fromHex("BEEF"));
        QCOMPARE(info.events, (QList<quint16> { 0x0000, 0x5000 }));
    }

    // The identification texts are UTF-8 up to their first zero byte, whatever bytes they hold.
    void deviceInfoTexts_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("chinese") << QByteArray("\xE5\x8E\x82\xE5\x95\x86") << QString::fromUtf8("厂商");
        QTest::newRow("ends at zero") << QByteArray("AB\0CD", 5) << QString("AB");
        QTest::newRow("invalid sequence") << QByteArray("A\xC3\x28") << QString::fromUtf8("A\xC3\x28");
        QTest::newRow("lone high byte") << QByteArray("\xE9t\xE9") << QString::fromUtf8("\xE9t\xE9");
    }
    void deviceInfoTexts()
    {
        QFETCH(QByteArray, field);
        QByteArray payload(381, '\0');
        payload.replace(7, field.size(), field);
        QTEST(IoLinkDeviceInfo::decode(payload).vendorName, "text");
    }

    // Counts beyond the record and records cut short never read past what is there.
    void deviceInfoBounds_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("inputs");
        QTest::addColumn<int>("outputs");
        QTest::addColumn<int>("events");
        QByteArray full(381, char(0x5A));
        full[302] = char(200);
        full[335] = char(33);
        full[368] = char(7);
        QTest::newRow("counts too large") << full << 32 << 32 << 6;
        QTest::newRow("empty") << QByteArray() << 0 << 0 << 0;
        QByteArray cut = full.left(310);
        QTest::newRow("cut in the input data") << cut << 32 << 0 << 0;
        // Texts without their ending zero stop at their field.
        QTest::newRow("no zero in texts") << QByteArray(381, 'x') << 32 << 32 << 6;
    }
    void deviceInfoBounds()
    {
        QFETCH(QByteArray, payload);
        const IoLinkDeviceInfo info = IoLinkDeviceInfo::decode(payload);
        QTEST(int(info.input.size()), "inputs");
        QTEST(int(info.output.size()), "outputs");
        QTEST(int(info.events.size()), "events");
        QVERIFY(info.vendorName.size() <= 65);
        QVERIFY(info.applicationTag.size() <= 35);
    }
};

RIVUDO_TEST_MAIN(TestIoLinkDeviceInfo)
#include "tst_iolinkdeviceinfo.moc"
