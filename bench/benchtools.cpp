#include "benchtools.h"

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace Bench {

Stats stats(std::vector<double> values)
{
    Stats s;
    if (values.empty())
        return s;
    std::sort(values.begin(), values.end());
    s.min = values.front();
    s.max = values.back();
    const size_t n = values.size();
    s.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return s;
}

qint64 nowNs()
{
    timespec ts {};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

ChildRun runChild(const QStringList &argv, const QByteArray &workDir)
{
    ChildRun run;
    // The child is started by the small benchspawn program beside us, which reports its
    // times and peak on descriptor 3.
    std::vector<QByteArray> storage {
        (QCoreApplication::applicationDirPath() + QStringLiteral("/benchspawn")).toLocal8Bit()
    };
    for (const QString &a : argv)
        storage.push_back(a.toLocal8Bit());
    std::vector<char *> args;
    for (QByteArray &a : storage)
        args.push_back(a.data());
    args.push_back(nullptr);
    const bool verbose = qEnvironmentVariableIsSet("BENCH_VERBOSE");

    int outFd[2];
    int statusFd[2];
    if (pipe2(outFd, O_CLOEXEC) != 0)
        return run;
    if (pipe2(statusFd, O_CLOEXEC) != 0) {
        close(outFd[0]);
        close(outFd[1]);
        return run;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outFd[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, statusFd[1], 3);
    if (!verbose)
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    if (!workDir.isEmpty())
        posix_spawn_file_actions_addchdir_np(&actions, workDir.constData());
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(outFd[1]);
    close(statusFd[1]);
    if (failed) {
        close(outFd[0]);
        close(statusFd[0]);
        return run;
    }
    auto drain = [](int fd) {
        QByteArray bytes;
        char buffer[4096];
        for (;;) {
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n > 0)
                bytes.append(buffer, int(n));
            else if (n == 0 || errno != EINTR)
                break;
        }
        close(fd);
        return bytes;
    };
    run.out = drain(outFd[0]);
    const QList<QByteArray> status = drain(statusFd[0]).trimmed().split(' ');
    int spawnStatus = 0;
    while (waitpid(pid, &spawnStatus, 0) < 0 && errno == EINTR) { }
    if (status.size() != 4)
        return run;
    run.startNs = status.at(0).toLongLong();
    run.ms = (status.at(1).toLongLong() - run.startNs) / 1e6;
    run.peakMiB = status.at(2).toLongLong() / 1024.0;
    run.ok = status.at(3).toInt() == 0;
    return run;
}

double selfPeakMiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void interleave(int runs, const std::function<bool(int)> &ours, const std::function<bool(int)> &theirs)
{
    for (int i = 0; i < runs; ++i) {
        // Alternating which side goes first keeps warm caches from favouring one of them.
        const bool oursFirst = i % 2 == 0;
        if (!(oursFirst ? ours(i) : theirs(i)) || !(oursFirst ? theirs(i) : ours(i))) {
            std::fprintf(stderr, "a run failed\n");
            std::exit(1);
        }
    }
}

bool busy(const Stats &s)
{
    return s.min > 0 && (s.max / s.min > 1.5 || s.median / s.min > 1.2);
}

namespace {

    void printSide(const Side &side)
    {
        const Stats t = stats(side.ms);
        std::printf("  %-36s min %9.2f  med %9.2f  max %9.2f ms", qPrintable(side.label), t.min, t.median, t.max);
        if (!side.peakMiB.empty()) {
            const Stats p = stats(side.peakMiB);
            std::printf("   peak %6.1f MiB", p.median);
        }
        std::printf("\n");
    }

    void warnIfBusy(const Side &side)
    {
        if (busy(stats(side.ms))) {
            QFile load(QStringLiteral("/proc/loadavg"));
            QByteArray text;
            if (load.open(QIODevice::ReadOnly))
                text = load.readAll().trimmed();
            std::printf("  WARNING: %s spreads widely (max/min %.2f): the machine looks busy (load %s); "
                        "compare medians with care\n",
                qPrintable(side.label), stats(side.ms).max / stats(side.ms).min, text.constData());
        }
    }

} // namespace

double report(const QString &title, const Side &ours, const Side &theirs)
{
    std::printf("%s, %d runs each, interleaved\n", qPrintable(title), int(ours.ms.size()));
    printSide(ours);
    printSide(theirs);
    const Stats a = stats(ours.ms);
    const Stats b = stats(theirs.ms);
    const double ratio = b.median > 0 ? a.median / b.median : 0;
    std::printf("  ratio ours/theirs: median %.2fx  min %.2fx  max %.2fx", ratio, b.min > 0 ? a.min / b.min : 0,
        b.max > 0 ? a.max / b.max : 0);
    if (!ours.peakMiB.empty() && !theirs.peakMiB.empty())
        std::printf("   peak %.2fx", stats(ours.peakMiB).median / stats(theirs.peakMiB).median);
    std::printf("\n");
    warnIfBusy(ours);
    warnIfBusy(theirs);
    std::fflush(stdout);
    return ratio;
}

void reportOne(const QString &title, const Side &side)
{
    std::printf("%s, %d runs\n", qPrintable(title), int(side.ms.size()));
    printSide(side);
    warnIfBusy(side);
    std::fflush(stdout);
}

void tableLine(const QString &figure, const QString &value, const QString &goal, bool met)
{
    std::printf(
        "TABLE|%s|%s|%s|%s\n", qPrintable(figure), qPrintable(value), qPrintable(goal), met ? "met" : "NOT met");
    std::fflush(stdout);
}

qint64 heapBytes()
{
    const struct mallinfo2 m = mallinfo2();
    return qint64(m.uordblks) + qint64(m.hblkhd);
}

} // namespace Bench
