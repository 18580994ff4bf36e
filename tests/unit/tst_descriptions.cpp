#include "apppaths.h"
#include "descriptiontranslation.h"
#include "familymap.h"
#include "modulebase.h"
#include "moduledescription.h"
#include "moduleprms.h"
#include "sublistmap.h"
#include "tempappdir.h"
#include "testpage.h"
#include "testsupport.h"

#include <QTextCodec>
#include <memory>

namespace {

const char *const kFamilyXml = R"(<?xml version="1.0" encoding="utf-8"?>
<root>
 <modules>
  <m ModuleName="  KC   100 " Pixmap=" kc.png " Text="  coupler   text " ModuleShowName="" Maxslotnum=" 8 "
     Maxinputsize="64" Maxoutputsize="x">
   <Data Inputsize="2" Outputsize="1">
    <d Dataname="in" DIR="Input" BitLen="8" DataType="BOOL"/>
    <d Dataname="out" DIR="DigitalOutput" BitLen="16" DataType="UINT"/>
    <d Dataname="odd" DIR="both" BitLen="x" DataType="BOOLEAN"/>
   </Data>
   <Param Len="9">
    <p ParameterName="Range" DataType="Unsigned8" AllowedValues="-100..100" DefaultValue="5"/>
    <p ParameterName="Three parts" DataType="Integer16" AllowedValues="0..10..20" DefaultValue="0x10"/>
    <p ParameterName="Lone" DataType="Unsigned16" AllowedValues="5"/>
    <p ParameterName="Words" DataType="Float" AllowedValues="a..b" DefaultValue="-7"/>
    <!-- a comment among parameters is not a parameter -->
    <p ParameterName="Mode" DataType="Unsigned8" DefaultValue="2" ValueItemTarget="modes"/>
    <p ParameterName="Lost" DataType="Unsigned8" ValueItemTarget="nowhere"/>
    <p ParameterName="Mode" DataType="Unsigned8" DefaultValue="1" ValueItemTarget="modes"/>
   </Param>
   <menu><a menuname="General"/><b/><c menuname="I/O"/></menu>
   <Other><x menuname="General"/></Other>
  </m>
  <m ModuleName="KC 100" Text="second element of the same type" Maxslotnum="99"/>
  <m ModuleName="kc 100" Text="other case"/>
  <m ModuleName="LENS" Maxslotnum="3">
   <Param Len="4"/>
   <Param Len="-2"/>
  </m>
  <m ModuleName="BADLEN"><Param Len="many"/></m>
  <m ModuleName="BARE"/>
 </modules>
 <lists>
  <l ID="modes"><i TextId=" On " Content="1"/><i TextId="Off" Content="0"/><i TextId="Twice" Content="1"/></l>
  <l ID=" modes "><i TextId="Extra" Content=" 7 "/></l>
  <l ID="other"><i TextId="No" Content="3"/></l>
 </lists>
</root>
)";

const char *const kEnglish = R"(<?xml version="1.0" encoding="utf-8"?>
<root>
 <modules>
  <m ModuleName="KC 100">
   <Text><t translation=" English text "/></Text>
   <Param><p SRC_Text="Range" translation="Range EN"/><p SRC_Text="Mode" translation="Mode EN"/>
          <p SRC_Text="Unknown" translation="x"/></Param>
   <menu><x menuname="General" translation="ignored"/></menu>
  </m>
  <m ModuleName=" KC 100 ">
   <Param><p SRC_Text="Lone" translation="Lone EN"/><p SRC_Text="Words"/></Param>
  </m>
 </modules>
 <lists>
  <l ID="modes"><i TextId="On" translation=" Switched  on "/><i TextId="Twice" translation="Two"/></l>
  <l ID="other"><i TextId="Off" translation="not mine"/></l>
 </lists>
</root>
)";

const char *const kChinese = R"(<?xml version="1.0" encoding="utf-8"?>
<root>
 <modules>
  <m ModuleName="KC 100">
   <Text><t translation="中文描述"/></Text>
   <Param><p SRC_Text="Range" translation="范围"/><p SRC_Text="Mode" translation="模式"/></Param>
  </m>
 </modules>
 <lists><l ID="modes"><i TextId="On" translation="开"/></l></lists>
</root>
)";

struct Param
{
    QString name;
    int min;
    int max;
    int def;
};

} // namespace

class TestDescriptions : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempAppDir> m_dir;

private slots:
    void init()
    {
        m_dir.reset(new TempAppDir);
        TestPage::install();
        TestPage::clear();
        QVERIFY(m_dir->write("/ModuleParameter/FAM/ModuleParameter.xml", kFamilyXml));
    }

    void cleanup() { m_dir.reset(); }

    void readsTheFirstMatchingType()
    {
        modulebase d("KC 100", "FAM");
        QCOMPARE(d.Text, QString("coupler text"));
        QCOMPARE(d.ModuleShowName, QString("KC 100"));
        QCOMPARE(d.Pixmap, m_dir->path() + "/ModuleParameter/FAM/kc.png");
        QCOMPARE(d.Maxslotnum, 8);
        QCOMPARE(d.Maxinputsize, 64);
        QCOMPARE(d.Maxoutputsize, 0);
        QCOMPARE(d.paramLen, 9);
        QCOMPARE(d.menuList, QStringList({ "General", "", "I/O" }));
        QCOMPARE(d.pageList.size(), 2);
        QCOMPARE(d.xmlPath, m_dir->path() + "/ModuleParameter/FAM/ModuleParameter.xml");
        QCOMPARE(d.kind, 0);
        QCOMPARE(d.language, 255);
    }

    void parameters()
    {
        modulebase d("KC 100", "FAM");
        const QList<Param> expected = { { "Range", -100, 100, 5 }, { "Three parts", 0, 10, 0 }, { "Lone", 0, 0, 0 },
            { "Words", 0, 0, -7 }, { "Mode", 0, 0, 2 }, { "Lost", 0, 0, 0 }, { "Mode", 0, 0, 1 } };
        QCOMPARE(d.paramList.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            const modulePrms *p = d.paramList.at(i);
            QCOMPARE(p->ParameterName, expected.at(i).name);
            QCOMPARE(p->text, expected.at(i).name);
            QCOMPARE(p->min, expected.at(i).min);
            QCOMPARE(p->max, expected.at(i).max);
            QCOMPARE(p->DefaultValue, expected.at(i).def);
            QCOMPARE(p->value, expected.at(i).def);
        }
        QCOMPARE(d.paramList.at(3)->DataType, QString("Float"));
        QVERIFY(d.paramList.at(5)->valueItems.isEmpty());
        QCOMPARE(d.paramList.at(5)->ValueItemTarget, QString("nowhere"));
        QVERIFY(d.paramList.at(0)->ValueItemTarget.isEmpty());
        // Lists with the same ID merge, in file order.
        QStringList items;
        for (const auto &entry : d.paramList.at(4)->valueItems)
            items << QStringLiteral("%1=%2").arg(entry.first->TextId).arg(entry.second);
        QCOMPARE(items, QStringList({ "On=1", "Off=0", "Twice=1", "Extra=7" }));
        QCOMPARE(d.findParam("Mode"), d.paramList.at(6));
        QCOMPARE(d.findParam("mode"), nullptr);
    }

    void dataItems()
    {
        modulebase d("KC 100", "FAM");
        QCOMPARE(d.dataList.size(), 3);
        QCOMPARE(d.dataList.at(0)->DataType, 0);
        QCOMPARE(d.dataList.at(0)->DIR, 0);
        QCOMPARE(d.dataList.at(0)->BitLen, 8);
        QCOMPARE(d.dataList.at(1)->DataType, 1);
        QCOMPARE(d.dataList.at(1)->DIR, 1);
        QCOMPARE(d.dataList.at(1)->Dataname, QString("out"));
        QCOMPARE(d.dataList.at(2)->DataType, 0);
        QCOMPARE(d.dataList.at(2)->DIR, 0);
        QCOMPARE(d.dataList.at(2)->BitLen, 0);
    }

    void unsetFieldsHaveDefinedValues_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("paramLen");
        QTest::addColumn<int>("maxSlots");
        QTest::newRow("no element") << "BARE" << QByteArray() << 0 << 0;
        QTest::newRow("last Param, negative") << "LENS" << QByteArray() << 0 << 3;
        QTest::newRow("Len not a number") << "BADLEN" << QByteArray() << 0 << 0;
        QTest::newRow("unknown type") << "NOPE" << QByteArray() << 0 << 0;
        QTest::newRow("missing file") << "KC 100" << QByteArray("-") << 0 << 0;
        QTest::newRow("broken file") << "KC 100" << QByteArray("<root><modules><m ModuleName=\"KC 100\">") << 0 << 0;
    }

    void unsetFieldsHaveDefinedValues()
    {
        QFETCH(QString, type);
        QFETCH(QByteArray, file);
        QFETCH(int, paramLen);
        QFETCH(int, maxSlots);
        if (file == "-")
            QVERIFY(QFile::remove(m_dir->filePath("/ModuleParameter/FAM/ModuleParameter.xml")));
        else if (!file.isEmpty())
            QVERIFY(m_dir->write("/ModuleParameter/FAM/ModuleParameter.xml", file));
        modulebase d(type, "FAM");
        QCOMPARE(d.paramLen, paramLen);
        QCOMPARE(d.Maxslotnum, maxSlots);
        QCOMPARE(d.Maxoutputsize, 0);
        QCOMPARE(d.typeId, -1);
        QCOMPARE(d.connType, modulebase::CONNEST_NONE);
        QCOMPARE(d.ModuleShowName, type);
        QVERIFY(d.pageList.isEmpty());
        if (!file.isEmpty() || type == "NOPE") {
            QVERIFY(d.Pixmap.isEmpty());
            QVERIFY(d.Text.isEmpty());
            QVERIFY(d.paramList.isEmpty());
        } else {
            // A missing Pixmap attribute leaves the folder path.
            QCOMPARE(d.Pixmap, m_dir->path() + "/ModuleParameter/FAM/");
        }
    }

    void commentBeforeModuleList()
    {
        QVERIFY(m_dir->write("/ModuleParameter/FAM/ModuleParameter.xml",
            "<root><!-- x --><modules><m ModuleName=\"A\"><menu><i menuname=\"General\"/></menu>"
            "</m></modules></root>"));
        modulebase d("A", "FAM");
        QVERIFY(d.menuList.isEmpty());
        QVERIFY(d.pageList.isEmpty());
        const ModuleDescription parsed
            = ModuleDescription::parse(m_dir->read("/ModuleParameter/FAM/ModuleParameter.xml"), "A");
        QCOMPARE(parsed.status, ModuleDescription::TypeNotFound);
    }

    void caseInsensitiveFolderLookup()
    {
        modulebase d("KC 100", "fam");
        QCOMPARE(d.paramLen, 9);
    }

    void translationsApplyAndReapply()
    {
        QVERIFY(m_dir->write("/ModuleParameter/FAM/ModuleParameter_en.xml", kEnglish));
        QVERIFY(m_dir->write("/ModuleParameter/FAM/ModuleParameter_zh.xml", kChinese));
        modulebase d("KC 100", "FAM");
        modulePrms *mode = d.paramList.at(4);
        d.loadLanguage(1);
        QCOMPARE(d.Text, QString(" English text "));
        QCOMPARE(d.paramList.at(0)->text, QString("Range EN"));
        QCOMPARE(d.paramList.at(2)->text, QString("Lone EN"));
        QCOMPARE(d.paramList.at(3)->text, QString()); // no translation attribute blanks the name
        QCOMPARE(mode->text, QString("Mode")); // only the later "Mode" is translated
        QCOMPARE(d.paramList.at(6)->text, QString("Mode EN"));
        QStringList later;
        for (const auto &entry : d.paramList.at(6)->valueItems)
            later << entry.first->text;
        QCOMPARE(later, QStringList({ "Switched on", "Off", "Two", "Extra" }));
        QCOMPARE(mode->valueItems.first().first->text, QString("On"));

        d.loadLanguage(1);
        QCOMPARE(d.paramList.at(6)->text, QString("Mode EN"));
        QCOMPARE(d.paramList.at(6)->valueItems.first().first->text, QString("Switched on"));

        d.loadLanguage(2); // anything but 1 is Chinese
        QCOMPARE(d.Text, QString("中文描述"));
        QCOMPARE(d.paramList.at(0)->text, QString("范围"));
        QCOMPARE(d.paramList.at(2)->text, QString("Lone EN")); // not in the Chinese file: stays
        QCOMPARE(d.paramList.at(6)->text, QString("模式"));
        QCOMPARE(d.paramList.at(6)->valueItems.first().first->text, QString("开"));
        QCOMPARE(d.paramList.at(6)->valueItems.at(2).first->text, QString("Two"));
        QCOMPARE(d.paramList.at(6)->valueItems.first().first->TextId, QString("On"));
    }

    void brokenTranslationChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("broken") << QByteArray("<root><modules>");
        QTest::newRow("empty Text element")
            << QByteArray("<root><modules><m ModuleName=\"KC 100\"><Text/></m></modules></root>");
    }

    void brokenTranslationChangesNothing()
    {
        QFETCH(QByteArray, file);
        if (!file.isEmpty())
            QVERIFY(m_dir->write("/ModuleParameter/FAM/ModuleParameter_en.xml", file));
        modulebase d("KC 100", "FAM");
        d.loadLanguage(1);
        QCOMPARE(d.Text, QString("coupler text"));
        QCOMPARE(d.paramList.at(0)->text, QString("Range"));
    }

    void textOfNonElementBlanks()
    {
        QVERIFY(m_dir->write("/ModuleParameter/FAM/ModuleParameter_en.xml",
            "<root><modules><m ModuleName=\"KC 100\"><Text>plain</Text></m></modules></root>"));
        modulebase d("KC 100", "FAM");
        d.loadLanguage(1);
        QCOMPARE(d.Text, QString());
    }

    void familyMap_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("groups") << QByteArray(
            "<r><g Family=\" A \"><t> X  1 </t><t>Y</t></g><g Family=\"B\"><t>Z</t></g></r>")
                                << QStringList({ "X 1=A", "Y=A", "Z=B" });
        QTest::newRow("later family wins")
            << QByteArray("<r><g Family=\"A\"><t>X</t></g><g Family=\"B\"><t>X</t></g></r>") << QStringList({ "X=B" });
        QTest::newRow("no family") << QByteArray("<r><g><t>X</t></g><g Family=\"  \"><t>Y</t></g><!-- c --></r>")
                                   << QStringList();
        QTest::newRow("empty names") << QByteArray("<r><g Family=\"A\"><t> </t><!-- c --><t><b>In</b>ner</t></g></r>")
                                     << QStringList({ "Inner=A" });
    }

    void familyMap()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QStringList, entries);
        bool ok = false;
        const FamilyMap map = FamilyMap::parse(xml, &ok);
        QVERIFY(ok);
        QStringList got;
        for (auto it = map.begin(); it != map.end(); ++it)
            got << it.key() + "=" + it.value();
        QCOMPARE(got, entries);
    }

    void familyMapKeepsContentOnFailure()
    {
        FamilyMap map;
        QVERIFY(m_dir->write("/ModuleParameter/Devicestype.xml", "<r><g Family=\"A\"><t>X</t></g></r>"));
        QVERIFY(map.read());
        QCOMPARE(map.value("X"), QString("A"));
        QVERIFY(m_dir->write("/ModuleParameter/Devicestype.xml", "<r><g Family"));
        QVERIFY(!map.read());
        QCOMPARE(map.value("X"), QString("A"));
        QVERIFY(QFile::remove(m_dir->filePath("/ModuleParameter/Devicestype.xml")));
        QVERIFY(!map.read());
        QCOMPARE(map.size(), 1);
    }

    void sublistMap_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("brackets and lines")
            << QByteArray("[101:RV-DI16],\r\n[102:RV-DO16]\n") << QStringList({ "101=RV-DI16", "102=RV-DO16" });
        QTest::newRow("exactly 10 skipped") << QByteArray("[12:ABCDE],[13:ABCDEF]") << QStringList({ "13=ABCDEF" });
        QTest::newRow("blanks") << QByteArray("  7 :  Name  X ,  8:Y-Module")
                                << QStringList({ "7= Name X ", "8=Y-Module" });
        QTest::newRow("trailing comma") << QByteArray("[101:RV-DI16],") << QStringList({ "101=RV-DI16" });
        QTest::newRow("second colon") << QByteArray("[5:NAME:rest of it]") << QStringList({ "5=NAME" });
        QTest::newRow("id not a number") << QByteArray("[x5:NAMEFIVE]") << QStringList({ "0=NAMEFIVE" });
        QTest::newRow("later id wins") << QByteArray("[5:FIRST-ONE],[5:SECOND-ONE]") << QStringList({ "5=SECOND-ONE" });
        // Long entries without ":" are not entries.
        QTest::newRow("no colon") << QByteArray("[ABCDEFGHIJKLMN],[6:GOOD-NAME]") << QStringList({ "6=GOOD-NAME" });
        QTest::newRow("utf-8") << QByteArray("[9:模块名称长一些]") << QStringList({ "9=模块名称长一些" });
        QTest::newRow("empty") << QByteArray() << QStringList();
    }

    void sublistMap()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, entries);
        const SublistMap map = SublistMap::parse(text);
        QStringList got;
        for (auto it = map.begin(); it != map.end(); ++it)
            got << QString::number(it.key()) + "=" + it.value();
        QCOMPARE(got, entries);
    }

    void sublistMapGb18030()
    {
        QTextCodec *gb = QTextCodec::codecForName("GB18030");
        QVERIFY(gb);
        const QByteArray bytes = gb->fromUnicode(QStringLiteral("[9:模块名称长一些]"));
        QCOMPARE(SublistMap::parse(bytes).value(9), QStringLiteral("模块名称长一些"));
    }

    void sublistMapMissingFile()
    {
        SublistMap map;
        map.insert(1, "kept");
        QVERIFY(!map.read());
        QCOMPARE(map.value(1), QString("kept"));
        QVERIFY(m_dir->write("/ModuleParameter/sublistmap.MAP", "[101:RV-DI16]"));
        QVERIFY(map.read());
        QCOMPARE(map.size(), 1);
        QCOMPARE(map.value(101), QString("RV-DI16"));
    }

    void exampleSetIsReadable()
    {
        // The shipped description set parses, and every type it maps has a description.
        TempAppDir dir(true);
        FamilyMap families;
        QVERIFY(families.read());
        SublistMap sublist;
        QVERIFY(sublist.read());
        QVERIFY(!families.isEmpty());
        for (auto it = families.begin(); it != families.end(); ++it) {
            const ModuleDescription d = ModuleDescription::read(
                AppPaths::find(QStringLiteral("/ModuleParameter/%1/ModuleParameter.xml").arg(it.value())), it.key());
            QVERIFY2(d.status == ModuleDescription::Ok, qPrintable(it.key()));
        }
        for (const QString &name : sublist)
            QVERIFY2(families.contains(name), qPrintable(name));
    }
};

RIVUDO_TEST_MAIN(TestDescriptions)
#include "tst_descriptions.moc"
