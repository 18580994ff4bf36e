#include "xlsxsheet.h"

#include <QBuffer>
#include <QFile>
#include <QStringList>
#include <QXmlStreamReader>
#include <quazip/quacrc32.h>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

namespace {

// Parts of a workbook are small; anything larger is not a table we import.
constexpr qint64 maxPartBytes = 64 * 1024 * 1024;

enum class Part { Read, Missing, Damaged };

Part readPart(QuaZip &zip, const QString &name, QByteArray *out)
{
    out->clear();
    if (!zip.setCurrentFile(name, QuaZip::csInsensitive))
        return Part::Missing;
    QuaZipFileInfo64 info;
    if (!zip.getCurrentFileInfo(&info))
        return Part::Damaged;
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::ReadOnly))
        return Part::Damaged;
    if (info.uncompressedSize > quint64(maxPartBytes))
        return Part::Damaged;
    // Read in pieces: asking the device for the whole limit at once allocates (and clears) the
    // full 64 MB for every part of every workbook, however small the part is.
    QuaCrc32 crc;
    char piece[16384];
    bool ok = true;
    for (;;) {
        const qint64 n = file.read(piece, sizeof piece);
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0)
            break;
        if (out->size() + n > maxPartBytes) {
            ok = false;
            break;
        }
        out->append(piece, int(n));
        crc.update(QByteArray::fromRawData(piece, int(n)));
    }
    ok = ok && file.getZipError() == UNZ_OK;
    file.close();
    // The inflater stops at the end of the compressed data and checks nothing when that comes
    // early: a part cut short or altered must not pass as a smaller one.
    ok = ok && file.getZipError() == UNZ_OK && quint64(out->size()) == info.uncompressedSize && crc.value() == info.crc;
    if (!ok)
        out->clear();
    return ok ? Part::Read : Part::Damaged;
}

// The text of a shared or inline string: every <t> below it, joined (rich text runs too), but
// not the phonetic runs.
QString readStringItem(QXmlStreamReader &xml)
{
    const QString end = xml.name().toString();
    QString text;
    int skipDepth = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("rPh"))
                ++skipDepth;
            else if (xml.name() == QLatin1String("t") && skipDepth == 0)
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (xml.isEndElement()) {
            if (xml.name() == QLatin1String("rPh"))
                --skipDepth;
            else if (xml.name() == end)
                break;
        }
    }
    return text;
}

QStringList readSharedStrings(const QByteArray &data)
{
    QStringList strings;
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("si"))
            strings.append(readStringItem(xml));
    }
    return strings;
}

// The path inside the archive of the workbook's first sheet.
QString firstSheetPath(const QByteArray &workbook, const QByteArray &rels)
{
    QString rid;
    QXmlStreamReader wb(workbook);
    while (!wb.atEnd()) {
        wb.readNext();
        if (wb.isStartElement() && wb.name() == QLatin1String("sheet")) {
            for (const QXmlStreamAttribute &a : wb.attributes()) {
                if (a.name() == QLatin1String("id") && a.prefix() == QLatin1String("r"))
                    rid = a.value().toString();
            }
            if (rid.isEmpty())
                rid = wb.attributes().value(QLatin1String("r:id")).toString();
            break;
        }
    }
    if (rid.isEmpty())
        return QString();
    QXmlStreamReader rl(rels);
    while (!rl.atEnd()) {
        rl.readNext();
        if (rl.isStartElement() && rl.name() == QLatin1String("Relationship")
            && rl.attributes().value(QLatin1String("Id")) == rid) {
            QString target = rl.attributes().value(QLatin1String("Target")).toString();
            if (target.startsWith(QLatin1Char('/')))
                return target.mid(1);
            while (target.startsWith(QLatin1String("./")))
                target = target.mid(2);
            return QStringLiteral("xl/") + target;
        }
    }
    return QString();
}

} // namespace

bool XlsxSheet::parseReference(const QString &ref, int *row, int *column)
{
    int i = 0;
    qint64 col = 0;
    while (i < ref.size() && ref.at(i).isLetter() && ref.at(i).unicode() < 128) {
        col = col * 26 + (ref.at(i).toUpper().unicode() - 'A' + 1);
        if (col > 16384)
            return false;
        ++i;
    }
    if (i == 0 || i == ref.size())
        return false;
    bool ok = false;
    const int r = ref.mid(i).toInt(&ok);
    if (!ok || r < 1 || r > 1048576 || !ref.at(i).isDigit())
        return false;
    *row = r;
    *column = int(col);
    return true;
}

bool XlsxSheet::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_cells.clear();
        m_maxRow = 0;
        m_error = file.errorString();
        return false;
    }
    return load(&file);
}

bool XlsxSheet::load(QIODevice *device)
{
    m_cells.clear();
    m_maxRow = 0;
    m_error.clear();

    QuaZip zip(device);
    if (!zip.open(QuaZip::mdUnzip)) {
        m_error = QStringLiteral("not a zip archive");
        return false;
    }
    QByteArray workbook;
    QByteArray rels;
    if (readPart(zip, QStringLiteral("xl/workbook.xml"), &workbook) != Part::Read
        || readPart(zip, QStringLiteral("xl/_rels/workbook.xml.rels"), &rels) != Part::Read) {
        m_error = QStringLiteral("no workbook");
        return false;
    }
    const QString sheetPath = firstSheetPath(workbook, rels);
    QByteArray sheet;
    if (sheetPath.isEmpty() || readPart(zip, sheetPath, &sheet) != Part::Read) {
        m_error = QStringLiteral("no first sheet");
        return false;
    }
    // A workbook without text cells has no shared strings; a damaged one would lose them all.
    QByteArray shared;
    QStringList strings;
    switch (readPart(zip, QStringLiteral("xl/sharedStrings.xml"), &shared)) {
    case Part::Read:
        strings = readSharedStrings(shared);
        break;
    case Part::Missing:
        break;
    case Part::Damaged:
        m_error = QStringLiteral("damaged shared strings");
        return false;
    }
    zip.close();

    QXmlStreamReader xml(sheet);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != QLatin1String("c"))
            continue;
        const QXmlStreamAttributes attrs = xml.attributes();
        const QString type = attrs.value(QLatin1String("t")).toString();
        int row = 0;
        int column = 0;
        const bool placed = parseReference(attrs.value(QLatin1String("r")).toString(), &row, &column);
        QVariant value;
        QString raw;
        bool hasRaw = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == QLatin1String("c"))
                break;
            if (!xml.isStartElement())
                continue;
            if (xml.name() == QLatin1String("v")) {
                raw = xml.readElementText();
                hasRaw = true;
            } else if (xml.name() == QLatin1String("is")) {
                value = readStringItem(xml);
            }
        }
        if (hasRaw) {
            if (type == QLatin1String("s")) {
                bool ok = false;
                const int index = raw.toInt(&ok);
                if (ok && index >= 0 && index < strings.size())
                    value = strings.at(index);
            } else if (type == QLatin1String("b")) {
                value = raw.trimmed() == QLatin1String("1");
            } else if (type == QLatin1String("str") || type == QLatin1String("e")
                || type == QLatin1String("inlineStr")) {
                value = raw;
            } else {
                bool ok = false;
                const double number = raw.toDouble(&ok);
                value = ok ? QVariant(number) : QVariant(raw);
            }
        }
        if (placed && value.isValid()) {
            m_cells.insert(key(row, column), value);
            m_maxRow = qMax(m_maxRow, row);
        }
    }
    if (xml.hasError()) {
        m_cells.clear();
        m_maxRow = 0;
        m_error = xml.errorString();
        return false;
    }
    return true;
}

bool XlsxSheet::hasCell(int row, int column) const
{
    return m_cells.contains(key(row, column));
}

QVariant XlsxSheet::value(int row, int column) const
{
    return m_cells.value(key(row, column));
}

QString XlsxSheet::text(int row, int column) const
{
    const QVariant v = value(row, column);
    if (v.type() == QVariant::Double) {
        const double d = v.toDouble();
        // Whole numbers read as integers, the way a cell shows them.
        if (d == qint64(d) && qAbs(d) < 1e15)
            return QString::number(qint64(d));
        return QString::number(d, 'g', 15);
    }
    return v.toString();
}
