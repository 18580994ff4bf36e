#include "devicerequest.h"
#include "fakemodule.h"
#include "ipaddress.h"
#include "ipmodfiy_dialog.h"
#include "module.h"
#include "tempappdir.h"
#include "testsupport.h"
#include "titleform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTranslator>

class TestIPModfiyDialog : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        TempAppDir dir;
        module mod { "NONE", "NOFAMILY" };
        IPModfiy_Dialog *dialog = nullptr;
        Fixture(const QString &ip, const QString &mask, const QString &gateway)
        {
            mod.ip = ip;
            mod.mask = mask;
            mod.gateway = gateway;
            dialog = new IPModfiy_Dialog(&mod);
        }
        ~Fixture() { delete dialog; }
        IPAddress *entry(const char *name) const { return dialog->findChild<IPAddress *>(name); }
        QString info() const { return dialog->findChild<QLabel *>("info")->text(); }
        QPushButton *button() const { return dialog->findChild<QPushButton *>("pushButton"); }
        // Presses the button and waits for the exchange's result (the button comes back).
        bool press() const
        {
            QTest::mouseClick(button(), Qt::LeftButton);
            QElapsedTimer timer;
            timer.start();
            while (!button()->isEnabled() && timer.elapsed() < 20000)
                QTest::qWait(5);
            return button()->isEnabled();
        }
    };

private slots:
    void form()
    {
        Fixture f("192.168.1.20", "255.255.255.0", "192.168.1.1");
        QVERIFY(f.dialog->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(f.dialog->size(), QSize(231, 210));
        auto *title = f.dialog->findChild<TitleForm *>("widget");
        QVERIFY(title);
        QVERIFY(title->findChild<QWidget *>("minbutton")->isHidden());
        QVERIFY(title->findChild<QWidget *>("maxbutton")->isHidden());
        QVERIFY(!title->findChild<QWidget *>("closebutton")->isHidden());
        QCOMPARE(f.dialog->findChild<QLabel *>("label")->text(), QString("IP  地址"));
        QCOMPARE(f.dialog->findChild<QLabel *>("label_2")->text(), QString("子网掩码"));
        QCOMPARE(f.dialog->findChild<QLabel *>("label_3")->text(), QString("默认网关"));
        QCOMPARE(f.dialog->findChild<QPushButton *>("pushButton")->text(), QString("修改"));
        QVERIFY(f.info().isEmpty());
        QCOMPARE(f.entry("ipEdit")->getIP(), QString("192.168.1.20"));
        QCOMPARE(f.entry("maskEdit")->getIP(), QString("255.255.255.0"));
        QCOMPARE(f.entry("gatewayEdit")->getIP(), QString("192.168.1.1"));
    }

    void presetIgnoresTextThatIsNoAddress()
    {
        Fixture f("192.168.1.20", "", "gateway");
        QCOMPARE(f.entry("maskEdit")->getIP(), QString());
        QCOMPARE(f.entry("gatewayEdit")->getIP(), QString());
    }

    void sendsTheSettingsToTheCurrentAddress_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("gateway");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QByteArray>("block");
        QTest::newRow("plain") << "192.168.1.20"
                               << "192.168.1.1"
                               << "255.255.255.0" << QByteArray("\xC0\xA8\x01\x14\xC0\xA8\x01\x01\xFF\xFF\xFF\x00", 12);
        QTest::newRow("zero-padded octets are decimal")
            << "010.001.000.020"
            << "010.001.000.001"
            << "255.000.000.000" << QByteArray("\x0A\x01\x00\x14\x0A\x01\x00\x01\xFF\x00\x00\x00", 12);
    }

    void sendsTheSettingsToTheCurrentAddress()
    {
        QFETCH(QString, ip);
        QFETCH(QString, gateway);
        QFETCH(QString, mask);
        QFETCH(QByteArray, block);
        FakeModule fake("127.0.0.101");
        QVERIFY(fake.start());
        Fixture f("127.0.0.101", "255.0.0.0", "127.0.0.1");
        f.entry("ipEdit")->setIP(ip);
        f.entry("gatewayEdit")->setIP(gateway);
        f.entry("maskEdit")->setIP(mask);
        QVERIFY(f.press());
        QCOMPARE(f.info(), QString("IP地址已修改 重新扫描模块"));
        QTRY_COMPARE(fake.received(FakeModule::CommandPort), "S\r\n" + block);
        QCOMPARE(f.mod.ip, QString("127.0.0.101")); // the module object keeps its old address
        // A second press goes to the old address again.
        QVERIFY(f.press());
        QCOMPARE(f.info(), QString("IP地址已修改 重新扫描模块"));
        QCOMPARE(fake.connectionCount(FakeModule::CommandPort), 2);
        QVERIFY(f.dialog->findChild<QPushButton *>("pushButton")->isEnabled());
    }

    // Nothing leaves for the module unless all three entries are whole addresses.
    void incompleteEntries_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("text");
        QTest::newRow("address emptied") << "ipEdit"
                                         << "";
        QTest::newRow("gateway missing its last octet") << "gatewayEdit"
                                                        << "192.168.1.";
        QTest::newRow("mask missing an inner octet") << "maskEdit"
                                                     << "255..255.0";
    }

    void incompleteEntries()
    {
        QFETCH(QString, entry);
        QFETCH(QString, text);
        FakeModule fake("127.0.0.102");
        QVERIFY(fake.start());
        Fixture f("127.0.0.102", "255.0.0.0", "127.0.0.1");
        IPAddress *edit = f.entry(entry.toLatin1().constData());
        edit->clear();
        const QStringList parts = text.split('.');
        for (int i = 0; i < parts.size(); ++i)
            edit->findChild<QLineEdit *>(QStringLiteral("txtIP%1").arg(i + 1))->setText(parts.at(i));
        QVERIFY(f.press());
        QCOMPARE(f.info(), QString("IP地址修改失败"));
        QCOMPARE(fake.connectionCount(FakeModule::CommandPort), 0);
    }

    void failures_data()
    {
        QTest::addColumn<bool>("silent");
        QTest::addColumn<int>("skipAck");
        QTest::newRow("nobody there") << false << -2;
        QTest::newRow("no greeting") << true << -1;
        QTest::newRow("no acknowledge") << false << 0;
    }

    void failures()
    {
        QFETCH(bool, silent);
        QFETCH(int, skipAck);
        FakeModule fake("127.0.0.103");
        fake.setSilent(silent);
        fake.setSkipAck(skipAck);
        if (skipAck != -2)
            QVERIFY(fake.start());
        Fixture f("127.0.0.103", "255.0.0.0", "127.0.0.1");
        QVERIFY(f.press());
        QCOMPARE(f.info(), QString("IP地址修改失败"));
        QVERIFY(fake.networkSettings().isEmpty());
    }

    // One press, one exchange: the button stays disabled while it runs, and the GUI goes on.
    void buttonWaitsForTheResult()
    {
        FakeModule fake("127.0.0.105");
        fake.setSilent(true);
        QVERIFY(fake.start());
        Fixture f("127.0.0.105", "255.0.0.0", "127.0.0.1");
        QTest::mouseClick(f.button(), Qt::LeftButton);
        QVERIFY(!f.button()->isEnabled());
        QTest::mouseClick(f.button(), Qt::LeftButton);
        QTest::qWait(200);
        QVERIFY(!f.button()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(f.button()->isEnabled(), 20000);
        QCOMPARE(f.info(), QString("IP地址修改失败"));
        QCOMPARE(fake.connectionCount(FakeModule::CommandPort), 1);
    }

    // Closing the dialog mid-exchange: the result reaches nobody and nothing breaks.
    void dialogDeletedMidExchange()
    {
        FakeModule fake("127.0.0.106");
        fake.setSilent(true);
        QVERIFY(fake.start());
        auto *f = new Fixture("127.0.0.106", "255.0.0.0", "127.0.0.1");
        QTest::mouseClick(f->button(), Qt::LeftButton);
        QTRY_COMPARE(fake.connectionCount(FakeModule::CommandPort), 1);
        delete f;
        QVERIFY(DeviceRequest::stopAll(5000));
        QCOMPARE(DeviceRequest::runningCount(), 0);
    }

    // Tab walks the octets of each row and then the next row down, as the rows stand: address,
    // mask, gateway, then the button; Shift+Tab walks back the same way.
    void tabFollowsTheRows()
    {
        Fixture f("192.168.1.20", "255.255.255.0", "192.168.1.1");
        f.dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(f.dialog));
        QList<QWidget *> order;
        for (const char *row : { "ipEdit", "maskEdit", "gatewayEdit" }) {
            for (int i = 1; i <= 4; ++i)
                order << f.entry(row)->findChild<QLineEdit *>(QStringLiteral("txtIP%1").arg(i));
        }
        order << f.button();
        order.first()->setFocus(Qt::MouseFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), order.first());
        for (int i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), order.at(i));
        }
        for (int i = order.size() - 2; i >= 0; --i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            QCOMPARE(QApplication::focusWidget(), order.at(i));
        }
        // Typed as a user would, into whatever field has the focus: address, Tab, mask, Tab, gateway.
        for (QLineEdit *octet : f.dialog->findChildren<QLineEdit *>())
            octet->clear();
        order.first()->setFocus(Qt::MouseFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), order.first());
        const auto type = [](const QString &keys) {
            for (QChar c : keys)
                QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        };
        type("10.1.2.3");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        type("255.255.0.0");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        type("10.1.0.1");
        QCOMPARE(f.entry("ipEdit")->getIP(), QString("10.1.2.3"));
        QCOMPARE(f.entry("maskEdit")->getIP(), QString("255.255.0.0"));
        QCOMPARE(f.entry("gatewayEdit")->getIP(), QString("10.1.0.1"));
    }

    void english()
    {
        QTranslator translator;
        QVERIFY(translator.load(":/res/language/en_US.qm"));
        QCoreApplication::installTranslator(&translator);
        Fixture f("127.0.0.104", "255.0.0.0", "127.0.0.1");
        QCOMPARE(f.dialog->findChild<QLabel *>("label_2")->text(), QString("Netmask"));
        QCOMPARE(f.dialog->findChild<QLabel *>("label_3")->text(), QString("Gateway"));
        QCOMPARE(f.dialog->findChild<QPushButton *>("pushButton")->text(), QString("Modfiy"));
        QVERIFY(f.press());
        QCOMPARE(f.info(), QString("IP modification failed"));
        QCoreApplication::removeTranslator(&translator);
    }
};

RIVUDO_TEST_MAIN(TestIPModfiyDialog)
#include "tst_ipmodfiydialog.moc"
