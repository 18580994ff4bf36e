#include "familymap.h"
#include "iopoint.h"
#include "module.h"
#include "scanreply.h"
#include "scanreplyhandler.h"
#include "sublistmap.h"
#include "submodule.h"
#include "tempappdir.h"
#include "testpage.h"
#include "testsupport.h"

#include <memory>

namespace {

const char *const kFamily = R"(<?xml version="1.0" encoding="utf-8"?>
<root>
 <modules>
  <m ModuleName="CPL" ModuleShowName="Coupler"><Param Len="0"/><menu><i menuname="General"/><i menuname="I/O"/></menu></m>
  <m ModuleName="SA"><Param Len="3"/><menu><i menuname="General"/></menu></m>
  <m ModuleName="SB"><Param Len="2"/><menu><i menuname="General"/></menu></m>
 </modules>
 <lists/>
</root>
)";

// Fields of an information reply; sub-module pairs follow the count.
QByteArray reply(const QByteArray &type, const QByteArray &subnum, const QList<QByteArray> &pairs)
{
    QList<QByteArray> fields = { "moduletype:" + type, "MAC:aa:bb:cc:dd:ee:ff", "IP:192:168:1:10", "MASK:255:255:255:0",
        "GATEWAY:192:168:1:1", "INLN:2", "OUTL:1", "PARA:12", "V1.2", "B3.4", "SUBNUM:" + subnum };
    fields += pairs;
    return fields.join('#');
}

} // namespace

class TestScanReply : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempAppDir> m_dir;
    FamilyMap m_families;
    SublistMap m_sublist;

private slots:
    void init()
    {
        m_dir.reset(new TempAppDir);
        TestPage::install();
        TestPage::clear();
        QVERIFY(m_dir->write("/ModuleParameter/FAM/ModuleParameter.xml", kFamily));
        m_families = FamilyMap();
        m_families.insert("CPL", "FAM");
        m_families.insert("SA", "FAM");
        m_families.insert("SB", "FAM");
        m_sublist = SublistMap();
        m_sublist.insert(5, "SA");
        m_sublist.insert(6, "SB");
        m_sublist.insert(9, "NOFAMILY");
    }

    void cleanup()
    {
        m_dir.reset();
        QCOMPARE(TestPage::alive(), 0);
    }

    void parsesAFullReply()
    {
        const ScanReply r = ScanReply::parse(reply("CPL", "3", { "ID:5", "S1", "ID:7", "S2", "ID:6", "S3", "tail" }));
        QVERIFY(r.hasModuleType);
        QCOMPARE(r.typeName, QString("CPL"));
        QCOMPARE(r.mac, QString("aa:bb:cc:dd:ee:ff"));
        QCOMPARE(r.ip, QString("192.168.1.10"));
        QCOMPARE(r.mask, QString("255.255.255.0"));
        QCOMPARE(r.gateway, QString("192.168.1.1"));
        QCOMPARE(r.inlen, QString("2"));
        QCOMPARE(r.outlen, QString("1"));
        QCOMPARE(r.Paralen, QString("12"));
        QCOMPARE(r.softwareVer, QString("V1.2"));
        QCOMPARE(r.backbusVer, QString("B3.4"));
        QCOMPARE(r.subnum, 3);
        QCOMPARE(r.subs.size(), 3);
        QCOMPARE(r.subs.at(1).slot, 2);
        QCOMPARE(r.subs.at(1).typeId, 7);
        QCOMPARE(r.subs.at(2).softwareVer, QString("S3"));
    }

    void shortReplies_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("hasType");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("ip");
        QTest::addColumn<int>("subnum");
        QTest::addColumn<int>("subs");
        QTest::newRow("type only") << QByteArray("moduletype:CPL") << true << "CPL"
                                   << "" << 0 << 0;
        QTest::newRow("cut in the address") << QByteArray("moduletype:CPL#MAC:1#I") << true << "CPL"
                                            << "" << 0 << 0;
        QTest::newRow("NUL ends the name") << QByteArray("moduletype:CPL\0junk#MAC:1#IP:1:2:3:4", 36) << true << "CPL"
                                           << "1.2.3.4" << 0 << 0;
        QTest::newRow("count without pairs") << reply("CPL", "2000000000", {}) << true << "CPL"
                                             << "192.168.1.10" << 2000000000 << 0;
        QTest::newRow("half a pair") << reply("CPL", "2", { "ID:5", "S1", "ID:6" }) << true << "CPL"
                                     << "192.168.1.10" << 2 << 2;
        QTest::newRow("count not a number") << reply("CPL", "two", { "ID:5", "S1" }) << true << "CPL"
                                            << "192.168.1.10" << 0 << 0;
        QTest::newRow("negative count") << reply("CPL", "-3", { "ID:5", "S1" }) << true << "CPL"
                                        << "192.168.1.10" << -3 << 0;
        QTest::newRow("no moduletype") << QByteArray("hello#IP:1:2:3:4") << false << ""
                                       << "" << 0 << 0;
        QTest::newRow("empty") << QByteArray() << false << ""
                               << "" << 0 << 0;
        QTest::newRow("moduletype after NUL") << QByteArray("x\0moduletype:CPL", 16) << false << ""
                                              << "" << 0 << 0;
    }

    void shortReplies()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, hasType);
        QFETCH(QString, type);
        QFETCH(QString, ip);
        QFETCH(int, subnum);
        QFETCH(int, subs);
        const ScanReply r = ScanReply::parse(bytes);
        QCOMPARE(r.hasModuleType, hasType);
        QCOMPARE(r.typeName, type);
        QCOMPARE(r.ip, ip);
        QCOMPARE(r.subnum, subnum);
        QCOMPARE(r.subs.size(), subs);
    }

    void buildsModuleWithSubmodules()
    {
        TestPageSpec coupler;
        coupler.take = 4;
        coupler.inputSize = 1;
        TestPage::specs()["CPL"] = { coupler, TestPageSpec() };
        TestPageSpec sub;
        sub.take = 1;
        sub.inputSize = 8; // sub-modules do not size the first points
        TestPage::specs()["SA"] = { sub };
        TestPage::specs()["SB"] = { sub };
        ScanReplyHandler handler;
        ScanReplyHandler::Outcome outcome = ScanReplyHandler::NoModuleType;
        // Slot 2 holds a type id the map lacks: it stays empty.
        std::unique_ptr<module> m(
            handler.takeModuleInfo(reply("CPL", "3", { "ID:5", "S1", "ID:77", "S2", "ID:6", "S3" }), m_families,
                m_sublist, 1, modulebase::CONNEST_NET, "eth", &outcome));
        QVERIFY(m);
        QCOMPARE(outcome, ScanReplyHandler::Made);
        QCOMPARE(m->name, QString("CPL"));
        QCOMPARE(m->ip, QString("192.168.1.10"));
        QCOMPARE(m->ipAddress, QString("192.168.1.10"));
        QCOMPARE(m->text(0), QString("Coupler(192.168.1.10)"));
        QCOMPARE(m->mac, QString("aa:bb:cc:dd:ee:ff"));
        QCOMPARE(m->Paralen, QString("12"));
        QCOMPARE(m->subnum, 3);
        QCOMPARE(m->slotNum, 0);
        QCOMPARE(m->language, 1);
        QCOMPARE(m->connType, modulebase::CONNEST_NET);
        QCOMPARE(m->comstr, QString("eth"));
        QCOMPARE(m->submodules.size(), 2);
        submodule *a = m->submodules.at(0);
        submodule *b = m->submodules.at(1);
        QCOMPARE(a->slot, QString("1"));
        QCOMPARE(a->typeId, 5);
        QCOMPARE(a->softwareVer, QString("S1"));
        QCOMPARE(a->language, 1);
        QCOMPARE(b->slot, QString("3"));
        QCOMPARE(b->typeId, 6);
        QCOMPARE(b->comstr, QString("eth"));
        QCOMPARE(b->connType, modulebase::CONNEST_NET);
        QCOMPARE(b->ipAddress, QString("192.168.1.10"));
        QCOMPARE(m->childCount(), 2);

        QStringList addresses;
        for (IoPoint *p : m->ioPoints)
            addresses << p->address;
        QCOMPARE(addresses, QStringList({ "%IB0", "%IB1", "%IB2", "%QB0" }));

        QCOMPARE(handler.lastModule(), m.get());
        QVERIFY(handler.takeParamReply("HEADabcdefgTAIL"));
        QCOMPARE(static_cast<TestPage *>(m->pageList.at(0))->received, QList<QByteArray> { "abcdefg" });
        QCOMPARE(static_cast<TestPage *>(a->pageList.at(0))->received, QList<QByteArray> { "efg" });
        QCOMPARE(static_cast<TestPage *>(b->pageList.at(0))->received, QList<QByteArray> { "" });
        // A second parameter reply has no information reply before it.
        QVERIFY(!handler.takeParamReply("HEADxyzTAIL"));
        QCOMPARE(static_cast<TestPage *>(m->pageList.at(0))->received.size(), 1);
    }

    void ignoredReplies_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("outcome");
        QTest::newRow("no moduletype") << QByteArray("garbage#IP:1") << int(ScanReplyHandler::NoModuleType);
        QTest::newRow("unknown module type") << reply("XYZ", "0", {}) << int(ScanReplyHandler::UnknownModuleType);
        QTest::newRow("sub-module type without family")
            << reply("CPL", "2", { "ID:5", "S1", "ID:9", "S2" }) << int(ScanReplyHandler::UnknownSubmoduleType);
    }

    void ignoredReplies()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, outcome);
        ScanReplyHandler handler;
        std::unique_ptr<module> first(
            handler.takeModuleInfo(reply("CPL", "0", {}), m_families, m_sublist, 0, modulebase::CONNEST_COM, "COM4"));
        QVERIFY(first);
        ScanReplyHandler::Outcome got = ScanReplyHandler::Made;
        QVERIFY(!handler.takeModuleInfo(bytes, m_families, m_sublist, 0, modulebase::CONNEST_COM, "COM4", &got));
        QCOMPARE(int(got), outcome);
        QCOMPARE(TestPage::alive(), 2); // nothing was built for the ignored reply
        // Its parameter reply is dropped, not dealt to the module before it.
        QVERIFY(!handler.takeParamReply("HEADabcdTAIL"));
        QVERIFY(static_cast<TestPage *>(first->pageList.at(0))->received.isEmpty());
    }

    void parameterReplyAfterModuleIsGone()
    {
        ScanReplyHandler handler;
        delete handler.takeModuleInfo(reply("CPL", "0", {}), m_families, m_sublist, 0, modulebase::CONNEST_NET, "eth");
        QVERIFY(!handler.lastModule());
        QVERIFY(!handler.takeParamReply("HEADabcdTAIL"));
    }

    void parameterReplyWithoutBytesKeepsValues_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QByteArray>("received");
        QTest::newRow("exactly 8") << QByteArray("HEADTAIL") << false << QByteArray();
        QTest::newRow("4 bytes") << QByteArray("HEAD") << false << QByteArray();
        QTest::newRow("empty") << QByteArray() << false << QByteArray();
        QTest::newRow("6 bytes") << QByteArray("HEADab") << true << QByteArray("ab");
    }

    void parameterReplyWithoutBytesKeepsValues()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, taken);
        QFETCH(QByteArray, received);
        ScanReplyHandler handler;
        std::unique_ptr<module> m(
            handler.takeModuleInfo(reply("CPL", "0", {}), m_families, m_sublist, 0, modulebase::CONNEST_NET, "eth"));
        QVERIFY(m);
        QCOMPARE(handler.takeParamReply(bytes), taken);
        const QList<QByteArray> got = static_cast<TestPage *>(m->pageList.at(0))->received;
        QCOMPARE(got, taken ? QList<QByteArray> { received } : QList<QByteArray> {});
        // The reply used up its turn: a later one has no information reply before it.
        QVERIFY(!handler.takeParamReply("HEADabcdTAIL"));
    }

    void paramPayload_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("normal") << QByteArray("1234abc5678") << QByteArray("abc");
        QTest::newRow("exactly 8") << QByteArray("12345678") << QByteArray();
        QTest::newRow("nine") << QByteArray("1234x5678") << QByteArray("x");
        QTest::newRow("seven") << QByteArray("1234567") << QByteArray("567");
        QTest::newRow("six") << QByteArray("123456") << QByteArray("56");
        QTest::newRow("five") << QByteArray("12345") << QByteArray("5");
        QTest::newRow("four") << QByteArray("1234") << QByteArray();
        QTest::newRow("empty") << QByteArray() << QByteArray();
    }

    void paramPayload()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, payload);
        QCOMPARE(ScanReplyHandler::paramPayload(bytes), payload);
    }
};

RIVUDO_TEST_MAIN(TestScanReply)
#include "tst_scanreply.moc"
