#include "xlsxwriter.h"

#include <QFile>
#include <QStringList>
#include <QtEndian>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

namespace {

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

QString columnName(int column)
{
    QString name;
    for (int c = column; c > 0; c = (c - 1) / 26)
        name.prepend(QChar('A' + (c - 1) % 26));
    return name;
}

bool addPart(QuaZip &zip, const QString &name, const QString &text)
{
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::WriteOnly, QuaZipNewInfo(name)))
        return false;
    const QByteArray bytes = text.toUtf8();
    const bool ok = file.write(bytes) == bytes.size();
    file.close();
    return ok && file.getZipError() == ZIP_OK;
}

// Changes the 32-bit field at offset of the header at start; the field is little-endian.
void damageField(QByteArray &zip, int at, XlsxDamage damage)
{
    auto *field = reinterpret_cast<uchar *>(zip.data() + at);
    const quint32 value = qFromLittleEndian<quint32>(field);
    qToLittleEndian<quint32>(damage == XlsxDamage::LongerSize ? value + 10 : value ^ 0x5A5A5A5Au, field);
}

} // namespace

bool writeXlsx(const QString &path, const QList<QList<QVariant>> &rows)
{
    QStringList strings;
    QString sheet = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                                   "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                                   "<sheetData>");
    for (int r = 0; r < rows.size(); ++r) {
        sheet += QStringLiteral("<row r=\"%1\">").arg(r + 1);
        for (int c = 0; c < rows.at(r).size(); ++c) {
            const QVariant v = rows.at(r).at(c);
            if (!v.isValid())
                continue;
            const QString ref = columnName(c + 1) + QString::number(r + 1);
            if (v.type() == QVariant::String) {
                int index = strings.indexOf(v.toString());
                if (index < 0) {
                    strings.append(v.toString());
                    index = strings.size() - 1;
                }
                sheet += QStringLiteral("<c r=\"%1\" t=\"s\"><v>%2</v></c>").arg(ref).arg(index);
            } else if (v.type() == QVariant::Bool) {
                sheet += QStringLiteral("<c r=\"%1\" t=\"b\"><v>%2</v></c>").arg(ref).arg(v.toBool() ? 1 : 0);
            } else {
                sheet += QStringLiteral("<c r=\"%1\"><v>%2</v></c>").arg(ref, QString::number(v.toDouble(), 'g', 17));
            }
        }
        sheet += QStringLiteral("</row>");
    }
    sheet += QStringLiteral("</sheetData></worksheet>");

    QString shared = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                                    "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">");
    for (const QString &s : qAsConst(strings))
        shared += QStringLiteral("<si><t xml:space=\"preserve\">%1</t></si>").arg(escaped(s));
    shared += QStringLiteral("</sst>");

    QuaZip zip(path);
    if (!zip.open(QuaZip::mdCreate))
        return false;
    bool ok = addPart(zip, QStringLiteral("[Content_Types].xml"),
                  QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                                 "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                                 "<Default Extension=\"rels\" "
                                 "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                                 "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>"))
        && addPart(zip, QStringLiteral("_rels/.rels"),
            QStringLiteral(
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                "<Relationship Id=\"rId1\" "
                "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
                "Target=\"xl/workbook.xml\"/></Relationships>"))
        && addPart(zip, QStringLiteral("xl/workbook.xml"),
            QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                           "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                           "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                           "<sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"))
        && addPart(zip, QStringLiteral("xl/_rels/workbook.xml.rels"),
            QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                           "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                           "<Relationship Id=\"rId1\" "
                           "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
                           "Target=\"worksheets/sheet1.xml\"/></Relationships>"))
        && addPart(zip, QStringLiteral("xl/worksheets/sheet1.xml"), sheet)
        && addPart(zip, QStringLiteral("xl/sharedStrings.xml"), shared);
    zip.close();
    return ok && zip.getZipError() == ZIP_OK;
}

bool damageXlsxPart(const QString &path, const QString &part, XlsxDamage damage)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray zip = file.readAll();
    const QByteArray name = part.toUtf8();
    // Local header: signature, CRC at 14, uncompressed size at 22, name length at 26, name at 30.
    // Central directory entry: CRC at 16, uncompressed size at 24, name length at 28, name at 46.
    struct Header
    {
        QByteArray signature;
        int crc, size, nameLength, name;
    };
    const Header headers[]
        = { { QByteArray("PK\x03\x04", 4), 14, 22, 26, 30 }, { QByteArray("PK\x01\x02", 4), 16, 24, 28, 46 } };
    int changed = 0;
    for (const Header &h : headers) {
        for (int at = zip.indexOf(h.signature); at >= 0; at = zip.indexOf(h.signature, at + 4)) {
            if (at + h.name > zip.size())
                break;
            const int length
                = qFromLittleEndian<quint16>(reinterpret_cast<const uchar *>(zip.constData() + at + h.nameLength));
            if (zip.mid(at + h.name, length) != name)
                continue;
            damageField(zip, at + (damage == XlsxDamage::LongerSize ? h.size : h.crc), damage);
            ++changed;
        }
    }
    if (changed != 2 || !file.seek(0))
        return false;
    return file.write(zip) == zip.size();
}

QString importFixture(const QString &answer, const QString &folder, const QList<QList<QVariant>> &sheet, int damage)
{
    if (answer != QLatin1String("written"))
        return answer;
    const QString path = folder + QStringLiteral("/sheet.xlsx");
    if (!writeXlsx(path, sheet))
        return QString();
    if (damage >= 0 && !damageXlsxPart(path, QStringLiteral("xl/sharedStrings.xml"), XlsxDamage(damage)))
        return QString();
    return path;
}
