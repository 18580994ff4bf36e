#ifndef XLSXWRITER_H
#define XLSXWRITER_H

#include <QList>
#include <QString>
#include <QVariant>

// Writes a one-sheet workbook for import tests: rows from row 1, columns from A. A QString becomes
// a shared string, a bool a boolean, any other valid value a number; an invalid QVariant leaves the
// cell out.
bool writeXlsx(const QString &path, const QList<QList<QVariant>> &rows);

// Ways a part of a workbook can be damaged, as a broken copy or a cut download leaves it.
enum class XlsxDamage {
    LongerSize, // the directory says the part inflates to more bytes than it does
    WrongCrc, // the part's checksum does not match its bytes
};

// Damages the part named part (for example "xl/sharedStrings.xml") of the workbook at path, in
// its local header and in the central directory alike; false when the part is not there.
bool damageXlsxPart(const QString &path, const QString &part, XlsxDamage damage);

// The file an import test answers the file chooser with: answer itself, or for "written" a
// workbook of sheet written in folder, its shared strings damaged as damage says (-1: whole).
// Empty when the workbook could not be made.
QString importFixture(const QString &answer, const QString &folder, const QList<QList<QVariant>> &sheet, int damage);

#endif
