// Opening a project of 100 couplers with 16 sub-modules each in the main window, with the event
// loop running: read, delete the modules shown before, build modules and pages, show, paint.
// Interleaved with a reference that reads the same file from disk into a QDomDocument. Peak
// memory comes from separate processes: the window opening the project once, and the window
// alone.
#include "benchconfirm.h"
#include "benchtools.h"
#include "builtinpages.h"
#include "familymap.h"
#include "iolinkparamframe_ctrl.h"
#include "mainwindow.h"
#include "menubase.h"
#include "module.h"
#include "projectfile.h"
#include "projectmodules.h"
#include "prompts.h"
#include "resourceinit.h"
#include "sublistmap.h"
#include "submodule.h"

#include <QApplication>
#include <QDialog>
#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <unistd.h>

namespace {

struct TypeCost
{
    QString name;
    double buildMs = 0;
    double buildKiB = 0;
    double deleteMs = 0;
    double deleteKiB = 0; // heap given back per sub-module
    double showMs = 0; // building all its pages, as showing each would
    double showKiB = 0;
};

// Builds and deletes batches of one sub-module type in a coupler, with the event loop given
// its turn after each step as in the program; figures per sub-module, median of the rounds.
TypeCost measureType(const QString &name, const QString &family, int rounds, int batch)
{
    std::vector<double> build, buildKiB, del, delKiB, show, showKiB;
    for (int r = 0; r < rounds + 1; ++r) {
        auto *coupler = new module(QStringLiteral("RVE-C100"), QStringLiteral("RVE"));
        QCoreApplication::processEvents();
        const qint64 heap0 = Bench::heapBytes();
        const qint64 t0 = Bench::nowNs();
        for (int i = 0; i < batch; ++i)
            coupler->addSubmodule(name, family, i + 1);
        QCoreApplication::processEvents();
        const qint64 t1 = Bench::nowNs();
        const qint64 heap1 = Bench::heapBytes();
        const QList<submodule *> subs = coupler->submodules;
        // Half of each batch also has its pages built, as the user showing them would.
        const int shownCount = batch / 2;
        const qint64 ts0 = Bench::nowNs();
        for (int i = 0; i < shownCount; ++i) {
            for (menubase *page : qAsConst(subs.at(i)->pageList))
                page->ensureBuilt();
        }
        QCoreApplication::processEvents();
        const qint64 ts1 = Bench::nowNs();
        const qint64 heapShown = Bench::heapBytes();
        const qint64 td0 = Bench::nowNs();
        for (submodule *sub : subs)
            delete sub;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        const qint64 t2 = Bench::nowNs();
        const qint64 heap2 = Bench::heapBytes();
        Q_UNUSED(td0);
        delete coupler;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (r == 0)
            continue; // warm-up: descriptions read and cached, styles loaded
        build.push_back((t1 - t0) / 1e6 / batch);
        buildKiB.push_back((heap1 - heap0) / 1024.0 / batch);
        show.push_back((ts1 - ts0) / 1e6 / shownCount);
        showKiB.push_back((heapShown - heap1) / 1024.0 / shownCount);
        del.push_back((t2 - td0) / 1e6 / batch);
        delKiB.push_back((heapShown - heap2) / 1024.0 / batch);
    }
    TypeCost c;
    c.name = name;
    c.buildMs = Bench::stats(build).median;
    c.buildKiB = Bench::stats(buildKiB).median;
    c.deleteMs = Bench::stats(del).median;
    c.deleteKiB = Bench::stats(delKiB).median;
    c.showMs = Bench::stats(show).median;
    c.showKiB = Bench::stats(showKiB).median;
    return c;
}

// One IO-Link port's parameter table (20 rows of editors and a button), built as its page
// builds it, and then also shown; ms and KiB per table.
void measureParamTable(bool show, double *msOut, double *kibOut)
{
    std::vector<double> kib, ms;
    // The frames are children of one shown window, as in the program, so no frame pays for a
    // window's backing store of its own.
    QWidget window;
    window.resize(900, 700);
    window.show();
    QCoreApplication::processEvents();
    for (int r = 0; r < 6; ++r) {
        QList<IoLinkParamFrame_Ctrl *> frames;
        const qint64 heap0 = Bench::heapBytes();
        const qint64 t0 = Bench::nowNs();
        for (int i = 0; i < 10; ++i) {
            auto *frame = new IoLinkParamFrame_Ctrl(&window);
            frame->retranslate(0);
            frame->setGeometry(0, 0, 900, 700);
            if (show)
                frame->show();
            frames << frame;
        }
        QCoreApplication::processEvents();
        const qint64 t1 = Bench::nowNs();
        const qint64 heap1 = Bench::heapBytes();
        qDeleteAll(frames);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (r == 0)
            continue;
        ms.push_back((t1 - t0) / 1e6 / 10);
        kib.push_back((heap1 - heap0) / 1024.0 / 10);
    }
    *msOut = Bench::stats(ms).median;
    *kibOut = Bench::stats(kib).median;
}

void measureParamTables()
{
    double builtMs = 0, builtKiB = 0, shownMs = 0, shownKiB = 0;
    measureParamTable(false, &builtMs, &builtKiB);
    measureParamTable(true, &shownMs, &shownKiB);
    std::printf("IO-Link parameter table of one port (median of 5 x 10): built %.2f ms %.1f KiB, built and shown "
                "%.2f ms %.1f KiB\n\n",
        builtMs, builtKiB, shownMs, shownKiB);
    Bench::tableLine(QStringLiteral("IO-Link parameter table, one port"),
        QStringLiteral("built %1 KiB %2 ms, shown %3 KiB")
            .arg(builtKiB, 0, 'f', 0)
            .arg(builtMs, 0, 'f', 1)
            .arg(shownKiB, 0, 'f', 0),
        QStringLiteral("built < 400 KiB"), builtKiB < 400);
}

void measureSubmoduleTypes()
{
    FamilyMap families;
    SublistMap types;
    if (!families.read() || !types.read()) {
        std::fprintf(stderr, "no description set beside the program\n");
        return;
    }
    std::printf("Sub-module types: build in a coupler 30 at a time, build the pages of 15 of them, delete all 30; "
                "5 rounds after a warm-up, per sub-module (median), heap from mallinfo2 (delete: half shown)\n");
    QList<TypeCost> costs;
    for (const QString &name : qAsConst(types)) {
        if (!families.contains(name))
            continue;
        const TypeCost c = measureType(name, families.value(name), 5, 30);
        std::printf("  %-10s build %7.3f ms %8.1f KiB   pages shown %7.3f ms %8.1f KiB   delete %7.3f ms %8.1f KiB "
                    "back\n",
            qPrintable(c.name), c.buildMs, c.buildKiB, c.showMs, c.showKiB, c.deleteMs, c.deleteKiB);
        costs << c;
    }
    std::printf("\n");
    for (const TypeCost &c : qAsConst(costs)) {
        Bench::tableLine(QStringLiteral("sub-module %1 build / delete").arg(c.name),
            QStringLiteral("%1 ms %2 KiB / %3 ms %4 KiB (shown %5 ms %6 KiB)")
                .arg(c.buildMs, 0, 'f', 2)
                .arg(c.buildKiB, 0, 'f', 0)
                .arg(c.deleteMs, 0, 'f', 2)
                .arg(c.deleteKiB, 0, 'f', 0)
                .arg(c.showMs, 0, 'f', 1)
                .arg(c.showKiB, 0, 'f', 0),
            QStringLiteral("build <= 2 ms, <= 200 KiB"), c.buildMs <= 2 && c.buildKiB <= 200);
    }
}

bool writeProject(const QString &path, int couplers = 100)
{
    FamilyMap families;
    if (!families.read())
        return false;
    const QStringList slotTypes { "RV-DI16", "RV-DO16", "RV-AI4", "RV-AO4", "RV-IOL4", "RV-WT2" };
    QList<module *> modules;
    for (int i = 0; i < couplers; ++i) {
        ProjectFile::ModuleRecord r;
        r.name = QStringLiteral("RVE-C100");
        r.mac = QString("00:11:22:33:%1:%2").arg(i / 256, 2, 16, QChar('0')).arg(i % 256, 2, 16, QChar('0'));
        r.ip = QString("192.168.%1.%2").arg(i / 200).arg(i % 200 + 1);
        r.mask = "255.255.255.0";
        r.gateway = "192.168.0.1";
        r.inlen = "0";
        r.outlen = "0";
        r.Paralen = "0";
        r.softwareVer = "V1.0";
        r.backbusVer = "V1.0";
        r.subnum = 16;
        for (int s = 0; s < 16; ++s)
            r.submodules.append({ slotTypes.at(s % slotTypes.size()), QString::number(s + 1), "V1.0" });
        module *m = ProjectModules::buildModule(r, families);
        if (!m)
            return false;
        modules.append(m);
    }
    const QString info = ProjectFile::fileInfoXml(
        "bench", ProjectFile::saveTimeText(QDateTime::currentDateTime()), "100 couplers, 16 slots each");
    QString error;
    const bool ok
        = ProjectFile::writeFile(path, ProjectFile::documentXml(info, ProjectModules::modulesXml(modules)), &error);
    qDeleteAll(modules);
    return ok;
}

// Runs the steps one after the other from the event loop, each as its own posted event, so
// that what a step posts (deferred deletes, layouts, paints) is handled before the next.
class Steps : public QObject
{
public:
    QList<std::function<void()>> steps;
    void start() { next(); }

private:
    void next()
    {
        if (steps.isEmpty()) {
            QCoreApplication::quit();
            return;
        }
        const std::function<void()> step = steps.takeFirst();
        step();
        QMetaObject::invokeMethod(
            this, [this] { next(); }, Qt::QueuedConnection);
    }
};

int peakChild(const QString &mode, const QString &path)
{
    Bench::Confirm confirm;
    Prompts::setHandler(&confirm);
    MainWindow window;
    window.show();
    Steps steps;
    if (mode != QLatin1String("--peak-window"))
        steps.steps << [&] { window.loadProjectFile(path); };
    // For a profiler: --open-clear FILE also deletes what it opened.
    if (mode == QLatin1String("--open-clear"))
        steps.steps << [&] { window.repaint(); } << [&] { window.clearModuleList(); };
    steps.steps << [&] { window.repaint(); } << [&] {
        std::printf("%d\n", int(window.moduleList.size()));
        std::fflush(stdout);
        _exit(0);
    };
    QTimer::singleShot(0, &steps, [&] { steps.start(); });
    return QApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    rivudoInitResources();
    registerBuiltinPages();
    // --write FILE leaves the project for a profiler run of --peak-open FILE.
    if (argc >= 3 && qstrcmp(argv[1], "--write") == 0)
        return writeProject(QString::fromLocal8Bit(argv[2]), argc > 3 ? atoi(argv[3]) : 100) ? 0 : 1;
    if (argc == 3)
        return peakChild(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;

    QTemporaryDir dir;
    const QString path = dir.filePath("bench.kdxml");
    // Half the project: a cost linear in modules takes half the time.
    const QString halfPath = dir.filePath("half.kdxml");
    if (!writeProject(path) || !writeProject(halfPath, 50)) {
        std::fprintf(stderr, "no description set beside the program, or the project could not be written\n");
        return 1;
    }

    Bench::Confirm confirm;
    Prompts::setHandler(&confirm);
    MainWindow window;
    window.show();

    Bench::Side open { QStringLiteral("open replacing the shown project"), {}, {} };
    Bench::Side clear { QStringLiteral("of which: delete the shown modules"), {}, {} };
    Bench::Side dom { QStringLiteral("read file + QDomDocument (reference)"), {}, {} };
    Bench::Side openHalf { QStringLiteral("open 50 couplers replacing 50"), {}, {} };
    Bench::Side clearHalf { QStringLiteral("of which: delete the shown modules"), {}, {} };
    qint64 t0 = 0;
    int modules = 0;
    int elements = 0;
    Steps steps;
    // The first open fills the window; every timed open then replaces a full project.
    steps.steps << [&] { window.loadProjectFile(path); };
    for (int i = 0; i < runs; ++i) {
        auto openStep = [&] {
            steps.steps.prepend([&] {
                window.repaint();
                open.ms.push_back((Bench::nowNs() - t0) / 1e6);
                modules = window.moduleList.size();
            });
            t0 = Bench::nowNs();
            window.loadProjectFile(path);
        };
        auto domStep = [&] {
            const qint64 start = Bench::nowNs();
            QFile f(path);
            QDomDocument doc;
            if (f.open(QIODevice::ReadOnly) && doc.setContent(&f))
                elements = doc.elementsByTagName(QStringLiteral("module")).size();
            dom.ms.push_back((Bench::nowNs() - start) / 1e6);
        };
        auto clearStep = [&] {
            steps.steps.prepend([&] {
                window.repaint();
                clear.ms.push_back((Bench::nowNs() - t0) / 1e6);
            });
            t0 = Bench::nowNs();
            window.clearModuleList();
        };
        // Alternate which goes first; the clear is followed by an untimed open to refill.
        if (i % 2 == 0)
            steps.steps << openStep << domStep;
        else
            steps.steps << domStep << openStep;
        steps.steps << clearStep << [&] { window.loadProjectFile(path); };
        // The same with half the project.
        auto openHalfStep = [&] {
            steps.steps.prepend([&] {
                window.repaint();
                openHalf.ms.push_back((Bench::nowNs() - t0) / 1e6);
            });
            t0 = Bench::nowNs();
            window.loadProjectFile(halfPath);
        };
        auto clearHalfStep = [&] {
            steps.steps.prepend([&] {
                window.repaint();
                clearHalf.ms.push_back((Bench::nowNs() - t0) / 1e6);
            });
            t0 = Bench::nowNs();
            window.clearModuleList();
        };
        steps.steps << [&] { window.loadProjectFile(halfPath); } << openHalfStep << clearHalfStep
                    << [&] { window.loadProjectFile(path); };
    }
    QTimer::singleShot(0, &steps, [&] { steps.start(); });
    QApplication::exec();

    const double ratio = Bench::report(
        QStringLiteral("Open a project of 100 couplers x 16 sub-modules (%1 bytes, %2 modules shown, reference "
                       "sees %3 module elements), in-process, event loop running")
            .arg(QFile(path).size())
            .arg(modules)
            .arg(elements),
        open, dom);
    Q_UNUSED(ratio);
    Bench::reportOne(QStringLiteral("Deleting a shown project's modules (clearModuleList, then paint)"), clear);
    Bench::report(
        QStringLiteral("Open: 100 couplers replacing 100 beside 50 replacing 50 (linear: 2x)"), open, openHalf);
    Bench::report(QStringLiteral("Delete: 100 couplers beside 50 (linear: 2x)"), clear, clearHalf);

    // Peak memory, each in a process of its own.
    const QString self = QCoreApplication::applicationFilePath();
    Bench::Side withProject { QStringLiteral("window + project opened"), {}, {} };
    Bench::Side windowOnly { QStringLiteral("window alone"), {}, {} };
    Bench::interleave(
        3,
        [&](int) {
            const Bench::ChildRun r = Bench::runChild({ self, "--peak-open", path });
            withProject.ms.push_back(r.ms);
            withProject.peakMiB.push_back(r.peakMiB);
            return r.ok && r.out.trimmed() == "100";
        },
        [&](int) {
            const Bench::ChildRun r = Bench::runChild({ self, "--peak-window", path });
            windowOnly.ms.push_back(r.ms);
            windowOnly.peakMiB.push_back(r.peakMiB);
            return r.ok;
        });
    Bench::report(
        QStringLiteral("Peak memory, whole process (process times include start-up)"), withProject, windowOnly);

    const double openMs = Bench::stats(open.ms).median;
    Bench::tableLine(QStringLiteral("open 100 couplers x 16 sub-modules"),
        QStringLiteral("%1 ms").arg(openMs, 0, 'f', 0), QStringLiteral("<= 1000 ms"), openMs <= 1000 && modules == 100);
    const double clearMs = Bench::stats(clear.ms).median;
    const double deleteGrowth = clearMs / std::max(0.001, Bench::stats(clearHalf.ms).median);
    const double openGrowth = openMs / std::max(0.001, Bench::stats(openHalf.ms).median);
    Bench::tableLine(QStringLiteral("open / delete growth, 100 vs 50 couplers"),
        QStringLiteral("%1x / %2x").arg(openGrowth, 0, 'f', 2).arg(deleteGrowth, 0, 'f', 2),
        QStringLiteral("<= 2.5x (linear 2x, square 4x)"), openGrowth <= 2.5 && deleteGrowth <= 2.5);
    Bench::tableLine(QStringLiteral("delete that project's modules"), QStringLiteral("%1 ms").arg(clearMs, 0, 'f', 0),
        QStringLiteral("<= 200 ms"), clearMs <= 200);
    const double peak = Bench::stats(withProject.peakMiB).median;
    Bench::tableLine(QStringLiteral("peak memory for that project"),
        QStringLiteral("%1 MiB (window alone %2 MiB)")
            .arg(peak, 0, 'f', 1)
            .arg(Bench::stats(windowOnly.peakMiB).median, 0, 'f', 1),
        QStringLiteral("<= 150 MiB"), peak <= 150);
    measureSubmoduleTypes();
    measureParamTables();
    Prompts::setHandler(nullptr);
    return 0;
}
