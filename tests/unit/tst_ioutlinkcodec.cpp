#include "apppaths.h"
#include "ioutlinkblock.h"
#include "ioutlinkcatalogue.h"
#include "ioutlinktestdata.h"
#include "moduleslot.h"
#include "tempappdir.h"
#include "testsupport.h"

#include <QObject>

Q_DECLARE_METATYPE(QVector<IoutlinkStation>)

namespace {

using IoutlinkTestData::record;

QByteArray nameField(const QByteArray &latin1)
{
    return latin1 + QByteArray(16 - latin1.size(), '\0');
}

// A description family with two module types and a device list of the coupler CPL-1.
void writeFamilies(TempAppDir &dir)
{
    dir.write("/ModuleParameter/G/ModuleParameter.xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><ModuleParameter><ModuleList>"
        "<Module ModuleName=\" REM-A \" Pixmap=\" x.png \" Text=\"  remote   A \" Maxslotnum=\"2\" Scantime=\"250\">"
        "<DataItems/><Data Inputsize=\"4\" Outputsize=\"6\"/><Data Inputsize=\"9\" Outputsize=\"9\"/></Module>"
        "<Module ModuleName=\"REM-B\" Pixmap=\"b.png\" Maxinputsize=\"abc\"/>"
        "<Module ModuleName=\"SUB-1\" Pixmap=\"s1.png\"><Data Inputsize=\"2\"/></Module>"
        "<Module ModuleName=\"SUB-2\" Pixmap=\"s2.png\"><Data Outputsize=\"1\"/></Module>"
        "</ModuleList></ModuleParameter>");
}

} // namespace

class TestIoutlinkCodec : public QObject
{
    Q_OBJECT

private slots:
    void writesBlocks_data()
    {
        QTest::addColumn<QVector<IoutlinkStation>>("stations");
        QTest::addColumn<QByteArray>("bytes");

        IoutlinkStation one;
        one.module = record("RVE-C100", "192.168.1.10", 1, 0, 2, 2, 0xFFFF, 1000);
        one.subs = { record("RV-DI16", "10.0.0.1", 1, 1, 2, 0, 101, 77), record("RV-AI4", "", 1, 2, 8, 0, 111, 0) };
        QTest::newRow("module with two sub-modules")
            << QVector<IoutlinkStation> { one }
            << nameField("RVE-C100") + QByteArray::fromHex("0a01a8c0 01 00 02 02 02 ffff0000 e8030000")
                + nameField("RV-DI16") + QByteArray::fromHex("00000000 01 01 02 00 00 65000000 00000000")
                + nameField("RV-AI4") + QByteArray::fromHex("00000000 01 02 08 00 00 6f000000 00000000");

        IoutlinkStation a, b;
        a.module = record("A", "1.2.3.4", 1, 0, 1, 1, 7, 10);
        b.module = record("B", "5.6.7.8", 2, 0, 0, 0, 0xFFFF, 999999);
        b.subs = { record("S", "", 2, 1, 3, 4, 9, 0) };
        QTest::newRow("several modules") << QVector<IoutlinkStation> { a, b }
                                         << nameField("A")
                + QByteArray::fromHex("04030201 01 00 01 01 00 07000000 0a000000") + nameField("B")
                + QByteArray::fromHex("08070605 02 00 00 00 01 ffff0000 3f420f00") + nameField("S")
                + QByteArray::fromHex("00000000 02 01 03 04 00 09000000 00000000");

        IoutlinkStation fifteen, sixteen, twenty, wide;
        fifteen.module = record("ABCDEFGHIJKLMNO", "0.0.0.0", 1, 0, 0, 0, 0, 0);
        sixteen.module = record("ABCDEFGHIJKLMNOP", "0.0.0.0", 2, 0, 0, 0, 0, 0);
        twenty.module = record("ABCDEFGHIJKLMNOPQRST", "0.0.0.0", 3, 0, 0, 0, 0, 0);
        wide.module = record(QString::fromUtf8("é模块"), "0.0.0.0", 4, 0, 0, 0, 0, 0);
        const QByteArray rest = QByteArray::fromHex("00000000 00 00 00 00 00 00000000 00000000");
        auto withSlot = [&](int slot) {
            QByteArray r = rest;
            r[4] = char(slot);
            return r;
        };
        QTest::newRow("names at the length limit")
            << QVector<IoutlinkStation> { fifteen, sixteen, twenty, wide }
            << nameField("ABCDEFGHIJKLMNO") + withSlot(1) + nameField("ABCDEFGHIJKLMNO") + withSlot(2)
                + nameField("ABCDEFGHIJKLMNO") + withSlot(3) + nameField("\xe9??") + withSlot(4);

        IoutlinkStation bits, badIp, fewParts, words;
        bits.module = record("X", "256.257.1.300", 0x101, 0x102, 0x1ff, 0x100, 0x12345678, 0xffffffff);
        badIp.module = record("Y", "1.2.3", 2, 0, 0, 0, 0, 0);
        fewParts.module = record("Z", "1..2.3", 3, 0, 0, 0, 0, 0);
        words.module = record("W", "a.b.c.d.e", 4, 0, 0, 0, 0, 0);
        QTest::newRow("low bits and malformed addresses")
            << QVector<IoutlinkStation> { bits, badIp, fewParts, words }
            << nameField("X") + QByteArray::fromHex("2c010100 01 02 ff 00 00 78563412 ffffffff") + nameField("Y")
                + QByteArray::fromHex("00000000 02 00 00 00 00 00000000 00000000") + nameField("Z")
                + QByteArray::fromHex("03020001 03 00 00 00 00 00000000 00000000") + nameField("W")
                + QByteArray::fromHex("00000000 04 00 00 00 00 00000000 00000000");

        QTest::newRow("empty") << QVector<IoutlinkStation>() << QByteArray();
    }
    void writesBlocks()
    {
        QFETCH(QVector<IoutlinkStation>, stations);
        QFETCH(QByteArray, bytes);
        const QByteArray block = encodeIoutlinkBlock(stations);
        QCOMPARE(block.toHex(' '), bytes.toHex(' '));
    }

    void readsRecords_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("addresses");
        QTest::addColumn<QVector<int>>("owners");

        const QByteArray tail = QByteArray::fromHex("00 00 00 00 00000000 00000000");
        auto record = [&](const QByteArray &name, const QByteArray &ip, int slot) {
            return nameField(name) + ip + char(slot) + tail;
        };
        const QByteArray five = record("M1", QByteArray::fromHex("0a01a8c0"), 1) + record("S1", QByteArray(4, 0), 1)
            + record("M2", QByteArray::fromHex("01000000"), 2) + record("S2", QByteArray(4, 0), 2)
            + record("S3", QByteArray(4, 0), 2);
        QTest::newRow("slots 1 1 2 2 2") << five << QStringList { "M1", "S1", "M2", "S2", "S3" }
                                         << QStringList { "192.168.1.10", "0.0.0.0", "0.0.0.1", "0.0.0.0", "0.0.0.0" }
                                         << QVector<int> { -1, 0, -1, 2, 2 };
        QTest::newRow("trailing part record left out")
            << five.left(66) + QByteArray(32, '\x7f') << QStringList { "M1", "S1" }
            << QStringList { "192.168.1.10", "0.0.0.0" } << QVector<int> { -1, 0 };
        QTest::newRow("shorter than one record") << five.left(32) << QStringList() << QStringList() << QVector<int>();
        QTest::newRow("empty") << QByteArray() << QStringList() << QStringList() << QVector<int>();
        QByteArray full(33, '\0');
        full.replace(0, 16, "ABCDEFGHIJKLMNOP");
        QTest::newRow("name without zero stays in its field")
            << full << QStringList { "ABCDEFGHIJKLMNOP" } << QStringList { "0.0.0.0" } << QVector<int> { -1 };
        QByteArray midZero = record("AB", QByteArray(4, 0), 3);
        midZero[3] = 'Z';
        midZero[16] = char(0xff);
        QTest::newRow("name ends at the first zero, Latin-1")
            << QByteArray("\xe9t\0Z", 4) + midZero.mid(4) << QStringList { QString::fromLatin1("\xe9t") }
            << QStringList { "0.0.0.255" } << QVector<int> { -1 };
    }
    void readsRecords()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, names);
        QFETCH(QStringList, addresses);
        QFETCH(QVector<int>, owners);
        const QVector<IoutlinkRecord> records = decodeIoutlinkRecords(bytes);
        QStringList gotNames, gotAddresses;
        for (const IoutlinkRecord &r : records) {
            gotNames << r.name;
            gotAddresses << r.ip;
        }
        QCOMPARE(gotNames, names);
        QCOMPARE(gotAddresses, addresses);
        QCOMPARE(ioutlinkOwners(records), owners);
    }

    void readsEveryField()
    {
        const QByteArray bytes
            = nameField("RVE-C100") + QByteArray::fromHex("0a01a8c0 05 06 07 08 09 78563412 e8030000");
        const IoutlinkRecord r = decodeIoutlinkRecords(bytes).value(0);
        QCOMPARE(r.ip, QStringLiteral("192.168.1.10"));
        QCOMPARE(r.slot, 5);
        QCOMPARE(r.subSlot, 6);
        QCOMPARE(r.Inputsize, 7);
        QCOMPARE(r.Outputsize, 8);
        QCOMPARE(r.subCount, 9);
        QCOMPARE(r.typeId, quint32(0x12345678));
        QCOMPARE(r.Scantime, quint32(1000));
        QCOMPARE(encodeIoutlinkRecord(r), bytes);
    }

    void readsCatalogue()
    {
        TempAppDir dir;
        writeFamilies(dir);
        dir.write("/ModuleParameter/H/ModuleParameter.xml", "<not xml");
        dir.write("/ModuleParameter/F/CPL-1_Deviceslist.xml",
            "<?xml version=\"1.0\"?><List>"
            "<D Name=\" REM-A \" Family=\" G \"><S SubName=\"SUB-1\" Family=\"G\"/><S SubName=\"\" Family=\"G\"/>"
            "<S SubName=\"NOPE\" Family=\"G\"/><S SubName=\"SUB-2\" Family=\"G\"/></D>"
            "<D Name=\"\" Family=\"G\"><S SubName=\"SUB-2\" Family=\"G\"/></D>"
            "<D Name=\"MISSING\" Family=\"G\"/>"
            "<D Name=\"REM-X\" Family=\"H\"/>"
            "<D Name=\"REM-B\" Family=\"G\"><S SubName=\"SUB-2\" Family=\"G\"/><S SubName=\"SUB-1\" Family=\"G\"/></D>"
            "</List>");
        QObject owner;
        IoutlinkCatalogue catalogue;
        QCOMPARE(IoutlinkCatalogueReader::deviceslistPath("F", "CPL-1"),
            QStringLiteral("/ModuleParameter/F/CPL-1_Deviceslist.xml"));
        QVERIFY(IoutlinkCatalogueReader::readDeviceslist(
            AppPaths::find(IoutlinkCatalogueReader::deviceslistPath("F", "CPL-1")), catalogue, &owner));
        QCOMPARE(catalogue.keys(), QStringList({ "REM-A", "REM-B" }));

        moduleslot *a = catalogue.value("REM-A");
        QCOMPARE(a->Family, QStringLiteral("G"));
        QCOMPARE(a->Text, QStringLiteral("remote A"));
        QCOMPARE(a->Pixmap, dir.path() + "/ModuleParameter/G/x.png");
        QCOMPARE(a->Maxslotnum, 2);
        QCOMPARE(a->Maxinputsize, 255);
        QCOMPARE(a->Scantime, 250);
        QCOMPARE(a->Inputsize, 4);
        QCOMPARE(a->Outputsize, 6);
        QVERIFY(!a->parent);
        QCOMPARE(a->children.size(), 2);
        QCOMPARE(a->children.at(0)->name, QStringLiteral("SUB-1"));
        QCOMPARE(a->children.at(0)->Inputsize, 2);
        QCOMPARE(a->children.at(0)->Scantime, 10);
        QCOMPARE(a->children.at(0)->parent, a);
        QCOMPARE(a->children.at(1)->name, QStringLiteral("SUB-2"));
        QCOMPARE(a->children.at(1)->Outputsize, 1);

        moduleslot *b = catalogue.value("REM-B");
        QCOMPARE(b->Maxinputsize, 0);
        QCOMPARE(b->Inputsize, 0);
        QCOMPARE(b->Scantime, 10);
        QCOMPARE(b->children.size(), 2);
        // A sub-module type under two module types is two entries.
        QVERIFY(b->children.at(1) != a->children.at(0));
        QCOMPARE(b->children.at(1)->parent, b);
        QCOMPARE(owner.findChildren<moduleslot *>().size(), 6);
    }

    void laterListingReplacesAndTypesStay()
    {
        TempAppDir dir;
        writeFamilies(dir);
        dir.write("/list.xml",
            "<L><D Name=\"REM-A\" Family=\"G\"><S SubName=\"SUB-1\" Family=\"G\"/></D>"
            "<D Name=\"REM-A\" Family=\"G\"><S SubName=\"SUB-2\" Family=\"G\"/></D></L>");
        QObject owner;
        IoutlinkCatalogue catalogue;
        QVERIFY(IoutlinkCatalogueReader::readDeviceslist(dir.filePath("/list.xml"), catalogue, &owner));
        QCOMPARE(catalogue.size(), 1);
        QCOMPARE(catalogue.value("REM-A")->children.size(), 1);
        QCOMPARE(catalogue.value("REM-A")->children.at(0)->name, QStringLiteral("SUB-2"));
        // The replaced entry and its sub-module type are gone.
        QCOMPARE(owner.findChildren<moduleslot *>().size(), 2);

        dir.write("/list2.xml", "<L><D Name=\"REM-B\" Family=\"G\"/></L>");
        QVERIFY(IoutlinkCatalogueReader::readDeviceslist(dir.filePath("/list2.xml"), catalogue, &owner));
        QCOMPARE(catalogue.keys(), QStringList({ "REM-A", "REM-B" }));

        dir.write("/broken.xml", "<L><D Name=");
        QVERIFY(!IoutlinkCatalogueReader::readDeviceslist(dir.filePath("/broken.xml"), catalogue, &owner));
        QVERIFY(!IoutlinkCatalogueReader::readDeviceslist(dir.filePath("/absent.xml"), catalogue, &owner));
        QCOMPARE(catalogue.keys(), QStringList({ "REM-A", "REM-B" }));
    }

    void exampleCouplerCatalogue()
    {
        TempAppDir dir(true);
        QObject owner;
        IoutlinkCatalogue catalogue;
        QVERIFY(IoutlinkCatalogueReader::readDeviceslist(
            AppPaths::find(IoutlinkCatalogueReader::deviceslistPath("RVE", "RVE-C110")), catalogue, &owner));
        QCOMPARE(catalogue.keys(), QStringList({ "KTL-C10", "RVE-C100" }));
        moduleslot *ktl = catalogue.value("KTL-C10");
        QCOMPARE(ktl->Scantime, 20);
        QCOMPARE(ktl->Maxslotnum, 2);
        QStringList subs;
        for (moduleslot *s : ktl->children)
            subs << s->name;
        QCOMPARE(subs, QStringList({ "KTL-D8", "KTL-A2" }));
        QCOMPARE(catalogue.value("RVE-C100")->children.size(), 4);
        QVERIFY(QFile::exists(catalogue.value("RVE-C100")->Pixmap));
    }
};

RIVUDO_TEST_MAIN(TestIoutlinkCodec)
#include "tst_ioutlinkcodec.moc"
