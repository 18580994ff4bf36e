#include "iolinkportsetcodec.h"

#include <cstddef>
#include <cstdint>

namespace {

// A record decodes exactly when the payload is long enough and always encodes to a whole record;
// where every byte is a field (all but the ISDU write), to the very bytes it came from.
template <class Record> void check(const QByteArray &bytes, bool exact)
{
    Record r;
    const bool whole = bytes.size() >= Record::size;
    if (r.decode(bytes) != whole)
        __builtin_trap();
    const QByteArray again = r.encode();
    if (again.size() != Record::size)
        __builtin_trap();
    if (whole && exact && again != bytes.left(Record::size))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    check<IoLinkIoParams>(bytes, true);
    check<IoLinkPortConfig>(bytes, true);
    check<IoLinkIsduReadRequest>(bytes, true);
    check<IoLinkIsduReadReply>(bytes, true);
    check<IoLinkIsduWriteRequest>(bytes, false);

    IoLinkIsduReadReply reply;
    if (reply.decode(bytes) && reply.validData().size() > IoLinkIsduReadReply::dataSize)
        __builtin_trap();
    IoLinkIsduWriteRequest write;
    if (write.decode(bytes) && write.data.size() > IoLinkIsduWriteRequest::dataSize)
        __builtin_trap();
    return 0;
}
