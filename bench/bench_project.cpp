// Saves and opens a project of 100 couplers with 16 sub-modules each, built over the example
// description families beside the program, and times both beside a bare QDomDocument parse of
// the same file. Prints the peak memory after each step.
#include "familymap.h"
#include "module.h"
#include "projectfile.h"
#include "projectmodules.h"

#include <QApplication>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <vector>

namespace {

double peakMiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// Best and median of runs, in milliseconds.
QPair<double, double> measure(int runs, const std::function<void()> &once)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        once();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return { ms.front(), ms[ms.size() / 2] };
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;

    FamilyMap families;
    if (!families.read()) {
        std::fprintf(stderr, "no description set beside the program\n");
        return 1;
    }
    const QString coupler = "RVE-C100";
    const QStringList slotTypes { "RV-DI16", "RV-DO16", "RV-AI4", "RV-AO4", "RV-IOL4", "RV-WT2" };
    QList<ProjectFile::ModuleRecord> records;
    for (int i = 0; i < 100; ++i) {
        ProjectFile::ModuleRecord r;
        r.name = coupler;
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
        r.hasParameters = false;
        records.append(r);
    }
    const double startPeak = peakMiB();

    QList<module *> modules;
    for (const ProjectFile::ModuleRecord &r : qAsConst(records)) {
        module *m = ProjectModules::buildModule(r, families);
        if (!m) {
            std::fprintf(stderr, "type %s or a slot type is not in the description set\n", qPrintable(r.name));
            return 1;
        }
        modules.append(m);
    }
    const double builtPeak = peakMiB();

    QTemporaryDir dir;
    const QString path = dir.filePath("bench.kdxml");
    QString saveError;
    const auto save = measure(runs, [&] {
        const QString info = ProjectFile::fileInfoXml("bench", ProjectFile::saveTimeText(QDateTime::currentDateTime()),
                                                      "100 couplers, 16 slots each");
        if (!ProjectFile::writeFile(path, ProjectFile::documentXml(info, ProjectModules::modulesXml(modules)),
                                    &saveError))
            std::fprintf(stderr, "save failed: %s\n", qPrintable(saveError));
    });
    const double savePeak = peakMiB();
    qDeleteAll(modules);
    modules.clear();

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray bytes = file.readAll();
    file.close();

    int opened = 0;
    const auto read = measure(runs, [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        const ProjectFile::ReadResult r = ProjectFile::read(f.readAll());
        opened = 0;
        for (const ProjectFile::Section &s : r.sections)
            opened += s.modules.size();
    });
    const auto open = measure(runs, [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        const ProjectFile::ReadResult r = ProjectFile::read(f.readAll());
        QList<module *> built;
        for (const ProjectFile::Section &s : r.sections)
            for (const ProjectFile::ModuleRecord &m : s.modules)
                built.append(ProjectModules::buildModule(m, families));
        qDeleteAll(built);
    });
    const double openPeak = peakMiB();
    const auto dom = measure(runs, [&] {
        QDomDocument doc;
        doc.setContent(bytes);
    });

    std::printf("project: %d couplers x 16 sub-modules, file %lld bytes, %d modules read back\n", int(records.size()),
                static_cast<long long>(bytes.size()), opened);
    std::printf("%-44s best %9.2f ms  median %9.2f ms\n", "save (gather + write through QSaveFile)", save.first,
                save.second);
    std::printf("%-44s best %9.2f ms  median %9.2f ms\n", "read file into records", read.first, read.second);
    std::printf("%-44s best %9.2f ms  median %9.2f ms\n", "open (read + build modules and pages)", open.first,
                open.second);
    std::printf("%-44s best %9.2f ms  median %9.2f ms\n", "bare QDomDocument::setContent", dom.first, dom.second);
    std::printf("peak RSS: start %.1f MiB, modules built %.1f MiB, after save %.1f MiB, after open %.1f MiB\n",
                startPeak, builtPeak, savePeak, openPeak);
    return 0;
}
