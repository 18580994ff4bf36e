// The curve window's plot under a long monitor run: 16 inputs recorded, 8 shown, one sample every
// 200 ms of simulated time, for 10 minutes and for one hour. Beside it a bare QCustomPlot with the
// 8 shown curves' points, its axes following the data as ours do. Figures: the plot's own replot
// time (median and worst of the replots of a run, a replot every 10 simulated seconds) and the
// resident memory a run adds.
#include "benchtools.h"
#include "multicurvesplot.h"

#include <QApplication>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {
const int recorded = 16;
const int shown = 8;
const double period = 0.2;
const int replotEvery = 50;
const double t0 = 1.7e9;

double residentMiB()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.value(1).toLongLong() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double sample(int curve, int i)
{
    return (i * (curve + 1)) % 256; // an input byte counting up at its own pace
}

struct Run
{
    double replotMedian = 0;
    double replotWorst = 0;
    double growthMiB = 0;
};

Run finish(std::vector<double> replots, double before)
{
    Run r;
    const Bench::Stats s = Bench::stats(replots);
    r.replotMedian = s.median;
    r.replotWorst = s.max;
    r.growthMiB = residentMiB() - before;
    return r;
}

Run runOurs(int samples)
{
    const double before = residentMiB();
    MultiCurvesPlot plot;
    plot.resize(1000, 600);
    QList<quint16> curves;
    for (int c = 0; c < shown; ++c)
        curves << quint16(c * 2);
    plot.showCurves(curves);
    std::vector<double> replots;
    for (int i = 0; i < samples; ++i) {
        const double t = t0 + i * period;
        for (int c = 0; c < recorded; ++c)
            plot.addData(c, t, sample(c, i));
        if (i % replotEvery == replotEvery - 1) {
            plot.replot();
            replots.push_back(plot.replotTime());
        }
    }
    return finish(replots, before);
}

Run runBare(int samples)
{
    const double before = residentMiB();
    QCustomPlot plot;
    plot.resize(1000, 600);
    plot.xAxis->setRange(t0, t0 + 100);
    for (int c = 0; c < shown; ++c) {
        QCPGraph *g = plot.addGraph();
        g->setLineStyle(QCPGraph::lsStepLeft);
    }
    std::vector<double> replots;
    for (int i = 0; i < samples; ++i) {
        const double t = t0 + i * period;
        for (int c = 0; c < shown; ++c) {
            const double value = sample(c * 2, i);
            plot.graph(c)->addData(t, value);
            // The value axis grows with the data as ours does; left at 0..5 it would draw next
            // to nothing and make a cheap reference.
            if (value > plot.yAxis->range().upper)
                plot.yAxis->setRange(plot.yAxis->range().lower, value + 100);
        }
        if (t > plot.xAxis->range().upper)
            plot.xAxis->setRange(plot.xAxis->range().lower, t + 10);
        if (i % replotEvery == replotEvery - 1) {
            plot.replot();
            replots.push_back(plot.replotTime());
        }
    }
    return finish(replots, before);
}

void scenario(const QString &name, int samples, int runs)
{
    Bench::Side ours { QStringLiteral("MultiCurvesPlot (16 recorded, 8 shown)"), {}, {} };
    Bench::Side bare { QStringLiteral("bare QCustomPlot (8 graphs)"), {}, {} };
    std::vector<double> oursWorst, bareWorst;
    Bench::interleave(
        runs,
        [&](int) {
            const Run r = runOurs(samples);
            ours.ms.push_back(r.replotMedian);
            ours.peakMiB.push_back(r.growthMiB);
            oursWorst.push_back(r.replotWorst);
            return true;
        },
        [&](int) {
            const Run r = runBare(samples);
            bare.ms.push_back(r.replotMedian);
            bare.peakMiB.push_back(r.growthMiB);
            bareWorst.push_back(r.replotWorst);
            return true;
        });
    const double ratio
        = Bench::report(name + QStringLiteral(": median replot per run (\"peak\" = memory added)"), ours, bare);
    const double worstOurs = *std::max_element(oursWorst.begin(), oursWorst.end());
    const double worstBare = *std::max_element(bareWorst.begin(), bareWorst.end());
    std::printf("  worst replot: ours %.2f ms, bare %.2f ms\n", worstOurs, worstBare);
    std::printf("  memory added: ours %.1f MiB, bare %.1f MiB (median of runs)\n", Bench::stats(ours.peakMiB).median,
        Bench::stats(bare.peakMiB).median);
    Bench::tableLine(QStringLiteral("curves %1 replot median").arg(name),
        QStringLiteral("%1 ms (bare %2 ms, %3x)")
            .arg(Bench::stats(ours.ms).median, 0, 'f', 2)
            .arg(Bench::stats(bare.ms).median, 0, 'f', 2)
            .arg(ratio, 0, 'f', 2),
        QStringLiteral("<= 1.2x the bare plot"), ratio <= 1.2);
}
}

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? qMax(1, atoi(argv[1])) : 3;
    scenario(QStringLiteral("10 min"), int(600 / period), runs);
    scenario(QStringLiteral("1 hour"), int(3600 / period), runs);
    return 0;
}
