#ifndef UPLOADREPLYCUTTER_H
#define UPLOADREPLYCUTTER_H

#include <QByteArray>
#include <QList>

// Cuts what the command channel delivers during a configuration block upload into its replies,
// whatever the reads: a network may deliver a reply in pieces, or several replies in one read.
// A reply is complete once "end" stands in it after its first byte. The first reply holds "SIZE"
// and the total in its bytes 4 to 7; whatever follows byte 7 is not data. Each data reply is data
// followed by 4 trailing bytes that are not data, whatever they hold ("#end", "end\n", ...).
// Bytes that hold the marker are one reply, unless they split into equal replies at copies of
// their trailer, or carry more data than the total still expects (several replies, cut where the
// trailer stands, as equal pieces where the data itself holds the trailer). Bytes whose marker
// stands only inside, not in their last 4 bytes, wait for more unless no more data can follow
// them. Once a data reply has come, its length and where its trailer holds the marker tell
// later reads that stop short of a trailer, or just past one, from whole replies.
class UploadReplyCutter
{
public:
    // limit: the most bytes held while no reply is complete; more and the cutter overflows.
    explicit UploadReplyCutter(qint64 limit);

    // Takes one read; returns the replies it completes, in order, the first reply included.
    QList<QByteArray> feed(const QByteArray &read);
    // True once more than the limit was held without a complete reply; nothing is cut after.
    bool overflowed() const { return m_overflow; }
    // Bytes received that belong to no complete reply yet.
    QByteArray held() const { return m_pending; }

private:
    int firstReplyLength() const;

    qint64 m_limit;
    QByteArray m_pending;
    // m_pending holds "end" after its first byte.
    bool m_pendingHasMarker = false;
    // Where the first data reply's trailer holds "end" (0 or 1); -1 before it, or when it
    // holds none.
    int m_markerAt = -1;
    // Length of the first data reply: a module cuts a block into replies of one length.
    int m_replyLength = 0;
    bool m_haveFirst = false;
    // Data bytes the first reply's total still expects; -1 when unknown or overrun.
    qint64 m_remaining = -1;
    bool m_overflow = false;
};

#endif
