#ifndef PLUGBLOCK_H
#define PLUGBLOCK_H

#include <QByteArray>

// Total announced by the first reply of a configuration block upload: its bytes 4 to 7,
// big-endian, a byte beyond the reply's end counting as 0. -1 when the reply is empty, holds no
// "SIZE" or announces a negative total.
qint64 announcedBlockSize(const QByteArray &firstReply);

#endif
