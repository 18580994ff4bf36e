#include "factorycodec.h"

#include <cstddef>
#include <cstdint>

// A factory tool reply datagram as a module (or anything on the segment) sends it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray datagram(reinterpret_cast<const char *>(data), int(size));
    ModuleNetInfo info;
    if (!readModuleNetInfo(datagram, info))
        return 0;
    if (writeModuleNetInfo(info).size() != ModuleNetInfo::Size)
        __builtin_trap();
    macToString(info.mac);
    ipToString(info.ip);
    shownModuleName(info.typeName, {});
    return 0;
}
