#include "firmwareheader.h"
#include "intelhex.h"
#include "testsupport.h"

Q_DECLARE_METATYPE(HexError)

namespace {

// One well-formed line with its check sum.
QByteArray rec(int type, int offset, const QByteArray &data)
{
    QByteArray bytes;
    bytes.append(char(data.size()));
    bytes.append(char(offset >> 8));
    bytes.append(char(offset));
    bytes.append(char(type));
    bytes.append(data);
    quint8 sum = 0;
    for (char c : bytes)
        sum = quint8(sum + quint8(c));
    bytes.append(char(quint8(-sum)));
    return ":" + bytes.toHex().toUpper() + "\r\n";
}

QByteArray data(int type, int offset, const QByteArray &hex)
{
    return rec(type, offset, QByteArray::fromHex(hex));
}

QByteArray linear(int upper)
{
    return rec(4, 0, QByteArray(1, char(upper >> 8)) + char(upper));
}

QByteArray segment(int seg)
{
    return rec(2, 0, QByteArray(1, char(seg >> 8)) + char(seg));
}

const QByteArray eof = ":00000001FF\r\n";

} // namespace

class TestIntelHex : public QObject
{
    Q_OBJECT
private slots:
    void read_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<HexError>("error");
        QTest::addColumn<int>("line");
        QTest::addColumn<QByteArray>("image"); // hex

        QTest::newRow("three bytes") << QByteArray(":03000000010203F7\n:00000001FF\n") << HexError::None << 0
                                     << QByteArray("010203");
        QTest::newRow("lower case") << QByteArray(":03000000010203f7\n:00000001ff\n") << HexError::None << 0
                                    << QByteArray("010203");
        QTest::newRow("empty text") << QByteArray() << HexError::None << 0 << QByteArray();
        QTest::newRow("no end record") << data(0, 0x10, "aabb") << HexError::None << 0 << QByteArray("aabb");
        QTest::newRow("no final line end")
            << QByteArray(":03000000010203F7") << HexError::None << 0 << QByteArray("010203");
        QTest::newRow("linear base, no leading fill")
            << QByteArray(":020000040800F2\n") + data(0, 0x0000, "11") + data(0, 0x0001, "22") + eof << HexError::None
            << 0 << QByteArray("1122");
        QTest::newRow("hole filled with zeros")
            << data(0, 0x100, "0102") + data(0, 0x105, "03") + eof << HexError::None << 0 << QByteArray("010200000003");
        QTest::newRow("hole across linear bases")
            << linear(0x0800) + data(0, 0xFFFE, "aa") + linear(0x0801) + data(0, 0x0001, "bb") + eof << HexError::None
            << 0 << QByteArray("aa0000bb");
        QTest::newRow("segment base") << QByteArray(":020000021000EC\n") + data(0, 0x0010, "01") + data(0, 0x0012, "02")
                + eof << HexError::None
                                      << 0 << QByteArray("010002");
        QTest::newRow("segment base then linear base")
            << segment(0x1000) + data(0, 0x0000, "01") + linear(0x0001) + data(0, 0x0002, "02") + eof << HexError::None
            << 0 << QByteArray("010002");
        QTest::newRow("linear base then segment base")
            << linear(0x0001) + data(0, 0x0000, "01") + segment(0x1000) + data(0, 0x0003, "02") + eof << HexError::None
            << 0 << QByteArray("01000002");
        QTest::newRow("start linear address ends reading")
            << data(0, 0, "01") + rec(5, 0, QByteArray::fromHex("08000000")) + data(0, 1, "02") + eof << HexError::None
            << 0 << QByteArray("01");
        QTest::newRow("start segment address ends reading")
            << data(0, 0, "01") + rec(3, 0, QByteArray::fromHex("00001000")) + QByteArray(":zz\n") << HexError::None
            << 0 << QByteArray("01");
        QTest::newRow("end record stops before junk") << data(0, 0, "01") + eof + "junk\n"
                                                      << HexError::None << 0 << QByteArray("01");
        QTest::newRow("blank lines skipped")
            << QByteArray("\n\r\n") + data(0, 0, "01") + "   \t\r\n\n" + data(0, 1, "02") + "\n" + eof << HexError::None
            << 0 << QByteArray("0102");
        QTest::newRow("32-byte record") << data(0, 0, QByteArray(64, 'a')) + eof << HexError::None << 0
                                        << QByteArray(64, 'a');
        QTest::newRow("255-byte record") << data(0, 0, QByteArray(510, '5')) + data(0, 255, "01") + eof
                                         << HexError::None << 0 << QByteArray(510, '5') + "01";
        QTest::newRow("zero-length data record")
            << data(0, 0x20, "") + data(0, 0x20, "07") + eof << HexError::None << 0 << QByteArray("07");

        QTest::newRow("bad check sum") << data(0, 0, "01") + ":03000000010203F8\n" + eof << HexError::BadRecord << 2
                                       << QByteArray("01");
        QTest::newRow("bad check sum on end record") << data(0, 0, "01") + ":00000001FE\n"
                                                     << HexError::BadRecord << 2 << QByteArray("01");
        // Count 3, two data bytes, check sum made over what is there.
        QTest::newRow("line shorter than its count")
            << QByteArray(":030000000102FA\n") << HexError::BadRecord << 1 << QByteArray();
        // Count 1, two data bytes, check sum made over what is there.
        QTest::newRow("line longer than its count")
            << QByteArray(":010000000102FC\n") << HexError::BadRecord << 1 << QByteArray();
        QTest::newRow("odd digit count") << QByteArray(":03000000010203F70\n") << HexError::BadRecord << 1
                                         << QByteArray();
        QTest::newRow("start code only") << QByteArray(":\n") << HexError::BadRecord << 1 << QByteArray();
        QTest::newRow("text line") << data(0, 0, "01") + "hello\n" << HexError::BadRecord << 2 << QByteArray("01");
        QTest::newRow("linear base without data")
            << rec(4, 0, QByteArray()) << HexError::BadRecord << 1 << QByteArray();
        QTest::newRow("segment base with one byte")
            << rec(2, 0, QByteArray(1, '\x10')) << HexError::BadRecord << 1 << QByteArray();
        QTest::newRow("blanks within the line limit") << data(0, 0, "01").replace("\r\n", QByteArray(3000, ' ') + "\n")
                + eof << HexError::None << 0 << QByteArray("01");
        QTest::newRow("line past the limit") << data(0, 0, "01") + QByteArray(maxHexLineLength, ' ') + "\n" + eof
                                             << HexError::BadRecord << 2 << QByteArray("01");
        QTest::newRow("address goes backwards")
            << data(0, 0x10, "01") + data(0, 0x08, "02") + eof << HexError::AddressBackwards << 2 << QByteArray("01");
        QTest::newRow("overlapping records") << data(0, 0x10, "0102") + data(0, 0x11, "03") + eof
                                             << HexError::AddressBackwards << 2 << QByteArray("0102");
        QTest::newRow("lower linear base") << linear(0x0801) + data(0, 0, "01") + linear(0x0800) + data(0, 0, "02")
                                           << HexError::AddressBackwards << 4 << QByteArray("01");
        QTest::newRow("hole past 16 MiB") << data(0, 0, "01") + linear(0x0100) + data(0, 0, "02") + eof
                                          << HexError::ImageTooLarge << 3 << QByteArray("01");
        QTest::newRow("far apart bases") << linear(0x0000) + data(0, 0, "01") + linear(0xFFFF) + data(0, 0xFFFF, "02")
                                         << HexError::ImageTooLarge << 4 << QByteArray("01");
    }

    void read()
    {
        QFETCH(QByteArray, text);
        QFETCH(HexError, error);
        QFETCH(int, line);
        QFETCH(QByteArray, image);

        const HexReadResult result = readIntelHex(text);
        QCOMPARE(int(result.error), int(error));
        QCOMPARE(result.line, line);
        QCOMPARE(result.image.toHex(), image);
    }

    void imageCappedAtSixteenMiB()
    {
        // The last byte lands exactly on the cap; one more byte is refused.
        const QByteArray last = QByteArray(16, '\x5A');
        const QByteArray upTo = data(0, 0, "01") + linear(0x00FF) + rec(0, 0xFFF0, last);
        HexReadResult result = readIntelHex(upTo + eof);
        QVERIFY(result.ok());
        QCOMPARE(result.image.size(), maxHexImageSize);
        QCOMPARE(result.image.right(16), last);
        QCOMPARE(result.image.at(1), '\0');

        result = readIntelHex(upTo + linear(0x0100) + data(0, 0, "02") + eof);
        QCOMPARE(int(result.error), int(HexError::ImageTooLarge));
        QCOMPARE(result.image.size(), maxHexImageSize);
    }

    // Files are read in large pieces: records that straddle two pieces, and lines longer than any
    // record, read the same from a file as from memory.
    void fileReadsLikeText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<HexError>("error");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("imageSize");

        QByteArray many;
        for (int i = 0; i < 4000; ++i)
            many += rec(0, i * 16, QByteArray(16, char(i)));
        QTest::newRow("records across pieces") << many + eof << HexError::None << 0 << 4000 * 16;
        QTest::newRow("last line without line end") << many + eof.trimmed() << HexError::None << 0 << 4000 * 16;
        QTest::newRow("over-long line") << data(0, 0, "01") + QByteArray(5000, '0') + "\n" + eof << HexError::BadRecord
                                        << 2 << 1;
        QTest::newRow("over-long last line")
            << data(0, 0, "01") + QByteArray(70000, ' ') << HexError::BadRecord << 2 << 1;
        QTest::newRow("longest line allowed")
            << data(0, 0, "01") + QByteArray(4095, ' ') + "\n" + data(0, 1, "02") << HexError::None << 0 << 2;
        QTest::newRow("one past the longest")
            << data(0, 0, "01") + QByteArray(4096, ' ') + "\n" + data(0, 1, "02") << HexError::BadRecord << 2 << 1;
    }

    void fileReadsLikeText()
    {
        QFETCH(QByteArray, text);
        QFETCH(HexError, error);
        QFETCH(int, line);
        QFETCH(int, imageSize);

        QTemporaryDir dir;
        QFile file(dir.filePath("image.hex"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(text), qint64(text.size()));
        file.close();
        QVERIFY(file.open(QIODevice::ReadOnly));
        const HexReadResult fromFile = readIntelHex(file);
        const HexReadResult fromText = readIntelHex(text);
        QCOMPARE(int(fromFile.error), int(error));
        QCOMPARE(fromFile.line, line);
        QCOMPARE(fromFile.image.size(), imageSize);
        QCOMPARE(int(fromText.error), int(error));
        QCOMPARE(fromText.line, line);
        QVERIFY(fromText.image == fromFile.image);
    }

    void parseKeepsFields()
    {
        HexRecord record;
        QVERIFY(parseHexRecord(":10010000214601360121470136007EFE09D2190140\r\n", record));
        QCOMPARE(record.length, quint8(0x10));
        QCOMPARE(record.offset, quint16(0x0100));
        QCOMPARE(record.type, quint8(0));
        QCOMPARE(record.data.toHex(), QByteArray("214601360121470136007efe09d21901"));
        QCOMPARE(record.checksum, quint8(0x40));
    }

    void header_data()
    {
        QTest::addColumn<QByteArray>("image"); // hex
        QTest::addColumn<QByteArray>("bytes"); // hex

        QTest::newRow("empty") << QByteArray()
                               << QByteArray("cdab571300000000"
                                             "00000000");
        QTest::newRow("three bytes") << QByteArray("010203")
                                     << QByteArray("cdab571303000000"
                                                   "faffffff");
        QTest::newRow("high bytes unsigned") << QByteArray("ffffffff")
                                             << QByteArray("cdab571304000000"
                                                           "04fcffff");
        QTest::newRow("long image") << QByteArray(2 * 300, 'f')
                                    << QByteArray("cdab57132c010000"
                                                  "2cd5feff");
    }

    void header()
    {
        QFETCH(QByteArray, image);
        QFETCH(QByteArray, bytes);
        const QByteArray raw = QByteArray::fromHex(image);
        const FirmwareHeader h = FirmwareHeader::fromImage(raw);
        QCOMPARE(h.toBytes().toHex(), bytes);
        quint32 sum = quint32(h.checksum);
        for (char c : raw)
            sum += quint8(c);
        QCOMPARE(sum, 0u);
    }

    void defaultHeaderIsEmpty()
    {
        QCOMPARE(FirmwareHeader().toBytes().toHex(), QByteArray("cdab57130000000000000000"));
    }
};

RIVUDO_TEST_MAIN(TestIntelHex)
#include "tst_intelhex.moc"
