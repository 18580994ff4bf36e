#include "tempcurvecodec.h"

#include <cstddef>
#include <cstdint>

// The first byte picks how many curves are enabled (the first n of 16, every other one when its
// top bit is set); the rest arrives from the module as its stream would, cut into frames.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const int n = data[0] % 17;
    QList<quint16> curves;
    for (int k = 0; k < n; ++k)
        curves.append(quint16((data[0] & 0x80) ? (2 * k) % 16 : k));
    QByteArray buffer(reinterpret_cast<const char *>(data + 1), int(size - 1));
    const QList<QByteArray> frames = cutTempCurveFrames(buffer);
    if (buffer.contains(char(0x5A)))
        __builtin_trap();
    for (const QByteArray &frame : frames) {
        const TempCurveReply r = parseTempCurveReply(frame, curves);
        if (r.samples.size() > curves.size() || (!r.taken && !r.samples.isEmpty()))
            __builtin_trap();
        if (r.taken && frame.size() < 2 + 5 * curves.size())
            __builtin_trap();
    }
    // The raw bytes as one frame, whatever they hold.
    parseTempCurveReply(QByteArray(reinterpret_cast<const char *>(data + 1), int(size - 1)), curves);
    return 0;
}
