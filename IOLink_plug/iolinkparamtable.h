#ifndef IOLINKPARAMTABLE_H
#define IOLINKPARAMTABLE_H

#include "iolinkrecord.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <QtGlobal>

// The ISDU parameter rows an IO-Link master keeps per port, and the text file the parameter
// table is exported to and imported from.

// One row as it travels in the write, save and read commands (numbers little-endian).
struct IoLinkParamRow : IoLinkRecord<IoLinkParamRow>
{
    static constexpr int size = 70;
    static constexpr int dataSize = 64;
    static constexpr int rows = 20;

    quint8 port = 0;
    quint8 row = 0;
    quint16 index = 0;
    quint8 subIndex = 0;
    QByteArray data; // at most dataSize bytes are sent; the count byte is their number

    // Always the whole record, the data zero-padded. A decode refuses, leaving the row as it was,
    // a payload shorter than a row; a count beyond the data field is cut to it.
    template <class R, class F> static void fields(R &r, F &f)
    {
        f(r.port, r.row, r.index, r.subIndex, IoLinkWire::counted(r.data, dataSize));
    }
};

// The master's answer to a row write or save: port, row, result (0 success).
struct IoLinkParamResult : IoLinkRecord<IoLinkParamResult>
{
    static constexpr int size = 4;

    quint8 port = 0;
    quint8 row = 0;
    quint16 result = 0;

    template <class R, class F> static void fields(R &r, F &f) { f(r.port, r.row, r.result); }
};

// The master's answer to a row read: the row, then its result. A result of 2 means the master
// has nothing to say about the row.
struct IoLinkParamReadReply : IoLinkRecord<IoLinkParamReadReply>
{
    static constexpr int size = IoLinkParamRow::size + 2;
    static constexpr quint16 resultIgnored = 2;

    IoLinkParamRow row;
    quint16 result = 0;

    template <class R, class F> static void fields(R &r, F &f)
    {
        IoLinkParamRow::fields(r.row, f);
        f(r.result);
    }
};

// The three editor texts of one table row.
struct IoLinkParamTexts
{
    QString index;
    QString subIndex;
    QString data;

    bool operator==(const IoLinkParamTexts &o) const
    {
        return index == o.index && subIndex == o.subIndex && data == o.data;
    }
};

enum class IoLinkParamRowError { None, Index, SubIndex, DataFormat, DataTooLong };

// Tests one row's texts and builds its record for port and row. A field that is empty (white
// space aside) becomes "00" in texts, as the editor then shows it, up to the field that fails;
// the fields are read without white space at both ends.
IoLinkParamRowError checkIoLinkParamRow(IoLinkParamTexts *texts, quint8 port, quint8 row, IoLinkParamRow *out);

// The export file's text: one line "row|index|subindex|data" per row, fields trimmed, each
// ended by "\n" (the file is written in text mode, which gives the platform's line end).
QString ioLinkParamFileText(const QVector<IoLinkParamTexts> &rows);
// The table an import makes of a file's text: IoLinkParamRow::rows empty rows, then each line
// that has a "|" fills the row its first field names (a first field that is not a decimal number
// names row 0; rows beyond the table are skipped) with the fields it carries, as they stand.
QVector<IoLinkParamTexts> ioLinkParamFromFileText(const QString &text);

// Write and read the file; false when it cannot be opened.
bool saveIoLinkParamFile(const QString &path, const QVector<IoLinkParamTexts> &rows);
bool loadIoLinkParamFile(const QString &path, QVector<IoLinkParamTexts> *rows);

#endif
