#include "xlsxsheet.h"

#include <QBuffer>
#include <cstddef>
#include <cstdint>

// A workbook file as a user might pick it: whatever it holds, reading it ends and the cells read
// stay within the sheet's limits.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    XlsxSheet sheet;
    if (sheet.load(&buffer)) {
        if (sheet.rowCount() < 0 || sheet.rowCount() > 1048576)
            __builtin_trap();
        for (int r = 1; r <= qMin(sheet.rowCount(), 50); ++r)
            sheet.text(r, 1);
    }
    return 0;
}
