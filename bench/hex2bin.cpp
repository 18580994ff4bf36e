// hex2bin IN.hex OUT.bin: the program's Intel HEX reader as a command, so that it can be timed
// as a whole process beside objcopy doing the same conversion.
#include "intelhex.h"

#include <QFile>
#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: hex2bin IN.hex OUT.bin\n");
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const HexReadResult result = readIntelHex(in);
    if (!result.ok()) {
        std::fprintf(stderr, "%s: bad HEX at line %d\n", argv[1], result.line);
        return 1;
    }
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(result.image) != result.image.size()
        || !out.flush()) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
