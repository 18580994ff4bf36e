#ifndef UPLOADREPLYCUTTER_H
#define UPLOADREPLYCUTTER_H

#include <QByteArray>
#include <QList>

// Cuts what the command channel delivers during a configuration block upload into its replies,
// whatever the reads: a network may deliver a reply in pieces, or several replies in one read.
// The first reply ("SIZE" and the total in its bytes 4 to 7) ends at the first "end" after
// those bytes. Each data reply is data followed by the module's 4-byte trailer ending in "end",
// the same on every reply. Bytes that end with a trailer are one reply, unless they carry more
// data than the total still expects (several replies, cut where the trailer stands, as equal
// pieces where the data itself holds the trailer) or they split into equal pieces at trailers.
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
    QList<int> dataCuts() const;

    qint64 m_limit;
    QByteArray m_pending;
    bool m_haveFirst = false;
    // Data bytes the first reply's total still expects; -1 when unknown or overrun.
    qint64 m_remaining = -1;
    bool m_overflow = false;
};

#endif
