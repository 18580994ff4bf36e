#include "downdialog.h"
#include "fakemodule.h"
#include "familymap.h"
#include "ioutlinkblock.h"
#include "ioutlinkform.h"
#include "ioutlinktestdata.h"
#include "mainwindow.h"
#include "module.h"
#include "moduleslot.h"
#include "platformlists.h"
#include "projectfile.h"
#include "projectmodules.h"
#include "promptrecorder.h"
#include "scandialog.h"
#include "tempappdir.h"
#include "testsupport.h"
#include "ui_downdialog.h"
#include "ui_ioutlinkform.h"
#include <algorithm>

#include <QPushButton>
#include <QTreeWidget>
#include <memory>

namespace {
using TestSupport::child;

using IoutlinkTestData::linkPage;
using IoutlinkTestData::record;
using IoutlinkTestData::rowTexts;
using IoutlinkTestData::station;

// What the coupler's rows say, one line per row: icon, then the texts; sub-module rows indented.
QStringList table(QTreeWidget *tree)
{
    QStringList lines;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = tree->topLevelItem(i);
        lines << IOutlinkForm::rowIcon(row) + " " + rowTexts(row).join('|');
        for (int j = 0; j < row->childCount(); ++j)
            lines << "  " + rowTexts(row->child(j)).mid(0, 6).join('|');
    }
    return lines;
}

// Presses start in the scan dialog, waits for the scan's end and closes the dialog.
bool askedForInfo(const FakeModule &fake)
{
    const QList<QByteArray> sent = fake.commands();
    return std::any_of(sent.begin(), sent.end(), [](const QByteArray &c) { return c.startsWith('R'); });
}

int runScan(QDialog *dialog)
{
    auto *scan = qobject_cast<SCANDialog *>(dialog);
    if (!scan)
        return QDialog::Rejected;
    QSignalSpy ended(scan, &SCANDialog::endscan);
    child<QPushButton>(scan, "pushButton")->click();
    if (!ended.wait(60000))
        qWarning("scan did not end");
    return QDialog::Accepted;
}

// The General block of RVE-C110 at its defaults.
const QByteArray couplerGeneral = QByteArray::fromHex("00 03e8 01");

// Two remote modules: KTL-C10 with KTL-D8 and RVE-C100 with RV-AI4.
QByteArray twoStations()
{
    return encodeIoutlinkBlock(
        { station(record("KTL-C10", "192.168.1.10", 1, 0, 0, 0, 0xFFFF, 20), { record("KTL-D8", "", 1, 1, 1, 1, 201) }),
            station(record("RVE-C100", "192.168.1.11", 2, 0, 2, 2, 0xFFFF, 1000),
                { record("RV-AI4", "", 2, 1, 8, 0, 111) }) });
}

} // namespace

class TestIoutlinkScan : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        PlatformLists::setLocalAddresses({});
        PlatformLists::setSerialPorts({});
    }

    void scanMergesNewChangedAndMissing()
    {
        TempAppDir dir(true);
        QVERIFY(dir.write("/usrconf.ini", "[ioutlink_scanip]\nStartIP=127.0.0.2\nEndIP=127.0.0.6\n"));
        ::module coupler("RVE-C110", "RVE");
        coupler.setIP("127.0.0.1");
        IOutlinkForm *page = linkPage(&coupler);
        QVERIFY(page);
        // Recorded: KTL-C10 at .3 with KTL-D8; RVE-C100 at .9, which will not answer; RVE-C100 at .4
        // recorded with lengths other than its type's.
        page->setParamData(encodeIoutlinkBlock({ station(record("KTL-C10", "127.0.0.3", 1, 0, 0, 0, 0xFFFF, 20),
                                                     { record("KTL-D8", "", 1, 1, 1, 1, 201) }),
            station(record("RVE-C100", "127.0.0.9", 2, 0, 2, 2, 0xFFFF, 10)),
            station(record("RVE-C100", "127.0.0.4", 3, 0, 9, 9, 0xFFFF, 10)) }));

        FakeModule added("127.0.0.2"), known("127.0.0.3"), relength("127.0.0.4"), unknown("127.0.0.5"),
            cut("127.0.0.6");
        added.setModuleType("RVE-C100");
        added.setSubmoduleIds({ 101, 999, 111 });
        known.setModuleType("KTL-C10");
        known.setSubmoduleIds({ 202, 201 });
        relength.setModuleType("RVE-C100");
        unknown.setModuleType("NOPE-1");
        unknown.setSubmoduleIds({ 101 });
        cut.setInfoReply("moduletype:RVE-C100#MAC:02:00:00:00:00:06#IP:127:0:0:6#MASK:255.0.0.0");
        for (FakeModule *f : { &added, &known, &relength, &unknown, &cut })
            QVERIFY(f->start());

        PromptRecorder prompts;
        prompts.onExec = &runScan;
        page->on_pushButton_clicked();
        QCOMPARE(prompts.dialogsRun, QStringList({ "SCANDialog" }));
        QVERIFY(askedForInfo(added));
        QVERIFY(askedForInfo(cut));

        const QStringList expected {
            "modify.png KTL-C10|1|0|127.0.0.3|0|0|20",
            "  KTL-A2|1|1||4|0",
            "  KTL-D8|1|2||1|1",
            "-.png RVE-C100|2|0|127.0.0.9|2|2|10",
            "v.png RVE-C100|3|0|127.0.0.4|9|9|10",
            "+.png RVE-C100|4|0|127.0.0.2|2|2|10",
            "  RV-DI16|4|1||2|0",
            "  RV-AI4|4|3||8|0",
            "+.png RVE-C100|5|0|127.0.0.4|2|2|10",
        };
        QCOMPARE(table(page->ui->treeWidget), expected);
        // The changed sub-slot keeps its recorded entry; the new one is recorded under the module.
        moduleslot *ktl = IOutlinkForm::entryOf(page->ui->treeWidget->topLevelItem(0));
        QVERIFY(ktl->modified);
        QCOMPARE(ktl->children.size(), 2);
        QCOMPARE(ktl->children.at(1)->subSlot, 2);

        QString value;
        page->readSetting("ioutlink_scanip", "StartIP", value);
        QCOMPARE(value, QStringLiteral("127.0.0.2"));
        page->readSetting("ioutlink_scanip", "EndIP", value);
        QCOMPARE(value, QStringLiteral("127.0.0.6"));

        // Scanning again merges into the rows the first scan added instead of adding them twice.
        page->on_pushButton_clicked();
        QCOMPARE(table(page->ui->treeWidget), expected);

        // Once recorded, the scan's modules are known ones.
        page->getParamData();
        known.setSubmoduleIds({ 202, 201 });
        added.setSubmoduleIds({ 101, 102, 111 });
        page->on_pushButton_clicked();
        const QStringList afterWrite = table(page->ui->treeWidget);
        QCOMPARE(afterWrite.at(0), QStringLiteral("v.png KTL-C10|1|0|127.0.0.3|0|0|20"));
        QCOMPARE(afterWrite.at(3), QStringLiteral("-.png RVE-C100|2|0|127.0.0.9|2|2|10"));
        QCOMPARE(afterWrite.mid(5, 4),
            QStringList({ "modify.png RVE-C100|4|0|127.0.0.2|2|2|10", "  RV-DI16|4|1||2|0", "  RV-AI4|4|3||8|0",
                "  RV-DO16|4|2||0|2" }));
    }

    void nothingAnswersMarksEveryRow()
    {
        TempAppDir dir(true);
        QVERIFY(dir.write("/usrconf.ini", "[ioutlink_scanip]\nStartIP=127.0.0.40\nEndIP=127.0.0.41\n"));
        ::module coupler("RVE-C110", "RVE");
        IOutlinkForm *page = linkPage(&coupler);
        page->setParamData(twoStations());
        PromptRecorder prompts;
        prompts.onExec = &runScan;
        page->on_pushButton_clicked();
        QCOMPARE(IOutlinkForm::rowIcon(page->ui->treeWidget->topLevelItem(0)), QStringLiteral("-.png"));
        QCOMPARE(IOutlinkForm::rowIcon(page->ui->treeWidget->topLevelItem(1)), QStringLiteral("-.png"));
        QVERIFY(IOutlinkForm::entryOf(page->ui->treeWidget->topLevelItem(1))->removed);
    }

    void repliesThatCannotBeMerged_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("no module type") << QByteArray("type:RVE-C100#MAC:x#IP:127:0:0:8#a#b#c#d#e#f#g#SUBNUM:0");
        QTest::newRow("ten fields") << QByteArray("moduletype:RVE-C100#MAC:x#IP:127:0:0:8#a#b#c#d#e#f#g");
        QTest::newRow("not in the catalogue") << QByteArray("moduletype:RVE-C200#MAC:x#IP:127:0:0:8#a#b#c#d#e#f#g#"
                                                            "SUBNUM:0");
    }
    void repliesThatCannotBeMerged()
    {
        QFETCH(QByteArray, reply);
        TempAppDir dir(true);
        ::module coupler("RVE-C110", "RVE");
        IOutlinkForm *page = linkPage(&coupler);
        page->readDeviceslist();
        page->getmoduleinfo(reply);
        QCOMPARE(page->ui->treeWidget->topLevelItemCount(), 0);
        QVERIFY(page->scanList.isEmpty());
    }

    void subModuleCountIsBoundByThePairs()
    {
        TempAppDir dir(true);
        ::module coupler("RVE-C110", "RVE");
        IOutlinkForm *page = linkPage(&coupler);
        page->readDeviceslist();
        page->getmoduleinfo(
            QByteArray("moduletype:RVE-C100\0\0#MAC:x#IP:127:0:0:8\0#a#b#c#d#e#f#g#SUBNUM:9#ID:101#V1#ID:111",
                sizeof("moduletype:RVE-C100\0\0#MAC:x#IP:127:0:0:8\0#a#b#c#d#e#f#g#SUBNUM:9#ID:101#V1#ID:111") - 1));
        QCOMPARE(table(page->ui->treeWidget),
            QStringList({ "+.png RVE-C100|1|0|127.0.0.8|2|2|10", "  RV-DI16|1|1||2|0", "  RV-AI4|1|2||8|0" }));
    }

    void newModuleTakesASlotNoRowHolds()
    {
        TempAppDir dir(true);
        ::module coupler("RVE-C110", "RVE");
        IOutlinkForm *page = linkPage(&coupler);
        // A coupler's list with a gap in its slots.
        page->setParamData(encodeIoutlinkBlock({ station(record("KTL-C10", "127.0.0.3", 1, 0, 0, 0, 0xFFFF, 20)),
            station(record("KTL-C10", "127.0.0.4", 3, 0, 0, 0, 0xFFFF, 20)) }));
        page->readDeviceslist();
        page->getmoduleinfo("moduletype:KTL-C10#MAC:x#IP:127:0:0:5#a#b#c#d#e#f#g#SUBNUM:1#ID:201#V1");
        QCOMPARE(table(page->ui->treeWidget).mid(2),
            QStringList({ "+.png KTL-C10|4|0|127.0.0.5|0|0|20", "  KTL-D8|4|1||1|1" }));
        // Written and read back, it is still a module of its own.
        ::module again("RVE-C110", "RVE");
        IOutlinkForm *copy = linkPage(&again);
        copy->setParamData(page->getParamData());
        QCOMPARE(copy->ui->treeWidget->topLevelItemCount(), 3);
    }

    void knownModuleWhoseRowWasDeletedComesBack()
    {
        TempAppDir dir(true);
        ::module coupler("RVE-C110", "RVE");
        IOutlinkForm *page = linkPage(&coupler);
        page->setParamData(encodeIoutlinkBlock({ station(record("KTL-C10", "127.0.0.3", 1, 0, 0, 0, 0xFFFF, 20)),
            station(record("KTL-C10", "127.0.0.4", 2, 0, 0, 0, 0xFFFF, 20)) }));
        page->readDeviceslist();
        page->ui->treeWidget->setCurrentItem(page->ui->treeWidget->topLevelItem(0));
        page->delitem(false);
        page->getmoduleinfo("moduletype:KTL-C10#MAC:x#IP:127:0:0:3#a#b#c#d#e#f#g#SUBNUM:1#ID:201#V1");
        QCOMPARE(table(page->ui->treeWidget),
            QStringList(
                { "v.png KTL-C10|1|0|127.0.0.4|0|0|20", "+.png KTL-C10|2|0|127.0.0.3|0|0|20", "  KTL-D8|2|1||1|1" }));
    }

    void remoteListThroughParameterReplyAndDownload()
    {
        TempAppDir dir(true);
        FakeModule fake("127.0.0.7");
        fake.setModuleType("RVE-C110");
        fake.setParamBytes(couplerGeneral + twoStations());
        QVERIFY(fake.start());

        MainWindow w;
        w.readDevicestype();
        w.readSublistmap();
        w.Startnewscan(QStringLiteral("eth"));
        w.Getmoduleinfo(fake.infoReply(), modulebase::CONNEST_NET);
        w.GetmoduleinfoPrm(fake.paramReply());
        w.Endscan();
        QCOMPARE(w.moduleList.size(), 1);
        IOutlinkForm *page = linkPage(w.moduleList.first());
        QVERIFY(page);
        QCOMPARE(table(page->ui->treeWidget),
            QStringList({ "v.png KTL-C10|1|0|192.168.1.10|0|0|20", "  KTL-D8|1|1||1|1",
                "v.png RVE-C100|2|0|192.168.1.11|2|2|1000", "  RV-AI4|2|1||8|0" }));

        // An edit travels with the download.
        page->ui->treeWidget->topLevelItem(1)->setText(3, "192.168.1.12");
        DownDialog d;
        d.setModuleList(w.moduleList);
        QTest::mouseClick(d.form()->pushButton, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(d.form()->pushButton->isEnabled(), 30000);
        QByteArray expected = couplerGeneral + twoStations();
        expected[4 + 33 + 33 + 16] = char(12);
        QCOMPARE(fake.downloadedParams().toHex(' '), expected.toHex(' '));
        QCOMPARE(IOutlinkForm::rowIcon(page->ui->treeWidget->topLevelItem(1)), QStringLiteral("v.png"));
    }

    void remoteListThroughTheProjectFile()
    {
        TempAppDir dir(true);
        FamilyMap families;
        QVERIFY(families.read());
        auto coupler = std::make_unique<::module>("RVE-C110", "RVE");
        coupler->setIP("10.1.1.1");
        coupler->setParamData(couplerGeneral + twoStations());
        const QString text = ProjectFile::documentXml(
            ProjectFile::fileInfoXml("me", "now", "remote"), ProjectModules::modulesXml({ coupler.get() }));
        const ProjectFile::ReadResult read = ProjectFile::read(text.toUtf8());
        QVERIFY(read.ok);
        ProjectFile::ModuleRecord record;
        for (const ProjectFile::Section &s : read.sections) {
            if (s.kind == ProjectFile::Section::Modules && !s.modules.isEmpty())
                record = s.modules.first();
        }
        QCOMPARE(record.name, QStringLiteral("RVE-C110"));
        QCOMPARE(record.parameters, couplerGeneral + twoStations());
        std::unique_ptr<::module> opened(ProjectModules::buildModule(record, families));
        QVERIFY(opened);
        IOutlinkForm *page = linkPage(opened.get());
        QCOMPARE(table(page->ui->treeWidget),
            QStringList({ "v.png KTL-C10|1|0|192.168.1.10|0|0|20", "  KTL-D8|1|1||1|1",
                "v.png RVE-C100|2|0|192.168.1.11|2|2|1000", "  RV-AI4|2|1||8|0" }));
        QCOMPARE(opened->getParamData(), couplerGeneral + twoStations());
    }
};

RIVUDO_TEST_MAIN(TestIoutlinkScan)
#include "tst_ioutlinkscan.moc"
