#include "plugblock.h"

qint64 announcedBlockSize(const QByteArray &firstReply)
{
    if (firstReply.isEmpty() || !firstReply.contains("SIZE"))
        return -1;
    quint32 total = 0;
    for (int i = 4; i < 8; ++i)
        total = (total << 8) | quint32(i < firstReply.size() ? quint8(firstReply.at(i)) : 0);
    return total > 0x7FFFFFFFu ? -1 : qint64(total);
}
