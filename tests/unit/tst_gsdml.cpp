#include "gsdml.h"
#include "testsupport.h"

#include <QBuffer>

namespace {

QByteArray index3()
{
    return "OTHER:GSDML-other.xml:DAP_O\r\n"
           "short:GSDML-short.xml\r\n"
           "RVE-C100:GSDML-v2.35-rivudo.xml:DAP_1:ignored:fields\r\n"
           "RVE-C100:GSDML-second.xml:DAP_2\r\n"
           "NOFILE:description.xml:DAP_N\n"
           "NOFILE:GSDML-later.xml:DAP_L\n"
           "::\n"
           "LAST:GSDML-last.xml:DAP_Z";
}

// A description with one application process; parts are left out by passing empty texts.
QByteArray gsdmlWith(
    const QByteArray &daps, const QByteArray &modules, const QByteArray &submodules, const QByteArray &texts)
{
    return "<?xml version=\"1.0\"?><ISO15745Profile><ProfileHeader/><ProfileBody><ApplicationProcess>"
           "<DeviceAccessPointList>"
        + daps + "</DeviceAccessPointList>" + modules + submodules + texts
        + "</ApplicationProcess></ProfileBody></ISO15745Profile>";
}

QByteArray item(const QByteArray &tag, const QByteArray &identAttr, const QByteArray &ident, const QByteArray &id,
    const QByteArray &textId)
{
    return "<" + tag + " ID=\"" + id + "\" " + identAttr + "=\"" + ident + "\"><ModuleInfo><Name TextId=\"" + textId
        + "\"/></ModuleInfo></" + tag + ">";
}

} // namespace

class TestGsdml : public QObject
{
    Q_OBJECT

private slots:
    void indexLookup_data()
    {
        QTest::addColumn<QByteArray>("index");
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("dap");

        QTest::newRow("first line decides, upper-cased, CRLF")
            << index3() << "RVE-C100" << true << "GSDML-V2.35-RIVUDO.XML"
            << "DAP_1";
        QTest::newRow("type compared case-sensitively") << index3() << "rve-c100" << false << ""
                                                        << "";
        QTest::newRow("file without GSDML stops the lookup") << index3() << "NOFILE" << false << ""
                                                             << "";
        QTest::newRow("fewer than three fields skipped") << index3() << "short" << false << ""
                                                         << "";
        QTest::newRow("last line without line end") << index3() << "LAST" << true << "GSDML-LAST.XML"
                                                    << "DAP_Z";
        QTest::newRow("not listed") << index3() << "RVE-C200" << false << ""
                                    << "";
        QTest::newRow("empty type matches an empty field 1, no GSDML") << index3() << "" << false << ""
                                                                       << "";
        QTest::newRow("lower-case gsdml is not GSDML")
            << QByteArray("T:gsdml-x.xml:D\nT:GSDML-x.xml:D\n") << "T" << false << ""
            << "";
        QTest::newRow("fields are not trimmed") << QByteArray("T: GSDML-x.xml : D \n") << "T" << true << " GSDML-X.XML "
                                                << " D ";
        QTest::newRow("UTF-8 type name") << QByteArray("耦合器:GSDML-x.xml:D\n") << "耦合器" << true << "GSDML-X.XML"
                                         << "D";
        QTest::newRow("empty index") << QByteArray() << "T" << false << ""
                                     << "";
    }

    void indexLookup()
    {
        QFETCH(QByteArray, index);
        QFETCH(QString, type);
        QFETCH(bool, found);
        QFETCH(QString, file);
        QFETCH(QString, dap);
        const Gsdml::IndexEntry entry = Gsdml::lookupIndex(index, type);
        QCOMPARE(entry.found, found);
        QCOMPARE(entry.file, file);
        QCOMPARE(entry.dapId, dap);
    }

    void indexLookupReadsFromTheDevicePosition()
    {
        QByteArray data = "X:GSDML-a.xml:A\nX:GSDML-b.xml:B\n";
        QBuffer buffer(&data);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        buffer.readLine();
        QCOMPARE(Gsdml::lookupIndex(buffer, "X").dapId, QString("B"));
    }

    void ident_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("0x prefix") << "0x21" << true << 33;
        QTest::newRow("0X prefix") << "0X00000021" << true << 33;
        QTest::newRow("bare hex") << "21" << true << 33;
        QTest::newRow("letters") << "0xCa" << true << 202;
        QTest::newRow("largest") << "0x7FFFFFFF" << true << 0x7FFFFFFF;
        QTest::newRow("too large") << "0x80000000" << false << 0;
        QTest::newRow("negative") << "-1" << false << 0;
        QTest::newRow("not a number") << "zz" << false << 0;
        QTest::newRow("prefix only") << "0x" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("decimal text is read as hex") << "33" << true << 0x33;
    }

    void ident()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        int v = -7;
        QCOMPARE(Gsdml::parseIdent(text, &v), valid);
        if (valid)
            QCOMPARE(v, value);
        else
            QCOMPARE(v, -7);
    }

    void readsEveryPart()
    {
        const QByteArray data = gsdmlWith("<DeviceAccessPointItem ID=\"DAP_1\" DNS_CompatibleName=\"first\"/>"
                                          "<Other ID=\"DAP_1\" DNS_CompatibleName=\"not an access point\"/>"
                                          "<DeviceAccessPointItem ID=\"DAP_1\" DNS_CompatibleName=\"second\"/>"
                                          "<DeviceAccessPointItem ID=\"DAP_2\"/>",
            "<ModuleList>" + item("ModuleItem", "ModuleIdentNumber", "0x21", "IDM_A", "T_A")
                + item("Anything", "ModuleIdentNumber", "zz", "IDM_BAD", "T_BAD")
                + "<ModuleItem ID=\"IDM_NOINFO\" ModuleIdentNumber=\"0x22\"/>" + "</ModuleList>",
            "<SubmoduleList>" + item("SubmoduleItem", "SubmoduleIdentNumber", "0x50", "IDS_C", "T_C")
                + "</SubmoduleList>",
            "<ExternalTextList><PrimaryLanguage><Text TextId=\"T_A\" Value=\"Alpha\"/>"
            "<Text TextId=\"T_A\" Value=\"Alpha again\"/></PrimaryLanguage>"
            "<Language><Text TextId=\"T_C\" Value=\"C in another language\"/></Language></ExternalTextList>");
        const Gsdml::Document doc = Gsdml::read(data);
        QVERIFY2(doc.ok, qPrintable(doc.error));
        QCOMPARE(doc.processes.size(), 1);
        const Gsdml::ApplicationProcess &ap = doc.processes.first();
        QCOMPARE(ap.accessPoints.size(), 3);
        QCOMPARE(ap.accessPoints.at(1).dnsName, QString("second"));
        QCOMPARE(ap.accessPoints.at(2).dnsName, QString());
        QVERIFY(ap.hasModuleList);
        QCOMPARE(ap.modules.size(), 3);
        QVERIFY(!ap.modules.at(1).identValid);
        QCOMPARE(ap.modules.at(2).textId, QString());

        const Gsdml::Item *a = Gsdml::findItem(ap.modules, 33);
        QVERIFY(a);
        QCOMPARE(a->id, QString("IDM_A"));
        QCOMPARE(a->textId, QString("T_A"));
        // A text that is no number is not ident 0.
        QVERIFY(!Gsdml::findItem(ap.modules, 0));
        QVERIFY(!Gsdml::findItem(ap.modules, -1));
        QVERIFY(!Gsdml::findItem(ap.modules, 0x50));
        QCOMPARE(Gsdml::findItem(ap.submodules, 0x50)->id, QString("IDS_C"));

        QCOMPARE(Gsdml::findText(ap.texts, "T_A")->value, QString("Alpha"));
        QVERIFY(!Gsdml::findText(ap.texts, "T_C"));
        QVERIFY(!Gsdml::findText(ap.texts, ""));
    }

    void withoutModuleList()
    {
        const Gsdml::Document doc
            = Gsdml::read(gsdmlWith("<DeviceAccessPointItem ID=\"D\" DNS_CompatibleName=\"dns\"/>", "", "", ""));
        QVERIFY(doc.ok);
        QCOMPARE(doc.processes.size(), 1);
        QVERIFY(!doc.processes.first().hasModuleList);
        QCOMPARE(doc.processes.first().accessPoints.first().dnsName, QString("dns"));
    }

    void accessPointListIsTheFirstChild()
    {
        // Whatever comes first under ApplicationProcess is taken as the access point list.
        const Gsdml::Document doc
            = Gsdml::read("<r><ProfileBody><ApplicationProcess><ModuleList/><DeviceAccessPointList>"
                          "<DeviceAccessPointItem ID=\"D\"/></DeviceAccessPointList></ApplicationProcess>"
                          "</ProfileBody></r>");
        QVERIFY(doc.ok);
        QVERIFY(doc.processes.first().accessPoints.isEmpty());
    }

    void everyProfileBodyAndProcess()
    {
        const Gsdml::Document doc = Gsdml::read(
            "<r><ProfileBody><ApplicationProcess/><ApplicationProcess/><Other/></ProfileBody>"
            "<profilebody><ApplicationProcess/></profilebody><ProfileBody><ApplicationProcess/></ProfileBody></r>");
        QVERIFY(doc.ok);
        QCOMPARE(doc.processes.size(), 3);
    }

    void notWellFormed_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("cut off") << gsdmlWith("", "", "", "").left(60);
        QTest::newRow("text") << QByteArray("GSDML");
    }

    void notWellFormed()
    {
        QFETCH(QByteArray, data);
        const Gsdml::Document doc = Gsdml::read(data);
        QVERIFY(!doc.ok);
        QVERIFY(!doc.error.isEmpty());
        QVERIFY(doc.processes.isEmpty());
    }

    void shippedDescriptions()
    {
        // Every coupler in the shipped index has a readable description with its access point.
        QFile index(TestSupport::sourceDataDir() + "/GSDML/gsdxm.ini");
        QVERIFY(index.open(QIODevice::ReadOnly));
        const QByteArray all = index.readAll();
        QVERIFY(all.contains("\r\n"));
        for (const char *type : { "RVE-C100", "RVE-C150", "KTL-C10" }) {
            const Gsdml::IndexEntry entry = Gsdml::lookupIndex(all, type);
            QVERIFY2(entry.found, type);
            QDir dir(TestSupport::sourceDataDir() + "/GSDML");
            QString name;
            for (const QString &f : dir.entryList(QDir::Files)) {
                if (f.toUpper() == entry.file)
                    name = f;
            }
            QVERIFY2(!name.isEmpty(), qPrintable(entry.file));
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const Gsdml::Document doc = Gsdml::read(file);
            QVERIFY2(doc.ok, qPrintable(doc.error));
            bool dap = false;
            for (const Gsdml::AccessPoint &ap : doc.processes.first().accessPoints)
                dap = dap || (ap.id == entry.dapId && !ap.dnsName.isEmpty());
            QVERIFY2(dap, type);
            QVERIFY(doc.processes.first().hasModuleList);
        }
    }
};

RIVUDO_TEST_MAIN(TestGsdml)
#include "tst_gsdml.moc"
