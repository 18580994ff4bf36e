// hex2bin IN.hex OUT.bin: the program's Intel HEX reader as a command, so that it can be timed
// as a whole process beside objcopy doing the same conversion.
#include "intelhex.h"

#include <QFile>
#include <cstdio>
#include <fcntl.h>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: hex2bin IN.hex OUT.bin\n");
        return 2;
    }
    // The files are opened by descriptor: a converter has no use for the locale's text codec,
    // which would load the ICU tables for the names alone.
    QFile in;
    const int inFd = ::open(argv[1], O_RDONLY | O_CLOEXEC);
    if (inFd < 0 || !in.open(inFd, QIODevice::ReadOnly, QFile::AutoCloseHandle)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const HexReadResult result = readIntelHex(in);
    if (!result.ok()) {
        std::fprintf(stderr, "%s: bad HEX at line %d\n", argv[1], result.line);
        return 1;
    }
    QFile out;
    const int outFd = ::open(argv[2], O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (outFd < 0 || !out.open(outFd, QIODevice::WriteOnly, QFile::AutoCloseHandle)
        || out.write(result.image) != result.image.size() || !out.flush()) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
