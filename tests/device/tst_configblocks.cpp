#include "endpoints.h"
#include "fakemodule.h"
#include "tcpthread.h"
#include "testsupport.h"
#include "uploadreplycutter.h"
#include "uploadstreams.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>
#include <QUdpSocket>
#include <functional>

using Operation = std::function<void(TCPThread &, const QString &)>;
Q_DECLARE_METATYPE(Operation)

namespace {

QByteArray pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 13 + 5) & 0xFF);
    return bytes;
}

QByteArray head(char command, int plug, int subplug, quint32 length)
{
    QByteArray bytes;
    bytes.append(command);
    bytes.append(char(plug & 0xFF));
    bytes.append(char(subplug & 0xFF));
    bytes.append(char(length >> 24));
    bytes.append(char(length >> 16));
    bytes.append(char(length >> 8));
    bytes.append(char(length));
    return bytes;
}

template <typename T> QList<T> repeated(const T &value, int times)
{
    QList<T> list;
    for (int i = 0; i < times; ++i)
        list << value;
    return list;
}

// Where the writes of an upload end: a write per reply, all at once, or the "SIZE" reply with
// the first two data bytes.
QList<int> writeCuts(const QByteArray &block, const QByteArray &sizeTail, const QByteArray &trailer, int writes)
{
    QList<int> replyEnds;
    UploadStreams::stream(block, sizeTail, trailer, 16, &replyEnds);
    replyEnds.removeLast();
    if (writes == 0)
        return replyEnds;
    if (writes == 2)
        return QList<int> { replyEnds.first() + 2 } + replyEnds.mid(1);
    return {};
}

void scriptWrites(FakeModule &fake, const QByteArray &block, const QByteArray &sizeTail, const QByteArray &trailer,
    const QList<int> &cuts)
{
    fake.setUploadBlock(18, 18, block);
    fake.setUploadChunkSize(16);
    fake.setUploadTrailer(trailer);
    fake.setUploadSizeTail(sizeTail);
    fake.setUploadCuts(cuts);
    fake.setBackToBack(cuts.isEmpty());
    fake.setPieceGap(10);
}

// Runs job(index, address) for every index, eight at a time, each lane on a module address of
// its own.
void runLanes(int count, const std::function<void(int, const QString &)> &job)
{
    const int lanes = 8;
    QList<QThread *> threads;
    for (int lane = 0; lane < lanes; ++lane) {
        threads << QThread::create([lane, count, &job] {
            const QString address = QStringLiteral("127.0.0.%1").arg(100 + lane);
            for (int index = lane; index < count; index += lanes)
                job(index, address);
        });
        threads.last()->start();
    }
    for (QThread *thread : qAsConst(threads)) {
        thread->wait();
        delete thread;
    }
}

} // namespace

class TestConfigBlocks : public QObject
{
    Q_OBJECT

private slots:
    void blockDownload_data()
    {
        QTest::addColumn<int>("plug");
        QTest::addColumn<int>("subplug");
        QTest::addColumn<int>("size");
        QTest::addColumn<QList<int>>("blocks");
        QTest::newRow("empty: header only") << 18 << 16 << 0 << QList<int> {};
        QTest::newRow("one byte") << 18 << 17 << 1 << QList<int> { 1 };
        QTest::newRow("one full block") << 19 << 16 << 1000 << QList<int> { 1000 };
        QTest::newRow("just over a block") << 19 << 18 << 1001 << QList<int> { 1000, 1 };
        QTest::newRow("two full blocks") << 18 << 18 << 2000 << QList<int> { 1000, 1000 };
        QTest::newRow("2500 bytes") << 18 << 19 << 2500 << QList<int> { 1000, 1000, 500 };
        QTest::newRow("plug numbers are low bytes") << 0x112 << 0x210 << 10 << QList<int> { 10 };
    }

    void blockDownload()
    {
        QFETCH(int, plug);
        QFETCH(int, subplug);
        QFETCH(int, size);
        QFETCH(QList<int>, blocks);
        FakeModule fake("127.0.0.71");
        QVERIFY(fake.start());
        const QByteArray data = pattern(size);
        TCPThread worker;
        QCOMPARE(worker.DownPlugConfig("127:0:0:71", plug, subplug, data), 1);
        QCOMPARE(fake.received(FakeModule::CommandPort), head(0x43, plug, subplug, quint32(size)) + data);
        QList<int> written;
        for (const QByteArray &block : fake.blockWrites())
            written << block.size();
        QCOMPARE(written, blocks);
        QCOMPARE(fake.block(plug & 0xFF, subplug & 0xFF), data);
    }

    void blockDownloadFailures_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<int>("skipAck");
        QTest::addColumn<QByteArray>("sent");
        const QByteArray data = pattern(2500);
        const QByteArray header = head(0x43, 18, 16, 2500);
        QTest::newRow("nobody there") << "127.0.0.73" << false << -1 << QByteArray();
        QTest::newRow("not an address") << "module-1" << false << -1 << QByteArray();
        QTest::newRow("no greeting") << "127.0.0.72" << true << -1 << QByteArray();
        QTest::newRow("header not acknowledged") << "127.0.0.72" << false << 0 << header;
        QTest::newRow("second block not acknowledged") << "127.0.0.72" << false << 2 << header + data.left(2000);
    }

    void blockDownloadFailures()
    {
        QFETCH(QString, address);
        QFETCH(bool, silent);
        QFETCH(int, skipAck);
        QFETCH(QByteArray, sent);
        FakeModule fake("127.0.0.72");
        fake.setSilent(silent);
        fake.setSkipAck(skipAck);
        QVERIFY(fake.start());
        TCPThread worker;
        QCOMPARE(worker.DownPlugConfig(address, 18, 16, pattern(2500)), -1);
        QCOMPARE(fake.received(FakeModule::CommandPort), sent);
    }

    // An acknowledge answers the block written before it: repeats of an earlier acknowledge, at
    // once or spread out, never stand for a later block, and however acknowledges are cut into
    // reads, each block still needs one of its own.
    void blockDownloadAcknowledges_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("times");
        QTest::addColumn<int>("gap");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("split");
        QTest::addColumn<int>("result");
        for (const int size : { 10, 2500 }) {
            const QByteArray n = " (" + QByteArray::number(size) + " bytes)";
            QTest::newRow("one acknowledge each" + n) << size << 1 << 0 << -1 << 0 << 1;
            QTest::newRow("header acknowledged five times 40 ms apart, then nothing" + n)
                << size << 5 << 40 << 1 << 0 << -1;
            QTest::newRow("header acknowledged five times at once, then nothing" + n) << size << 5 << 0 << 1 << 0 << -1;
            QTest::newRow("header acknowledged twice 10 ms apart, then nothing" + n) << size << 2 << 10 << 1 << 0 << -1;
            QTest::newRow("each acknowledged twice at once" + n) << size << 2 << 0 << -1 << 0 << 1;
            QTest::newRow("each acknowledged three times 40 ms apart" + n) << size << 3 << 40 << -1 << 0 << 1;
            QTest::newRow("each acknowledge in two reads" + n) << size << 1 << 0 << -1 << 2 << 1;
            QTest::newRow("header acknowledge in two reads, then nothing" + n) << size << 1 << 0 << 1 << 2 << -1;
        }
    }

    void blockDownloadAcknowledges()
    {
        QFETCH(int, size);
        QFETCH(int, times);
        QFETCH(int, gap);
        QFETCH(int, limit);
        QFETCH(int, split);
        QFETCH(int, result);
        FakeModule fake("127.0.0.75");
        fake.setAckRepeat(times, gap);
        fake.setAckLimit(limit);
        fake.setSplitReply(split);
        fake.setPieceGap(30);
        QVERIFY(fake.start());
        TCPThread worker;
        const QByteArray data = pattern(size);
        QCOMPARE(worker.DownPlugConfig("127.0.0.75", 18, 18, data), result);
        if (result == 1)
            QCOMPARE(fake.block(18, 18), data);
        // Nothing is written before the block before it was acknowledged.
        const QByteArray sent = fake.received(FakeModule::CommandPort);
        QCOMPARE(sent, (head(0x43, 18, 18, quint32(size)) + data).left(sent.size()));
        QCOMPARE(sent.size() >= 7 + std::min(size, 1000), true);
    }

    void blockUpload_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<int>("chunk");
        QTest::addColumn<qint64>("announced");
        QTest::addColumn<QByteArrayList>("dataReplies"); // empty: the block in chunks
        QTest::addColumn<int>("maxSize"); // 0: the default
        QTest::addColumn<int>("split");
        QTest::addColumn<bool>("backToBack");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("appended");
        const QByteArrayList chunks;
        const QByteArray withTrailer("ab#endcdef0123456789xy");
        for (const bool backToBack : { false, true }) {
            const QByteArray b2b = backToBack ? ", back to back" : "";
            QTest::newRow("one reply" + b2b)
                << pattern(10) << 1000 << qint64(-1) << chunks << 0 << 0 << backToBack << 1 << 10;
            QTest::newRow("three replies" + b2b)
                << pattern(2500) << 1000 << qint64(-1) << chunks << 0 << 0 << backToBack << 1 << 2500;
            QTest::newRow("announced 0" + b2b)
                << QByteArray() << 1000 << qint64(-1) << chunks << 0 << 0 << backToBack << 1 << 0;
            // A failed upload leaves the caller's array as it was.
            QTest::newRow("more than announced" + b2b)
                << pattern(10) << 10 << qint64(6) << chunks << 0 << 0 << backToBack << -1 << 0;
            QTest::newRow("less than announced" + b2b)
                << pattern(10) << 10 << qint64(20) << chunks << 0 << 0 << backToBack << -1 << 0;
            // Replies of 2 + 4 + 16 data bytes fit as well as 10 + 10 + 2 and 2 + 18 + 2.
            QTest::newRow("trailer inside the data" + b2b)
                << withTrailer << 10 << qint64(-1) << chunks << 0 << 0 << backToBack << -1 << 0;
            QTest::newRow("data reply without data" + b2b)
                << QByteArray() << 1000 << qint64(5) << QByteArrayList { "#end" } << 0 << 0 << backToBack << -1 << 0;
        }
        QTest::newRow("announced negative")
            << pattern(10) << 10 << qint64(0x80000000LL) << chunks << 0 << 0 << false << -1 << 0;
        QTest::newRow("replies split in two are joined")
            << QByteArray("abcdefghij") << 1000 << qint64(-1) << chunks << 0 << 5 << false << 1 << 10;
        QTest::newRow("three replies split in two")
            << pattern(2500) << 1000 << qint64(-1) << chunks << 0 << 300 << false << 1 << 2500;
        QTest::newRow("announced over the 1 MiB default")
            << pattern(10) << 1000 << qint64((1 << 20) + 1) << chunks << 0 << 0 << false << -1 << 0;
        QTest::newRow("1 MiB in one reply")
            << pattern(1 << 20) << (1 << 20) << qint64(-1) << chunks << 0 << 0 << false << 1 << (1 << 20);
        QTest::newRow("announced over the caller's largest")
            << pattern(2500) << 1000 << qint64(-1) << chunks << 2499 << 0 << true << -1 << 0;
        QTest::newRow("announced at the caller's largest")
            << pattern(2500) << 1000 << qint64(-1) << chunks << 2500 << 0 << true << 1 << 2500;
    }

    void blockUpload()
    {
        QFETCH(QByteArray, block);
        QFETCH(int, chunk);
        QFETCH(qint64, announced);
        QFETCH(QByteArrayList, dataReplies);
        QFETCH(int, maxSize);
        QFETCH(int, split);
        QFETCH(bool, backToBack);
        QFETCH(int, result);
        QFETCH(int, appended);
        FakeModule fake("127.0.0.74");
        fake.setUploadBlock(18, 19, block);
        fake.setUploadChunkSize(chunk);
        fake.setUploadAnnouncedSize(announced);
        fake.setUploadDataReplies(dataReplies);
        fake.setSplitReply(split);
        fake.setBackToBack(backToBack);
        QVERIFY(fake.start());
        TCPThread worker;
        QByteArray data("kept");
        const int got = maxSize > 0 ? worker.UploadPlugConfig("127:0:0:74", 18, 19, data, maxSize)
                                    : worker.UploadPlugConfig("127:0:0:74", 18, 19, data);
        QCOMPARE(got, result);
        QCOMPARE(data.size(), 4 + appended);
        QCOMPARE(data, QByteArray("kept") + block.left(appended));
        QCOMPARE(fake.received(FakeModule::CommandPort), QByteArray("U\x12\x13", 3));
    }

    // A module may end its replies with any 4 bytes that hold "end", and its "SIZE" reply with
    // anything after the total; the network may hand over each reply in a read of its own, all of
    // them in one read, each in two pieces, or cut anywhere into pieces of a few bytes.
    void blockUploadTrailers_data()
    {
        QTest::addColumn<QByteArray>("trailer");
        QTest::addColumn<QByteArray>("sizeTail");
        QTest::addColumn<int>("reads");
        QTest::addColumn<QByteArray>("block");
        struct Form
        {
            QByteArray trailer;
            QByteArray sizeTail;
        };
        const QList<Form> forms { { "#end", "#end" }, { QByteArray("\0end", 4), QByteArray("\0end", 4) },
            { "end\n", "end\n" }, { QByteArray("end\0", 4), QByteArray("end\0", 4) }, { "\nend", "\r\nend" },
            { "#end", "end\r\n" }, { "end\n", "end\r\n" } };
        const char *readNames[] = { "a read per reply", "back to back", "split", "cut anywhere" };
        for (const Form &form : forms) {
            for (int reads = 0; reads < 4; ++reads) {
                // Pieces cut between "end" and a byte after it could end a reply early: a read
                // that can be a whole reply is one.
                if (reads == 3 && !form.trailer.endsWith("end"))
                    continue;
                const QByteArray name = form.sizeTail.toPercentEncoding() + " / " + form.trailer.toPercentEncoding()
                    + ", " + readNames[reads];
                QTest::newRow(name + ", one reply") << form.trailer << form.sizeTail << reads << QByteArray("ABCDEF");
                QTest::newRow(name + ", three replies") << form.trailer << form.sizeTail << reads << pattern(2500);
            }
        }
    }

    void blockUploadTrailers()
    {
        QFETCH(QByteArray, trailer);
        QFETCH(QByteArray, sizeTail);
        QFETCH(int, reads);
        QFETCH(QByteArray, block);
        FakeModule fake("127.0.0.77");
        fake.setUploadBlock(18, 18, block);
        fake.setUploadTrailer(trailer);
        fake.setUploadSizeTail(sizeTail);
        fake.setPieceGap(20);
        fake.setBackToBack(reads == 1);
        fake.setSplitReply(reads == 2 ? 3 : 0);
        // Pieces small enough to cut every reply, few enough to come within a reply's wait.
        fake.setReadSize(reads == 3 ? (block.size() < 100 ? 7 : 300) : 0);
        QVERIFY(fake.start());
        TCPThread worker;
        QByteArray data;
        QCOMPARE(worker.UploadPlugConfig("127.0.0.77", 18, 18, data), 1);
        QCOMPARE(data, block);
    }

    // Every trailer form after every "SIZE" ending, written in pieces with pauses between them:
    // a write per reply, all at once, and the "SIZE" reply together with the first data bytes.
    void blockUploadWrites_data()
    {
        QTest::addColumn<QByteArray>("trailer");
        QTest::addColumn<QByteArray>("sizeTail");
        QTest::addColumn<int>("writes");
        const char *writeNames[] = { "a write per reply", "back to back", "size reply with data" };
        for (const QByteArray &trailer : UploadStreams::trailers()) {
            for (const QByteArray &sizeTail : UploadStreams::sizeTails()) {
                const QByteArray name = sizeTail.toPercentEncoding() + " / " + trailer.toPercentEncoding() + ", ";
                for (int writes = 0; writes < 3; ++writes)
                    QTest::newRow(name + writeNames[writes]) << trailer << sizeTail << writes;
            }
        }
    }

    void blockUploadWrites()
    {
        QFETCH(QByteArray, trailer);
        QFETCH(QByteArray, sizeTail);
        QFETCH(int, writes);
        // Three replies, the last of 13 bytes: longer than any run after the marker and a kept
        // trailer, so the first two never make a block of their own with it beyond the total.
        QByteArray block = pattern(45);
        block.replace(7, 3, "dne"); // the marker's letters, not the marker
        FakeModule fake("127.0.0.78");
        const QList<int> cuts = writeCuts(block, sizeTail, trailer, writes);
        scriptWrites(fake, block, sizeTail, trailer, cuts);
        QVERIFY(fake.start());
        TCPThread worker;
        QByteArray data;
        QCOMPARE(worker.UploadPlugConfig("127.0.0.78", 18, 18, data), 1);
        QCOMPARE(data, block);
        if (writes != 1)
            QCOMPARE(fake.uploadPieces().size(), cuts.size() + 1);
    }

    // The same forms when the block starts with a zero or a line end, which may as well end the
    // "SIZE" reply: each upload waits a reply wait for more, then takes the one block whole. Run
    // side by side, one module each.
    void blockUploadLeadingRun()
    {
        struct Case
        {
            QByteArray trailer;
            QByteArray sizeTail;
            int writes;
            QByteArray block;
            int result = 0;
            QByteArray data;
        };
        QByteArray plain = pattern(45);
        plain.replace(7, 3, "dne");
        QList<Case> cases;
        for (const QByteArray &trailer : UploadStreams::trailers()) {
            for (const QByteArray &sizeTail : UploadStreams::sizeTails()) {
                for (const QByteArray &start : { QByteArray(1, '\0'), QByteArray("\r\n") })
                    cases << Case { trailer, sizeTail, int(cases.size() % 3), start + plain, 0, QByteArray() };
            }
        }
        runLanes(cases.size(), [&cases](int index, const QString &address) {
            Case &c = cases[index];
            FakeModule fake(address);
            scriptWrites(fake, c.block, c.sizeTail, c.trailer, writeCuts(c.block, c.sizeTail, c.trailer, c.writes));
            if (!fake.start())
                return;
            TCPThread worker;
            c.result = worker.UploadPlugConfig(address, 18, 18, c.data);
        });
        for (const Case &c : qAsConst(cases)) {
            const QByteArray what = c.sizeTail.toPercentEncoding() + " / " + c.trailer.toPercentEncoding() + ", block "
                + c.block.left(4).toHex();
            QVERIFY2(c.result == 1 && c.data == c.block, what.constData());
        }
    }

    // A module that pauses between its replies, as a network's delayed acknowledges make it. A
    // first reply that, with the "SIZE" reply's line end or zeros, fits another block is never
    // taken; after the whole answer the block is taken when nothing else fits, and the upload
    // fails when another module could have sent the same bytes with another block.
    void blockUploadPausingModule_data()
    {
        QTest::addColumn<QByteArray>("sizeTail");
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<QList<int>>("lengths");
        QTest::addColumn<int>("pause");
        QTest::addColumn<int>("result");
        QByteArray zeros = pattern(2004);
        zeros.replace(0, 4, QByteArray(4, '\0'));
        QTest::newRow("plain, last reply longer than the run")
            << QByteArray("end\r\n") << pattern(23) << QList<int> { 16, 7 } << 150 << 1;
        QTest::newRow("leading zero") << QByteArray("#end") << QByteArray(1, '\0') + pattern(30)
                                      << QList<int> { 16, 15 } << 200 << 1;
        // "\nABCD", then "E" beyond the total.
        QTest::newRow("ABCD, then E") << QByteArray("end\r\n") << QByteArray("ABCDE") << QList<int> { 4, 1 } << 150
                                      << -1;
        QTest::newRow("plain, last reply no longer than the run")
            << QByteArray("end\r\n") << pattern(18) << QList<int> { 16, 2 } << 150 << -1;
        // "\0\0\0\0" and "ABCDEFGH", or "#endABCDEFGH" after a "SIZE" reply ending in zeros.
        QTest::newRow("a first reply of zeros")
            << QByteArray("end") << QByteArray(4, '\0') + "ABCDEFGH" << QList<int> { 4, 8 } << 150 << -1;
        // The first two replies fit a block with "#end" in it: it is not taken before the third.
        QTest::newRow("four zeros, then 1000 + 1000 + 4")
            << QByteArray("#end") << zeros << QList<int> { 1000, 1000, 4 } << 250 << -1;
    }

    void blockUploadPausingModule()
    {
        QFETCH(QByteArray, sizeTail);
        QFETCH(QByteArray, block);
        QFETCH(QList<int>, lengths);
        QFETCH(int, pause);
        QFETCH(int, result);
        FakeModule fake("127.0.0.80");
        fake.setUploadBlock(18, 16, block);
        fake.setUploadSizeTail(sizeTail);
        fake.setUploadReplyLengths(lengths);
        fake.setUploadPauses(repeated(pause, lengths.size()));
        QVERIFY(fake.start());
        TCPThread worker;
        QByteArray data("kept");
        QCOMPARE(worker.UploadPlugConfig("127.0.0.80", 18, 16, data), result);
        QCOMPARE(data, result == 1 ? "kept" + block : QByteArray("kept"));
        QCOMPARE(fake.uploadPieces().size(), lengths.size() + 1);
    }

    // Seeded uploads over the network with the module's own pauses (0 to 600 ms at some reply
    // ends): blocks plain, with a leading run, with copies of their trailer or with "end",
    // unequal replies, now and then a reply beyond the total. A success is always the exact
    // block, and plain blocks nearly always succeed. Most streams are judged without the
    // network in the codec tests; these go the whole way, eight modules at a time.
    void blockUploadRandom()
    {
        QRandomGenerator random(2031);
        const int rounds = 200;
        QList<UploadSample> samples;
        for (int round = 0; round < rounds; ++round)
            samples << UploadStreams::randomSample(random);
        QVector<int> results(rounds, 0);
        QVector<QByteArray> uploaded(rounds);
        QVector<qint64> lasted(rounds, 0);
        QElapsedTimer clock;
        clock.start();
        runLanes(rounds, [&](int round, const QString &address) {
            const UploadSample &s = samples.at(round);
            FakeModule fake(address);
            fake.setUploadBlock(18, 17, s.block);
            fake.setUploadTrailer(s.trailer);
            fake.setUploadSizeTail(s.sizeTail);
            fake.setUploadReplyLengths(s.replyLengths);
            fake.setUploadSurplus(s.surplus);
            fake.setUploadPauses(s.pauses);
            if (!fake.start())
                return;
            TCPThread worker;
            QByteArray data("kept");
            QElapsedTimer upload;
            upload.start();
            results[round] = worker.UploadPlugConfig(address, 18, 17, data);
            lasted[round] = upload.elapsed();
            uploaded[round] = data;
        });
        int failed = 0;
        int plain = 0;
        int plainFailed = 0;
        qint64 slowestPlain = 0;
        for (int round = 0; round < rounds; ++round) {
            const UploadSample &s = samples.at(round);
            const QByteArray what = "round " + QByteArray::number(round) + ": " + s.describe();
            if (results.at(round) == 1)
                QVERIFY2(uploaded.at(round) == "kept" + s.block, what.constData());
            else
                QVERIFY2(results.at(round) == -1 && uploaded.at(round) == "kept", what.constData());
            failed += results.at(round) == 1 ? 0 : 1;
            if (s.plain() && s.surplus.isEmpty()) {
                ++plain;
                plainFailed += results.at(round) == 1 ? 0 : 1;
                // Past the module's own pauses.
                slowestPlain = std::max(slowestPlain, lasted.at(round) - s.writeTimes().last());
            }
        }
        qInfo("%d of %d uploads failed, none wrong; plain blocks: %d of %d failed, the slowest done %lld ms after "
              "its last write; %lld ms",
            failed, rounds, plainFailed, plain, slowestPlain, clock.elapsed());
        QVERIFY(plain >= rounds / 6);
        QVERIFY(plainFailed * 100 <= plain * 2);
    }

    // A module that announces 1 MiB and then sends a bare trailer every 100 ms, for longer than
    // any upload may last: the upload ends, failed, while the module still talks.
    void blockUploadTimeLimit()
    {
        FakeModule fake("127.0.0.79");
        fake.setUploadAnnouncedSize(1 << 20);
        const int talks = 3 * UploadWait::longestMs / 100;
        fake.setUploadDataReplies(repeated(QByteArray("#end"), talks));
        fake.setUploadPauses(repeated(100, talks));
        QVERIFY(fake.start());
        TCPThread worker;
        QByteArray data;
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(worker.UploadPlugConfig("127.0.0.79", 19, 16, data), -1);
        QVERIFY2(clock.elapsed() < 3 * UploadWait::longestMs, QByteArray::number(clock.elapsed()).constData());
        QVERIFY(data.isEmpty());
        QVERIFY(fake.uploadPieces().size() < talks);
    }

    void blockUploadWithoutSize()
    {
        FakeModule fake("127.0.0.76");
        fake.setSilent(true);
        QVERIFY(fake.start());
        TCPThread worker;
        QByteArray data;
        QCOMPARE(worker.UploadPlugConfig("127.0.0.76", 19, 16, data), -1);
        QVERIFY(data.isEmpty());
    }

    void udpDownload_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("result");
        QTest::newRow("OK after the first byte") << QByteArray("#OK\r\n") << 1;
        QTest::newRow("OK at the start") << QByteArray("OK\r\n") << -1;
        QTest::newRow("OK after a zero byte") << QByteArray("x\0OK", 4) << -1;
        QTest::newRow("zero byte after OK") << QByteArray("xOK\0", 4) << 1;
        QTest::newRow("no OK") << QByteArray("ERR") << -1;
    }

    void udpDownload()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, result);
        FakeModule fake("127.0.0.81");
        fake.setUdpDownloadReply(reply);
        QVERIFY(fake.start());
        TCPThread worker;
        const QByteArray data = pattern(300);
        QCOMPARE(worker.udp_DownPlugConfig("127:0:0:81", 19, 20, data), result);
        QCOMPARE(fake.datagrams(), QList<QByteArray> { head(0x43, 19, 20, 300) + data });
    }

    void udpDownloadOfNothingSendsNothing()
    {
        FakeModule fake("127.0.0.82");
        QVERIFY(fake.start());
        TCPThread worker;
        QCOMPARE(worker.udp_DownPlugConfig("127.0.0.82", 19, 20, QByteArray()), -1);
        // A later datagram arrives alone: nothing went before it.
        QCOMPARE(worker.udp_DownPlugConfig("127.0.0.82", 19, 20, "x"), 1);
        QCOMPARE(fake.datagrams(), QList<QByteArray> { head(0x43, 19, 20, 1) + "x" });
    }

    void udpUploadReplacesArray()
    {
        FakeModule fake("127.0.0.83");
        fake.setUploadBlock(19, 19, "live status");
        QVERIFY(fake.start());
        TCPThread worker;
        QByteArray data("old contents, longer than the reply");
        QCOMPARE(worker.udp_UploadPlugConfig("127.0.0.83", 19, 19, data), 1);
        QCOMPARE(data, QByteArray("live status"));
        QByteArray empty;
        QCOMPARE(worker.udp_UploadPlugConfig("127.0.0.83", 19, 19, empty), 1);
        QCOMPARE(fake.datagrams(),
            (QList<QByteArray> {
                head(0x55, 19, 19, 35) + "old contents, longer than the reply", head(0x55, 19, 19, 0) }));
    }

    void udpSilentModule()
    {
        FakeModule fake("127.0.0.84");
        fake.setSilent(true);
        QVERIFY(fake.start());
        TCPThread worker;
        QByteArray data;
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(worker.udp_UploadPlugConfig("127.0.0.84", 19, 19, data), -1);
        QVERIFY(timer.elapsed() >= 1400);
        QCOMPARE(worker.udp_DownPlugConfig("127.0.0.84", 19, 20, "x"), -1);
        QCOMPARE(fake.datagrams().size(), 2);
    }

    // Only the target's datagram answers the request; another sender's is dropped and the wait goes on.
    void udpAcceptsOnlyTheTarget_data()
    {
        QTest::addColumn<bool>("targetAnswers");
        QTest::newRow("target answers later") << true;
        QTest::newRow("only the other host answers") << false;
    }

    void udpAcceptsOnlyTheTarget()
    {
        QFETCH(bool, targetAnswers);
        FakeModule fake("127.0.0.85");
        fake.setReplyDelay(700);
        fake.setSilent(!targetAnswers);
        fake.setUploadBlock(19, 19, "from the target");
        FakeModule other("127.0.0.86");
        QVERIFY(fake.start());
        QVERIFY(other.start());
        TCPThread worker;
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^warning: configuration datagram .* 127.0.0.86"));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^warning: configuration datagram .* 127.0.0.86"));
        other.sendDatagram("#OK impostor", QHostAddress("127.0.0.1"), Endpoints::current().configLocalPort, 200);
        QByteArray data;
        QCOMPARE(worker.udp_UploadPlugConfig("127.0.0.85", 19, 19, data), targetAnswers ? 1 : -1);
        QCOMPARE(data, targetAnswers ? QByteArray("from the target") : QByteArray());
        other.sendDatagram("#OK impostor", QHostAddress("127.0.0.1"), Endpoints::current().configLocalPort, 200);
        QCOMPARE(worker.udp_DownPlugConfig("127.0.0.85", 19, 20, "x"), targetAnswers ? 1 : -1);
    }

    void udpPortTaken()
    {
        QUdpSocket holder;
        QVERIFY(holder.bind(
            QHostAddress::AnyIPv4, Endpoints::current().configLocalPort, QAbstractSocket::DontShareAddress));
        FakeModule fake("127.0.0.87");
        QVERIFY(fake.start());
        TCPThread worker;
        QByteArray data;
        QCOMPARE(worker.udp_UploadPlugConfig("127.0.0.87", 19, 19, data), -1);
        QCOMPARE(worker.udp_DownPlugConfig("127.0.0.87", 19, 20, "x"), -1);
        QVERIFY(fake.datagrams().isEmpty());
    }

    void networkSettings()
    {
        FakeModule fake("127.0.0.91");
        QVERIFY(fake.start());
        TCPThread worker;
        const QByteArray settings("\xC0\xA8\x01\x14\xC0\xA8\x01\x01\xFF\xFF\xFF\x00", 12);
        QCOMPARE(worker.DownIPConfig("127:0:0:91", settings), 0);
        QTRY_COMPARE(fake.received(FakeModule::CommandPort), "S\r\n" + settings);
        QCOMPARE(fake.networkSettings(), settings);
    }

    void networkSettingsFailures_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<int>("skipAck");
        QTest::addColumn<bool>("hangUp");
        QTest::newRow("nobody there") << "127.0.0.93" << false << -1 << false;
        QTest::newRow("no greeting") << "127.0.0.92" << true << -1 << false;
        QTest::newRow("no acknowledge") << "127.0.0.92" << false << 0 << false;
    }

    void networkSettingsFailures()
    {
        QFETCH(QString, address);
        QFETCH(bool, silent);
        QFETCH(int, skipAck);
        QFETCH(bool, hangUp);
        FakeModule fake("127.0.0.92");
        fake.setSilent(silent);
        fake.setSkipAck(skipAck);
        if (hangUp)
            fake.setCloseAfterCommand('S');
        QVERIFY(fake.start());
        TCPThread worker;
        QCOMPARE(worker.DownIPConfig(address, QByteArray(12, '\x01')), -1);
        QVERIFY(fake.networkSettings().isEmpty());
    }

    void streamSwitches_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("curve on") << Operation([](TCPThread &w, const QString &ip) { w.CurveMonitor(ip, 3, 1); })
                                  << QByteArray("T\x03\x01", 3);
        QTest::newRow("curve off, period low byte")
            << Operation([](TCPThread &w, const QString &ip) { w.CurveMonitor(ip, 0x106, 0); })
            << QByteArray("T\x06\x00", 3);
        QTest::newRow("io monitor on") << Operation([](TCPThread &w, const QString &ip) { w.IOMonitor(ip, 1); })
                                       << QByteArray("D\x00\x01", 3);
        QTest::newRow("io monitor off") << Operation([](TCPThread &w, const QString &ip) { w.IOMonitor(ip, 0); })
                                        << QByteArray("D\x00\x00", 3);
        QTest::newRow("monitor switch") << Operation([](TCPThread &w, const QString &ip) {
            w.monitorIP = QString(ip).replace('.', ':');
            w.monitorArg1 = 0x101;
            w.monitorArg2 = 7;
            QSignalSpy finished(&w, &TCPThread::finished);
            w.Monitor();
            QCOMPARE(finished.count(), 1);
        }) << QByteArray("M\x01\x07", 3);
    }

    void streamSwitches()
    {
        QFETCH(Operation, operation);
        QFETCH(QByteArray, bytes);
        FakeModule fake("127.0.0.95");
        QVERIFY(fake.start());
        TCPThread worker;
        operation(worker, fake.address());
        QTRY_COMPARE(fake.received(FakeModule::CommandPort), bytes);
        QCOMPARE(fake.connectionCount(FakeModule::CommandPort), 1);
    }

    void streamSwitchesKeepTheAddressText()
    {
        FakeModule fake("127.0.0.96");
        QVERIFY(fake.start());
        TCPThread worker;
        worker.IOMonitor("127:0:0:96", 1);
        worker.CurveMonitor("127:0:0:96", 1, 1);
        QSignalSpy finished(&worker, &TCPThread::finished);
        worker.Monitor(); // no target set: nothing to reach, still finished
        QCOMPARE(finished.count(), 1);
        QCOMPARE(fake.connectionCount(FakeModule::CommandPort), 0);
    }
};

RIVUDO_TEST_MAIN(TestConfigBlocks)
#include "tst_configblocks.moc"
