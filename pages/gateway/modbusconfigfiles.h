#ifndef MODBUSCONFIGFILES_H
#define MODBUSCONFIGFILES_H

#include "xlsxsheet.h"

#include <QString>

// The file steps the gateway tables share: handing the user a copy of an Excel template and
// choosing a workbook to import. Messages are translated in the calling page's context.
class ModbusConfigFiles
{
public:
    // The user's desktop folder, where the file dialogs start.
    static QString desktop();
    // Asks for a target (starting at desktop()/defaultName) and copies the template at
    // templatePath there. A cancelled dialog does nothing; the template itself is never touched.
    static void copyTemplate(
        const char *context, const QString &templatePath, const QString &defaultName, const QString &filter);
    // Copies source to target through a save file, so a failed write never leaves half a file.
    static bool copyFile(const QString &source, const QString &target);
    // Asks for a workbook and loads its first sheet into sheet; false when cancelled or unreadable
    // (then the caller's table must stay as it was; an unreadable one is reported).
    static bool chooseWorkbook(const char *context, const QString &filter, XlsxSheet *sheet);
    // Tells the user that the workbook gave no row to import and the table stays as it was.
    static void warnNoRows(const char *context);
    // Tells the user that the workbook cannot be read and the table stays as it was.
    static void warnUnreadable(const char *context);

    // The import of every gateway table: asks for a workbook, reads its rows with read (a sheet
    // to a list of rows), and only when that gives rows hands them to replace, which empties the
    // table and fills it. A cancelled dialog, an unreadable workbook or one without a usable row
    // (another table's, or one in the other language) leaves the table as it was.
    template <typename Read, typename Replace>
    static void importRows(const char *context, const QString &filter, Read read, Replace replace)
    {
        XlsxSheet sheet;
        if (!chooseWorkbook(context, filter, &sheet))
            return;
        const auto rows = read(sheet);
        if (rows.isEmpty()) {
            warnNoRows(context);
            return;
        }
        replace(rows);
    }
    // An unsigned decimal cell text; 0 when it is not one (numbers may come as "12" or "12.0").
    static uint number(const QString &text);
};

#endif
