// Texts that must not be clipped, in both languages, on a 1600 x 1000 and a 1366 x 768 desktop:
// the page tabs, the module information panel, the gateway tables' headers and the fields of
// imported rows, the remote link table, the names of the picture row, the temperature page's
// channel choices, the curve windows, the temperature debug window (in English without a Chinese
// text), the scan dialog (its arrow and address fields), the firmware dialog, the IO-Link copy
// buttons and the weighing panel (whole, not cut by a scroll area of its own). Each case also
// leaves a screenshot beside the test program.
#include "ecatmodbusconfig.h"
#include "fakemodule.h"
#include "firmwaredialog.h"
#include "io_monitor_curve_dialog.h"
#include "ioutlinkblock.h"
#include "ioutlinkform.h"
#include "mainwindow.h"
#include "modbusconfig.h"
#include "modbusfunctioncode.h"
#include "module.h"
#include "mscomm_config.h"
#include "pagelookup.h"
#include "platformlists.h"
#include "promptrecorder.h"
#include "scandialog.h"
#include "submodule.h"
#include "tempappdir.h"
#include "tempctl_manual_dialog.h"
#include "tempctlform.h"
#include "tempcurvedialog.h"
#include "testsupport.h"
#include "textroom.h"
#include "xlsxwriter.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
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
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
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
    void check(QCheckBox *c, const QString &where)
    {
        const QFontMetrics fm = c->fontMetrics();
        const int needed = fm.horizontalAdvance(plain(c->text()));
        if (needed > textRoom(c))
            add(where, c->text(), QStringLiteral("needs %1 px, has %2").arg(needed).arg(textRoom(c)));
        if (c->height() < fm.height())
            add(where, c->text(), QStringLiteral("is %1 px high").arg(c->height()));
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
            // Shown in bold while the selection reaches the column.
            QFont font = h->font();
            font.setBold(font.bold() || h->highlightSections());
            const int needed = QFontMetrics(font).horizontalAdvance(text) + 2 * margin;
            if (needed > h->sectionSize(i))
                add(where, text, QStringLiteral("needs %1 px, has %2").arg(needed).arg(h->sectionSize(i)));
        }
    }
    // The header texts of a tree and what its cells show (icon, indentation and text alike).
    void tree(QTreeWidget *t, const QString &where)
    {
        QHeaderView *h = t->header();
        const int margin = h->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, h);
        for (int i = 0; i < t->columnCount(); ++i) {
            if (h->isSectionHidden(i))
                continue;
            const QString text = t->headerItem()->text(i);
            const int header = h->fontMetrics().horizontalAdvance(text) + 2 * margin;
            if (header > h->sectionSize(i))
                add(where, text, QStringLiteral("needs %1 px, has %2").arg(header).arg(h->sectionSize(i)));
            // The view's own measure, public through its base.
            const int cells = static_cast<QAbstractItemView *>(t)->sizeHintForColumn(i);
            if (cells > h->sectionSize(i))
                add(where, QStringLiteral("column %1").arg(text),
                    QStringLiteral("cells need %1 px, have %2").arg(cells).arg(h->sectionSize(i)));
        }
    }
    // Nothing of w is hidden by a widget between it and page (a scroll area's viewport, a parent
    // squeezed below what w takes).
    void whole(QWidget *w, QWidget *page, const QString &where, const QString &text)
    {
        QRect r = w->rect();
        for (QWidget *p = w; p != page && p->parentWidget(); p = p->parentWidget()) {
            r.translate(p->pos());
            if (!p->parentWidget()->rect().contains(r)) {
                add(where, text,
                    QStringLiteral("is cut by %1 %2")
                        .arg(p->parentWidget()->metaObject()->className(), p->parentWidget()->objectName()));
                return;
            }
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
        // A field in a table cell takes the row's height; it must still hold a line of text.
        const bool inCell = w->parentWidget() && qobject_cast<QAbstractItemView *>(w->parentWidget()->parentWidget());
        const int needed = inCell ? w->fontMetrics().height() : w->minimumSizeHint().height();
        if (w->height() < needed)
            add(where, w->objectName(), QStringLiteral("is %1 px high, needs %2").arg(w->height()).arg(needed));
        if (auto *spin = qobject_cast<QAbstractSpinBox *>(w)) {
            if (auto *edit = spin->findChild<QLineEdit *>()) {
                const int room = textRoom(edit);
                const int text = edit->fontMetrics().horizontalAdvance(spin->text());
                if (text > room)
                    add(where, spin->text(), QStringLiteral("needs %1 px, has %2").arg(text).arg(room));
            }
        }
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
                QStringLiteral("is %1x%2, needs %3x%4")
                    .arg(p->width())
                    .arg(p->height())
                    .arg(needed.width())
                    .arg(needed.height()));
    }
    // Every visible widget of these kinds inside w; with page, each also whole inside it.
    void everything(QWidget *w, const QString &where, QWidget *page = nullptr)
    {
        const auto inPage = [&](QWidget *x, const QString &text) {
            if (page)
                whole(x, page, where, text);
        };
        for (QPushButton *b : w->findChildren<QPushButton *>())
            if (b->isVisible() && !b->text().isEmpty()) {
                button(b, where);
                inPage(b, b->text());
            }
        for (QComboBox *c : w->findChildren<QComboBox *>())
            if (c->isVisible()) {
                combo(c, where);
                inPage(c, c->currentText());
            }
        for (QCheckBox *c : w->findChildren<QCheckBox *>())
            if (c->isVisible() && !c->text().isEmpty()) {
                check(c, where);
                inPage(c, c->text());
            }
        for (QLineEdit *e : w->findChildren<QLineEdit *>())
            if (e->isVisible() && !qobject_cast<QAbstractSpinBox *>(e->parentWidget())
                && !qobject_cast<QComboBox *>(e->parentWidget())) {
                field(e, where);
                inPage(e, e->objectName());
            }
        for (QAbstractSpinBox *s : w->findChildren<QAbstractSpinBox *>())
            if (s->isVisible()) {
                field(s, where);
                inPage(s, s->objectName());
            }
        for (QLabel *l : w->findChildren<QLabel *>())
            if (l->isVisible() && !l->text().isEmpty()) {
                label(l, where);
                inPage(l, l->text());
            }
    }

    // Each tab's text on one line inside its tile, as the tab style draws it (centred, wrapped at
    // spaces when too wide).
    void tabs(QTabBar *bar, const QString &where)
    {
        const QFontMetrics fm = bar->fontMetrics();
        for (int i = 0; i < bar->count(); ++i) {
            const QRect tile = bar->tabRect(i);
            const QString text = bar->tabText(i);
            const QRect drawn = fm.boundingRect(tile, Qt::AlignCenter | Qt::TextWordWrap, text);
            const int line = fm.boundingRect(QRect(0, 0, 10000, 1000), Qt::AlignCenter, text).height();
            if (!tile.contains(drawn) || drawn.height() > line)
                add(where, text,
                    QStringLiteral("needs %1x%2 px, has %3x%4")
                        .arg(fm.horizontalAdvance(text))
                        .arg(line)
                        .arg(tile.width())
                        .arg(tile.height()));
        }
    }
    // A panel that scrolls up and down only: nothing of it past its parent's sides.
    void sides(QWidget *w, const QString &where)
    {
        if (w->parentWidget() && w->width() > w->parentWidget()->width())
            add(where, w->objectName(),
                QStringLiteral("is %1 px wide in %2").arg(w->width()).arg(w->parentWidget()->width()));
    }
    // Every text that w and its children show, the hidden pop-ups included, without a Chinese
    // character; except lists texts that stay the same in both languages.
    void english(QWidget *w, const QString &where, const QStringList &except = {})
    {
        QStringList texts { w->windowTitle() };
        for (QWidget *x : w->findChildren<QWidget *>()) {
            texts << x->windowTitle() << x->toolTip();
            if (auto *l = qobject_cast<QLabel *>(x))
                texts << l->text();
            if (auto *b = qobject_cast<QAbstractButton *>(x))
                texts << b->text();
            if (auto *c = qobject_cast<QComboBox *>(x))
                for (int i = 0; i < c->count(); ++i)
                    texts << c->itemText(i);
            if (auto *t = qobject_cast<QTableWidget *>(x)) {
                for (int c = 0; c < t->columnCount(); ++c)
                    if (t->horizontalHeaderItem(c))
                        texts << t->horizontalHeaderItem(c)->text();
                for (int r = 0; r < t->rowCount(); ++r)
                    for (int c = 0; c < t->columnCount(); ++c)
                        if (t->item(r, c))
                            texts << t->item(r, c)->text();
            }
        }
        for (const QString &text : qAsConst(texts)) {
            if (except.contains(text))
                continue;
            for (const QChar ch : text) {
                if (ch.script() == QChar::Script_Han || (ch.unicode() >= 0x3000 && ch.unicode() <= 0x303F)
                    || (ch.unicode() >= 0xFF00 && ch.unicode() <= 0xFFEF)) {
                    add(where, text, QStringLiteral("is not translated"));
                    break;
                }
            }
        }
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
              .arg(what, language == 2 ? QStringLiteral("zhen") : language ? QStringLiteral("en") : QStringLiteral("zh"))
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
    // gateway, a temperature controller, two Modbus gateways and a remote link master, in language,
    // at size. switched: the scan ran in Chinese and the language was changed after it; otherwise
    // the program was started in language (pages that keep the texts they were made with differ).
    MainWindow &window(int language, const QSize &size, bool switched)
    {
        m_window.reset();
        m_dir.reset(new TempAppDir(true));
        m_window.reset(new MainWindow);
        MainWindow &w = *m_window;
        w.applyStoredLanguage();
        QCoreApplication::processEvents();
        if (!switched) {
            w.setLanguage(language);
            QCoreApplication::processEvents();
        }
        w.readDevicestype();
        w.readSublistmap();
        w.Startnewscan(QStringLiteral("eth"));
        const QList<QPair<QString, QList<int>>> modules { { "RVE-C100", { 101, 102, 111, 112, 121, 131 } },
            { "RVG-M300", {} }, { "RVT-C800", { 111 } }, { "RVE-C150", {} }, { "RVE-C200", {} }, { "RVG-E400", {} },
            { "RVE-C110", {} } };
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
        QTest::addColumn<bool>("switched");
        for (int language : { 0, 1, 2 }) {
            for (const QSize &size : { QSize(1600, 1000), QSize(1366, 768) }) {
                const char *const names[] = { "Chinese ", "English ", "English after Chinese " };
                const QByteArray name = QByteArray(names[language]) + QByteArray::number(size.width()) + "x"
                    + QByteArray::number(size.height());
                QTest::newRow(name.constData()) << qMin(language, 1) << size << (language == 2);
            }
        }
    }

    void texts()
    {
        QFETCH(int, language);
        QFETCH(QSize, size);
        QFETCH(bool, switched);
        MainWindow &w = window(language, size, switched);
        const int shot = switched ? 2 : language;
        QCOMPARE(w.moduleList.size(), 7);
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
            fit.tabs(child<QTabWidget>(&w, "tabWidget")->tabBar(), m->name + QStringLiteral(" page tabs"));
            auto *info = child<QWidget>(&w, "mouleparam");
            fit.everything(info, m->name + QStringLiteral(" information"), info);
            fit.sides(info, m->name + QStringLiteral(" information"));
            if (m->name == QLatin1String("RVE-C100"))
                QVERIFY(w.grab().save(shotName(QStringLiteral("picture_row"), shot, size)));
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
        QVERIFY(w.grab().save(shotName(QStringLiteral("serial_gateway"), shot, size)));

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
                QVERIFY(w.grab().save(shotName(QStringLiteral("temperature_%1").arg(i), shot, size)));
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
            QVERIFY(curves.grab().save(shotName(QStringLiteral("temperature_curves"), shot, size)));
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
            fit.tabs(tabs->tabBar(), sub->name + QStringLiteral(" page tabs"));
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
                    fit.everything(page, where, page);
                }
                QVERIFY(w.grab().save(
                    shotName(QStringLiteral("%1_%2").arg(sub->name).arg(i).remove(QLatin1Char('-')), shot, size)));
            }
        }

        // The gateway tables: their headers, then the fields of rows a workbook gave, one row for
        // each function with the widest values the fields take.
        {
            QTemporaryDir dir;
            PromptRecorder prompts;
            const QString yes = QCoreApplication::translate("EcatModbusConfig", "是");
            QList<QList<QVariant>> ecatRows { { QStringLiteral("heading") } };
            QList<QList<QVariant>> masterRows;
            for (int i = 0; i < ModbusFunctionCode::Count; ++i) {
                ecatRows << QList<QVariant> { 200 + i, ModbusFunctionCode::text(i, "EcatModbusConfig"), 65535, 128, 1,
                    10000, 10000, yes, yes, QStringLiteral("Pump_station_A") };
                // One three-digit length, within the module's input image.
                masterRows << QList<QVariant> { 200 + i, ModbusFunctionCode::text(i, "modbusconfig"), 65535,
                    i == 2 ? 100 : 8 };
            }
            const QString ecatSheet = dir.filePath(QStringLiteral("ecat.xlsx"));
            const QString masterSheet = dir.filePath(QStringLiteral("master.xlsx"));
            QVERIFY(writeXlsx(ecatSheet, ecatRows));
            QVERIFY(writeXlsx(masterSheet, masterRows));

            module *ecat = coupler(w, QStringLiteral("RVG-E400"));
            QVERIFY(ecat);
            auto *ecatPage = TestSupport::pageOf<EcatModbusConfig>(ecat);
            QVERIFY(ecatPage);
            showPage(w, ecat, ecatPage);
            auto *ecatTable = child<QTableWidget>(ecatPage, "tableWidget");
            fit.header(ecatTable->horizontalHeader(), QStringLiteral("EtherCAT gateway"));
            prompts.fileAnswers.enqueue(ecatSheet);
            ecatPage->on_pushButton_Import_clicked();
            QCoreApplication::processEvents();
            QCOMPARE(ecatTable->rowCount(), ModbusFunctionCode::Count);
            fit.header(ecatTable->horizontalHeader(), QStringLiteral("EtherCAT gateway, imported"));
            fit.everything(ecatTable, QStringLiteral("EtherCAT gateway rows"));
            fit.page(ecatPage, QStringLiteral("EtherCAT gateway"));
            QVERIFY(w.grab().save(shotName(QStringLiteral("ethercat_gateway"), shot, size)));

            module *master = coupler(w, QStringLiteral("RVE-C200"));
            QVERIFY(master);
            auto *masterPage = TestSupport::pageOf<modbusconfig>(master);
            QVERIFY(masterPage);
            showPage(w, master, masterPage);
            auto *masterTable = child<QTableWidget>(masterPage, "tableWidget");
            fit.header(masterTable->horizontalHeader(), QStringLiteral("Modbus master"));
            prompts.fileAnswers.enqueue(masterSheet);
            masterPage->on_pushButton_clicked();
            QCoreApplication::processEvents();
            QCOMPARE(masterTable->rowCount(), ModbusFunctionCode::Count);
            fit.header(masterTable->horizontalHeader(), QStringLiteral("Modbus master, imported"));
            fit.everything(masterTable, QStringLiteral("Modbus master rows"));
            fit.page(masterPage, QStringLiteral("Modbus master"));
            QVERIFY(w.grab().save(shotName(QStringLiteral("modbus_master"), shot, size)));
            QVERIFY(prompts.messages.isEmpty());
        }

        // The remote link table with two remote modules and their sub-modules.
        {
            module *linker = coupler(w, QStringLiteral("RVE-C110"));
            QVERIFY(linker);
            auto *linkPage = TestSupport::pageOf<IOutlinkForm>(linker);
            QVERIFY(linkPage);
            QVector<IoutlinkStation> stations(2);
            const char *const names[] = { "RVE-C100", "RVE-C150" };
            for (int i = 0; i < stations.size(); ++i) {
                IoutlinkRecord &m = stations[i].module;
                m.name = QLatin1String(names[i]);
                m.ip = QStringLiteral("127.0.0.%1").arg(120 + i);
                m.slot = i + 1;
                m.Inputsize = 255;
                m.Outputsize = 255;
                m.Scantime = 999999;
                for (const char *sub : { "RV-DI16", "RV-DO16", "RV-AI4" }) {
                    IoutlinkRecord r;
                    r.name = QLatin1String(sub);
                    r.slot = i + 1;
                    r.subSlot = stations[i].subs.size() + 1;
                    r.Inputsize = 8;
                    stations[i].subs << r;
                }
            }
            linkPage->setParamData(encodeIoutlinkBlock(stations));
            showPage(w, linker, linkPage);
            auto *linkTree = child<QTreeWidget>(linkPage, "treeWidget");
            linkTree->expandAll();
            QCoreApplication::processEvents();
            fit.tree(linkTree, QStringLiteral("remote link table"));
            fit.page(linkPage, QStringLiteral("remote link table"));
            QVERIFY(w.grab().save(shotName(QStringLiteral("remote_link"), shot, size)));
        }

        // The I/O curves window, the temperature debug window and the scan dialog, at their own
        // size or the screen's.
        const auto showDialog = [&size](QDialog *d) {
            d->show();
            d->resize(d->size().boundedTo(size));
            QCoreApplication::processEvents();
            return QTest::qWaitForWindowExposed(d);
        };
        {
            IO_Monitor_Curve_Dialog curves;
            QVERIFY(showDialog(&curves));
            fit.everything(&curves, QStringLiteral("I/O curves"));
            QVERIFY(curves.grab().save(shotName(QStringLiteral("io_curves"), shot, size)));
        }
        {
            Tempctl_Manual_Dialog debug(temp);
            QVERIFY(showDialog(&debug));
            fit.everything(&debug, QStringLiteral("temperature debug"));
            if (language == 1)
                fit.english(&debug, QStringLiteral("temperature debug"));
            QVERIFY(debug.grab().save(shotName(QStringLiteral("temperature_debug"), shot, size)));
        }
        {
            // The firmware dialog with a row for every module; its tick box for all rows and the
            // download button beside it.
            FirmwareDialog firmware;
            firmware.setModuleList(w.moduleList);
            QVERIFY(showDialog(&firmware));
            fit.everything(&firmware, QStringLiteral("firmware update"), &firmware);
            fit.header(
                child<QTableWidget>(&firmware, "tableWidget")->horizontalHeader(), QStringLiteral("firmware update"));
            if (language == 1)
                fit.english(&firmware, QStringLiteral("firmware update"));
            QVERIFY(firmware.grab().save(shotName(QStringLiteral("firmware"), shot, size)));
        }
        {
            SCANDialog scan;
            QVERIFY(showDialog(&scan));
            scan.setIPRange(QStringLiteral("192.168.100.1"), QStringLiteral("192.168.100.255"));
            fit.everything(&scan, QStringLiteral("scan dialog"), &scan);
            QVERIFY(scan.grab().save(shotName(QStringLiteral("scan"), shot, size)));
        }

        for (const QString &problem : qAsConst(fit.problems))
            qWarning("%s", qPrintable(problem));
        QVERIFY2(fit.problems.isEmpty(), qPrintable(QStringLiteral("%1 texts do not fit").arg(fit.problems.size())));
    }
};

RIVUDO_TEST_MAIN(TestTextFit)
#include "tst_textfit.moc"
