#include "plugframe.h"
#include "weighcommand.h"

#include <cstddef>
#include <cstdint>

// Serial bytes as a module might send them: every frame taken out passes its check sum and
// nothing is lost between the frames and what stays behind.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray buffer(reinterpret_cast<const char *>(data), int(size));
    const QList<QByteArray> frames = PlugFrame::takeAll(buffer);
    for (const QByteArray &frame : frames) {
        if (!PlugFrame::checkSum(frame) || frame.at(0) != char(PlugFrame::head))
            __builtin_trap();
        int command = 0;
        int channel = 0;
        QByteArray data;
        if (WeighCodec::splitReply(frame, &command, &channel, &data) && data.size() + 10 != frame.size())
            __builtin_trap();
    }
    if (buffer.size() > PlugFrame::maxBuffer)
        __builtin_trap();
    PlugFrame::cut(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    return 0;
}
