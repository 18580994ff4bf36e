#ifndef UPLOADREPLYCUTTER_H
#define UPLOADREPLYCUTTER_H

#include <QByteArray>

// How the bytes a module sent in answer to a configuration block upload cut into its replies.
struct UploadCut
{
    enum Outcome {
        // No cut fits yet; more bytes may complete one.
        Incomplete,
        // Exactly one block fits.
        Exact,
        // Cuts that give different blocks fit; more bytes may still settle it.
        Ambiguous,
        // No bytes added to these can ever fit: no "SIZE", a total out of range, too many bytes.
        Impossible,
    };

    Outcome outcome = Incomplete;
    // The block, when exact.
    QByteArray data;
    // The total the "SIZE" reply announces; -1 before it is known or when it holds none.
    qint64 total = -1;
    // When exact: bytes of the "SIZE" reply with what follows its marker, and of each data reply
    // (trailer included) but the last.
    int sizeReplyLength = 0;
    int replyLength = 0;
};

// Cuts everything received since an upload request into the "SIZE" reply and the data replies.
// The rules every module keeps: the "SIZE" reply ends at its first "end" after the total, and the
// line ends, zeros and spaces after that marker up to the next reply are the "SIZE" reply's; its
// total fixes how many data bytes come; each data reply is data followed by the module's 4-byte
// trailer, which holds "end" and is the same for every reply of a block, so the last 4 bytes
// received are that trailer; a module cuts a block into replies of one length, the last one no
// longer, each with data. Reads carry no sign of where a reply ends, so the stream is cut as a
// whole: it is exact when every cut that fits these rules gives the same block. maxSize: the
// largest total accepted.
UploadCut cutUploadStream(const QByteArray &stream, qint64 maxSize);

#endif
