#include "uploadstreams.h"

#include <QRandomGenerator>
#include <QtEndian>
#include <algorithm>

namespace {

const char runBytes[] = { '\r', '\n', '\0', ' ' };

bool isRunByte(char c)
{
    return c == '\r' || c == '\n' || c == '\0' || c == ' ';
}

// Bytes rich in the letters of the marker and in the bytes of the "SIZE" reply's run.
QByteArray richBytes(QRandomGenerator &random, int size)
{
    static const char special[] = { 'e', 'n', 'd', '#', '\0', '\r', '\n', ' ' };
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = random.bounded(2) ? char(random.bounded(256)) : special[random.bounded(8)];
    return bytes;
}

// Breaks every "end" and moves a leading run byte away.
void makePlain(QByteArray &block)
{
    for (int at = block.indexOf("end"); at >= 0; at = block.indexOf("end", at))
        block[at + 2] = 'D';
    if (!block.isEmpty() && isRunByte(block.at(0)))
        block[0] = 'P';
}

} // namespace

QList<QByteArray> UploadSample::replies() const
{
    QByteArray first = QByteArray("SIZE") + QByteArray(4, '\0') + sizeTail;
    qToBigEndian(quint32(block.size()), first.data() + 4);
    QList<QByteArray> all { first };
    int at = 0;
    for (const int length : replyLengths) {
        all << block.mid(at, length) + trailer;
        at += length;
    }
    if (!surplus.isEmpty())
        all << surplus + trailer;
    return all;
}

QByteArray UploadSample::stream() const
{
    return replies().join();
}

int UploadSample::blockStreamSize() const
{
    return stream().size() - (surplus.isEmpty() ? 0 : surplus.size() + trailer.size());
}

QList<int> UploadSample::writeTimes() const
{
    QList<int> times { 0 };
    for (const int pause : pauses)
        times << times.last() + pause;
    return times;
}

QByteArray UploadSample::describe() const
{
    static const char *const kinds[] = { "plain", "leading run", "trailer copies", "marker" };
    QByteArrayList lengths;
    for (const int length : replyLengths)
        lengths << QByteArray::number(length);
    QByteArrayList waits;
    for (const int pause : pauses)
        waits << QByteArray::number(pause);
    return QByteArray(kinds[kind]) + " block of " + QByteArray::number(block.size()) + " starting "
        + block.left(8).toHex() + " in replies of " + lengths.join('+') + ", trailer " + trailer.toHex()
        + ", size tail " + sizeTail.toHex() + (surplus.isEmpty() ? "" : ", surplus " + surplus.left(8).toHex())
        + ", pauses " + waits.join(',');
}

namespace UploadStreams {

QList<QByteArray> trailers()
{
    return { "#end", QByteArray("\0end", 4), "end\n", QByteArray("end\0", 4), "\nend" };
}

QList<QByteArray> sizeTails()
{
    return { "end", "#end", "end\r\n", QByteArray("end\r\n\0", 6), "end ", QByteArray("end\0\0\0\0", 7) };
}

QByteArray stream(
    const QByteArray &block, const QByteArray &sizeTail, const QByteArray &trailer, int chunk, QList<int> *replyEnds)
{
    QByteArray bytes = QByteArray("SIZE") + QByteArray(4, '\0') + sizeTail;
    qToBigEndian(quint32(block.size()), bytes.data() + 4);
    QList<int> ends { int(bytes.size()) };
    for (int at = 0; at < block.size(); at += chunk) {
        bytes += block.mid(at, chunk) + trailer;
        ends << bytes.size();
    }
    if (replyEnds)
        *replyEnds = ends;
    return bytes;
}

UploadSample randomSample(QRandomGenerator &random, int typicalFrom)
{
    UploadSample s;
    const QList<QByteArray> trailerForms = trailers();
    const QList<QByteArray> tails = sizeTails();
    s.trailer = trailerForms.at(random.bounded(trailerForms.size()));
    s.sizeTail = tails.at(random.bounded(tails.size()));
    s.kind = UploadSample::Kind(random.bounded(4));

    // Small, middling and large blocks alike.
    const int sizes[] = { 12, 100, 1000, 3000 };
    const int size = random.bounded(1, sizes[random.bounded(4)] + 1);
    s.block = richBytes(random, size);
    makePlain(s.block);
    switch (s.kind) {
    case UploadSample::Plain:
        break;
    case UploadSample::LeadingRun:
        for (int i = std::min(size, random.bounded(1, 9)) - 1; i >= 0; --i)
            s.block[i] = runBytes[random.bounded(4)];
        break;
    case UploadSample::TrailerCopies:
    case UploadSample::Marker:
        break; // placed once the replies are known
    }

    // Replies of unequal lengths: a typical length, each reply from one byte to twice that.
    const int typical = random.bounded(std::max(1, typicalFrom), 1001);
    for (int at = 0; at < size;) {
        const int length = std::min(size - at, random.bounded(1, 2 * typical + 1));
        s.replyLengths << length;
        at += length;
    }

    if (s.kind == UploadSample::TrailerCopies || s.kind == UploadSample::Marker) {
        const QByteArray copy = s.kind == UploadSample::TrailerCopies ? s.trailer : QByteArray("end");
        for (int c = random.bounded(1, 4); c > 0 && size >= copy.size(); --c) {
            // Anywhere, or where a reply of the block ends.
            int at = random.bounded(size - copy.size() + 1);
            if (random.bounded(2)) {
                int end = 0;
                const int reply = random.bounded(s.replyLengths.size());
                for (int i = 0; i <= reply; ++i)
                    end += s.replyLengths.at(i);
                at = std::max(0, std::min(size - int(copy.size()), end - int(copy.size()) + random.bounded(-1, 2)));
            }
            s.block.replace(at, copy.size(), copy);
        }
    }

    if (random.bounded(6) == 0) {
        const int lengths[] = { 4, 16, 1000 };
        s.surplus = richBytes(random, random.bounded(1, lengths[random.bounded(3)] + 1));
    }

    // Pauses of 0 to 600 ms at some reply ends, none at the others.
    const int replies = s.replyLengths.size() + (s.surplus.isEmpty() ? 0 : 1);
    const int pausing = random.bounded(4);
    for (int i = 0; i < replies; ++i)
        s.pauses << 0;
    for (int p = 0; p < pausing; ++p)
        s.pauses[random.bounded(replies)] = random.bounded(601);
    return s;
}

QList<UploadRead> randomReads(const UploadSample &sample, QRandomGenerator &random)
{
    const QList<QByteArray> replies = sample.replies();
    const QList<int> times = sample.writeTimes();
    QList<UploadRead> reads;
    for (int i = 0; i < replies.size(); ++i) {
        QByteArray write = replies.at(i);
        // Pieces of a write: often one, sometimes cut anywhere.
        QList<QByteArray> pieces;
        if (write.size() > 1 && random.bounded(4) == 0) {
            const int cut = random.bounded(1, write.size());
            pieces << write.left(cut) << write.mid(cut);
        } else {
            pieces << write;
        }
        for (int p = 0; p < pieces.size(); ++p) {
            // A write without a pause before it often arrives with the one before.
            const bool join = !reads.isEmpty() && reads.last().atMs == times.at(i) && random.bounded(2);
            if (join)
                reads.last().bytes += pieces.at(p);
            else
                reads << UploadRead { times.at(i), pieces.at(p) };
        }
    }
    return reads;
}

} // namespace UploadStreams
