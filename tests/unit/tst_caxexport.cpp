#include "caxexport.h"
#include "module.h"
#include "moduleslot.h"
#include "promptrecorder.h"
#include "submodule.h"
#include "tempappdir.h"
#include "testpage.h"
#include "testsupport.h"

#include <QDomDocument>
#include <QRegularExpression>
#include <QSet>
#include <memory>

namespace {

// One family FAM with the coupler types and their sub-module types.
QByteArray familyXml()
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root>\n <modules>\n";
    for (const char *type : { "CPL", "CPL2", "CPL3", "CPL4" })
        xml += QByteArray("  <m ModuleName=\"") + type
            + "\"><menu><i menuname=\"General\"/><i menuname=\"IoutlinkConfig\"/></menu></m>\n";
    for (const char *type : { "SUBA", "SUBB" })
        xml += QByteArray("  <m ModuleName=\"") + type
            + "\"><Param Len=\"0\"/><menu><i menuname=\"General\"/></menu></m>\n";
    xml += " </modules>\n <lists/>\n</root>\n";
    return xml;
}

QByteArray item(const QByteArray &tag, const QByteArray &identAttr, const QByteArray &ident, const QByteArray &id,
    const QByteArray &textId)
{
    return "<" + tag + " ID=\"" + id + "\" " + identAttr + "=\"" + ident + "\"><ModuleInfo><Name TextId=\"" + textId
        + "\"/></ModuleInfo></" + tag + ">\n";
}

QByteArray fixtureGsdml()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ISO15745Profile><ProfileBody><ApplicationProcess>\n"
           "<DeviceAccessPointList>"
           "<DeviceAccessPointItem ID=\"DAP1\" DNS_CompatibleName=\"first-dns\"/>"
           "<DeviceAccessPointItem ID=\"DAP2\" DNS_CompatibleName=\"cpl2-dns\"/>"
           "<DeviceAccessPointItem ID=\"DAP1\" DNS_CompatibleName=\"cpl-dns\"/>"
           "</DeviceAccessPointList>\n<ModuleList>\n"
        + item("ModuleItem", "ModuleIdentNumber", "zz", "IDM_BAD", "T_BAD")
        + item("ModuleItem", "ModuleIdentNumber", "0x00000021", "IDM_A", "T_A")
        + item("ModuleItem", "ModuleIdentNumber", "0x21", "IDM_A_LATER", "T_BAD")
        + item("ModuleItem", "ModuleIdentNumber", "0x40", "IDM_RA", "T_RA")
        + item("ModuleItem", "ModuleIdentNumber", "0X41", "IDM_RB", "T_RB") + "</ModuleList>\n<SubmoduleList>\n"
        + item("SubmoduleItem", "SubmoduleIdentNumber", "0x40", "IDS_NOT_A_MODULE", "T_BAD")
        + item("SubmoduleItem", "SubmoduleIdentNumber", "0x50", "IDS_C", "T_C")
        + item("SubmoduleItem", "SubmoduleIdentNumber", "0x51", "IDS_D", "T_D")
        + "</SubmoduleList>\n<ExternalTextList><PrimaryLanguage>"
          "<Text TextId=\"T_A\" Value=\"Alpha 模块\"/><Text TextId=\"T_RA\" Value=\"Remote A\"/>"
          "<Text TextId=\"T_RB\" Value=\"Remote B\"/><Text TextId=\"T_C\" Value=\"Sub C\"/>"
          "<Text TextId=\"T_D\" Value=\"Sub D\"/><Text TextId=\"T_BAD\" Value=\"wrong\"/>"
          "</PrimaryLanguage><Language><Text TextId=\"T_A\" Value=\"wrong language\"/></Language>"
          "</ExternalTextList>\n</ApplicationProcess></ProfileBody></ISO15745Profile>\n";
}

const QByteArray fixtureIndex = "OTHER:GSDML-other.xml:X\r\n"
                                "CPL:GSDML-v2.35-test.xml:DAP1\r\n"
                                "CPL:GSDML-wrong.xml:WRONG\r\n"
                                "CPL2:GSDML-v2.35-test.xml:DAP2\r\n"
                                "CPL3:description.xml:DAP1\r\n"
                                "CPL3:GSDML-v2.35-test.xml:DAP1\r\n";

// The element tree below an element as indented lines: "IE name", "A name type value", "R role".
void render(const QDomElement &parent, int depth, QStringList &lines, QStringList &ids)
{
    const QString pad(depth * 2, ' ');
    for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        if (e.tagName() == "InternalElement") {
            lines << pad + "IE " + e.attribute("Name");
            ids << e.attribute("ID");
            render(e, depth + 1, lines, ids);
        } else if (e.tagName() == "Attribute") {
            lines << pad
                    + QStringLiteral("A %1 %2 %3")
                          .arg(e.attribute("Name"), e.attribute("AttributeDataType"),
                              e.firstChildElement("Value").text());
        } else if (e.tagName() == "SupportedRoleClass") {
            lines << pad + "R " + e.attribute("RefRoleClassPath").remove("AutomationProjectConfigurationRoleClassLib/");
        } else {
            lines << pad + "? " + e.tagName();
        }
    }
}

struct Output
{
    bool ok = false;
    QByteArray bytes;
    QStringList lines; // below the container
    QStringList ids;
};

Output readOutput(const QString &path)
{
    Output out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return out;
    out.bytes = file.readAll();
    QDomDocument doc;
    if (!doc.setContent(out.bytes))
        return out;
    for (QDomElement h = doc.documentElement().firstChildElement("InstanceHierarchy"); !h.isNull();
         h = h.nextSiblingElement("InstanceHierarchy")) {
        for (QDomElement e = h.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
            if (e.attribute("Name") == "VORNAK_Devices") {
                render(e, 0, out.lines, out.ids);
                out.ok = true;
            }
        }
    }
    return out;
}

QStringList headModule(
    const QString &pad, const QString &file, const QString &dap, const QString &dns, const QString &type)
{
    return QStringList {
        "IE " + dns,
        "  A TypeName xs:string " + type,
        "  A DeviceItemType xs:string HeadModule",
        "  A PositionNumber xs:int 0",
        "  A BuiltIn xs:boolean false",
        "  A TypeIdentifier xs:string GSD:" + file + "/DAP/" + dap,
        "  IE " + type,
        "    A PositionNumber xs:int 0",
        "    A BuiltIn xs:boolean true",
        "    R DeviceItem",
        "  IE 网络接口",
        "    A Label xs:string X1",
        "    A PositionNumber xs:int 1",
        "    A BuiltIn xs:boolean true",
        "    IE 端口1",
        "      A Label xs:string P1",
        "      A PositionNumber xs:int 1",
        "      A BuiltIn xs:boolean true",
        "      R CommunicationPort",
        "    R CommunicationInterface",
        "  R DeviceItem",
    }
        .replaceInStrings(QRegularExpression("^"), pad);
}

QStringList deviceStart(const QString &file, const QString &dap)
{
    return { "IE GSD device_1", "  A TypeIdentifier xs:string GSD:" + file + "/D", "  IE 机架",
        "    A TypeName xs:string Rack", "    A PositionNumber xs:int 0", "    A BuiltIn xs:boolean false",
        "    A TypeIdentifier xs:string GSD:" + file + "/R/" + dap };
}

QStringList deviceEnd()
{
    return { "    R DeviceItem", "  R Device" };
}

const QString testFile = "GSDML-V2.35-TEST.XML";

} // namespace

class TestCaxexport : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempAppDir> m_dir;
    std::unique_ptr<PromptRecorder> m_prompts;
    QList<moduleslot *> m_slots;

    QString outPath() const { return m_dir->filePath("/out/project.aml"); }

    // Runs an export of modules into outPath() through the save dialog.
    void exportModules(const QList<module *> &modules)
    {
        m_prompts->fileAnswers.enqueue(outPath());
        Caxexport cax(modules, "Profinet");
        cax.exportCaxFile();
    }

    moduleslot *slot(const QString &name, int typeId, int slot, int subSlot = 0)
    {
        auto *e = new moduleslot(name);
        e->typeId = typeId;
        e->slot = slot;
        e->subSlot = subSlot;
        m_slots << e;
        return e;
    }

    // Remote modules the coupler's second page reports: RA without children, RB with two.
    void giveRemoteModules(const QString &type)
    {
        moduleslot *ra = slot("RA", 0x40, 3);
        moduleslot *rb = slot("RB", 0x41, 4);
        for (moduleslot *c : { slot("RC", 0x50, 4, 1), slot("RD", 0x51, 4, 2) }) {
            c->parent = rb;
            rb->children << c;
        }
        TestPageSpec remote;
        remote.slotRecords = { ra, rb };
        TestPage::specs()[type] = { TestPageSpec(), remote };
    }

private slots:
    void init()
    {
        m_dir.reset(new TempAppDir);
        m_prompts.reset(new PromptRecorder);
        TestPage::install();
        TestPage::clear();
        QVERIFY(m_dir->write("/ModuleParameter/FAM/ModuleParameter.xml", familyXml()));
        QVERIFY(m_dir->copyTree(TestSupport::sourceDataDir() + "/Template", "/Template"));
        QVERIFY(m_dir->write("/GSDML/gsdxm.ini", fixtureIndex));
        QVERIFY(m_dir->write("/GSDML/GSDML-v2.35-Test.xml", fixtureGsdml()));
        QDir().mkpath(m_dir->filePath("/out"));
    }

    void cleanup()
    {
        m_prompts.reset();
        m_dir.reset();
        qDeleteAll(m_slots);
        m_slots.clear();
        QCOMPARE(TestPage::alive(), 0);
    }

    void couplerWithSubmodulesAndRemoteModules()
    {
        giveRemoteModules("CPL");
        module m("CPL", "FAM");
        m.addSubmodule("SUBA", "FAM", 1)->typeId = 0x21;
        // No module item for it: its texts stay empty.
        m.addSubmodule("SUBB", "FAM", 2)->typeId = 0x22;
        exportModules({ &m });

        const Output out = readOutput(outPath());
        QVERIFY(out.ok);
        QStringList expected = deviceStart(testFile, "DAP1");
        expected << headModule("    ", testFile, "DAP1", "cpl-dns", "CPL");
        expected << QStringList {
            "    IE SUBA_1",
            "      A TypeName xs:string Alpha 模块",
            "      A PositionNumber xs:int 1",
            "      A BuiltIn xs:boolean false",
            "      A TypeIdentifier xs:string GSD:" + testFile + "/M/IDM_A",
            "      IE Alpha 模块",
            "        A PositionNumber xs:int 0",
            "        A BuiltIn xs:boolean true",
            "        R DeviceItem",
            "      R DeviceItem",
            "    IE SUBB_2",
            "      A TypeName xs:string ",
            "      A PositionNumber xs:int 2",
            "      A BuiltIn xs:boolean false",
            "      A TypeIdentifier xs:string GSD:" + testFile + "/M/",
            "      IE ",
            "        A PositionNumber xs:int 0",
            "        A BuiltIn xs:boolean true",
            "        R DeviceItem",
            "      R DeviceItem",
            "    IE RA_3",
            "      A TypeName xs:string Remote A",
            "      A PositionNumber xs:int 3",
            "      A BuiltIn xs:boolean false",
            "      A TypeIdentifier xs:string GSD:" + testFile + "/M/IDM_RA",
            "      IE Remote A",
            "        A PositionNumber xs:int 0",
            "        A BuiltIn xs:boolean true",
            "        R DeviceItem",
            "      R DeviceItem",
            "    IE RB_4",
            "      A TypeName xs:string Remote B",
            "      A PositionNumber xs:int 4",
            "      A BuiltIn xs:boolean false",
            "      A TypeIdentifier xs:string GSD:" + testFile + "/M/IDM_RB",
            "      IE RC_0",
            "        A TypeName xs:string Sub C",
            "        A PositionNumber xs:int 0",
            "        A BuiltIn xs:boolean false",
            "        A TypeIdentifier xs:string GSD:" + testFile + "/SM/IDS_C",
            "        R DeviceItem",
            "      IE RD_1",
            "        A TypeName xs:string Sub D",
            "        A PositionNumber xs:int 1",
            "        A BuiltIn xs:boolean false",
            "        A TypeIdentifier xs:string GSD:" + testFile + "/SM/IDS_D",
            "        R DeviceItem",
            "      R DeviceItem",
        };
        expected << deviceEnd() << "R DeviceUserFolder";
        QCOMPARE(out.lines, expected);

        // Every element has its own version 4 UUID.
        QCOMPARE(out.ids.size(), 15);
        QCOMPARE(QSet<QString>(out.ids.begin(), out.ids.end()).size(), out.ids.size());
        const QRegularExpression uuid("^[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}$");
        for (const QString &id : out.ids)
            QVERIFY2(uuid.match(id).hasMatch(), qPrintable(id));

        // The template's own content and declaration stay; the file is UTF-8 with 4-space indents.
        QVERIFY(out.bytes.startsWith("<?xml version='1.0' encoding='utf-8'?>"));
        QVERIFY(out.bytes.contains("<RoleClassLib Name=\"AutomationProjectConfigurationRoleClassLib\">"));
        QVERIFY(out.bytes.contains("\n                <InternalElement "));
        QVERIFY(out.bytes.contains(QStringLiteral("机架").toUtf8()));

        QCOMPARE(m.gsdmlFile, testFile);
        QCOMPARE(m.dapId, QString("DAP1"));
        QCOMPARE(m.dnsName, QString("cpl-dns"));
        QCOMPARE(m.submodules.at(0)->textId, QString("T_A"));
        QVERIFY(m.submodules.at(1)->gsdId.isEmpty());
        QCOMPARE(m.slotList.size(), 2);
    }

    void bareCouplerAndModulesWithoutEntries()
    {
        // CPL4 is not listed, CPL3's first line names no GSDML file: both are left out.
        module m("CPL", "FAM");
        module m3("CPL3", "FAM");
        module m4("CPL4", "FAM");
        module m2("CPL2", "FAM");
        exportModules({ &m4, &m, &m3, &m2 });

        const Output out = readOutput(outPath());
        QVERIFY(out.ok);
        QStringList expected = deviceStart(testFile, "DAP1");
        expected << headModule("    ", testFile, "DAP1", "cpl-dns", "CPL") << deviceEnd();
        expected << deviceStart(testFile, "DAP2") << headModule("    ", testFile, "DAP2", "cpl2-dns", "CPL2")
                 << deviceEnd() << "R DeviceUserFolder";
        QCOMPARE(out.lines, expected);
        QVERIFY(m3.gsdmlFile.isEmpty());
        QVERIFY(m_prompts->messages.isEmpty());
    }

    void typeIdsThatMatchNothing_data()
    {
        QTest::addColumn<int>("subTypeId");
        QTest::addColumn<int>("remoteTypeId");
        // A sub-module without a type id must not take the item whose ident is no number.
        QTest::newRow("no type id") << -1 << 0;
        QTest::newRow("type id 0") << 0 << 0xFFFF;
    }

    void typeIdsThatMatchNothing()
    {
        QFETCH(int, subTypeId);
        QFETCH(int, remoteTypeId);
        QVERIFY(m_dir->write("/GSDML/GSDML-v2.35-Test.xml",
            "<r><ProfileBody><ApplicationProcess><DeviceAccessPointList/><ModuleList>"
                + item("ModuleItem", "ModuleIdentNumber", "zz", "IDM_BAD", "T_BAD")
                + item("ModuleItem", "ModuleIdentNumber", "0xFFFF", "IDM_FFFF", "T_BAD")
                + "</ModuleList><ExternalTextList><L><Text TextId=\"T_BAD\" Value=\"bad\"/></L>"
                  "</ExternalTextList></ApplicationProcess></ProfileBody></r>"));
        moduleslot *e = slot("R", remoteTypeId, 1);
        TestPage::specs()["CPL"] = { TestPageSpec(), TestPageSpec() };
        TestPage::specs()["CPL"][1].slotRecords = { e };
        module m("CPL", "FAM");
        submodule *s = m.addSubmodule("SUBA", "FAM", 1);
        s->typeId = subTypeId;
        exportModules({ &m });
        QVERIFY(readOutput(outPath()).ok);
        QVERIFY(s->gsdId.isEmpty());
        QVERIFY(s->nameText.isEmpty());
        QVERIFY(e->gsdId.isEmpty());
        QVERIFY(e->nameText.isEmpty());
    }

    void descriptionProblemsKeepEarlierTexts_data()
    {
        QTest::addColumn<QByteArray>("gsdml");
        QTest::addColumn<QString>("dns");
        QTest::newRow("missing") << QByteArray() << "old-dns";
        QTest::newRow("not well-formed") << QByteArray("<r><ProfileBody>") << "old-dns";
        QTest::newRow("no module list") << QByteArray(
            "<r><ProfileBody><ApplicationProcess><L><DeviceAccessPointItem ID=\"DAP1\" "
            "DNS_CompatibleName=\"new-dns\"/></L><SubmoduleList/></ApplicationProcess></ProfileBody></r>")
                                        << "new-dns";
    }

    void descriptionProblemsKeepEarlierTexts()
    {
        QFETCH(QByteArray, gsdml);
        QFETCH(QString, dns);
        QFile::remove(m_dir->filePath("/GSDML/GSDML-v2.35-Test.xml"));
        if (!gsdml.isEmpty())
            QVERIFY(m_dir->write("/GSDML/GSDML-v2.35-Test.xml", gsdml));
        giveRemoteModules("CPL");
        module m("CPL", "FAM");
        m.dnsName = "old-dns";
        submodule *s = m.addSubmodule("SUBA", "FAM", 1);
        s->typeId = 0x21;
        s->gsdId = "OLD_ID";
        s->nameText = "old name";
        exportModules({ &m });

        const Output out = readOutput(outPath());
        QVERIFY(out.ok);
        QCOMPARE(m.dnsName, dns);
        QCOMPARE(s->gsdId, QString("OLD_ID"));
        // The slot list is not collected: the device holds no remote module.
        QVERIFY(m.slotList.isEmpty());
        QCOMPARE(out.lines.filter(QRegularExpression("^    IE ")), QStringList({ "    IE " + dns, "    IE SUBA_1" }));
        QVERIFY(out.lines.contains("      A TypeIdentifier xs:string GSD:" + testFile + "/M/OLD_ID"));
        QVERIFY(m_prompts->messages.isEmpty());
    }

    void noIndexFile()
    {
        QVERIFY(QFile::remove(m_dir->filePath("/GSDML/gsdxm.ini")));
        module a("CPL", "FAM");
        module b("CPL2", "FAM");
        module c("CPL3", "FAM");
        exportModules({ &a, &b, &c });
        QCOMPARE(m_prompts->messages.size(), 3);
        for (const PromptRecorder::Message &msg : m_prompts->messages) {
            QCOMPARE(msg.icon, QMessageBox::Critical);
            QCOMPARE(msg.caption, QString("Erro"));
            QCOMPARE(msg.text, QString("Missing file"));
        }
        const Output out = readOutput(outPath());
        QVERIFY(out.ok);
        QCOMPARE(out.lines, QStringList({ "R DeviceUserFolder" }));
    }

    void twoExportsGiveTheSameTreeWithNewIds()
    {
        giveRemoteModules("CPL");
        module m("CPL", "FAM");
        m.addSubmodule("SUBA", "FAM", 1)->typeId = 0x21;
        exportModules({ &m });
        const Output first = readOutput(outPath());
        exportModules({ &m });
        const Output second = readOutput(outPath());
        QVERIFY(first.ok && second.ok);
        QCOMPARE(second.lines, first.lines);
        for (const QString &id : second.ids)
            QVERIFY(!first.ids.contains(id));
    }

    void cancelledSaveWritesNothing()
    {
        QVERIFY(m_dir->write("/out/project.aml", "old"));
        module m("CPL", "FAM");
        m_prompts->fileAnswers.enqueue(QString());
        Caxexport cax({ &m }, "Profinet");
        cax.exportCaxFile();
        QCOMPARE(m_dir->read("/out/project.aml"), QByteArray("old"));
        QVERIFY(m.gsdmlFile.isEmpty());
    }

    void missingOrBrokenTemplate_data()
    {
        QTest::addColumn<QByteArray>("aml");
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("not XML") << QByteArray("<CAEXFile><InstanceHierarchy>");
    }

    void missingOrBrokenTemplate()
    {
        QFETCH(QByteArray, aml);
        QFile::remove(m_dir->filePath("/Template/Profinet_Caxe_Template.aml"));
        if (!aml.isEmpty())
            QVERIFY(m_dir->write("/Template/Profinet_Caxe_Template.aml", aml));
        module m("CPL", "FAM");
        m_prompts->fileAnswers.enqueue(outPath());
        Caxexport cax({ &m }, "Profinet");
        cax.exportCaxFile();
        QCOMPARE(m_prompts->messages.size(), 1);
        QCOMPARE(m_prompts->lastCaption(), QString("Erro"));
        QCOMPARE(m_prompts->lastText(), QString("Missing file"));
        // Not even asked for a file.
        QCOMPARE(m_prompts->fileAnswers.size(), 1);
        QVERIFY(!QFile::exists(outPath()));
    }

    void templateWithoutContainer()
    {
        const QByteArray aml = "<?xml version=\"1.0\"?>\n<CAEXFile><InstanceHierarchy Name=\"P\"><InternalElement "
                               "Name=\"Other\"/></InstanceHierarchy></CAEXFile>\n";
        QVERIFY(m_dir->write("/Template/Profinet_Caxe_Template.aml", aml));
        module m("CPL", "FAM");
        exportModules({ &m });
        QDomDocument written;
        QVERIFY(written.setContent(m_dir->read("/out/project.aml")));
        QDomDocument original;
        QVERIFY(original.setContent(aml));
        QCOMPARE(written.toString(4), original.toString(4));
    }

    void lastContainerWins()
    {
        const QByteArray aml = "<CAEXFile><InstanceHierarchy><InternalElement Name=\" VORNAK_Devices\" ID=\"a\"/>"
                               "<InternalElement Name=\"VORNAK_Devices  \" ID=\"b\"/></InstanceHierarchy>"
                               "<Other><InternalElement Name=\"VORNAK_Devices\" ID=\"c\"/></Other></CAEXFile>";
        QVERIFY(m_dir->write("/Template/Profinet_Caxe_Template.aml", aml));
        module m("CPL", "FAM");
        exportModules({ &m });
        QDomDocument written;
        QVERIFY(written.setContent(m_dir->read("/out/project.aml")));
        const QDomNodeList elements = written.elementsByTagName("InternalElement");
        QCOMPARE(elements.at(0).childNodes().size(), 0);
        QCOMPARE(elements.at(1).toElement().attribute("ID"), QString("b"));
        QCOMPARE(elements.at(1).childNodes().size(), 2);
        QCOMPARE(elements.at(1).lastChild().toElement().tagName(), QString("SupportedRoleClass"));
        QVERIFY(!written.documentElement().lastChild().firstChild().hasChildNodes());
    }

    void failedWriteTellsTheUser()
    {
        module m("CPL", "FAM");
        m_prompts->fileAnswers.enqueue(m_dir->filePath("/no such folder/project.aml"));
        Caxexport cax({ &m }, "Profinet");
        cax.exportCaxFile();
        QCOMPARE(m_prompts->messages.size(), 1);
        QCOMPARE(m_prompts->messages.first().icon, QMessageBox::Warning);
        QCOMPARE(m_prompts->lastCaption(), QString("失败"));
        QVERIFY(m_prompts->lastText().startsWith("导出Cax文件失败\n"));
        QVERIFY(m_prompts->lastText().contains("no such folder"));
    }

    void replacesAnExistingFileWhole()
    {
        QVERIFY(m_dir->write("/out/project.aml", QByteArray(200000, 'x')));
        module m("CPL", "FAM");
        exportModules({ &m });
        QVERIFY(readOutput(outPath()).ok);
        QVERIFY(!m_dir->read("/out/project.aml").contains('x' + QByteArray(10, 'x')));
    }

    void shippedDataExportsTheExampleCoupler()
    {
        // The old folder's end would point the program back at its own folder.
        m_dir.reset();
        m_dir.reset(new TempAppDir(true));
        QDir().mkpath(m_dir->filePath("/out"));
        module m("RVE-C100", "RVE");
        submodule *di = m.addSubmodule("RV-DI16", "RVIO", 1);
        di->typeId = 101;
        m.addSubmodule("RV-WT2", "RVW", 2)->typeId = 131;
        exportModules({ &m });
        const Output out = readOutput(outPath());
        QVERIFY(out.ok);
        QCOMPARE(m.gsdmlFile, QString("GSDML-V2.35-RIVUDO-RVE-20250301.XML"));
        QCOMPARE(m.dnsName, QString("rve-c100"));
        QCOMPARE(di->gsdId, QString("IDM_RV_DI16"));
        QCOMPARE(di->nameText, QString("RV-DI16"));
        QVERIFY(out.lines.contains("    IE RV-WT2_2"));
        QVERIFY(out.lines.contains(
            "      A TypeIdentifier xs:string GSD:GSDML-V2.35-RIVUDO-RVE-20250301.XML/M/IDM_RV_WT2"));
        QVERIFY(m_prompts->messages.isEmpty());
    }
};

RIVUDO_TEST_MAIN(TestCaxexport)
#include "tst_caxexport.moc"
