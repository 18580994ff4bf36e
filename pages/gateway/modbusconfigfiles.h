#ifndef MODBUSCONFIGFILES_H
#define MODBUSCONFIGFILES_H

#include <QString>

class XlsxSheet;

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
    // An unsigned decimal cell text; 0 when it is not one (numbers may come as "12" or "12.0").
    static uint number(const QString &text);
};

#endif
