#include "plugframe.h"

#include <algorithm>
#include <vector>

namespace {

// First frame whose head is at or after `from`; sets headAt and the separator index. Only the
// separators are visited for each head, with the sums taken from running totals, so a buffer of
// heads without separators (noise) costs one pass instead of one per head.
bool findFrame(const QByteArray &bytes, int from, int *headAt, int *splitAt)
{
    const int size = int(bytes.size());
    const auto *b = reinterpret_cast<const quint8 *>(bytes.constData());
    std::vector<int> splits;
    // running[i] is the sum of bytes 0 .. i-1; it may wrap, only its low 16 bits count.
    std::vector<quint32> running(size_t(size) + 1, 0);
    for (int i = 0; i < size; ++i) {
        running[size_t(i) + 1] = running[size_t(i)] + b[i];
        if (b[i] == PlugFrame::split)
            splits.push_back(i);
    }
    for (int h = from; h < size; ++h) {
        if (b[h] != PlugFrame::head)
            continue;
        // The candidate h .. j-1 needs three bytes at least.
        for (auto it = std::lower_bound(splits.begin(), splits.end(), h + 3); it != splits.end(); ++it) {
            const int j = *it;
            const quint32 sum = running[size_t(j) - 2] - running[size_t(h)];
            const quint32 stored = quint32(b[j - 2]) << 8 | b[j - 1];
            if (((sum + stored) & 0xFFFF) == 0) {
                *headAt = h;
                *splitAt = j;
                return true;
            }
        }
    }
    return false;
}

} // namespace

QByteArray PlugFrame::build(quint8 type, int command, const QByteArray &payload)
{
    QByteArray frame;
    frame.reserve(9 + payload.size());
    frame.append(char(head));
    frame.append(char(type));
    frame.append(char(command & 0xFF));
    const quint32 n = quint32(payload.size());
    frame.append(char(n >> 24));
    frame.append(char(n >> 16));
    frame.append(char(n >> 8));
    frame.append(char(n));
    frame.append(payload);
    quint32 sum = 0;
    for (char c : qAsConst(frame))
        sum += quint8(c);
    const quint16 check = quint16((0x10000 - (sum & 0xFFFF)) & 0xFFFF);
    frame.append(char(check >> 8));
    frame.append(char(check & 0xFF));
    return frame;
}

bool PlugFrame::checkSum(const QByteArray &frame)
{
    const int size = int(frame.size());
    if (size < 3)
        return false;
    quint32 sum = 0;
    for (int i = 0; i < size - 2; ++i)
        sum += quint8(frame.at(i));
    const quint32 stored = quint32(quint8(frame.at(size - 2))) << 8 | quint8(frame.at(size - 1));
    return ((sum + stored) & 0xFFFF) == 0;
}

QByteArray PlugFrame::cut(const QByteArray &bytes)
{
    const int first = int(bytes.indexOf(char(head)));
    if (first < 0)
        return QByteArray();
    // Only the first head is tried, as a frame must begin there.
    int h = 0;
    int j = 0;
    const QByteArray from = bytes.mid(first);
    if (!findFrame(from, 0, &h, &j) || h != 0)
        return QByteArray();
    return from.left(j);
}

QByteArray PlugFrame::take(QByteArray &buffer)
{
    int h = 0;
    int j = 0;
    if (!findFrame(buffer, 0, &h, &j))
        return QByteArray();
    const QByteArray frame = buffer.mid(h, j - h);
    buffer.remove(0, j + 1);
    return frame;
}

QList<QByteArray> PlugFrame::takeAll(QByteArray &buffer)
{
    QList<QByteArray> frames;
    for (;;) {
        const QByteArray frame = take(buffer);
        if (frame.isEmpty())
            break;
        frames.append(frame);
    }
    const int first = int(buffer.indexOf(char(head)));
    if (first < 0)
        buffer.clear();
    else if (first > 0)
        buffer.remove(0, first);
    if (buffer.size() > maxBuffer)
        buffer.clear();
    return frames;
}

quint32 PlugFrame::payloadLength(const QByteArray &frame)
{
    if (frame.size() < 7)
        return 0;
    return quint32(quint8(frame.at(3))) << 24 | quint32(quint8(frame.at(4))) << 16 | quint32(quint8(frame.at(5))) << 8
        | quint8(frame.at(6));
}

int PlugFrame::commandOf(const QByteArray &frameSoFar, quint8 type)
{
    if (frameSoFar.size() < 2)
        return -2;
    if (quint8(frameSoFar.at(1)) != type)
        return -1;
    return frameSoFar.size() < 3 ? -2 : quint8(frameSoFar.at(2));
}

qint64 PlugFrame::sizeFromLength(const QByteArray &frameSoFar)
{
    if (frameSoFar.size() < 2)
        return frameSoFar.isEmpty() || quint8(frameSoFar.at(0)) == head ? 0 : -1;
    const quint8 type = quint8(frameSoFar.at(1));
    if (quint8(frameSoFar.at(0)) != head || (type != typeWeigh && type != typeIoLink))
        return -1;
    if (frameSoFar.size() < 7)
        return 0;
    return qint64(payloadLength(frameSoFar)) + 9;
}
