#include "ctrlshowline.h"
#include "devicerequest.h"
#include "fakemodule.h"
#include "module.h"
#include "pagelookup.h"
#include "promptrecorder.h"
#include "regshowline.h"
#include "stateshowform.h"
#include "tcpthread.h"
#include "tempctl_manual_dialog.h"
#include "tempctldebugblocks.h"
#include "tempctlform.h"
#include "tempctrlregdialog.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTableWidget>

using TestSupport::child;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

const QByteArray statusRequest = hex("55 13 13 00 00 00 00");
const QByteArray debugHeader = hex("43 13 14 00 00 00 80");

// Channel 1 in manual mode with every field set; channel 2 with a mode and an identification
// state that have no text; the rest zero.
TempCtlStatusBlock sampleStatus()
{
    TempCtlStatusBlock s;
    TempCtlStatusBlock::Channel &c = s.channels[0];
    c.mode = 0x32; // only the low four bits count: manual
    c.statusReg = 0x0005;
    c.ctrlReg = 0x00F5;
    c.pHundredths = 150;
    c.iHundredths = 10000;
    c.dHundredths = 1;
    c.targetTenths = 250;
    c.actualTenths = 231;
    c.identState = 0x14;
    c.identPHundredths = 12345;
    c.identIHundredths = 7;
    c.outputTenths = 65535;
    s.channels[1].mode = 7;
    s.channels[1].identState = 9;
    return s;
}

// What the debug table holds once seeded from sampleStatus().
TempCtlDebugBlock seededBlock(quint16 enable)
{
    TempCtlDebugBlock b;
    for (TempCtlDebugBlock::Channel &c : b.channels)
        c.debugEnable = enable;
    b.channels[0] = { enable, 2, 0x05, 150, 10000, 1, 250, 0 };
    b.channels[1].mode = 7;
    return b;
}

QList<QByteArray> withHead(const QList<QByteArray> &datagrams, char head)
{
    QList<QByteArray> out;
    for (const QByteArray &d : datagrams) {
        if (d.startsWith(head))
            out << d;
    }
    return out;
}

// A temperature controller reached over the network, answering on a fake module.
struct Rig
{
    explicit Rig(const char *address, modulebase::CONNEST_TYPE type = modulebase::CONNEST_NET)
        : fake(QString::fromLatin1(address))
        , owner(std::make_unique<module>("RVT-C800", "RVT"))
    {
        owner->connType = type;
        owner->ipAddress = fake.address();
    }

    QList<QByteArray> reads() const { return withHead(fake.datagrams(), 0x55); }
    QList<QByteArray> writes() const { return withHead(fake.datagrams(), 0x43); }

    FakeModule fake;
    std::unique_ptr<module> owner;
};

QTableWidget *monitor(QDialog *d)
{
    return child<QTableWidget>(d, "tableWidget");
}

QTableWidget *debugTable(QDialog *d)
{
    return child<QTableWidget>(d, "tableWidget_modfiy");
}

QDoubleSpinBox *numberBox(QDialog *d, int row, int channel)
{
    return qobject_cast<QDoubleSpinBox *>(debugTable(d)->cellWidget(row, channel));
}

QPushButton *connectButton(QDialog *d)
{
    return child<QPushButton>(d, "pushButton");
}

bool noRequestRunning()
{
    return DeviceRequest::runningCount() == 0;
}

} // namespace

class TestTempCtlDebug : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QTRY_VERIFY_WITH_TIMEOUT(noRequestRunning(), 15000); }

    void layout()
    {
        Tempctl_Manual_Dialog d(nullptr);
        QCOMPARE(d.windowTitle(), QString::fromUtf8("调试页面"));
        QTableWidget *mon = monitor(&d);
        QCOMPARE(mon->rowCount(), 12);
        QCOMPARE(mon->columnCount(), 9);
        QCOMPARE(mon->horizontalHeaderItem(0)->text(), QString::fromUtf8("监控参数名称"));
        QCOMPARE(mon->horizontalHeaderItem(8)->text(), QString::fromUtf8("通道8"));
        QCOMPARE(mon->item(11, 0)->text(), QString::fromUtf8("当前输出量"));
        QCOMPARE(qobject_cast<QPushButton *>(mon->cellWidget(1, 3))->text(), QString("16#000F"));
        QVERIFY(qobject_cast<Ctrlshowline *>(mon->cellWidget(2, 3))->isReadOnly());
        QTableWidget *dbg = debugTable(&d);
        QCOMPARE(dbg->rowCount(), 7);
        QCOMPARE(dbg->item(6, 0)->text(), QString::fromUtf8("手动设置输出量"));
        auto *mode = qobject_cast<QComboBox *>(dbg->cellWidget(0, 1));
        QCOMPARE(mode->count(), 3);
        QCOMPARE(mode->itemText(2), QString::fromUtf8("手动模式"));
        QVERIFY(!qobject_cast<Ctrlshowline *>(dbg->cellWidget(1, 1))->isReadOnly());
        QCOMPARE(qobject_cast<QPushButton *>(dbg->cellWidget(1, 1))->text(), QString("16#0000"));
        QVERIFY(!numberBox(&d, 6, 1)->isEnabled());
        QVERIFY(!dbg->isEnabled());
        QVERIFY(!child<QComboBox>(&d, "comboBox")->isEnabled());
        QCOMPARE(connectButton(&d)->text(), QString::fromUtf8("连接"));
    }

    // The register cells show the word in hexadecimal and their pop-ups the named bits.
    void registers_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tuneEnableAlarm");
        QTest::newRow("none") << 0x0000 << "16#0000"
                              << "000";
        QTest::newRow("enable") << 0x0001 << "16#0001"
                                << "010";
        QTest::newRow("alarm") << 0x0002 << "16#0002"
                               << "001";
        QTest::newRow("tuning, high bits") << 0xABF4 << "16#ABF4"
                                           << "100";
        QTest::newRow("all") << 0xFFFF << "16#FFFF"
                             << "111";
    }
    void registers()
    {
        QFETCH(int, value);
        QFETCH(QString, text);
        QFETCH(QString, tuneEnableAlarm);
        Regshowline reg;
        reg.setValue(uint16_t(value));
        QCOMPARE(reg.text(), text);
        const QString bits = child<QLabel>(reg.popup(), "label_tunestate")->text()
            + child<QLabel>(reg.popup(), "label_enable")->text()
            + child<QLabel>(reg.popup(), "label_inputalarm")->text();
        QCOMPARE(bits, tuneEnableAlarm);

        Ctrlshowline ctrl(false);
        ctrl.setValue(uint16_t(value));
        QCOMPARE(ctrl.text(), text);
        QCOMPARE(child<QCheckBox>(ctrl.popup(), "checkBox_enable")->isChecked(), bool(value & 1));
        QCOMPARE(child<QCheckBox>(ctrl.popup(), "checkBox_tune")->isChecked(), bool(value & 4));
        // Changing the two boxes keeps every other bit.
        child<QCheckBox>(ctrl.popup(), "checkBox_enable")->setChecked(!(value & 1));
        child<QCheckBox>(ctrl.popup(), "checkBox_tune")->setChecked(!(value & 4));
        QCOMPARE(int(ctrl.popup()->value()), value ^ 0x5);
    }

    // Read-only cells show their bits while pressed and run no dialog.
    void readOnlyPress()
    {
        PromptRecorder prompts;
        Regshowline reg;
        Ctrlshowline ctrl(true);
        const QList<QPair<QPushButton *, QWidget *>> cells { { &reg, reg.popup() }, { &ctrl, ctrl.popup() } };
        for (const auto &cell : cells) {
            cell.first->show();
            QTest::mousePress(cell.first, Qt::LeftButton);
            QVERIFY(cell.second->isVisible());
            QTest::mouseRelease(cell.first, Qt::LeftButton);
            QVERIFY(!cell.second->isVisible());
        }
        QVERIFY(prompts.dialogsRun.isEmpty());
        QVERIFY(child<QPushButton>(ctrl.popup(), "pushButton_OK")->isHidden());
        QVERIFY(child<QPushButton>(ctrl.popup(), "pushButton_close")->isHidden());
    }

    // "取消" changes nothing: no new value, and the boxes show the value again next time.
    void editCancelled()
    {
        PromptRecorder prompts;
        prompts.onExec = [](QDialog *popup) {
            child<QCheckBox>(popup, "checkBox_tune")->setChecked(true);
            popup->reject();
            return int(QDialog::Rejected);
        };
        Ctrlshowline ctrl(false);
        ctrl.setValue(0x0011);
        QSignalSpy changed(&ctrl, &Ctrlshowline::modfiyvalue);
        QTest::mouseClick(&ctrl, Qt::LeftButton);
        QCOMPARE(prompts.dialogsRun.size(), 1);
        QCOMPARE(changed.size(), 0);
        QCOMPARE(ctrl.text(), QString("16#0011"));
        QVERIFY(!child<QCheckBox>(ctrl.popup(), "checkBox_tune")->isChecked());
        QCOMPARE(int(ctrl.popup()->value()), 0x0011);
    }

    // Polls read plug 19, sub-plug 19; a whole status fills the monitor table every time and the
    // debug table once; a short one changes nothing and still counts as an answer.
    void status_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("exact") << 192;
        QTest::newRow("longer") << 200;
        QTest::newRow("one byte short") << 191;
    }
    void status()
    {
        QFETCH(int, size);
        const bool shown = size >= 192;
        Rig rig("127.0.0.101");
        QVERIFY(rig.fake.start());
        const QByteArray block = sampleStatus().encode().leftJustified(size, '\x11', true);
        rig.fake.setUploadBlock(19, 19, block);
        Tempctl_Manual_Dialog d(rig.owner.get());
        connectButton(&d)->click();
        QVERIFY(d.connected);
        QCOMPARE(connectButton(&d)->text(), QString::fromUtf8("断开连接"));
        QTRY_VERIFY_WITH_TIMEOUT(rig.reads().size() >= 3, 15000);
        for (const QByteArray &request : rig.reads())
            QCOMPARE(request, statusRequest);
        QVERIFY(rig.writes().isEmpty());
        QCOMPARE(d.failedReads, 0);
        QVERIFY(d.connected);

        QTableWidget *mon = monitor(&d);
        const QStringList channel1 = { "手动模式", "16#0005", "16#00F5", "1.50", "100.00", "0.01", "25.0", "23.1",
            "完成", "123.45", "0.07", "6553.5" };
        for (int row = 0; row < 12; ++row) {
            const QString text = mon->item(row, 1) ? mon->item(row, 1)->text()
                                                   : qobject_cast<QPushButton *>(mon->cellWidget(row, 1))->text();
            const QString untouched = row == 1 || row == 2 ? QString("16#000F") : QString();
            QCOMPARE(text, shown ? channel1.at(row) : untouched);
        }
        // No text for the value: the cell keeps what it had.
        QCOMPARE(mon->item(0, 2)->text(), QString());
        QCOMPARE(mon->item(8, 2)->text(), QString());
        QCOMPARE(mon->item(3, 2)->text(), shown ? QString("0.00") : QString());

        QCOMPARE(d.seeded, shown);
        auto *mode1 = qobject_cast<QComboBox *>(debugTable(&d)->cellWidget(0, 1));
        auto *mode2 = qobject_cast<QComboBox *>(debugTable(&d)->cellWidget(0, 2));
        QCOMPARE(mode1->currentIndex(), shown ? 2 : 0);
        QCOMPARE(mode2->currentIndex(), shown ? -1 : 0);
        QCOMPARE(numberBox(&d, 2, 1)->value(), shown ? 1.5 : 0.0);
        QCOMPARE(numberBox(&d, 5, 1)->value(), shown ? 25.0 : 0.0);
        QCOMPARE(qobject_cast<QPushButton *>(debugTable(&d)->cellWidget(1, 1))->text(),
            shown ? QString("16#00F5") : QString("16#0000"));
        // Seeded from the module, not chosen by the user: the manual output stays off, nothing is sent.
        QVERIFY(!numberBox(&d, 6, 1)->isEnabled());
        QVERIFY(!d.debugPending);
    }

    // Debug mode, then edits: each change goes out whole, at the next tick, as plug 19 sub-plug 20.
    void debugWrites()
    {
        Rig rig("127.0.0.102");
        QVERIFY(rig.fake.start());
        rig.fake.setUploadBlock(19, 19, sampleStatus().encode());
        Tempctl_Manual_Dialog d(rig.owner.get());
        connectButton(&d)->click();
        QTRY_VERIFY_WITH_TIMEOUT(d.seeded, 15000);

        child<QComboBox>(&d, "comboBox")->setCurrentIndex(1);
        QVERIFY(debugTable(&d)->isEnabled());
        TempCtlDebugBlock expected = seededBlock(1);
        QTRY_COMPARE_WITH_TIMEOUT(rig.writes().size(), 1, 15000);
        QCOMPARE(rig.writes().first(), debugHeader + expected.encode());
        // The tick that wrote read nothing; the next one reads again.
        const int readsAfterWrite = rig.reads().size();
        QTRY_VERIFY_WITH_TIMEOUT(rig.reads().size() > readsAfterWrite, 15000);
        QCOMPARE(rig.fake.datagrams().at(rig.fake.datagrams().indexOf(rig.writes().first()) + 1), statusRequest);

        // Edits in two channels, the control register through its pop-up, manual mode chosen by hand.
        PromptRecorder prompts;
        prompts.onExec = [](QDialog *popup) {
            child<QCheckBox>(popup, "checkBox_enable")->setChecked(false);
            return int(QDialog::Accepted);
        };
        QTest::mouseClick(debugTable(&d)->cellWidget(1, 1), Qt::LeftButton);
        QCOMPARE(prompts.dialogsRun, QStringList { "TempCtrlRegDialog" });
        QCOMPARE(qobject_cast<QPushButton *>(debugTable(&d)->cellWidget(1, 1))->text(), QString("16#00F4"));
        numberBox(&d, 2, 3)->setValue(1.5);
        numberBox(&d, 3, 5)->setValue(0.57);
        numberBox(&d, 5, 2)->setValue(25.0);
        numberBox(&d, 2, 4)->setValue(1000); // beyond a word: held at its largest
        numberBox(&d, 5, 4)->setValue(70000);
        auto *mode = qobject_cast<QComboBox *>(debugTable(&d)->cellWidget(0, 2));
        mode->setCurrentIndex(2);
        emit mode->activated(2);
        QVERIFY(numberBox(&d, 6, 2)->isEnabled());
        numberBox(&d, 6, 2)->setValue(12.3);
        expected.channels[0].ctrlReg = 0x00F4;
        expected.channels[2].pHundredths = 150;
        expected.channels[4].iHundredths = 57;
        expected.channels[1].targetTenths = 250;
        expected.channels[1].mode = 2;
        expected.channels[1].manualTenths = 123;
        expected.channels[3].pHundredths = 65535;
        expected.channels[3].targetTenths = 65535;
        QTRY_COMPARE_WITH_TIMEOUT(rig.writes().size(), 2, 15000);
        QCOMPARE(rig.writes().last(), debugHeader + expected.encode());
        QCOMPARE(numberBox(&d, 2, 4)->value(), 655.35);
        QCOMPARE(numberBox(&d, 5, 4)->value(), 6553.5);

        // Disconnect: one block with every enable word 0, monitor mode; the user's values stay.
        connectButton(&d)->click();
        QVERIFY(!d.connected);
        QCOMPARE(connectButton(&d)->text(), QString::fromUtf8("重新连接"));
        QCOMPARE(child<QComboBox>(&d, "comboBox")->currentIndex(), 0);
        QVERIFY(!debugTable(&d)->isEnabled());
        for (TempCtlDebugBlock::Channel &c : expected.channels)
            c.debugEnable = 0;
        QTRY_COMPARE_WITH_TIMEOUT(rig.writes().size(), 3, 15000);
        QCOMPARE(rig.writes().last(), debugHeader + expected.encode());

        // Reconnect: the status is shown again but no longer copied into the debug table.
        TempCtlStatusBlock other = sampleStatus();
        other.channels[2].pHundredths = 999;
        other.channels[2].actualTenths = 777;
        rig.fake.setUploadBlock(19, 19, other.encode());
        connectButton(&d)->click();
        QTRY_COMPARE_WITH_TIMEOUT(monitor(&d)->item(7, 3)->text(), QString("77.7"), 15000);
        QCOMPARE(numberBox(&d, 2, 3)->value(), 1.5);
        // The monitor-mode block marked at the disconnect goes out again at the first tick.
        QTRY_COMPARE_WITH_TIMEOUT(rig.writes().size(), 4, 15000);
        QCOMPARE(rig.writes().last(), debugHeader + expected.encode());
        connectButton(&d)->click();
    }

    // A module that never answers: the fifth failed read in a row disconnects, without a message.
    void silentModuleDisconnects()
    {
        Rig rig("127.0.0.103");
        QVERIFY(rig.fake.start());
        rig.fake.setSilent(true);
        PromptRecorder prompts;
        Tempctl_Manual_Dialog d(rig.owner.get());
        connectButton(&d)->click();
        QTRY_VERIFY_WITH_TIMEOUT(!connectButton(&d)->isChecked(), 30000);
        QCOMPARE(connectButton(&d)->text(), QString::fromUtf8("重新连接"));
        QVERIFY(!d.connected);
        QVERIFY(prompts.messages.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(noRequestRunning(), 15000);
        // The read at connect, then five counted ones; then the block that ends debug mode.
        QCOMPARE(rig.reads().size(), 6);
        QCOMPARE(rig.writes().size(), 1);
        QCOMPARE(rig.writes().first(), debugHeader + TempCtlDebugBlock().encode());
    }

    // A module off the network gets no traffic: the connect stands until the fifth tick fails.
    void moduleOffTheNetwork_data()
    {
        QTest::addColumn<int>("connection");
        QTest::newRow("COM module") << int(modulebase::CONNEST_COM);
        QTest::newRow("no connection type") << int(modulebase::CONNEST_NONE);
    }
    void moduleOffTheNetwork()
    {
        QFETCH(int, connection);
        Rig rig("127.0.0.104", modulebase::CONNEST_TYPE(connection));
        QVERIFY(rig.fake.start());
        PromptRecorder prompts;
        Tempctl_Manual_Dialog d(rig.owner.get());
        QElapsedTimer clock;
        clock.start();
        connectButton(&d)->click();
        QVERIFY(d.connected);
        QVERIFY(connectButton(&d)->isChecked());
        QCOMPARE(connectButton(&d)->text(), QString::fromUtf8("断开连接"));
        QTRY_VERIFY_WITH_TIMEOUT(!connectButton(&d)->isChecked(), 15000);
        QVERIFY(clock.elapsed() >= 4 * Tempctl_Manual_Dialog::pollMs);
        QCOMPARE(connectButton(&d)->text(), QString::fromUtf8("重新连接"));
        QVERIFY(!d.connected);
        d.close();
        QVERIFY(prompts.messages.isEmpty());
        QVERIFY(noRequestRunning());
        QVERIFY(rig.fake.datagrams().isEmpty());
    }

    // An open window follows a switch of language and back: its title, tables, choices, the
    // button of a link that ended and what the last status showed.
    void followsLanguageSwitch()
    {
        Rig rig("127.0.0.108");
        QVERIFY(rig.fake.start());
        rig.fake.setUploadBlock(19, 19, sampleStatus().encode());
        Tempctl_Manual_Dialog d(rig.owner.get());
        connectButton(&d)->click();
        QTRY_VERIFY_WITH_TIMEOUT(d.seeded, 15000);
        connectButton(&d)->click();
        QVERIFY(!d.connected);
        QTableWidget *mon = monitor(&d);
        auto *mode = qobject_cast<QComboBox *>(debugTable(&d)->cellWidget(0, 1));
        {
            TestSupport::Language en(":/res/language/en_US.qm");
            QTRY_COMPARE(d.windowTitle(), QString("Debug page"));
            QCOMPARE(mon->horizontalHeaderItem(0)->text(), QString("Monitored value"));
            QCOMPARE(mon->horizontalHeaderItem(8)->text(), QString("Channel 8"));
            QCOMPARE(mon->item(11, 0)->text(), QString("Current output"));
            QCOMPARE(debugTable(&d)->item(6, 0)->text(), QString("Manual output"));
            QCOMPARE(mon->item(0, 1)->text(), QString("Manual"));
            QCOMPARE(mon->item(8, 1)->text(), QString("Done"));
            QCOMPARE(mode->itemText(0), QString("Automatic"));
            QCOMPARE(mode->itemText(1), QString("ON/OFF"));
            QCOMPARE(mode->currentIndex(), 2);
            QCOMPARE(child<QComboBox>(&d, "comboBox")->itemText(1), QString("Debug mode"));
            QCOMPARE(connectButton(&d)->text(), QString("Reconnect"));
        }
        QTRY_COMPARE(d.windowTitle(), QString::fromUtf8("调试页面"));
        QCOMPARE(mon->item(0, 1)->text(), QString::fromUtf8("手动模式"));
        QCOMPARE(mon->item(8, 1)->text(), QString::fromUtf8("完成"));
        QCOMPARE(mode->itemText(2), QString::fromUtf8("手动模式"));
        QCOMPARE(connectButton(&d)->text(), QString::fromUtf8("重新连接"));
    }

    // The page opens one window at a time; a window the user closes is gone once and frees the
    // button; closing a connected window takes the module out of debug mode with one block.
    void pageOpensAndCloses_data()
    {
        QTest::addColumn<bool>("connected");
        QTest::newRow("connected") << true;
        QTest::newRow("not connected") << false;
    }
    void pageOpensAndCloses()
    {
        QFETCH(bool, connected);
        Rig rig("127.0.0.105");
        QVERIFY(rig.fake.start());
        rig.fake.setUploadBlock(19, 19, sampleStatus().encode());
        QMainWindow main;
        TempCtlForm page;
        page.attachModule(rig.owner.get());
        auto *button = child<QPushButton>(&page, "pushButton_manual");
        QVERIFY(!button->isHidden());
        button->click();
        QVERIFY(!button->isEnabled());
        QPointer<QDialog> d = page.manualDialog;
        QVERIFY(d);
        QCOMPARE(d->parent(), &main);
        QVERIFY(d->isVisible());
        QVERIFY(d->testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(main.findChildren<Tempctl_Manual_Dialog *>().size(), 1);
        if (connected) {
            connectButton(d)->click();
            QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<Tempctl_Manual_Dialog *>(d.data())->seeded, 15000);
        }
        QSignalSpy destroyed(d.data(), &QObject::destroyed);
        QSignalSpy closed(d.data(), SIGNAL(closeDialog()));
        d->close();
        QCOMPARE(closed.size(), 1);
        QVERIFY(button->isEnabled());
        QVERIFY(!page.manualDialog);
        QTRY_VERIFY(d.isNull());
        QCOMPARE(destroyed.size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(noRequestRunning(), 15000);
        QCOMPARE(rig.writes(),
            connected ? QList<QByteArray> { debugHeader + seededBlock(0).encode() } : QList<QByteArray> {});
        button->click();
        QVERIFY(page.manualDialog);
        QVERIFY(page.manualDialog != d);
        page.manualDialog->close();
    }

    // Escape closes the window the same way: the page hears of it.
    void escapeCloses()
    {
        QMainWindow main;
        auto owner = std::make_unique<module>("RVT-C800", "RVT");
        TempCtlForm page;
        page.attachModule(owner.get());
        child<QPushButton>(&page, "pushButton_manual")->click();
        QPointer<QDialog> d = page.manualDialog;
        QTest::keyClick(d.data(), Qt::Key_Escape);
        QVERIFY(child<QPushButton>(&page, "pushButton_manual")->isEnabled());
        QTRY_VERIFY(d.isNull());
    }

    // The module goes while the window polls: polling ends, the window closes, and nothing more
    // is sent to an address that may now be another module's.
    void moduleGoes()
    {
        Rig rig("127.0.0.106");
        QVERIFY(rig.fake.start());
        rig.fake.setUploadBlock(19, 19, sampleStatus().encode());
        QMainWindow main;
        auto *page = TestSupport::builtPageOf<TempCtlForm>(rig.owner.get());
        QVERIFY(page);
        child<QPushButton>(page, "pushButton_manual")->click();
        QPointer<QDialog> d = page->manualDialog;
        QVERIFY(d);
        connectButton(d)->click();
        child<QComboBox>(d.data(), "comboBox")->setCurrentIndex(1);
        QTRY_COMPARE_WITH_TIMEOUT(rig.writes().size(), 1, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(rig.reads().size() >= 2, 15000);
        rig.owner.reset();
        QVERIFY(d.isNull() || !d->isVisible());
        QTRY_VERIFY(d.isNull());
        QTRY_VERIFY_WITH_TIMEOUT(noRequestRunning(), 15000);
        const int seen = rig.fake.datagrams().size();
        QCOMPARE(rig.writes().size(), 1);
        // A request started after this one would have had to come from the window.
        TCPThread probe;
        QByteArray answer;
        QCOMPARE(probe.udp_UploadPlugConfig(rig.fake.address(), 19, 19, answer), 1);
        QCOMPARE(rig.fake.datagrams().size(), seen + 1);
    }

    // Exchanges on the configuration port take turns: polls beside the page's block transfer and
    // beside other block writes on the same port all succeed.
    void pollBesideTransfers()
    {
        Rig rig("127.0.0.107");
        QVERIFY(rig.fake.start());
        FakeMisbehaviour slow;
        slow.delayMs = 200;
        rig.fake.configService().setMisbehaviour(slow);
        rig.fake.setUploadBlock(19, 19, sampleStatus().encode());
        QMainWindow main;
        TempCtlForm page;
        page.attachModule(rig.owner.get());
        page.setOwner(rig.owner.get());
        child<QPushButton>(&page, "pushButton_manual")->click();
        auto *d = qobject_cast<Tempctl_Manual_Dialog *>(page.manualDialog.data());
        connectButton(d)->click();
        QTRY_VERIFY_WITH_TIMEOUT(d->seeded, 15000);

        PromptRecorder prompts;
        child<QPushButton>(&page, "pushButton_4")->click();
        const QString ip = rig.fake.address();
        auto results = std::make_shared<QList<int>>();
        for (int i = 0; i < 3; ++i) {
            const QByteArray data = QByteArray("block ") + char('0' + i);
            DeviceRequest::run<int>(
                this,
                [ip, data](const std::atomic<bool> &stop) {
                    TCPThread worker;
                    worker.cancel = &stop;
                    return worker.udp_DownPlugConfig(ip, 18, 7, data);
                },
                [results](int result) { *results << result; });
        }
        const int readsBefore = rig.reads().size();
        QTRY_COMPARE_WITH_TIMEOUT(*results, (QList<int> { 1, 1, 1 }), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(prompts.messages.size(), 1, 20000);
        QCOMPARE(prompts.messages.first().text, QString::fromUtf8("下载PID参数与报警配置完成 IP:127.0.0.107"));
        QTRY_VERIFY_WITH_TIMEOUT(rig.reads().size() >= readsBefore + 3, 15000);
        QVERIFY(d->connected);
        QCOMPARE(d->failedReads, 0);
        QCOMPARE(rig.fake.block(18, 7).left(6), QByteArray("block "));
        d->close();
    }
};

RIVUDO_TEST_MAIN(TestTempCtlDebug)
#include "tst_tempctldebug.moc"
