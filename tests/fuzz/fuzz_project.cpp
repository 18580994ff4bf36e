// Project files come from anywhere the user picks; the reader must survive every byte string.
#include "projectfile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    const ProjectFile::ReadResult result = ProjectFile::read(bytes);
    // What was read must write out again and read back to the same modules.
    QString text;
    for (const ProjectFile::Section &s : result.sections)
        for (const ProjectFile::ModuleRecord &m : s.modules)
            text += ProjectFile::moduleXml(m);
    const QString again = ProjectFile::documentXml(ProjectFile::fileInfoXml("p", "t", "d"), text);
    const ProjectFile::ReadResult back = ProjectFile::read(again.toUtf8());
    if (!back.ok)
        __builtin_trap();
    return 0;
}
