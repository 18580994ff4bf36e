#include "ipv4text.h"
#include "networksettings.h"
#include "plugblock.h"
#include "testsupport.h"
#include "uploadreplycutter.h"

#include <QRandomGenerator>
#include <QtEndian>
#include <algorithm>

namespace {

QByteArray sizeReply(quint32 total)
{
    QByteArray bytes("SIZE");
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.append(char((total >> shift) & 0xFF));
    return bytes + "#end";
}

QByteArray filler(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 13 + 5) & 0xFF);
    return bytes;
}

} // namespace

class TestCommCodecs : public QObject
{
    Q_OBJECT

private slots:
    void addressText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("address");
        QTest::newRow("plain") << "192.168.1.20"
                               << "192.168.1.20";
        QTest::newRow("leading zeros are decimal") << "010.001.000.255"
                                                   << "10.1.0.255";
        QTest::newRow("many zeros") << "0000127.0.0.0001"
                                    << "127.0.0.1";
        QTest::newRow("octet too big") << "192.168.1.256"
                                       << "";
        QTest::newRow("empty octet") << "192.168..20"
                                     << "";
        QTest::newRow("three parts") << "192.168.1"
                                     << "";
        QTest::newRow("five parts") << "192.168.1.2.3"
                                    << "";
        QTest::newRow("sign") << "192.168.1.+2"
                              << "";
        QTest::newRow("blank") << "192.168.1. 2"
                               << "";
        QTest::newRow("host name") << "localhost"
                                   << "";
        QTest::newRow("colons") << "192:168:1:20"
                                << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("unicode digit") << QString::fromUtf8("192.168.1.\xd9\xa2") << "";
    }

    void addressText()
    {
        QFETCH(QString, text);
        QFETCH(QString, address);
        const QHostAddress parsed = ipv4FromText(text);
        QCOMPARE(parsed.isNull() ? QString() : parsed.toString(), address);
    }

    void block_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("gateway");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QByteArray>("block");
        QTest::newRow("address, gateway, mask")
            << "192.168.1.20"
            << "192.168.1.1"
            << "255.255.255.0" << QByteArray("\xC0\xA8\x01\x14\xC0\xA8\x01\x01\xFF\xFF\xFF\x00", 12);
        QTest::newRow("zero-padded entries")
            << "192.168.001.020"
            << "010.000.000.001"
            << "255.255.000.000" << QByteArray("\xC0\xA8\x01\x14\x0A\x00\x00\x01\xFF\xFF\x00\x00", 12);
        QTest::newRow("empty address") << ""
                                       << "192.168.1.1"
                                       << "255.255.255.0" << QByteArray();
        QTest::newRow("empty fields of an entry") << "..."
                                                  << "192.168.1.1"
                                                  << "255.255.255.0" << QByteArray();
        QTest::newRow("partial gateway") << "192.168.1.20"
                                         << "192.168.1."
                                         << "255.255.255.0" << QByteArray();
        QTest::newRow("mask with five parts") << "192.168.1.20"
                                              << "192.168.1.1"
                                              << "255.255.255.0.0" << QByteArray();
        QTest::newRow("octet out of range") << "192.168.1.300"
                                            << "192.168.1.1"
                                            << "255.255.255.0" << QByteArray();
    }

    void block()
    {
        QFETCH(QString, ip);
        QFETCH(QString, gateway);
        QFETCH(QString, mask);
        QFETCH(QByteArray, block);
        const QByteArray made = networkSettingsBlock(ip, gateway, mask);
        QCOMPARE(made, block);
        QVERIFY(made.isEmpty() || made.size() == 12);
    }

    void uploadSize_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<qint64>("total");
        QTest::newRow("size and trailer") << QByteArray("SIZE\x00\x00\x09\xC4#end", 11) << qint64(2500);
        QTest::newRow("zero") << QByteArray("SIZE\0\0\0\0#end", 12) << qint64(0);
        QTest::newRow("short reply counts missing bytes as 0") << QByteArray("SIZE\x01\x02") << qint64(0x01020000);
        QTest::newRow("SIZE anywhere") << QByteArray("xxxx\0\0\0\x05 SIZE", 13) << qint64(5);
        QTest::newRow("largest positive") << QByteArray("SIZE\x7F\xFF\xFF\xFF") << qint64(0x7FFFFFFF);
        QTest::newRow("negative") << QByteArray("SIZE\x80\0\0\0", 8) << qint64(-1);
        QTest::newRow("no SIZE") << QByteArray("SIZ\0\0\0\0\x05#end", 12) << qint64(-1);
        QTest::newRow("empty") << QByteArray() << qint64(-1);
    }

    void uploadSize()
    {
        QFETCH(QByteArray, reply);
        QFETCH(qint64, total);
        QCOMPARE(announcedBlockSize(reply), total);
    }
    void uploadReplies_data()
    {
        QTest::addColumn<QByteArrayList>("reads");
        QTest::addColumn<QByteArrayList>("replies");
        const QByteArray block = filler(2500);
        const QByteArray r1 = block.left(1000) + "#end";
        const QByteArray r2 = block.mid(1000, 1000) + "#end";
        const QByteArray r3 = block.mid(2000) + "#end";
        const QByteArray all = sizeReply(2500) + r1 + r2 + r3;
        QTest::newRow("one read per reply")
            << QByteArrayList { sizeReply(10), "abcdefghij#end" } << QByteArrayList { sizeReply(10), "abcdefghij#end" };
        QTest::newRow("all replies in one read")
            << QByteArrayList { all } << QByteArrayList { sizeReply(2500), r1, r2, r3 };
        QTest::newRow("a burst over two reads")
            << QByteArrayList { all.left(1500), all.mid(1500) } << QByteArrayList { sizeReply(2500), r1, r2, r3 };
        QTest::newRow("two whole replies in one read")
            << QByteArrayList { sizeReply(2500), r1 + r2, r3 } << QByteArrayList { sizeReply(2500), r1, r2, r3 };
        QTest::newRow("replies split in pieces are joined")
            << QByteArrayList { QByteArray("SIZE\0", 5), QByteArray("\0\0\x0a#end", 7), "abcde", "fghij#end" }
            << QByteArrayList { sizeReply(10), "abcdefghij#end" };
        QTest::newRow("marker in the data, one read per reply") << QByteArrayList { sizeReply(12), "frontend.one#end" }
                                                                << QByteArrayList { sizeReply(12), "frontend.one#end" };
        QTest::newRow("trailer in the data, one read per reply")
            << QByteArrayList { sizeReply(8), "ab#endcd#end" } << QByteArrayList { sizeReply(8), "ab#endcd#end" };
        QTest::newRow("trailer in the data, at once")
            << QByteArrayList { sizeReply(22) + "ab#endcdef#end0123456789#endxy#end" }
            << QByteArrayList { sizeReply(22), "ab#endcdef#end", "0123456789#end", "xy#end" };
        QTest::newRow("another trailer, at once") << QByteArrayList { sizeReply(4) + "abc\rend" + "d\rend" }
                                                  << QByteArrayList { sizeReply(4), "abc\rend", "d\rend" };
        QTest::newRow("more than announced stays one reply")
            << QByteArrayList { sizeReply(6) + "abcdefghij#end" } << QByteArrayList { sizeReply(6), "abcdefghij#end" };
        QTest::newRow("reply without data")
            << QByteArrayList { sizeReply(5) + "#end" } << QByteArrayList { sizeReply(5), "#end" };
        QTest::newRow("short first reply") << QByteArrayList { "xend" } << QByteArrayList { "xend" };
        QTest::newRow("incomplete") << QByteArrayList { sizeReply(10) + "abcde", "fg" }
                                    << QByteArrayList { sizeReply(10) };
        // A reply is complete once the marker stands after its first byte, whatever the trailer.
        for (const QByteArray &trailer : { QByteArray("end\n"), QByteArray("end\0", 4), QByteArray("\0end", 4) }) {
            const QByteArray name = trailer.toPercentEncoding();
            QTest::newRow("trailer " + name + ", a read per reply") << QByteArrayList { sizeReply(6),
                "ABCDEF" + trailer } << QByteArrayList { sizeReply(6), "ABCDEF" + trailer };
            QTest::newRow("trailer " + name + ", at once") << QByteArrayList { sizeReply(2500) + r1.left(1000) + trailer
                + r2.left(1000) + trailer + r3.left(500) + trailer }
                                                           << QByteArrayList { sizeReply(2500), r1.left(1000) + trailer,
                                                                  r2.left(1000) + trailer, r3.left(500) + trailer };
        }
        const QByteArray crlfSize = QByteArray("SIZE\0\0\0\x06"
                                               "end\r\n",
            13);
        QTest::newRow("first reply ends after its marker, a read per reply")
            << QByteArrayList { crlfSize, "ABCDEF#end" } << QByteArrayList { crlfSize, "ABCDEF#end" };
        QTest::newRow("first reply ends after its marker, at once")
            << QByteArrayList { crlfSize + "ABCDEF#end" } << QByteArrayList { crlfSize, "ABCDEF#end" };
        QTest::newRow("a zero after the first marker that is data, at once")
            << QByteArrayList { sizeReply(6) + QByteArray("\0BCDEF#end", 10) }
            << QByteArrayList { sizeReply(6), QByteArray("\0BCDEF#end", 10) };
        QTest::newRow("marker inside only, bringing the rest")
            << QByteArrayList { sizeReply(12), QByteArray("frontend.one\0\0\0\0", 16) }
            << QByteArrayList { sizeReply(12), QByteArray("frontend.one\0\0\0\0", 16) };
        QTest::newRow("marker inside only, more to come") << QByteArrayList { sizeReply(20),
            QByteArray("frontend.one\0\0\0\0", 16) } << QByteArrayList { sizeReply(20) };
    }

    void uploadReplies()
    {
        QFETCH(QByteArrayList, reads);
        QFETCH(QByteArrayList, replies);
        UploadReplyCutter cutter(1 << 20);
        QByteArrayList got;
        for (const QByteArray &read : reads)
            got += cutter.feed(read);
        QCOMPARE(got, replies);
        QCOMPARE(got.join() + cutter.held(), reads.join());
        QVERIFY(!cutter.overflowed());
    }

    // Every trailer form and "SIZE" ending, blocks cut into replies of any length, and the
    // replies handed over one read each, all in one read, or cut into reads anywhere except
    // within 4 bytes of a reply's end (where a read could be a whole reply by itself). The data
    // holds no marker and does not start with a byte that could end the first reply.
    void uploadRepliesCutAnywhere()
    {
        QRandomGenerator random(1);
        const QByteArrayList trailers { "#end", QByteArray("\0end", 4), "end\n", QByteArray("end\0", 4), "\nend" };
        const QByteArrayList sizeTails { "#end", QByteArray("\0end", 4), "end\n", QByteArray("end\0", 4), "\r\nend",
            "end\r\n" };
        for (int round = 0; round < 3000; ++round) {
            const QByteArray trailer = trailers.at(random.bounded(trailers.size()));
            const QByteArray sizeTail = sizeTails.at(random.bounded(sizeTails.size()));
            QByteArray block(random.bounded(1, 3000), '\0');
            for (int i = 0; i < block.size(); ++i) {
                char c;
                do
                    c = char(random.bounded(256));
                while (c == 'e' || (i == 0 && (c == '\0' || c == '\r' || c == '\n')));
                block[i] = c;
            }
            const int chunk = random.bounded(1, 1200);
            QByteArray stream = QByteArray("SIZE") + QByteArray(4, '\0') + sizeTail;
            qToBigEndian(quint32(block.size()), stream.data() + 4);
            QList<int> replyEnds { int(stream.size()) };
            for (int at = 0; at < block.size(); at += chunk) {
                stream += block.mid(at, chunk) + trailer;
                replyEnds << stream.size();
            }
            const int how = random.bounded(3);
            QList<int> cuts;
            if (how == 0) {
                cuts = replyEnds;
            } else if (how == 2) {
                for (int at = random.bounded(1, 400); at < stream.size(); at += random.bounded(1, 400)) {
                    const bool nearAnEnd = std::any_of(replyEnds.cbegin(), replyEnds.cend(),
                        [at](int end) { return at != end && at > end - 5 && at < end + 4; });
                    if (at >= replyEnds.first() && !nearAnEnd)
                        cuts << at;
                }
            }
            if (cuts.isEmpty() || cuts.last() != stream.size())
                cuts << stream.size();
            UploadReplyCutter cutter(1 << 22);
            QByteArrayList replies;
            int from = 0;
            for (const int cut : qAsConst(cuts)) {
                replies += cutter.feed(stream.mid(from, cut - from));
                from = cut;
            }
            QVERIFY(!replies.isEmpty());
            QCOMPARE(announcedBlockSize(replies.first()), qint64(block.size()));
            QByteArray data;
            for (int i = 1; i < replies.size(); ++i)
                data += replies.at(i).chopped(4);
            const QByteArray what = "round " + QByteArray::number(round) + ": " + trailer.toHex() + " after "
                + sizeTail.toHex() + ", replies of " + QByteArray::number(chunk) + ", read as "
                + QByteArray::number(how);
            QVERIFY2(data == block, what.constData());
        }
    }

    void uploadRepliesAreBounded()
    {
        UploadReplyCutter cutter(16);
        QVERIFY(cutter.feed(QByteArray(16, 'x')).isEmpty());
        QVERIFY(!cutter.overflowed());
        QVERIFY(cutter.feed("x").isEmpty());
        QVERIFY(cutter.overflowed());
        QVERIFY(cutter.feed(sizeReply(0)).isEmpty());
    }
};

RIVUDO_TEST_MAIN(TestCommCodecs)
#include "tst_commcodecs.moc"
