#ifndef UPLOADSTREAMS_H
#define UPLOADSTREAMS_H

#include <QByteArray>
#include <QList>

class QRandomGenerator;

// What a module sends in answer to a configuration block upload, when, and how a network hands
// it over: for the upload tests on the cutting rule and on the fake module.
struct UploadSample
{
    enum Kind {
        Plain, // no "end" in the block, no leading line end, zero or space
        LeadingRun, // starts with line ends, zeros or spaces
        TrailerCopies, // holds copies of its own trailer
        Marker, // holds "end" elsewhere
    };

    Kind kind = Plain;
    QByteArray block;
    QByteArray trailer;
    QByteArray sizeTail; // after the total: the marker and its run
    QList<int> replyLengths; // data bytes of each data reply
    QByteArray surplus; // data of a reply sent after the block; empty: none
    // Pause in ms before each write after the "SIZE" reply: one per data reply, then one before
    // the surplus reply.
    QList<int> pauses;

    // The "SIZE" reply and each reply after it, as written.
    QList<QByteArray> replies() const;
    QByteArray stream() const;
    // Bytes of every reply the block needs (the surplus left out).
    int blockStreamSize() const;
    // When each reply is written, in ms after the request (the "SIZE" reply at 0).
    QList<int> writeTimes() const;
    bool plain() const { return kind == Plain; }
    QByteArray describe() const;
};

// One read of the upload's bytes: when it arrives and what it brings.
struct UploadRead
{
    int atMs;
    QByteArray bytes;
};

namespace UploadStreams {

// The trailer forms of the data replies and the endings of the "SIZE" reply modules use.
QList<QByteArray> trailers();
QList<QByteArray> sizeTails();

// "SIZE", the total, the tail, then the block in replies of `chunk` data bytes, each followed
// by the trailer.
QByteArray stream(const QByteArray &block, const QByteArray &sizeTail, const QByteArray &trailer, int chunk,
    QList<int> *replyEnds = nullptr);

// A random answer: a block of 1 to 3000 bytes, plain or with a leading run, one to three copies
// of its trailer or "end" in it, any trailer and "SIZE" ending, replies of unequal lengths (each
// from one byte to twice a typical length between typicalFrom and 1000), sometimes a reply
// beyond the total, pauses of 0 to 600 ms at up to three reply ends.
UploadSample randomSample(QRandomGenerator &random, int typicalFrom = 64);

// How a network may hand the sample over: writes that follow without a pause often arrive
// together, and any write may arrive in pieces.
QList<UploadRead> randomReads(const UploadSample &sample, QRandomGenerator &random);

} // namespace UploadStreams

#endif
