#include "iolinkparamtable.h"

#include <cstddef>
#include <cstdint>

// The parameter rows a master returns, and the text file a user imports: nothing over-reads,
// a decoded answer encodes back to its bytes, an import always gives the whole table, and
// exporting an imported table and importing it again gives the same, trimmed, table.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));

    IoLinkParamReadReply read;
    if (read.decode(bytes) != (bytes.size() >= IoLinkParamReadReply::size))
        __builtin_trap();
    if (read.row.data.size() > IoLinkParamRow::dataSize || read.encode().size() != IoLinkParamReadReply::size)
        __builtin_trap();
    IoLinkParamResult result;
    if (result.decode(bytes) && result.encode() != bytes.left(IoLinkParamResult::size))
        __builtin_trap();

    const QVector<IoLinkParamTexts> rows = ioLinkParamFromFileText(QString::fromUtf8(bytes));
    if (rows.size() != IoLinkParamRow::rows)
        __builtin_trap();
    QVector<IoLinkParamTexts> trimmed = rows;
    for (IoLinkParamTexts &r : trimmed) {
        r.index = r.index.trimmed();
        r.subIndex = r.subIndex.trimmed();
        r.data = r.data.trimmed();
    }
    if (ioLinkParamFromFileText(ioLinkParamFileText(rows)) != trimmed)
        __builtin_trap();

    // What a save then does with the imported texts.
    for (int i = 0; i < rows.size(); ++i) {
        IoLinkParamTexts texts = rows.at(i);
        IoLinkParamRow record;
        if (checkIoLinkParamRow(&texts, 1, quint8(i), &record) == IoLinkParamRowError::None
            && (record.data.isEmpty() || record.encode().size() != IoLinkParamRow::size))
            __builtin_trap();
    }
    return 0;
}
