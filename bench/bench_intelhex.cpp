// Intel HEX to a binary file, whole process on both sides: our reader as the hex2bin command
// beside objcopy, on the same HEX file, each writing its binary file, runs interleaved. Each
// side's peak memory is its own process's.
#include "benchtools.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool figure(const QString &objcopy, const QString &hex2bin, const QString &dirPath, int mib, int runs)
{
    const QString bin = dirPath + QStringLiteral("/random%1.bin").arg(mib);
    const QString hex = dirPath + QStringLiteral("/random%1.hex").arg(mib);
    const QString ours = dirPath + QStringLiteral("/ours%1.bin").arg(mib);
    const QString theirs = dirPath + QStringLiteral("/theirs%1.bin").arg(mib);

    QByteArray original(mib * 1024 * 1024, '\0');
    QRandomGenerator(20261210 + mib).fillRange(reinterpret_cast<quint32 *>(original.data()), original.size() / 4);
    {
        QFile f(bin);
        if (!f.open(QIODevice::WriteOnly) || f.write(original) != original.size())
            return false;
    }
    if (!Bench::runChild({ objcopy, "-I", "binary", "-O", "ihex", bin, hex }).ok) {
        std::fprintf(stderr, "objcopy could not make the HEX file\n");
        return false;
    }

    Bench::Side a { QStringLiteral("hex2bin (readIntelHex, file written)"), {}, {} };
    Bench::Side b { QStringLiteral("objcopy -I ihex -O binary"), {}, {} };
    auto side = [](Bench::Side &s, const QStringList &argv) {
        return [&s, argv](int) {
            const Bench::ChildRun r = Bench::runChild(argv);
            s.ms.push_back(r.ms);
            s.peakMiB.push_back(r.peakMiB);
            return r.ok;
        };
    };
    Bench::interleave(
        runs, side(a, { hex2bin, hex, ours }), side(b, { objcopy, "-I", "ihex", "-O", "binary", hex, theirs }));
    const bool same = readAll(ours) == original && readAll(theirs) == original;
    const double ratio
        = Bench::report(QStringLiteral("Intel HEX -> binary file, %1 MiB of random bytes (%2 bytes of HEX), "
                                       "whole process each")
                            .arg(mib)
                            .arg(QFile(hex).size()),
            a, b);
    std::printf("  outputs %s\n", same ? "identical to the original" : "DIFFER");
    Bench::tableLine(QStringLiteral("Intel HEX -> binary, %1 MiB").arg(mib),
        QStringLiteral("%1x objcopy, peak %2 vs %3 MiB")
            .arg(ratio, 0, 'f', 2)
            .arg(Bench::stats(a.peakMiB).median, 0, 'f', 1)
            .arg(Bench::stats(b.peakMiB).median, 0, 'f', 1),
        mib > 1 ? QStringLiteral("<= 1.0x, peak <= 24 MiB") : QStringLiteral("<= 1.0x"),
        same && ratio <= 1.0 && (mib == 1 || Bench::stats(a.peakMiB).median <= 24));
    QFile::remove(bin);
    QFile::remove(hex);
    return same;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 11;
    const QString objcopy = QStandardPaths::findExecutable(QStringLiteral("objcopy"));
    const QString hex2bin = QCoreApplication::applicationDirPath() + QStringLiteral("/hex2bin");
    if (objcopy.isEmpty() || !QFile::exists(hex2bin)) {
        std::fprintf(stderr, "objcopy (binutils) or hex2bin missing\n");
        return 2;
    }
    QTemporaryDir dir;
    bool ok = figure(objcopy, hex2bin, dir.path(), 1, runs);
    ok = figure(objcopy, hex2bin, dir.path(), 16, std::max(3, runs / 2)) && ok;
    return ok ? 0 : 1;
}
