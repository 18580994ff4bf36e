#include "uploadstreams.h"

#include <QRandomGenerator>
#include <QtEndian>
#include <algorithm>

QByteArray UploadSample::describe() const
{
    QByteArrayList at;
    for (const int cut : cuts)
        at << QByteArray::number(cut);
    return "block of " + QByteArray::number(block.size()) + " in replies of " + QByteArray::number(chunk) + ", trailer "
        + trailer.toHex() + ", size tail " + sizeTail.toHex() + ", block starts " + block.left(8).toHex()
        + ", reads ending at " + at.join(',') + " of " + QByteArray::number(stream.size());
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

UploadSample randomSample(QRandomGenerator &random)
{
    UploadSample s;
    const QList<QByteArray> trailerForms = trailers();
    const QList<QByteArray> tails = sizeTails();
    s.trailer = trailerForms.at(random.bounded(trailerForms.size()));
    s.sizeTail = tails.at(random.bounded(tails.size()));
    s.chunk = random.bounded(16, 1025) - 4;
    // Lengths of one, a few and many replies alike.
    const int size = random.bounded(4) == 0 ? random.bounded(1, 3 * s.chunk + 2) : random.bounded(1, 3001);
    static const char special[] = { 'e', 'n', 'd', '#', '\0', '\r', '\n', ' ' };
    s.block.resize(size);
    for (int i = 0; i < size; ++i)
        s.block[i] = random.bounded(2) ? char(random.bounded(256)) : special[random.bounded(8)];
    if (random.bounded(5) == 0) {
        const int copies = random.bounded(1, 4);
        for (int c = 0; c < copies && size >= 4; ++c) {
            // Anywhere, or where a reply of the block ends.
            int at = random.bounded(size - 3);
            if (random.bounded(2) && s.chunk < size)
                at = std::min(size - 4, std::max(0, s.chunk * random.bounded(1, size / s.chunk + 1) - 4));
            s.block.replace(at, 4, s.trailer);
        }
    }
    s.stream = stream(s.block, s.sizeTail, s.trailer, s.chunk, &s.replyEnds);

    QList<int> cuts;
    switch (random.bounded(5)) {
    case 0: // all at once
        break;
    case 1: // a read per reply
        cuts = s.replyEnds;
        break;
    case 2: // the "SIZE" reply with the first data bytes, then the rest
        cuts << s.replyEnds.first() + random.bounded(1, 8);
        break;
    default: // anywhere, often near the end of a reply
        for (const int end : qAsConst(s.replyEnds)) {
            if (random.bounded(3))
                cuts << end + random.bounded(-5, 5);
        }
        for (int n = random.bounded(6); n > 0; --n)
            cuts << random.bounded(1, s.stream.size());
        break;
    }
    std::sort(cuts.begin(), cuts.end());
    for (const int cut : qAsConst(cuts)) {
        if (cut > 0 && cut < s.stream.size() && (s.cuts.isEmpty() || cut > s.cuts.last()))
            s.cuts << cut;
    }
    return s;
}

} // namespace UploadStreams
