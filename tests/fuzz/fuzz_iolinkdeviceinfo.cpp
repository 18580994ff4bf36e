#include "iolink_module.h"
#include "iolinkdeviceinfo.h"
#include "plugframe.h"

#include <cstddef>
#include <cstdint>

namespace {

void checkBounds(const IoLinkDeviceInfo &info)
{
    if (info.input.size() > IoLinkDeviceInfo::maxData || info.output.size() > IoLinkDeviceInfo::maxData
        || info.events.size() > IoLinkDeviceInfo::maxEvents)
        __builtin_trap();
    if (info.input.size() != qMin(info.inputLength, IoLinkDeviceInfo::maxData)
        || info.events.size() != qMin(info.eventCount, IoLinkDeviceInfo::maxEvents))
        __builtin_trap();
}

} // namespace

// Serial bytes from an IO-Link master: every reply the link accepts has its command's size, and
// the device information record is read within its bounds, whatever its counts say.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    checkBounds(IoLinkDeviceInfo::decode(bytes));
    QByteArray buffer = bytes;
    for (const QByteArray &frame : PlugFrame::takeAll(buffer)) {
        IoLinkReply reply;
        if (!IoLink_Module::parseReply(frame, &reply))
            continue;
        if (reply.payload.size() + 9 != ioLinkReplyFrameSize(reply.command) || reply.port > 3)
            __builtin_trap();
        if (reply.command == IOLINK_GET_DEVICEINFO)
            checkBounds(IoLinkDeviceInfo::decode(reply.payload));
        bool failed = false;
        IoLink_Module::replyLogText(reply.command, reply.payload, &failed);
    }
    return 0;
}
