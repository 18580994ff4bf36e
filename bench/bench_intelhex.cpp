// Times the conversion of a 1 MiB Intel HEX file into the firmware image, beside objcopy doing
// the same conversion on the same file in the same run.
#include "firmwareheader.h"
#include "intelhex.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

struct Timing
{
    double best = 0;
    double median = 0;
};

Timing measure(int runs, const std::function<bool()> &once, bool &ok)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        if (!once())
            ok = false;
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return Timing { ms.front(), ms[ms.size() / 2] };
}

bool run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 9;

    const QString objcopy = QStandardPaths::findExecutable("objcopy");
    if (objcopy.isEmpty()) {
        std::fprintf(stderr, "objcopy not found (binutils)\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString bin = dir.filePath("random.bin");
    const QString hex = dir.filePath("random.hex");
    const QString back = dir.filePath("back.bin");

    QByteArray original(1024 * 1024, '\0');
    QRandomGenerator(20261210).fillRange(reinterpret_cast<quint32 *>(original.data()), original.size() / 4);
    {
        QFile f(bin);
        if (!f.open(QIODevice::WriteOnly) || f.write(original) != original.size())
            return 2;
    }
    if (!run(objcopy, { "-I", "binary", "-O", "ihex", bin, hex })) {
        std::fprintf(stderr, "objcopy could not make the HEX file\n");
        return 2;
    }

    bool ok = true;
    QByteArray image;
    const Timing ours = measure(
        runs,
        [&] {
            QFile f(hex);
            if (!f.open(QIODevice::ReadOnly))
                return false;
            const HexReadResult result = readIntelHex(f);
            image = result.image;
            return result.ok() && FirmwareHeader::fromImage(image).length == original.size();
        },
        ok);
    const Timing theirs = measure(
        runs,
        [&] {
            return run(objcopy, { "-I", "ihex", "-O", "binary", hex, back });
        },
        ok);

    ok = ok && image == original && readAll(back) == original;
    std::printf("Intel HEX to image, 1 MiB of random bytes (%lld bytes of HEX text), %d runs\n",
        static_cast<long long>(QFile(hex).size()), runs);
    std::printf("  %-34s best %8.2f ms   median %8.2f ms\n", "readIntelHex + FirmwareHeader", ours.best, ours.median);
    std::printf(
        "  %-34s best %8.2f ms   median %8.2f ms\n", "objcopy -I ihex -O binary (process)", theirs.best, theirs.median);
    std::printf("  images %s\n", ok ? "identical" : "DIFFER");
    return ok ? 0 : 1;
}
