// GSDML files and their index come with description sets from anywhere; the readers must survive
// every byte string.
#include "gsdml.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    const Gsdml::IndexEntry entry = Gsdml::lookupIndex(bytes, QStringLiteral("RVE-C100"));
    if (entry.found && !entry.file.contains(QLatin1String("GSDML")))
        __builtin_trap();
    const Gsdml::Document doc = Gsdml::read(bytes);
    if (!doc.ok && !doc.processes.isEmpty())
        __builtin_trap();
    for (const Gsdml::ApplicationProcess &ap : doc.processes) {
        for (const Gsdml::Item &item : ap.modules + ap.submodules) {
            const Gsdml::Item *found = Gsdml::findItem(ap.modules + ap.submodules, item.ident);
            // An ident that is no number is never found, a number always is (maybe an earlier twin).
            if (item.identValid && !found)
                __builtin_trap();
            if (const Gsdml::Text *text = Gsdml::findText(ap.texts, item.textId)) {
                if (text->textId != item.textId)
                    __builtin_trap();
            }
        }
    }
    return 0;
}
