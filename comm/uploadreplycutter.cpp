#include "uploadreplycutter.h"

#include "plugblock.h"

#include <QSet>
#include <QVector>

namespace {

constexpr int trailerSize = 4;
// The total sits in bytes 4 to 7 of the first reply; its marker comes after them.
constexpr int sizeFieldEnd = 8;
// A data reply carries at least one byte besides its trailer.
constexpr int smallestPiece = trailerSize + 1;

} // namespace

UploadReplyCutter::UploadReplyCutter(qint64 limit)
    : m_limit(limit)
{
}

QList<QByteArray> UploadReplyCutter::feed(const QByteArray &read)
{
    QList<QByteArray> replies;
    if (m_overflow)
        return replies;
    m_pending += read;
    if (!m_haveFirst) {
        const int marker = m_pending.indexOf("end", sizeFieldEnd);
        int length = -1;
        if (marker >= 0)
            length = marker + 3;
        else if (m_pending.size() < sizeFieldEnd && m_pending.size() > 3 && m_pending.endsWith("end"))
            length = m_pending.size(); // too short to hold a total; the upload refuses it
        if (length > 0) {
            const QByteArray first = m_pending.left(length);
            m_pending.remove(0, length);
            m_haveFirst = true;
            m_remaining = announcedBlockSize(first);
            replies << first;
        }
    }
    if (m_haveFirst && m_pending.size() >= trailerSize && m_pending.endsWith("end")) {
        int from = 0;
        for (const int cut : dataCuts()) {
            const QByteArray piece = m_pending.mid(from, cut - from);
            from = cut;
            replies << piece;
            if (m_remaining >= 0) {
                m_remaining -= piece.size() - trailerSize;
                if (m_remaining < 0)
                    m_remaining = -1;
            }
        }
        m_pending.clear();
    }
    if (m_pending.size() > m_limit)
        m_overflow = true;
    return replies;
}

QList<int> UploadReplyCutter::dataCuts() const
{
    const QByteArray &bytes = m_pending;
    const int size = bytes.size();
    const qint64 data = size - trailerSize;
    if (m_remaining < 0 || data == m_remaining)
        return { size };

    // Where a piece may end: right after a copy of the trailer, each side keeping a data byte.
    const QByteArray trailer = bytes.right(trailerSize);
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

    if (data > m_remaining) {
        // The rest of the block arrived at once; each reply brings one trailer more than data.
        const qint64 extra = size - m_remaining;
        if (extra % trailerSize != 0)
            return { size };
        const int pieces = int(extra / trailerSize);
        if (pieces - 1 > ends.size())
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

    // Less than the rest of the block: one reply, or several whole ones of equal length.
    for (const int length : qAsConst(ends)) {
        if (size % length != 0)
            continue;
        const QList<int> cuts = even(length, size / length);
        if (!cuts.isEmpty())
            return cuts;
    }
    return { size };
}
