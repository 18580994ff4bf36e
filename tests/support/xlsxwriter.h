#ifndef XLSXWRITER_H
#define XLSXWRITER_H

#include <QList>
#include <QString>
#include <QVariant>

// Writes a one-sheet workbook for import tests: rows from row 1, columns from A. A QString becomes
// a shared string, a bool a boolean, any other valid value a number; an invalid QVariant leaves the
// cell out.
bool writeXlsx(const QString &path, const QList<QList<QVariant>> &rows);

#endif
