#ifndef UPLOADREPLYCUTTER_H
#define UPLOADREPLYCUTTER_H

#include <QByteArray>
#include <QString>
#include <QVector>

// Judges what a module sends in answer to a configuration block upload.
//
// What a module sends:
// - A "SIZE" reply: it holds "SIZE" and the total in its bytes 4 to 7 (big-endian) and ends at
//   its first "end" from byte 8 on, followed by a run of line ends (CR, LF), zeros and spaces of
//   any length, none included.
// - Data replies: each is at least one data byte followed by the block's trailer, 4 bytes that
//   hold "end" and are the same for every data reply of the block. Replies may be of any length
//   and the data may hold the trailer too.
// - The data bytes of the replies add up to the total.
// - A faulty module may send one more reply after them: data and the trailer. Its data holds no
//   copy of the trailer, and the block before it either keeps up to three copies of the trailer
//   in its data, or starts with a line end, zero or space (not a copy of the trailer) and keeps
//   none.
// A read carries no sign of where a reply ends (a network joins and splits replies at will), so
// every byte is kept and the bytes received so far are judged as a whole. A reading of them is
// one choice of where the "SIZE" reply ends, of the trailer and of where each reply ends that
// keeps these rules. It is whole when the block's last reply has ended and nothing follows but,
// at most, the reply beyond the total. Other readings are open: short of the total (more replies
// may come, so the reading can still grow into any block), or holding all their data with the
// rest of a begun reply to come (its trailer, or a reply beyond the total of which no "end" has
// come but in its last 4 bytes).
//
// The rule:
// - The block is taken as soon as every whole reading gives it, there is one, no reading is
//   short of the total and every other open reading gives it too. When only the rest of a begun
//   reply could make another block, it is taken after one quiet poll: that rest would come at
//   once.
// - The upload fails at once when no reading fits, when whole readings give different blocks and
//   none is short of the total (nothing can come that settles it), or when the "SIZE" reply holds
//   no total up to maxSize.
// - Otherwise it waits for more. After a reply wait of silence it takes the one block that is
//   whole, or fails.
// So a block that holds no "end" and does not start with a line end, zero or space is settled
// within two polls of its last reply, and taken unless its last reply is so short that the
// replies before it could be another block with that reply beyond its total: no longer than the
// "SIZE" reply's run, or of 4, 8 or 12 bytes after at least two, three or four replies.
// Readings are counted by dynamic programming over the trailer's places, and the work per
// judgement is bounded: bytes too costly to judge are never taken.
class UploadReplyCutter
{
public:
    enum State { Waiting, Taken, Failed };

    explicit UploadReplyCutter(qint64 maxSize);

    // Adds bytes and judges everything received so far.
    State feed(const QByteArray &read);
    // A quiet poll after the last bytes: when only the rest of a begun reply could make another
    // block, that rest would have come, so the block is taken.
    State quiet();
    // A reply wait of silence: takes the one block whole now, or fails.
    State finish();

    State state() const { return m_state; }
    // The block taken.
    QByteArray block() const { return m_state == Taken ? m_whole : QByteArray(); }
    // The total the "SIZE" reply announces; -1 before it is known or when it holds none.
    qint64 total() const { return m_total; }
    const QByteArray &received() const { return m_s; }
    // Why the upload failed, or what it still waits for.
    QString why() const { return m_why; }
    // Where the reading taken cuts the bytes: the end of the "SIZE" reply with its run, and the
    // end of each data reply of the block (a reply beyond the total may follow the last).
    int sizeReplyLength() const { return m_wholeStart; }
    QVector<int> replyEnds() const { return m_wholeEnds; }

private:
    struct Found;
    struct Candidate;

    void evaluate();
    bool readSize();
    void scanNewBytes();
    void fail(const QString &why);
    quint64 prefixHash(int at);
    quint64 hashOf(const QByteArray &bytes) const;
    QVector<Candidate> trailerCandidates() const;
    QVector<int> occurrences(const QByteArray &trailer) const;
    // Readings whose replies before the last end with the trailer at occ and whose data ends at
    // one of ys with the total reached; onlyStarts, when given (sorted), limits where the data
    // may start.
    Found readingsEndingAt(const QVector<int> &occ, const QVector<int> &ys, qint64 &budget,
        const QVector<int> &onlyStarts = QVector<int>());
    QByteArray blockOf(const Found &found, int which, int *start, QVector<int> *ends) const;
    qint64 leastData(const QVector<Candidate> &candidates) const;
    // Where the data of a block closed by the trailer at q may start when a reply beyond the
    // total follows: the block keeps few copies of its trailer in its data.
    QVector<int> fewCopiesStarts(const QVector<int> &occ, int q) const;
    // A block whose data starts at b starts with line ends, zeros or spaces (not a copy of the
    // trailer at occ).
    bool startsInRun(int b, const QVector<int> &occ) const;
    // The bytes from `from` on may be a reply still arriving: no "end" but in the last 4 bytes.
    bool replyArriving(int from) const;
    bool anyReplyArriving(const QVector<Candidate> &candidates, qint64 &budget);
    // Every open reading with all its data gives m_whole.
    bool openReadingsGive(const QVector<Candidate> &candidates, qint64 &budget);

    qint64 m_maxSize;
    QByteArray m_s;
    State m_state = Waiting;
    QString m_why;
    int m_sizeEnd = -1;
    qint64 m_total = -1;
    int m_runEnd = -1;
    bool m_runOpen = true;
    int m_markerScan = 0;
    // Where "end" stands after the "SIZE" reply's marker.
    QVector<int> m_markers;
    QVector<quint64> m_prefix;
    quint64 m_base = 0;
    quint64 m_baseInverse = 0;
    // Different blocks whole with the bytes received so far (2: two or more), and the one.
    int m_wholeCount = 0;
    bool m_takeIfQuiet = false;
    QByteArray m_whole;
    int m_wholeStart = 0;
    QVector<int> m_wholeEnds;
    // Nodes of the last count of readings: a reply end and the reply end before it.
    struct Node
    {
        int pos;
        int prev;
    };
    QVector<Node> m_nodes;
};

// The wait of an upload around the cutter: reads and the clock go in, a result comes out. Times
// are milliseconds since the request went out. The same code serves the network and the tests.
class UploadWait
{
public:
    // Silence after the last read that ends the wait: the command channel's reply wait.
    static constexpr int replyWaitMs = 1220;
    // Quiet after which the rest of a reply that has begun would have come: one poll.
    static constexpr int settleMs = 20;
    // No upload takes longer, whatever the module keeps sending.
    static constexpr int longestMs = 15000;

    explicit UploadWait(qint64 maxSize);

    // A read; it is judged at the next tick.
    void read(const QByteArray &bytes, qint64 nowMs);
    // A poll: judges what was read since the last one, then the silence. True once the result
    // is known.
    bool tick(qint64 nowMs);
    // The module closed the link: nothing more comes.
    void closed(qint64 nowMs);

    bool settled() const { return m_settledAt >= 0; }
    qint64 settledAt() const { return m_settledAt; }
    // 1 with the block taken, -1 otherwise; meaningful once settled.
    int result() const { return m_cutter.state() == UploadReplyCutter::Taken ? 1 : -1; }
    QByteArray block() const { return m_cutter.block(); }
    const UploadReplyCutter &cutter() const { return m_cutter; }
    // The longest this upload may take: the "SIZE" reply and at most one data reply per data
    // byte, each within a reply wait of the one before, and the silence after the last; never
    // more than longestMs.
    qint64 limitMs() const;
    bool timedOut() const { return m_timedOut; }

private:
    void settle(qint64 nowMs);

    UploadReplyCutter m_cutter;
    QByteArray m_pending;
    qint64 m_lastRead = 0;
    qint64 m_settledAt = -1;
    bool m_timedOut = false;
};

#endif
