#include "blackhole.h"
#include "devicerequest.h"
#include "downdialog.h"
#include "endpoints.h"
#include "ipmodfiy_dialog.h"
#include "menubase.h"
#include "module.h"
#include "pagefactory.h"
#include "platformlists.h"
#include "scandialog.h"
#include "serialpeer.h"
#include "tempappdir.h"
#include "testsupport.h"
#include "ui_downdialog.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

// A 2 ms timer in the GUI thread: the longest gap between its ticks is the longest the GUI
// thread went without handling events.
class StallWatch
{
public:
    StallWatch()
    {
        m_timer.setInterval(2);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { m_longest = qMax(m_longest, m_clock.restart()); });
        m_clock.start();
        m_timer.start();
    }
    qint64 longest()
    {
        m_longest = qMax(m_longest, m_clock.elapsed());
        return m_longest;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

// Far above machine noise, far below the freezes the blocking waits caused.
constexpr qint64 stallLimitMs = 500;

class BytesPage : public menubase
{
public:
    QByteArray getParamData() override { return bytes; }
    int setParamData(QByteArray data) override
    {
        bytes = data;
        return data.size();
    }
    QByteArray bytes;
};

} // namespace

class TestGuiStall : public QObject
{
    Q_OBJECT
    TempAppDir *m_app = nullptr;

private slots:
    void initTestCase()
    {
        m_app = new TempAppDir(true);
        PageFactory::registerPage(PageFactory::General, [] { return static_cast<menubase *>(new BytesPage); });
    }

    void cleanupTestCase()
    {
        QVERIFY(DeviceRequest::stopAll(10000));
        PageFactory::unregisterPage(PageFactory::General);
        delete m_app;
    }

    void ipDialogOnAnAddressThatNeverAnswers()
    {
        BlackHole hole("127.0.0.121", Endpoints::current().commandPort);
        QVERIFY(hole.isOpen());
        module mod("NONE", "NOFAMILY");
        mod.ip = "127.0.0.121";
        mod.mask = "255.0.0.0";
        mod.gateway = "127.0.0.1";
        IPModfiy_Dialog dialog(&mod);
        auto *button = TestSupport::child<QPushButton>(&dialog, "pushButton");
        StallWatch watch;
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(button->isEnabled(), 20000);
        QCOMPARE(TestSupport::child<QLabel>(&dialog, "info")->text(), QString("IP地址修改失败"));
        QVERIFY2(watch.longest() < stallLimitMs, QByteArray::number(watch.longest()));
    }

    void comScan()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        peer.addReply("R\r\n", "INFO:x#end");
        peer.addReply("G\r\n", "PRM:y#end");
        PlatformLists::setSerialPorts({ peer.portName() });
        SCANDialog dialog;
        PlatformLists::setSerialPorts({});
        auto *com = TestSupport::child<QRadioButton>(&dialog, "radioButton_com");
        QVERIFY(com->isEnabled());
        com->click();
        // The port box takes a typed device path.
        auto *box = TestSupport::child<QComboBox>(&dialog, "comboBox");
        QVERIFY(box->isEditable());
        box->setEditText(peer.portName());
        QSignalSpy ended(&dialog, &SCANDialog::endscan);
        QSignalSpy replies(&dialog, &SCANDialog::Sendmodule);
        StallWatch watch;
        TestSupport::child<QPushButton>(&dialog, "pushButton")->click();
        // The mode cannot change under the running scan.
        QVERIFY(!com->isEnabled());
        QVERIFY(!TestSupport::child<QRadioButton>(&dialog, "radioButton_net")->isEnabled());
        QVERIFY(ended.wait(20000));
        QVERIFY2(watch.longest() < stallLimitMs, QByteArray::number(watch.longest()));
        QCOMPARE(replies.count(), 1);
        QCOMPARE(replies.at(0).at(0).toByteArray(), QByteArray("INFO:x#end"));
        QVERIFY(com->isEnabled());
    }

    void serialDownloadOf1000Bytes()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        QByteArray params(1000, '\0');
        for (int i = 0; i < params.size(); ++i)
            params[i] = char(i * 7);
        peer.addReply("R\r\n", "INFO#end");
        peer.addReply(QByteArray("P\x00\x00\x03\xe8\r\n", 7), "ok");
        for (int at = 0; at < params.size(); at += 48)
            peer.addReply(params.mid(at, 48), "ok", 1);
        module mod("RVE-C100", "RVE");
        mod.connType = modulebase::CONNEST_COM;
        mod.comstr = peer.portName();
        mod.setParamData(params);
        DownDialog dialog;
        dialog.setModuleList({ &mod });
        StallWatch watch;
        QTest::mouseClick(dialog.form()->pushButton, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(dialog.form()->pushButton->isEnabled(), 60000);
        QVERIFY2(watch.longest() < stallLimitMs, QByteArray::number(watch.longest()));
        QCOMPARE(dialog.form()->tableWidget->item(0, 2)->text(), QString("下载成功"));
        QVERIFY(peer.received().endsWith(params));
    }

    void closingTheScanDialogMidScan()
    {
        BlackHole hole("127.0.0.122", Endpoints::current().commandPort);
        QVERIFY(hole.isOpen());
        auto *dialog = new SCANDialog;
        dialog->setIPRange("127.0.0.122", "127.0.0.122");
        StallWatch watch;
        TestSupport::child<QPushButton>(dialog, "pushButton")->click();
        QVERIFY(dialog->worker);
        QTest::qWait(100); // the worker sits in its connection wait
        dialog->reject();
        delete dialog;
        QVERIFY2(watch.longest() < stallLimitMs, QByteArray::number(watch.longest()));
        // The worker ends on its own, promptly.
        QTRY_COMPARE_WITH_TIMEOUT(DeviceRequest::runningCount(), 0, 5000);
    }

    // A network scan switched to COM mid-way used to leave its worker behind, and every later
    // network scan was ignored.
    void scanAfterAModeSwitch()
    {
        BlackHole hole("127.0.0.123", Endpoints::current().commandPort);
        QVERIFY(hole.isOpen());
        SerialPeer peer;
        PlatformLists::setSerialPorts({ peer.portName() });
        SCANDialog dialog;
        PlatformLists::setSerialPorts({});
        dialog.setIPRange("127.0.0.123", "127.0.0.123");
        QSignalSpy ended(&dialog, &SCANDialog::endscan);
        auto *start = TestSupport::child<QPushButton>(&dialog, "pushButton");
        auto *com = TestSupport::child<QRadioButton>(&dialog, "radioButton_com");
        start->click();
        QVERIFY(!com->isEnabled());
        QVERIFY(ended.wait(20000));
        QVERIFY(!dialog.worker);
        QVERIFY(com->isEnabled());
        com->click();
        TestSupport::child<QRadioButton>(&dialog, "radioButton_net")->click();
        start->click();
        QVERIFY(dialog.worker);
        QVERIFY(ended.wait(20000));
        QCOMPARE(ended.count(), 2);
        QVERIFY(!dialog.worker);
    }
};

RIVUDO_TEST_MAIN(TestGuiStall)
#include "tst_guistall.moc"
