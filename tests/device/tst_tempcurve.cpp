#include "endpoints.h"
#include "fakemodule.h"
#include "faketempcurve.h"
#include "module.h"
#include "promptrecorder.h"
#include "tempappdir.h"
#include "tempctlform.h"
#include "tempcurvedialog.h"
#include "testsupport.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QUdpSocket>
#include <memory>

namespace {
const char description[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<ModuleParameter>
  <ModuleList>
    <Module ModuleName="RVT-C800" ModuleShowName="RVT-C800" Text="test">
      <Param Len="0"/>
      <menu><Page menuname="TEMP_CTL_8CH"/></menu>
    </Module>
  </ModuleList>
</ModuleParameter>
)";

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

const QByteArray twoCurveRequest = hex("A5 00 00 01 00 03 01 02 00 5A");
} // namespace

// The temperature curves window against the fake module's curve port: requests, the stream
// switch on the command port, samples arriving whole, split or piled up, odd frames, silence,
// and the window's life beside its page.
class TestTempCurve : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempAppDir> dir;
    std::unique_ptr<module> mod;

    void makeModule(const QString &address)
    {
        mod.reset(new module("RVT-C800", "RVT"));
        mod->setIP(address);
        mod->connType = modulebase::CONNEST_NET;
    }
    TempCtlForm *page()
    {
        auto *p = qobject_cast<TempCtlForm *>(mod->pageList.value(0));
        if (p)
            p->ensureBuilt();
        return p;
    }
    static QPushButton *button(QWidget *w, const char *name) { return TestSupport::child<QPushButton>(w, name); }
    static QComboBox *periods(TempCurveDialog *d) { return TestSupport::child<QComboBox>(d, "comboBox_sampletime"); }
    // Every period as short as a test can wait for.
    static void shortPeriods(TempCurveDialog *d, int ms = 100)
    {
        for (int i = 0; i < periods(d)->count(); ++i)
            periods(d)->setItemData(i, ms);
    }
    // Curves 1 and 4: CH1 PV and CH2 SV.
    static void twoCurves(TempCurveDialog *d)
    {
        d->valueBox(0)->setCurrentIndex(1);
        d->valueBox(3)->setCurrentIndex(2);
    }
    static QVector<double> values(TempCurveDialog *d, int curve) { return d->plot()->history(curve).second; }
    static QVector<double> keys(TempCurveDialog *d, int curve) { return d->plot()->history(curve).first; }
    static QByteArray streamOn(int period) { return QByteArray("T") + char(period) + char(1); }
    static QByteArray streamOff(int period) { return QByteArray("T") + char(period) + char(0); }

private slots:
    void init()
    {
        dir.reset(new TempAppDir(false));
        QVERIFY(dir->write("/ModuleParameter/RVT/ModuleParameter.xml", description));
    }
    void cleanup()
    {
        mod.reset();
        dir.reset();
    }

    void windowAsBuilt()
    {
        makeModule("127.0.0.1");
        TempCurveDialog d(mod.get());
        QCOMPARE(d.windowTitle(), QStringLiteral("温度曲线"));
        auto *table = TestSupport::child<QTableWidget>(&d, "tableWidget");
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->columnCount(), 17);
        QCOMPARE(table->item(1, 0)->text(), QStringLiteral("通道"));
        QCOMPARE(table->horizontalHeaderItem(16)->text(), QStringLiteral("曲线16"));
        QCOMPARE(table->item(0, 5)->background().color(), QColor(255, 0, 0));
        QStringList texts;
        QList<int> ms;
        for (int i = 0; i < periods(&d)->count(); ++i) {
            texts << periods(&d)->itemText(i);
            ms << periods(&d)->itemData(i).toInt();
        }
        QCOMPARE(texts, QStringList({ "1S", "2S", "5S", "10S", "20S", "30S", "50S" }));
        QCOMPARE(ms, QList<int>({ 1000, 2000, 5000, 10000, 20000, 30000, 50000 }));
        // Two curves per channel: curves 15 and 16 start on CH8; CH9 is there to choose.
        QCOMPARE(d.channelBox(0)->currentText(), QStringLiteral("CH1"));
        QCOMPARE(d.channelBox(3)->currentText(), QStringLiteral("CH2"));
        QCOMPARE(d.channelBox(15)->currentText(), QStringLiteral("CH8"));
        QCOMPARE(d.channelBox(15)->count(), 9);
        QCOMPARE(d.valueBox(7)->currentText(), QStringLiteral("不使能"));
        QCOMPARE(d.plot()->curveColors().value(1), QColor(Qt::black));
        QCOMPARE(d.plot()->yAxis->range(), QCPRange(0, 1000));
        QVERIFY(d.enabledCurves.isEmpty());
        QCOMPARE(d.buildRequest(), hex("A5 5A"));
        QVERIFY(!TestSupport::child<QWidget>(&d, "widget_show")->isEnabled());
        QVERIFY(TestSupport::child<QLineEdit>(&d, "lineEdit_path")->isHidden());
        QCOMPARE(button(&d, "pushButton")->text(), QStringLiteral("开始监控"));
    }

    void curveChoicesAndReadout()
    {
        makeModule("127.0.0.1");
        TempCurveDialog d(mod.get());
        twoCurves(&d);
        QCOMPARE(d.enabledCurves, QList<quint16>({ 0, 3 }));
        QCOMPARE(d.buildRequest(), twoCurveRequest);
        QCOMPARE(d.plot()->graphCount(), 2);
        QCOMPARE(d.plot()->graph(1)->name(), QStringLiteral("CH2_SV值"));
        d.channelBox(3)->setCurrentIndex(8);
        QCOMPARE(d.plot()->graph(1)->name(), QStringLiteral("CH9_SV值"));
        QCOMPARE(d.buildRequest(), hex("A5 00 00 01 00 03 08 02 00 5A"));
        QCOMPARE(d.findChildren<QHBoxLayout *>("curve_Layout").size(), 2);
        auto *diff2 = TestSupport::child<QComboBox>(&d, "comboBox_diff2");
        QCOMPARE(diff2->count(), 2);
        diff2->setCurrentIndex(1);

        TestSupport::child<QCheckBox>(&d, "checkBox")->setChecked(true);
        QVERIFY(TestSupport::child<QWidget>(&d, "widget_show")->isEnabled());
        d.getTracer_Data({ 0, 1700000000.0, 25.04 });
        d.getTracer_Data({ 3, 1700000000.0, 30.0 });
        QCOMPARE(TestSupport::child<QLineEdit>(&d, "curve_lineEdit_0")->text(), QStringLiteral("25.0"));
        QCOMPARE(TestSupport::child<QLineEdit>(&d, "lineEdit_value")->text(), QStringLiteral("-5.0"));
        QCOMPARE(TestSupport::child<QLineEdit>(&d, "lineEdit_time")->text(),
            QDateTime::fromSecsSinceEpoch(1700000000).toString("hh:mm:ss"));

        // Switching a curve off drops its row and its graph, not its data.
        d.plot()->addData(3, 1700000000.0, 30.0);
        d.valueBox(3)->setCurrentIndex(0);
        QCOMPARE(d.findChildren<QLineEdit *>(QRegularExpression("^curve_lineEdit_")).size(), 1);
        QCOMPARE(d.plot()->graphCount(), 1);
        d.valueBox(3)->setCurrentIndex(2);
        QCOMPARE(d.plot()->graphOf(3)->dataCount(), 1);

        auto *yRange = TestSupport::child<QLineEdit>(&d, "lineEdit_Y");
        yRange->setText("0");
        QCOMPARE(yRange->text(), QStringLiteral("自动"));
        QCOMPARE(d.plot()->yAxis->range().upper, 1000.0);
        TestSupport::child<QLineEdit>(&d, "lineEdit_YMIN")->setText("2000");
        QCOMPARE(d.plot()->yAxis->range().lower, 0.0);
    }

    void runAgainstTheStream_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("a datagram per frame") << 0;
        QTest::newRow("frames split over two datagrams") << 1;
        QTest::newRow("pieces back to back") << 2;
        QTest::newRow("two frames in one datagram") << 3;
    }
    void runAgainstTheStream()
    {
        QFETCH(int, kind);
        FakeModule fake(QStringLiteral("127.0.0.71"));
        QVERIFY(fake.start());
        auto service = std::make_shared<FakeTempCurve>();
        QVERIFY(fake.addService(service));
        FakeMisbehaviour m;
        if (kind == 1) {
            m.splitAt = 4;
            m.gapMs = 30;
        } else if (kind == 2) {
            m.splitAt = 3;
            m.backToBack = true;
        } else if (kind == 3) {
            service->setReplyFilter([](const QByteArray &answer) { return answer + answer; });
        }
        service->setMisbehaviour(m);
        makeModule(fake.address());
        TempCurveDialog d(mod.get());
        shortPeriods(&d);
        twoCurves(&d);
        periods(&d)->setCurrentIndex(3);

        button(&d, "pushButton")->click();
        QVERIFY(d.isRunning());
        QCOMPARE(button(&d, "pushButton")->text(), QStringLiteral("停止"));
        QTRY_VERIFY_WITH_TIMEOUT(values(&d, 0).size() >= 3, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(service->streamCommands().value(0), streamOn(3), 10000);
        QCOMPARE(service->received().first(), twoCurveRequest);
        QVERIFY(d.isRunning());

        button(&d, "pushButton")->click();
        QVERIFY(!d.isRunning());
        QCOMPARE(button(&d, "pushButton")->text(), QStringLiteral("打开"));
        QTRY_COMPARE_WITH_TIMEOUT(service->streamCommands().value(1), streamOff(3), 10000);
        // CH1 PV and CH2 SV as the fake reports them; both samples of a frame share its time.
        const QVector<double> pv = values(&d, 0);
        QCOMPARE(pv, QVector<double>(pv.size(), 11.0));
        QCOMPARE(values(&d, 3), QVector<double>(pv.size(), 22.0));
        QCOMPARE(keys(&d, 3), keys(&d, 0));
        QVERIFY(values(&d, 1).isEmpty());
    }

    void oddFramesDropped()
    {
        FakeModule fake(QStringLiteral("127.0.0.72"));
        QVERIFY(fake.start());
        auto service = std::make_shared<FakeTempCurve>();
        QVERIFY(fake.addService(service));
        // An end byte inside a value cuts its frame in two: both pieces are dropped.
        service->setValue(0, 1, 0x5A);
        makeModule(fake.address());
        TempCurveDialog d(mod.get());
        shortPeriods(&d);
        twoCurves(&d);
        button(&d, "pushButton")->click();
        QTRY_VERIFY_WITH_TIMEOUT(service->requestCount() >= 4, 10000);
        QVERIFY(d.isRunning()); // the pieces were bytes from the module
        QVERIFY(values(&d, 0).isEmpty());
        QVERIFY(values(&d, 3).isEmpty());

        // Before each good frame: an empty one, a head alone, one with another count, and one
        // whose first sample names another curve.
        service->setValue(0, 1, 115);
        service->setReplyFilter([](const QByteArray &answer) {
            QByteArray otherCurve = answer;
            otherCurve[2] = char(9);
            return hex("5A A5 5A A5 01 00 0A 00 00 00 5A") + otherCurve + answer;
        });
        QTRY_VERIFY_WITH_TIMEOUT(values(&d, 0).size() >= 3, 10000);
        QCOMPARE(values(&d, 0), QVector<double>(values(&d, 0).size(), 11.5));
        QCOMPARE(values(&d, 3).size(), 2 * values(&d, 0).size());
        QVERIFY(d.isRunning());
        button(&d, "pushButton")->click();
    }

    // Bytes that never bring an end byte are let go, so the frames after them still count.
    void endlessGarbageIsLetGo()
    {
        FakeModule fake(QStringLiteral("127.0.0.77"));
        QVERIFY(fake.start());
        auto service = std::make_shared<FakeTempCurve>();
        QVERIFY(fake.addService(service));
        const int junk = TempCurveDialog::maxPending + 100;
        service->setReplyFilter([junk](const QByteArray &answer) { return QByteArray(junk, char(0x11)) + answer; });
        FakeMisbehaviour m;
        m.splitAt = junk;
        service->setMisbehaviour(m);
        makeModule(fake.address());
        TempCurveDialog d(mod.get());
        shortPeriods(&d);
        twoCurves(&d);
        button(&d, "pushButton")->click();
        QTRY_VERIFY_WITH_TIMEOUT(values(&d, 0).size() >= 2, 10000);
        QCOMPARE(values(&d, 3).value(0), 22.0);
        button(&d, "pushButton")->click();
    }

    // Any byte from the module is a sign of life, a whole frame or not.
    void anyByteKeepsTheRun()
    {
        FakeModule fake(QStringLiteral("127.0.0.78"));
        QVERIFY(fake.start());
        auto service = std::make_shared<FakeTempCurve>();
        QVERIFY(fake.addService(service));
        service->setReplyFilter([](const QByteArray &) { return hex("A5 02"); });
        makeModule(fake.address());
        TempCurveDialog d(mod.get());
        shortPeriods(&d);
        button(&d, "pushButton")->click();
        QVERIFY(d.isRunning());
        // Well past three periods.
        QTRY_VERIFY_WITH_TIMEOUT(service->requestCount() >= 8, 10000);
        QVERIFY(d.isRunning());
        QVERIFY(values(&d, 0).isEmpty());
        button(&d, "pushButton")->click();
        QVERIFY(!d.isRunning());
    }

    // Started and stopped at once on a module that greets the first link late: the curve
    // stream's switches still reach it in the order asked.
    void quickStartAndStopKeepsTheSwitchOrder()
    {
        FakeModule fake(QStringLiteral("127.0.0.79"));
        fake.setGreetingDelays({ 400, 0 });
        QVERIFY(fake.start());
        makeModule(fake.address());
        TempCurveDialog d(mod.get());
        shortPeriods(&d);
        periods(&d)->setCurrentIndex(3);
        button(&d, "pushButton")->click();
        QVERIFY(d.isRunning());
        // The switch-on link is in, its greeting still to come.
        QTRY_COMPARE_WITH_TIMEOUT(fake.connectionCount(FakeModule::CommandPort), 1, 5000);
        button(&d, "pushButton")->click();
        QVERIFY(!d.isRunning());
        QTRY_COMPARE_WITH_TIMEOUT(fake.commands().size(), 2, 10000);
        QCOMPARE(fake.commands(), (QList<QByteArray> { streamOn(3), streamOff(3) }));
    }

    void silenceEndsTheRun()
    {
        FakeModule fake(QStringLiteral("127.0.0.73"));
        QVERIFY(fake.start());
        auto service = std::make_shared<FakeTempCurve>();
        FakeMisbehaviour m;
        m.silent = true;
        service->setMisbehaviour(m);
        QVERIFY(fake.addService(service));
        makeModule(fake.address());
        TempCurveDialog d(mod.get());
        shortPeriods(&d);
        button(&d, "pushButton")->click();
        QVERIFY(d.isRunning());
        // A period chosen while running goes with the stream-off.
        periods(&d)->setCurrentIndex(2);
        QTRY_VERIFY_WITH_TIMEOUT(!d.isRunning(), 10000);
        QVERIFY(!button(&d, "pushButton")->isChecked());
        QCOMPARE(button(&d, "pushButton")->text(), QStringLiteral("打开"));
        QTRY_COMPARE_WITH_TIMEOUT(service->streamCommands(), QList<QByteArray>({ streamOn(0), streamOff(2) }), 10000);
        // Each of the three silent periods sent its request; the third ended the run.
        QCOMPARE(service->received(), QList<QByteArray>({ hex("A5 5A"), hex("A5 5A"), hex("A5 5A") }));

        // One click starts the next run.
        button(&d, "pushButton")->click();
        QVERIFY(d.isRunning());
        QVERIFY(button(&d, "pushButton")->isChecked());
        QCOMPARE(button(&d, "pushButton")->text(), QStringLiteral("停止"));
    }

    // Another program holds the local curve port: the window names the port and the system's
    // reason, in the user's language.
    void portInUseStartsNoRun_data()
    {
        QTest::addColumn<QString>("translation");
        QTest::addColumn<QString>("text");
        QTest::newRow("Chinese") << QString() << QString::fromUtf8("本地UDP端口%1不可用：%2");
        QTest::newRow("English") << ":/res/language/en_US.qm"
                                 << "Local UDP port %1 is not available: %2";
    }
    void portInUseStartsNoRun()
    {
        QFETCH(QString, translation);
        QFETCH(QString, text);
        TestSupport::Language language(translation);
        FakeModule fake(QStringLiteral("127.0.0.74"));
        QVERIFY(fake.start());
        const quint16 port = Endpoints::current().tempLocalPort;
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress::AnyIPv4, port));
        // What the system says to anyone else binding it.
        QUdpSocket second;
        QVERIFY(!second.bind(QHostAddress::AnyIPv4, port));
        QVERIFY(!second.errorString().isEmpty());
        makeModule(fake.address());
        TempCurveDialog d(mod.get());
        PromptRecorder prompts;
        button(&d, "pushButton")->click();
        QVERIFY(!d.isRunning());
        QVERIFY(!button(&d, "pushButton")->isChecked());
        QCOMPARE(button(&d, "pushButton")->text(), QCoreApplication::translate("TempCurveDialog", "开始监控"));
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.lastText(), text.arg(port).arg(second.errorString()));
    }

    // A module address that is no address is said as such, not as a port.
    void badAddressStartsNoRun()
    {
        makeModule(QStringLiteral("127.0.0.256"));
        TempCurveDialog d(mod.get());
        PromptRecorder prompts;
        button(&d, "pushButton")->click();
        QVERIFY(!d.isRunning());
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.lastText(), QString::fromUtf8("地址无效"));
    }

    void serialPortMissingStartsNoRun()
    {
        mod.reset(new module("RVT-C800", "RVT"));
        mod->connType = modulebase::CONNEST_COM;
        mod->comstr = dir->filePath("/no-such-tty");
        TempCurveDialog d(mod.get());
        PromptRecorder prompts;
        button(&d, "pushButton")->click();
        QVERIFY(!d.isRunning());
        QVERIFY(!button(&d, "pushButton")->isChecked());
        QVERIFY2(prompts.lastText().startsWith(QString::fromUtf8("串口%1不存在：").arg(mod->comstr)),
            qPrintable(prompts.lastText()));
    }

    // A module no scan reached (read from a project) has no link: the run stands for three
    // periods and ends as a silent one.
    void noLinkRunEndsAsSilent()
    {
        mod.reset(new module("RVT-C800", "RVT"));
        TempCurveDialog d(mod.get());
        shortPeriods(&d);
        QElapsedTimer clock;
        clock.start();
        button(&d, "pushButton")->click();
        QVERIFY(d.isRunning());
        QCOMPARE(button(&d, "pushButton")->text(), QStringLiteral("停止"));
        QTRY_VERIFY_WITH_TIMEOUT(!d.isRunning(), 10000);
        QVERIFY(clock.elapsed() >= 250);
        QVERIFY(!button(&d, "pushButton")->isChecked());
        QCOMPARE(button(&d, "pushButton")->text(), QStringLiteral("打开"));
    }

    // The page's curve button: one window at a time, hidden with the page, deleted once by Qt when
    // the user closes it, and the module's stream switched off on the way.
    void pageOpensAndForgetsTheWindow()
    {
        FakeModule fake(QStringLiteral("127.0.0.75"));
        QVERIFY(fake.start());
        auto service = std::make_shared<FakeTempCurve>();
        QVERIFY(fake.addService(service));
        QMainWindow main;
        makeModule(fake.address());
        QVERIFY(page());
        QPushButton *curves = button(page(), "pushButton");
        QVERIFY(!curves->isHidden());
        curves->click();
        QPointer<TempCurveDialog> d = qobject_cast<TempCurveDialog *>(page()->curveDialog.data());
        QVERIFY(d);
        QCOMPARE(d->parentWidget(), &main);
        QVERIFY(d->testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(d->isVisible());
        QVERIFY(!curves->isEnabled());

        page()->resetPage();
        QVERIFY(!d->isVisible());
        page()->updatePage();
        QVERIFY(curves->isEnabled());
        curves->click();
        QCOMPARE(page()->curveDialog.data(), d.data());
        QVERIFY(d->isVisible());
        QVERIFY(!curves->isEnabled());

        shortPeriods(d);
        twoCurves(d);
        button(d, "pushButton")->click();
        QTRY_VERIFY_WITH_TIMEOUT(values(d, 0).size() >= 1, 10000);
        QSignalSpy closed(d.data(), &TempCurveDialog::closeDialog);
        d->close();
        QCOMPARE(closed.count(), 1);
        QVERIFY(!d->isRunning());
        QVERIFY(!page()->curveDialog);
        QVERIFY(curves->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(d.isNull(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(service->streamCommands().value(1), streamOff(0), 10000);

        curves->click();
        QVERIFY(page()->curveDialog);
        page()->curveDialog->close();
    }

    void moduleGoneStopsTheRun()
    {
        FakeModule fake(QStringLiteral("127.0.0.76"));
        QVERIFY(fake.start());
        auto service = std::make_shared<FakeTempCurve>();
        QVERIFY(fake.addService(service));
        QMainWindow main;
        makeModule(fake.address());
        button(page(), "pushButton")->click();
        QPointer<TempCurveDialog> d = qobject_cast<TempCurveDialog *>(page()->curveDialog.data());
        QVERIFY(d);
        shortPeriods(d);
        twoCurves(d);
        button(d, "pushButton")->click();
        QTRY_VERIFY_WITH_TIMEOUT(values(d, 0).size() >= 1, 10000);
        mod.reset();
        QVERIFY(d.isNull());
        QTRY_COMPARE_WITH_TIMEOUT(service->streamCommands().value(1), streamOff(0), 10000);
    }

    void noMainWindowNoWindow()
    {
        makeModule("127.0.0.1");
        button(page(), "pushButton")->click();
        QVERIFY(!page()->curveDialog);
        QVERIFY(button(page(), "pushButton")->isEnabled());
    }
};

RIVUDO_TEST_MAIN(TestTempCurve)
#include "tst_tempcurve.moc"
