#include "iopoint.h"
#include "menubase.h"
#include "module.h"
#include "moduleprms.h"
#include "moduleshowform.h"
#include "moduleslot.h"
#include "pagefactory.h"
#include "submodule.h"
#include "tempappdir.h"
#include "testpage.h"
#include "testsupport.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>

namespace {

// One type of the fixture family: its menu keys and parameter byte count.
struct TypeSpec
{
    QString name;
    QStringList menus;
    QString len; // empty: no Param element
};

QByteArray familyXml(const QList<TypeSpec> &types)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root>\n <modules>\n";
    for (const TypeSpec &t : types) {
        xml += "  <m ModuleName=\"" + t.name.toUtf8() + "\" ModuleShowName=\"" + t.name.toUtf8()
            + " show\" Text=\"text of " + t.name.toUtf8()
            + "\" Maxslotnum=\"7\" Maxinputsize=\"64\" Maxoutputsize=\"32\">\n";
        if (!t.len.isNull())
            xml += "   <Param Len=\"" + t.len.toUtf8() + "\"/>\n";
        xml += "   <menu>";
        for (const QString &m : t.menus)
            xml += "<i menuname=\"" + m.toUtf8() + "\"/>";
        xml += "</menu>\n  </m>\n";
    }
    xml += " </modules>\n <lists/>\n</root>\n";
    return xml;
}

QStringList logOf(const QString &prefix)
{
    QStringList out;
    for (const QString &line : TestPage::log()) {
        if (line.startsWith(prefix))
            out << line;
    }
    return out;
}

TestPage *page(moduleFrame *frame, int index)
{
    return static_cast<TestPage *>(frame->pageList.at(index));
}

// A picture form that holds its frames in an inner widget, as the real forms do.
class TestShowForm : public moduleshowform
{
public:
    TestShowForm()
    {
        auto *outer = new QVBoxLayout(this);
        contents = new QWidget(this);
        outer->addWidget(contents);
        row = new QHBoxLayout(contents);
    }
    void addModuleWidget(QWidget *frame) override { row->addWidget(frame); }
    QWidget *contents;
    QHBoxLayout *row;
};

} // namespace

class TestModuleModel : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempAppDir> m_dir;

    void writeFamily(const QList<TypeSpec> &types)
    {
        QVERIFY(m_dir->write("/ModuleParameter/FAM/ModuleParameter.xml", familyXml(types)));
    }

private slots:
    void init()
    {
        m_dir.reset(new TempAppDir);
        TestPage::install();
        TestPage::clear();
    }

    void cleanup()
    {
        m_dir.reset();
        QCOMPARE(TestPage::alive(), 0);
    }

    void keyKinds_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("kind");
        QTest::newRow("General") << "General" << int(PageFactory::General);
        QTest::newRow("General+blank") << "General " << int(PageFactory::None);
        QTest::newRow("general") << "general" << int(PageFactory::None);
        QTest::newRow("General2") << "General2" << int(PageFactory::None);
        QTest::newRow("I/O") << "I/O" << int(PageFactory::IO);
        QTest::newRow("ModbusMonitor") << "ModbusMonitor" << int(PageFactory::ModbusMonitor);
        QTest::newRow("ModbusConfig") << "ModbusConfig" << int(PageFactory::ModbusConfig);
        QTest::newRow("EcatModbusConfig") << "EcatModbusConfig" << int(PageFactory::EcatModbusConfig);
        QTest::newRow("IoutlinkConfig") << "IoutlinkConfig" << int(PageFactory::IoutlinkConfig);
        QTest::newRow("MSCOM") << "MSCOM" << int(PageFactory::MSCOM);
        QTest::newRow("MSCOM suffix") << "MSCOM_485 " << int(PageFactory::MSCOM);
        QTest::newRow("TEMP_CTL") << "TEMP_CTL4" << int(PageFactory::TEMP_CTL);
        QTest::newRow("WEIGT") << "WEIGT2" << int(PageFactory::WEIGT);
        QTest::newRow("Factory_WEIGT") << "Factory_WEIGT" << int(PageFactory::Factory_WEIGT);
        QTest::newRow("MQTT") << "MQTT_1" << int(PageFactory::MQTT);
        QTest::newRow("PARAM_IOLink") << "PARAM_IOLink4" << int(PageFactory::PARAM_IOLink);
        QTest::newRow("DATA_IOLink") << "DATA_IOLink" << int(PageFactory::DATA_IOLink);
        QTest::newRow("INFO_IOLink") << "INFO_IOLink" << int(PageFactory::INFO_IOLink);
        QTest::newRow("lower prefix") << "mscom" << int(PageFactory::None);
        QTest::newRow("empty") << "" << int(PageFactory::None);
    }

    void keyKinds()
    {
        QFETCH(QString, key);
        QFETCH(int, kind);
        QCOMPARE(int(PageFactory::kindOf(key)), kind);
    }

    void pagesFollowKeyOrder()
    {
        writeFamily({ { "CPL", { "I/O", "General", "General", "nothing", "MSCOM1", "IoutlinkConfig" }, "0" } });
        module m("CPL", "FAM");
        QCOMPARE(m.pageList.size(), 5);
        QStringList titles;
        for (menubase *p : m.pageList) {
            QCOMPARE(p->getOwner(), static_cast<modulebase *>(&m));
            QVERIFY(!p->parentWidget());
            titles << p->title;
        }
        QCOMPARE(titles, QStringList({ "", "", "", "", "IoutlinkConfig" }));
        auto *gateway = dynamic_cast<TestGatewayPage *>(m.pageList.at(3));
        QVERIFY(gateway);
        QCOMPARE(gateway->Maxslotnum, 7);
        QCOMPARE(gateway->Maxinputsize, 64);
        QCOMPARE(gateway->Maxoutputsize, 32);
        QCOMPARE(logOf("CPL/"),
            QStringList({ "CPL/0:attach", "CPL/1:attach", "CPL/2:attach", "CPL/3:attach", "CPL/4:attach" }));
    }

    void unregisteredKindMakesNoPage()
    {
        PageFactory::unregisterPage(PageFactory::General);
        writeFamily({ { "CPL", { "General", "I/O" }, "0" } });
        module m("CPL", "FAM");
        QCOMPARE(m.pageList.size(), 1);
        QCOMPARE(page(&m, 0)->tag, QString("CPL/0"));
    }

    void basePageDefaultsAreHarmless()
    {
        menubase base;
        QVERIFY(base.getParamData().isEmpty());
        QCOMPARE(base.setParamData("abc"), 0);
        QCOMPARE(base.inputSize(), 0);
        QCOMPARE(base.outputSize(), 0);
        QVERIFY(base.getSlotList().isEmpty());
        QCOMPARE(base.attachModule(nullptr), 0);
        base.setTitle("t");
        QCOMPARE(base.title, QString("t"));
    }

    void frameDealsBytes_data()
    {
        QTest::addColumn<QList<int>>("takes");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QList<QByteArray>>("received");
        QTest::addColumn<int>("used");
        const QByteArray ten = "0123456789";
        QTest::newRow("3 then 2") << QList<int> { 3, 2 } << ten << QList<QByteArray> { ten, "3456789" } << 5;
        QTest::newRow("all then nothing") << QList<int> { 10, 4 } << ten << QList<QByteArray> { ten, "" } << 10;
        // A count past the end or below zero never moves the offset outside the data.
        QTest::newRow("oversized") << QList<int> { 100, 4 } << ten << QList<QByteArray> { ten, "" } << 10;
        QTest::newRow("negative") << QList<int> { -5, 2, 1 } << ten << QList<QByteArray> { ten, ten, "23456789" } << 3;
        QTest::newRow("empty data") << QList<int> { 3, 2 } << QByteArray() << QList<QByteArray> { "", "" } << 0;
    }

    void frameDealsBytes()
    {
        QFETCH(QList<int>, takes);
        QFETCH(QByteArray, data);
        QFETCH(QList<QByteArray>, received);
        QFETCH(int, used);
        QStringList menus;
        QList<TestPageSpec> specs;
        for (int take : takes) {
            menus << "General";
            TestPageSpec s;
            s.take = take;
            specs << s;
        }
        TestPage::specs()["CPL"] = specs;
        writeFamily({ { "CPL", menus, "0" } });
        module m("CPL", "FAM");
        QCOMPARE(m.moduleFrame::setParamData(data), used);
        for (int i = 0; i < received.size(); ++i)
            QCOMPARE(page(&m, i)->received, QList<QByteArray> { received.at(i) });
    }

    void frameWithoutPages()
    {
        writeFamily({ { "CPL", {}, "0" } });
        module m("CPL", "FAM");
        QVERIFY(m.moduleFrame::getParamData().isEmpty());
        QCOMPARE(m.moduleFrame::setParamData("xyz"), 0);
        QCOMPARE(m.pagesInputSize(), qint64(0));
        QCOMPARE(m.pagesOutputSize(), qint64(0));
        QGroupBox box;
        QTabWidget tabs(&box);
        tabs.addTab(new QWidget, "stale");
        m.tabWidget = &tabs;
        m.showPages();
        QCOMPARE(tabs.count(), 0);
        QCOMPARE(box.title(), QString("0:CPL show(text of CPL)"));
    }

    void moduleDealsBytesToSubmodules_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::newRow("12 bytes") << QByteArray("ABCDefghijkl") << QByteArray("efg") << QByteArray("hi");
        QTest::newRow("6 bytes") << QByteArray("ABCDef") << QByteArray("ef") << QByteArray();
        QTest::newRow("3 bytes") << QByteArray("ABC") << QByteArray() << QByteArray();
    }

    void moduleDealsBytesToSubmodules()
    {
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        TestPageSpec coupler;
        coupler.take = 4;
        TestPageSpec greedy; // a sub-module page that claims more than its description's share
        greedy.take = 50;
        TestPage::specs()["CPL"] = { coupler };
        TestPage::specs()["SA"] = { greedy };
        TestPage::specs()["SB"] = { greedy };
        writeFamily({ { "CPL", { "General" }, "0" }, { "SA", { "General" }, "3" }, { "SB", { "General" }, "2" } });
        module m("CPL", "FAM");
        submodule *a = m.addSubmodule("SA", "FAM", 1);
        submodule *b = m.addSubmodule("SB", "FAM", 2);
        m.setParamData(data);
        QCOMPARE(page(&m, 0)->received, QList<QByteArray> { data });
        QCOMPARE(page(a, 0)->received, QList<QByteArray> { first });
        QCOMPARE(page(b, 0)->received, QList<QByteArray> { second });
    }

    void parameterBytesRoundTrip()
    {
        // A sub-module whose pages produce 5 bytes while its description says 3.
        TestPageSpec coupler;
        coupler.take = 2;
        coupler.out = "MM";
        TestPageSpec five;
        five.take = 5;
        five.out = "abcde";
        TestPageSpec two;
        two.take = 2;
        two.out = "yz";
        TestPage::specs()["CPL"] = { coupler };
        TestPage::specs()["SA"] = { five };
        TestPage::specs()["SB"] = { two };
        writeFamily({ { "CPL", { "General" }, "0" }, { "SA", { "General" }, "3" }, { "SB", { "General" }, "2" } });
        module m("CPL", "FAM");
        submodule *a = m.addSubmodule("SA", "FAM", 1);
        submodule *b = m.addSubmodule("SB", "FAM", 2);
        const QByteArray all = m.getParamData();
        QCOMPARE(all, QByteArray("MMabcdeyz"));
        m.setParamData(all);
        QCOMPARE(page(a, 0)->received, QList<QByteArray> { "abc" });
        QCOMPARE(page(b, 0)->received, QList<QByteArray> { "de" });
    }

    void negativeLenCountsAsZero()
    {
        TestPageSpec one;
        one.take = 1;
        TestPage::specs()["CPL"] = { one };
        writeFamily({ { "CPL", { "General" }, "0" }, { "SA", { "General" }, "-3" }, { "SB", { "General" }, "2" } });
        module m("CPL", "FAM");
        submodule *a = m.addSubmodule("SA", "FAM", 1);
        submodule *b = m.addSubmodule("SB", "FAM", 2);
        QCOMPARE(a->paramLen, 0);
        m.setParamData("0123");
        QCOMPARE(page(a, 0)->received, QList<QByteArray> { "" });
        QCOMPARE(page(b, 0)->received, QList<QByteArray> { "12" });
    }

    void ioPoints_data()
    {
        QTest::addColumn<QString>("inlen");
        QTest::addColumn<QString>("outlen");
        QTest::addColumn<int>("pageIn");
        QTest::addColumn<int>("pageOut");
        QTest::addColumn<QStringList>("addresses");
        QTest::newRow("2 in 1 out") << "2"
                                    << "1" << 0 << 0 << QStringList { "%IB0", "%IB1", "%QB0" };
        QTest::newRow("nothing") << "0"
                                 << "0" << 0 << 0 << QStringList {};
        QTest::newRow("not numbers") << "x"
                                     << "" << 0 << 0 << QStringList {};
        QTest::newRow("page sizes") << "1"
                                    << "0" << 1 << 2 << QStringList { "%IB0", "%IB1", "%QB0", "%QB1" };
        QTest::newRow("negative") << "-4"
                                  << "1" << 0 << 0 << QStringList { "%QB0" };
    }

    void ioPoints()
    {
        QFETCH(QString, inlen);
        QFETCH(QString, outlen);
        QFETCH(int, pageIn);
        QFETCH(int, pageOut);
        QFETCH(QStringList, addresses);
        TestPageSpec sizes;
        sizes.inputSize = pageIn;
        sizes.outputSize = pageOut;
        TestPage::specs()["CPL"] = { sizes };
        writeFamily({ { "CPL", { "General" }, "0" } });
        module m("CPL", "FAM");
        m.inlen = inlen;
        m.outlen = outlen;
        m.buildIoPoints();
        QStringList got;
        for (IoPoint *p : m.ioPoints) {
            QCOMPARE(p->size, 1);
            QCOMPARE(p->value, 0u);
            QVERIFY(!p->row.isValid());
            got << p->address;
        }
        QCOMPARE(got, addresses);
        m.buildIoPoints();
        QCOMPARE(m.ioPoints.size(), 2 * addresses.size());
    }

    void ioPointAddress_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("address");
        QTest::newRow("input byte") << 0 << 1 << 0 << "%IB0";
        QTest::newRow("output word") << 1 << 2 << 4 << "%QW4";
        QTest::newRow("input dword") << 0 << 4 << 8 << "%ID8";
        QTest::newRow("size 3") << 0 << 3 << 1 << "%ID1";
        QTest::newRow("direction 7") << 7 << 1 << 12 << "%QB12";
    }

    void ioPointAddress()
    {
        QFETCH(int, direction);
        QFETCH(int, size);
        QFETCH(int, number);
        QFETCH(QString, address);
        IoPoint p;
        p.direction = direction;
        p.size = size;
        p.number = number;
        p.updateAddress();
        QCOMPARE(p.address, address);
    }

    void sizesAddSubmodulePages()
    {
        TestPageSpec sizes;
        sizes.inputSize = 3;
        sizes.outputSize = 1;
        TestPage::specs()["CPL"] = { sizes };
        TestPage::specs()["SA"] = { sizes, sizes };
        writeFamily({ { "CPL", { "General" }, "0" }, { "SA", { "MSCOM", "MSCOM" }, "0" } });
        module m("CPL", "FAM");
        m.inlen = " 2 ";
        m.outlen = "5";
        m.addSubmodule("SA", "FAM", 1);
        QCOMPARE(m.inputSize(), 2 + 3 + 6);
        QCOMPARE(m.outputSize(), 5 + 1 + 2);
    }

    void reportedSizesAreBounded_data()
    {
        QTest::addColumn<QString>("inlen");
        QTest::addColumn<int>("pageIn");
        QTest::addColumn<int>("inputs");
        QTest::addColumn<bool>("warns");
        QTest::newRow("largest") << "65535" << 0 << 65535 << false;
        QTest::newRow("eight million") << "8000000" << 0 << 65535 << true;
        QTest::newRow("beyond int") << "99999999999" << 0 << 65535 << true;
        QTest::newRow("int max plus pages") << "2147483647" << 2147483647 << 65535 << true;
        QTest::newRow("pages push it over") << "65000" << 1000 << 65535 << true;
    }

    void reportedSizesAreBounded()
    {
        QFETCH(QString, inlen);
        QFETCH(int, pageIn);
        QFETCH(int, inputs);
        QFETCH(bool, warns);
        TestPageSpec sizes;
        sizes.inputSize = pageIn;
        TestPage::specs()["CPL"] = { sizes };
        TestPage::specs()["SA"] = { sizes };
        writeFamily({ { "CPL", { "General" }, "0" }, { "SA", { "General" }, "0" } });
        module m("CPL", "FAM");
        m.addSubmodule("SA", "FAM", 1);
        m.inlen = inlen;
        m.outlen = "70000";
        if (warns)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^module CPL: input size .* exceeds 65535"));
        QCOMPARE(m.inputSize(), inputs);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^module CPL: output size 70000 .* exceeds 65535"));
        QCOMPARE(m.outputSize(), 65535);
        if (warns)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("input size"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("output size"));
        m.buildIoPoints();
        QCOMPARE(m.ioPoints.size(), inputs + 65535);
        QCOMPARE(m.ioPoints.at(inputs - 1)->address, QString("%IB%1").arg(inputs - 1));
    }

    void addressAndConnectionReachSubmodules()
    {
        writeFamily({ { "CPL", {}, "0" }, { "SA", {}, "1" } });
        module m("CPL", "FAM");
        QCOMPARE(m.comstr, QString(""));
        QVERIFY(!m.comstr.isNull());
        QCOMPARE(m.connType, modulebase::CONNEST_NONE);
        m.connType = modulebase::CONNEST_COM;
        m.comstr = "COM3";
        m.setIP("192:168:1:10");
        QCOMPARE(m.ip, QString("192.168.1.10"));
        QCOMPARE(m.ipAddress, QString("192.168.1.10"));
        QCOMPARE(m.text(0), QString("CPL show(192.168.1.10)"));
        submodule *s = m.addSubmodule("SA", "FAM", 3);
        QCOMPARE(s->kind, 1);
        QCOMPARE(s->parentModule, &m);
        QCOMPARE(s->slot, QString("3"));
        QCOMPARE(s->slotNum, 3);
        QCOMPARE(s->text(0), QString("SA show_3"));
        QCOMPARE(m.child(0), static_cast<QTreeWidgetItem *>(s));
        QCOMPARE(s->connType, modulebase::CONNEST_COM);
        QCOMPARE(s->comstr, QString("COM3"));
        QCOMPARE(s->ipAddress, QString("192.168.1.10"));
        m.setIP("10.0.0.7");
        QCOMPARE(s->ipAddress, QString("10.0.0.7"));
    }

    void slotNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        QTest::newRow("number") << "4" << 4;
        QTest::newRow("not a number") << "x1" << 0;
        QTest::newRow("empty") << "" << 0;
    }

    void slotNumber()
    {
        QFETCH(QString, text);
        QFETCH(int, number);
        writeFamily({ { "CPL", {}, "0" } });
        module m("CPL", "FAM");
        m.setSlotNum(text);
        QCOMPARE(m.slotNum, number);
        QCOMPARE(m.findChild<QLabel *>("IP")->text(), text);
    }

    void restoreDefaultsReachesSubmodules()
    {
        writeFamily({ { "CPL", { "General" }, "0" }, { "SA", { "General" }, "1" } });
        module m("CPL", "FAM");
        submodule *s = m.addSubmodule("SA", "FAM", 1);
        s->setHighlight();
        TestPage::log().clear();
        m.restoreDefaults();
        QCOMPARE(TestPage::log(), QStringList({ "CPL/0:restore", "SA/0:restore:shown" }));
        s->clearHighlight();
        QVERIFY(!s->highlighted);
    }

    void languageLoadsOnce()
    {
        writeFamily({ { "CPL", { "General", "I/O" }, "0" } });
        module m("CPL", "FAM");
        QCOMPARE(m.language, 255);
        TestPage::log().clear();
        m.setLanguage(1);
        m.setLanguage(1);
        QCOMPARE(TestPage::log(), QStringList({ "CPL/0:retranslate:1", "CPL/1:retranslate:1" }));
        QCOMPARE(m.language, 1);
        m.setLanguage(0);
        QCOMPARE(TestPage::log().size(), 4);
        QCOMPARE(m.language, 0);
    }

    void ownerAndUpdateLoops()
    {
        auto *slotA = new moduleslot("a");
        auto *slotB = new moduleslot("b");
        TestPageSpec withSlots;
        withSlots.slotRecords = { slotA, slotB };
        TestPage::specs()["CPL"] = { withSlots, TestPageSpec() };
        writeFamily({ { "CPL", { "General", "IoutlinkConfig" }, "0" } });
        {
            module m("CPL", "FAM");
            QCOMPARE(m.collectSlotList(), 2);
            QCOMPARE(m.collectSlotList(), 2);
            QCOMPARE(m.slotList, QList<moduleslot *>({ slotA, slotB }));
            page(&m, 0)->owner = nullptr;
            m.setPagesOwner();
            QCOMPARE(page(&m, 0)->getOwner(), static_cast<modulebase *>(&m));
            TestPage::log().clear();
            m.updatePages();
            QCOMPARE(TestPage::log(), QStringList({ "CPL/0:update", "CPL/1:update" }));
        }
        delete slotA;
        delete slotB;
    }

    void showPagesResetsOnlyTheShownFrame()
    {
        writeFamily({ { "CPL", { "General", "I/O" }, "0" }, { "SA", { "General" }, "1" } });
        module m("CPL", "FAM");
        submodule *s = m.addSubmodule("SA", "FAM", 1);
        TestPage::log().clear();
        m.showPages(); // no tab widget: nothing at all
        QVERIFY(TestPage::log().isEmpty());

        QGroupBox box;
        QTabWidget tabs(&box);
        m.tabWidget = &tabs;
        s->tabWidget = &tabs;
        page(&m, 0)->setTitle("first");
        m.showPages();
        QCOMPARE(TestPage::log(), QStringList({ "CPL/0:reset", "CPL/1:reset", "CPL/0:update", "CPL/1:update" }));
        QCOMPARE(tabs.count(), 2);
        QCOMPARE(tabs.tabText(0), QString("first"));
        TestPage::log().clear();
        s->showPages();
        QCOMPARE(TestPage::log(), QStringList({ "SA/0:reset", "SA/0:update" }));
        QCOMPARE(tabs.count(), 1);
        QCOMPARE(tabs.widget(0), static_cast<QWidget *>(s->pageList.at(0)));
        QCOMPARE(box.title(), QString("1:SA show(text of SA)"));
    }

    void mousePressShowsPagesAndSelectsRow()
    {
        writeFamily({ { "CPL", { "General" }, "0" } });
        QTreeWidget tree;
        auto *m = new module("CPL", "FAM");
        tree.addTopLevelItem(m);
        QTabWidget tabs;
        m->tabWidget = &tabs;
        QMouseEvent right(QEvent::MouseButtonPress, QPointF(1, 1), Qt::RightButton, Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(m, &right);
        QCOMPARE(tabs.count(), 0);
        QVERIFY(!tree.currentItem());
        QMouseEvent left(QEvent::MouseButtonPress, QPointF(1, 1), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m, &left);
        QCOMPARE(tabs.count(), 1);
        QCOMPARE(tree.currentItem(), static_cast<QTreeWidgetItem *>(m));
        tree.clear();
        QCOMPARE(tabs.count(), 0); // the module's page went with it
    }

    void deletingModuleDeletesEverything()
    {
        writeFamily({ { "CPL", { "General", "I/O" }, "0" }, { "SA", { "General" }, "1" } });
        QTreeWidget tree;
        QTabWidget tabs;
        auto *m = new module("CPL", "FAM");
        tree.addTopLevelItem(m);
        m->addSubmodule("SA", "FAM", 1);
        m->addSubmodule("SA", "FAM", 2);
        m->inlen = "2";
        m->buildIoPoints();
        m->tabWidget = &tabs;
        m->showPages();
        QCOMPARE(TestPage::alive(), 4);
        QCOMPARE(tree.topLevelItem(0)->childCount(), 2);
        tree.clear();
        QCOMPARE(TestPage::alive(), 0);
        QCOMPARE(tabs.count(), 0);
    }

    void deletingModuleDeletesItsPictureForm()
    {
        writeFamily({ { "CPL", { "General" }, "0" }, { "SA", { "General" }, "1" } });
        QTreeWidget tree;
        auto *m = new module("CPL", "FAM");
        QPointer<moduleshowform> form = new TestShowForm;
        m->showForm = form;
        m->addShowWidget(m);
        tree.addTopLevelItem(m);
        QPointer<QWidget> sub = m->addSubmodule("SA", "FAM", 1);
        QCOMPARE(sub->parentWidget(), static_cast<TestShowForm *>(form.data())->contents);
        delete m;
        QVERIFY(!form);
        QVERIFY(!sub);
        QCOMPARE(tree.topLevelItemCount(), 0);
    }

    void pictureFormDestroyedFirst()
    {
        // The picture tab goes away with the main window's tab widget: the frames inside it go
        // with it, each exactly once.
        writeFamily({ { "CPL", { "General" }, "0" }, { "SA", { "General" }, "1" } });
        QTreeWidget tree;
        QPointer<module> m = new module("CPL", "FAM");
        auto *form = new TestShowForm;
        m->showForm = form;
        m->addShowWidget(m);
        tree.addTopLevelItem(m);
        QPointer<QWidget> a = m->addSubmodule("SA", "FAM", 1);
        QPointer<QWidget> b = m->addSubmodule("SA", "FAM", 2);
        delete b.data();
        QCOMPARE(m->submodules.size(), 1);
        QCOMPARE(m->childCount(), 1);
        delete form;
        QVERIFY(!m);
        QVERIFY(!a);
        QCOMPARE(tree.topLevelItemCount(), 0);
    }

    void pagesDestroyedWithTheirTabWidget()
    {
        writeFamily({ { "CPL", { "General", "I/O" }, "0" } });
        auto *tabs = new QTabWidget;
        module m("CPL", "FAM");
        m.tabWidget = tabs;
        m.showPages();
        delete tabs;
        QCOMPARE(TestPage::alive(), 0);
        QVERIFY(m.livePages().isEmpty());
        QVERIFY(m.getParamData().isEmpty());
        m.showPages();
    }

    void frameSizeFollowsPicture()
    {
        QByteArray xml = familyXml({ { "CPL", {}, "0" }, { "NOPIC", {}, "0" } });
        xml.replace("<m ModuleName=\"CPL\"", "<m ModuleName=\"CPL\" Pixmap=\"cpl.png\"");
        QVERIFY(m_dir->write("/ModuleParameter/FAM/ModuleParameter.xml", xml));
        QImage image(30, 80, QImage::Format_RGB32);
        image.fill(Qt::gray);
        QVERIFY(image.save(m_dir->filePath("/ModuleParameter/FAM/CPL.PNG")));
        module withPicture("CPL", "FAM");
        QCOMPARE(withPicture.size(), QSize(31, 125));
        QCOMPARE(withPicture.findChild<QLabel *>("label")->size(), QSize(30, 80));
        QCOMPARE(withPicture.findChild<QLabel *>("name")->text(), QString("CPL show"));
        module without("NOPIC", "FAM");
        QCOMPARE(without.size(), QSize(1, 45));
    }

    void slotRecords()
    {
        moduleslot entry("R1");
        QCOMPARE(entry.Scantime, 10);
        QCOMPARE(entry.Maxslotnum, 255);
        entry.typeId = 9;
        entry.Text = "t";
        entry.Inputsize = 4;
        entry.Scantime = 20;
        entry.Maxslotnum = 3;
        entry.slot = 2;
        entry.ip = "1.2.3.4";
        moduleslot childA("A"), childA2("A"), childB("B");
        entry.children = { &childA, &childA2, &childB };
        moduleslot copy(&entry);
        QCOMPARE(copy.name, QString("R1"));
        QCOMPARE(copy.typeId, 9);
        QCOMPARE(copy.Inputsize, 4);
        QCOMPARE(copy.Scantime, 20);
        QCOMPARE(copy.Maxslotnum, 255);
        QCOMPARE(copy.slot, 0);
        QVERIFY(copy.ip.isEmpty());
        QVERIFY(copy.children.isEmpty());
        QCOMPARE(entry.findSubmodule("A"), &childA);
        QCOMPARE(entry.findSubmodule("b"), nullptr);
        QCOMPARE(copy.findSubmodule("A"), nullptr);
    }

    void comboParameter()
    {
        modulePrms p;
        p.text = "Mode";
        p.DefaultValue = 2;
        for (auto entry : QList<QPair<QString, int>> { { "Low", 1 }, { "Same", 2 }, { "Same", 3 }, { "Other", 2 } }) {
            auto *item = new ValueItem { entry.first, entry.first };
            p.valueItems.append({ item, entry.second });
        }
        QComboBox combo;
        QLabel label;
        for (const auto &entry : p.valueItems)
            combo.addItem(entry.first->text);
        p.widget = &combo;
        p.label = &label;
        p.widgetKind = 1;
        connect(&combo, qOverload<int>(&QComboBox::currentIndexChanged), &p, &modulePrms::valueChanged);
        p.showValue(2); // the first item with value 2
        QCOMPARE(combo.currentIndex(), 1);
        QVERIFY(label.text().isEmpty());
        combo.setCurrentIndex(2); // text "Same": the first "Same" gives the value
        QCOMPARE(p.value, 2);
        QCOMPARE(label.text(), QString("Mode*"));
        combo.setCurrentIndex(0);
        QCOMPARE(p.value, 1);
        p.defaultValuetriggered();
        QCOMPARE(combo.currentIndex(), 1);
        QCOMPARE(p.value, 2);
        p.DefaultValue = 99; // no item has it
        p.defaultValuetriggered(true);
        QCOMPARE(combo.currentIndex(), 1);
        p.showValue(42);
        QCOMPARE(combo.currentIndex(), 1);
    }

    void spinParameter()
    {
        modulePrms p;
        p.text = "Time";
        p.DefaultValue = 500;
        QSpinBox spin;
        spin.setRange(0, 100);
        QLabel label;
        p.widget = &spin;
        p.label = &label;
        connect(&spin, qOverload<int>(&QSpinBox::valueChanged), &p, &modulePrms::valueChanged);
        p.showValue(7);
        QCOMPARE(spin.value(), 7);
        QCOMPARE(p.value, 0);
        p.defaultValuetriggered();
        QCOMPARE(spin.value(), 100);
        QCOMPARE(p.value, 100);
        QCOMPARE(label.text(), QString("Time*"));
    }

    void projectXml()
    {
        TestPageSpec bytes;
        bytes.out = QByteArray::fromHex("00ff1a");
        TestPage::specs()["CPL"] = { bytes };
        writeFamily({ { "CPL", { "General" }, "0" }, { "SA", {}, "0" } });
        module m("CPL", "FAM");
        m.mac = " aa:bb ";
        m.setIP("1.2.3.4");
        m.inlen = "2";
        m.subnum = 1;
        m.softwareVer = "V<1>&\"x\"";
        submodule *s = m.addSubmodule("SA", "FAM", 1);
        s->softwareVer = "S 1";
        QCOMPARE(m.toXmlString(),
            QString("<module name=\"CPL\" mac=\"aa:bb\" ip=\"1.2.3.4\" mask=\"\" gateway=\"\" inlen=\"2\"  "
                    "outlen=\"\" Paralen=\"\" softwareVer=\"V&lt;1&gt;&amp;&quot;x&quot;\" backbusVer=\"\" "
                    "subnum=\"1\">\n"
                    "       <submodulelist>\n"
                    "              <submodule name=\"SA\" slot=\"1\" softwareVer=\"S 1\"/>\n"
                    "       </submodulelist>\n"
                    "       <Parameters data = \"00 ff 1a \"/>\n"
                    "    </module>"));
    }
};

RIVUDO_TEST_MAIN(TestModuleModel)
#include "tst_modulemodel.moc"
