// What a module sends in answer to a configuration block upload comes straight from the network.
// Input: one byte giving the read length (0: all at once), then the bytes of the link. The bytes
// are judged after every read, after a quiet poll and after silence, as the upload judges them.
#include "uploadreplycutter.h"

#include <QByteArray>
#include <algorithm>
#include <cstdint>

namespace {

constexpr qint64 largest = 4096;

bool isRunByte(char c)
{
    return c == '\r' || c == '\n' || c == '\0' || c == ' ';
}

// A block taken is a reading of the bytes: the "SIZE" reply with its total and run, then
// replies of at least one data byte each ending in one trailer that holds "end", the data adding
// up to the total, then nothing or one reply beyond the total with the same trailer.
void checkTaken(const QByteArray &stream, const UploadReplyCutter &cutter)
{
    const QByteArray block = cutter.block();
    if (cutter.total() < 0 || block.size() != cutter.total())
        __builtin_trap();
    const int marker = stream.indexOf("end", 8);
    const int start = cutter.sizeReplyLength();
    if (marker < 0 || start < marker + 3 || start > stream.size())
        __builtin_trap();
    for (int i = marker + 3; i < start; ++i) {
        if (!isRunByte(stream.at(i)))
            __builtin_trap();
    }
    if (cutter.total() == 0)
        return;
    const QVector<int> ends = cutter.replyEnds();
    if (ends.isEmpty() || ends.last() > stream.size())
        __builtin_trap();
    const QByteArray trailer = stream.mid(ends.first() - 4, 4);
    if (!trailer.contains("end"))
        __builtin_trap();
    QByteArray rebuilt;
    int from = start;
    for (const int end : ends) {
        if (end - 4 < from + 1 || stream.mid(end - 4, 4) != trailer)
            __builtin_trap();
        rebuilt += stream.mid(from, end - 4 - from);
        from = end;
    }
    if (rebuilt != block)
        __builtin_trap();
    const int beyond = stream.size() - from;
    if (beyond != 0 && (beyond < 5 || !stream.endsWith(trailer)))
        __builtin_trap();
}

void check(const QByteArray &stream, const UploadReplyCutter &cutter)
{
    if (cutter.state() == UploadReplyCutter::Taken)
        checkTaken(stream, cutter);
    else if (!cutter.block().isEmpty())
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int step = data[0];
    const QByteArray stream(reinterpret_cast<const char *>(data + 1), int(size - 1));
    UploadReplyCutter cutter(largest);
    for (int at = 0; at < stream.size() && cutter.state() == UploadReplyCutter::Waiting;) {
        const int next = step == 0 ? stream.size() : std::min<int>(stream.size(), at + step);
        cutter.feed(stream.mid(at, next - at));
        at = next;
        const QByteArray received = stream.left(at);
        if (cutter.received() != received)
            __builtin_trap();
        check(received, cutter);
        UploadReplyCutter quiet = cutter;
        quiet.quiet();
        check(received, quiet);
        // A verdict once given stands.
        if (cutter.state() != UploadReplyCutter::Waiting && quiet.state() != cutter.state())
            __builtin_trap();
        UploadReplyCutter silence = cutter;
        silence.finish();
        check(received, silence);
        if (silence.state() == UploadReplyCutter::Waiting)
            __builtin_trap();
    }
    return 0;
}
