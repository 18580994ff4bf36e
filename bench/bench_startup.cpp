// Start-up, whole process on both sides: exec to the first paint of the main window, the
// program (its own main) beside a bare QMainWindow program, offscreen, runs interleaved.
#include "benchtools.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

namespace {

bool runOnce(Bench::Side &side, const QString &program)
{
    const Bench::ChildRun r = Bench::runChild({ program }, QCoreApplication::applicationDirPath().toLocal8Bit());
    bool ok = false;
    const qint64 paintNs = r.out.trimmed().toLongLong(&ok);
    if (!ok || !r.ok)
        return false;
    side.ms.push_back((paintNs - r.startNs) / 1e6);
    side.peakMiB.push_back(r.peakMiB);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 11;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString dir = QCoreApplication::applicationDirPath();
    Bench::Side ours { QStringLiteral("DE_Rivudo main window"), {}, {} };
    Bench::Side bare { QStringLiteral("bare QMainWindow program"), {}, {} };
    Bench::interleave(
        runs, [&](int) { return runOnce(ours, dir + QStringLiteral("/startup_app")); },
        [&](int) { return runOnce(bare, dir + QStringLiteral("/startup_bare")); });
    const double ratio
        = Bench::report(QStringLiteral("Start-up: exec to first paint of the main window, offscreen"), ours, bare);
    Bench::tableLine(QStringLiteral("start-up, exec to first paint"),
        QStringLiteral("%1x bare (%2 vs %3 ms)")
            .arg(ratio, 0, 'f', 2)
            .arg(Bench::stats(ours.ms).median, 0, 'f', 1)
            .arg(Bench::stats(bare.ms).median, 0, 'f', 1),
        QStringLiteral("<= 1.5x"), ratio <= 1.5);
    return 0;
}
