#include "uploadreplycutter.h"

#include "plugblock.h"

#include <QVector>
#include <algorithm>
#include <cstring>

namespace {

constexpr int trailerSize = 4;
// The total sits in bytes 4 to 7 of the "SIZE" reply; its marker comes after them.
constexpr int sizeFieldEnd = 8;
// A "SIZE" reply whose marker has not come within this many bytes never ends.
constexpr int longestSizeHead = 256;
// Line ends, zeros and spaces after the "SIZE" marker held beyond the largest stream of data
// replies the total allows.
constexpr int longestSizeTail = 1024;
// Bytes examined for the cuts that fit before they count as several: only a stream made of
// copies of its own trailer comes near it.
constexpr qint64 compareBudget = qint64(64) << 20;

bool isSizeTailByte(char c)
{
    return c == '\r' || c == '\n' || c == '\0' || c == ' ';
}

// Data replies from `base` on: `count` replies of `data` data bytes each, the last one holding
// the rest of the total.
struct Fit
{
    int base;
    qint64 data;
    qint64 count;
};

// Where data byte `index` of a fit stands in the stream, and how many data bytes follow it in
// the same reply.
qint64 streamIndex(const Fit &fit, qint64 index, qint64 total, qint64 *run)
{
    const qint64 reply = index / fit.data;
    const qint64 into = index % fit.data;
    const qint64 length = reply == fit.count - 1 ? total - reply * fit.data : fit.data;
    *run = length - into;
    return fit.base + reply * (fit.data + trailerSize) + into;
}

QByteArray blockOf(const QByteArray &stream, const Fit &fit, qint64 total)
{
    QByteArray block;
    block.reserve(int(total));
    for (qint64 at = 0; at < total;) {
        qint64 run = 0;
        const qint64 from = streamIndex(fit, at, total, &run);
        block.append(stream.constData() + from, int(run));
        at += run;
    }
    return block;
}

bool sameBlock(const QByteArray &stream, const Fit &a, const Fit &b, qint64 total)
{
    for (qint64 at = 0; at < total;) {
        qint64 runA = 0;
        qint64 runB = 0;
        const qint64 fromA = streamIndex(a, at, total, &runA);
        const qint64 fromB = streamIndex(b, at, total, &runB);
        const qint64 run = std::min(runA, runB);
        if (std::memcmp(stream.constData() + fromA, stream.constData() + fromB, size_t(run)) != 0)
            return false;
        at += run;
    }
    return true;
}

} // namespace

UploadCut cutUploadStream(const QByteArray &stream, qint64 maxSize)
{
    UploadCut cut;
    const int marker = stream.indexOf("end", sizeFieldEnd);
    // Judged alike whatever follows: a marker still to come would end past the limit.
    if (marker < 0) {
        if (stream.size() >= longestSizeHead)
            cut.outcome = UploadCut::Impossible;
        return cut;
    }
    const int sizeEnd = marker + 3;
    if (sizeEnd > longestSizeHead) {
        cut.outcome = UploadCut::Impossible;
        return cut;
    }
    cut.total = announcedBlockSize(stream.left(sizeEnd));
    const qint64 total = cut.total;
    if (total < 0 || total > maxSize) {
        cut.outcome = UploadCut::Impossible;
        return cut;
    }
    if (total == 0) {
        cut.outcome = UploadCut::Exact;
        cut.sizeReplyLength = sizeEnd;
        return cut;
    }

    int tail = 0;
    while (sizeEnd + tail < stream.size() && isSizeTailByte(stream.at(sizeEnd + tail)))
        ++tail;
    // Each data reply brings at least one data byte with its trailer.
    const qint64 longest = total * (1 + trailerSize);
    const qint64 afterSize = stream.size() - sizeEnd;
    if (afterSize - tail > longest || afterSize > longest + longestSizeTail) {
        cut.outcome = UploadCut::Impossible;
        return cut;
    }
    if (afterSize < total + trailerSize)
        return cut;
    // Every module's trailer holds the marker the channel waits for: "#end", "end\n" ...
    const QByteArray trailer = stream.right(trailerSize);
    if (!trailer.contains("end"))
        return cut;

    // The rule: the "SIZE" reply keeps `t` of the line ends, zeros and spaces after its marker;
    // the rest is count = (length - total) / 4 data replies. With one reply that is the cut. With
    // more, the first reply ends where a copy of the trailer stands, which fixes the reply
    // length, and it fits when that length cuts the total into `count` replies, the last no
    // longer, each ending with the trailer. Exact when all fits give one block.
    QVector<int> copies;
    for (int at = stream.indexOf(trailer, sizeEnd); at >= 0; at = stream.indexOf(trailer, at + 1))
        copies << at;
    qint64 budget = compareBudget;
    QVector<Fit> fits;
    const auto consider = [&](const Fit &fit) {
        if (!fits.isEmpty()) {
            budget -= total;
            if (budget >= 0 && sameBlock(stream, fits.first(), fit, total))
                return;
        }
        fits << fit;
    };
    for (int t = 0; t <= tail && fits.size() < 2 && budget >= 0; ++t) {
        const int base = sizeEnd + t;
        const qint64 length = stream.size() - base;
        if (length < total + trailerSize)
            break;
        if ((length - total) % trailerSize != 0)
            continue;
        const qint64 count = (length - total) / trailerSize;
        if (count == 1) {
            consider(Fit { base, total, 1 });
            continue;
        }
        if (count > total)
            continue;
        // count replies of `data` bytes hold the total: (count - 1) * data < total <= count * data.
        const qint64 fewest = (total + count - 1) / count;
        const qint64 most = (total - 1) / (count - 1);
        auto copy = std::lower_bound(copies.cbegin(), copies.cend(), base + fewest);
        for (; copy != copies.cend() && *copy <= base + most && fits.size() < 2 && budget >= 0; ++copy) {
            const qint64 data = *copy - base;
            bool matches = true;
            for (qint64 reply = 2; reply < count && matches; ++reply) {
                const qint64 end = base + reply * (data + trailerSize) - trailerSize;
                matches = std::memcmp(stream.constData() + end, trailer.constData(), trailerSize) == 0;
            }
            budget -= count;
            if (matches)
                consider(Fit { base, data, count });
        }
    }
    if (fits.size() > 1 || budget < 0) {
        cut.outcome = UploadCut::Ambiguous;
        return cut;
    }
    if (fits.isEmpty())
        return cut;
    const Fit &fit = fits.first();
    cut.outcome = UploadCut::Exact;
    cut.data = blockOf(stream, fit, total);
    cut.sizeReplyLength = fit.base;
    cut.replyLength = int(fit.data + trailerSize);
    return cut;
}
