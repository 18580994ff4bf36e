#include "iolinkhexpairs.h"
#include "iolinkparamtable.h"
#include "iolinkportsetcodec.h"
#include "plugframe.h"
#include "testsupport.h"

#include <QFile>
#include <QTemporaryDir>

Q_DECLARE_METATYPE(IoLinkParamRowError)
Q_DECLARE_METATYPE(IoLinkParamTexts)

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QByteArray zeros(int n)
{
    return QByteArray(n, '\0');
}

IoLinkParamTexts texts(const QString &index, const QString &subIndex, const QString &data)
{
    IoLinkParamTexts t;
    t.index = index;
    t.subIndex = subIndex;
    t.data = data;
    return t;
}

QString pairs(int count)
{
    QStringList p;
    for (int i = 0; i < count; ++i)
        p << QString::asprintf("%02X", i & 0xFF);
    return p.join(QLatin1Char(' '));
}

} // namespace

class TestIoLinkCodecs : public QObject
{
    Q_OBJECT

private slots:
    // Requests as they leave for the master, whole frames included.
    void requests_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QByteArray>("frame");

        IoLinkIoParams io;
        io.pin4Filter = 5;
        QTest::newRow("set I/O parameters") << 1 << io.encode() << hex("A5 15 01 00 00 00 04 00 00 05 00 FF 3C");

        IoLinkPortConfig port;
        port.port = 1;
        port.function = 1;
        port.vendorId = 0x0123;
        port.deviceId = 0xABCDEF;
        port.cycle = 10;
        port.validation = 1;
        port.inputLength = 2;
        port.outputLength = 1;
        QTest::newRow("set port") << 3 << port.encode()
                                  << hex("A5 15 03 00 00 00 0D 01 01 23 01 EF CD AB 00 0A 01 02 01 00 FC 9B");

        IoLinkIsduReadRequest read;
        read.index = 0x0010;
        QTest::newRow("read ISDU") << 5 << read.encode() << hex("A5 15 05 00 00 00 04 00 10 00 00 FF 2D");

        IoLinkParamRow row;
        row.row = 3;
        row.index = 0x0010;
        row.data = hex("01 02");
        QTest::newRow("write parameter row")
            << 7 << row.encode() << hex("A5 15 07 00 00 00 46 00 03 10 00 00 02 01 02") + zeros(62) + hex("FE E1");
    }
    void requests()
    {
        QFETCH(int, command);
        QFETCH(QByteArray, payload);
        QFETCH(QByteArray, frame);
        QCOMPARE(PlugFrame::build(PlugFrame::typeIoLink, command, payload).toHex(' '), frame.toHex(' '));
    }

    void encodesWholeRecords_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("expected");

        IoLinkIoParams io;
        io.port = 3;
        io.safeMode = 2;
        io.pin4Filter = 255;
        io.pin2 = 7;
        QTest::newRow("I/O parameters") << io.encode() << hex("03 02 FF 07");

        IoLinkIsduReadRequest read;
        read.port = 2;
        read.index = 0xBEEF;
        read.subIndex = 0x7F;
        QTest::newRow("ISDU read") << read.encode() << hex("02 EF BE 7F");

        IoLinkIsduWriteRequest write;
        write.port = 1;
        write.index = 0x1234;
        write.subIndex = 5;
        write.data = hex("AA BB CC");
        QTest::newRow("ISDU write, data padded") << write.encode() << hex("01 34 12 05 03 AA BB CC") + zeros(231);

        write.data = QByteArray(240, '\x11');
        QTest::newRow("ISDU write, data cut to the field")
            << write.encode() << hex("01 34 12 05 EA") + QByteArray(234, '\x11');

        IoLinkParamRow row;
        row.port = 2;
        row.row = 19;
        row.index = 0xFFFF;
        row.subIndex = 0xFE;
        row.data = QByteArray(70, '\x5A');
        QTest::newRow("parameter row, data cut to the field")
            << row.encode() << hex("02 13 FF FF FE 40") + QByteArray(64, '\x5A');

        IoLinkParamResult result;
        result.port = 1;
        result.row = 4;
        result.result = 0x8011;
        QTest::newRow("row result") << result.encode() << hex("01 04 11 80");
    }
    void encodesWholeRecords()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, expected);
        QCOMPARE(bytes.toHex(' '), expected.toHex(' '));
    }

    void decodesPortConfig()
    {
        IoLinkPortConfig c;
        QVERIFY(c.decode(hex("02 04 1A 00 23 01 00 00 FF 01 21 20 01 99")));
        QCOMPARE(c.port, quint8(2));
        QCOMPARE(c.function, quint8(4));
        QCOMPARE(c.vendorId, quint16(0x001A));
        QCOMPARE(c.deviceId, quint32(0x123));
        QCOMPARE(c.cycle, quint8(255));
        QCOMPARE(c.validation, quint8(1));
        QCOMPARE(c.inputLength, quint8(33));
        QCOMPARE(c.outputLength, quint8(32));
        QCOMPARE(c.swap, quint8(1));

        IoLinkIoParams io;
        QVERIFY(io.decode(hex("01 03 C8 09")));
        QCOMPARE(io.port, quint8(1));
        QCOMPARE(io.safeMode, quint8(3));
        QCOMPARE(io.pin4Filter, quint8(200));
        QCOMPARE(io.pin2, quint8(9));
    }

    // The count a master reports may exceed the field; only the field is ever shown.
    void isduReadReplyData_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("shown");
        QTest::newRow("none") << 0 << 0;
        QTest::newRow("three") << 3 << 3;
        QTest::newRow("whole field") << 234 << 234;
        QTest::newRow("beyond the field") << 250 << 234;
    }
    void isduReadReplyData()
    {
        QFETCH(int, count);
        QFETCH(int, shown);
        QByteArray data(234, '\0');
        for (int i = 0; i < data.size(); ++i)
            data[i] = char(i);
        IoLinkIsduReadReply r;
        QVERIFY(r.decode(hex("03") + QByteArray(1, char(count)) + data + hex("11 80")));
        QCOMPARE(r.port, quint8(3));
        QCOMPARE(r.errorCode, quint16(0x8011));
        QCOMPARE(r.validData(), data.left(shown));
    }

    void paramReadReply()
    {
        IoLinkParamReadReply r;
        QVERIFY(r.decode(hex("01 05 34 12 01 46") + QByteArray(64, '\x7E') + hex("02 00")));
        QCOMPARE(r.row.port, quint8(1));
        QCOMPARE(r.row.row, quint8(5));
        QCOMPARE(r.row.index, quint16(0x1234));
        QCOMPARE(r.row.subIndex, quint8(1));
        QCOMPARE(r.row.data, QByteArray(64, '\x7E'));
        QCOMPARE(r.result, IoLinkParamReadReply::resultIgnored);

        QVERIFY(r.decode(hex("00 00 10 00 00 02 01 02") + zeros(62) + hex("01 00")));
        QCOMPARE(r.row.data, hex("01 02"));
        QCOMPARE(r.result, quint16(1));
        QCOMPARE(r.encode(), hex("00 00 10 00 00 02 01 02") + zeros(62) + hex("01 00"));
    }

    // A payload one byte short of its record is refused and leaves the record alone.
    void shortPayloadsRefused()
    {
        const QByteArray filler(300, '\x42');
        auto refuses = [&](auto record, int size) {
            const QByteArray before = record.encode();
            return !record.decode(filler.left(size - 1)) && !record.decode(QByteArray()) && record.encode() == before
                && record.decode(filler.left(size));
        };
        QVERIFY(refuses(IoLinkIoParams(), IoLinkIoParams::size));
        QVERIFY(refuses(IoLinkPortConfig(), IoLinkPortConfig::size));
        QVERIFY(refuses(IoLinkIsduReadRequest(), IoLinkIsduReadRequest::size));
        QVERIFY(refuses(IoLinkIsduReadReply(), IoLinkIsduReadReply::size));
        QVERIFY(refuses(IoLinkIsduWriteRequest(), IoLinkIsduWriteRequest::size));
        QVERIFY(refuses(IoLinkParamRow(), IoLinkParamRow::size));
        QVERIFY(refuses(IoLinkParamResult(), IoLinkParamResult::size));
        QVERIFY(refuses(IoLinkParamReadReply(), IoLinkParamReadReply::size));
    }

    void decodesIsduWrite()
    {
        IoLinkIsduWriteRequest w;
        QVERIFY(w.decode(hex("02 10 00 03 02 AB CD EE") + zeros(231)));
        QCOMPARE(w.port, quint8(2));
        QCOMPARE(w.index, quint16(0x10));
        QCOMPARE(w.subIndex, quint8(3));
        QCOMPARE(w.data, hex("AB CD"));
        QVERIFY(w.decode(hex("02 10 00 03 FF") + QByteArray(234, '\x01')));
        QCOMPARE(w.data.size(), 234);
    }

    void hexPairs_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("one pair") << "0a" << true << hex("0A");
        QTest::newRow("three pairs, mixed case") << "01 aB FF" << true << hex("01 AB FF");
        QTest::newRow("blanks at both ends") << "  01 02 \n" << true << hex("01 02");
        QTest::newRow("four digits without a space") << "0102" << false << QByteArray();
        QTest::newRow("two spaces between pairs") << "01  02" << false << QByteArray();
        QTest::newRow("single digit before a pair") << "1 02" << false << QByteArray();
        QTest::newRow("single digit") << "1" << false << QByteArray();
        QTest::newRow("not hexadecimal") << "0G" << false << QByteArray();
        QTest::newRow("empty") << "" << false << QByteArray();
        QTest::newRow("tab between pairs") << "01\t02" << false << QByteArray();
    }
    void hexPairs()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QByteArray, bytes);
        QCOMPARE(isHexPairText(text), valid);
        if (valid) {
            QCOMPARE(hexPairBytes(text), bytes);
            QCOMPARE(hexPairCount(text), bytes.size());
        }
    }

    void hexPairTextShowsUpperCase()
    {
        QCOMPARE(hexPairText(hex("01 0A FF")), QStringLiteral("01 0A FF"));
        QCOMPARE(hexPairText(QByteArray()), QString());
        QVERIFY(isHexPairText(hexPairText(QByteArray(234, '\xab'))));
    }

    void rowCheck_data()
    {
        QTest::addColumn<IoLinkParamTexts>("in");
        QTest::addColumn<IoLinkParamRowError>("error");
        QTest::addColumn<IoLinkParamTexts>("out");
        QTest::addColumn<QByteArray>("record"); // port 1, row 6

        const QByteArray head = hex("01 06");
        QTest::newRow("empty row saved as zeros")
            << texts("", " ", "") << IoLinkParamRowError::None << texts("00", "00", "00")
            << head + hex("00 00 00 01 00") + zeros(63);
        QTest::newRow("fields read trimmed, left as typed")
            << texts(" 10 ", "0f", " 01 02 ") << IoLinkParamRowError::None << texts(" 10 ", "0f", " 01 02 ")
            << head + hex("10 00 0F 02 01 02") + zeros(62);
        QTest::newRow("five-digit index keeps its low 16 bits")
            << texts("12345", "00", "AA") << IoLinkParamRowError::None << texts("12345", "00", "AA")
            << head + hex("45 23 00 01 AA") + zeros(63);
        QTest::newRow("subindex FFFF keeps its low byte")
            << texts("1", "FFFF", "AA") << IoLinkParamRowError::None << texts("1", "FFFF", "AA")
            << head + hex("01 00 FF 01 AA") + zeros(63);
        QTest::newRow("64 pairs") << texts("1", "2", pairs(64)) << IoLinkParamRowError::None
                                  << texts("1", "2", pairs(64))
                                  << head + hex("01 00 02 40") + hex(pairs(64).toLatin1());
        QTest::newRow("index not hexadecimal stops before the other fill-ins")
            << texts("word", "", "") << IoLinkParamRowError::Index << texts("word", "", "") << QByteArray();
        QTest::newRow("subindex above FFFF")
            << texts("", "10000", "") << IoLinkParamRowError::SubIndex << texts("00", "10000", "") << QByteArray();
        QTest::newRow("subindex not hexadecimal")
            << texts("1", "xy", "01") << IoLinkParamRowError::SubIndex << texts("1", "xy", "01") << QByteArray();
        QTest::newRow("half-typed data") << texts("1", "", "1") << IoLinkParamRowError::DataFormat
                                         << texts("1", "00", "1") << QByteArray();
        QTest::newRow("65 pairs") << texts("1", "2", pairs(65)) << IoLinkParamRowError::DataTooLong
                                  << texts("1", "2", pairs(65)) << QByteArray();
    }
    void rowCheck()
    {
        QFETCH(IoLinkParamTexts, in);
        QFETCH(IoLinkParamRowError, error);
        QFETCH(IoLinkParamTexts, out);
        QFETCH(QByteArray, record);

        IoLinkParamRow row;
        row.index = 0x7777;
        QCOMPARE(checkIoLinkParamRow(&in, 1, 6, &row), error);
        QCOMPARE(in.index, out.index);
        QCOMPARE(in.subIndex, out.subIndex);
        QCOMPARE(in.data, out.data);
        if (error == IoLinkParamRowError::None)
            QCOMPARE(row.encode().toHex(' '), record.toHex(' '));
        else
            QCOMPARE(row.index, quint16(0x7777));
    }

    void exportText()
    {
        QVector<IoLinkParamTexts> rows(20);
        rows[2] = texts("10", "00", "01 02");
        rows[19] = texts(" 1234 ", "\t01", "AA BB  ");
        const QStringList lines = ioLinkParamFileText(rows).split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 21);
        QCOMPARE(lines.mid(0, 4), QStringList({ "0|||", "1|||", "2|10|00|01 02", "3|||" }));
        QCOMPARE(lines.at(19), QStringLiteral("19|1234|01|AA BB"));
        QCOMPARE(lines.at(20), QString());
    }

    void importText_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("row");
        QTest::addColumn<IoLinkParamTexts>("texts");
        QTest::addColumn<int>("filledRows");

        QTest::newRow("whole line") << "3|1234|01|AA BB\n" << 3 << texts("1234", "01", "AA BB") << 1;
        QTest::newRow("first field a word names row 0") << "word|5|6|7\n" << 0 << texts("5", "6", "7") << 1;
        QTest::newRow("negative row names row 0") << "-4|5|6|7" << 0 << texts("5", "6", "7") << 1;
        QTest::newRow("row beyond the table skipped") << "25|1|2|3\n20|1|2|3\n" << 0 << texts("", "", "") << 0;
        QTest::newRow("only two fields") << "4|77\n" << 4 << texts("77", "", "") << 1;
        QTest::newRow("no bar changes nothing") << "7\n\n" << 7 << texts("", "", "") << 0;
        QTest::newRow("fields as they stand, extra fields ignored")
            << "5| a |b |c|d|e" << 5 << texts(" a ", "b ", "c") << 1;
        QTest::newRow("later line overwrites the fields it carries") << "6|1|2|3\n6|9\n"
                                                                     << 6 << texts("9", "2", "3") << 1;
        QTest::newRow("carriage returns of another platform") << "8|1|2|01 02\r\n"
                                                              << 8 << texts("1", "2", "01 02") << 1;
        QTest::newRow("last row, no final line end") << "19|F|E|0D" << 19 << texts("F", "E", "0D") << 1;
    }
    void importText()
    {
        QFETCH(QString, file);
        QFETCH(int, row);
        QFETCH(IoLinkParamTexts, texts);
        QFETCH(int, filledRows);

        const QVector<IoLinkParamTexts> rows = ioLinkParamFromFileText(file);
        QCOMPARE(rows.size(), 20);
        QCOMPARE(rows.at(row).index, texts.index);
        QCOMPARE(rows.at(row).subIndex, texts.subIndex);
        QCOMPARE(rows.at(row).data, texts.data);
        QCOMPARE(int(std::count_if(
                     rows.begin(), rows.end(), [](const IoLinkParamTexts &t) { return !(t == IoLinkParamTexts()); })),
            filledRows);
    }

    void fileRoundTrip()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("params.txt");
        QVector<IoLinkParamTexts> rows(20);
        rows[0] = texts("10", "00", "01 02");
        rows[13] = texts(" 0ABC", "7 ", "FF EE DD");
        QVERIFY(saveIoLinkParamFile(path, rows));

        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray raw = f.readAll();
        QVERIFY(raw.startsWith("0|10|00|01 02"));
        QCOMPARE(raw.count('|'), 60);

        QVector<IoLinkParamTexts> back;
        QVERIFY(loadIoLinkParamFile(path, &back));
        rows[13] = texts("0ABC", "7", "FF EE DD");
        QVERIFY(back == rows);

        // A shorter table afterwards leaves nothing of the longer one behind.
        QVERIFY(saveIoLinkParamFile(path, QVector<IoLinkParamTexts>(20)));
        QVERIFY(loadIoLinkParamFile(path, &back));
        QVERIFY(back == QVector<IoLinkParamTexts>(20));

        QVERIFY(!loadIoLinkParamFile(dir.filePath("missing.txt"), &back));
        QVERIFY(!saveIoLinkParamFile(dir.filePath("no/such/folder/x.txt"), rows));
    }
};

RIVUDO_TEST_MAIN(TestIoLinkCodecs)
#include "tst_iolinkcodecs.moc"
