#include "endpoints.h"
#include "factorybroadcast.h"
#include "fakefactorytool.h"
#include "fakemodule.h"
#include "ipaddress.h"
#include "platformlists.h"
#include "promptrecorder.h"
#include "restoresetdialog.h"
#include "tempappdir.h"
#include "testsupport.h"
#include "ui_restoresetdialog.h"

#include <QHeaderView>
#include <QLineEdit>
#include <memory>

namespace {

const QString moduleAddress = QStringLiteral("127.0.0.91");

ModuleNetInfo record(const QString &type, std::array<quint8, 4> ip, std::array<quint8, 6> mac)
{
    ModuleNetInfo r;
    r.typeName = type;
    r.ip = ip;
    r.mask = { 255, 255, 255, 0 };
    r.gateway = { 192, 168, 1, 1 };
    r.mac = mac;
    return r;
}

QString text(RestoresetDialog &d, int row, int column)
{
    return d.form()->tableWidget->item(row, column)->text();
}

IPAddress *entry(RestoresetDialog &d, int row, int column)
{
    return qobject_cast<IPAddress *>(d.form()->tableWidget->cellWidget(row, column));
}

QStringList macColumn(RestoresetDialog &d)
{
    QStringList macs;
    for (int row = 0; row < d.form()->tableWidget->rowCount(); ++row)
        macs << text(d, row, 0);
    return macs;
}

} // namespace

class TestRestoresetDialog : public QObject
{
    Q_OBJECT
private:
    TempAppDir *m_app = nullptr;
    std::unique_ptr<FakeModule> m_fake;
    std::shared_ptr<FakeFactoryTool> m_tool;

    void scan(RestoresetDialog &d)
    {
        d.form()->lineEdit->setText("1");
        QTest::mouseClick(d.form()->pushButton, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(d.form()->tableWidget->rowCount(), 1, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(d.form()->pushButton_3->isEnabled(), 10000);
    }

private slots:
    void initTestCase()
    {
        m_app = new TempAppDir;
        m_app->write("/ModuleParameter/Pellix/ModuleParameter.xml",
            "<ModuleParameter><ModuleList>"
            "<Module ModuleName='RV-C100' ModuleShowName=' Coupler  C100 '/>"
            "</ModuleList></ModuleParameter>");
        // One usable address; loopback, wireless and broadcast-less entries get no socket.
        PlatformLists::setLocalAddresses({
            { QHostAddress("127.0.0.2"), QHostAddress("127.255.255.255"), "eth0", true },
            { QHostAddress("127.0.0.1"), QHostAddress("127.255.255.255"), "eth1", true },
            { QHostAddress("127.0.0.3"), QHostAddress("127.255.255.255"), "wlan0", false },
            { QHostAddress("127.0.0.4"), QHostAddress(), "eth2", true },
        });
        Endpoints::current().broadcast = QHostAddress(moduleAddress);
    }

    void init()
    {
        m_fake = std::make_unique<FakeModule>(moduleAddress);
        m_tool = std::make_shared<FakeFactoryTool>(
            record("abc_12", { 192, 168, 1, 10 }, { 0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e }));
        QVERIFY(m_fake->addService(m_tool));
        QVERIFY(m_fake->start());
    }

    void cleanup()
    {
        m_fake.reset();
        m_tool.reset();
    }

    void cleanupTestCase()
    {
        PlatformLists::reset();
        delete m_app;
    }

    void socketsPerEthernetAddress()
    {
        FactoryBroadcast link;
        QCOMPARE(link.open(), 1);
        RestoresetDialog d;
        QVERIFY(d.form()->pushButton->isEnabled());
        QVERIFY(!d.form()->pushButton_2->isEnabled());
        QVERIFY(!d.form()->pushButton_3->isEnabled());
        QVERIFY(!d.form()->pushButton_4->isEnabled());
        QCOMPARE(d.moduleNames.value("RV-C100"), QString("Coupler C100"));
    }

    void scanShowsTheModule()
    {
        RestoresetDialog d;
        scan(d);
        QCOMPARE(m_tool->received(), QList<QByteArray> { "Hello_module" });
        QCOMPARE(text(d, 0, 0), QString("00-1A-2B-3C-4D-5E"));
        QCOMPARE(entry(d, 0, 1)->getIP(), QString("192.168.1.10"));
        QCOMPARE(entry(d, 0, 2)->getIP(), QString("255.255.255.0"));
        QCOMPARE(entry(d, 0, 3)->getIP(), QString("192.168.1.1"));
        QCOMPARE(text(d, 0, 4), QString("ABC-12"));
        QCOMPARE(text(d, 0, 5), QString("未操作"));
        QCOMPARE(d.form()->label_3->text(), QString("扫描进行中:"));
        QVERIFY(d.form()->pushButton_4->isEnabled());
        QCOMPARE(d.records.size(), 1);

        // A second scan starts from an empty table.
        m_tool->clearReceived();
        scan(d);
        QCOMPARE(d.records.size(), 1);
    }

    void ipSetMarksTheRow()
    {
        RestoresetDialog d;
        scan(d);
        entry(d, 0, 1)->setIP("192.168.1.5");
        entry(d, 0, 3)->setIP("192.168.1.254");
        m_tool->clearReceived();
        QTest::mouseClick(d.form()->pushButton_3, Qt::LeftButton);
        QCOMPARE(m_tool->received(),
            QList<QByteArray> { "IPSET#MAC:00-1A-2B-3C-4D-5E,IP192.168.001.005,MK255.255.255.000,GT192.168.001.254" });
        QCOMPARE(d.mode, int(RestoresetDialog::IpSetMode));
        QTRY_COMPARE_WITH_TIMEOUT(text(d, 0, 5), QString("分配成功"), 10000);
        QCOMPARE(d.form()->tableWidget->item(0, 5)->background().color(), QColor(155, 255, 255));
        QCOMPARE(d.form()->tableWidget->item(0, 5)->background().style(), Qt::SolidPattern);
        QCOMPARE(d.form()->tableWidget->rowCount(), 1);
        QCOMPARE(ipToString(m_tool->record().ip), QString("192.168.1.5"));
        QVERIFY(d.form()->pushButton_3->isEnabled());
        QVERIFY(d.form()->tableWidget->isEnabled());
    }

    // The addresses a person types over the scanned ones, key by key after a click into each
    // entry's first octet, are the ones sent.
    void typedAddressesAreSent()
    {
        RestoresetDialog d;
        d.show();
        QApplication::setActiveWindow(&d);
        QVERIFY(QTest::qWaitForWindowActive(&d));
        scan(d);
        const QStringList typed { "192.168.1.5", "255.255.0.0", "10.0.200.254" };
        for (int i = 0; i < 3; ++i) {
            QLineEdit *first = TestSupport::child<QLineEdit>(entry(d, 0, 1 + i), "txtIP1");
            QTest::mouseClick(first, Qt::LeftButton);
            for (const QChar c : typed.at(i))
                QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
            QCOMPARE(entry(d, 0, 1 + i)->getIP(), typed.at(i));
        }
        m_tool->clearReceived();
        QTest::mouseClick(d.form()->pushButton_3, Qt::LeftButton);
        QCOMPARE(m_tool->received(),
            QList<QByteArray> { "IPSET#MAC:00-1A-2B-3C-4D-5E,IP192.168.001.005,MK255.255.000.000,GT010.000.200.254" });
    }

    void ipSetWithoutAnswerStaysRunning()
    {
        RestoresetDialog d;
        scan(d);
        m_tool->setAnswerIpSet(false);
        QTest::mouseClick(d.form()->pushButton_3, Qt::LeftButton);
        QTRY_COMPARE(m_tool->received().size(), 2);
        QCOMPARE(text(d, 0, 5), QString("开始分配"));
    }

    void factoryReset_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QList<QByteArray>>("sent");
        QTest::addColumn<int>("mode");
        QTest::newRow("yes") << int(QMessageBox::Yes) << QList<QByteArray> { "Restoreset_module" }
                             << int(RestoresetDialog::FactoryResetMode);
        QTest::newRow("no") << int(QMessageBox::No) << QList<QByteArray> {} << int(RestoresetDialog::ScanMode);
    }

    void factoryReset()
    {
        QFETCH(int, answer);
        QFETCH(QList<QByteArray>, sent);
        QFETCH(int, mode);
        RestoresetDialog d;
        scan(d);
        m_tool->clearReceived();
        PromptRecorder prompts;
        prompts.answers << QMessageBox::StandardButton(answer);
        QTest::mouseClick(d.form()->pushButton_2, Qt::LeftButton);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.lastCaption(), QString("恢复出厂设置"));
        QCOMPARE(prompts.lastText(), QString("是否确认将列表里面的所有模块恢复出厂设置？"));
        QCOMPARE(d.mode, mode);
        QVERIFY(d.form()->pushButton->isEnabled());
        QVERIFY(d.form()->pushButton_3->isEnabled());
        if (sent.isEmpty()) {
            // Give a stray datagram the time to arrive before saying none came.
            QTest::mouseClick(d.form()->pushButton_4, Qt::LeftButton);
            QTRY_COMPARE(m_tool->restarts(), 1);
            QCOMPARE(m_tool->received(), QList<QByteArray> { "Reset_module" });
            QCOMPARE(m_tool->restores(), 0);
        } else {
            QTRY_COMPARE(m_tool->restores(), 1);
            QCOMPARE(m_tool->received(), sent);
            QTRY_COMPARE(text(d, 0, 5), QString("分配成功"));
        }
    }

    void restart()
    {
        RestoresetDialog d;
        QTest::mouseClick(d.form()->pushButton, Qt::LeftButton);
        d.on_pushButton_4_clicked();
        QCOMPARE(d.mode, int(RestoresetDialog::RestartMode));
        QTRY_COMPARE(m_tool->restarts(), 1);
        QCOMPARE(m_tool->received().last(), QByteArray("Reset_module"));
    }

    void repliesFillTheTable()
    {
        m_fake.reset();
        RestoresetDialog d;
        const ModuleNetInfo a = record("rv_c100", { 192, 168, 1, 10 }, { 0, 0, 0, 0, 0, 2 });
        const ModuleNetInfo b = record("rv_x", { 192, 168, 1, 2 }, { 9, 0, 0, 0, 0, 3 });
        const ModuleNetInfo c = record("rv_y", { 10, 0, 0, 5 }, { 0, 0, 0, 0, 0, 1 });
        const ModuleNetInfo e = record("rv_z", { 192, 168, 1, 4 }, { 0, 0, 0, 1, 0, 0 });
        for (const ModuleNetInfo &r : { a, b, c, e })
            d.messageReceive(writeModuleNetInfo(r));
        // A short datagram and a repeated MAC add nothing.
        d.messageReceive(writeModuleNetInfo(a).left(77));
        d.messageReceive(writeModuleNetInfo(b));
        QCOMPARE(macColumn(d),
            QStringList({ "00-00-00-00-00-02", "09-00-00-00-00-03", "00-00-00-00-00-01", "00-00-00-01-00-00" }));
        QCOMPARE(text(d, 0, 4), QString("Coupler C100"));
        QCOMPARE(text(d, 1, 5), QString("未操作"));

        entry(d, 0, 1)->setIP("1.2.3.4");
        d.form()->tableWidget->horizontalHeader()->sectionClicked(1);
        QStringList ips;
        for (int row = 0; row < 4; ++row)
            ips << entry(d, row, 1)->getIP();
        QCOMPARE(ips, QStringList({ "192.168.1.2", "192.168.1.4", "10.0.0.5", "192.168.1.10" }));

        d.form()->tableWidget->horizontalHeader()->sectionClicked(0);
        QCOMPARE(macColumn(d),
            QStringList({ "00-00-00-00-00-01", "00-00-00-00-00-02", "09-00-00-00-00-03", "00-00-00-01-00-00" }));
        d.form()->tableWidget->horizontalHeader()->sectionClicked(4);
        QCOMPARE(macColumn(d).first(), QString("00-00-00-00-00-01"));
    }

    void scanTime_data()
    {
        QTest::addColumn<QString>("seconds");
        QTest::newRow("zero") << "0";
        QTest::newRow("negative") << "-3";
        QTest::newRow("not a number") << "x";
    }

    void scanTime()
    {
        // A scan time that the count can never reach ends the scan at the first tick instead of
        // leaving the order buttons off.
        QFETCH(QString, seconds);
        RestoresetDialog d;
        d.form()->lineEdit->setText(seconds);
        QTest::mouseClick(d.form()->pushButton, Qt::LeftButton);
        QTRY_VERIFY(d.form()->pushButton_3->isEnabled());
        QVERIFY(d.form()->pushButton_4->isEnabled());
    }
};

RIVUDO_TEST_MAIN(TestRestoresetDialog)
#include "tst_restoresetdialog.moc"
