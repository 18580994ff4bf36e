#ifndef XLSXSHEET_H
#define XLSXSHEET_H

#include <QHash>
#include <QString>
#include <QVariant>

class QIODevice;

// The first sheet of an Excel workbook (.xlsx), read for the gateway table imports: cells by row
// and column (both from 1) with their values as text, numbers or booleans. A cell with no value
// counts as absent, so a template's formatted but empty rows end a table like missing ones.
class XlsxSheet
{
public:
    // Reads the workbook at path (or on device, which must be seekable); false, with error(),
    // when it is not a readable workbook. A failed load leaves the sheet empty.
    bool load(const QString &path);
    bool load(QIODevice *device);
    QString error() const { return m_error; }

    bool hasCell(int row, int column) const;
    // The cell's value: QString for text, double for numbers, bool for booleans; invalid when absent.
    QVariant value(int row, int column) const;
    // The value as text, as a table cell would show it ("3" for the number 3, "true" for a boolean).
    QString text(int row, int column) const;
    int rowCount() const { return m_maxRow; }

    // "B12" -> row 12, column 2; false when ref is not a cell reference.
    static bool parseReference(const QString &ref, int *row, int *column);

private:
    static quint64 key(int row, int column) { return quint64(quint32(row)) << 32 | quint32(column); }

    QHash<quint64, QVariant> m_cells;
    QString m_error;
    int m_maxRow = 0;
};

#endif
