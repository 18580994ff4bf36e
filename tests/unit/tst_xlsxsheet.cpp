#include "testsupport.h"
#include "xlsxsheet.h"
#include "xlsxwriter.h"

#include <QBuffer>

namespace {

QString fixture(const char *name)
{
    return QStringLiteral(RIVUDO_SOURCE_DIR "/tests/fixtures/xlsx/") + QLatin1String(name);
}

} // namespace

class TestXlsxSheet : public QObject
{
    Q_OBJECT

private slots:
    // Written by openpyxl: inline strings, numbers, booleans, absent cells, a second sheet.
    void independentWriter_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("text");
        QTest::newRow("header text") << 1 << 1 << true << "Slave";
        QTest::newRow("number") << 2 << 1 << true << "1";
        QTest::newRow("text of digits keeps its zero") << 2 << 2 << true << "03";
        QTest::newRow("chinese text") << 2 << 5 << true << QString::fromUtf8("温度");
        QTest::newRow("boolean true") << 2 << 6 << true << "true";
        QTest::newRow("boolean false") << 3 << 6 << true << "false";
        QTest::newRow("empty cell") << 3 << 5 << false << "";
        QTest::newRow("fraction") << 4 << 4 << true << "2.5";
        QTest::newRow("largest register") << 4 << 3 << true << "65535";
        QTest::newRow("empty row") << 5 << 1 << false << "";
        QTest::newRow("after the gap") << 6 << 1 << true << "after a gap";
        QTest::newRow("second sheet is not read") << 2 << 2 << true << "03";
    }
    void independentWriter()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(bool, present);
        QFETCH(QString, text);
        XlsxSheet sheet;
        QVERIFY2(sheet.load(fixture("mixed.xlsx")), qPrintable(sheet.error()));
        QCOMPARE(sheet.hasCell(row, column), present);
        QCOMPARE(sheet.text(row, column), text);
        QCOMPARE(sheet.rowCount(), 6);
    }

    // Laid out as Excel does: shared strings with rich and phonetic runs, first sheet not sheet1.xml.
    void sharedStrings_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("text");
        QTest::newRow("shared") << 1 << 1 << true << QString::fromUtf8("读保持寄存器");
        QTest::newRow("rich runs joined") << 1 << 2 << true << "Rich text";
        QTest::newRow("phonetic hint left out") << 1 << 3 << true << QString::fromUtf8("漢字");
        QTest::newRow("spaces kept") << 1 << 4 << true << "  padded  ";
        QTest::newRow("number") << 1 << 5 << true << "3.25";
        QTest::newRow("string index out of range") << 1 << 6 << false << "";
        QTest::newRow("formatted empty cell is absent") << 2 << 1 << false << "";
        QTest::newRow("formula text") << 3 << 27 << true << "formula text";
        QTest::newRow("error value") << 3 << 2 << true << "#DIV/0!";
    }
    void sharedStrings()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(bool, present);
        QFETCH(QString, text);
        XlsxSheet sheet;
        QVERIFY2(sheet.load(fixture("shared.xlsx")), qPrintable(sheet.error()));
        QCOMPARE(sheet.hasCell(row, column), present);
        QCOMPARE(sheet.text(row, column), text);
        QVERIFY(!sheet.hasCell(1, 1) || sheet.text(1, 1) != "12345");
    }

    void unreadableFiles_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("not a zip") << fixture("make_workbooks.py");
        QTest::newRow("broken zip") << fixture("broken.xlsx");
        QTest::newRow("missing") << fixture("no-such.xlsx");
    }
    void unreadableFiles()
    {
        QFETCH(QString, path);
        XlsxSheet sheet;
        QVERIFY(sheet.load(fixture("mixed.xlsx")));
        QVERIFY(!sheet.load(path));
        QVERIFY(!sheet.error().isEmpty());
        QVERIFY(!sheet.hasCell(1, 1));
        QCOMPARE(sheet.rowCount(), 0);
    }

    // A part that inflates to fewer bytes than its directory entry says, or whose checksum fails,
    // is damaged: the workbook is not read at all rather than read with cells missing.
    void damagedPart_data()
    {
        QTest::addColumn<QString>("part");
        QTest::addColumn<int>("damage");
        for (const char *part : { "xl/sharedStrings.xml", "xl/worksheets/sheet1.xml", "xl/workbook.xml" }) {
            QTest::addRow("%s shorter than its entry", part) << part << int(XlsxDamage::LongerSize);
            QTest::addRow("%s fails its checksum", part) << part << int(XlsxDamage::WrongCrc);
        }
    }
    void damagedPart()
    {
        QFETCH(QString, part);
        QFETCH(int, damage);
        QTemporaryDir dir;
        const QString path = dir.filePath("t.xlsx");
        QVERIFY(writeXlsx(path, { { "Slave", "Function" }, { 1, "03 Read holding Reg" } }));
        XlsxSheet sheet;
        QVERIFY2(sheet.load(path), qPrintable(sheet.error()));
        QVERIFY(damageXlsxPart(path, part, XlsxDamage(damage)));
        QVERIFY(!sheet.load(path));
        QVERIFY(!sheet.error().isEmpty());
        QVERIFY(!sheet.hasCell(2, 1));
        QCOMPARE(sheet.rowCount(), 0);
    }

    void emptyWorkbook()
    {
        XlsxSheet sheet;
        QVERIFY(sheet.load(fixture("empty.xlsx")));
        QCOMPARE(sheet.rowCount(), 0);
    }

    void testWriterRoundTrip()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("t.xlsx");
        QVERIFY(writeXlsx(path, { { "a", 1, true }, { QVariant(), "b & <c>", 0.5 } }));
        XlsxSheet sheet;
        QVERIFY2(sheet.load(path), qPrintable(sheet.error()));
        QCOMPARE(sheet.text(1, 1), QString("a"));
        QCOMPARE(sheet.value(1, 2).toDouble(), 1.0);
        QCOMPARE(sheet.value(1, 3), QVariant(true));
        QVERIFY(!sheet.hasCell(2, 1));
        QCOMPARE(sheet.text(2, 2), QString("b & <c>"));
        QCOMPARE(sheet.text(2, 3), QString("0.5"));
    }

    void references_data()
    {
        QTest::addColumn<QString>("ref");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::newRow("A1") << "A1" << 1 << 1;
        QTest::newRow("Z9") << "Z9" << 9 << 26;
        QTest::newRow("AA3") << "AA3" << 3 << 27;
        QTest::newRow("XFD1048576") << "XFD1048576" << 1048576 << 16384;
        QTest::newRow("no row") << "AB" << 0 << 0;
        QTest::newRow("no column") << "12" << 0 << 0;
        QTest::newRow("column too far") << "XFE1" << 0 << 0;
        QTest::newRow("row zero") << "A0" << 0 << 0;
        QTest::newRow("sign") << "A-1" << 0 << 0;
    }
    void references()
    {
        QFETCH(QString, ref);
        QFETCH(int, row);
        QFETCH(int, column);
        int r = 0;
        int c = 0;
        QCOMPARE(XlsxSheet::parseReference(ref, &r, &c), row > 0);
        if (row > 0) {
            QCOMPARE(r, row);
            QCOMPARE(c, column);
        }
    }
};

RIVUDO_TEST_MAIN(TestXlsxSheet)
#include "tst_xlsxsheet.moc"
