// Opening a project of 100 couplers with 16 sub-modules each in the main window, with the event
// loop running: read, delete the modules shown before, build modules and pages, show, paint.
// Interleaved with a reference that reads the same file from disk into a QDomDocument. Peak
// memory comes from separate processes: the window opening the project once, and the window
// alone.
#include "benchtools.h"
#include "familymap.h"
#include "mainwindow.h"
#include "module.h"
#include "projectfile.h"
#include "projectmodules.h"
#include "prompts.h"
#include "resourceinit.h"

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

// Confirms every question, as a user opening the file would.
class Confirm : public Prompts::Handler
{
public:
    QMessageBox::StandardButton message(QWidget *, QMessageBox::Icon, const QString &, const QString &,
        QMessageBox::StandardButtons, QMessageBox::StandardButton) override
    {
        return QMessageBox::Ok;
    }
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    QString existingDirectory(QWidget *, const QString &, const QString &) override { return {}; }
    int exec(QDialog *) override { return QDialog::Accepted; }
};

bool writeProject(const QString &path)
{
    FamilyMap families;
    if (!families.read())
        return false;
    const QStringList slotTypes { "RV-DI16", "RV-DO16", "RV-AI4", "RV-AO4", "RV-IOL4", "RV-WT2" };
    QList<module *> modules;
    for (int i = 0; i < 100; ++i) {
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
    Confirm confirm;
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
    // --write FILE leaves the project for a profiler run of --peak-open FILE.
    if (argc == 3 && qstrcmp(argv[1], "--write") == 0)
        return writeProject(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    if (argc == 3)
        return peakChild(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;

    QTemporaryDir dir;
    const QString path = dir.filePath("bench.kdxml");
    if (!writeProject(path)) {
        std::fprintf(stderr, "no description set beside the program, or the project could not be written\n");
        return 1;
    }

    Confirm confirm;
    Prompts::setHandler(&confirm);
    MainWindow window;
    window.show();

    Bench::Side open { QStringLiteral("open replacing the shown project"), {}, {} };
    Bench::Side clear { QStringLiteral("of which: delete the shown modules"), {}, {} };
    Bench::Side dom { QStringLiteral("read file + QDomDocument (reference)"), {}, {} };
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
        QStringLiteral("%1 ms, of which %2 ms deleting")
            .arg(openMs, 0, 'f', 0)
            .arg(Bench::stats(clear.ms).median, 0, 'f', 0),
        QStringLiteral("<= 250 ms"), openMs <= 250 && modules == 100);
    const double peak = Bench::stats(withProject.peakMiB).median;
    Bench::tableLine(QStringLiteral("peak memory for that project"),
        QStringLiteral("%1 MiB (window alone %2 MiB)")
            .arg(peak, 0, 'f', 1)
            .arg(Bench::stats(windowOnly.peakMiB).median, 0, 'f', 1),
        QStringLiteral("<= 60 MiB"), peak <= 60);
    Prompts::setHandler(nullptr);
    return 0;
}
