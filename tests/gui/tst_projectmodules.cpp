#include "familymap.h"
#include "module.h"
#include "projectmodules.h"
#include "submodule.h"
#include "tempappdir.h"
#include "testsupport.h"

#include "projectrecords.h"
#include <memory>

using namespace ProjectFile;

class TestProjectModules : public QObject
{
    Q_OBJECT

private:
    static ModuleRecord coupler()
    {
        // More sub-modules counted than stored, and ":" in the address as couplers report it.
        ModuleRecord r = record("KTL-C10", "192:168:0:7", { { "RV-DI16", "1", "V1.1" }, { "RV-AI4", "4", "V1.2" } });
        r.subnum = 3;
        return r;
    }

private slots:
    void buildFromRecord()
    {
        TempAppDir app(true);
        FamilyMap families;
        QVERIFY(families.read());
        std::unique_ptr<module> m(ProjectModules::buildModule(coupler(), families));
        QVERIFY(m);
        QCOMPARE(m->Family, QString("KTL"));
        QCOMPARE(m->ip, QString("192.168.0.7"));
        QCOMPARE(m->subnum, 3);
        QCOMPARE(m->submodules.size(), 2);
        QCOMPARE(m->submodules[1]->slot, QString("4"));
        QCOMPARE(m->submodules[1]->softwareVer, QString("V1.2"));
        QCOMPARE(m->submodules[1]->parentModule, m.get());

        ModuleRecord back = ProjectModules::recordOf(m.get());
        ModuleRecord expected = coupler();
        expected.ip = "192.168.0.7";
        QCOMPARE(back.submodules.size(), 2);
        QCOMPARE(back.submodules[1].slot, QString("4"));
        expected.parameters = m->getParamData();
        QCOMPARE(ProjectFile::moduleXml(back), ProjectFile::moduleXml(expected));
        QCOMPARE(m->toXmlString(), ProjectFile::moduleXml(expected));
    }

    // Opening a project deals the saved bytes back: a coupler's table page must leave its
    // sub-modules their blocks, so a second save gives the same bytes.
    void savedBytesOpenAgain_data()
    {
        QTest::addColumn<QString>("coupler");
        QTest::newRow("Modbus table coupler") << QString("RVE-C200");
        QTest::newRow("fixed pages coupler") << QString("RVE-C100");
    }
    void savedBytesOpenAgain()
    {
        QFETCH(QString, coupler);
        TempAppDir app(true);
        FamilyMap families;
        QVERIFY(families.read());
        ModuleRecord r = record(coupler, "127.0.0.6", { { "KTL-D8", "1", "V1.00" }, { "KTL-A2", "2", "V1.00" } });
        std::unique_ptr<module> first(ProjectModules::buildModule(r, families));
        QVERIFY(first);
        QCOMPARE(first->submodules.size(), 2);
        const QByteArray subBytes = first->submodules[0]->getParamData() + first->submodules[1]->getParamData();
        // The filter time's default is 1: a sub-module that lost its bytes would read 0.
        QCOMPARE(subBytes.toHex(), QByteArray("01000000"));
        const QByteArray bytes = first->getParamData();
        QVERIFY(bytes.endsWith(subBytes));
        r.parameters = bytes;
        r.hasParameters = true;
        std::unique_ptr<module> second(ProjectModules::buildModule(r, families));
        QVERIFY(second);
        QCOMPARE(second->getParamData().toHex(' '), bytes.toHex(' '));
        QCOMPARE((second->submodules[0]->getParamData() + second->submodules[1]->getParamData()).toHex(), subBytes.toHex());
    }

    void unknownTypes_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("subType");
        QTest::newRow("module") << "NO-SUCH" << "RV-DI16";
        QTest::newRow("sub-module") << "KTL-C10" << "NO-SUCH";
        QTest::newRow("empty sub-module") << "KTL-C10" << "";
    }

    void unknownTypes()
    {
        QFETCH(QString, type);
        QFETCH(QString, subType);
        TempAppDir app(true);
        FamilyMap families;
        QVERIFY(families.read());
        ModuleRecord r = coupler();
        r.name = type;
        r.submodules[1].name = subType;
        QVERIFY(!ProjectModules::buildModule(r, families));
    }

    void writtenTextsAreXml()
    {
        TempAppDir app(true);
        FamilyMap families;
        QVERIFY(families.read());
        std::unique_ptr<module> m(ProjectModules::buildModule(coupler(), families));
        QVERIFY(m);
        m->softwareVer = QString("V1\x01<2>");
        m->submodules[0]->softwareVer = QString("a\x02\"b\"");
        const QString xml = m->toXmlString();
        QVERIFY(xml.contains("softwareVer=\"V1&lt;2&gt;\" backbusVer"));
        QVERIFY(xml.contains("<submodule name=\"RV-DI16\" slot=\"1\" softwareVer=\"a&quot;b&quot;\"/>"));
        const ReadResult r = ProjectFile::read(("<r><modulelist>" + xml + "</modulelist></r>").toUtf8());
        QVERIFY2(r.ok, qPrintable(r.error));
    }
};

RIVUDO_TEST_MAIN(TestProjectModules)
#include "tst_projectmodules.moc"
