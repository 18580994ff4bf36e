// Replies on the command channel come from the network; the reply rules, the upload size and the
// address texts must survive anything.
#include "ipv4text.h"
#include "networksettings.h"
#include "plugblock.h"
#include "stcpsocket.h"

#include <QtGlobal>
#include <cstddef>
#include <cstdint>

namespace {
void quiet(QtMsgType, const QMessageLogContext &, const QString &) { }
} // namespace

// Input: a run of records, each a state byte, a length byte and that many bytes of chunk.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QtMessageHandler previous = qInstallMessageHandler(quiet);
    Q_UNUSED(previous);
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    sTcpSocket socket;
    int at = 0;
    while (at + 2 <= input.size()) {
        const int state = quint8(input.at(at)) % 12;
        const int length = quint8(input.at(at + 1));
        const QByteArray chunk = input.mid(at + 2, length);
        at += 2 + length;
        if (!(socket.state & 1) || state != 1)
            socket.state = sTcpSocket::INFOType(state);
        const sTcpSocket::INFOType before = socket.state;
        socket.handleChunk(chunk);
        if (socket.state != before && socket.state != before + 1)
            __builtin_trap();
        announcedBlockSize(chunk);
        const QString text = QString::fromLatin1(chunk);
        const QByteArray block = networkSettingsBlock(text, text, text);
        if (!block.isEmpty() && block.size() != 12)
            __builtin_trap();
        ipv4FromText(text);
    }
    return 0;
}
