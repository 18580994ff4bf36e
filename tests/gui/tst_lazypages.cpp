// Pages made by the page factory build their widgets at their first show: until then they have
// no child widgets, yet give and take parameter bytes as a shown page does, and a language or an
// owner given before the first show is in force once they are built.
#include "channel_ctrl.h"
#include "general.h"
#include "iolink_module.h"
#include "menubase.h"
#include "module.h"
#include "pagefactory.h"
#include "pagelookup.h"
#include "submodule.h"
#include "tempappdir.h"
#include "tempctl_input_form.h"
#include "tempctlform.h"
#include "testsupport.h"

#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>
#include <memory>

using TestSupport::Language;

namespace {

struct Made
{
    std::unique_ptr<module> coupler;
    modulebase *owner = nullptr;
};

// A coupler of type name, or an RVE-C100 with sub-module name in slot 1 when family is a
// sub-module family.
Made make(const QString &name, const QString &family, bool sub)
{
    Made m;
    if (sub) {
        m.coupler = std::make_unique<module>("RVE-C100", "RVE");
        m.owner = m.coupler->addSubmodule(name, family, 1);
    } else {
        m.coupler = std::make_unique<module>(name, family);
        m.owner = m.coupler.get();
    }
    return m;
}

QList<QWidget *> childWidgets(QWidget *page)
{
    return page->findChildren<QWidget *>();
}

} // namespace

class TestLazyPages : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempAppDir> m_app;

private slots:
    void initTestCase() { m_app.reset(new TempAppDir(true)); }
    void cleanup() { IoLink_Module::deleteInstance(); }

    void builtAtFirstShow_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("sub");
        QTest::addColumn<int>("pages");
        QTest::newRow("General, I/O") << "RVE-C100"
                                      << "RVE" << false << 2;
        QTest::newRow("remote I/O link") << "RVE-C110"
                                         << "RVE" << false << 3;
        QTest::newRow("MQTT") << "RVE-C150"
                              << "RVE" << false << 3;
        QTest::newRow("Modbus gateway") << "RVE-C200"
                                        << "RVE" << false << 4;
        QTest::newRow("serial gateway") << "RVG-M300"
                                        << "RVG" << false << 0;
        QTest::newRow("EtherCAT gateway") << "RVG-E400"
                                          << "RVG" << false << 0;
        QTest::newRow("temperature") << "RVT-C800"
                                     << "RVT" << false << 0;
        QTest::newRow("IO-Link") << "RV-IOL4"
                                 << "RVIOL" << true << 3;
        QTest::newRow("weighing") << "RV-WT2"
                                  << "RVW" << true << 2;
    }
    // Every page the factory makes waits for its show; shown, it has its form.
    void builtAtFirstShow()
    {
        QFETCH(QString, name);
        QFETCH(QString, family);
        QFETCH(bool, sub);
        QFETCH(int, pages);
        Made m = make(name, family, sub);
        QVERIFY(!m.owner->pageList.isEmpty());
        if (pages)
            QCOMPARE(m.owner->pageList.size(), pages);
        for (menubase *page : qAsConst(m.owner->pageList)) {
            if (!page->isBuilt())
                QVERIFY2(childWidgets(page).isEmpty(), page->metaObject()->className());
        }
        QTabWidget tabs;
        tabs.resize(700, 500);
        tabs.show();
        for (menubase *page : qAsConst(m.owner->pageList))
            tabs.addTab(page, page->title);
        QCoreApplication::processEvents();
        const QSize stack = tabs.currentWidget()->size();
        for (menubase *page : qAsConst(m.owner->pageList)) {
            tabs.setCurrentWidget(page);
            QVERIFY2(page->isBuilt(), page->metaObject()->className());
            QVERIFY2(!childWidgets(page).isEmpty(), page->metaObject()->className());
            // Built at its show, the page keeps the size of the tab it is in.
            QCOMPARE(page->size(), stack);
        }
        while (tabs.count())
            tabs.removeTab(0);
        for (menubase *page : qAsConst(m.owner->pageList))
            page->setParent(nullptr);
    }

    // The pages of the factory are not built by what the model asks of them before a show.
    void modelCallsBuildNothing()
    {
        Made m = make("RV-IOL4", "RVIOL", true);
        Made w = make("RV-WT2", "RVW", true);
        for (Made *x : { &m, &w }) {
            auto *frame = static_cast<moduleFrame *>(static_cast<submodule *>(x->owner));
            frame->setLanguage(1);
            frame->setPagesOwner();
            frame->getParamData();
            frame->setParamData(QByteArray(8, '\0'));
            frame->restorePagesDefaults();
            frame->pagesInputSize();
            frame->collectSlotList();
            frame->clearTabs();
            for (menubase *page : qAsConst(x->owner->pageList))
                QVERIFY2(!page->isBuilt(), page->metaObject()->className());
        }
        QVERIFY(!IoLink_Module::existingInstance());
    }

    void bytesSameShownOrNot_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("family");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("coupler") << "RVE-C100"
                                 << "RVE" << QByteArray::fromHex("01 f401 00 55");
        QTest::newRow("Modbus gateway") << "RVE-C200"
                                        << "RVE" << QByteArray::fromHex("00 1027 01 0203040506070809");
        QTest::newRow("remote I/O link") << "RVE-C110"
                                         << "RVE" << QByteArray::fromHex("01 0a00 01 0000");
        QTest::newRow("serial gateway") << "RVG-M300"
                                        << "RVG" << QByteArray::fromHex("01 02 03 04 05 06 07 08 09 0a");
        QTest::newRow("EtherCAT gateway") << "RVG-E400"
                                          << "RVG" << QByteArray::fromHex("0102030405060708");
    }
    // Parameter bytes out and in, and defaults, are those of a page that was shown.
    void bytesSameShownOrNot()
    {
        QFETCH(QString, name);
        QFETCH(QString, family);
        QFETCH(QByteArray, bytes);
        module hidden(name, family);
        module shown(name, family);
        for (menubase *page : qAsConst(shown.pageList))
            page->ensureBuilt();
        QCOMPARE(hidden.getParamData(), shown.getParamData());
        hidden.setParamData(bytes);
        shown.setParamData(bytes);
        QCOMPARE(hidden.getParamData(), shown.getParamData());
        hidden.restoreDefaults();
        shown.restoreDefaults();
        QCOMPARE(hidden.getParamData(), shown.getParamData());
        // Bytes taken before the build show in the widgets once built.
        hidden.setParamData(bytes);
        shown.setParamData(bytes);
        for (menubase *page : qAsConst(hidden.pageList))
            page->ensureBuilt();
        QCOMPARE(hidden.getParamData(), shown.getParamData());
    }

    // The General page built after bytes and a language arrived shows both.
    void generalShowsWhatCameBeforeItsBuild()
    {
        module m("RVE-C100", "RVE");
        auto *page = TestSupport::pageOf<General>(&m);
        QVERIFY(page);
        m.setParamData(QByteArray::fromHex("00 3412 00"));
        {
            Language en(":/res/language/en_US.qm");
            m.setLanguage(1);
        }
        QVERIFY(!page->isBuilt());
        QCOMPARE(page->title, QString("Basic Settings"));
        page->ensureBuilt();
        QStringList labels;
        for (QLabel *label : page->findChildren<QLabel *>())
            labels << label->text();
        QVERIFY2(labels.contains("Link watchdog (ms)"), qPrintable(labels.join('|')));
        QList<int> spins;
        for (QSpinBox *spin : page->findChildren<QSpinBox *>())
            spins << spin->value();
        QCOMPARE(spins, QList<int> { 0x3412 });
    }

    // An IO-Link page attached and translated before its first show: the link and the frames
    // are wired and the English texts are up when it is built.
    void ioLinkOwnerAndLanguageBeforeShow()
    {
        Made m = make("RV-IOL4", "RVIOL", true);
        {
            Language en(":/res/language/en_US.qm");
            static_cast<moduleFrame *>(static_cast<submodule *>(m.owner))->setLanguage(1);
        }
        QCOMPARE(m.owner->pageList.size(), 3);
        QStringList titles;
        for (menubase *page : qAsConst(m.owner->pageList))
            titles << page->title;
        QCOMPARE(titles, (QStringList { "Port Setting", "Parameter setting", "Information" }));
        QVERIFY(!IoLink_Module::existingInstance());
        menubase *info = m.owner->pageList.at(2);
        {
            Language en(":/res/language/en_US.qm");
            info->ensureBuilt();
        }
        IoLink_Module *link = IoLink_Module::existingInstance();
        QVERIFY(link);
        QCOMPARE(link->getModule(), m.owner);
        auto *tabs = TestSupport::child<QTabWidget>(info, "tabWidget");
        QVERIFY(tabs);
        QCOMPARE(tabs->tabText(0), QString("Port1"));
        QCOMPARE(tabs->currentIndex(), 3);
        for (int k = 0; k < 4; ++k) {
            auto *frame = info->findChild<Channel_Ctrl *>(QString("InfoCtrl_%1").arg(k));
            QVERIFY(frame);
            QCOMPARE(frame->ownerPage, info);
            QCOMPARE(int(frame->port), k);
        }
    }

    // The end of a scan hands the temperature page its coupler before the page was ever shown:
    // the tables it builds for that coupler are there once the page is.
    void ownerBeforeShowTakesEffect()
    {
        module m("RVT-C800", "RVT");
        auto *page = TestSupport::pageOf<TempCtlForm>(&m);
        QVERIFY(page);
        m.setPagesOwner();
        QVERIFY(!page->isBuilt());
        QVERIFY(!page->inputForm);
        page->ensureBuilt();
        QVERIFY(page->inputForm);
        QVERIFY(page->pidForm);
        auto *tabs = TestSupport::child<QTabWidget>(page, "tabWidget");
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->widget(0), static_cast<QWidget *>(page->inputForm));
    }

    // A page made directly, outside the factory, is built at once, as forms and tests expect.
    void directPageBuiltAtOnce()
    {
        General page;
        QVERIFY(page.isBuilt());
        QVERIFY(!childWidgets(&page).isEmpty());
        std::unique_ptr<menubase> made;
        {
            menubase::DeferBuild defer;
            made.reset(new General);
        }
        QVERIFY(!made->isBuilt());
        QVERIFY(childWidgets(made.get()).isEmpty());
        made->show();
        QVERIFY(made->isBuilt());
        QVERIFY(!childWidgets(made.get()).isEmpty());
    }
};

RIVUDO_TEST_MAIN(TestLazyPages)
#include "tst_lazypages.moc"
