#include "tempcurvecodec.h"
#include "testsupport.h"

namespace {
QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}
using Curves = QList<quint16>;
using Samples = QList<QPair<int, double>>;
} // namespace

Q_DECLARE_METATYPE(TempCurveChoice)

// The temperature curve request, the stream switch, the cutting of the received stream at its
// end bytes and the sample frames.
class TestTempCurveCodec : public QObject
{
    Q_OBJECT

private slots:
    void request_data()
    {
        QTest::addColumn<QList<TempCurveChoice>>("curves");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("no curve") << QList<TempCurveChoice>() << hex("A5 5A");
        QTest::newRow("curves 1 and 4: CH1 PV, CH2 SV")
            << QList<TempCurveChoice>({ { 0, 0, 1 }, { 3, 1, 2 } }) << hex("A5 00 00 01 00 03 01 02 00 5A");
        QTest::newRow("curve 16: CH9 output") << QList<TempCurveChoice>({ { 15, 8, 3 } }) << hex("A5 0F 08 03 00 5A");
    }
    void request()
    {
        QFETCH(QList<TempCurveChoice>, curves);
        QFETCH(QByteArray, bytes);
        QCOMPARE(buildTempCurveRequest(curves), bytes);
    }

    void streamCommand()
    {
        QCOMPARE(tempCurveStreamCommand(0, true), hex("54 00 01"));
        QCOMPARE(tempCurveStreamCommand(6, false), hex("54 06 00"));
    }

    void cut_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QList<QByteArray>>("frames");
        QTest::addColumn<QByteArray>("left");
        QTest::newRow("nothing") << QByteArray() << QList<QByteArray>() << QByteArray();
        QTest::newRow("part frame waits") << hex("A5 02 00") << QList<QByteArray>() << hex("A5 02 00");
        QTest::newRow("one frame") << hex("A5 00 5A") << QList<QByteArray>({ hex("A5 00") }) << QByteArray();
        QTest::newRow("two frames and a part")
            << hex("A5 00 5A A5 01 00 5A A5") << QList<QByteArray>({ hex("A5 00"), hex("A5 01 00") }) << hex("A5");
        QTest::newRow("end bytes alone make empty frames")
            << hex("5A 5A") << QList<QByteArray>({ QByteArray(), QByteArray() }) << QByteArray();
    }
    void cut()
    {
        QFETCH(QByteArray, stream);
        QFETCH(QList<QByteArray>, frames);
        QFETCH(QByteArray, left);
        QByteArray buffer = stream;
        QCOMPARE(cutTempCurveFrames(buffer), frames);
        QCOMPARE(buffer, left);
    }

    void reply_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<Curves>("curves");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<Samples>("samples");
        QTest::newRow("two samples") << hex("A5 02 00 FA 00 00 00 03 2C 01 00 00") << Curves({ 0, 3 }) << true
                                     << Samples({ { 0, 25.0 }, { 3, 30.0 } });
        QTest::newRow("no curve, no sample") << hex("A5 00") << Curves() << true << Samples();
        QTest::newRow("negative value") << hex("A5 01 05 01 FF FF FF") << Curves({ 5 }) << true
                                        << Samples({ { 5, -25.5 } });
        QTest::newRow("bytes after the samples")
            << hex("A5 01 05 64 00 00 00 77 77") << Curves({ 5 }) << true << Samples({ { 5, 10.0 } });
        QTest::newRow("sample of another curve skipped, next matched by position")
            << hex("A5 02 07 0A 00 00 00 03 14 00 00 00") << Curves({ 0, 3 }) << true << Samples({ { 3, 2.0 } });
        QTest::newRow("count differs") << hex("A5 01 00 FA 00 00 00") << Curves({ 0, 3 }) << false << Samples();
        QTest::newRow("negative count") << hex("A5 FF") << Curves() << false << Samples();
        QTest::newRow("too short for its count")
            << hex("A5 02 00 FA 00 00 00 03 2C 01") << Curves({ 0, 3 }) << false << Samples();
        QTest::newRow("wrong head") << hex("A4 01 00 FA 00 00 00") << Curves({ 0 }) << false << Samples();
        // Pieces a 0x5A inside a value leaves: shorter than the head, nothing may be read past them.
        QTest::newRow("head byte alone") << hex("A5") << Curves() << false << Samples();
        QTest::newRow("empty") << QByteArray() << Curves() << false << Samples();
    }
    void reply()
    {
        QFETCH(QByteArray, frame);
        QFETCH(Curves, curves);
        QFETCH(bool, taken);
        QFETCH(Samples, samples);
        const TempCurveReply r = parseTempCurveReply(frame, curves);
        QCOMPARE(r.taken, taken);
        Samples got;
        for (const TempCurveSample &s : r.samples)
            got.append({ s.curve, s.value });
        QCOMPARE(got, samples);
    }
};

RIVUDO_TEST_MAIN(TestTempCurveCodec)
#include "tst_tempcurvecodec.moc"
