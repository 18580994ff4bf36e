// What a page costs once the user has looked at it: modules made from descriptions as a scan
// makes them, listed in the main window, then clicked in the module tree and each of their page
// tabs shown, as a user clicking through a plant would. Per page type the heap it keeps (from
// mallinfo2, median over the modules) and the time of its first show (build, layout, paint);
// per IO-Link master the heap its three shown pages keep.
#include "benchconfirm.h"
#include "benchtools.h"
#include "builtinpages.h"
#include "mainwindow.h"
#include "menubase.h"
#include "module.h"
#include "prompts.h"
#include "resourceinit.h"
#include "scanreply.h"
#include "scanreplyhandler.h"
#include "submodule.h"

#include <QApplication>
#include <QDialog>
#include <QMap>
#include <QTabWidget>
#include <QTreeWidget>
#include <cstdio>

namespace {

// A module type of the description set, and the frame whose pages are looked at: the coupler
// itself, or the sub-module of the given type in slot 1.
struct Case
{
    QString coupler;
    QString family;
    int subTypeId = 0; // 0: the coupler's own pages
};

struct PageCost
{
    std::vector<double> kib;
    std::vector<double> firstShowMs;
    // Pages that a scan already builds (defaults, parameter bytes, owner) cost their module's
    // making as well; their figure adds the whole module's, an upper bound.
    bool builtByScan = false;
};

class Clicker
{
public:
    explicit Clicker(MainWindow *window)
        : m_window(window)
    {
        // Found before any page exists: the IO-Link pages hold tab widgets of that name too.
        m_tree = window->findChild<QTreeWidget *>(QStringLiteral("treeWidget"));
        m_pages = window->findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    }
    bool ok() const { return m_tree && m_pages; }

    module *scan(const Case &c, int n)
    {
        ScanReply reply;
        reply.hasModuleType = true;
        reply.typeName = c.coupler;
        reply.ip = QStringLiteral("192.168.1.%1").arg(n % 250 + 1);
        reply.mac = QStringLiteral("00:11:22:33:44:%1").arg(n % 256, 2, 16, QChar('0'));
        reply.mask = QStringLiteral("255.255.255.0");
        reply.gateway = QStringLiteral("192.168.1.254");
        reply.softwareVer = reply.backbusVer = QStringLiteral("V1.0");
        if (c.subTypeId) {
            reply.subs.append({ 1, c.subTypeId, QStringLiteral("V1.0") });
            reply.subnum = 1;
        }
        module *m = ScanReplyHandler::buildModule(
            reply, m_window->familyMap, m_window->sublistMap, 0, modulebase::CONNEST_NET, QStringLiteral("eth"));
        if (m)
            m_window->addModule(m);
        return m;
    }

    void settle()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        m_window->repaint();
    }

    void click(QTreeWidgetItem *item)
    {
        m_tree->setCurrentItem(item);
        settle();
    }

    void showTab(int index)
    {
        m_pages->setCurrentIndex(index);
        settle();
    }

    int tabCount() const { return m_pages->count(); }
    QString tabClass(int index) const { return QString::fromLatin1(m_pages->widget(index)->metaObject()->className()); }

private:
    MainWindow *m_window;
    QTreeWidget *m_tree = nullptr;
    QTabWidget *m_pages = nullptr;
};

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    rivudoInitResources();
    registerBuiltinPages();
    const int modulesPerType = argc > 1 ? std::max(3, atoi(argv[1])) : 8;

    Bench::Confirm confirm;
    Prompts::setHandler(&confirm);
    MainWindow window;
    window.readDevicestype();
    window.readSublistmap();
    window.setLanguage(0);
    window.resize(1366, 768);
    window.show();
    Clicker clicker(&window);
    if (!clicker.ok() || window.familyMap.isEmpty()) {
        std::fprintf(stderr, "no main window tree or page tabs, or no description set beside the program\n");
        return 1;
    }
    clicker.settle();

    const QList<Case> cases = {
        { "RVE-C100", "RVE", 0 }, { "RVE-C110", "RVE", 0 }, { "RVE-C150", "RVE", 0 }, { "RVE-C200", "RVE", 0 },
        { "RVG-M300", "RVG", 0 }, { "RVG-E400", "RVG", 0 }, { "RVT-C800", "RVT", 0 },
        { "RVE-C100", "RVE", 131 }, // weighing module
        { "RVE-C100", "RVE", 121 }, // IO-Link master
    };

    QMap<QString, PageCost> costs;
    std::vector<double> masterKiB;
    std::vector<double> masterMs;
    // The first module of each type is a warm-up: styles, fonts, descriptions and translations
    // are loaded once per program, not per page.
    for (const Case &c : cases) {
        for (int n = 0; n <= modulesPerType; ++n) {
            const qint64 heapScan = Bench::heapBytes();
            module *m = clicker.scan(c, n);
            if (!m || (c.subTypeId && m->submodules.isEmpty())) {
                std::fprintf(stderr, "%s could not be made\n", qPrintable(c.coupler));
                return 1;
            }
            clicker.settle();
            const double scanKiB = (Bench::heapBytes() - heapScan) / 1024.0;
            const bool warmUp = n == 0;
            // Another module first, as a user coming from elsewhere in the tree.
            if (c.subTypeId)
                clicker.click(m);
            moduleFrame *target = c.subTypeId ? static_cast<moduleFrame *>(m->submodules.first()) : m;
            const qint64 heapStart = Bench::heapBytes();
            double totalMs = 0;
            for (int t = 0; t < target->pageList.size(); ++t) {
                const bool builtBefore = target->pageList.at(t)->isBuilt();
                const qint64 heap0 = Bench::heapBytes();
                const qint64 t0 = Bench::nowNs();
                if (t == 0)
                    clicker.click(target);
                else
                    clicker.showTab(t);
                const double ms = (Bench::nowNs() - t0) / 1e6;
                const qint64 heap1 = Bench::heapBytes();
                totalMs += ms;
                if (warmUp || t >= clicker.tabCount())
                    continue;
                PageCost &cost = costs[clicker.tabClass(t)];
                cost.kib.push_back((heap1 - heap0) / 1024.0 + (builtBefore ? scanKiB : 0));
                cost.builtByScan = cost.builtByScan || builtBefore;
                cost.firstShowMs.push_back(ms);
            }
            // What stays once the user moved on: pages are kept built for the next visit.
            clicker.click(m);
            if (!warmUp && c.subTypeId == 121) {
                masterKiB.push_back((Bench::heapBytes() - heapStart) / 1024.0);
                masterMs.push_back(totalMs);
            }
        }
    }

    std::printf("Pages shown in the main window at 1366 x 768, %d modules per type after a warm-up; heap kept "
                "by a page's first show (mallinfo2), median [min .. max]\n",
        modulesPerType);
    bool allPagesOk = true;
    double worstMs = 0;
    QString worstMsPage;
    for (auto it = costs.cbegin(); it != costs.cend(); ++it) {
        const Bench::Stats kib = Bench::stats(it->kib);
        const Bench::Stats ms = Bench::stats(it->firstShowMs);
        std::printf("  %-28s %8.1f KiB [%.1f .. %.1f]   first show %6.1f ms [%.1f .. %.1f]%s%s\n", qPrintable(it.key()),
            kib.median, kib.min, kib.max, ms.median, ms.min, ms.max,
            it->builtByScan ? "  (built by the scan: "
                              "with its whole module)"
                            : "",
            Bench::busy(ms) ? "  (busy machine?)" : "");
        if (ms.median > worstMs) {
            worstMs = ms.median;
            worstMsPage = it.key();
        }
        if (it.key().startsWith(QLatin1String("IoLink")))
            continue;
        const bool met = kib.median <= 1024;
        allPagesOk = allPagesOk && met;
        Bench::tableLine(QStringLiteral("page %1 shown").arg(it.key()),
            QStringLiteral("%1%2 KiB, first show %3 ms")
                .arg(it->builtByScan ? QStringLiteral("<= ") : QString())
                .arg(kib.median, 0, 'f', 0)
                .arg(ms.median, 0, 'f', 1),
            QStringLiteral("<= 1024 KiB"), met);
    }
    const Bench::Stats master = Bench::stats(masterKiB);
    const Bench::Stats masterTime = Bench::stats(masterMs);
    std::printf("  IO-Link master, three pages shown: %.1f KiB [%.1f .. %.1f] kept, %.1f ms to show all three\n\n",
        master.median, master.min, master.max, masterTime.median);
    Bench::tableLine(QStringLiteral("IO-Link master, three pages shown"),
        QStringLiteral("%1 KiB (%2 + %3 + %4 KiB)")
            .arg(master.median, 0, 'f', 0)
            .arg(Bench::stats(costs.value("IoLinkPortSetform").kib).median, 0, 'f', 0)
            .arg(Bench::stats(costs.value("IoLinkParamForm").kib).median, 0, 'f', 0)
            .arg(Bench::stats(costs.value("IoLinkInfoForm").kib).median, 0, 'f', 0),
        QStringLiteral("<= 1536 KiB"), master.median <= 1536);
    Bench::tableLine(QStringLiteral("slowest first show of a page"),
        QStringLiteral("%1 ms (%2)").arg(worstMs, 0, 'f', 1).arg(worstMsPage), QStringLiteral("<= 50 ms"),
        worstMs <= 50);
    Q_UNUSED(allPagesOk);
    window.clearModuleList();
    Prompts::setHandler(nullptr);
    return 0;
}
