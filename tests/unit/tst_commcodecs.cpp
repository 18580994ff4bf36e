#include "ipv4text.h"
#include "networksettings.h"
#include "plugblock.h"
#include "testsupport.h"
#include "uploadreplycutter.h"
#include "uploadstreams.h"

#include <QRandomGenerator>
#include <QSet>
#include <QtEndian>
#include <algorithm>
#include <functional>

namespace {

QByteArray sizeReply(quint32 total, const QByteArray &tail = "#end")
{
    QByteArray bytes("SIZE");
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.append(char((total >> shift) & 0xFF));
    return bytes + tail;
}

QByteArray filler(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 13 + 5) & 0xFF);
    return bytes;
}

// What an enumeration of every reading of the bytes says: the verdict after them, after a quiet
// poll and after silence, and the block then. Written from the reply rules alone, reading by
// reading, so that it shares nothing with the cutter but the rules.
struct BruteVerdict
{
    UploadReplyCutter::State state = UploadReplyCutter::Waiting;
    UploadReplyCutter::State afterQuiet = UploadReplyCutter::Waiting;
    UploadReplyCutter::State afterSilence = UploadReplyCutter::Failed;
    QByteArray block;
};

bool isRunByte(char c)
{
    return c == '\r' || c == '\n' || c == '\0' || c == ' ';
}

// Some 4 bytes holding "end" start with these.
bool canStartTrailer(const QByteArray &bytes)
{
    for (int offset = 0; offset < 2; ++offset) {
        bool fits = true;
        for (int i = 0; i < bytes.size(); ++i) {
            const int m = i - offset;
            if (m >= 0 && m < 3 && bytes.at(i) != "end"[m])
                fits = false;
        }
        if (fits)
            return true;
    }
    return false;
}

BruteVerdict bruteVerdict(const QByteArray &s, qint64 maxSize)
{
    using C = UploadReplyCutter;
    BruteVerdict v;
    const int n = s.size();
    int marker = -1;
    for (int i = 8; i + 3 <= n && marker < 0; ++i) {
        if (s.mid(i, 3) == "end")
            marker = i;
    }
    const auto failed = [&v] {
        v.state = v.afterQuiet = v.afterSilence = C::Failed;
        return v;
    };
    if (marker < 0)
        return n >= 256 ? failed() : v;
    const QByteArray head = s.left(marker + 3);
    quint32 total = 0;
    for (int i = 4; i < 8; ++i)
        total = (total << 8) | quint8(i < head.size() ? head.at(i) : 0);
    if (marker + 3 > 256 || !head.contains("SIZE") || total > 0x7FFFFFFFu || qint64(total) > maxSize)
        return failed();
    if (total == 0) {
        v.state = v.afterQuiet = v.afterSilence = C::Taken;
        return v;
    }
    const int sizeEnd = marker + 3;
    int run = 0;
    while (sizeEnd + run < n && isRunByte(s.at(sizeEnd + run)))
        ++run;
    QSet<QByteArray> whole;
    QSet<QByteArray> rest; // all data there, the rest of a begun reply to come
    bool shortOfTotal = sizeEnd + run == n;
    // pos: where the next reply starts; start: where the data started.
    std::function<void(int, QByteArray, QByteArray, int, int)> next
        = [&](int pos, QByteArray data, QByteArray trailer, int start, int replies) {
              // The bytes end inside this reply: data, then tp bytes of its trailer.
              for (int tp = 0; tp <= 3; ++tp) {
                  const int dp = n - pos - tp;
                  if (dp < 0 || (tp > 0 && dp == 0))
                      continue;
                  const QByteArray begun = s.mid(n - tp);
                  if (trailer.isEmpty() ? !canStartTrailer(begun) : !trailer.startsWith(begun))
                      continue;
                  const qint64 have = data.size() + dp;
                  if (have < total)
                      shortOfTotal = true;
                  else if (have == total && dp > 0)
                      rest.insert(data + s.mid(pos, dp));
              }
              // The reply ends with a whole trailer at q.
              for (int q = pos + 5; q <= n; ++q) {
                  const QByteArray t = s.mid(q - 4, 4);
                  if (!t.contains("end") || (!trailer.isEmpty() && t != trailer))
                      continue;
                  const qint64 have = data.size() + (q - 4 - pos);
                  if (have > total)
                      break;
                  const QByteArray more = data + s.mid(pos, q - 4 - pos);
                  if (have < total) {
                      next(q, more, t, start, replies + 1);
                      continue;
                  }
                  if (q == n) {
                      whole.insert(more);
                      continue;
                  }
                  // A reply beyond the total may follow a block keeping at most three places of
                  // its trailer in its data, counted against the most replies a reading from
                  // its start could end there, or none when it starts in the run (not with a copy).
                  int most = 0;
                  for (int e = start + 5, last = start; e <= q; ++e) {
                      if (s.mid(e - 4, 4) == t && e - 4 >= last + 1) {
                          ++most;
                          last = e;
                      }
                  }
                  const bool inRun = start < sizeEnd + run && s.mid(start, 4) != t;
                  if (most - (replies + 1) > (inRun ? 0 : 3))
                      continue;
                  int lastPlace = -1;
                  int lastBeforeEnd = -1;
                  for (int e = q + 1; e <= n; ++e) {
                      if (s.mid(e - 4, 4) == t) {
                          lastPlace = e;
                          if (e <= n - 5)
                              lastBeforeEnd = e;
                      }
                  }
                  // Whole, with that reply whole after it: data and the trailer.
                  if (s.right(4) == t && n - q >= 5 && lastBeforeEnd < 0)
                      whole.insert(more);
                  // That reply arriving: no "end" yet but in its last 4 bytes.
                  bool early = false;
                  for (int i = q; i + 3 <= n - 4 + 3 && i < n - 4; ++i)
                      early = early || s.mid(i, 3) == "end";
                  if (lastPlace < 0 && !early)
                      rest.insert(more);
              }
          };
    for (int t = 0; t <= run; ++t) {
        if (sizeEnd + t < n)
            next(sizeEnd + t, QByteArray(), QByteArray(), sizeEnd + t, 0);
    }
    if (whole.isEmpty() && rest.isEmpty() && !shortOfTotal)
        return failed();
    if (!shortOfTotal && whole.size() > 1)
        return failed();
    if (whole.size() == 1) {
        v.block = *whole.begin();
        v.afterSilence = C::Taken;
    }
    if (shortOfTotal || whole.size() != 1)
        return v;
    v.afterQuiet = C::Taken;
    for (const QByteArray &other : qAsConst(rest)) {
        if (other != v.block)
            return v;
    }
    v.state = C::Taken;
    return v;
}

// Runs an upload's wait on reads that arrive at their times, polled every 20 ms as the
// program polls.
UploadWait runUpload(const QList<UploadRead> &reads, qint64 maxSize)
{
    UploadWait wait(maxSize);
    int next = 0;
    for (qint64 now = 0; now <= 2 * UploadWait::longestMs; now += 20) {
        while (next < reads.size() && reads.at(next).atMs <= now) {
            wait.read(reads.at(next).bytes, reads.at(next).atMs);
            ++next;
        }
        if (wait.tick(now))
            break;
    }
    return wait;
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
    // Bytes a module sent in answer to an upload, judged at once as one read: the verdict then,
    // after a quiet poll, and after a reply wait of silence.
    void uploadCut_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<int>("now");
        QTest::addColumn<int>("afterQuiet");
        QTest::addColumn<int>("afterSilence");
        QTest::addColumn<QByteArray>("block");
        const int waiting = UploadReplyCutter::Waiting;
        const int taken = UploadReplyCutter::Taken;
        const int failed = UploadReplyCutter::Failed;
        const QByteArray block = filler(2500);
        const auto replies = [](const QByteArray &data, QList<int> lengths, const QByteArray &trailer) {
            QByteArray bytes;
            for (int at = 0, i = 0; at < data.size(); ++i) {
                const int length = lengths.value(i, lengths.last());
                bytes += data.mid(at, length) + trailer;
                at += length;
            }
            return bytes;
        };
        const QByteArray crlfSize = sizeReply(6, "end\r\n");
        QTest::newRow("one reply") << sizeReply(10) + "abcdefghij#end" << taken << taken << taken
                                   << QByteArray("abcdefghij");
        QTest::newRow("three replies") << sizeReply(2500) + replies(block, { 1000 }, "#end") << taken << taken << taken
                                       << block;
        QTest::newRow("replies of unequal lengths")
            << sizeReply(2500) + replies(block, { 3, 900, 1200, 397 }, "#end") << taken << taken << taken << block;
        // "front" closed by "end.", then "one#" and the start of its trailer "end.": more replies
        // may follow.
        QTest::newRow("marker in the data")
            << sizeReply(12) + "frontend.one#end" << waiting << waiting << taken << QByteArray("frontend.one");
        for (const QByteArray &trailer :
            { QByteArray("end\n"), QByteArray("end\0", 4), QByteArray("\0end", 4), QByteArray("\nend") }) {
            QTest::newRow("trailer " + trailer.toPercentEncoding())
                << sizeReply(2500) + replies(block, { 1000 }, trailer) << taken << taken << taken << block;
        }
        QTest::newRow("line end after the marker")
            << crlfSize + "ABCDEF#end" << taken << taken << taken << QByteArray("ABCDEF");
        // The line end may also be the data's first bytes of a block one byte shorter, still coming.
        QTest::newRow("line end after the marker, data starting with one")
            << crlfSize + "\r\nCDEF#end" << waiting << waiting << taken << QByteArray("\r\nCDEF");
        // "\xd0" + "end" may be another trailer, the "\n" the start of one more reply: that rest
        // would come at once.
        QTest::newRow("one reply whose trailer starts with the marker") << sizeReply(1, "end\r\n")
                + "\xd0"
                  "end\n" << waiting << taken << taken << QByteArray("\xd0");
        QTest::newRow("trailer in the data, one reply: replies of 2 and 2 bytes may go on")
            << sizeReply(8) + "ab#endcd#end" << waiting << waiting << taken << QByteArray("ab#endcd");
        // Replies of 2, 4, 10 and 2 bytes may go on; three blocks fit once nothing does.
        QTest::newRow("trailer in the data, three replies")
            << sizeReply(22) + "ab#endcdef#end0123456789#endxy#end" << waiting << waiting << failed << QByteArray();
        // The first two replies with the "SIZE" reply's line end and a trailer kept as data would
        // make 15 bytes too, the last reply beyond them: a block starting with a line end that
        // also keeps a copy of its trailer is not weighed against one cut finely.
        QTest::newRow("replies of 5 bytes, every reply ending in a line end") << sizeReply(15, "end\n")
                + "ABCDEend\nFGHIJend\nKLMNOend\n" << taken << taken << taken << QByteArray("ABCDEFGHIJKLMNO");
        QTest::newRow("a reply beyond the total")
            << sizeReply(5) + "ABCDE#end" + "FG#end" << taken << taken << taken << QByteArray("ABCDE");
        // "\0ABC" and then "D" beyond the total, or "ABCD" after a "SIZE" reply ending in a zero.
        QTest::newRow("a reply beyond the total after a leading zero")
            << sizeReply(4) + QByteArray("\0ABC#end", 8) + "D#end" << failed << failed << failed << QByteArray();
        // A module that pauses: the "SIZE" reply's line end and the first reply fit "\nABCD" ...
        QTest::newRow("paused module, first reply only")
            << sizeReply(5, "end\r\n") + "ABCD#end" << waiting << waiting << taken << QByteArray("\nABCD");
        // ... and with the second reply "ABCDE" fits, or "\nABCD" and "E" beyond the total.
        QTest::newRow("paused module, both replies")
            << sizeReply(5, "end\r\n") + "ABCD#end" + "E#end" << failed << failed << failed << QByteArray();
        // "\0\0\0\0" and "ABCDEFGH", or "#endABCDEFGH" after a "SIZE" reply ending in zeros; a
        // block after fewer zeros may go on.
        QTest::newRow("a shorter first reply of zeros")
            << sizeReply(12, "end") + QByteArray("\0\0\0\0#end", 8) + "ABCDEFGH#end" << waiting << waiting << failed
            << QByteArray();
        QByteArray zeros = filler(2004);
        zeros.replace(0, 4, QByteArray(4, '\0'));
        const QByteArray zeroStream = sizeReply(2004) + replies(zeros, { 1000, 1000, 4 }, "#end");
        QTest::newRow("block starting with four zeros, two replies of three") << zeroStream.left(
            zeroStream.size() - 8) << waiting << waiting << taken << zeros.left(1000) + "#end" + zeros.mid(1000, 1000);
        QTest::newRow("block starting with four zeros, all three replies")
            << zeroStream << waiting << waiting << failed << QByteArray();
        QTest::newRow("more than announced")
            << sizeReply(6) + "abcdefghij#end" << failed << failed << failed << QByteArray();
        QTest::newRow("less than announced")
            << sizeReply(20) + "abcdefghij#end" << waiting << waiting << failed << QByteArray();
        QTest::newRow("reply without data") << sizeReply(5) + "#end" << waiting << waiting << failed << QByteArray();
        QTest::newRow("no marker yet") << QByteArray("SIZE\0\0\0\x05#en", 11) << waiting << waiting << failed
                                       << QByteArray();
        QTest::newRow("incomplete") << sizeReply(10) + "abcdefg" << waiting << waiting << failed << QByteArray();
        // A trailer without the marker is no module's.
        QTest::newRow("marker inside only")
            << sizeReply(12) + QByteArray("frontend.one\0\0\0\0", 16) << waiting << waiting << failed << QByteArray();
        QTest::newRow("announced 0") << sizeReply(0) << taken << taken << taken << QByteArray();
        QTest::newRow("no SIZE") << QByteArray("SIZ\0\0\0\x05#endabcde#end", 17) << failed << failed << failed
                                 << QByteArray();
        QTest::newRow("negative") << QByteArray("SIZE\x80\0\0\x05#endabcde#end", 17) << failed << failed << failed
                                  << QByteArray();
        QTest::newRow("over the largest") << sizeReply(4097) + "a#end" << failed << failed << failed << QByteArray();
        QTest::newRow("more bytes than replies can hold")
            << sizeReply(2) + QByteArray(11, 'x') << failed << failed << failed << QByteArray();
        QTest::newRow("no marker in the first bytes")
            << QByteArray(256, 'x') << failed << failed << failed << QByteArray();
    }

    void uploadCut()
    {
        QFETCH(QByteArray, stream);
        QFETCH(int, now);
        QFETCH(int, afterQuiet);
        QFETCH(int, afterSilence);
        QFETCH(QByteArray, block);
        UploadReplyCutter cutter(4096);
        QCOMPARE(int(cutter.feed(stream)), now);
        UploadReplyCutter quiet = cutter;
        QCOMPARE(int(quiet.quiet()), afterQuiet);
        UploadReplyCutter silence = cutter;
        QCOMPARE(int(silence.finish()), afterSilence);
        QCOMPARE(silence.block(), block);
        if (afterSilence == UploadReplyCutter::Failed)
            QVERIFY(!silence.why().isEmpty());
    }

    // Small streams of every shape, cut into reads anywhere: after every read the verdict is the
    // one an enumeration of every reading gives, and so is the verdict after a quiet poll and
    // after silence.
    void uploadCutBruteForce()
    {
        QRandomGenerator random(41);
        static const char alphabet[] = { 'e', 'n', 'd', '#', '\0', '\r', '\n', ' ', 'a' };
        const QList<QByteArray> trailers = UploadStreams::trailers();
        const QList<QByteArray> tails = UploadStreams::sizeTails();
        int reads = 0;
        int taken = 0;
        for (int round = 0; round < 6000; ++round) {
            const int size = random.bounded(1, 7);
            QByteArray data;
            for (int i = 0; i < size; ++i)
                data += alphabet[random.bounded(9)];
            const QByteArray trailer = trailers.at(random.bounded(trailers.size()));
            QByteArray stream = sizeReply(
                quint32(random.bounded(4) ? size : random.bounded(1, 8)), tails.at(random.bounded(tails.size())));
            for (int at = 0; at < size;) {
                const int length = random.bounded(1, size - at + 1);
                stream += data.mid(at, length) + trailer;
                at += length;
            }
            if (random.bounded(4) == 0)
                stream += data.left(random.bounded(1, size + 1)) + trailer;
            if (random.bounded(4) == 0)
                stream.chop(random.bounded(1, 5));

            UploadReplyCutter cutter(4096);
            BruteVerdict expected;
            for (int at = 0; at < stream.size() && expected.state == UploadReplyCutter::Waiting;) {
                const int step = random.bounded(3) ? random.bounded(1, 6) : stream.size();
                cutter.feed(stream.mid(at, step));
                at = std::min(int(stream.size()), at + step);
                expected = bruteVerdict(stream.left(at), 4096);
                ++reads;
                const QByteArray what = "stream " + stream.left(at).toHex();
                QVERIFY2(cutter.state() == expected.state, what.constData());
                UploadReplyCutter quiet = cutter;
                QVERIFY2(quiet.quiet() == expected.afterQuiet, what.constData());
                UploadReplyCutter silence = cutter;
                QVERIFY2(silence.finish() == expected.afterSilence, what.constData());
                QVERIFY2(silence.block() == expected.block, what.constData());
            }
            taken += cutter.state() == UploadReplyCutter::Taken ? 1 : 0;
        }
        qInfo("%d reads judged alike, %d blocks taken at once", reads, taken);
    }

    // Seeded uploads: blocks plain, with a leading run, with copies of their trailer or with
    // "end"; unequal replies; a reply beyond the total now and then; pauses of up to 600 ms at
    // some reply ends; writes joined and split by the network. Judged as the upload judges
    // them, on a clock that runs in polls. A success is always the exact block; plain blocks
    // nearly always succeed, within two polls of their last byte.
    void uploadWaitRandom_data()
    {
        QTest::addColumn<int>("typicalFrom");
        QTest::addColumn<int>("rounds");
        QTest::addColumn<int>("plainFailPercent");
        QTest::newRow("replies of 64 to 1000 bytes typically") << 64 << 2400 << 1;
        // Many short replies leave the last one short enough, more often, to be a reply beyond
        // the total of another block.
        QTest::newRow("replies down to one byte") << 1 << 1200 << 3;
    }

    void uploadWaitRandom()
    {
        QFETCH(int, typicalFrom);
        QFETCH(int, rounds);
        QFETCH(int, plainFailPercent);
        QRandomGenerator random(quint32(2029 + typicalFrom));
        int succeeded = 0;
        int withSurplus = 0;
        int plain = 0;
        int plainFailed = 0;
        qint64 slowestPlain = 0;
        for (int round = 0; round < rounds; ++round) {
            const UploadSample s = UploadStreams::randomSample(random, typicalFrom);
            const QList<UploadRead> reads = UploadStreams::randomReads(s, random);
            const UploadWait wait = runUpload(reads, 1 << 20);
            const QByteArray what = "round " + QByteArray::number(round) + ": " + s.describe();
            QVERIFY2(wait.settled(), what.constData());
            if (wait.result() == 1)
                QVERIFY2(wait.block() == s.block, what.constData());
            succeeded += wait.result() == 1 ? 1 : 0;
            withSurplus += s.surplus.isEmpty() ? 0 : 1;
            if (!s.plain() || !s.surplus.isEmpty())
                continue;
            ++plain;
            plainFailed += wait.result() == 1 ? 0 : 1;
            // From the read that brought the block's last byte.
            int got = 0;
            for (const UploadRead &read : reads) {
                got += read.bytes.size();
                if (got >= s.blockStreamSize()) {
                    slowestPlain = std::max(slowestPlain, wait.settledAt() - read.atMs);
                    break;
                }
            }
        }
        qInfo("%d of %d uploads exact, none wrong (%d with a reply beyond the total); plain blocks: %d of %d "
              "failed, settled at most %lld ms after their last byte",
            succeeded, rounds, withSurplus, plainFailed, plain, slowestPlain);
        QVERIFY(plain >= rounds / 6);
        QVERIFY2(plainFailed * 100 <= plain * plainFailPercent, QByteArray::number(plainFailed).constData());
        QVERIFY(slowestPlain <= 2 * UploadWait::settleMs);
    }

    // A module that keeps talking without bringing a block ends the upload in bounded time:
    // at most a reply wait per announced byte and two more, never over 15 s.
    void uploadWaitLimit_data()
    {
        QTest::addColumn<quint32>("announced");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("everyMs");
        QTest::addColumn<int>("result");
        QTest::addColumn<qint64>("settledBy");
        QTest::newRow("1 MiB announced, a bare trailer every 100 ms")
            << quint32(1 << 20) << QByteArray("#end") << 100 << -1 << qint64(UploadWait::longestMs + 20);
        QTest::newRow("10 bytes announced, a bare trailer every 100 ms")
            << quint32(10) << QByteArray("#end") << 100 << -1 << qint64(12 * UploadWait::replyWaitMs + 20);
        QTest::newRow("10 bytes announced, one byte a second")
            << quint32(10) << QByteArray("x#end") << 1000 << 1 << qint64(10 * 1000 + 40);
        QTest::newRow("100 bytes announced, one byte a second")
            << quint32(100) << QByteArray("x#end") << 1000 << -1 << qint64(UploadWait::longestMs + 20);
    }

    void uploadWaitLimit()
    {
        QFETCH(quint32, announced);
        QFETCH(QByteArray, reply);
        QFETCH(int, everyMs);
        QFETCH(int, result);
        QFETCH(qint64, settledBy);
        QList<UploadRead> reads { { 0, sizeReply(announced) } };
        for (int at = everyMs; at < 60000; at += everyMs)
            reads << UploadRead { at, reply };
        const UploadWait wait = runUpload(reads, 1 << 20);
        QCOMPARE(wait.result(), result);
        QVERIFY2(wait.settledAt() <= settledBy, QByteArray::number(wait.settledAt()).constData());
        QVERIFY(wait.settledAt() <= UploadWait::longestMs + UploadWait::settleMs);
    }

    // Large blocks in many replies are judged once their bytes are in.
    void uploadLargeBlocks_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("reply");
        QTest::addColumn<QByteArray>("sizeTail");
        QTest::addColumn<QByteArray>("trailer");
        QTest::newRow("1 MiB in replies of 1000") << (1 << 20) << 1000 << QByteArray("#end") << QByteArray("#end");
        QTest::newRow("1 MiB, line ends") << (1 << 20) << 1000 << QByteArray("end\r\n") << QByteArray("end\n");
        QTest::newRow("64100 bytes, last reply 100")
            << 64100 << 1000 << QByteArray("end\r\n\0", 6) << QByteArray("\0end", 4);
        QTest::newRow("20000 bytes in replies of 16") << 20000 << 16 << QByteArray("#end") << QByteArray("#end");
    }

    void uploadLargeBlocks()
    {
        QFETCH(int, size);
        QFETCH(int, reply);
        QFETCH(QByteArray, sizeTail);
        QFETCH(QByteArray, trailer);
        const QByteArray block = filler(size);
        const QByteArray stream = UploadStreams::stream(block, sizeTail, trailer, reply);
        UploadReplyCutter cutter(1 << 20);
        for (int at = 0; at < stream.size() && cutter.state() == UploadReplyCutter::Waiting; at += 65536)
            cutter.feed(stream.mid(at, 65536));
        QCOMPARE(int(cutter.state()), int(UploadReplyCutter::Taken));
        QVERIFY(cutter.block() == block);
    }
};

RIVUDO_TEST_MAIN(TestCommCodecs)
#include "tst_commcodecs.moc"
