#ifndef BENCHTOOLS_H
#define BENCHTOOLS_H

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// What every benchmark shares: whole-process runs with their own peak memory, interleaved
// sides, minimum/median/maximum and a warning when the spread says the machine was busy.
namespace Bench {

struct Stats
{
    double min = 0;
    double median = 0;
    double max = 0;
};

Stats stats(std::vector<double> values);

// Monotonic clock in nanoseconds, comparable between processes.
qint64 nowNs();

struct ChildRun
{
    bool ok = false;
    double ms = 0; // from just before the child is started to its exit
    double peakMiB = 0; // the child's own peak resident size (wait4)
    QByteArray out; // its standard output
    qint64 startNs = 0; // nowNs() just before the child is started
};

// Runs argv[0] (a path, or a name found on PATH) with its arguments as a child process; the
// child's standard error is dropped unless BENCH_VERBOSE is set.
ChildRun runChild(const QStringList &argv, const QByteArray &workDir = QByteArray());

// Peak resident size of this process so far.
double selfPeakMiB();
// Bytes the heap holds now.
qint64 heapBytes();

// One side of a figure.
struct Side
{
    QString label;
    std::vector<double> ms;
    std::vector<double> peakMiB;
};

// Runs the two sides alternately, `runs` times each, starting with a different side each round.
void interleave(int runs, const std::function<bool(int round)> &ours, const std::function<bool(int round)> &theirs);

// Prints the two sides, their ratio and a warning when either spread is wide. Returns the
// ratio of the medians (ours / theirs).
double report(const QString &title, const Side &ours, const Side &theirs);
// One side alone, for figures measured against a fixed goal.
void reportOne(const QString &title, const Side &side);

// A summary line that scripts/bench.sh gathers into the closing table.
void tableLine(const QString &figure, const QString &value, const QString &goal, bool met);

// True when a spread (max over min, or median over min) says the runs were disturbed.
bool busy(const Stats &s);

} // namespace Bench

#endif
