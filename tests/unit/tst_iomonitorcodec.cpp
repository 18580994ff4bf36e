#include "iomonitorcodec.h"
#include "iopoint.h"
#include "testsupport.h"

// Points built the way the I/O page keeps them: one per (direction, type, swap) entry.
struct PointSpec
{
    int direction;
    int dataType;
    bool swap;
    qint32 writeValue;
};
Q_DECLARE_METATYPE(PointSpec)

class PointList
{
public:
    explicit PointList(const QList<PointSpec> &specs)
    {
        int next[2] = { 0, 0 };
        for (const PointSpec &s : specs) {
            auto *p = new IoPoint;
            p->direction = s.direction;
            p->dataType = s.dataType;
            p->size = ioDataTypeSize(s.dataType);
            p->swap = s.swap;
            p->writeValue = s.writeValue;
            p->number = next[s.direction];
            next[s.direction] += p->size;
            p->updateAddress();
            points.append(p);
        }
    }
    ~PointList() { qDeleteAll(points); }
    QList<IoPoint *> points;
};

class TestIoMonitorCodec : public QObject
{
    Q_OBJECT
private slots:
    void valueText_data()
    {
        QTest::addColumn<quint32>("value");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("text");
        QTest::newRow("SINT 200 dec") << 200u << int(IoSINT) << 0 << "-56";
        QTest::newRow("SINT 200 hex") << 200u << int(IoSINT) << 1 << "c8";
        QTest::newRow("SINT 200 bin") << 200u << int(IoSINT) << 2 << "2#11001000";
        QTest::newRow("USINT 255") << 255u << int(IoUSINT) << 0 << "255";
        QTest::newRow("INT -1") << 0xFFFFu << int(IoINT) << 0 << "-1";
        QTest::newRow("UINT 65535") << 0xFFFFu << int(IoUINT) << 0 << "65535";
        QTest::newRow("UDINT max") << 0xFFFFFFFFu << int(IoUDINT) << 0 << "4294967295";
        QTest::newRow("DINT -1 dec") << 0xFFFFFFFFu << int(IoDINT) << 0 << "-1";
        QTest::newRow("DINT -1 hex") << 0xFFFFFFFFu << int(IoDINT) << 1 << "-1";
        QTest::newRow("DINT -256 hex") << 0xFFFFFF00u << int(IoDINT) << 1 << "-100";
        QTest::newRow("UDINT hex") << 0xDEADBEEFu << int(IoUDINT) << 1 << "deadbeef";
        QTest::newRow("zero bin") << 0u << int(IoUINT) << 2 << "2#0";
    }
    void valueText()
    {
        QFETCH(quint32, value);
        QFETCH(int, type);
        QFETCH(int, format);
        QFETCH(QString, text);
        QCOMPARE(ioValueText(value, type, format), text);
    }

    void typeTable()
    {
        const QStringList names = { "USINT", "UINT", "UDINT", "SINT", "INT", "DINT" };
        const QList<int> sizes = { 1, 2, 4, 1, 2, 4 };
        const QList<int> mins = { 0, 0, 0, -127, -32767, INT_MIN };
        const QList<int> maxs = { 255, 65535, INT_MAX, 127, 32767, INT_MAX };
        for (int t = 0; t < IoDataTypeCount; ++t) {
            QCOMPARE(ioDataTypeName(t), names[t]);
            QCOMPARE(ioDataTypeSize(t), sizes[t]);
            QCOMPARE(ioModifyMinimum(t), mins[t]);
            QCOMPARE(ioModifyMaximum(t), maxs[t]);
        }
    }

    void pollFrames_data()
    {
        QTest::addColumn<QList<PointSpec>>("specs");
        QTest::addColumn<int>("outputLength");
        QTest::addColumn<QByteArray>("poll");
        QTest::newRow("UINT") << QList<PointSpec> { { 1, IoUINT, false, 0x1234 } } << 2
                              << QByteArray::fromHex("a500023412"
                                                     "5a");
        QTest::newRow("UINT swapped") << QList<PointSpec> { { 1, IoUINT, true, 0x1234 } } << 2
                                      << QByteArray::fromHex("a500021234"
                                                             "5a");
        QTest::newRow("inputs not sent") << QList<PointSpec> { { 0, IoUSINT, false, 7 }, { 1, IoUSINT, false, 9 } } << 1
                                         << QByteArray::fromHex("a50001095a");
        QTest::newRow("DINT and SINT low bits") << QList<PointSpec> { { 1, IoDINT, false, -2 },
            { 1, IoSINT, false, -1 } } << 5 << QByteArray::fromHex("a50005feffffffff5a");
        QTest::newRow("UDINT swapped") << QList<PointSpec> { { 1, IoUDINT, true, 0x01020304 } } << 4
                                       << QByteArray::fromHex("a50004010203045a");
        QTest::newRow("short run padded") << QList<PointSpec> { { 1, IoUSINT, false, 0x11 } } << 3
                                          << QByteArray::fromHex("a50003110000"
                                                                 "5a");
        QTest::newRow("long run cut") << QList<PointSpec> { { 1, IoUDINT, false, 0x44332211 } } << 2
                                      << QByteArray::fromHex("a5000211225a");
    }
    void pollFrames()
    {
        QFETCH(QList<PointSpec>, specs);
        QFETCH(int, outputLength);
        QFETCH(QByteArray, poll);
        PointList list(specs);
        QCOMPARE(buildIoPoll(packIoOutputs(list.points, outputLength)), poll);
    }

    void plainPoll()
    {
        QCOMPARE(buildIoPoll(QByteArray()), QByteArray::fromHex("a500005a"));
        QCOMPARE(frameSerialIoPoll(buildIoPoll(QByteArray())), QByteArray::fromHex("44a500005afebd"));
    }

    void decode_data()
    {
        QTest::addColumn<bool>("swap");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("serial");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("complete");
        QTest::addColumn<QList<quint32>>("values");
        const QByteArray reply = QByteArray::fromHex("a5000311223"
                                                     "35a");
        QTest::newRow("plain") << false << reply << false << true << true << QList<quint32> { 0x11, 0x3322 };
        QTest::newRow("swapped") << true << reply << false << true << true << QList<quint32> { 0x11, 0x2233 };
        QTest::newRow("5A in the data") << false << QByteArray::fromHex("a500035a5a335a") << false << true << true
                                        << QList<quint32> { 0x5a, 0x335a };
        QTest::newRow("short: cut point left out")
            << false << QByteArray::fromHex("a50003115a") << false << true << false << QList<quint32> { 0x11 };
        QTest::newRow("no head") << false
                                 << QByteArray::fromHex("b5000311223"
                                                        "35a")
                                 << false << false << false << QList<quint32> {};
        QTest::newRow("too short") << false << QByteArray::fromHex("a55a") << false << false << false
                                   << QList<quint32> {};
        QByteArray serial = reply.left(6);
        const quint16 ck = ioCheckSum(serial);
        serial.append(char(ck >> 8)).append(char(ck & 0xff)).append(char(0x5a));
        QTest::newRow("serial, check stripped")
            << false << serial << true << true << true << QList<quint32> { 0x11, 0x3322 };
        QByteArray bad = serial;
        bad[7] = char(bad[7] ^ 1);
        QTest::newRow("serial, bad check") << false << bad << true << false << false << QList<quint32> {};
    }
    void decode()
    {
        QFETCH(bool, swap);
        QFETCH(QByteArray, reply);
        QFETCH(bool, serial);
        QFETCH(bool, valid);
        QFETCH(bool, complete);
        QFETCH(QList<quint32>, values);
        const QVector<IoSlot> layout = { { 1, false }, { 2, swap } };
        const IoReplyValues got = decodeIoReply(reply, layout, serial);
        QCOMPARE(got.valid, valid);
        QCOMPARE(got.complete, complete);
        QCOMPARE(got.values.toList(), values);
    }

    void cutter_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("serial");
        QTest::addColumn<QList<QByteArray>>("replies");
        QTest::addColumn<QByteArray>("rest");
        const QByteArray r1 = QByteArray::fromHex("a50003112233"
                                                  "5a");
        const QByteArray r2 = QByteArray::fromHex("a500035a445a"
                                                  "5a");
        QTest::newRow("one") << r1 << false << QList<QByteArray> { r1 } << QByteArray();
        QTest::newRow("two back to back") << r1 + r2 << false << QList<QByteArray> { r1, r2 } << QByteArray();
        QTest::newRow("part waits") << r1.left(5) << false << QList<QByteArray> {} << r1.left(5);
        QTest::newRow("noise before") << QByteArray::fromHex("00ff") + r1 << false << QList<QByteArray> { r1 }
                                      << QByteArray();
        QTest::newRow("only noise") << QByteArray::fromHex("0011225a") << false << QList<QByteArray> {} << QByteArray();
        const QByteArray shortReply = QByteArray::fromHex("a50003115a");
        QTest::newRow("short then whole")
            << shortReply + r1 << false << QList<QByteArray> { shortReply, r1 } << QByteArray();
        QByteArray s1 = r1.left(6);
        const quint16 ck = ioCheckSum(s1);
        s1.append(char(ck >> 8)).append(char(ck & 0xff)).append(char(0x5a));
        QTest::newRow("serial") << s1 + s1 << true << QList<QByteArray> { s1, s1 } << QByteArray();
    }
    void cutter()
    {
        QFETCH(QByteArray, input);
        QFETCH(bool, serial);
        QFETCH(QList<QByteArray>, replies);
        QFETCH(QByteArray, rest);
        QByteArray buffer = input;
        QCOMPARE(cutIoReplies(buffer, 3, serial), replies);
        QCOMPARE(buffer, rest);
    }

    // A reply is taken the moment its end byte arrives, however the bytes come in: a shorter
    // reply must not wait for the next one. On the serial link the check keeps a 0x5A among the
    // data from ending a whole reply early; on UDP a datagram ending in one is a reply of its own.
    void cutterByteByByte_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("serial");
        QTest::addColumn<QList<QByteArray>>("replies");
        const QByteArray whole = QByteArray::fromHex("a50003112233"
                                                     "5a");
        const QByteArray shortReply = QByteArray::fromHex("a5000244555a");
        const QByteArray shortSerial = QByteArray::fromHex("a5000111ff495a");
        QByteArray serialWhole = QByteArray::fromHex("a500035a5a5a");
        const quint16 ck = ioCheckSum(serialWhole);
        serialWhole.append(char(ck >> 8)).append(char(ck & 0xff)).append(char(0x5a));
        QTest::newRow("whole then short") << whole + shortReply << false << QList<QByteArray> { whole, shortReply };
        QTest::newRow("short then whole") << shortReply + whole << false << QList<QByteArray> { shortReply, whole };
        QTest::newRow("two short") << shortReply + shortReply << false << QList<QByteArray> { shortReply, shortReply };
        QTest::newRow("5A in the data, udp")
            << QByteArray::fromHex("a500035a5a5a5a") << false << QList<QByteArray> { QByteArray::fromHex("a500035a") };
        QTest::newRow("serial short") << shortSerial << true << QList<QByteArray> { shortSerial };
        QTest::newRow("serial short then whole")
            << shortSerial + serialWhole << true << QList<QByteArray> { shortSerial, serialWhole };
        QTest::newRow("serial 5A in the data") << serialWhole << true << QList<QByteArray> { serialWhole };
    }
    void cutterByteByByte()
    {
        QFETCH(QByteArray, input);
        QFETCH(bool, serial);
        QFETCH(QList<QByteArray>, replies);
        QByteArray buffer;
        QList<QByteArray> got;
        for (char c : input) {
            buffer.append(c);
            const QList<QByteArray> now = cutIoReplies(buffer, 3, serial);
            got += now;
            // Each reply leaves with its own last byte: nothing of it waits for more.
            if (!now.isEmpty())
                QVERIFY(buffer.isEmpty());
        }
        QCOMPARE(got, replies);
    }

    // Read whole, a shorter reply is taken at once and nothing waits in the buffer.
    void shortRepliesAtOnce_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("serial");
        QTest::addColumn<int>("image");
        QTest::newRow("udp, 2 of 3 bytes") << QByteArray::fromHex("a5000244555a") << false << 3;
        QTest::newRow("udp, 2 of 5 bytes") << QByteArray::fromHex("a5000244555a") << false << 5;
        QTest::newRow("udp, none of 3 bytes") << QByteArray::fromHex("a500005a") << false << 3;
        QTest::newRow("serial, 1 of 3 bytes") << QByteArray::fromHex("a5000111ff495a") << true << 3;
        QTest::newRow("serial, 1 of 5 bytes") << QByteArray::fromHex("a5000111ff495a") << true << 5;
    }
    void shortRepliesAtOnce()
    {
        QFETCH(QByteArray, input);
        QFETCH(bool, serial);
        QFETCH(int, image);
        QByteArray buffer = input;
        QCOMPARE(cutIoReplies(buffer, image, serial), QList<QByteArray> { input });
        QCOMPARE(buffer, QByteArray());
        // The points it holds wholly get their values.
        const IoReplyValues v = decodeIoReply(input, { { 1, false }, { 2, false } }, serial);
        QVERIFY(v.valid);
        QVERIFY(!v.complete);
    }
};

RIVUDO_TEST_MAIN(TestIoMonitorCodec)
#include "tst_iomonitorcodec.moc"
