// What a module sends in answer to a configuration block upload comes straight from the network.
// Input: one byte giving the read length (0: all at once), then the bytes of the link; the cut is
// taken after every read, as the upload may take it after any quiet.
#include "uploadreplycutter.h"

#include <QByteArray>
#include <algorithm>
#include <cstdint>

namespace {

constexpr qint64 largest = 4096;

bool isSizeTailByte(char c)
{
    return c == '\r' || c == '\n' || c == '\0' || c == ' ';
}

// An exact cut is the stream itself: the "SIZE" reply, then the block in replies of one length
// with the stream's last 4 bytes after each.
void checkExact(const QByteArray &stream, const UploadCut &cut)
{
    if (cut.total < 0 || cut.data.size() != cut.total)
        __builtin_trap();
    const int marker = stream.indexOf("end", 8);
    if (marker < 0 || cut.sizeReplyLength < marker + 3 || cut.sizeReplyLength > stream.size())
        __builtin_trap();
    for (int i = marker + 3; i < cut.sizeReplyLength; ++i) {
        if (!isSizeTailByte(stream.at(i)))
            __builtin_trap();
    }
    QByteArray rebuilt = stream.left(cut.sizeReplyLength);
    if (cut.total > 0) {
        const QByteArray trailer = stream.right(4);
        if (!trailer.contains("end"))
            __builtin_trap();
        const int data = cut.replyLength - 4;
        if (data < 1)
            __builtin_trap();
        for (int at = 0; at < cut.data.size(); at += data)
            rebuilt += cut.data.mid(at, data) + trailer;
    }
    if (rebuilt != stream.left(rebuilt.size()) || (cut.total > 0 && rebuilt.size() != stream.size()))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int step = data[0];
    const QByteArray stream(reinterpret_cast<const char *>(data + 1), int(size - 1));
    bool impossible = false;
    for (int at = 0; at < stream.size();) {
        at = step == 0 ? stream.size() : std::min<int>(stream.size(), at + step);
        const QByteArray received = stream.left(at);
        const UploadCut cut = cutUploadStream(received, largest);
        // No bytes added to an impossible stream make it fit.
        if (impossible && cut.outcome != UploadCut::Impossible)
            __builtin_trap();
        impossible = cut.outcome == UploadCut::Impossible;
        if (cut.outcome == UploadCut::Exact)
            checkExact(received, cut);
        else if (!cut.data.isEmpty())
            __builtin_trap();
    }
    return 0;
}
