#include "ipv4text.h"
#include "networksettings.h"
#include "plugblock.h"
#include "testsupport.h"
#include "uploadreplycutter.h"
#include "uploadstreams.h"

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
    // The answer to an upload cut as a whole, whatever the reads.
    void uploadCut_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QByteArray>("block");
        const int exact = UploadCut::Exact;
        const int incomplete = UploadCut::Incomplete;
        const int ambiguous = UploadCut::Ambiguous;
        const int impossible = UploadCut::Impossible;
        const QByteArray block = filler(2500);
        const auto replies = [](const QByteArray &data, int chunk, const QByteArray &trailer) {
            QByteArray bytes;
            for (int at = 0; at < data.size(); at += chunk)
                bytes += data.mid(at, chunk) + trailer;
            return bytes;
        };
        QTest::newRow("one reply") << sizeReply(10) + "abcdefghij#end" << exact << QByteArray("abcdefghij");
        QTest::newRow("three replies") << sizeReply(2500) + replies(block, 1000, "#end") << exact << block;
        QTest::newRow("marker in the data")
            << sizeReply(12) + "frontend.one#end" << exact << QByteArray("frontend.one");
        QTest::newRow("trailer in the data, one reply")
            << sizeReply(8) + "ab#endcd#end" << exact << QByteArray("ab#endcd");
        // Replies of 10 data bytes are the only ones that end at copies of the trailer.
        QTest::newRow("trailer in the data, three replies")
            << sizeReply(22) + "ab#endcdef#end0123456789#endxy#end" << exact << QByteArray("ab#endcdef0123456789xy");
        QTest::newRow("another trailer") << sizeReply(4) + "abc\rend" + "d\rend" << exact << QByteArray("abcd");
        for (const QByteArray &trailer :
            { QByteArray("end\n"), QByteArray("end\0", 4), QByteArray("\0end", 4), QByteArray("\nend") }) {
            QTest::newRow("trailer " + trailer.toPercentEncoding())
                << sizeReply(2500) + replies(block, 1000, trailer) << exact << block;
        }
        const QByteArray crlfSize = QByteArray("SIZE\0\0\0\x06"
                                               "end\r\n",
            13);
        QTest::newRow("line end after the marker") << crlfSize + "ABCDEF#end" << exact << QByteArray("ABCDEF");
        QTest::newRow("line end after the marker, data starting with one")
            << crlfSize + "\r\nCDEF#end" << exact << QByteArray("\r\nCDEF");
        QTest::newRow("a zero after the marker that is data")
            << sizeReply(6) + QByteArray("\0BCDEF#end", 10) << exact << QByteArray("\0BCDEF", 6);
        const QByteArray zerosSize = QByteArray("SIZE\0\0\0\x06"
                                                "end\0\0\0\0",
            15);
        QTest::newRow("four zeros after the marker")
            << zerosSize + QByteArray("\0BCDEF#end", 10) << exact << QByteArray("\0BCDEF", 6);
        // A read that holds a whole reply and the first byte of the next one.
        QTest::newRow("the next reply's first byte")
            << sizeReply(12) + "abcdef#end" + "#bcdef#end" << exact << QByteArray("abcdef#bcdef");
        // Replies of 8 or of 13 data bytes: two blocks fit.
        QTest::newRow("two cuts fit") << sizeReply(16) + "abcdefgh#endX#endxyz#end" << ambiguous << QByteArray();
        // Replies of 8 or of 12 data bytes: both give one block.
        QTest::newRow("two cuts give one block")
            << sizeReply(16) + "abcdefgh#end#endwxyz#end" << exact << QByteArray("abcdefgh#endwxyz");
        QTest::newRow("more than announced") << sizeReply(6) + "abcdefghij#end" << incomplete << QByteArray();
        QTest::newRow("less than announced") << sizeReply(20) + "abcdefghij#end" << incomplete << QByteArray();
        QTest::newRow("reply without data") << sizeReply(5) + "#end" << incomplete << QByteArray();
        QTest::newRow("no marker yet") << QByteArray("SIZE\0\0\0\x05#en", 11) << incomplete << QByteArray();
        QTest::newRow("incomplete") << sizeReply(10) + "abcdefg" << incomplete << QByteArray();
        // A trailer without the marker is no module's.
        QTest::newRow("marker inside only")
            << sizeReply(12) + QByteArray("frontend.one\0\0\0\0", 16) << incomplete << QByteArray();
        QTest::newRow("marker inside only, more to come")
            << sizeReply(20) + QByteArray("frontend.one\0\0\0\0", 16) << incomplete << QByteArray();
        QTest::newRow("announced 0") << sizeReply(0) << exact << QByteArray();
        QTest::newRow("no SIZE") << QByteArray("SIZ\0\0\0\x05#endabcde#end", 17) << impossible << QByteArray();
        QTest::newRow("negative") << QByteArray("SIZE\x80\0\0\x05#endabcde#end", 17) << impossible << QByteArray();
        QTest::newRow("over the largest") << sizeReply(4097) + "a#end" << impossible << QByteArray();
        QTest::newRow("more bytes than replies can hold")
            << sizeReply(2) + QByteArray(11, 'x') << impossible << QByteArray();
        QTest::newRow("no marker in the first bytes") << QByteArray(256, 'x') << impossible << QByteArray();
    }

    void uploadCut()
    {
        QFETCH(QByteArray, stream);
        QFETCH(int, outcome);
        QFETCH(QByteArray, block);
        const UploadCut cut = cutUploadStream(stream, 4096);
        QCOMPARE(int(cut.outcome), outcome);
        QCOMPARE(cut.data, block);
    }

    // Every trailer form and "SIZE" ending, blocks rich in the bytes that end replies, sometimes
    // with copies of the trailer, replies of any length, the stream judged after every read. No
    // read leaves bytes that can never fit, and the whole stream gives the block or fails: never
    // another block. Where the block holds no "end", at most 1 % fail (where two cuts truly fit).
    void uploadCutOracle()
    {
        QRandomGenerator random(29);
        int failed = 0;
        int plain = 0;
        int plainFailed = 0;
        int earlyFits = 0;
        const int rounds = 2000;
        for (int round = 0; round < rounds; ++round) {
            const UploadSample s = UploadStreams::randomSample(random);
            const QByteArray what = "round " + QByteArray::number(round) + ": " + s.describe();
            for (const int cut : s.cuts) {
                const UploadCut early = cutUploadStream(s.stream.left(cut), 4096);
                QVERIFY2(early.outcome != UploadCut::Impossible, what.constData());
                // What a module pausing here for longer than the quiet would leave the upload.
                if (early.outcome == UploadCut::Exact && early.data != s.block)
                    ++earlyFits;
            }
            const UploadCut cut = cutUploadStream(s.stream, 4096);
            if (cut.outcome == UploadCut::Exact)
                QVERIFY2(cut.data == s.block, what.constData());
            else
                QVERIFY2(cut.outcome == UploadCut::Ambiguous, what.constData());
            const bool ok = cut.outcome == UploadCut::Exact;
            failed += ok ? 0 : 1;
            if (!s.holdsMarker()) {
                ++plain;
                plainFailed += ok ? 0 : 1;
            }
        }
        qInfo("%d of %d uploads failed; %d of %d whose block holds no \"end\"; %d reads ended where other bytes fit",
            failed, rounds, plainFailed, plain, earlyFits);
        QVERIFY(plain >= rounds / 4);
        QVERIFY2(plainFailed * 100 <= plain, QByteArray::number(plainFailed).constData());
    }
};

RIVUDO_TEST_MAIN(TestCommCodecs)
#include "tst_commcodecs.moc"
