#include "uploadreplycutter.h"

#include "plugblock.h"

#include <QSet>
#include <QVector>
#include <algorithm>

namespace {

constexpr int trailerSize = 4;
// The total sits in bytes 4 to 7 of the first reply; its marker comes after them.
constexpr int sizeFieldEnd = 8;
// A data reply carries at least one byte besides its trailer.
constexpr int smallestPiece = trailerSize + 1;
// A module may end its first reply with a line end or a zero after the marker.
constexpr int longestSizeTail = 2;

bool holdsMarker(const QByteArray &bytes)
{
    return bytes.indexOf("end", 1) >= 1;
}

// Every module puts the marker in its trailer: "#end", "\0end", "end\n", "end\0" ...
// markerAt: where the module's trailers hold it, once known; -1 anywhere in the trailer.
bool markerInTrailer(const QByteArray &bytes, int markerAt)
{
    const int trailerStart = int(bytes.size()) - trailerSize;
    if (markerAt >= 0)
        return trailerStart + markerAt >= 1 && bytes.mid(trailerStart + markerAt, 3) == "end";
    return bytes.indexOf("end", std::max(1, trailerStart)) >= 0;
}

bool isSizeTailByte(char c)
{
    return c == '\r' || c == '\n' || c == '\0';
}

// True when bytes (holding the marker after their first byte: hasMarker) are one or more
// whole data replies. A marker inside the bytes but not in their trailer may be data, with the
// rest of the reply still on its way, unless it is their only one and no more data can come.
bool dataComplete(const QByteArray &bytes, bool hasMarker, qint64 remaining, int markerAt = -1)
{
    if (!hasMarker)
        return false;
    if (markerInTrailer(bytes, markerAt))
        return true;
    // One marker only: not a run of replies cut short, but one reply with the marker in its data.
    return remaining < 0 || (bytes.size() - trailerSize >= remaining && bytes.count("end") == 1);
}

// Where complete data replies end, the last cut at the end of bytes. replyLength: the length of
// the module's earlier data replies, 0 when none came yet. Uneven cuts are taken only with
// allowUneven.
QList<int> dataCuts(const QByteArray &bytes, qint64 remaining, int replyLength = 0, bool allowUneven = true)
{
    const int size = bytes.size();
    const qint64 data = size - trailerSize;
    // Bytes that bring just the rest are one reply, unless they are longer than the module's
    // replies have been.
    const bool longerThanReplies = replyLength >= smallestPiece && size > replyLength;
    if (remaining < 0 || (data == remaining && !longerThanReplies))
        return { size };

    // Where a piece may end: right after a copy of the trailer, each side keeping a data byte.
    // A trailer without the marker is no module's: such bytes are one reply.
    const QByteArray trailer = bytes.right(trailerSize);
    if (!trailer.contains("end"))
        return { size };
    QVector<int> ends;
    QSet<int> isEnd;
    for (int at = bytes.indexOf(trailer, 1); at >= 0; at = bytes.indexOf(trailer, at + 1)) {
        const int end = at + trailerSize;
        if (end >= smallestPiece && size - end >= smallestPiece) {
            ends << end;
            isEnd.insert(end);
        }
    }
    // Pieces of `length` bytes, the last one no longer: the way a module cuts a block.
    const auto even = [&](int length, int pieces) {
        QList<int> cuts;
        for (int k = 1; k < pieces; ++k) {
            if (!isEnd.contains(k * length))
                return QList<int>();
            cuts << k * length;
        }
        cuts << size;
        return cuts;
    };

    // Several whole replies of equal length, as a module cuts a block, none bringing more data
    // than the block still expects.
    const auto equalReplies = [&]() {
        for (const int length : qAsConst(ends)) {
            if (size % length != 0 || qint64(size) - qint64(size / length) * trailerSize > remaining)
                continue;
            const QList<int> cuts = even(length, size / length);
            if (!cuts.isEmpty())
                return cuts;
        }
        return QList<int>();
    };

    // Replies as long as the earlier ones, the last one no longer.
    if (longerThanReplies) {
        const int pieces = (size + replyLength - 1) / replyLength;
        const int last = size - replyLength * (pieces - 1);
        if (last >= smallestPiece && qint64(size) - qint64(pieces) * trailerSize <= remaining) {
            const QList<int> cuts = even(replyLength, pieces);
            if (!cuts.isEmpty())
                return cuts;
        }
    }
    if (data == remaining)
        return { size };

    // Replies all alike, cut at the first trailer and its multiples: how a module sends a block,
    // the whole of it or a part.
    if (const QList<int> cuts = equalReplies(); !cuts.isEmpty())
        return cuts;

    if (data > remaining) {
        // The rest of the block arrived at once, its last reply shorter; each reply brings one
        // trailer more than data.
        const qint64 extra = size - remaining;
        const int pieces = int(extra / trailerSize);
        if (extra % trailerSize != 0 || pieces - 1 > ends.size())
            return { size };
        for (const int length : qAsConst(ends)) {
            const qint64 last = size - qint64(length) * (pieces - 1);
            if (last < smallestPiece)
                break;
            if (last > length)
                continue;
            const QList<int> cuts = even(length, pieces);
            if (!cuts.isEmpty())
                return cuts;
        }
        if (!allowUneven)
            return { size };
        // Uneven pieces: the earliest trailers.
        QList<int> cuts;
        for (const int end : qAsConst(ends)) {
            if (cuts.size() == pieces - 1)
                break;
            if (end - (cuts.isEmpty() ? 0 : cuts.last()) >= smallestPiece)
                cuts << end;
        }
        if (cuts.size() != pieces - 1)
            return { size };
        cuts << size;
        return cuts;
    }

    return { size };
}

// True when bytes are whole data replies that bring exactly the total.
bool bringsTotal(const QByteArray &bytes, qint64 total)
{
    if (total < 0 || !dataComplete(bytes, holdsMarker(bytes), total))
        return false;
    return bytes.size() - qint64(trailerSize) * dataCuts(bytes, total, 0, false).size() == total;
}

} // namespace

UploadReplyCutter::UploadReplyCutter(qint64 limit)
    : m_limit(limit)
{
}

int UploadReplyCutter::firstReplyLength() const
{
    const QByteArray &bytes = m_pending;
    const int size = bytes.size();
    const int marker = bytes.indexOf("end", sizeFieldEnd);
    if (marker < 0)
        return size < sizeFieldEnd && holdsMarker(bytes) ? size : -1; // too short to hold a total
    const int markerEnd = marker + 3;
    int tail = 0;
    while (tail < longestSizeTail && markerEnd + tail < size && isSizeTailByte(bytes.at(markerEnd + tail)))
        ++tail;
    if (markerEnd + tail == size || bytes.indexOf("end", markerEnd + 1) < 0)
        return markerEnd + tail;
    // Data replies came in the same read: a zero or line end after the marker may be the
    // first data byte. It is the first reply's when the data then brings the total, or when the
    // module's data trailers have as many bytes after their marker; else it is data when that
    // makes the data bring the total.
    const qint64 total = announcedBlockSize(bytes.left(markerEnd));
    if (tail == 0 || bringsTotal(bytes.mid(markerEnd + tail), total))
        return markerEnd + tail;
    const int trailerMarker = bytes.right(trailerSize).indexOf("end");
    if (trailerMarker >= 0 && trailerSize - 3 - trailerMarker == tail)
        return markerEnd + tail;
    for (int t = tail - 1; t >= 0; --t) {
        if (bringsTotal(bytes.mid(markerEnd + t), total))
            return markerEnd + t;
    }
    return markerEnd + tail;
}

QList<QByteArray> UploadReplyCutter::feed(const QByteArray &read)
{
    QList<QByteArray> replies;
    if (m_overflow)
        return replies;
    // Only the new bytes, and the two before them, can complete a marker.
    const int scanFrom = std::max(1, int(m_pending.size()) - 2);
    m_pending += read;
    m_pendingHasMarker = m_pendingHasMarker || m_pending.indexOf("end", scanFrom) >= 0;
    if (!m_haveFirst) {
        const int length = firstReplyLength();
        if (length > 0) {
            const QByteArray first = m_pending.left(length);
            m_pending.remove(0, length);
            m_pendingHasMarker = holdsMarker(m_pending);
            m_haveFirst = true;
            m_remaining = announcedBlockSize(first);
            replies << first;
        }
    }
    if (m_haveFirst && dataComplete(m_pending, m_pendingHasMarker, m_remaining, m_markerAt)) {
        int from = 0;
        for (const int cut : dataCuts(m_pending, m_remaining, m_replyLength)) {
            const QByteArray piece = m_pending.mid(from, cut - from);
            from = cut;
            replies << piece;
            if (m_replyLength == 0)
                m_replyLength = piece.size();
            // The module ends every reply alike: where its trailer holds the marker tells later
            // reads that stop just short of a trailer, or just past one, from whole replies.
            if (m_markerAt < 0 && piece.size() > trailerSize)
                m_markerAt = int(piece.right(trailerSize).indexOf("end"));
            if (m_remaining >= 0) {
                m_remaining -= piece.size() - trailerSize;
                if (m_remaining < 0)
                    m_remaining = -1;
            }
        }
        m_pending.clear();
        m_pendingHasMarker = false;
    }
    if (m_pending.size() > m_limit)
        m_overflow = true;
    return replies;
}
