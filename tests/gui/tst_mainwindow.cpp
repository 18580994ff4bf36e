#include "caxexport.h"
#include "ecatmodbusconfig.h"
#include "fakemodule.h"
#include "firmwaredialog.h"
#include "firmwarefileform.h"
#include "general.h"
#include "ipaddress.h"
#include "ipmodfiy_dialog.h"
#include "mainwindow.h"
#include "modbusconfigfiles.h"
#include "modbusmonitor.h"
#include "module.h"
#include "moduleinfoform.h"
#include "moduleprms.h"
#include "moduleshowform.h"
#include "mqtt_subscribe_dialog.h"
#include "packageimport.h"
#include "pagelookup.h"
#include "platformlists.h"
#include "promptrecorder.h"
#include "savedialog.h"
#include "scandialog.h"
#include "serialpeer.h"
#include "submodule.h"
#include "tempappdir.h"
#include "tempctl_manual_dialog.h"
#include "tempctlform.h"
#include "testsupport.h"
#include "textroom.h"
#include "ui_firmwaredialog.h"
#include "ui_savedialog.h"
#include "xlsxsheet.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QStyleOptionViewItem>
#include <QTableWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QUrl>
#include <memory>

namespace {
using TestSupport::child;
using TestSupport::textRoom;
QByteArray iniWithRange(const QString &start, const QString &end)
{
    return QStringLiteral("[scanip]\nStartIP=%1\nEndIP=%2\n").arg(start, end).toUtf8();
}

// The bytes that RVE-C100 (4), RV-DI16 (2) and RV-AI4 (5) read back from a parameter reply.
const QByteArray couplerParams = QByteArray::fromHex("01 0bb8 00" "03 01" "01 fffe 0064");

General *generalPage(moduleFrame *frame)
{
    return TestSupport::pageOf<General>(frame);
}

// Shows w at the size of a maximised window on a 1600 x 1000 desktop (the offscreen screen
// itself is smaller).
bool showAtDesktopSize(QWidget &w)
{
    w.show();
    w.showNormal();
    w.resize(1600, 1000);
    return QTest::qWaitForWindowExposed(&w);
}

}

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    // Runs the scan dialog: presses start, waits for the scan's end, closes it.
    static int runScan(QDialog *dialog)
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

    // Feeds the replies of a fake module straight into the window's scan slots.
    static void feed(MainWindow &w, const FakeModule &fake, modulebase::CONNEST_TYPE type = modulebase::CONNEST_NET)
    {
        w.Getmoduleinfo(fake.infoReply(), type);
        w.GetmoduleinfoPrm(fake.paramReply());
    }

    // The window after a scan, speaking language, at the size of a maximised window on a
    // 1600 x 1000 desktop.
    static bool showScannedAtDesktopSize(MainWindow &w, int language)
    {
        w.applyStoredLanguage();
        scanWithoutNetwork(w);
        w.setLanguage(language);
        QCoreApplication::processEvents();
        return showAtDesktopSize(w);
    }

    // Where the tree's selection, the information panel, the picture and the pages do not all
    // name frame (and its module): empty when they agree.
    static QString disagreement(MainWindow &w, moduleFrame *frame)
    {
        auto *sub = frame->kind == 1 ? static_cast<submodule *>(frame) : nullptr;
        ::module *m = sub ? sub->parentModule : static_cast<::module *>(frame);
        auto *tree = child<QTreeWidget>(&w, "treeWidget");
        auto *info = child<moduleinfoForm>(&w, "mouleparam");
        auto *pictures = child<QTabWidget>(&w, "tabWidget_main");
        auto *pages = child<QTabWidget>(&w, "tabWidget");
        auto *subType = child<QLineEdit>(info, "submoduletype");
        QStringList wrong;
        if (w.currentModule != m)
            wrong << QStringLiteral("current module");
        if (tree->currentItem() != frame || tree->selectedItems() != QList<QTreeWidgetItem *> { frame })
            wrong << QStringLiteral("tree selection");
        if (pictures->count() != 1 || pictures->widget(0) != m->showForm.data())
            wrong << QStringLiteral("picture");
        if (pages->count() == 0 || !frame->pageList.contains(dynamic_cast<menubase *>(pages->widget(0))))
            wrong << QStringLiteral("pages");
        if (info->module != m || child<QLineEdit>(info, "ipadd")->text() != m->ip
            || child<QLineEdit>(info, "moduletype")->text() != m->ModuleShowName)
            wrong << QStringLiteral("module information");
        if (sub ? subType->text() != sub->ModuleShowName || !subType->isEnabled()
                : !subType->text().isEmpty() || subType->isEnabled())
            wrong << QStringLiteral("sub-module information \"%1\"").arg(subType->text());
        return wrong.join(QStringLiteral(", "));
    }

    static void scanWithoutNetwork(MainWindow &w)
    {
        // Let the start-up language change reach the window first, as the event loop would.
        QCoreApplication::processEvents();
        w.readDevicestype();
        w.readSublistmap();
        w.Startnewscan(QStringLiteral("eth"));
        FakeModule a(QStringLiteral("127.0.0.2"));
        a.setModuleType(QStringLiteral("RVE-C100"));
        a.setSubmoduleIds({ 101, 111 });
        a.setParamBytes(couplerParams);
        FakeModule b(QStringLiteral("127.0.0.4"));
        b.setModuleType(QStringLiteral("KTL-C10"));
        b.setSubmoduleIds({ 201 });
        b.setParamBytes(QByteArray::fromHex("00 01f4 02"));
        feed(w, a);
        feed(w, b);
        w.Endscan();
    }

private slots:
    void initTestCase()
    {
        PlatformLists::setLocalAddresses({});
        PlatformLists::setSerialPorts({});
    }

    void startsWithoutSettingsInChinese()
    {
        TempAppDir dir(true);
        QVERIFY(!dir.exists("/usrconf.ini"));
        MainWindow w;
        w.applyStoredLanguage();
        w.show();
        QCOMPARE(w.language, 0);
        QVERIFY(w.windowState() & Qt::WindowMaximized);
        QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(child<QComboBox>(&w, "comboBox")->currentIndex(), 0);
        for (const char *name : { "pushButton_save", "pushButton_down", "pushButton_cax", "pushButton_Firmware" })
            QVERIFY2(!child<QPushButton>(&w, name)->isEnabled(), name);
        for (const char *name : { "pushButton_open", "pushButton_dhcp", "scanmodule", "pushButton_rev", "pushButton_help" })
            QVERIFY2(child<QPushButton>(&w, name)->isEnabled(), name);
        QVERIFY(child<QPushButton>(&w, "pushButton_import")->isHidden());
        QVERIFY(child<QPushButton>(&w, "pushButton_topology")->isHidden());
        QCOMPARE(child<QPushButton>(&w, "pushButton_save")->toolTip(), QString::fromUtf8("保存配置"));
        QVERIFY(!dir.exists("/usrconf.ini"));
    }

    void startsWithStoredLanguage_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("saveTip");
        QTest::newRow("English") << QByteArray("1") << 1 << "Save";
        QTest::newRow("Chinese") << QByteArray("0") << 0 << QString::fromUtf8("保存配置");
        QTest::newRow("not a number") << QByteArray("en") << 0 << QString::fromUtf8("保存配置");
        QTest::newRow("out of range") << QByteArray("2") << 0 << QString::fromUtf8("保存配置");
        QTest::newRow("negative") << QByteArray("-1") << 0 << QString::fromUtf8("保存配置");
    }
    void startsWithStoredLanguage()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, language);
        QFETCH(QString, saveTip);
        TempAppDir dir(true);
        QVERIFY(dir.write("/usrconf.ini", "[language]\nInitlanguage=" + stored + "\n"));
        MainWindow w;
        w.applyStoredLanguage();
        QCoreApplication::processEvents();
        QCOMPARE(w.language, language);
        QCOMPARE(child<QComboBox>(&w, "comboBox")->currentIndex(), language);
        QCOMPARE(child<QPushButton>(&w, "pushButton_save")->toolTip(), saveTip);
        QString value;
        QVERIFY(w.readSetting("language", "Initlanguage", value));
        QCOMPARE(value, QString::number(language));
    }

    void comboSwitchStoresTheIndex()
    {
        TempAppDir dir(true);
        MainWindow w;
        w.applyStoredLanguage();
        auto *combo = child<QComboBox>(&w, "comboBox");
        combo->setCurrentIndex(1);
        QCoreApplication::processEvents();
        QCOMPARE(w.language, 1);
        QString value;
        w.readSetting("language", "Initlanguage", value);
        QCOMPARE(value, QStringLiteral("1"));
        QCOMPARE(child<QPushButton>(&w, "pushButton_down")->toolTip(),
            QStringLiteral("<html><head/><body><p>Down Parameter</p></body></html>"));
        QCOMPARE(combo->toolTip(), QStringLiteral("Language Support"));
        QCOMPARE(child<QTabWidget>(&w, "tabWidget_3")->tabText(0), QStringLiteral("Module Information"));

        combo->setCurrentIndex(0);
        QCoreApplication::processEvents();
        QCOMPARE(w.language, 0);
        w.readSetting("language", "Initlanguage", value);
        QCOMPARE(value, QStringLiteral("0"));
        QCOMPARE(child<QComboBox>(&w, "comboBox")->toolTip(), QString::fromUtf8("语言支持"));
    }

    void statusBarShowsVersionLogoAndCompany()
    {
        TempAppDir dir(true);
        QImage logo(400, 100, QImage::Format_ARGB32);
        logo.fill(Qt::blue);
        QVERIFY(logo.save(dir.filePath("/logo/logo.png")));
        QVERIFY(dir.write("/logo/logo.info", QString::fromUtf8("Chinese:示例  公司 \r\nEnglish: Example Ltd \r\n").toUtf8()));
        MainWindow w;
        w.applyStoredLanguage();
        QVERIFY(QRegularExpression(QStringLiteral("^Ver: V1\\.5,Build time:\\d{4}\\.\\d{2}\\.\\d{2} \\d{2}:\\d{2}:\\d{2} $"))
                    .match(w.versionLabel->text())
                    .hasMatch());
        QLabel *logoLabel = child<QLabel>(&w, "logoLabel");
        QCOMPARE(logoLabel->pixmap(Qt::ReturnByValue).size(), QSize(40, 10));
        QCOMPARE(w.companyLabel->text(), QString::fromUtf8("示例 公司"));
        w.setLanguage(1);
        QCoreApplication::processEvents();
        QCOMPARE(w.companyLabel->text(), QStringLiteral(" Example Ltd "));

        // Only the first line can hold the Chinese name.
        QVERIFY(dir.write("/logo/logo.info", QString::fromUtf8("English:Example Ltd\nChinese:示例\n").toUtf8()));
        QVERIFY(dir.write("/usrconf.ini", "[language]\nInitlanguage=0\n"));
        MainWindow chinese;
        chinese.applyStoredLanguage();
        QCoreApplication::processEvents();
        QCOMPARE(chinese.language, 0);
        QVERIFY(chinese.companyLabel->text().isEmpty());
    }

    void missingLogoFilesLeaveLabelsEmpty()
    {
        TempAppDir dir(false);
        MainWindow w;
        w.applyStoredLanguage();
        QVERIFY(w.companyLabel->text().isEmpty());
        QLabel *logoLabel = child<QLabel>(&w, "logoLabel");
        QVERIFY(logoLabel->pixmap(Qt::ReturnByValue).isNull());
    }

    void scanRoadAgainstFakeModules_data()
    {
        FakeModule::addSpacingRows();
    }

    void scanRoadAgainstFakeModules()
    {
        QFETCH(bool, backToBack);
        TempAppDir dir(true);
        QVERIFY(dir.write("/usrconf.ini", iniWithRange("127.0.0.2", "127.0.0.4")));
        FakeModule a(QStringLiteral("127.0.0.2"));
        a.setModuleType(QStringLiteral("RVE-C100"));
        a.setSubmoduleIds({ 101, 111 });
        a.setParamBytes(couplerParams);
        FakeModule unknown(QStringLiteral("127.0.0.3"));
        unknown.setModuleType(QStringLiteral("NOPE-1"));
        unknown.setParamBytes(QByteArray::fromHex("ffffffff"));
        FakeModule b(QStringLiteral("127.0.0.4"));
        b.setModuleType(QStringLiteral("KTL-C10"));
        b.setSubmoduleIds({ 201 });
        b.setParamBytes(QByteArray::fromHex("00 01f4 02"));
        for (FakeModule *fake : { &a, &unknown, &b }) {
            fake->setBackToBack(backToBack);
            QVERIFY(fake->start());
        }

        MainWindow w;
        w.applyStoredLanguage();
        PromptRecorder prompts;
        prompts.onExec = &TestMainWindow::runScan;
        QMetaObject::invokeMethod(&w, "on_scanmodule_clicked");

        QCOMPARE(w.moduleList.size(), 2);
        module *first = w.moduleList.at(0);
        module *second = w.moduleList.at(1);
        QCOMPARE(first->name, QStringLiteral("RVE-C100"));
        QCOMPARE(first->ip, QStringLiteral("127.0.0.2"));
        QCOMPARE(first->comstr, QStringLiteral("eth"));
        QCOMPARE(first->connType, modulebase::CONNEST_NET);
        QCOMPARE(first->submodules.size(), 2);
        QCOMPARE(second->name, QStringLiteral("KTL-C10"));
        QCOMPARE(first->getParamData(), couplerParams);
        QCOMPARE(second->getParamData(), QByteArray::fromHex("00 01f4 02"));

        auto *tree = child<QTreeWidget>(&w, "treeWidget");
        QCOMPARE(tree->topLevelItemCount(), 2);
        QCOMPARE(tree->topLevelItem(0)->childCount(), 2);
        QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("RVE-C100(127.0.0.2)"));

        QCOMPARE(w.currentModule, first);
        QCOMPARE(w.highlightedFrame, static_cast<moduleFrame *>(first));
        QVERIFY(first->highlighted);
        QVERIFY2(disagreement(w, first).isEmpty(), qPrintable(disagreement(w, first)));
        auto *pictures = child<QTabWidget>(&w, "tabWidget_main");
        QCOMPARE(pictures->count(), 1);
        QCOMPARE(pictures->widget(0), static_cast<QWidget *>(first->showForm.data()));
        auto *pages = child<QTabWidget>(&w, "tabWidget");
        QVERIFY(pages->count() >= 1);
        QCOMPARE(pages->widget(0), static_cast<QWidget *>(generalPage(first)));
        QCOMPARE(pages->tabText(0), QString::fromUtf8("基本设置"));
        auto *info = child<moduleinfoForm>(&w, "mouleparam");
        QCOMPARE(child<QLineEdit>(info, "ipadd")->text(), QStringLiteral("127.0.0.2"));

        for (const char *name : { "pushButton_save", "pushButton_down", "pushButton_cax", "pushButton_Firmware" })
            QVERIFY2(child<QPushButton>(&w, name)->isEnabled(), name);
        QString value;
        w.readSetting("scanip", "StartIP", value);
        QCOMPARE(value, QStringLiteral("127.0.0.2"));
        w.readSetting("scanip", "EndIP", value);
        QCOMPARE(value, QStringLiteral("127.0.0.4"));

        // A second scan empties the list and builds it anew, whatever was selected before.
        tree->setCurrentItem(first->submodules.at(1));
        QPointer<QWidget> oldFirst = first;
        QPointer<menubase> oldPage = generalPage(first);
        QVERIFY(dir.write("/usrconf.ini", iniWithRange("127.0.0.4", "127.0.0.4")));
        QMetaObject::invokeMethod(&w, "on_scanmodule_clicked");
        QVERIFY(oldFirst.isNull());
        QVERIFY(oldPage.isNull());
        QCOMPARE(w.moduleList.size(), 1);
        QCOMPARE(w.moduleList.first()->name, QStringLiteral("KTL-C10"));
        QCOMPARE(tree->topLevelItemCount(), 1);
        QCOMPARE(pages->widget(0), static_cast<QWidget *>(generalPage(w.moduleList.first())));
        QVERIFY2(disagreement(w, w.moduleList.first()).isEmpty(), qPrintable(disagreement(w, w.moduleList.first())));
    }

    void cancellingTheScanKeepsTheModules()
    {
        TempAppDir dir(true);
        MainWindow w;
        w.applyStoredLanguage();
        scanWithoutNetwork(w);
        auto *tree = child<QTreeWidget>(&w, "treeWidget");
        submodule *sub = w.moduleList.first()->submodules.at(1);
        tree->setCurrentItem(sub);
        QVERIFY(sub->highlighted);
        tree->setCurrentItem(w.moduleList.at(1));
        QCOMPARE(w.currentModule, w.moduleList.at(1));
        QVERIFY(w.moduleList.at(1)->highlighted);
        {
            PromptRecorder prompts;
            QMetaObject::invokeMethod(&w, "on_scanmodule_clicked");
        }
        QVERIFY(!w.moduleList.at(1)->highlighted);
        tree->setCurrentItem(sub);
        QVERIFY(sub->highlighted);
        PromptRecorder prompts; // closes the dialog unused
        QMetaObject::invokeMethod(&w, "on_scanmodule_clicked");
        QCOMPARE(prompts.dialogsRun, QStringList { QStringLiteral("SCANDialog") });
        QCOMPARE(w.moduleList.size(), 2);
        QCOMPARE(w.currentModule, w.moduleList.first());
        QCOMPARE(w.highlightedFrame, static_cast<moduleFrame *>(w.moduleList.first()));
        QVERIFY(w.moduleList.first()->highlighted);
        // The sub-module shown beside it in the picture loses its border, and its information goes.
        QVERIFY(!sub->highlighted);
        QVERIFY2(disagreement(w, w.moduleList.first()).isEmpty(), qPrintable(disagreement(w, w.moduleList.first())));
        QString value;
        w.readSetting("scanip", "StartIP", value);
        QCOMPARE(value, QStringLiteral("192.168.0.1"));
        w.readSetting("scanip", "EndIP", value);
        QCOMPARE(value, QStringLiteral("192.168.0.255"));
        QVERIFY(dir.read("/usrconf.ini").contains("Localip="));
    }

    void missingSublistMapIsReportedAndTheDialogStillOpens()
    {
        TempAppDir dir(false);
        MainWindow w;
        w.applyStoredLanguage();
        PromptRecorder prompts;
        QMetaObject::invokeMethod(&w, "on_scanmodule_clicked");
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.first().icon, QMessageBox::Critical);
        QCOMPARE(prompts.lastCaption(), QStringLiteral("Erro"));
        QCOMPARE(prompts.lastText(), QStringLiteral("Missing file"));
        QCOMPARE(prompts.dialogsRun, QStringList { QStringLiteral("SCANDialog") });
        QVERIFY(w.moduleList.isEmpty());
    }

    void downloadButtonOpensTheDialogWithTheModules()
    {
        TempAppDir dir(true);
        MainWindow w;
        w.applyStoredLanguage();
        scanWithoutNetwork(w);
        PromptRecorder prompts;
        auto *down = child<QPushButton>(&w, "pushButton_down");
        QVERIFY(down->isEnabled());
        down->click();
        QCOMPARE(prompts.dialogsRun, QStringList { QStringLiteral("DownDialog") });
        // A new scan start turns the module buttons off again; save keeps its state.
        w.Startnewscan(QStringLiteral("eth"));
        QVERIFY(!down->isEnabled());
        QVERIFY(!child<QPushButton>(&w, "pushButton_cax")->isEnabled());
        QVERIFY(!child<QPushButton>(&w, "pushButton_Firmware")->isEnabled());
        QVERIFY(child<QPushButton>(&w, "pushButton_save")->isEnabled());
    }

    void ignoredRepliesLeaveTheListIntact()
    {
        TempAppDir dir(true);
        // 998 names a sub-module type that no family describes.
        QVERIFY(dir.write("/ModuleParameter/Sublistmap.map", dir.read("/ModuleParameter/Sublistmap.map") + ",[998:NOPE-SUB]"));
        MainWindow w;
        w.applyStoredLanguage();
        w.readDevicestype();
        w.readSublistmap();
        w.Startnewscan(QStringLiteral("eth"));
        auto *down = child<QPushButton>(&w, "pushButton_down");
        QVERIFY(!down->isEnabled());

        FakeModule a(QStringLiteral("127.0.0.2"));
        a.setModuleType(QStringLiteral("RVE-C100"));
        a.setParamBytes(QByteArray::fromHex("01 0bb8 00"));
        feed(w, a);
        QCOMPARE(w.moduleList.size(), 1);

        // Unknown module type, then a known module with an unknown sub-module type name:
        // neither is listed and their parameter replies change nobody.
        FakeModule unknown(QStringLiteral("127.0.0.3"));
        unknown.setModuleType(QStringLiteral("NOPE-1"));
        unknown.setParamBytes(QByteArray::fromHex("00 ffff 01"));
        feed(w, unknown);
        FakeModule badSub(QStringLiteral("127.0.0.5"));
        badSub.setModuleType(QStringLiteral("RVE-C100"));
        badSub.setSubmoduleIds({ 101, 998 });
        badSub.setParamBytes(QByteArray::fromHex("00 ffff 01"));
        feed(w, badSub);
        QCOMPARE(w.moduleList.size(), 1);
        QCOMPARE(w.moduleList.first()->getParamData(), QByteArray::fromHex("01 0bb8 00"));
        QCOMPARE(child<QTreeWidget>(&w, "treeWidget")->topLevelItemCount(), 1);

        // A reply without "moduletype" makes nothing but still turns the module buttons on.
        down->setEnabled(false);
        w.Getmoduleinfo("garbage#no#type", modulebase::CONNEST_NET);
        QCOMPARE(w.moduleList.size(), 1);
        QVERIFY(down->isEnabled());

        // Colons in the address fields become dots; a short parameter reply is harmless.
        FakeModule colons(QStringLiteral("127.0.0.6"));
        colons.setInfoReply(QByteArray("moduletype:KTL-C10") + QByteArray(1, '\0')
            + "junk#MAC:aa:bb#IP:127:0:0:6#MASK:255:0:0:0#GATEWAY:127:0:0:1#INLN:0#OTLN:0#PRLN:3#V2#V3#SUBNUM:x");
        colons.setParamReply("PRM");
        feed(w, colons, modulebase::CONNEST_COM);
        QCOMPARE(w.moduleList.size(), 2);
        module *m = w.moduleList.last();
        QCOMPARE(m->name, QStringLiteral("KTL-C10"));
        QCOMPARE(m->ip, QStringLiteral("127.0.0.6"));
        QCOMPARE(m->mask, QStringLiteral("255.0.0.0"));
        QCOMPARE(m->gateway, QStringLiteral("127.0.0.1"));
        QCOMPARE(m->subnum, 0);
        QCOMPARE(m->connType, modulebase::CONNEST_COM);
        QCOMPARE(w.currentModule, m);
    }

    void parameterReplyHandsOverTheMiddleBytes()
    {
        TempAppDir dir(true);
        MainWindow w;
        w.applyStoredLanguage();
        w.readDevicestype();
        w.readSublistmap();
        w.Startnewscan(QStringLiteral("eth"));
        FakeModule a(QStringLiteral("127.0.0.2"));
        a.setModuleType(QStringLiteral("KTL-C10"));
        w.Getmoduleinfo(a.infoReply(), modulebase::CONNEST_NET);
        // 20 bytes: bytes 4 to 15 go to the module, whose General page reads the first 3.
        w.GetmoduleinfoPrm(QByteArray::fromHex("aaaaaaaa 01 0102 0000000000000000 00 bbbbbbbb"));
        QCOMPARE(w.moduleList.first()->getParamData(), QByteArray::fromHex("01 0102"));
    }

    void selectingASubmoduleShowsItsPages()
    {
        TempAppDir dir(true);
        MainWindow w;
        w.applyStoredLanguage();
        scanWithoutNetwork(w);
        module *first = w.moduleList.first();
        submodule *sub = first->submodules.at(1);
        auto *tree = child<QTreeWidget>(&w, "treeWidget");
        tree->setCurrentItem(sub);
        QCOMPARE(w.currentModule, first);
        QCOMPARE(w.highlightedFrame, static_cast<moduleFrame *>(sub));
        QVERIFY(sub->highlighted);
        QVERIFY(!first->highlighted);
        auto *pages = child<QTabWidget>(&w, "tabWidget");
        QCOMPARE(pages->widget(0), static_cast<QWidget *>(generalPage(sub)));
        auto *info = child<moduleinfoForm>(&w, "mouleparam");
        QCOMPARE(child<QLineEdit>(info, "submoduletype")->text(), QStringLiteral("RV-AI4"));

        module *second = w.moduleList.at(1);
        tree->setCurrentItem(second);
        QCOMPARE(w.currentModule, second);
        QCOMPARE(w.highlightedFrame, static_cast<moduleFrame *>(second));
        QVERIFY(!sub->highlighted);
        QVERIFY(!child<QLineEdit>(info, "submoduletype")->isEnabled());
        QCOMPARE(pages->widget(0), static_cast<QWidget *>(generalPage(second)));
    }

    void emptyingTheListForgetsEverything()
    {
        TempAppDir dir(true);
        MainWindow w;
        w.applyStoredLanguage();
        scanWithoutNetwork(w);
        QPointer<menubase> page = generalPage(w.moduleList.first());
        QPointer<menubase> subPage = generalPage(w.moduleList.first()->submodules.first());
        w.clearModuleList();
        QVERIFY(w.moduleList.isEmpty());
        QVERIFY(!w.currentModule);
        QVERIFY(!w.highlightedFrame);
        QVERIFY(page.isNull());
        QVERIFY(subPage.isNull());
        QCOMPARE(child<QTabWidget>(&w, "tabWidget")->count(), 0);
        QCOMPARE(child<QTabWidget>(&w, "tabWidget_main")->count(), 0);
        QCOMPARE(child<QTreeWidget>(&w, "treeWidget")->topLevelItemCount(), 0);
        auto *info = child<moduleinfoForm>(&w, "mouleparam");
        QVERIFY(!child<QPushButton>(info, "pushButton_2")->isEnabled());
        QVERIFY(!child<QPushButton>(info, "pushButton_IP")->isEnabled());
        // The panel must not reach a deleted module.
        child<QPushButton>(info, "pushButton_2")->click();
        // Ending a scan with nothing listed changes nothing.
        w.Endscan();
        QVERIFY(!w.currentModule);

        // Adding as a project read does: listed, not yet shown.
        w.familyMap.insert(QStringLiteral("KTL-C10"), QStringLiteral("KTL"));
        auto *m = new module(QStringLiteral("KTL-C10"), QStringLiteral("KTL"));
        w.addModule(m);
        QCOMPARE(w.moduleList.size(), 1);
        QCOMPARE(w.highlightedFrame, static_cast<moduleFrame *>(m));
        QVERIFY(!m->highlighted);
        w.showModule(m);
        QCOMPARE(child<QTabWidget>(&w, "tabWidget")->widget(0), static_cast<QWidget *>(generalPage(m)));
    }

    void languageSwitchRetranslatesPages()
    {
        TempAppDir dir(true);
        MainWindow w;
        w.applyStoredLanguage();
        scanWithoutNetwork(w);
        auto *pages = child<QTabWidget>(&w, "tabWidget");
        General *page = generalPage(w.moduleList.first());
        QCOMPARE(pages->tabText(0), QString::fromUtf8("基本设置"));
        child<QComboBox>(&w, "comboBox")->setCurrentIndex(1);
        QCoreApplication::processEvents();
        QCOMPARE(pages->tabText(0), QStringLiteral("Basic Settings"));
        QCOMPARE(page->title, QStringLiteral("Basic Settings"));
        QCOMPARE(w.moduleList.first()->paramList.first()->label->text(), QStringLiteral("IP address mode"));
        QCOMPARE(child<QLineEdit>(&w, "moduletype")->text(), w.moduleList.first()->ModuleShowName);
        QVERIFY(!w.moduleList.first()->ModuleShowName.isEmpty());
        QCOMPARE(w.currentModule, w.moduleList.first());
        QVERIFY(!w.moduleList.first()->highlighted);
        QCOMPARE(child<QPushButton>(&w, "scanmodule")->toolTip(),
            QStringLiteral("<html><head/><body><p>Scan Mode</p></body></html>"));
        child<QComboBox>(&w, "comboBox")->setCurrentIndex(0);
        QCoreApplication::processEvents();
        QCOMPARE(pages->tabText(0), QString::fromUtf8("基本设置"));
    }

    void languageSwitchLeavesTreeAndPagesAgreeing_data()
    {
        QTest::addColumn<int>("module");
        QTest::addColumn<int>("submodule"); // -1: the module itself
        QTest::newRow("second module") << 1 << -1;
        QTest::newRow("sub-module of the first") << 0 << 1;
        QTest::newRow("sub-module of the second") << 1 << 0;
        QTest::newRow("first module") << 0 << -1;
    }

    // The switch shows the first module; the tree must say so, not keep pointing at another.
    void languageSwitchLeavesTreeAndPagesAgreeing()
    {
        QFETCH(int, module);
        QFETCH(int, submodule);
        TempAppDir dir(true);
        MainWindow w;
        w.applyStoredLanguage();
        scanWithoutNetwork(w);
        auto *tree = child<QTreeWidget>(&w, "treeWidget");
        ::module *chosen = w.moduleList.at(module);
        moduleFrame *frame = submodule < 0 ? static_cast<moduleFrame *>(chosen)
                                           : static_cast<moduleFrame *>(chosen->submodules.at(submodule));
        tree->setCurrentItem(frame);
        QVERIFY(frame->highlighted);

        child<QComboBox>(&w, "comboBox")->setCurrentIndex(1);
        QCoreApplication::processEvents();

        ::module *first = w.moduleList.first();
        QCOMPARE(w.currentModule, first);
        QCOMPARE(tree->currentItem(), static_cast<QTreeWidgetItem *>(first));
        QCOMPARE(tree->selectedItems(), QList<QTreeWidgetItem *> { first });
        QCOMPARE(child<QTabWidget>(&w, "tabWidget")->widget(0), static_cast<QWidget *>(generalPage(first)));
        // The information panel follows: the module's, in the new language, and no sub-module's.
        QVERIFY2(disagreement(w, first).isEmpty(), qPrintable(disagreement(w, first)));
        // As the switch leaves it: no frame carries the border.
        QVERIFY(!frame->highlighted);
        QVERIFY(!first->highlighted);
        // Choosing another item afterwards still follows the user.
        tree->setCurrentItem(w.moduleList.at(1));
        QCOMPARE(w.currentModule, w.moduleList.at(1));
        QVERIFY(w.moduleList.at(1)->highlighted);
        tree->setCurrentItem(frame);
        QVERIFY2(disagreement(w, frame).isEmpty(), qPrintable(disagreement(w, frame)));
        child<QComboBox>(&w, "comboBox")->setCurrentIndex(0);
        QCoreApplication::processEvents();
        QVERIFY2(disagreement(w, first).isEmpty(), qPrintable(disagreement(w, first)));
    }

    // Opening a project replaces the modules shown, whatever the user had selected: the first
    // module of the file is shown, selected and described, with no sub-module's information.
    void openedProjectLeavesTreePanelAndPagesAgreeing()
    {
        TempAppDir dir(true);
        MainWindow w;
        w.applyStoredLanguage();
        scanWithoutNetwork(w);
        child<QTreeWidget>(&w, "treeWidget")->setCurrentItem(w.moduleList.at(1)->submodules.first());
        const QString module
            = QStringLiteral("<module name=\"%1\" mac=\"02:00:00:00:00:0%2\" ip=\"127.0.0.%2\" mask=\"255.0.0.0\" "
                             "gateway=\"127.0.0.1\" inlen=\"2\" outlen=\"2\" Paralen=\"0\" softwareVer=\"V1.00\" "
                             "backbusVer=\"V1.00\" subnum=\"%3\">%4</module>");
        const QString text = QStringLiteral("<root_info><modulelist>%1%2</modulelist></root_info>")
                                 .arg(module.arg("RVE-C100", "7", "1",
                                          "<submodulelist><submodule name=\"RV-DI16\" slot=\"1\" "
                                          "softwareVer=\"V1.00\"/></submodulelist>"),
                                     module.arg("KTL-C10", "8", "0", QString()));
        QVERIFY(dir.write("/opened.kdxml", text.toUtf8()));
        PromptRecorder prompts;
        w.loadProjectFile(dir.path() + "/opened.kdxml");
        QCOMPARE(w.moduleList.size(), 2);
        QCOMPARE(w.moduleList.first()->ip, QStringLiteral("127.0.0.7"));
        QVERIFY2(disagreement(w, w.moduleList.first()).isEmpty(), qPrintable(disagreement(w, w.moduleList.first())));
    }

    void qtTextsFollowTheLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("ok");
        QTest::addColumn<QString>("cancel");
        QTest::newRow("Chinese") << 0 << QString::fromUtf8("确定") << QString::fromUtf8("取消");
        QTest::newRow("English") << 1 << "OK"
                                 << "Cancel";
    }

    // Qt's own standard buttons speak the program's language, not always English.
    void qtTextsFollowTheLanguage()
    {
        QFETCH(int, language);
        QFETCH(QString, ok);
        QFETCH(QString, cancel);
        TempAppDir dir(true);
        {
            MainWindow w;
            w.setLanguage(1 - language);
            w.setLanguage(language);
            QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
            QCOMPARE(box.button(QDialogButtonBox::Ok)->text().remove(QLatin1Char('&')), ok);
            QCOMPARE(box.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')), cancel);
        }
        // The window takes Qt's translation with it.
        QDialogButtonBox after(QDialogButtonBox::Ok);
        QCOMPARE(after.button(QDialogButtonBox::Ok)->text().remove(QLatin1Char('&')), QStringLiteral("OK"));
    }

    void helpWithoutAnOpenerSaysWhereHelpIs_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");
        QTest::newRow("Chinese") << 0 << QString::fromUtf8("帮助文档")
                                 << QString::fromUtf8("没有可以打开帮助文件夹的程序。帮助文件在：\n%1");
        QTest::newRow("English") << 1 << "Help Documents"
                                 << "No program could open the help folder. The help files are in:\n%1";
    }

    void helpWithoutAnOpenerSaysWhereHelpIs()
    {
        QFETCH(int, language);
        QFETCH(QString, caption);
        QFETCH(QString, text);
        TempAppDir dir(true);
        PromptRecorder prompts;
        QList<QUrl> opened;
        bool opens = true;
        PackageImport::setUrlOpener([&](const QUrl &url) {
            opened << url;
            return opens;
        });
        MainWindow w;
        w.setLanguage(language);
        auto *help = child<QPushButton>(&w, "pushButton_help");
        help->click();
        QCOMPARE(opened.size(), 1);
        QVERIFY(prompts.messages.isEmpty());

        opens = false;
        help->click();
        PackageImport::setUrlOpener({});
        QCOMPARE(opened.size(), 2);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.first().icon, QMessageBox::Information);
        QCOMPARE(prompts.lastCaption(), caption);
        QCOMPARE(prompts.lastText(), text.arg(QDir::toNativeSeparators(dir.path() + "/helpfile/")));
        w.setLanguage(0);
    }

    // A laptop's screen: 1366 x 740 available. The window fits it, every page's buttons can be
    // reached by scrolling the page area, and the status bar, the module tree and the information
    // panel stay where they are meanwhile.
    void smallScreenReachesEveryControl_data()
    {
        QTest::addColumn<int>("language");
        QTest::newRow("Chinese") << 0;
        QTest::newRow("English") << 1;
    }

    void smallScreenReachesEveryControl()
    {
        QFETCH(int, language);
        TempAppDir dir(true);
        const QRect area(0, 0, 1366, 740);
        MainWindow::setScreenAreaOverride(area);
        struct Restore
        {
            ~Restore() { MainWindow::setScreenAreaOverride(QRect()); }
        } restore;
        PromptRecorder prompts; // pages may warn about the fakes' empty parameter bytes
        MainWindow w;
        w.applyStoredLanguage();
        // A module of every kind of page: couplers, gateways, temperature control, remote
        // link, MQTT, with I/O, IO-Link and weighing sub-modules.
        QCoreApplication::processEvents();
        w.readDevicestype();
        w.readSublistmap();
        w.Startnewscan(QStringLiteral("eth"));
        const QList<QPair<QString, QList<int>>> kinds { { "RVE-C100", { 101, 102, 111, 112, 121, 131 } },
            { "RVE-C110", {} }, { "RVE-C150", {} }, { "RVE-C200", {} }, { "RVG-M300", {} }, { "RVG-E400", {} },
            { "RVT-C800", {} }, { "KTL-C10", { 201, 202 } } };
        int host = 2;
        for (const auto &kind : kinds) {
            FakeModule fake(QStringLiteral("127.0.0.%1").arg(host++));
            fake.setModuleType(kind.first);
            fake.setSubmoduleIds(kind.second);
            feed(w, fake);
        }
        w.Endscan();
        QCOMPARE(w.moduleList.size(), kinds.size());
        w.setLanguage(language);
        w.show();
        w.showNormal();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // Restored, the window fits the screen area.
        QVERIFY2(area.contains(w.geometry()), qPrintable(QStringLiteral("%1x%2").arg(w.width()).arg(w.height())));
        QVERIFY(w.minimumSizeHint().width() <= area.width() && w.minimumSizeHint().height() <= area.height());
        w.resize(area.size());
        QCoreApplication::processEvents();
        QCOMPARE(w.size(), area.size());
        QVERIFY(w.statusBar()->isVisible());
        QVERIFY(w.rect().contains(QRect(w.statusBar()->mapTo(&w, QPoint(0, 0)), w.statusBar()->size())));

        auto *scroll = child<QScrollArea>(&w, "scrollArea_page");
        auto *tree = child<QTreeWidget>(&w, "treeWidget");
        auto *pages = child<QTabWidget>(&w, "tabWidget");
        auto *panel = child<QTabWidget>(&w, "tabWidget_3");
        auto place = [&w](QWidget *widget) { return QRect(widget->mapTo(&w, QPoint(0, 0)), widget->size()); };
        const QRect treePlace = place(tree);
        QVERIFY(w.rect().contains(treePlace));
        // The buttons at the foot of the temperature page are among those that need scrolling.
        QStringList scrolledTo;
        QList<moduleFrame *> frames;
        for (::module *m : qAsConst(w.moduleList)) {
            frames.append(m);
            for (submodule *s : m->submodules)
                frames.append(s);
        }
        int checked = 0;
        const QPoint panelCorner = place(panel).topLeft();
        for (moduleFrame *frame : qAsConst(frames)) {
            tree->setCurrentItem(frame);
            QCoreApplication::processEvents();
            QCOMPARE(place(tree), treePlace);
            for (int t = 0; t < pages->count(); ++t) {
                pages->setCurrentIndex(t);
                QCoreApplication::processEvents();
                const QList<QAbstractButton *> buttons = pages->widget(t)->findChildren<QAbstractButton *>();
                for (QAbstractButton *button : buttons) {
                    if (!button->isVisibleTo(pages->widget(t)) || button->window() != &w)
                        continue;
                    // A button inside a page's own scrolling view is reached through that view:
                    // the view must be reachable.
                    QWidget *target = button;
                    for (QWidget *p = button->parentWidget(); p && p != pages->widget(t); p = p->parentWidget()) {
                        if (qobject_cast<QAbstractScrollArea *>(p))
                            target = p;
                    }
                    // The panel grows with the picture row a module needs, but never moves; it
                    // has its least height at the least and lies inside the window.
                    const QRect panelPlace = place(panel);
                    QCOMPARE(panelPlace.topLeft(), panelCorner);
                    QVERIFY(panelPlace.height() >= panel->minimumHeight());
                    QVERIFY(w.rect().contains(panelPlace));
                    // Scrolls as a person would, to the whole control (ensureWidgetVisible
                    // would settle for a view's current item).
                    const QSize shown = target->size().boundedTo(scroll->viewport()->size());
                    const QPoint centre
                        = target->mapTo(scroll->widget(), QPoint(shown.width() / 2, shown.height() / 2));
                    scroll->ensureVisible(centre.x(), centre.y(), (shown.width() + 1) / 2, (shown.height() + 1) / 2);
                    QCoreApplication::processEvents();
                    const QRect inViewport(target->mapTo(scroll->viewport(), QPoint(0, 0)),
                        target->size().boundedTo(scroll->viewport()->size()));
                    QVERIFY2(scroll->viewport()->rect().contains(inViewport),
                        qPrintable(QStringLiteral("%1 on %2 of %3 at %4,%5 %6x%7 outside the %8x%9 view")
                                       .arg(target->objectName(), pages->tabText(t), frame->text(0))
                                       .arg(inViewport.x())
                                       .arg(inViewport.y())
                                       .arg(inViewport.width())
                                       .arg(inViewport.height())
                                       .arg(scroll->viewport()->width())
                                       .arg(scroll->viewport()->height())));
                    // And the view itself lies inside the window.
                    const QRect view(scroll->viewport()->mapTo(&w, QPoint(0, 0)), scroll->viewport()->size());
                    QVERIFY(w.rect().contains(view));
                    // The tree and the information panel did not move with the page.
                    QCOMPARE(place(tree), treePlace);
                    QCOMPARE(place(panel), panelPlace);
                    QVERIFY(tree->isVisible() && panel->isVisible());
                    if (scroll->verticalScrollBar()->value() > 0)
                        scrolledTo << frame->text(0).section(QLatin1Char('('), 0, 0) + '/' + button->objectName();
                    ++checked;
                }
            }
        }
        QVERIFY(checked > 0);
        // 上传参数 and 下载参数 of the temperature page.
        for (const char *name : { "pushButton_5", "pushButton_4" })
            QVERIFY2(scrolledTo.contains(QStringLiteral("RVT-C800/") + QLatin1String(name)),
                qPrintable(scrolledTo.join(QLatin1Char('|'))));
        QVERIFY(w.grab().save(
            QCoreApplication::applicationDirPath() + QStringLiteral("/mainwindow_1366x740_%1.png").arg(language)));
    }

    // A window too short for the pages, after a scan of a temperature controller and a coupler
    // with two sub-modules, so the page area scrolls.
    static bool showShortAfterAScan(MainWindow &w)
    {
        w.applyStoredLanguage();
        QCoreApplication::processEvents();
        w.readDevicestype();
        w.readSublistmap();
        w.Startnewscan(QStringLiteral("eth"));
        FakeModule temp(QStringLiteral("127.0.0.3"));
        temp.setModuleType(QStringLiteral("RVT-C800"));
        feed(w, temp);
        FakeModule coupler(QStringLiteral("127.0.0.2"));
        coupler.setModuleType(QStringLiteral("RVE-C100"));
        coupler.setSubmoduleIds({ 101, 111 });
        coupler.setParamBytes(couplerParams);
        feed(w, coupler);
        w.Endscan();
        w.show();
        w.showNormal();
        w.resize(900, 500);
        if (!QTest::qWaitForWindowExposed(&w))
            return false;
        QCoreApplication::processEvents();
        return true;
    }

    // The frame of the short window's tree: 0 the temperature controller, 1 the coupler, 2 and 3
    // its sub-modules.
    static moduleFrame *frameAt(MainWindow &w, int index)
    {
        if (index < 2)
            return w.moduleList.at(index);
        return w.moduleList.at(1)->submodules.at(index - 2);
    }

    // Shows the short window's temperature page.
    static TempCtlForm *showTemperaturePage(MainWindow &w)
    {
        auto *page = TestSupport::pageOf<TempCtlForm>(w.moduleList.at(0));
        if (!page)
            return nullptr;
        child<QTreeWidget>(&w, "treeWidget")->setCurrentItem(w.moduleList.at(0));
        QCoreApplication::processEvents();
        child<QTabWidget>(&w, "tabWidget")->setCurrentWidget(page);
        QCoreApplication::processEvents();
        return page;
    }

    // Whether x lies whole in the view of the page area.
    static bool inView(QScrollArea *scroll, QWidget *x)
    {
        return scroll->viewport()->rect().contains(QRect(x->mapTo(scroll->viewport(), QPoint(0, 0)), x->size()));
    }

    // Selects frame in the tree as a click would and scrolls its page area to the middle.
    static int selectAndScrollToMiddle(MainWindow &w, moduleFrame *frame)
    {
        child<QTreeWidget>(&w, "treeWidget")->setCurrentItem(frame);
        QCoreApplication::processEvents();
        QScrollBar *bar = child<QScrollArea>(&w, "scrollArea_page")->verticalScrollBar();
        bar->setValue(bar->maximum() / 2);
        return bar->value();
    }

    void anotherFramesPagesStartAtTheTop_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("temperature controller to coupler") << 0 << 1;
        QTest::newRow("coupler to temperature controller") << 1 << 0;
        QTest::newRow("coupler to its sub-module") << 1 << 2;
        QTest::newRow("sub-module to sub-module") << 2 << 3;
        QTest::newRow("sub-module to its coupler") << 3 << 1;
        QTest::newRow("sub-module to another module") << 2 << 0;
    }

    void anotherFramesPagesStartAtTheTop()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        TempAppDir dir(true);
        PromptRecorder prompts; // pages may warn about the fakes' empty parameter bytes
        MainWindow w;
        QVERIFY(showShortAfterAScan(w));
        auto *scroll = child<QScrollArea>(&w, "scrollArea_page");
        auto *pages = child<QTabWidget>(&w, "tabWidget");
        // The pages of the frame left behind were scrolled part-way down, with the focus in them.
        QVERIFY(selectAndScrollToMiddle(w, frameAt(w, from)) > 0);
        pages->currentWidget()->setFocus();
        child<QTreeWidget>(&w, "treeWidget")->setCurrentItem(frameAt(w, to));
        QCoreApplication::processEvents();
        QVERIFY(frameAt(w, to)->pageList.contains(dynamic_cast<menubase *>(pages->currentWidget())));
        QCOMPARE(scroll->verticalScrollBar()->value(), 0);
        QCOMPARE(scroll->horizontalScrollBar()->value(), 0);
        // The page tabs are in sight.
        const QRect tabs(pages->tabBar()->mapTo(scroll->viewport(), QPoint(0, 0)), pages->tabBar()->size());
        QVERIFY(scroll->viewport()->rect().contains(tabs.topLeft()));
        // And the new pages do scroll: the reset was not for want of anything to scroll.
        QTRY_VERIFY(scroll->verticalScrollBar()->maximum() > 0);
        QCOMPARE(scroll->verticalScrollBar()->value(), 0);
    }

    // The temperature page's button that opens its debug window is disabled while the window is
    // open; the focus leaving it must not scroll the page area to the next button, at the page's
    // foot, nor must the window's closing move the page.
    void debugWindowLeavesThePageWhereItWas()
    {
        TempAppDir dir(true);
        PromptRecorder prompts;
        MainWindow w;
        QVERIFY(showShortAfterAScan(w));
        auto *scroll = child<QScrollArea>(&w, "scrollArea_page");
        TempCtlForm *page = showTemperaturePage(w);
        QVERIFY(page);
        // Scrolled part-way: the opening button at the top of the view, the next one out of it.
        auto *opener = child<QPushButton>(page, "pushButton_manual");
        auto *after = child<QPushButton>(page, "pushButton_5");
        QScrollBar *bar = scroll->verticalScrollBar();
        bar->setValue(opener->mapTo(scroll->widget(), QPoint(0, 0)).y());
        const int position = bar->value();
        QVERIFY(position > 0);
        QVERIFY(inView(scroll, opener));
        QVERIFY(!inView(scroll, after));

        QTest::mouseClick(opener, Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(!opener->isEnabled());
        QCOMPARE(w.focusWidget(), after);
        Tempctl_Manual_Dialog *window = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->isVisible() && qobject_cast<Tempctl_Manual_Dialog *>(top))
                window = qobject_cast<Tempctl_Manual_Dialog *>(top);
        QVERIFY(window);
        QCOMPARE(window->parentWidget(), &w);
        QCOMPARE(bar->value(), position);

        QPointer<QWidget> gone(window);
        window->close();
        QTRY_VERIFY(gone.isNull());
        QTRY_VERIFY(opener->isEnabled());
        QCoreApplication::processEvents();
        QCOMPARE(bar->value(), position);
        w.activateWindow();
        QCoreApplication::processEvents();
        QCOMPARE(bar->value(), position);
    }

    // A user who tabs through the page still finds the focused control in sight.
    void tabbingBringsTheFocusIntoView()
    {
        TempAppDir dir(true);
        PromptRecorder prompts;
        MainWindow w;
        QVERIFY(showShortAfterAScan(w));
        auto *scroll = child<QScrollArea>(&w, "scrollArea_page");
        TempCtlForm *page = showTemperaturePage(w);
        QVERIFY(page);
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        scroll->verticalScrollBar()->setValue(0);
        auto *manual = child<QPushButton>(page, "pushButton_manual");
        auto *foot = child<QPushButton>(page, "pushButton_5");
        manual->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), manual);
        QVERIFY(!inView(scroll, foot));
        QTest::keyClick(manual, Qt::Key_Tab);
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::focusWidget(), foot);
        QVERIFY(scroll->verticalScrollBar()->value() > 0);
        QVERIFY(inView(scroll, foot));
    }

    // Where the screen holds the window's parts, nothing scrolls.
    void desktopScreenDoesNotScroll()
    {
        TempAppDir dir(true);
        MainWindow w;
        QVERIFY(showScannedAtDesktopSize(w, 0));
        QCoreApplication::processEvents();
        auto *scroll = child<QScrollArea>(&w, "scrollArea_page");
        QVERIFY(!scroll->verticalScrollBar()->isVisible());
        QVERIFY(!scroll->horizontalScrollBar()->isVisible());
        QCOMPARE(child<QWidget>(&w, "groupBox_3")->size(), scroll->viewport()->size());
    }

    void fileChoosersStartInAFolderThatIsThere_data()
    {
        QTest::addColumn<bool>("hasDesktop");
        QTest::newRow("desktop") << true;
        QTest::newRow("no desktop") << false;
    }

    // A chooser told to start in a folder that is not there starts in its parent with the
    // folder's name typed as the file name: every chooser that starts on the desktop starts in
    // the home folder where there is no desktop.
    void fileChoosersStartInAFolderThatIsThere()
    {
        QFETCH(bool, hasDesktop);
        TempAppDir dir(true);
        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
        struct Restore
        {
            QByteArray home, config;
            ~Restore()
            {
                qputenv("HOME", home);
                if (config.isNull())
                    qunsetenv("XDG_CONFIG_HOME");
                else
                    qputenv("XDG_CONFIG_HOME", config);
            }
        } restore { oldHome, oldConfig };
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + "/.config"));
        if (hasDesktop)
            QVERIFY(QDir(home.path()).mkdir("Desktop"));
        const QString folder = hasDesktop ? home.path() + "/Desktop" : home.path();
        QCOMPARE(Prompts::defaultFolder(), folder);

        PromptRecorder prompts;
        {
            Mqtt_Subscribe_Dialog mqtt;
            QVERIFY(QMetaObject::invokeMethod(&mqtt, "on_pushButton_clicked"));
            QVERIFY(QMetaObject::invokeMethod(&mqtt, "on_pushButton_2_clicked"));
        }
        {
            ModbusMonitor monitor;
            QVERIFY(QMetaObject::invokeMethod(&monitor, "on_slave_pushButton_clicked"));
        }
        {
            EcatModbusConfig ecat;
            QVERIFY(QMetaObject::invokeMethod(&ecat, "on_pushButton_ESI_clicked"));
        }
        ModbusConfigFiles::copyTemplate("modbusconfig", dir.path() + "/Template/modbusconfig_Zh.xlsx",
            QStringLiteral("modbusconfig.xlsx"), QStringLiteral("*.xlsx"));
        XlsxSheet sheet;
        QVERIFY(!ModbusConfigFiles::chooseWorkbook("modbusconfig", QStringLiteral("*.xlsx"), &sheet));
        Caxexport(QList<::module *>(), QStringLiteral("Profinet")).exportCaxFile();
        QCOMPARE(prompts.fileStarts,
            QStringList({ folder, folder, folder + "/vrg731x.txt", folder + "/Ethercatmodbusmaster.xml",
                folder + "/modbusconfig.xlsx", folder, folder + "/project.aml" }));
        SaveDialog save;
        QCOMPARE(save.form()->lineEdit_path->text(), folder);
    }

    void treeHoverColourIsReadable()
    {
        static QStringList warnings;
        static QtMessageHandler previous = nullptr;
        warnings.clear();
        previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &text) {
            if (type == QtWarningMsg)
                warnings << text;
            previous(type, context, text);
        });
        TempAppDir dir(true);
        MainWindow w;
        auto *tree = child<QTreeWidget>(&w, "treeWidget");
        QStyleOptionViewItem option;
        option.initFrom(tree);
        option.state |= QStyle::State_MouseOver | QStyle::State_Enabled;
        option.state &= ~QStyle::State_Selected;
        option.rect = QRect(0, 0, 16, 16);
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(Qt::black);
        {
            QPainter painter(&image);
            tree->style()->drawPrimitive(QStyle::PE_PanelItemViewItem, &option, &painter, tree);
        }
        qInstallMessageHandler(previous);
        QVERIFY2(warnings.filter("QCss").isEmpty(), qPrintable(warnings.join('\n')));
        // White at alpha 100 over black.
        QCOMPARE(QColor(image.pixel(8, 8)), QColor(100, 100, 100));
    }

    void closingTheDialogStopsARunningScan()
    {
        TempAppDir dir(true);
        QVERIFY(dir.write("/usrconf.ini", iniWithRange("127.0.0.2", "127.0.0.60")));
        // Silent modules hold each address for the whole reply wait.
        std::vector<std::unique_ptr<FakeModule>> fakes;
        for (int i = 2; i <= 6; ++i) {
            fakes.emplace_back(new FakeModule(QStringLiteral("127.0.0.%1").arg(i)));
            fakes.back()->setSilent(true);
            QVERIFY(fakes.back()->start());
        }
        MainWindow w;
        w.applyStoredLanguage();
        PromptRecorder prompts;
        bool stopped = false;
        bool reached = false;
        qint64 closeMs = -1;
        prompts.onExec = [&](QDialog *dialog) {
            auto *scan = qobject_cast<SCANDialog *>(dialog);
            child<QPushButton>(scan, "pushButton")->click();
            auto *progress = child<QProgressBar>(scan, "progressBar");
            if (!QTest::qWaitFor([&] { return progress->value() >= 1; }, 20000))
                return int(QDialog::Rejected);
            QElapsedTimer timer;
            timer.start();
            scan->reject();
            closeMs = timer.elapsed();
            reached = true;
            stopped = scan->worker == nullptr && scan->thread == nullptr;
            return scan->result();
        };
        QMetaObject::invokeMethod(&w, "on_scanmodule_clicked");
        QVERIFY(reached);
        QVERIFY(stopped);
        QVERIFY2(closeMs < 10000, qPrintable(QString::number(closeMs)));
        QVERIFY(w.moduleList.isEmpty());
    }

    void stopButtonEndsTheScan()
    {
        TempAppDir dir(true);
        PlatformLists::setLocalAddresses({});
        SCANDialog dialog;
        dialog.setIPRange(QStringLiteral("127.0.0.2"), QStringLiteral("127.0.0.200"));
        FakeModule silent(QStringLiteral("127.0.0.2"));
        silent.setSilent(true);
        QVERIFY(silent.start());
        QSignalSpy started(&dialog, qOverload<QString>(&SCANDialog::startscan));
        QSignalSpy ended(&dialog, &SCANDialog::endscan);
        child<QPushButton>(&dialog, "pushButton")->click();
        QCOMPARE(started.count(), 1);
        QCOMPARE(started.first().first().toString(), QStringLiteral("eth"));
        QVERIFY(child<QPushButton>(&dialog, "pushButton_2")->isEnabled());
        QVERIFY(!child<QPushButton>(&dialog, "pushButton")->isEnabled());
        // The scan clears the stop flag as it starts, so stop once it is at its first address.
        QTRY_VERIFY_WITH_TIMEOUT(child<QProgressBar>(&dialog, "progressBar")->value() >= 1, 20000);
        child<QPushButton>(&dialog, "pushButton_2")->click();
        QVERIFY(ended.wait(20000));
        QVERIFY(!dialog.worker);
        QVERIFY(child<QProgressBar>(&dialog, "progressBar")->value() < 198);
        QCOMPARE(child<QPushButton>(&dialog, "pushButton")->text(), QString::fromUtf8("重新开始"));
        QVERIFY(child<QPushButton>(&dialog, "pushButton")->isEnabled());
    }

    void reversedRangeTriesNoAddress()
    {
        TempAppDir dir(true);
        SCANDialog dialog;
        dialog.setIPRange(QStringLiteral("127.0.0.20"), QStringLiteral("127.0.0.10"));
        QSignalSpy ended(&dialog, &SCANDialog::endscan);
        QSignalSpy replies(&dialog, &SCANDialog::Sendmodule);
        child<QPushButton>(&dialog, "pushButton")->click();
        QVERIFY(ended.wait(20000));
        QCOMPARE(replies.count(), 0);
        QCOMPARE(child<QProgressBar>(&dialog, "progressBar")->value(), 0);
    }

    void addressesLoseTheirLeadingZeros()
    {
        TempAppDir dir(true);
        SCANDialog dialog;
        dialog.setIPRange(QStringLiteral("127.000.000.010"), QStringLiteral("127.000.000.009"));
        QCOMPARE(dialog.getStartIP(), QStringLiteral("127.000.000.010"));
        QSignalSpy range(&dialog, qOverload<QString, QString>(&SCANDialog::startscan));
        QSignalSpy ended(&dialog, &SCANDialog::endscan);
        child<QPushButton>(&dialog, "pushButton")->click();
        QCOMPARE(range.count(), 1);
        QCOMPARE(range.first().at(0).toString(), QStringLiteral("127.0.0.10"));
        QCOMPARE(range.first().at(1).toString(), QStringLiteral("127.0.0.9"));
        QVERIFY(ended.wait(20000));
    }

    void serialScanListsTheModule()
    {
        TempAppDir dir(true);
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        FakeModule replies(QStringLiteral("127.0.0.9"));
        replies.setModuleType(QStringLiteral("KTL-C10"));
        replies.setSubmoduleIds({ 201 });
        peer.addReply("R\r\n", replies.infoReply());
        peer.addReply("G\r\n", QByteArray("PRM:") + QByteArray::fromHex("01 0102 03") + "#end");
        PlatformLists::setSerialPorts({ peer.portName() });

        MainWindow w;
        w.applyStoredLanguage();
        PromptRecorder prompts;
        QStringList starts;
        QPair<int, int> progress { -1, -1 };
        prompts.onExec = [&](QDialog *dialog) {
            auto *scan = qobject_cast<SCANDialog *>(dialog);
            connect(scan, qOverload<QString>(&SCANDialog::startscan), [&](const QString &s) { starts << s; });
            auto *com = child<QRadioButton>(scan, "radioButton_com");
            if (!com->isEnabled())
                return int(QDialog::Rejected);
            com->click();
            QSignalSpy ended(scan, &SCANDialog::endscan);
            child<QPushButton>(scan, "pushButton")->click();
            if (ended.count() != 1 && !ended.wait(20000))
                return int(QDialog::Rejected);
            auto *bar = child<QProgressBar>(scan, "progressBar");
            progress = { bar->value(), bar->maximum() };
            return int(QDialog::Accepted);
        };
        QMetaObject::invokeMethod(&w, "on_scanmodule_clicked");
        PlatformLists::setSerialPorts({});

        QCOMPARE(starts, QStringList { peer.portName() });
        // The finished scan shows a full bar, as a network scan does.
        QCOMPARE(progress, qMakePair(100, 100));
        QCOMPARE(w.moduleList.size(), 1);
        module *m = w.moduleList.first();
        QCOMPARE(m->connType, modulebase::CONNEST_COM);
        QCOMPARE(m->comstr, peer.portName());
        QCOMPARE(m->getParamData(), QByteArray::fromHex("01 0102 03"));
        auto *info = child<moduleinfoForm>(&w, "mouleparam");
        QVERIFY(!child<QPushButton>(info, "pushButton_IP")->isEnabled());
        QVERIFY(child<QPushButton>(info, "pushButton_2")->isEnabled());
    }

    void scanDialogSpeaksTheCurrentLanguage()
    {
        TempAppDir dir(true);
        MainWindow w;
        w.setLanguage(1);
        SCANDialog dialog;
        QCOMPARE(child<QPushButton>(&dialog, "pushButton")->text(), QStringLiteral("Scan"));
        QCOMPARE(child<QPushButton>(&dialog, "pushButton_2")->text(), QStringLiteral("stop"));
        QCOMPARE(child<QRadioButton>(&dialog, "radioButton_net")->text(), QStringLiteral("Net"));
        QCOMPARE(child<QLabel>(&dialog, "label")->text(), QStringLiteral("IP Range:"));
        dialog.setIPRange(QStringLiteral("127.0.0.3"), QStringLiteral("127.0.0.2"));
        QSignalSpy ended(&dialog, &SCANDialog::endscan);
        child<QPushButton>(&dialog, "pushButton")->click();
        QVERIFY(ended.wait(20000));
        QCOMPARE(child<QPushButton>(&dialog, "pushButton")->text(), QStringLiteral("Rescan"));
        w.setLanguage(0);
    }

    // A port the system does not list (a simulator's pseudo-terminal) may be typed, so the serial
    // scan is offered with an empty list too; an empty port box starts nothing.
    void comButtonWithoutAListedPort()
    {
        TempAppDir dir(true);
        PlatformLists::setSerialPorts({ QStringLiteral("/nonexistent/tty-rivudo") });
        SCANDialog dialog;
        PlatformLists::setSerialPorts({});
        auto *box = child<QComboBox>(&dialog, "comboBox");
        QCOMPARE(box->count(), 0);
        QCOMPARE(dialog.getConnType(), int(modulebase::CONNEST_NET));
        QVERIFY(!child<QPushButton>(&dialog, "pushButton_2")->isEnabled());
        auto *com = child<QRadioButton>(&dialog, "radioButton_com");
        QVERIFY(com->isEnabled());
        com->click();
        QSignalSpy started(&dialog, qOverload<QString>(&SCANDialog::startscan));
        child<QPushButton>(&dialog, "pushButton")->click();
        QCOMPARE(started.count(), 0);
        QVERIFY(child<QPushButton>(&dialog, "pushButton")->isEnabled());
    }

    void infoPanelGivesTheSubmoduleGroupItsRoom_data()
    {
        QTest::addColumn<int>("language");
        QTest::newRow("Chinese") << 0;
        QTest::newRow("English") << 1;
    }

    // Maximised on a 1600 x 1000 desktop, the sub-module group of the information panel must
    // show its three fields, not shrink to a strip.
    void infoPanelGivesTheSubmoduleGroupItsRoom()
    {
        QFETCH(int, language);
        TempAppDir dir(true);
        MainWindow w;
        QVERIFY(showScannedAtDesktopSize(w, language));
        QCOMPARE(w.size(), QSize(1600, 1000));
        child<QTreeWidget>(&w, "treeWidget")->setCurrentItem(w.moduleList.first()->submodules.first());
        QCoreApplication::processEvents();

        QVERIFY(w.grab().save(QCoreApplication::applicationDirPath()
            + QStringLiteral("/mainwindow_1600x1000_%1.png").arg(language)));
        auto *info = child<moduleinfoForm>(&w, "mouleparam");
        auto *group = child<QGroupBox>(info, "groupBox");
        QVERIFY(group->isVisible());
        QVERIFY2(group->height() >= group->minimumSizeHint().height(),
            qPrintable(QStringLiteral("group %1 high, needs %2").arg(group->height()).arg(group->minimumSizeHint().height())));
        // The panel may scroll when the window is short; scrolled to, the group shows whole.
        auto *scroll = child<QScrollArea>(&w, "infoScrollArea");
        scroll->ensureWidgetVisible(group, 0, 0);
        QCoreApplication::processEvents();
        // Its whole width is in view without scrolling sideways.
        QVERIFY(info->width() <= scroll->viewport()->width());
        QCOMPARE(group->visibleRegion().boundingRect(), group->rect());
        for (const char *name : { "submoduletype", "subfirmware", "subinfo" }) {
            auto *field = child<QLineEdit>(group, name);
            QVERIFY2(field->isVisible() && !field->visibleRegion().isEmpty(), name);
            QVERIFY2(field->height() >= field->fontMetrics().height(), name);
            // Wholly inside the group, not pushed under its lower edge.
            const QRect inGroup(field->mapTo(group, QPoint(0, 0)), field->size());
            QVERIFY2(group->rect().contains(inGroup), name);
            QVERIFY2(field->visibleRegion().boundingRect().height() == field->height(), name);
        }
        QCOMPARE(child<QLineEdit>(group, "submoduletype")->text(), QStringLiteral("RV-DI16"));
        // Nor may the group hide the button below it: it can be scrolled to as well.
        auto *restore = child<QPushButton>(info, "pushButton_2");
        QVERIFY(restore->height() >= restore->minimumSizeHint().height());
        scroll->ensureWidgetVisible(restore, 0, 0);
        QCoreApplication::processEvents();
        QCOMPARE(restore->visibleRegion().boundingRect(), restore->rect());
    }

    void namedTextsFitTheirWidgets_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("open");
        QTest::newRow("Chinese") << 0 << QString::fromUtf8("打开");
        QTest::newRow("English") << 1 << QStringLiteral("Connect");
    }

    void namedTextsFitTheirWidgets()
    {
        QFETCH(int, language);
        QFETCH(QString, open);
        TempAppDir dir(true);
        MainWindow w;
        QVERIFY(showScannedAtDesktopSize(w, language));

        // The text fits the widget, and the widget is not cut by the window or layout around it.
        auto fits = [](QWidget *widget, const QString &text, int room) {
            const int needed = widget->fontMetrics().horizontalAdvance(text);
            if (needed > room) {
                qWarning("\"%s\" needs %d pixels, has %d", qPrintable(text), needed, room);
                return false;
            }
            if (widget->visibleRegion().boundingRect() != widget->rect()) {
                qWarning("\"%s\" is in a widget that is partly out of sight", qPrintable(text));
                return false;
            }
            return true;
        };

        // The language box, with either language's name current.
        auto *languages = child<QComboBox>(&w, "comboBox");
        QCOMPARE(languages->count(), 2);
        for (int i = 0; i < languages->count(); ++i)
            QVERIFY(fits(languages, languages->itemText(i), textRoom(languages)));

        // The address fields of the IP dialog, with the longest octets.
        module *m = w.moduleList.first();
        m->ip = QStringLiteral("127.0.0.2");
        m->mask = QStringLiteral("255.255.255.0");
        m->gateway = QStringLiteral("127.0.0.1");
        IPModfiy_Dialog ip(m, &w);
        ip.show();
        QVERIFY(QTest::qWaitForWindowExposed(&ip));
        const QList<IPAddress *> addresses = ip.findChildren<IPAddress *>();
        QCOMPARE(addresses.size(), 3);
        for (IPAddress *address : addresses) {
            for (QLineEdit *octet : address->findChildren<QLineEdit *>()) {
                QVERIFY(fits(octet, QStringLiteral("255"), textRoom(octet)));
                QVERIFY(fits(octet, octet->text(), textRoom(octet)));
            }
        }
        QVERIFY(ip.grab().save(QCoreApplication::applicationDirPath()
            + QStringLiteral("/ipdialog_%1.png").arg(language)));

        // The file cell of the firmware table.
        FirmwareDialog firmware(&w);
        firmware.setModuleList(w.moduleList);
        firmware.show();
        QVERIFY(QTest::qWaitForWindowExposed(&firmware));
        auto *cell = qobject_cast<FirmwareFileForm *>(firmware.form()->tableWidget->cellWidget(0, 3));
        QVERIFY(cell);
        auto *openButton = child<QPushButton>(cell, "pushButton_2");
        QCOMPARE(openButton->text(), open);
        for (QPushButton *button : cell->findChildren<QPushButton *>())
            QVERIFY(fits(button, button->text(), textRoom(button)));
        QVERIFY(firmware.grab().save(QCoreApplication::applicationDirPath()
            + QStringLiteral("/firmwaredialog_%1.png").arg(language)));
    }

    // Every example picture is wide enough for the name shown under it, so neighbouring names
    // in the picture row do not run together.
    void pictureNamesFitTheirPictures()
    {
        TempAppDir dir(true);
        MainWindow w;
        w.applyStoredLanguage();
        QCoreApplication::processEvents();
        w.readDevicestype();
        w.readSublistmap();
        w.Startnewscan(QStringLiteral("eth"));
        const QStringList couplers = { "RVE-C100", "RVE-C110", "RVE-C150", "RVE-C200", "RVG-M300", "RVG-E400",
            "RVT-C800" };
        for (int i = 0; i < couplers.size(); ++i) {
            FakeModule fake(QStringLiteral("127.0.0.%1").arg(i + 2));
            fake.setModuleType(couplers.at(i));
            if (i == 0)
                fake.setSubmoduleIds({ 101, 102, 111, 112, 121, 131 });
            feed(w, fake);
        }
        w.Endscan();
        QCOMPARE(w.moduleList.size(), couplers.size());
        QCOMPARE(w.moduleList.first()->submodules.size(), 6);
        QVERIFY(showAtDesktopSize(w));

        QList<moduleFrame *> frames;
        for (module *m : qAsConst(w.moduleList)) {
            frames.append(m);
            for (submodule *s : m->submodules)
                frames.append(s);
        }
        for (moduleFrame *frame : qAsConst(frames)) {
            auto *name = child<QLabel>(frame, "name");
            QVERIFY(!name->text().isEmpty());
            const int needed = name->fontMetrics().horizontalAdvance(name->text());
            QVERIFY2(needed <= name->contentsRect().width(),
                qPrintable(QStringLiteral("%1 needs %2 pixels, has %3")
                               .arg(name->text())
                               .arg(needed)
                               .arg(name->contentsRect().width())));
        }
        w.showModule(w.moduleList.first());
        QVERIFY(w.grab().save(QCoreApplication::applicationDirPath() + QStringLiteral("/picture_row.png")));
    }

    void screenshotAfterAScan()
    {
        TempAppDir dir(true);
        MainWindow w;
        w.applyStoredLanguage();
        scanWithoutNetwork(w);
        w.show();
        // The offscreen screen is small; show the window at a desktop size instead.
        w.showNormal();
        w.resize(1280, 860);
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/mainwindow_after_scan.png");
        QVERIFY(w.grab().save(path));
        qInfo("screenshot: %s", qPrintable(path));

        child<QComboBox>(&w, "comboBox")->setCurrentIndex(1);
        QCoreApplication::processEvents();
        w.showModule(w.moduleList.first());
        QVERIFY(w.grab().save(QCoreApplication::applicationDirPath() + QStringLiteral("/mainwindow_after_scan_en.png")));
        child<QComboBox>(&w, "comboBox")->setCurrentIndex(0);

        SCANDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(dialog.grab().save(QCoreApplication::applicationDirPath() + QStringLiteral("/scandialog.png")));
    }
};

RIVUDO_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
