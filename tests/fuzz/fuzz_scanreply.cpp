// Module-information and parameter replies come straight from the network or a serial port. The
// input is an information reply, optionally followed by 0xFF and the parameter reply after it;
// both go the way a scan takes them: a module with its sub-modules and the program's own pages is
// built from the example descriptions and handed the parameter bytes, which every page reads.
#include "familymap.h"
#include "fuzzprogram.h"
#include "module.h"
#include "scanreply.h"
#include "scanreplyhandler.h"
#include "sublistmap.h"

#include <QByteArray>
#include <cstdint>
#include <memory>

namespace {

FamilyMap families;
SublistMap sublist;
PromptRecorder *prompts = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    prompts = startProgramForFuzzing(argc, argv);
    if (!families.read() || !sublist.read() || families.isEmpty())
        __builtin_trap();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    const int cut = bytes.indexOf('\xff');
    const QByteArray info = cut < 0 ? bytes : bytes.left(cut);
    const QByteArray param = cut < 0 ? QByteArray() : bytes.mid(cut + 1);

    const ScanReply reply = ScanReply::parse(info);
    for (const ScanReply::Sub &sub : reply.subs) {
        if (sub.slot < 1 || sub.slot > reply.subnum)
            __builtin_trap();
    }
    const QByteArray payload = ScanReplyHandler::paramPayload(param);
    if (payload.size() > param.size())
        __builtin_trap();

    for (int language : { 0, 1 }) {
        ScanReplyHandler handler;
        ScanReplyHandler::Outcome outcome = ScanReplyHandler::NoModuleType;
        const std::unique_ptr<module> made(
            handler.takeModuleInfo(info, families, sublist, language, modulebase::CONNEST_NET, QString(), &outcome));
        if (bool(made) != (outcome == ScanReplyHandler::Made))
            __builtin_trap();
        if (made && cut >= 0)
            handler.takeParamReply(param);
    }
    // What the module handed to deleteLater goes now, as the program's event loop would do.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    prompts->messages.clear();
    prompts->dialogsRun.clear();
    prompts->menus.clear();
    return 0;
}
