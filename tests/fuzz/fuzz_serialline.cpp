#include "iolink_module.h"
#include "plugframe.h"
#include "serialline.h"
#include "weighcommand.h"

#include <cstddef>
#include <cstdint>

// Bytes on a coupler's serial line, read in pieces of the sizes the first byte picks, cut as the
// line cuts them for an IO-Link master, a weighing page and a factory page sharing it: every
// byte is accounted for exactly once, every frame is whole and of the size its claims give, and
// nothing is held back that could no longer become a frame.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const int step = 1 + data[0] % 64;
    const QByteArray input(reinterpret_cast<const char *>(data) + 1, int(size) - 1);
    const QList<FrameClaim> claims = { &IoLink_Module::claimReply,
        [](const QByteArray &frame) { return WeighCodec::pageReplySize(frame, 2); }, &WeighCodec::factoryReplySize };
    QByteArray rx;
    QByteArray seen;
    for (int at = 0; at < input.size(); at += step) {
        rx.append(input.mid(at, step));
        for (;;) {
            const SerialLine::Piece piece = SerialLine::takePiece(rx, claims);
            if (piece.kind == SerialLine::Piece::None)
                break;
            if (piece.bytes.isEmpty())
                __builtin_trap();
            seen += piece.bytes;
            if (piece.kind == SerialLine::Piece::Bytes)
                continue;
            seen += char(PlugFrame::split);
            if (!PlugFrame::checkSum(piece.bytes) || quint8(piece.bytes.at(0)) != PlugFrame::head)
                __builtin_trap();
            for (int i : piece.claimants) {
                if (claims.at(i)(piece.bytes) != piece.bytes.size())
                    __builtin_trap();
            }
            if (piece.kind == SerialLine::Piece::Unclaimed
                && PlugFrame::sizeFromLength(piece.bytes) != piece.bytes.size())
                __builtin_trap();
        }
        if (rx.size() > 4 * SerialLine::maxFrameBytes + step)
            __builtin_trap();
    }
    if (seen + rx != input)
        __builtin_trap();
    return 0;
}
