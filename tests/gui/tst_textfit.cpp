// Texts that must not be clipped, in both languages, on a 1600 x 1000 and a 1366 x 768 desktop:
// the serial gateway's headers, the names of the picture row, the temperature page's channel
// choices, the curve window's value choices, the IO-Link copy buttons and the weighing fields.
// Each case also leaves a screenshot beside the test program.
#include "fakemodule.h"
#include "mainwindow.h"
#include "module.h"
#include "mscomm_config.h"
#include "pagelookup.h"
#include "platformlists.h"
#include "submodule.h"
#include "tempappdir.h"
#include "tempctlform.h"
#include "tempcurvedialog.h"
#include "testsupport.h"
#include "textroom.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>

namespace {
using TestSupport::child;
using TestSupport::textRoom;

QString plain(QString text)
{
    return text.remove(QLatin1Char('&'));
}

// What does not fit, one line each; empty when everything does.
class Fit
{
public:
    // lineHeight: the button must be as high as a line of its font; otherwise as high as its
    // text's glyphs.
    void button(QPushButton *b, const QString &where, bool lineHeight = false)
    {
        const QFontMetrics fm = b->fontMetrics();
        const int high = lineHeight ? fm.height() : fm.tightBoundingRect(plain(b->text())).height() + 2;
        if (b->height() < high)
            add(where, b->text(), QStringLiteral("is %1 px high, needs %2").arg(b->height()).arg(high));
        const int needed = fm.horizontalAdvance(plain(b->text()));
        if (needed > textRoom(b))
            add(where, b->text(), QStringLiteral("needs %1 px, has %2").arg(needed).arg(textRoom(b)));
    }
    void combo(QComboBox *c, const QString &where)
    {
        const QFontMetrics fm = c->fontMetrics();
        const int needed = fm.horizontalAdvance(c->currentText());
        if (needed > textRoom(c))
            add(where, c->currentText(), QStringLiteral("needs %1 px, has %2").arg(needed).arg(textRoom(c)));
        if (c->height() < fm.height())
            add(where, c->currentText(), QStringLiteral("is %1 px high").arg(c->height()));
    }
    void header(QHeaderView *h, const QString &where)
    {
        const auto *table = qobject_cast<QTableWidget *>(h->parentWidget());
        const int margin = h->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, h);
        for (int i = 0; i < h->count(); ++i) {
            if (h->isSectionHidden(i) || !table || !table->horizontalHeaderItem(i))
                continue;
            const QString text = table->horizontalHeaderItem(i)->text();
            const int needed = h->fontMetrics().horizontalAdvance(text) + 2 * margin;
            if (needed > h->sectionSize(i))
                add(where, text, QStringLiteral("needs %1 px, has %2").arg(needed).arg(h->sectionSize(i)));
        }
    }
    void label(QLabel *l, const QString &where)
    {
        if (l->wordWrap() || l->textFormat() == Qt::RichText || l->text().contains(QLatin1Char('<')))
            return;
        const int needed = l->fontMetrics().horizontalAdvance(l->text());
        if (needed > l->contentsRect().width())
            add(where, l->text(), QStringLiteral("needs %1 px, has %2").arg(needed).arg(l->contentsRect().width()));
    }
    // An entry field squashed below the height its text needs.
    void field(QWidget *w, const QString &where)
    {
        const int needed = w->minimumSizeHint().height();
        if (w->height() < needed)
            add(where, w->objectName(), QStringLiteral("is %1 px high, needs %2").arg(w->height()).arg(needed));
        if (auto *edit = qobject_cast<QLineEdit *>(w)) {
            const int room = textRoom(edit);
            const int text = edit->fontMetrics().horizontalAdvance(edit->text());
            if (text > room)
                add(where, edit->text(), QStringLiteral("needs %1 px, has %2").arg(text).arg(room));
        }
    }
    // A page given less room than its layout needs draws its fields over each other.
    void page(QWidget *p, const QString &where)
    {
        const QSize needed = p->minimumSizeHint();
        if (p->height() < needed.height() || p->width() < needed.width())
            add(where, p->metaObject()->className(),
                QStringLiteral("is %1x%2, needs %3x%4").arg(p->width()).arg(p->height()).arg(needed.width()).arg(needed.height()));
    }
    // Every visible widget of these kinds inside w.
    void everything(QWidget *w, const QString &where)
    {
        for (QPushButton *b : w->findChildren<QPushButton *>())
            if (b->isVisible() && !b->text().isEmpty())
                button(b, where);
        for (QComboBox *c : w->findChildren<QComboBox *>())
            if (c->isVisible())
                combo(c, where);
        for (QLineEdit *e : w->findChildren<QLineEdit *>())
            if (e->isVisible() && !qobject_cast<QAbstractSpinBox *>(e->parentWidget())
                && !qobject_cast<QComboBox *>(e->parentWidget()))
                field(e, where);
        for (QAbstractSpinBox *s : w->findChildren<QAbstractSpinBox *>())
            if (s->isVisible())
                field(s, where);
        for (QLabel *l : w->findChildren<QLabel *>())
            if (l->isVisible() && !l->text().isEmpty())
                label(l, where);
    }

    QStringList problems;

private:
    void add(const QString &where, const QString &text, const QString &why)
    {
        problems << QStringLiteral("%1: \"%2\" %3").arg(where, text, why);
    }
};

QString shotName(const QString &what, int language, const QSize &size)
{
    return QCoreApplication::applicationDirPath()
        + QStringLiteral("/textfit_%1_%2_%3x%4.png")
              .arg(what, language ? QStringLiteral("en") : QStringLiteral("zh"))
              .arg(size.width())
              .arg(size.height());
}

void feed(MainWindow &w, const FakeModule &fake)
{
    w.Getmoduleinfo(fake.infoReply(), modulebase::CONNEST_NET);
    w.GetmoduleinfoPrm(fake.paramReply());
}

} // namespace

class TestTextFit : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempAppDir> m_dir;
    std::unique_ptr<MainWindow> m_window;

    // A window after a scan of a coupler with an IO-Link master and a weighing module, a serial
    // gateway and a temperature controller, in language, at size.
    MainWindow &window(int language, const QSize &size)
    {
        m_window.reset();
        m_dir.reset(new TempAppDir(true));
        m_window.reset(new MainWindow);
        MainWindow &w = *m_window;
        w.applyStoredLanguage();
        QCoreApplication::processEvents();
        w.readDevicestype();
        w.readSublistmap();
        w.Startnewscan(QStringLiteral("eth"));
        const QList<QPair<QString, QList<int>>> modules { { "RVE-C100", { 101, 102, 111, 112, 121, 131 } },
            { "RVG-M300", {} }, { "RVT-C800", { 111 } }, { "RVE-C150", {} }, { "RVE-C200", {} } };
        for (int i = 0; i < modules.size(); ++i) {
            FakeModule fake(QStringLiteral("127.0.0.%1").arg(i + 2));
            fake.setModuleType(modules.at(i).first);
            fake.setSubmoduleIds(modules.at(i).second);
            feed(w, fake);
        }
        w.Endscan();
        w.setLanguage(language);
        QCoreApplication::processEvents();
        w.show();
        w.showNormal();
        w.resize(size);
        if (!QTest::qWaitForWindowExposed(&w))
            qWarning("window not exposed");
        QCoreApplication::processEvents();
        return w;
    }

    module *coupler(MainWindow &w, const QString &name)
    {
        for (module *m : qAsConst(w.moduleList)) {
            if (m->name == name)
                return m;
        }
        return nullptr;
    }

    // Selects item in the tree and shows the tab of page.
    void showPage(MainWindow &w, QTreeWidgetItem *item, QWidget *page)
    {
        child<QTreeWidget>(&w, "treeWidget")->setCurrentItem(item);
        QCoreApplication::processEvents();
        auto *tabs = child<QTabWidget>(&w, "tabWidget");
        tabs->setCurrentWidget(page);
        QCoreApplication::processEvents();
    }

private slots:
    void initTestCase()
    {
        PlatformLists::setLocalAddresses({});
        PlatformLists::setSerialPorts({});
    }
    void cleanup()
    {
        m_window.reset();
        m_dir.reset();
    }

    // A name wider than its picture (a longer show name, or a display with more dots per inch
    // than the name's font was chosen for) still shows whole under the picture.
    void longPictureNameFits_data()
    {
        QTest::addColumn<QString>("showName");
        QTest::addColumn<bool>("fits");
        QTest::newRow("as described") << "RVE-C100" << true;
        QTest::newRow("longer than the picture") << "RVE-C100-EXT" << true;
        QTest::newRow("far too long: whole in the tool tip") << "RVE-C100 Ethernet coupler" << false;
    }
    void longPictureNameFits()
    {
        QFETCH(QString, showName);
        QFETCH(bool, fits);
        TempAppDir dir(true);
        QByteArray description = dir.read(QStringLiteral("/ModuleParameter/RVE/ModuleParameter.xml"));
        description.replace("ModuleShowName=\"RVE-C100\"", "ModuleShowName=\"" + showName.toUtf8() + "\"");
        QVERIFY(dir.write(QStringLiteral("/ModuleParameter/RVE/ModuleParameter.xml"), description));
        module m(QStringLiteral("RVE-C100"), QStringLiteral("RVE"));
        m.ensurePolished();
        if (m.layout())
            m.layout()->activate();
        auto *name = child<QLabel>(&m, "name");
        QCOMPARE(name->text(), showName);
        // Still readable.
        QVERIFY(name->font().pointSizeF() >= 6);
        if (!fits) {
            QCOMPARE(name->toolTip(), showName);
            QCOMPARE(name->font().pointSizeF(), 6.0);
            return;
        }
        QVERIFY(name->toolTip().isEmpty());
        Fit fit;
        fit.label(name, QStringLiteral("picture row"));
        // Also inside the highlight frame.
        m.setHighlight();
        m.ensurePolished();
        fit.label(name, QStringLiteral("picture row, highlighted"));
        for (const QString &problem : qAsConst(fit.problems))
            qWarning("%s", qPrintable(problem));
        QVERIFY(fit.problems.isEmpty());
    }

    void texts_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QSize>("size");
        for (int language : { 0, 1 }) {
            for (const QSize &size : { QSize(1600, 1000), QSize(1366, 768) }) {
                const QByteArray name = QByteArray(language ? "English " : "Chinese ")
                    + QByteArray::number(size.width()) + "x" + QByteArray::number(size.height());
                QTest::newRow(name.constData()) << language << size;
            }
        }
    }

    void texts()
    {
        QFETCH(int, language);
        QFETCH(QSize, size);
        MainWindow &w = window(language, size);
        QCOMPARE(w.moduleList.size(), 5);
        Fit fit;

        // The picture row: every coupler's and sub-module's name under its picture.
        for (module *m : qAsConst(w.moduleList)) {
            w.showModule(m);
            QCoreApplication::processEvents();
            QList<moduleFrame *> frames { m };
            for (submodule *s : m->submodules)
                frames << s;
            for (moduleFrame *frame : qAsConst(frames))
                fit.label(child<QLabel>(frame, "name"), QStringLiteral("picture row"));
            if (m->name == QLatin1String("RVE-C100"))
                QVERIFY(w.grab().save(shotName(QStringLiteral("picture_row"), language, size)));
        }

        // The serial gateway's table headers.
        module *gateway = coupler(w, QStringLiteral("RVG-M300"));
        QVERIFY(gateway);
        auto *mscom = TestSupport::pageOf<mscomm_config>(gateway);
        QVERIFY(mscom);
        showPage(w, gateway, mscom);
        auto *table = mscom->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
        QVERIFY(table);
        fit.header(table->horizontalHeader(), QStringLiteral("serial gateway"));
        fit.page(mscom, QStringLiteral("serial gateway"));
        QVERIFY(w.grab().save(shotName(QStringLiteral("serial_gateway"), language, size)));

        // The temperature page's channel choices (the heater's outputs carry a bit number).
        module *temp = coupler(w, QStringLiteral("RVT-C800"));
        QVERIFY(temp);
        auto *tempPage = TestSupport::pageOf<TempCtlForm>(temp);
        QVERIFY(tempPage);
        showPage(w, temp, tempPage);
        fit.page(tempPage, QStringLiteral("temperature page"));
        bool heater = false;
        for (auto *tabs : tempPage->findChildren<QTabWidget *>()) {
            for (int i = 0; i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                QCoreApplication::processEvents();
                for (QComboBox *c : tabs->widget(i)->findChildren<QComboBox *>()) {
                    if (!c->isVisible())
                        continue;
                    heater = heater || c->currentText().contains(QLatin1String("Heater"));
                    fit.combo(c, QStringLiteral("temperature page"));
                }
                QVERIFY(w.grab().save(shotName(QStringLiteral("temperature_%1").arg(i), language, size)));
            }
        }
        QVERIFY(heater);

        // The curve window's choices ("不使能" and the channels), at its own size or the screen's.
        {
            TempCurveDialog curves(temp);
            curves.show();
            curves.resize(curves.size().boundedTo(size));
            QVERIFY(QTest::qWaitForWindowExposed(&curves));
            QCoreApplication::processEvents();
            auto *curveTable = curves.findChild<QTableWidget *>(QStringLiteral("tableWidget"));
            QVERIFY(curveTable);
            for (QComboBox *c : curveTable->findChildren<QComboBox *>())
                fit.combo(c, QStringLiteral("temperature curves"));
            QVERIFY(curves.grab().save(shotName(QStringLiteral("temperature_curves"), language, size)));
        }

        // IO-Link pages (copy buttons) and the weighing page (its fields), of the first coupler.
        module *first = coupler(w, QStringLiteral("RVE-C100"));
        QVERIFY(first);
        for (submodule *sub : first->submodules) {
            if (sub->name != QLatin1String("RV-IOL4") && sub->name != QLatin1String("RV-WT2"))
                continue;
            child<QTreeWidget>(&w, "treeWidget")->setCurrentItem(sub);
            QCoreApplication::processEvents();
            auto *tabs = child<QTabWidget>(&w, "tabWidget");
            QVERIFY(tabs->count() > 0);
            for (int i = 0; i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                QCoreApplication::processEvents();
                const QString where = sub->name + QStringLiteral(" ") + tabs->tabText(i);
                QWidget *page = tabs->widget(i);
                fit.page(page, where);
                if (sub->name == QLatin1String("RV-IOL4")) {
                    for (QPushButton *b : page->findChildren<QPushButton *>())
                        if (b->isVisible() && b->objectName().startsWith(QLatin1String("btnCopy")))
                            fit.button(b, where, true);
                } else {
                    fit.everything(page, where);
                }
                QVERIFY(w.grab().save(
                    shotName(QStringLiteral("%1_%2").arg(sub->name).arg(i).remove(QLatin1Char('-')), language, size)));
            }
        }

        for (const QString &problem : qAsConst(fit.problems))
            qWarning("%s", qPrintable(problem));
        QVERIFY2(fit.problems.isEmpty(), qPrintable(QStringLiteral("%1 texts do not fit").arg(fit.problems.size())));
    }
};

RIVUDO_TEST_MAIN(TestTextFit)
#include "tst_textfit.moc"
