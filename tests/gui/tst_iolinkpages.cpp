#include "builtinpages.h"
#include "bytecodec.h"
#include "fakeiolinkmaster.h"
#include "iolink_module.h"
#include "iolinkinfoform.h"
#include "iolinkinfoframe_ctrl.h"
#include "iolinkparamform.h"
#include "iolinkparamframe_ctrl.h"
#include "iolinkportsetform.h"
#include "iolinkportsetframe_ctrl.h"
#include "mainwindow.h"
#include "module.h"
#include "pagelookup.h"
#include "plugframe.h"
#include "scanreply.h"
#include "scanreplyhandler.h"
#include "seriallink.h"
#include "serialpeer.h"
#include "serialportregistry.h"
#include "submodule.h"
#include "tempappdir.h"
#include "testsupport.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextEdit>
#include <QTranslator>
#include <QTreeWidget>

#include <memory>

namespace {

// The tests below use the pages' widgets, which a page builds at its first show.
template <class T> T *pageOf(const modulebase *owner)
{
    return TestSupport::builtPageOf<T>(owner);
}
using TestSupport::Language;

// A port's panel as the user finds it once its tab has been shown: a page builds a panel at its
// first show (or when an answer for it arrives).
template <class T> T *panel(QWidget *page, const char *name)
{
    T *p = TestSupport::child<T>(page, name);
    p->ensureBuilt();
    return p;
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

struct Info
{
    quint16 vendor = 0;
    quint32 device = 0;
    QString vendorName;
    QString tag;
    int inLen = 0;
    QByteArray in;
    int outLen = 0;
    QByteArray out;
    int eventCount = 0;
    QList<quint16> events;
};

// A device information payload for port.
QByteArray deviceInfo(int port, const Info &i)
{
    ByteWriter w;
    w.u8(quint8(port)).u16le(i.vendor).u32le(i.device);
    w.text(i.vendorName, 65).text("P-100", 65).text("Sensor", 65).text("1.0", 65).text(i.tag, 35);
    w.u8(quint8(i.inLen)).bytes(i.in).resize(303 + 32);
    w.u8(quint8(i.outLen)).bytes(i.out).resize(336 + 32);
    w.u8(quint8(i.eventCount));
    for (quint16 e : i.events)
        w.u16le(e);
    return w.resize(381).data();
}

QString text(QWidget *parent, const char *name)
{
    return TestSupport::child<QLabel>(parent, name)->text();
}

// The event box's lines with their colours.
QStringList eventLines(IoLinkInfoFrame_Ctrl *frame)
{
    QStringList lines;
    const QTextDocument *doc = TestSupport::child<QTextEdit>(frame, "textEditEvent")->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (b.text().isEmpty())
            continue;
        const QColor colour = b.begin().fragment().charFormat().foreground().color();
        lines << b.text() + (colour == Qt::red ? " [red]" : colour == Qt::black ? " [black]" : " [?]");
    }
    return lines;
}

} // namespace

class TestIoLinkPages : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempAppDir> m_app;

    // A coupler on the serial peer with the example IO-Link master in slot 1.
    std::unique_ptr<module> master(const SerialPeer &peer)
    {
        auto m = std::make_unique<module>("RVE-C100", "RVE");
        submodule *sub = m->addSubmodule("RV-IOL4", "RVIOL", 1);
        m->connType = modulebase::CONNEST_COM;
        m->comstr = peer.portName();
        m->shareConnection();
        sub->comstr.clear();
        return m;
    }

private slots:
    void initTestCase()
    {
        m_app.reset(new TempAppDir(true));
        registerBuiltinPages();
    }
    void cleanup() { IoLink_Module::deleteInstance(); }

    // Runs first: the event texts are filled by the first retranslate of any panel.
    void noEventLinesBeforeFirstRetranslate()
    {
        IoLinkInfoFrame_Ctrl frame;
        Info i;
        i.eventCount = 2;
        i.events = { 0x0000, 0x5000 };
        frame.showDeviceInfo(deviceInfo(0, i));
        QVERIFY(eventLines(&frame).isEmpty());
    }

    void deviceInfoShown_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QStringList>("labels"); // vendor id, device id, vendor name, tag, in, out, in len, out len
        Info a;
        a.vendor = 0x0123;
        a.device = 0xABCDEF;
        a.vendorName = "ACME 传感器";
        a.tag = "line 3";
        a.inLen = 3;
        a.in = hex("01 0A FF");
        QTest::newRow("identification and inputs") << deviceInfo(
            1, a) << QStringList { "0123", "00ABCDEF", "ACME 传感器", "line 3", "01 0A FF", "", "3", "0" };
        Info full;
        full.vendor = 0xFFFF;
        full.device = 0xFFFFFFFF;
        full.vendorName = QString(64, 'v');
        full.tag = QString(40, 't'); // longer than its field: cut at the field
        full.inLen = 32;
        full.in = QByteArray(32, char(0xAB));
        full.outLen = 1;
        full.out = hex("5A");
        QTest::newRow("full fields") << deviceInfo(0, full)
                                     << QStringList { "FFFF", "FFFFFFFF", QString(64, 'v'), QString(35, 't'),
                                            QStringList(QVector<QString>(32, "AB").toList()).join(' '), "5A", "32",
                                            "1" };
        // Lengths beyond the record: the shown bytes stop at the record's 32.
        Info over;
        over.inLen = 200;
        over.in = QByteArray(32, char(0x11));
        over.outLen = 33;
        over.out = QByteArray(32, char(0x22));
        QTest::newRow("lengths over 32") << deviceInfo(3, over)
                                         << QStringList { "0000", "00000000", "", "",
                                                QStringList(QVector<QString>(32, "11").toList()).join(' '),
                                                QStringList(QVector<QString>(32, "22").toList()).join(' '), "200",
                                                "33" };
    }
    void deviceInfoShown()
    {
        QFETCH(QByteArray, payload);
        QFETCH(QStringList, labels);
        IoLinkInfoFrame_Ctrl frame;
        frame.showDeviceInfo(payload);
        const QStringList shown { text(&frame, "labelvendorid"), text(&frame, "labeldeviceid"),
            text(&frame, "labelVendor_Name"), text(&frame, "labelApplication_specific_tag"), text(&frame, "labelInput"),
            text(&frame, "labeloutput"), text(&frame, "labelin_len"), text(&frame, "labelout_len") };
        QCOMPARE(shown, labels);
        QCOMPARE(text(&frame, "labelProduct_ID"), QString("P-100"));
        QCOMPARE(text(&frame, "labelProduct_Text"), QString("Sensor"));
        QCOMPARE(text(&frame, "labelFirmware_Revision"), QString("1.0"));
    }

    void events_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<quint16>>("codes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("no fault red, fault black")
            << 1 << 2 << QList<quint16> { 0x0000, 0x5000 }
            << QStringList { "0x0000 No Fault [red]", "0x5000 Equipment Hardware Fault — Replace Equipment [black]" };
        QTest::newRow("chinese") << 0 << 1 << QList<quint16> { 0x6350 }
                                 << QStringList { "0x6350 参数改变——检查配置 [black]" };
        QTest::newRow("unknown code skipped")
            << 1 << 3 << QList<quint16> { 0x1234, 0x8C42, 0x0000 }
            << QStringList { "0x8C42 Maintenance Required — Replace Worn Parts [black]", "0x0000 No Fault [red]" };
        QTest::newRow("count 0") << 1 << 0 << QList<quint16> { 0x5000 } << QStringList();
        QTest::newRow("count only covers some")
            << 0 << 1 << QList<quint16> { 0x7710, 0x7711 } << QStringList { "0x7710 短路——检查安装 [black]" };
        QTest::newRow("count over six shows six")
            << 1 << 255 << QList<quint16> { 0x1000, 0x1000, 0x1000, 0x1000, 0x1000, 0x1000 }
            << QStringList(QVector<QString>(6, "0x1000 General Fault — Unknown Error [black]").toList());
    }
    void events()
    {
        QFETCH(int, language);
        QFETCH(int, count);
        QFETCH(QList<quint16>, codes);
        IoLinkInfoFrame_Ctrl frame;
        frame.retranslate(language);
        Info i;
        i.eventCount = count;
        i.events = codes;
        frame.showDeviceInfo(deviceInfo(0, i));
        QTEST(eventLines(&frame), "lines");
        // The next reply replaces the lines.
        i.eventCount = 0;
        frame.showDeviceInfo(deviceInfo(0, i));
        QVERIFY(eventLines(&frame).isEmpty());
    }

    void languageSwitchEmptiesValues()
    {
        IoLinkInfoFrame_Ctrl frame;
        frame.retranslate(1);
        Info i;
        i.vendor = 0x0123;
        i.inLen = 1;
        i.in = hex("07");
        i.eventCount = 1;
        i.events = { 0x5012 };
        frame.showDeviceInfo(deviceInfo(0, i));
        {
            Language zh(":/res/language/zh_CN.qm");
            frame.retranslate(0);
        }
        for (const char *name : { "labelvendorid", "labeldeviceid", "labelVendor_Name", "labelInput", "labelin_len" })
            QCOMPARE(text(&frame, name), QString());
        QVERIFY(eventLines(&frame).isEmpty());
        QCOMPARE(text(&frame, "label_input"), QString("输入数据(Hex):"));
        QCOMPARE(text(&frame, "label_vendorid"), QString("供应商ID(Hex):"));
        frame.showDeviceInfo(deviceInfo(0, i));
        QCOMPARE(eventLines(&frame), QStringList { "0x5012 电池电量低——更换电池 [black]" });
        {
            Language en(":/res/language/en_US.qm");
            frame.retranslate(1);
        }
        QCOMPARE(text(&frame, "label_input"), QString("Inputs(Hex):"));
        QCOMPARE(text(&frame, "label_vendorid"), QString("Vendor ID(Hex):"));
        QCOMPARE(TestSupport::child<QPushButton>(&frame, "btnCopyVendorid")->text(), QString("Copy"));
        QCOMPARE(text(&frame, "label_inlen"), QString("Inputs Size:"));
    }

    void copyButtons()
    {
        IoLinkInfoFrame_Ctrl frame;
        QApplication::clipboard()->setText("old");
        TestSupport::child<QPushButton>(&frame, "btnCopyVendorid")->click();
        QCOMPARE(QApplication::clipboard()->text(), QString());
        Info i;
        i.vendor = 0x0123;
        i.device = 0xABCDEF;
        frame.showDeviceInfo(deviceInfo(0, i));
        TestSupport::child<QPushButton>(&frame, "btnCopyVendorid")->click();
        QCOMPARE(QApplication::clipboard()->text(), QString("0123"));
        TestSupport::child<QPushButton>(&frame, "btnCopyDeviceID")->click();
        QCOMPARE(QApplication::clipboard()->text(), QString("00ABCDEF"));
    }

    void pagesOfAnIoLinkMaster()
    {
        SerialPeer peer;
        auto m = master(peer);
        submodule *sub = m->submodules.first();
        QCOMPARE(sub->pageList.size(), 3);
        auto *portSet = pageOf<IoLinkPortSetform>(sub);
        auto *param = pageOf<IoLinkParamForm>(sub);
        auto *info = pageOf<IoLinkInfoForm>(sub);
        QVERIFY(portSet && param && info);
        QCOMPARE(portSet->getParamData(), QByteArray());
        QCOMPARE(portSet->setParamData(hex("01 02")), 0);

        struct Page
        {
            menubase *page;
            const char *frameName;
            const QMetaObject *frameClass;
        };
        const Page pages[] = { { portSet, "portSetframeFrame_Ctrl_%1", &IoLinkPortSetFrame_Ctrl::staticMetaObject },
            { param, "paramframe_ctrl_%1", &IoLinkParamFrame_Ctrl::staticMetaObject },
            { info, "InfoCtrl_%1", &IoLinkInfoFrame_Ctrl::staticMetaObject } };
        IoLink_Module *link = IoLink_Module::existingInstance();
        QVERIFY(link);
        QCOMPARE(link->getModule(), static_cast<modulebase *>(sub));
        for (const Page &p : pages) {
            QCOMPARE(p.page->title, QString());
            auto *tabs = TestSupport::child<QTabWidget>(p.page, "tabWidget");
            QCOMPARE(tabs->count(), 4);
            QCOMPARE(tabs->currentIndex(), 3);
            for (int k = 0; k < 4; ++k) {
                auto *frame = p.page->findChild<Channel_Ctrl *>(QString(p.frameName).arg(k));
                QVERIFY(frame);
                QCOMPARE(frame->metaObject(), p.frameClass);
                QCOMPARE(int(frame->port), k);
                QCOMPARE(frame->ownerPage, p.page);
                QCOMPARE(tabs->widget(k)->objectName(), QString("tab_%1").arg(k));
                QVERIFY(tabs->widget(k)->isAncestorOf(frame));
                QCOMPARE(link->frameMap.value(p.frameClass).at(k).data(), frame);
            }
        }

        {
            Language en(":/res/language/en_US.qm");
            sub->setLanguage(1);
        }
        QCOMPARE(portSet->title, QString("Port Setting"));
        QCOMPARE(param->title, QString("Parameter setting"));
        QCOMPARE(info->title, QString("Information"));
        for (const Page &p : pages) {
            auto *tabs = TestSupport::child<QTabWidget>(p.page, "tabWidget");
            QCOMPARE(tabs->tabText(0), QString("Port1"));
            QCOMPARE(tabs->tabText(3), QString("Port4"));
            QCOMPARE(p.page->windowTitle(), QString("Form"));
        }
        {
            Language zh(":/res/language/zh_CN.qm");
            sub->setLanguage(0);
        }
        QCOMPARE(portSet->title, QString("端口设置"));
        QCOMPARE(param->title, QString("参数设置"));
        QCOMPARE(info->title, QString("信息显示"));
        QCOMPARE(TestSupport::child<QTabWidget>(info, "tabWidget")->tabText(2), QString("端口3"));
    }

    // The information page polls the port it shows, port 3 first; each reply reaches the
    // panel of its port only, and hiding the page stops the polling.
    void infoPageTalksToTheMaster()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        auto fake = std::make_shared<FakeIoLinkMaster>();
        peer.addDevice(fake);
        for (int port = 0; port < 4; ++port) {
            Info i;
            i.vendor = quint16(0x100 + port);
            i.vendorName = QString("vendor %1").arg(port);
            fake->setDeviceInfo(port, deviceInfo(port, i));
        }
        auto m = master(peer);
        submodule *sub = m->submodules.first();
        sub->setLanguage(0);
        auto *info = pageOf<IoLinkInfoForm>(sub);
        auto *tabs = TestSupport::child<QTabWidget>(info, "tabWidget");
        info->show();
        QTRY_VERIFY_WITH_TIMEOUT(!fake->requests().isEmpty(), 5000);
        QCOMPARE(fake->requests().first().command, int(IOLINK_GET_DEVICEINFO));
        QCOMPARE(fake->requests().first().payload, hex("03"));
        auto *frame3 = panel<IoLinkInfoFrame_Ctrl>(info, "InfoCtrl_3");
        QTRY_COMPARE_WITH_TIMEOUT(text(frame3, "labelvendorid"), QString("0103"), 5000);
        QCOMPARE(text(frame3, "labelVendor_Name"), QString("vendor 3"));

        tabs->setCurrentIndex(1);
        auto *frame1 = panel<IoLinkInfoFrame_Ctrl>(info, "InfoCtrl_1");
        QTRY_COMPARE_WITH_TIMEOUT(text(frame1, "labelvendorid"), QString("0101"), 5000);
        QCOMPARE(text(panel<IoLinkInfoFrame_Ctrl>(info, "InfoCtrl_0"), "labelvendorid"), QString());
        // The visible panel keeps asking.
        const int asked = fake->requests().size();
        QTRY_VERIFY_WITH_TIMEOUT(fake->requests().size() > asked, 6000);
        QCOMPARE(fake->requests().last().payload, hex("01"));

        info->hide();
        IoLink_Module *link = IoLink_Module::existingInstance();
        QTRY_VERIFY_WITH_TIMEOUT(link->sendQueue.isEmpty(), 5000);
        // Every request written so far has reached the master (each is 11 bytes on the wire).
        QTRY_COMPARE_WITH_TIMEOUT(fake->requests().size() * 11, peer.received().size(), 5000);
        fake->clearRequests();
        QTest::qWait(IoLinkInfoFrame_Ctrl::pollMs + 500);
        QVERIFY(fake->requests().isEmpty());
        QVERIFY(link->sendQueue.isEmpty());
    }

    // Noise, replies split over several reads and a reply for another port still reach the
    // right panels.
    void repliesThroughNoiseAndSplits()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        auto m = master(peer);
        submodule *sub = m->submodules.first();
        sub->setLanguage(1);
        auto *info = pageOf<IoLinkInfoForm>(sub);
        IoLink_Module *link = IoLink_Module::existingInstance();
        // Opens the port with a first request.
        link->sendCommand(IOLINK_GET_IOPARAM, hex("00"));
        QTRY_VERIFY_WITH_TIMEOUT(link->uart && link->uart->isOpen(), 5000);
        Info i;
        i.vendor = 0xBEEF;
        i.eventCount = 1;
        i.events = { 0x0000 };
        const QByteArray reply2 = PlugFrame::build(PlugFrame::typeIoLink, IOLINK_GET_DEVICEINFO, deviceInfo(2, i));
        i.vendor = 0xCAFE;
        QByteArray reply0 = PlugFrame::build(PlugFrame::typeIoLink, IOLINK_GET_DEVICEINFO, deviceInfo(0, i));
        QByteArray corrupt = reply0;
        corrupt[20] = char(corrupt.at(20) ^ 1);
        peer.send(QByteArray(3000, char(0x5A)) + hex("00 11") + corrupt + char(0x5A) + reply2.left(100));
        peer.send(reply2.mid(100) + char(0x5A) + reply0 + char(0x5A));
        auto *frame2 = panel<IoLinkInfoFrame_Ctrl>(info, "InfoCtrl_2");
        auto *frame0 = panel<IoLinkInfoFrame_Ctrl>(info, "InfoCtrl_0");
        QTRY_COMPARE_WITH_TIMEOUT(text(frame0, "labelvendorid"), QString("CAFE"), 5000);
        QCOMPARE(text(frame2, "labelvendorid"), QString("BEEF"));
        QCOMPARE(eventLines(frame2), QStringList { "0x0000 No Fault [red]" });
        QCOMPARE(text(panel<IoLinkInfoFrame_Ctrl>(info, "InfoCtrl_1"), "labelvendorid"), QString());
        QVERIFY(link->dataRecive.isEmpty());
    }

    // Replies go to the panel of the class that handles their command, on the port they name.
    void portSetRepliesReachTheirPort_data()
    {
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("red");
        QTest::newRow("port set, ok") << hex("A5 15 03 00 00 00 02 02 00 FF 3F 5A") << 2 << "IoLink端口设置成功"
                                      << false;
        QTest::newRow("port set, failed")
            << PlugFrame::build(PlugFrame::typeIoLink, IOLINK_SET_PORT, hex("02 01")) + char(0x5A) << 2
            << "IoLink端口设置失败" << true;
        QTest::newRow("isdu write failed")
            << PlugFrame::build(PlugFrame::typeIoLink, IOLINK_WRITE_ISDU, hex("00 11 80")) + char(0x5A) << 0
            << "设置ISDU失败 32785" << true;
        QTest::newRow("io params read") << PlugFrame::build(
                                               PlugFrame::typeIoLink, IOLINK_GET_IOPARAM, hex("03 01 05 00"))
                + char(0x5A) << 3 << "读取输入输出参数成功!"
                                        << false;
    }
    void portSetRepliesReachTheirPort()
    {
        QFETCH(QByteArray, wire);
        QFETCH(int, port);
        QFETCH(QString, line);
        QFETCH(bool, red);
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        auto m = master(peer);
        submodule *sub = m->submodules.first();
        auto *portSet = pageOf<IoLinkPortSetform>(sub);
        IoLink_Module *link = IoLink_Module::existingInstance();
        link->sendCommand(IOLINK_GET_PORT, hex("00"));
        QTRY_VERIFY_WITH_TIMEOUT(link->uart && link->uart->isOpen(), 5000);
        peer.send(wire);
        auto logOf = [portSet](int k) {
            return TestSupport::child<QTextEdit>(
                panel<Channel_Ctrl>(portSet, qPrintable(QString("portSetframeFrame_Ctrl_%1").arg(k))), "textEditInfo");
        };
        QTRY_VERIFY_WITH_TIMEOUT(logOf(port)->toPlainText().endsWith(line), 5000);
        const QTextBlock last = logOf(port)->document()->lastBlock();
        QCOMPARE(last.begin().fragment().charFormat().foreground().color() == Qt::red, red);
        for (int k = 0; k < 4; ++k) {
            if (k != port)
                QCOMPARE(logOf(k)->toPlainText(), QString());
        }
    }

    // A link made again knows only the panels attached since; replies for the others are dropped.
    void onlyPanelsAttachedSinceTheLinkWasMadeGetReplies()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        auto m = master(peer);
        submodule *sub = m->submodules.first();
        auto *portSet = pageOf<IoLinkPortSetform>(sub);
        IoLink_Module::deleteInstance();
        IoLinkInfoForm lone;
        lone.attachModule(sub);
        IoLink_Module *link = IoLink_Module::existingInstance();
        QVERIFY(link);
        link->sendCommand(IOLINK_GET_PORT, hex("00"));
        QTRY_VERIFY_WITH_TIMEOUT(link->uart && link->uart->isOpen(), 5000);
        Info i;
        i.vendor = 0x0777;
        peer.send(PlugFrame::build(PlugFrame::typeIoLink, IOLINK_SET_PORT, hex("01 00")) + char(0x5A)
            + PlugFrame::build(PlugFrame::typeIoLink, IOLINK_GET_DEVICEINFO, deviceInfo(1, i)) + char(0x5A));
        QTRY_COMPARE_WITH_TIMEOUT(
            text(panel<IoLinkInfoFrame_Ctrl>(&lone, "InfoCtrl_1"), "labelvendorid"), QString("0777"), 5000);
        auto *frame = panel<Channel_Ctrl>(portSet, "portSetframeFrame_Ctrl_1");
        QCOMPARE(TestSupport::child<QTextEdit>(frame, "textEditInfo")->toPlainText(), QString());
        QCOMPARE(
            text(panel<IoLinkInfoFrame_Ctrl>(pageOf<IoLinkInfoForm>(sub), "InfoCtrl_1"), "labelvendorid"), QString());
    }

    // A shown page builds the panel of the port in view only; another port's panel is built when
    // its tab is shown or an answer for it arrives, with the texts of the language then in use.
    void panelsBuildAtTheirFirstShow()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        auto m = master(peer);
        submodule *sub = m->submodules.first();
        Language en(":/res/language/en_US.qm");
        sub->setLanguage(1);
        auto *param = pageOf<IoLinkParamForm>(sub);
        auto *portSet = pageOf<IoLinkPortSetform>(sub);
        auto panelOf = [](QWidget *page, const char *pattern, int k) {
            return TestSupport::child<Channel_Ctrl>(page, qPrintable(QString(pattern).arg(k)));
        };
        param->show();
        QVERIFY(QTest::qWaitForWindowExposed(param));
        for (int k = 0; k < 4; ++k)
            QCOMPARE(panelOf(param, "paramframe_ctrl_%1", k)->isBuilt(), k == 3);
        TestSupport::child<QTabWidget>(param, "tabWidget")->setCurrentIndex(0);
        auto *first = static_cast<IoLinkParamFrame_Ctrl *>(panelOf(param, "paramframe_ctrl_%1", 0));
        QVERIFY(first->isBuilt());
        auto *table = TestSupport::child<QTableWidget>(first, "tableWidget");
        QCOMPARE(table->horizontalHeaderItem(0)->text(), QString("Result"));
        QCOMPARE(qobject_cast<QPushButton *>(table->cellWidget(0, 1))->text(), QString("Test"));
        QVERIFY(!panelOf(param, "paramframe_ctrl_%1", 1)->isBuilt());

        // An answer for a port whose tab nobody opened shows in that port's panel all the same.
        QVERIFY(!panelOf(portSet, "portSetframeFrame_Ctrl_%1", 2)->isBuilt());
        IoLink_Module *link = IoLink_Module::existingInstance();
        link->sendCommand(IOLINK_GET_PORT, hex("00"));
        QTRY_VERIFY_WITH_TIMEOUT(link->uart && link->uart->isOpen(), 5000);
        peer.send(PlugFrame::build(PlugFrame::typeIoLink, IOLINK_SET_PORT, hex("02 00")) + char(0x5A));
        auto log = [&] {
            return TestSupport::child<QTextEdit>(panelOf(portSet, "portSetframeFrame_Ctrl_%1", 2), "textEditInfo");
        };
        QTRY_VERIFY_WITH_TIMEOUT(panelOf(portSet, "portSetframeFrame_Ctrl_%1", 2)->isBuilt(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(log()->toPlainText().endsWith("IoLink Port settingssuccee"), 5000);
        QCOMPARE(
            TestSupport::child<QPushButton>(panelOf(portSet, "portSetframeFrame_Ctrl_%1", 2), "btnIsDURead")->text(),
            QString("Read"));
        QVERIFY(!panelOf(portSet, "portSetframeFrame_Ctrl_%1", 1)->isBuilt());
    }

    // The fake master answers as one master would: each port that reports a device in its
    // information is set to IO-Link with that device's IDs and lengths, its identification reads
    // back over ISDU, and its events are ones the page names.
    void fakeMasterAgreesWithItself()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        auto fake = std::make_shared<FakeIoLinkMaster>();
        peer.addDevice(fake);
        for (int port = 0; port < 4; ++port)
            fake->plugDevice(FakeIoLinkMaster::exampleSensor(port));
        auto m = master(peer);
        submodule *sub = m->submodules.first();
        sub->setLanguage(0);
        auto *info = pageOf<IoLinkInfoForm>(sub);
        auto *portSet = pageOf<IoLinkPortSetform>(sub);
        for (int port = 0; port < 4; ++port) {
            const QByteArray name = QString("InfoCtrl_%1").arg(port).toLatin1();
            auto *shown = panel<IoLinkInfoFrame_Ctrl>(info, name.constData());
            IoLink_Module::instance()->sendCommand(IOLINK_GET_DEVICEINFO, QByteArray(1, char(port)));
            QTRY_VERIFY_WITH_TIMEOUT(!text(shown, "labelvendorid").isEmpty(), 5000);
            const QStringList events = eventLines(shown);
            QCOMPARE(events.size(), 1);
            QVERIFY2(!events.first().contains("[?]"), qPrintable(events.first()));

            auto *frame = panel<IoLinkPortSetFrame_Ctrl>(
                portSet, QString("portSetframeFrame_Ctrl_%1").arg(port).toLatin1().constData());
            QTest::mouseClick(TestSupport::child<QPushButton>(frame, "pushButtonRefreshLinkPort"), Qt::LeftButton);
            auto *function = TestSupport::child<QComboBox>(frame, "comboBox_Fun");
            QTRY_COMPARE_WITH_TIMEOUT(function->currentText(), QString("SDCI"), 5000);
            auto lineText = [frame](const char *line) { return TestSupport::child<QLineEdit>(frame, line)->text(); };
            QCOMPARE(lineText("lineEditVID"), text(shown, "labelvendorid"));
            QCOMPARE(lineText("lineEditDevID"), text(shown, "labeldeviceid"));
            QCOMPARE(lineText("lineEditInputLength"), text(shown, "labelin_len"));
            QCOMPARE(lineText("lineEditOutputLength"), text(shown, "labelout_len"));
            QCOMPARE(TestSupport::child<QComboBox>(frame, "comboBoxValidate")->currentIndex(), 1);

            // The vendor name over ISDU (index 0x10), as the information page shows it.
            TestSupport::child<QLineEdit>(frame, "lineEditIndex")->setText("10");
            TestSupport::child<QLineEdit>(frame, "lineEditSubIndex")->setText("0");
            QTest::mouseClick(TestSupport::child<QPushButton>(frame, "btnIsDURead"), Qt::LeftButton);
            auto *data = TestSupport::child<QTextEdit>(frame, "textEditData");
            QTRY_VERIFY_WITH_TIMEOUT(!data->toPlainText().isEmpty(), 5000);
            QCOMPARE(QString::fromUtf8(QByteArray::fromHex(data->toPlainText().toLatin1())),
                text(shown, "labelVendor_Name"));
        }
        // The port shown first names its event.
        QCOMPARE(eventLines(panel<IoLinkInfoFrame_Ctrl>(info, "InfoCtrl_3")),
            QStringList { "0x8C40 要求维护——清洗 [black]" });
    }

    // An IO-Link master's pages shown in the main window keep the application's style: a style
    // sheet around the page area would run every one of their widgets through the sheet's rules
    // and make each cost several times what it does.
    void pagesInTheWindowKeepThePlainStyle()
    {
        MainWindow window;
        window.readDevicestype();
        window.readSublistmap();
        window.show();
        ScanReply reply;
        reply.hasModuleType = true;
        reply.typeName = "RVE-C100";
        reply.ip = "127.0.0.1";
        reply.subs.append({ 1, 121, "V1.0" });
        module *m = ScanReplyHandler::buildModule(
            reply, window.familyMap, window.sublistMap, 0, modulebase::CONNEST_NET, "eth");
        QVERIFY(m);
        window.addModule(m);
        submodule *sub = m->submodules.first();
        TestSupport::child<QTreeWidget>(&window, "treeWidget")->setCurrentItem(sub);
        auto *param = TestSupport::pageOf<IoLinkParamForm>(sub);
        // The page tabs hold the page in their stack.
        auto *pageTabs = qobject_cast<QTabWidget *>(param->parentWidget()->parentWidget());
        QVERIFY(pageTabs);
        pageTabs->setCurrentWidget(param);
        QTRY_VERIFY_WITH_TIMEOUT(param->isVisible(), 5000);
        QCOMPARE(param->style(), QApplication::style());
        auto *frame = TestSupport::child<IoLinkParamFrame_Ctrl>(param, "paramframe_ctrl_3");
        QVERIFY(frame->isVisible());
        auto *table = TestSupport::child<QTableWidget>(frame, "tableWidget");
        for (int row = 0; row < 20; ++row) {
            for (int column = 1; column <= 4; ++column)
                QCOMPARE(table->cellWidget(row, column)->style(), QApplication::style());
        }
        window.clearModuleList();
    }

    void resetGivesThePortBack()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        auto m = master(peer);
        submodule *sub = m->submodules.first();
        // Shown pages point the link at their module.
        for (menubase *page : sub->pageList)
            page->ensureBuilt();
        IoLink_Module::instance()->sendCommand(IOLINK_GET_PORT, hex("01"));
        QTRY_VERIFY_WITH_TIMEOUT(SerialPortRegistry::instance().isHeld(peer.portName()), 5000);
        for (menubase *page : sub->pageList)
            page->resetPage();
        QVERIFY(!SerialPortRegistry::instance().isHeld(peer.portName()));
        QObject other;
        QVERIFY(SerialPortRegistry::instance().acquire(peer.portName(), &other));
        SerialPortRegistry::instance().release(peer.portName(), &other);
    }

    void destroyingOnePageTakesTheLinkDown()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        auto m = master(peer);
        submodule *sub = m->submodules.first();
        auto *info = pageOf<IoLinkInfoForm>(sub);
        auto *portSet = pageOf<IoLinkPortSetform>(sub);
        auto *frame = panel<IoLinkInfoFrame_Ctrl>(info, "InfoCtrl_1");
        Info i;
        i.vendor = 0x0042;
        frame->showDeviceInfo(deviceInfo(1, i));
        IoLink_Module::instance()->sendCommand(IOLINK_GET_PORT, hex("01"));
        QTRY_VERIFY_WITH_TIMEOUT(SerialPortRegistry::instance().isHeld(peer.portName()), 5000);
        delete portSet;
        QVERIFY(!IoLink_Module::existingInstance());
        QVERIFY(!SerialPortRegistry::instance().isHeld(peer.portName()));
        QCOMPARE(text(frame, "labelvendorid"), QString("0042"));
        // Deleting the module deletes its remaining pages.
        QPointer<IoLinkInfoForm> alive(info);
        m.reset();
        QVERIFY(alive.isNull());
    }
};

RIVUDO_TEST_MAIN(TestIoLinkPages)
#include "tst_iolinkpages.moc"
