#include "devicerequest.h"
#include "downdialog.h"
#include "fakemodule.h"
#include "menubase.h"
#include "module.h"
#include "pagefactory.h"
#include "serialpeer.h"
#include "tempappdir.h"
#include "testsupport.h"
#include "ui_downdialog.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QPointer>

namespace {

// A page whose parameter block is whatever the test gives it.
class BytesPage : public menubase
{
public:
    explicit BytesPage(QWidget *parent = nullptr)
        : menubase(parent)
    {
    }
    QByteArray getParamData() override { return bytes; }
    int setParamData(QByteArray data) override
    {
        bytes = data;
        return data.size();
    }
    QByteArray bytes;
};

module *makeModule(const QString &ip, const QByteArray &params)
{
    auto *m = new module("RVE-C100", "RVE");
    m->setIP(ip);
    m->connType = modulebase::CONNEST_NET;
    m->setParamData(params);
    return m;
}

module *makeComModule(const QString &port, const QByteArray &params)
{
    module *m = makeModule(QString(), params);
    m->connType = modulebase::CONNEST_COM;
    m->comstr = port;
    return m;
}

QString state(DownDialog &d, int row)
{
    return d.form()->tableWidget->item(row, 2)->text();
}

} // namespace

class TestDownDialog : public QObject
{
    Q_OBJECT
private:
    TempAppDir *m_app = nullptr;
    QList<module *> m_modules;

private slots:
    void initTestCase()
    {
        m_app = new TempAppDir(true);
        PageFactory::registerPage(PageFactory::General, [] { return static_cast<menubase *>(new BytesPage); });
        module *probe = makeModule("127.0.0.1", "abc");
        QCOMPARE(probe->getParamData(), QByteArray("abc"));
        delete probe;
    }

    void cleanup()
    {
        qDeleteAll(m_modules);
        m_modules.clear();
    }

    void cleanupTestCase()
    {
        PageFactory::unregisterPage(PageFactory::General);
        delete m_app;
    }

    void tableRows()
    {
        m_modules = { makeModule("127.0.0.1", "a"), makeComModule("COM3", "b") };
        DownDialog d;
        d.setModuleList(m_modules);
        QCOMPARE(d.items.size(), 2);
        QCOMPARE(d.form()->tableWidget->item(0, 1)->text(), QString("127.0.0.1"));
        QCOMPARE(d.form()->tableWidget->item(1, 1)->text(), QString("COM3"));
        QCOMPARE(d.comPort, QString("COM3"));
        QCOMPARE(state(d, 0), QString("未下载"));
        QVERIFY(!(d.form()->tableWidget->item(0, 1)->flags() & Qt::ItemIsEditable));
        QVERIFY(qobject_cast<QCheckBox *>(d.form()->tableWidget->cellWidget(1, 0))->isChecked());
        QVERIFY(d.windowFlags() & Qt::FramelessWindowHint);
    }

    void statusGoesToTheExactRow_data()
    {
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("states");
        QTest::addColumn<int>("progress");
        QTest::newRow("short address") << "192.168.0.1#下载成功"
                                       << QStringList { "下载成功", "未下载", "未下载", "未下载" } << 1;
        QTest::newRow("long address") << "192.168.0.10#连接超时"
                                      << QStringList { "未下载", "连接超时", "未下载", "未下载" } << 1;
        QTest::newRow("colons") << "192:168:0:10#下载出错"
                                << QStringList { "未下载", "下载出错", "未下载", "未下载" } << 1;
        QTest::newRow("unticked row") << "192.168.0.2#下载成功"
                                      << QStringList { "未下载", "未下载", "未下载", "未下载" } << 0;
        QTest::newRow("in no row") << "192.168.0.#下载成功"
                                   << QStringList { "未下载", "未下载", "未下载", "未下载" } << 0;
        QTest::newRow("port") << "COM3#下载成功" << QStringList { "未下载", "未下载", "未下载", "下载成功" } << 1;
        QTest::newRow("no status") << "192.168.0.1" << QStringList { "未下载", "未下载", "未下载", "未下载" } << 0;
    }

    void statusGoesToTheExactRow()
    {
        QFETCH(QString, status);
        QFETCH(QStringList, states);
        QFETCH(int, progress);
        m_modules = { makeModule("192.168.0.1", "a"), makeModule("192.168.0.10", "b"),
                      makeModule("192.168.0.2", "c"), makeComModule("COM3", "d") };
        DownDialog d;
        d.setModuleList(m_modules);
        d.items[2].checkBox->setChecked(false);
        d.form()->progressBar->setRange(0, 3);
        d.SetCurScanIP(status);
        QStringList shown;
        for (int row = 0; row < 4; ++row)
            shown << state(d, row);
        QCOMPARE(shown, states);
        QCOMPARE(d.form()->progressBar->value(), progress);
    }

    void networkDownload_data()
    {
        FakeModule::addSpacingRows();
    }

    void networkDownload()
    {
        QFETCH(bool, backToBack);
        // 127.0.0.1 and 127.0.0.10 also check that one address is not taken for the other;
        // nothing listens on 127.0.0.4.
        FakeModule a("127.0.0.1"), b("127.0.0.10"), c("127.0.0.3");
        for (FakeModule *fake : { &a, &b, &c })
            fake->setBackToBack(backToBack);
        QVERIFY(a.start());
        QVERIFY(b.start());
        QVERIFY(c.start());
        const QByteArray pa("\x01\x02\x03", 3), pb(300, '\xab'), pc("ccc");
        m_modules = { makeModule("127.0.0.1", pa), makeModule("127.0.0.10", pb), makeModule("127.0.0.3", pc),
                      makeModule("127.0.0.4", "dd") };
        DownDialog d;
        d.setModuleList(m_modules);
        d.items[2].checkBox->setChecked(false);
        QTest::mouseClick(d.form()->pushButton, Qt::LeftButton);
        QVERIFY(!d.form()->pushButton->isEnabled());
        QCOMPARE(d.targetList, (QList<module *> { m_modules[0], m_modules[1], m_modules[3] }));
        QCOMPARE(m_modules[2]->downFlag, 0);
        QCOMPARE(m_modules[0]->downFlag, 1);
        QCOMPARE(d.form()->progressBar->maximum(), 3);
        QTRY_VERIFY_WITH_TIMEOUT(d.form()->pushButton->isEnabled(), 30000);

        QCOMPARE(a.received(FakeModule::CommandPort), "P\r\n" + pa);
        QCOMPARE(b.received(FakeModule::CommandPort), "P\r\n" + pb);
        QCOMPARE(c.connectionCount(FakeModule::CommandPort), 0);
        QCOMPARE(c.received(FakeModule::CommandPort), QByteArray());
        QCOMPARE(state(d, 0), QString("下载成功"));
        QCOMPARE(state(d, 1), QString("下载成功"));
        QCOMPARE(state(d, 2), QString("未下载"));
        QCOMPARE(state(d, 3), QString("连接超时"));
        QCOMPARE(d.form()->progressBar->value(), 3);
    }

    void bytesAreTakenAtTheStart()
    {
        // The worker downloads what the pages held when the user pressed the button, even when
        // the modules change or go away while it runs.
        FakeModule a("127.0.0.5");
        a.setReplyDelay(300);
        QVERIFY(a.start());
        m_modules = { makeModule("127.0.0.5", "first") };
        QPointer<DownDialog> d = new DownDialog;
        d->setModuleList(m_modules);
        QTest::mouseClick(d->form()->pushButton, Qt::LeftButton);
        m_modules[0]->setParamData("second");
        cleanup();
        QTRY_COMPARE_WITH_TIMEOUT(a.downloadedParams(), QByteArray("first"), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(d->form()->pushButton->isEnabled(), 30000);
        delete d;
    }

    // Closing the dialog mid-download stops its workers and waits for them (bounded), so none
    // outlives the dialog or the program.
    void closingStopsTheWorkers_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::newRow("network") << false;
        QTest::newRow("serial") << true;
    }

    void closingStopsTheWorkers()
    {
        QFETCH(bool, serial);
        FakeModule silent("127.0.0.6");
        silent.setSilent(true);
        QVERIFY(silent.start());
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        peer.addSilence("R\r\n");
        m_modules = { serial ? makeComModule(peer.portName(), "x") : makeModule("127.0.0.6", "x") };
        auto *d = new DownDialog;
        d->setModuleList(m_modules);
        QTest::mouseClick(d->form()->pushButton, Qt::LeftButton);
        if (serial)
            QVERIFY(peer.waitForReceived(3));
        else
            QTRY_COMPARE(silent.connectionCount(FakeModule::CommandPort), 1);
        QVERIFY(DeviceRequest::runningCount() >= 1);
        QElapsedTimer timer;
        timer.start();
        d->reject();
        QVERIFY2(timer.elapsed() < 1000, QByteArray::number(timer.elapsed()));
        delete d;
        QTRY_COMPARE(DeviceRequest::runningCount(), 0);
    }

    void noRowTicked()
    {
        m_modules = { makeModule("127.0.0.6", "a") };
        DownDialog d;
        d.setModuleList(m_modules);
        d.items[0].checkBox->setChecked(false);
        QTest::mouseClick(d.form()->pushButton, Qt::LeftButton);
        QVERIFY(d.targetList.isEmpty());
        QVERIFY(!d.form()->pushButton->isEnabled());
        QCOMPARE(state(d, 0), QString("未下载"));
    }

    void serialDownload()
    {
        // Each ticked COM module goes out on its own port with its own bytes; the unticked one
        // listed last is left alone.
        SerialPeer first, second;
        QVERIFY(first.isOpen());
        QVERIFY(second.isOpen());
        const QByteArray params("\x10\x20\x30", 3);
        for (SerialPeer *peer : { &first, &second }) {
            peer->addReply("R\r\n", "INFO#end");
            peer->addReply(QByteArray("P\x00\x00\x00\x03\r\n", 7), "ok");
            peer->addReply(params, "ok");
        }
        m_modules = { makeComModule(first.portName(), params), makeComModule(second.portName(), "other") };
        DownDialog d;
        d.setModuleList(m_modules);
        QCOMPARE(d.comPort, second.portName());
        d.items[1].checkBox->setChecked(false);
        QTest::mouseClick(d.form()->pushButton, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(d.form()->pushButton->isEnabled(), 30000);
        QCOMPARE(first.received(), QByteArray("R\r\nP\x00\x00\x00\x03\r\n", 10) + params);
        QCOMPARE(second.received(), QByteArray());
        QCOMPARE(state(d, 0), QString("下载成功"));
        QCOMPARE(state(d, 1), QString("未下载"));
        QCOMPARE(d.form()->progressBar->value(), 1);
    }

    // The fake module's line answers the serial download as a module does: the information, the
    // header and every block of 48 acknowledged, and keeps the bytes.
    void serialDownloadAgainstTheFakeModule()
    {
        FakeModule fake(QStringLiteral("127.0.0.13"));
        fake.useExampleCoupler();
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        auto device = std::make_shared<FakeSerialModule>(fake);
        peer.addDevice(device);
        QByteArray params;
        for (int i = 0; i < 100; ++i)
            params += char(i * 7);
        m_modules = { makeComModule(peer.portName(), params) };
        DownDialog d;
        d.setModuleList(m_modules);
        QTest::mouseClick(d.form()->pushButton, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(state(d, 0), QString("下载成功"), 30000);
        QCOMPARE(device->downloads(), 1);
        QCOMPARE(device->downloaded(), params);
        QCOMPARE(peer.received().left(10), QByteArray("R\r\nP\x00\x00\x00\x64\r\n", 10));
    }
};

RIVUDO_TEST_MAIN(TestDownDialog)
#include "tst_downdialog.moc"
