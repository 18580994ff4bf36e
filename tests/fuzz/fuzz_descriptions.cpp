// Description files, their translations and the two map files are authored by hand and arrive
// in description packages.
#include "descriptiontranslation.h"
#include "familymap.h"
#include "moduledescription.h"
#include "sublistmap.h"

#include <QByteArray>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    for (const char *name : { "A", "KC 100" }) {
        const ModuleDescription d = ModuleDescription::parse(bytes, QString::fromLatin1(name));
        if (d.paramLen && *d.paramLen < 0)
            __builtin_trap();
        DescriptionTranslation::parse(bytes, QString::fromLatin1(name));
    }
    FamilyMap::parse(bytes);
    SublistMap::parse(bytes);
    return 0;
}
