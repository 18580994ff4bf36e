#include "generalcodec.h"
#include "testsupport.h"

class TestGeneralCodec : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("min");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("readBack");
        QTest::newRow("Unsigned8") << "Unsigned8" << 200 << 0 << QByteArray::fromHex("c8") << 200;
        QTest::newRow("Unsigned8 low bits") << "Unsigned8" << 0x1ff << 0 << QByteArray::fromHex("ff") << 255;
        QTest::newRow("signed8 unsigned range") << "signed8" << -1 << 0 << QByteArray::fromHex("ff") << 255;
        QTest::newRow("signed8 negative range") << "signed8" << -1 << -128 << QByteArray::fromHex("ff") << -1;
        QTest::newRow("signed8 -128") << "signed8" << -128 << -128 << QByteArray::fromHex("80") << -128;
        QTest::newRow("signed8 positive") << "signed8" << 127 << -128 << QByteArray::fromHex("7f") << 127;
        QTest::newRow("Unsigned16") << "Unsigned16" << 0x8000 << 0 << QByteArray::fromHex("8000") << 32768;
        QTest::newRow("Integer16") << "Integer16" << -32768 << -32768 << QByteArray::fromHex("8000") << -32768;
        QTest::newRow("Integer16 -2") << "Integer16" << -2 << 0 << QByteArray::fromHex("fffe") << -2;
        QTest::newRow("Unsigned32") << "Unsigned32" << 258 << 0 << QByteArray::fromHex("00000102") << 258;
        QTest::newRow("Integer32") << "Integer32" << -5 << -10 << QByteArray::fromHex("fffffffb") << -5;
        QTest::newRow("unknown UINT8") << "UINT8" << 7 << 0 << QByteArray() << 0;
        QTest::newRow("wrong case") << "unsigned8" << 7 << 0 << QByteArray() << 0;
    }
    void roundTrip()
    {
        QFETCH(QString, type);
        QFETCH(int, value);
        QFETCH(int, min);
        QFETCH(QByteArray, bytes);
        QFETCH(int, readBack);
        QCOMPARE(encodeGeneralValue(type, value), bytes);
        QCOMPARE(generalTypeWidth(type), bytes.size());
        const GeneralDecoded d = decodeGeneralValue(type, bytes, 0, min);
        QCOMPARE(d.width, bytes.size());
        if (d.width)
            QCOMPARE(d.value, readBack);
    }

    void blockOfMixedTypes()
    {
        QVector<GeneralField> fields = { { "Unsigned8", 1, 0 }, { "Integer16", -2, -100 }, { "Unsigned32", 258, 0 } };
        const QByteArray block = encodeGeneralBlock(fields);
        QCOMPARE(block, QByteArray::fromHex("01fffe00000102"));
        for (GeneralField &f : fields)
            f.value = 99;
        QCOMPARE(decodeGeneralBlock(fields, block), 7);
        QCOMPARE(fields[0].value, 1);
        QCOMPARE(fields[1].value, -2);
        QCOMPARE(fields[2].value, 258);
    }

    void shortDataReadsZeroAndStillCounts()
    {
        QVector<GeneralField> fields = { { "Unsigned16", 0, 0 }, { "Unsigned8", 9, 0 }, { "Integer32", 9, 0 } };
        QCOMPARE(decodeGeneralBlock(fields, QByteArray::fromHex("1234")), 7);
        QCOMPARE(fields[0].value, 0x1234);
        QCOMPARE(fields[1].value, 0);
        QCOMPARE(fields[2].value, 0);
        // Half a value: the missing low byte reads as 0.
        QCOMPARE(decodeGeneralValue("Unsigned16", QByteArray::fromHex("ab"), 0).value, 0xab00);
        QCOMPARE(decodeGeneralValue("Unsigned8", QByteArray(), 5).value, 0);
    }

    void unknownTypesNeitherWriteNorConsume()
    {
        QVector<GeneralField> fields = { { "UINT8", 42, 0 }, { "Unsigned8", 0, 0 }, { "", 5, 0 } };
        QCOMPARE(encodeGeneralBlock(fields), QByteArray::fromHex("00"));
        QCOMPARE(decodeGeneralBlock(fields, QByteArray::fromHex("33")), 1);
        QCOMPARE(fields[0].value, 42);
        QCOMPARE(fields[1].value, 0x33);
        QCOMPARE(fields[2].value, 5);
    }

    void emptyBlock()
    {
        QVector<GeneralField> fields;
        QVERIFY(encodeGeneralBlock(fields).isEmpty());
        QCOMPARE(decodeGeneralBlock(fields, QByteArray::fromHex("0102")), 0);
    }
};

RIVUDO_TEST_MAIN(TestGeneralCodec)
#include "tst_generalcodec.moc"
