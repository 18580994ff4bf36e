#ifndef UPLOADSTREAMS_H
#define UPLOADSTREAMS_H

#include <QByteArray>
#include <QList>

class QRandomGenerator;

// The bytes a module sends in answer to a configuration block upload, and where a network might
// cut them into reads: for the upload tests on the cutting rule and on the fake module.
struct UploadSample
{
    QByteArray block;
    QByteArray trailer;
    QByteArray sizeTail;
    int chunk = 0; // data bytes per reply
    QByteArray stream;
    // Offsets in the stream where the "SIZE" reply and each data reply end.
    QList<int> replyEnds;
    // Offsets in the stream where reads end, ascending, the last one before the stream's end.
    QList<int> cuts;

    // The block holds "end" somewhere.
    bool holdsMarker() const { return block.contains("end"); }
    QByteArray describe() const;
};

namespace UploadStreams {

// The trailer forms of the data replies and the endings of the "SIZE" reply modules use.
QList<QByteArray> trailers();
QList<QByteArray> sizeTails();

// "SIZE", the total, the tail, then the block in replies of `chunk` data bytes, each followed
// by the trailer: as the fake module sends it.
QByteArray stream(const QByteArray &block, const QByteArray &sizeTail, const QByteArray &trailer, int chunk,
    QList<int> *replyEnds = nullptr);

// A random answer: any trailer and "SIZE" ending, a block of 1 to 3000 bytes rich in 'e', 'n',
// 'd', zeros, line ends and spaces, sometimes with copies of the trailer, cut into replies of 16
// to 1024 bytes, and reads cut anywhere: inside a trailer, within 4 bytes of a reply's end,
// several replies together, the "SIZE" reply with data.
UploadSample randomSample(QRandomGenerator &random);

} // namespace UploadStreams

#endif
