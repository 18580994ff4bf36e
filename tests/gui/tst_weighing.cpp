#include "fakeiolinkmaster.h"
#include "fakeweighing.h"
#include "iolink_module.h"
#include "iolinkportsetframe_ctrl.h"
#include "module.h"
#include "modulebase.h"
#include "plugframe.h"
#include "promptrecorder.h"
#include "serialpeer.h"
#include "serialportregistry.h"
#include "testsupport.h"
#include "weigh_form.h"
#include "weighcommand.h"
#include "weighing_factory_calibform.h"
#include "weighingconfig.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSet>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTimer>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QByteArray be32(quint32 v)
{
    return WeighCodec::bigEndian32(v);
}

// A reply of a weighing module as it comes on the wire: the frame and its separator.
QByteArray wireReply(int command, const QByteArray &payload)
{
    return PlugFrame::build(PlugFrame::typeWeigh, command, payload) + char(PlugFrame::split);
}

QByteArray request(int command, const QByteArray &payload)
{
    return WeighCodec::onWire(WeighCodec::request(command, payload));
}

// A weighing module reached over the serial port at port.
struct SerialScale : modulebase
{
    explicit SerialScale(const QString &port)
        : modulebase("RV-WT2", "RVW")
    {
        connType = CONNEST_COM;
        comstr = port;
    }
};

template <class T> T *child(QObject *parent, const char *name)
{
    return TestSupport::child<T>(parent, name);
}

} // namespace

class TestWeighing : public QObject
{
    Q_OBJECT

private slots:
    void encodings_data()
    {
        QTest::addColumn<bool>("zeroRange");
        QTest::addColumn<double>("value");
        QTest::addColumn<quint32>("tenths");
        QTest::newRow("zero range 12.3 %") << true << 12.3 << 123u;
        QTest::newRow("zero range 100 %") << true << 100.0 << 1000u;
        QTest::newRow("capacity 500") << false << 500.0 << 5000u;
        QTest::newRow("weight 0.1") << false << 0.1 << 1u;
        QTest::newRow("weight 999999.9") << false << 999999.9 << 9999999u;
        QTest::newRow("weight 0") << false << 0.0 << 0u;
    }
    void encodings()
    {
        QFETCH(bool, zeroRange);
        QFETCH(double, value);
        QFETCH(quint32, tenths);
        QCOMPARE(zeroRange ? WeighCodec::zeroRangeTenths(value) : WeighCodec::weightTenths(value), tenths);
    }

    void replies_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("channel");
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("result") << PlugFrame::build(0x14, 0x10, hex("01 01")) << true << 0x10 << 1 << hex("01");
        QTest::newRow("weights") << PlugFrame::build(0x14, 0x00, hex("00") + QByteArray(12, 'x')) << true << 0 << 0
                                 << QByteArray(12, 'x');
        QTest::newRow("under ten bytes") << PlugFrame::build(0x14, 0x10, QByteArray()) << false << 0 << 0
                                         << QByteArray();
        QTest::newRow("IO-Link type") << PlugFrame::build(0x15, 0x10, hex("00 01")) << false << 0 << 0 << QByteArray();
        QByteArray bad = PlugFrame::build(0x14, 0x10, hex("00 01"));
        bad[6] = 3;
        QTest::newRow("length disagrees") << bad << false << 0 << 0 << QByteArray();
    }
    void replies()
    {
        QFETCH(QByteArray, frame);
        QFETCH(bool, accepted);
        int command = -1;
        int channel = -1;
        QByteArray data;
        QCOMPARE(WeighCodec::splitReply(frame, &command, &channel, &data), accepted);
        if (accepted) {
            QTEST(command, "command");
            QTEST(channel, "channel");
            QTEST(data, "data");
        }
    }

    // Every request of the channel panel, as the user makes it on channel 1 (channel byte 1).
    void panelRequests_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("tare") << "pushButton_set_tare" << WeighCodec::request(0x10, hex("01 01"));
        QTest::newRow("clear tare") << "pushButton_clr_tare" << WeighCodec::request(0x10, hex("01 00"));
        QTest::newRow("zero set") << "pushButton_zeroset" << WeighCodec::request(0x20, hex("01 02") + be32(123));
        QTest::newRow("sampling") << "pushButton_sample" << WeighCodec::request(0x30, hex("01 03 01"));
        QTest::newRow("zero calibration") << "pushButton_zerocorrection" << WeighCodec::request(0x40, hex("01"));
        QTest::newRow("free calibration")
            << "pushButton_free_cali" << WeighCodec::request(0x50, hex("01") + be32(5000) + be32(20));
        QTest::newRow("point 1") << "pushButton_calib1" << WeighCodec::request(0x60, hex("01") + be32(1));
        QTest::newRow("point 4") << "pushButton__calib4" << WeighCodec::request(0x63, hex("01") + be32(9999999));
        QTest::newRow("end") << "pushButton_end" << WeighCodec::request(0x64, hex("01"));
    }
    void panelRequests()
    {
        QFETCH(QString, action);
        QFETCH(QByteArray, frame);
        modulebase owner("RV-WT2", "RVW");
        weighingconfig panel(1, &owner);
        panel.setConnected(true);
        child<QComboBox>(&panel, "comboBox_powerset")->setCurrentIndex(2);
        child<QDoubleSpinBox>(&panel, "doubleSpinBox")->setValue(12.3);
        child<QComboBox>(&panel, "comboBox_filter")->setCurrentIndex(3);
        child<QComboBox>(&panel, "comboBox_unit")->setCurrentIndex(1);
        child<QDoubleSpinBox>(&panel, "doubleSpinBox_cap")->setValue(500.0);
        child<QDoubleSpinBox>(&panel, "doubleSpinBox_sensitivity")->setValue(2.0);
        child<QDoubleSpinBox>(&panel, "doubleSpinBox_calib1")->setValue(0.1);
        child<QDoubleSpinBox>(&panel, "doubleSpinBox_calib4")->setValue(999999.9);
        child<QGroupBox>(&panel, "groupBox_cailb")->setChecked(true);
        child<QCheckBox>(&panel, "checkBox_calib4")->setChecked(true);
        QList<QByteArray> sent;
        connect(&panel, &weighingconfig::weighSendMessage, this, [&sent](QByteArray &f) { sent << f; });
        child<QPushButton>(&panel, action.toLatin1().constData())->click();
        QCOMPARE(sent, QList<QByteArray> { frame });
    }

    void panelReplies_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("taken");
        QTest::addColumn<QString>("line");
        QTest::newRow("tare ok") << 0x10 << hex("01") << 1 << QString::fromUtf8("去皮/清皮成功");
        QTest::newRow("free calibration failed") << 0x50 << hex("00") << 1 << QString::fromUtf8("免标定标定 失败");
        QTest::newRow("point 3 ok") << 0x62 << hex("05") << 1 << QString::fromUtf8("保存标定3 成功");
        QTest::newRow("end failed") << 0x64 << hex("00") << 1 << QString::fromUtf8("标定失败");
        QTest::newRow("wrong size") << 0x20 << hex("01 01") << 0 << QString();
        QTest::newRow("unknown command") << 0x77 << hex("01") << 0 << QString();
        QTest::newRow("0xFF") << 0xFF << hex("01") << 1 << QString();
    }
    void panelReplies()
    {
        QFETCH(int, command);
        QFETCH(QByteArray, data);
        QFETCH(int, taken);
        QFETCH(QString, line);
        modulebase owner("RV-WT2", "RVW");
        weighingconfig panel(0, &owner);
        QCOMPARE(panel.dispatchReply(command, data), taken);
        QCOMPARE(child<QTextBrowser>(&panel, "textBrowser")->toPlainText(), line);
    }

    void weightsAreSigned()
    {
        modulebase owner("RV-WT2", "RVW");
        weighingconfig panel(0, &owner);
        QCOMPARE(panel.dispatchReply(0x00, QByteArray(11, '\0')), 0);
        QCOMPARE(panel.dispatchReply(0x00, be32(12345) + be32(45) + be32(0xFFFFFFF6) + hex("99")), 1);
        QCOMPARE(child<QLineEdit>(&panel, "lineEdit_gross")->text(), QString("1234.5"));
        QCOMPARE(child<QLineEdit>(&panel, "lineEdit_tare")->text(), QString("4.5"));
        QCOMPARE(child<QLineEdit>(&panel, "lineEdit_net")->text(), QString("-1.0"));
    }

    void calibrationRows()
    {
        modulebase owner("RV-WT2", "RVW");
        weighingconfig panel(0, &owner);
        panel.setConnected(true);
        child<QGroupBox>(&panel, "groupBox_cailb")->setChecked(true);
        auto *box2 = child<QCheckBox>(&panel, "checkBox_calib2");
        auto *box3 = child<QCheckBox>(&panel, "checkBox_calib3");
        auto *box4 = child<QCheckBox>(&panel, "checkBox_calib4");
        auto *save3 = child<QPushButton>(&panel, "pushButton__calib3");
        auto *save4 = child<QPushButton>(&panel, "pushButton__calib4");
        // Higher rows can be switched on first; unchecking a lower row clears the higher ones.
        box4->setChecked(true);
        QVERIFY(save4->isEnabled());
        box2->setChecked(true);
        box3->setChecked(true);
        QVERIFY(save3->isEnabled());
        box2->setChecked(false);
        QVERIFY(!box3->isChecked() && !box4->isChecked());
        QVERIFY(!save3->isEnabled() && !save4->isEnabled());
        // The unit follows the choice in the calibration rows only.
        child<QComboBox>(&panel, "comboBox_unit")->setCurrentIndex(1);
        QCOMPARE(child<QLabel>(&panel, "label_12")->text(), QString("G"));
        QCOMPARE(child<QLabel>(&panel, "label_capunit")->text(), QString("Kg"));
        // The two calibration groups exclude each other on the user's click.
        child<QGroupBox>(&panel, "groupBox_freecali")->setChecked(true);
        emit child<QGroupBox>(&panel, "groupBox_freecali")->clicked(true);
        QVERIFY(!child<QGroupBox>(&panel, "groupBox_cailb")->isChecked());
    }

    // Against a weighing module on a serial peer: poll, weights, queued commands, lost link.
    void pageOnTheSerialLink()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        auto device = std::make_shared<FakeWeighing>();
        device->setGross(0, 1000);
        device->setGross(1, -25);
        peer.addDevice(device);
        SerialScale owner(peer.portName());
        Weigh_Form page;
        page.attachModule(&owner);
        page.show();
        weighingconfig *panel0 = page.channelMap.value(0);
        weighingconfig *panel1 = page.channelMap.value(1);
        QVERIFY(panel0 && panel1);
        auto *button = child<QPushButton>(&page, "pushButton_conset");
        button->click();
        // The first poll leaves at once, before any tick.
        QVERIFY(peer.received().isEmpty() || peer.received().startsWith(request(0x00, hex("00"))));
        QTRY_COMPARE_WITH_TIMEOUT(child<QLineEdit>(panel0, "lineEdit_net")->text(), QString("100.0"), 5000);
        QCOMPARE(button->text(), QString::fromUtf8("连接成功"));
        QVERIFY(peer.received().startsWith(request(0x00, hex("00"))));

        // Panel commands go out on the following ticks, in the order made.
        child<QComboBox>(panel0, "comboBox_filter")->setCurrentIndex(2);
        child<QComboBox>(panel0, "comboBox_unit")->setCurrentIndex(2);
        child<QPushButton>(panel0, "pushButton_set_tare")->click();
        child<QPushButton>(panel0, "pushButton_sample")->click();
        // Weight calibration lives in its group, usable once the user checks it.
        child<QGroupBox>(panel0, "groupBox_cailb")->setChecked(true);
        child<QPushButton>(panel0, "pushButton_zerocorrection")->click();
        QTRY_COMPARE_WITH_TIMEOUT(child<QTextBrowser>(panel0, "textBrowser")->toPlainText(),
            QString::fromUtf8("去皮/清皮成功\n设置采用参数成功\n设置零点校准成功"), 5000);
        QCOMPARE(device->tare(0), 1000);
        QCOMPARE(device->filter(0), 2);
        QCOMPARE(device->unit(0), 2);
        QTRY_COMPARE_WITH_TIMEOUT(child<QLineEdit>(panel0, "lineEdit_net")->text(), QString("0.0"), 5000);

        // The visible tab decides the polled channel; a net weight below zero shows negative.
        page.findChild<QTabWidget *>("tabWidget")->setCurrentIndex(1);
        QTRY_COMPARE_WITH_TIMEOUT(child<QLineEdit>(panel1, "lineEdit_net")->text(), QString("-2.5"), 5000);

        // Silence: the link is taken down after six unanswered frames, and the port is free again.
        FakeMisbehaviour quiet;
        quiet.silent = true;
        device->setMisbehaviour(quiet);
        QTRY_COMPARE_WITH_TIMEOUT(button->text(), QString::fromUtf8("重新连接"), 5000);
        QCOMPARE(page.timerId, -1);
        QVERIFY(page.uart == nullptr);
        QVERIFY(!child<QPushButton>(panel0, "pushButton_set_tare")->isEnabled());
        QTRY_VERIFY(!SerialPortRegistry::instance().isHeld(peer.portName()));
        // Two clicks link again: the first unchecks the button that stayed checked.
        QVERIFY(button->isChecked());
        button->click();
        QVERIFY(!button->isChecked());
    }

    // The port held by another program when the page links: the page says which port and why at
    // once, each tick that cannot write counts as unanswered, so the link goes down on the
    // seventh; once the port is free, the user links again (two clicks, as after any loss).
    void portHeldWhenLinking()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        auto device = std::make_shared<FakeWeighing>();
        device->setGross(0, 1000);
        peer.addDevice(device);
        SerialScale owner(peer.portName());
        QSerialPort other(peer.portName());
        QVERIFY(other.open(QIODevice::ReadWrite));
        PromptRecorder prompts;
        Weigh_Form page;
        page.attachModule(&owner);
        page.show();
        auto *button = child<QPushButton>(&page, "pushButton_conset");
        auto *problem = child<QLabel>(&page, "label_problem");
        button->click();
        QVERIFY(page.timerId >= 0);
        const QString said = QString::fromUtf8("串口%1被占用或无权访问：").arg(peer.portName());
        QVERIFY2(problem->text().startsWith(said), qPrintable(problem->text()));
        QVERIFY(problem->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(button->text(), QString::fromUtf8("重新连接"), 5000);
        QVERIFY(problem->text().startsWith(said));
        QVERIFY(!child<QPushButton>(page.channelMap.value(0), "pushButton_set_tare")->isEnabled());
        QVERIFY(peer.received().isEmpty());
        QCOMPARE(prompts.messages.size(), 0);
        other.close();
        button->click();
        button->click();
        QTRY_COMPARE_WITH_TIMEOUT(
            child<QLineEdit>(page.channelMap.value(0), "lineEdit_net")->text(), QString("100.0"), 5000);
        QCOMPARE(button->text(), QString::fromUtf8("连接成功"));
        QVERIFY(!problem->isVisible());
    }

    // One frame leaves per tick whatever the module does: bytes that make no frame keep the link
    // up (any byte is an answer), and silence takes it down on the seventh tick, after the frame
    // written at the click and six ticks' frames, with the reason on the page.
    void paceAndSilence_data()
    {
        QTest::addColumn<bool>("noise");
        QTest::newRow("noise only") << true;
        QTest::newRow("silence") << false;
    }
    void paceAndSilence()
    {
        QFETCH(bool, noise);
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        SerialScale owner(peer.portName());
        Weigh_Form page;
        page.attachModule(&owner);
        page.show();
        auto *button = child<QPushButton>(&page, "pushButton_conset");
        QTimer noiseTimer;
        noiseTimer.setInterval(50);
        connect(&noiseTimer, &QTimer::timeout, [&peer] { peer.send(hex("00 11 5A")); });
        const QByteArray poll = request(0x00, hex("00"));
        QElapsedTimer clock;
        clock.start();
        button->click();
        if (!noise) {
            QTRY_COMPARE_WITH_TIMEOUT(button->text(), QString::fromUtf8("重新连接"), 5000);
            QVERIFY2(clock.elapsed() >= 550, QByteArray::number(clock.elapsed()));
            QTRY_COMPARE_WITH_TIMEOUT(peer.received().count(poll), 7, 5000);
            QCOMPARE(child<QLabel>(&page, "label_problem")->text(),
                QString::fromUtf8("串口%1上的模块无应答").arg(peer.portName()));
            return;
        }
        noiseTimer.start();
        QTRY_COMPARE_WITH_TIMEOUT(button->text(), QString::fromUtf8("连接成功"), 5000);
        const int before = peer.received().count(poll);
        clock.restart();
        QTest::qWait(2000);
        const int frames = peer.received().count(poll) - before;
        const qint64 took = clock.elapsed();
        // Ten a second; three a second when each frame waited for a reply that never came.
        QVERIFY2(frames >= int(took / 100) - 6 && frames <= int(took / 100) + 1, qPrintable(QString::number(frames)));
        QCOMPARE(button->text(), QString::fromUtf8("连接成功"));
        QVERIFY(page.timerId >= 0);
    }

    // The module unplugged while a weighing page is linked: the ticks that cannot write count as
    // unanswered, the link goes down within the loss time, and the page says which port and why,
    // on the weighing page and the factory page alike. Once the port is back, the user links
    // again: one click on the factory page, two on the weighing page whose button stays checked.
    void moduleUnplugged_data()
    {
        QTest::addColumn<bool>("factory");
        QTest::newRow("weighing page") << false;
        QTest::newRow("factory page") << true;
    }
    void moduleUnplugged()
    {
        QFETCH(bool, factory);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("scale"));
        auto peer = std::make_unique<SerialPeer>();
        QVERIFY(peer->isOpen());
        QVERIFY(QFile::link(peer->portName(), path));
        peer->addDevice(std::make_shared<FakeWeighing>());
        SerialScale owner(path);
        std::unique_ptr<WeighLinkPage> page;
        if (factory)
            page.reset(new weighing_Factory_calibForm);
        else
            page.reset(new Weigh_Form);
        page->attachModule(&owner);
        page->show();
        if (factory)
            page->resetPage();
        auto *button = child<QPushButton>(page.get(), factory ? "pushButton" : "pushButton_conset");
        auto *problem = child<QLabel>(page.get(), "label_problem");
        button->click();
        QTRY_COMPARE_WITH_TIMEOUT(button->text(), QString::fromUtf8("连接成功"), 5000);
        QElapsedTimer clock;
        clock.start();
        peer.reset();
        // Unplugged, the adapter's link goes too: the dead terminal's number may soon be another's.
        QFile::remove(path);
        QTRY_COMPARE_WITH_TIMEOUT(button->text(), QString::fromUtf8("重新连接"), 5000);
        QVERIFY2(clock.elapsed() < 3000, QByteArray::number(clock.elapsed()));
        QVERIFY2(problem->text().startsWith(QString::fromUtf8("串口%1").arg(path))
                && problem->text().contains(QString::fromUtf8("：")),
            qPrintable(problem->text()));
        QVERIFY(problem->isVisible());
        QVERIFY(page->uart == nullptr);
        if (!factory)
            QVERIFY(
                !child<QPushButton>(static_cast<Weigh_Form *>(page.get())->channelMap.value(0), "pushButton_set_tare")
                     ->isEnabled());

        peer = std::make_unique<SerialPeer>();
        QVERIFY(peer->isOpen());
        peer->addDevice(std::make_shared<FakeWeighing>());
        QVERIFY(QFile::link(peer->portName(), path));
        QCOMPARE(button->isChecked(), !factory);
        if (!factory)
            button->click();
        QVERIFY(!button->isChecked());
        button->click();
        QTRY_COMPARE_WITH_TIMEOUT(button->text(), QString::fromUtf8("连接成功"), 5000);
        QVERIFY(!problem->isVisible());
    }

    // A weighing page and the IO-Link link of one coupler poll side by side while the module
    // answers late and out of order: each reply lands on the page it names, and nothing else.
    void sideBySideWithIoLink()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        FakeMisbehaviour jitter;
        jitter.jitterMs = 150;
        jitter.seed = 11;
        auto scale = std::make_shared<FakeWeighing>();
        scale->setGross(0, 1000);
        scale->setMisbehaviour(jitter);
        auto master = std::make_shared<FakeIoLinkMaster>();
        jitter.seed = 12;
        master->setMisbehaviour(jitter);
        peer.addDevice(scale);
        peer.addDevice(master);
        module coupler("CPL", "FAM");
        coupler.connType = modulebase::CONNEST_COM;
        coupler.comstr = peer.portName();
        Weigh_Form page;
        page.attachModule(&coupler);
        page.show();
        IoLink_Module *link = IoLink_Module::instance();
        link->setModule(&coupler);
        IoLinkPortSetFrame_Ctrl portSet;
        portSet.port = 1;
        link->registerFrame(&portSet);
        child<QPushButton>(&page, "pushButton_conset")->click();
        QTimer ioLinkAsks;
        connect(&ioLinkAsks, &QTimer::timeout, [link] { link->sendCommand(IOLINK_GET_PORT, hex("01")); });
        ioLinkAsks.start(100);
        auto *log = child<QTextEdit>(&portSet, "textEditInfo");
        QTRY_VERIFY_WITH_TIMEOUT(log->toPlainText().count('\n') >= 40, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(scale->requests().size() >= 60, 30000);
        ioLinkAsks.stop();
        IoLink_Module::deleteInstance();
        QCOMPARE(child<QLineEdit>(page.channelMap.value(0), "lineEdit_net")->text(), QString("100.0"));
        QCOMPARE(child<QPushButton>(&page, "pushButton_conset")->text(), QString::fromUtf8("连接成功"));
        // No reply made a line on the weighing panels, and every IO-Link line is a port read.
        for (weighingconfig *panel : qAsConst(page.channelMap))
            QCOMPARE(child<QTextBrowser>(panel, "textBrowser")->toPlainText(), QString());
        for (const QString &line : log->toPlainText().split('\n'))
            QVERIFY2(line.endsWith(QString::fromUtf8("读取端口参数成功!")), qPrintable(line));
    }

    void pageWithoutSerialLink()
    {
        PromptRecorder prompts;
        modulebase owner("RV-WT2", "RVW");
        owner.connType = modulebase::CONNEST_NET;
        Weigh_Form page;
        page.attachModule(&owner);
        auto *button = child<QPushButton>(&page, "pushButton_conset");
        button->click();
        QCOMPARE(page.timerId, -1);
        QVERIFY(!button->isChecked());
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.first().text, QString::fromUtf8("称重需要串口连接"));
    }

    void replyForUnknownChannel()
    {
        modulebase owner("RV-WT2", "RVW");
        Weigh_Form page;
        page.attachModule(&owner);
        QCOMPARE(page.dispatchFrame(PlugFrame::build(0x14, 0x10, hex("02 01"))), 0);
        QCOMPARE(page.channelMap.size(), 2);
    }

    void factoryLevels()
    {
        modulebase owner("RV-WT2", "RVW");
        weighing_Factory_calibForm page;
        page.attachModule(&owner);
        const char *ch2[] = { "pushButton2_0V", "pushButton2_10mv", "pushButton2_20mv", "pushButton2_30mv" };
        for (const char *name : ch2) {
            auto *b = child<QPushButton>(&page, name);
            QVERIFY2(b->isEnabled(), name);
            b->click();
            b->click();
        }
        auto *end = child<QPushButton>(&page, "pushButton2_end");
        QVERIFY(end->isEnabled());
        end->click();
        QCOMPARE(child<QPushButton>(&page, "pushButton2_30mv")->text(), QString::fromUtf8("3KG输入关闭"));
        QList<QByteArray> expected;
        for (int value : { 0, 10, 20, 30 })
            expected << WeighCodec::request(0x81, hex("01") + be32(quint32(value)));
        expected << hex("A5 14 8F 00 00 00 02 01 01 FE B4");
        QCOMPARE(page.sendQueue, expected);

        page.sendQueue.clear();
        auto *first = child<QPushButton>(&page, "pushButtonch1_10mV");
        QVERIFY(!first->isEnabled());
        child<QPushButton>(&page, "pushButtonch1_0V")->click();
        child<QPushButton>(&page, "pushButtonch1_0V")->click();
        first->click();
        QCOMPARE(page.sendQueue,
            (QList<QByteArray> {
                WeighCodec::request(0x81, hex("00") + be32(0)), hex("A5 14 81 00 00 00 05 00 00 00 03 E8 FD D6") }));
    }

    void factoryOnTheSerialLink()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        const QByteArray poll = request(0x80, hex("00"));
        QCOMPARE(poll.mid(1), hex("A5 14 80 00 00 00 01 00 FE C6"));
        peer.addReply(poll, wireReply(0x80, be32(0xFFFFFFFF) + be32(25)));
        SerialScale owner(peer.portName());
        weighing_Factory_calibForm page;
        page.attachModule(&owner);
        page.show();
        page.resetPage();
        auto *button = child<QPushButton>(&page, "pushButton");
        QCOMPARE(button->text(), QString::fromUtf8("打开"));
        button->click();
        QVERIFY(peer.received().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(child<QLineEdit>(&page, "lineEditch1_0V")->text(), QString("429496729.5"), 5000);
        QCOMPARE(child<QLineEdit>(&page, "lineEditch2_0V")->text(), QString("2.5"));
        QCOMPARE(button->text(), QString::fromUtf8("连接成功"));
        // Hiding the page takes the link down and frees the port.
        page.hide();
        QCOMPARE(button->text(), QString::fromUtf8("打开"));
        QVERIFY(!button->isChecked());
        QVERIFY(page.uart == nullptr);
    }

    // The fake's raw values move from one answer to the next and, shown by the real page, stay
    // within their swing and inside the 32 bits the page shows, even next to either end.
    void factoryRawValuesMove_data()
    {
        QTest::addColumn<quint32>("first");
        QTest::addColumn<quint32>("second");
        QTest::addColumn<quint32>("swing");
        // Otherwise the fake as it starts, which these centres and swing describe.
        QTest::addColumn<bool>("set");
        QTest::newRow("as the fake starts") << 1234u << 2345u << 5u << false;
        QTest::newRow("next to zero") << 0u << 1u << 2u << true;
        QTest::newRow("next to the top") << 0xFFFFFFFFu << 0xFFFFFFFEu << 2u << true;
    }
    void factoryRawValuesMove()
    {
        QFETCH(quint32, first);
        QFETCH(quint32, second);
        QFETCH(quint32, swing);
        QFETCH(bool, set);
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        auto device = std::make_shared<FakeWeighing>();
        if (set) {
            device->setRawValues(first, second);
            device->setRawSwing(swing);
        }
        peer.addDevice(device);
        SerialScale owner(peer.portName());
        weighing_Factory_calibForm page;
        page.attachModule(&owner);
        page.show();
        page.resetPage();
        QStringList shown[2];
        const char *const fields[] = { "lineEditch1_0V", "lineEditch2_0V" };
        for (int ch = 0; ch < 2; ++ch)
            connect(child<QLineEdit>(&page, fields[ch]), &QLineEdit::textChanged,
                [&shown, ch](const QString &text) { shown[ch] << text; });
        child<QPushButton>(&page, "pushButton")->click();
        // Enough answers for both channels to reach both ends of the swing.
        const int answers = int(4 * swing) + 2;
        QTRY_VERIFY_WITH_TIMEOUT(shown[0].size() >= answers && shown[1].size() >= answers, 30000);
        page.resetPage();
        const quint32 centres[] = { first, second };
        for (int ch = 0; ch < 2; ++ch) {
            const qint64 low = qMax<qint64>(0, qint64(centres[ch]) - swing);
            const qint64 high = qMin<qint64>(0xFFFFFFFFLL, qint64(centres[ch]) + swing);
            QSet<qint64> values;
            for (const QString &text : qAsConst(shown[ch])) {
                // One decimal, fixed notation: the tenths are the raw value.
                QVERIFY2(QRegularExpression(QStringLiteral("^\\d+\\.\\d$")).match(text).hasMatch(), qPrintable(text));
                const qint64 raw = QString(text).remove(QLatin1Char('.')).toLongLong();
                QVERIFY2(raw >= low && raw <= high,
                    qPrintable(QStringLiteral("%1 outside %2..%3").arg(text).arg(low).arg(high)));
                values.insert(raw);
            }
            // Moving, and reaching both ends of what the 32 bits allow.
            QVERIFY2(values.size() > 2, qPrintable(shown[ch].join(QLatin1Char(' '))));
            QVERIFY2(values.contains(low) && values.contains(high), qPrintable(shown[ch].join(QLatin1Char(' '))));
        }
    }
};

RIVUDO_TEST_MAIN(TestWeighing)
#include "tst_weighing.moc"
