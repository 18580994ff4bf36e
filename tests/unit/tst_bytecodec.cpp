#include "bytecodec.h"
#include "testsupport.h"

#include <cmath>

class TestByteCodec : public QObject
{
    Q_OBJECT

private slots:
    void integers_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<uint>("u16le");
        QTest::addColumn<uint>("u16be");
        QTest::addColumn<uint>("u32le");
        QTest::addColumn<uint>("u32be");
        QTest::newRow("counting") << QByteArray::fromHex("0102030405060708") << 0x0201u << 0x0304u << 0x08070605u
                                  << 0x05060708u;
        QTest::newRow("top bits") << QByteArray::fromHex("ff80807fffffff80") << 0x80ffu << 0x807fu << 0x80ffffffu
                                  << 0xffffff80u;
    }

    void integers()
    {
        QFETCH(QByteArray, data);
        QFETCH(uint, u16le);
        QFETCH(uint, u16be);
        QFETCH(uint, u32le);
        QFETCH(uint, u32be);
        ByteReader r(data);
        QCOMPARE(uint(r.u16le()), u16le);
        QCOMPARE(uint(r.u16be()), u16be);
        QCOMPARE(uint(r.u32le()), u32le);
        QVERIFY(r.atEnd());
        QVERIFY(!r.overrun());
        ByteReader b(data, 4);
        QCOMPARE(uint(b.u32be()), u32be);

        // The writer gives back exactly what the reader took apart.
        ByteWriter w;
        w.u16le(quint16(u16le)).u16be(quint16(u16be)).u32le(u32le);
        QCOMPARE(w.data(), data);
    }

    void signedAndFloat()
    {
        ByteWriter w;
        w.s8(-2).s16le(-300).s16be(-300).s32le(-70000).s32be(-70000).f32le(1.5f).f32be(-0.25f);
        QCOMPARE(w.size(), 1 + 2 + 2 + 4 + 4 + 4 + 4);
        QCOMPARE(w.data().mid(1, 4), QByteArray::fromHex("d4fefed4"));
        QCOMPARE(w.data().mid(13, 4), QByteArray::fromHex("0000c03f"));
        ByteReader r(w.data());
        QCOMPARE(r.s8(), qint8(-2));
        QCOMPARE(r.s16le(), qint16(-300));
        QCOMPARE(r.s16be(), qint16(-300));
        QCOMPARE(r.s32le(), qint32(-70000));
        QCOMPARE(r.s32be(), qint32(-70000));
        QCOMPARE(r.f32le(), 1.5f);
        QCOMPARE(r.f32be(), -0.25f);
        QVERIFY(!r.overrun());
    }

    // A record cut short never reads past the data: the missing bytes are 0 and overrun is set.
    void overrun_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("start");
        QTest::addColumn<uint>("value");
        QTest::addColumn<bool>("overrun");
        QTest::newRow("whole") << QByteArray::fromHex("11223344") << 0 << 0x44332211u << false;
        QTest::newRow("three of four") << QByteArray::fromHex("112233") << 0 << 0x00332211u << true;
        QTest::newRow("one of four") << QByteArray::fromHex("11") << 0 << 0x00000011u << true;
        QTest::newRow("empty") << QByteArray() << 0 << 0u << true;
        QTest::newRow("start at end") << QByteArray::fromHex("11223344") << 4 << 0u << true;
        QTest::newRow("start past end") << QByteArray::fromHex("11223344") << 100 << 0u << true;
        QTest::newRow("negative start is 0") << QByteArray::fromHex("11223344") << -5 << 0x44332211u << false;
    }

    void overrun()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, start);
        QFETCH(uint, value);
        QFETCH(bool, overrun);
        ByteReader r(data, start);
        QCOMPARE(uint(r.u32le()), value);
        QCOMPARE(r.overrun(), overrun);
        QCOMPARE(r.remaining(), 0);
        // Once over, every further read is zero and the flag stays.
        QCOMPARE(r.u8(), quint8(0));
        QVERIFY(r.overrun());
    }

    void bytesSkipSeekRest()
    {
        ByteReader r(QByteArray("abcdef"));
        QCOMPARE(r.bytes(2), QByteArray("ab"));
        r.skip(1);
        QCOMPARE(r.pos(), 3);
        QCOMPARE(r.rest(), QByteArray("def"));
        QVERIFY(r.atEnd());
        QVERIFY(!r.overrun());
        r.seek(1);
        QCOMPARE(r.bytes(8), QByteArray("bcdef\0\0\0", 8));
        QVERIFY(r.overrun());
        ByteReader s(QByteArray("abc"));
        s.skip(INT_MAX);
        QVERIFY(s.overrun());
        QCOMPARE(s.u16be(), quint16(0));
        s.skip(INT_MAX);
        QCOMPARE(s.remaining(), 0);
        QCOMPARE(s.bytes(-3), QByteArray());
    }

    void texts_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pos");
        QTest::addColumn<bool>("overrun");
        QTest::newRow("cut at first zero") << QByteArray("ab\0cd\0\0\0", 8) << 8 << "ab" << 8 << false;
        QTest::newRow("field full, no zero") << QByteArray("abcdXYZ") << 4 << "abcd" << 4 << false;
        QTest::newRow("zero at first byte") << QByteArray("\0abc", 4) << 4 << "" << 4 << false;
        QTest::newRow("utf8") << QByteArray("\xe6\xb8\xa9\xe5\xba\xa6\0\0", 8) << 8 << QString::fromUtf8("温度") << 8
                              << false;
        // A character cut by the field end is dropped, the rest kept.
        QTest::newRow("utf8 cut by field end")
            << QByteArray("\xe6\xb8\xa9\xe5\xba\xa6") << 5 << QString::fromUtf8("温") << 5 << false;
        QTest::newRow("invalid utf8 reads as latin-1") << QByteArray("a\xff\x62", 3) << 3
                                                       << QString::fromLatin1("a\xff"
                                                                              "b")
                                                       << 3 << false;
        QTest::newRow("short data") << QByteArray("ab") << 6 << "ab" << 6 << true;
        QTest::newRow("width 0") << QByteArray("ab") << 0 << "" << 0 << false;
    }

    void texts()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, width);
        QFETCH(QString, text);
        QFETCH(int, pos);
        QFETCH(bool, overrun);
        ByteReader r(data);
        QCOMPARE(r.text(width), text);
        QCOMPARE(r.pos(), pos);
        QCOMPARE(r.overrun(), overrun);
    }

    void textFieldsInARecord()
    {
        // Two fixed fields back to back: the first never spills into the second.
        const QByteArray record = QByteArray("name\0\0\0\0unit", 12) + QByteArray::fromHex("2a00");
        ByteReader r(record);
        QCOMPARE(r.text(8), QString("name"));
        QCOMPARE(r.text(4), QString("unit"));
        QCOMPARE(r.u16le(), quint16(42));
        QVERIFY(r.atEnd());
        QVERIFY(!r.overrun());
    }

    void writeTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("maxBytes");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("padded") << "ab" << 4 << -1 << QByteArray("ab\0\0", 4);
        QTest::newRow("exact") << "abcd" << 4 << -1 << QByteArray("abcd");
        QTest::newRow("cut") << "abcdef" << 4 << -1 << QByteArray("abcd");
        QTest::newRow("room for a zero") << "abcd" << 4 << 3 << QByteArray("abc\0", 4);
        QTest::newRow("max over width") << "abcdef" << 4 << 10 << QByteArray("abcd");
        // Three-byte characters: never half a character.
        QTest::newRow("utf8 whole") << QString::fromUtf8("温度") << 6 << -1 << QByteArray("\xe6\xb8\xa9\xe5\xba\xa6");
        QTest::newRow("utf8 cut before char")
            << QString::fromUtf8("温度") << 5 << -1 << QByteArray("\xe6\xb8\xa9\0\0", 5);
        QTest::newRow("utf8 none fits") << QString::fromUtf8("温") << 2 << -1 << QByteArray("\0\0", 2);
        QTest::newRow("empty") << QString() << 3 << -1 << QByteArray("\0\0\0", 3);
        QTest::newRow("width 0") << "abc" << 0 << -1 << QByteArray();
        QTest::newRow("max 0") << "abc" << 3 << 0 << QByteArray("\0\0\0", 3);
    }

    void writeTexts()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(int, maxBytes);
        QFETCH(QByteArray, bytes);
        ByteWriter w;
        w.text(text, width, maxBytes);
        QCOMPARE(w.data(), bytes);
        // What was written reads back as the text it kept.
        ByteReader r(w.data());
        QCOMPARE(
            r.text(width), QString::fromUtf8(bytes.left(bytes.indexOf('\0') < 0 ? bytes.size() : bytes.indexOf('\0'))));
    }

    void utf8Cuts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("max");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii") << "abc" << 2 << QByteArray("ab");
        QTest::newRow("two-byte") << QString::fromUtf8("äö") << 3 << QByteArray("\xc3\xa4");
        QTest::newRow("four-byte") << QString::fromUtf8("a😀") << 4 << QByteArray("a");
        QTest::newRow("four-byte fits") << QString::fromUtf8("a😀") << 5 << QByteArray("a\xf0\x9f\x98\x80");
        QTest::newRow("negative") << "abc" << -1 << QByteArray();
    }

    void utf8Cuts()
    {
        QFETCH(QString, text);
        QFETCH(int, max);
        QFETCH(QByteArray, bytes);
        QCOMPARE(utf8Cut(text, max), bytes);
    }

    void fillAndResize()
    {
        ByteWriter w(16);
        w.u8(1).fill(3, 0xAA).fill(-2);
        QCOMPARE(w.data(), QByteArray::fromHex("01aaaaaa"));
        w.resize(6);
        QCOMPARE(w.data(), QByteArray::fromHex("01aaaaaa0000"));
        w.resize(2);
        QCOMPARE(w.data(), QByteArray::fromHex("01aa"));
        w.resize(-1);
        QCOMPARE(w.size(), 0);
        w.bytes("xy");
        QCOMPARE(w.data(), QByteArray("xy"));
    }

    void wholeRecords_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("record");
        QTest::addColumn<int>("count");
        QTest::newRow("exact") << 40 << 8 << 5;
        QTest::newRow("part record left out") << 47 << 8 << 5;
        QTest::newRow("less than one") << 7 << 8 << 0;
        QTest::newRow("empty") << 0 << 8 << 0;
        QTest::newRow("negative size") << -8 << 8 << 0;
        QTest::newRow("record size 0") << 40 << 0 << 0;
        QTest::newRow("negative record") << 40 << -8 << 0;
        QTest::newRow("largest") << INT_MAX << 1 << INT_MAX;
    }

    void wholeRecords()
    {
        QFETCH(int, size);
        QFETCH(int, record);
        QFETCH(int, count);
        QCOMPARE(ByteReader::wholeRecords(size, record), count);
    }
};

RIVUDO_TEST_MAIN(TestByteCodec)
#include "tst_bytecodec.moc"
