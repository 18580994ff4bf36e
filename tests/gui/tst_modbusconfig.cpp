#include "modalcloser.h"
#include "modbusconfig.h"
#include "modbusconfigcodec.h"
#include "promptrecorder.h"
#include "tempappdir.h"
#include "testsupport.h"
#include "ui_modbusconfig.h"
#include "xlsxwriter.h"

#include <QComboBox>
#include <QPointer>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>

Q_DECLARE_METATYPE(QList<QList<QVariant>>)

namespace {

QString fixture(const QString &name)
{
    return QStringLiteral(RIVUDO_SOURCE_DIR "/tests/fixtures/xlsx/") + name;
}

struct Page
{
    Page(int rowLimit = 16, int in = 256, int out = 256)
    {
        page.Maxslotnum = rowLimit;
        page.Maxinputsize = in;
        page.Maxoutputsize = out;
    }
    QTableWidget *table() const { return page.ui->tableWidget; }
    QComboBox *function(int row) const { return qobject_cast<QComboBox *>(table()->cellWidget(row, 1)); }
    QSpinBox *spin(int row, int column) const { return qobject_cast<QSpinBox *>(table()->cellWidget(row, column)); }
    QString text(int row, int column) const { return table()->item(row, column)->text(); }
    QString totals() const
    {
        return page.ui->lineEdit_sumslots->text() + "/" + page.ui->lineEdit_suminsize->text() + "/"
            + page.ui->lineEdit_sumoutsize->text();
    }
    modbusconfig page;
};

} // namespace

class TestModbusConfig : public QObject
{
    Q_OBJECT
private slots:
    void emptyPage()
    {
        Page p;
        QCOMPARE(p.page.title, QStringLiteral("Modbus配置"));
        QCOMPARE(p.totals(), QStringLiteral("0/0/0"));
        QCOMPARE(p.page.getParamData(), QByteArray());
        QCOMPARE(p.page.setParamData(QByteArray()), 0);
        p.page.updateAddresses();
        QCOMPARE(p.totals(), QStringLiteral("0/2/2"));
    }

    // Rows are given as the block a device sends: slave, code, register, length per record.
    void renumbering_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<QStringList>("inTexts");
        QTest::addColumn<QStringList>("outTexts");
        QTest::addColumn<QString>("totals");
        QTest::newRow("01 x9") << QByteArray::fromHex("000101000009") << QStringList { "3...4" } << QStringList { "" }
                               << "1/4/2";
        QTest::newRow("01 x8") << QByteArray::fromHex("000101000008") << QStringList { "3" } << QStringList { "" }
                               << "1/3/2";
        QTest::newRow("03 x2, 16 x3, 04 x1")
            << QByteArray::fromHex("000103000002"
                                   "010110000003"
                                   "020104000001")
            << QStringList { "3...6", "", "7...8" } << QStringList { "", "3...8", "" } << "3/8/8";
        QTest::newRow("15 x17, 05, 06") << QByteArray::fromHex("00010f000011"
                                                               "010105000001"
                                                               "020106000001")
                                        << QStringList { "", "", "" } << QStringList { "3...5", "6", "7...8" }
                                        << "3/2/8";
    }
    void renumbering()
    {
        QFETCH(QByteArray, block);
        QFETCH(QStringList, inTexts);
        QFETCH(QStringList, outTexts);
        QFETCH(QString, totals);
        PromptRecorder prompts;
        Page p;
        QCOMPARE(p.page.setParamData(block), block.size());
        QCOMPARE(p.table()->rowCount(), inTexts.size());
        for (int row = 0; row < inTexts.size(); ++row) {
            QCOMPARE(p.text(row, 4), inTexts.at(row));
            QCOMPARE(p.text(row, 5), outTexts.at(row));
        }
        QCOMPARE(p.totals(), totals);
        Prompts::showPending();
        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(p.page.getParamData(), block);
    }

    void readBlock()
    {
        Page p;
        const QByteArray block = QByteArray::fromHex("000706123401"
                                                     "ff0103000a05"
                                                     "0203");
        QCOMPARE(p.page.setParamData(block), block.size());
        QCOMPARE(p.table()->rowCount(), 2);
        QCOMPARE(p.spin(0, 0)->value(), 7);
        QCOMPARE(p.function(0)->currentData().toInt(), 6);
        QCOMPARE(p.spin(0, 2)->value(), 0x1234);
        QCOMPARE(p.spin(0, 3)->value(), 1);
        QVERIFY(p.spin(0, 3)->isEnabled()); // a stored length is editable whatever the code
        QCOMPARE(p.spin(1, 0)->value(), 1);
        QCOMPARE(p.function(1)->currentData().toInt(), 3);
        QCOMPARE(p.spin(1, 2)->value(), 10);
        QCOMPARE(p.spin(1, 3)->value(), 5);
        QCOMPARE(p.page.getParamData(),
            QByteArray::fromHex("000706123401"
                                "010103000a05"));

        // A block is appended to the rows already there.
        QCOMPARE(p.page.setParamData(QByteArray::fromHex("00090f000010")), 6);
        QCOMPARE(p.table()->rowCount(), 3);
        QCOMPARE(p.page.getParamData().mid(12), QByteArray::fromHex("02090f000010"));
    }

    void unknownCodeReadsAs01()
    {
        Page p;
        p.page.setParamData(QByteArray::fromHex("000107000004"));
        QCOMPARE(p.function(0)->currentIndex(), 0);
        QCOMPARE(p.page.getParamData(), QByteArray::fromHex("000101000004"));
    }

    void functionChange()
    {
        Page p;
        p.page.additem(false);
        p.page.additem(false);
        QCOMPARE(p.table()->rowCount(), 2);
        p.spin(0, 3)->setValue(9);
        p.spin(1, 3)->setValue(7);
        QCOMPARE(p.text(1, 4), QStringLiteral("5"));
        // The table's current row is row 1; the change of row 0's box acts on row 0.
        p.table()->setCurrentCell(1, 0);
        p.function(0)->setCurrentIndex(4); // 05
        QCOMPARE(p.spin(0, 3)->value(), 1);
        QVERIFY(!p.spin(0, 3)->isEnabled());
        QCOMPARE(p.spin(1, 3)->value(), 7);
        QCOMPARE(p.text(0, 5), QStringLiteral("3"));
        QCOMPARE(p.text(1, 4), QStringLiteral("3"));
        p.function(0)->setCurrentIndex(2); // 03
        QCOMPARE(p.spin(0, 3)->value(), 1);
        QVERIFY(p.spin(0, 3)->isEnabled());
        QCOMPARE(p.text(0, 4), QStringLiteral("3...4"));
        QCOMPARE(p.text(1, 4), QStringLiteral("5"));
    }

    void deleteRenumbers()
    {
        Page p;
        p.page.setParamData(QByteArray::fromHex("000103000002"
                                                "000103000001"));
        p.table()->setCurrentCell(0, 0);
        p.page.delitem(false);
        QCOMPARE(p.table()->rowCount(), 1);
        QCOMPARE(p.text(0, 4), QStringLiteral("3...4"));
        QCOMPARE(p.page.getParamData(), QByteArray::fromHex("000103000001"));
        p.table()->setCurrentCell(-1, -1);
        p.page.delitem(false);
        QCOMPARE(p.table()->rowCount(), 1);
    }

    void slotLimit()
    {
        PromptRecorder prompts;
        Page p(4);
        for (int i = 0; i < 4; ++i)
            p.page.additem(false);
        QVERIFY(prompts.messages.isEmpty());
        p.page.additem(false);
        QCOMPARE(p.table()->rowCount(), 4);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.lastCaption(), QStringLiteral("错误"));
        QCOMPARE(prompts.lastText(), QStringLiteral("超出了槽数量"));
        QCOMPARE(p.page.additem(1, 3, 0, 1), -1);
    }

    void inputOverflow()
    {
        PromptRecorder prompts;
        Page p(16, 10, 10);
        // Only inputs: the output image, which has no rows, must not warn.
        p.page.setParamData(QByteArray::fromHex("000103000003"));
        // Warnings of a renumbering open once the call that caused it is over.
        Prompts::showPending();
        QVERIFY(prompts.messages.isEmpty());
        p.page.additem(false); // starts at 9: still below the limit
        Prompts::showPending();
        QVERIFY(prompts.messages.isEmpty());
        p.page.additem(false); // starts at 10
        Prompts::showPending();
        QVERIFY(!prompts.messages.isEmpty());
        QCOMPARE(prompts.lastText(), QStringLiteral("超出了输入数据长度"));
        QCOMPARE(p.table()->rowCount(), 3);
        QCOMPARE(p.spin(2, 3)->value(), 1);
    }

    // An overflow cuts back the row whose field changed, whichever row is current.
    void overflowResetsTheEditedRow_data()
    {
        QTest::addColumn<int>("current");
        QTest::newRow("other row current") << 1;
        QTest::newRow("edited row current") << 0;
        QTest::newRow("no current row") << -1;
    }
    void overflowResetsTheEditedRow()
    {
        QFETCH(int, current);
        PromptRecorder prompts;
        Page p(16, 5, 100);
        p.page.setParamData(QByteArray::fromHex("000101000001"
                                                "000103000002"));
        Prompts::showPending();
        QVERIFY(prompts.messages.isEmpty());
        p.table()->setCurrentCell(current, current < 0 ? -1 : 0);
        p.spin(0, 3)->setValue(17);
        Prompts::showPending();
        QVERIFY(!prompts.messages.isEmpty());
        QCOMPARE(prompts.lastText(), QStringLiteral("超出了输入数据长度"));
        QCOMPARE(p.spin(0, 3)->value(), 1);
        QCOMPARE(p.spin(1, 3)->value(), 2);
        QCOMPARE(p.text(0, 4), QStringLiteral("3"));
        QCOMPARE(p.text(1, 4), QStringLiteral("4...7"));
        QCOMPARE(p.page.getParamData(),
            QByteArray::fromHex("000101000001"
                                "010103000002"));
    }

    // The overflow warnings of an edit made in a field of the shown table open as real boxes,
    // which take the focus from that field while they are open.
    void overflowFromAFieldInARealBox_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<int>("inLimit");
        QTest::addColumn<int>("outLimit");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QByteArray>("after");
        const QString in = QStringLiteral("超出了输入数据长度");
        const QString out = QStringLiteral("超出了输出数据长度");
        QTest::newRow("length typed") << QByteArray::fromHex("000101000001"
                                                             "000103000002")
                                      << 5 << 100 << 3 << "17" << QStringList { in }
                                      << QByteArray::fromHex("000101000001"
                                                             "010103000002");
        QTest::newRow("length typed, both images over") << QByteArray::fromHex("000101000001"
                                                                               "000103000002"
                                                                               "000110000001"
                                                                               "000110000001")
                                                        << 5 << 3 << 3 << "17" << QStringList { out, in, out }
                                                        << QByteArray::fromHex("000101000001"
                                                                               "010103000002"
                                                                               "020110000001"
                                                                               "030110000001");
        QTest::newRow("function stepped") << QByteArray::fromHex("000102000008"
                                                                 "000103000001")
                                          << 5 << 100 << 1 << "down" << QStringList { in }
                                          << QByteArray::fromHex("000103000001"
                                                                 "010103000001");
    }
    void overflowFromAFieldInARealBox()
    {
        QFETCH(QByteArray, block);
        QFETCH(int, inLimit);
        QFETCH(int, outLimit);
        QFETCH(int, column);
        QFETCH(QString, keys);
        QFETCH(QStringList, boxes);
        QFETCH(QByteArray, after);
        Page p(16, inLimit, outLimit);
        {
            PromptRecorder quiet;
            p.page.setParamData(block);
        }
        p.page.resize(800, 400);
        QPointer<QWidget> field = p.table()->cellWidget(0, column);
        QVERIFY(TestSupport::focusInActiveWindow(&p.page, field));

        ModalCloser closer;
        TestSupport::typeKeys(field, keys);
        QTRY_COMPARE(closer.closed.size(), boxes.size());
        QStringList texts;
        for (const ModalCloser::Box &box : qAsConst(closer.closed))
            texts << box.text;
        QCOMPARE(texts, boxes);
        QCOMPARE(closer.deepest, 1);
        QVERIFY(field);
        QCOMPARE(p.page.getParamData(), after);
    }

    void outputOverflowWithoutCurrentRow()
    {
        PromptRecorder prompts;
        Page p(16, 100, 3);
        p.page.setParamData(QByteArray::fromHex("000110000001"
                                                "000110000001"));
        p.table()->setCurrentCell(-1, -1);
        p.page.updateAddresses();
        Prompts::showPending();
        QCOMPARE(prompts.lastText(), QStringLiteral("超出了输出数据长度"));
        QCOMPARE(p.table()->rowCount(), 2);
    }

    void importWorkbook()
    {
        PromptRecorder prompts;
        Page p(10);
        p.page.setParamData(QByteArray::fromHex("000101000001"));
        prompts.fileAnswers.enqueue(fixture("modbus_zh.xlsx"));
        p.page.on_pushButton_clicked();
        // Heading and English rows are skipped; the row without a length ends the import.
        QCOMPARE(p.table()->rowCount(), 3);
        QCOMPARE(p.page.getParamData(),
            QByteArray::fromHex("00030300640a"
                                "010105ffff01"
                                "020110000002"));
        QVERIFY(!p.spin(1, 3)->isEnabled());
        QVERIFY(p.spin(0, 3)->isEnabled());
        QCOMPARE(p.totals(), QStringLiteral("3/22/7"));
    }

    void importLimitedBySlots()
    {
        PromptRecorder prompts;
        Page p(3);
        prompts.fileAnswers.enqueue(fixture("modbus_zh.xlsx"));
        p.page.on_pushButton_clicked();
        // Sheet rows 1 and 2 only: the heading and one request.
        QCOMPARE(p.table()->rowCount(), 1);
        Prompts::showPending();
        QVERIFY(prompts.messages.isEmpty());
    }

    // A workbook that gives no row leaves the table and its bytes as they were, and says so
    // (a cancelled dialog says nothing).
    void importKeepsTableOnBadFile_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QList<QList<QVariant>>>("sheet");
        QTest::addColumn<int>("damage");
        QTest::addColumn<QString>("message");
        const QString noRows = QStringLiteral("Excel文件中没有可导入的行，表格未改变");
        const QString unreadable = QStringLiteral("Excel文件无法读取，表格未改变");
        const QList<QList<QVariant>> none;
        QTest::newRow("cancelled") << QString() << none << -1 << QString();
        QTest::newRow("not a workbook") << fixture("broken.xlsx") << none << -1 << unreadable;
        QTest::newRow("missing") << fixture("no-such-file.xlsx") << none << -1 << unreadable;
        QTest::newRow("serial gateway workbook") << fixture("mscom_zh.xlsx") << none << -1 << noRows;
        QTest::newRow("empty sheet") << fixture("empty.xlsx") << none << -1 << noRows;
        QTest::newRow("heading only") << QStringLiteral("written")
                                      << QList<QList<QVariant>> { { "从机地址", "功能码", "寄存器地址", "数据长度" } }
                                      << -1 << noRows;
        QTest::newRow("other language") << QStringLiteral("written")
                                        << QList<QList<QVariant>> { { "Slave", "Fun Code", "Reg", "Len" },
                                               { 1, "03 Read holding Reg", 0, 2 } }
                                        << -1 << noRows;
        QTest::newRow("first row incomplete")
            << QStringLiteral("written")
            << QList<QList<QVariant>> { { 1, "03 读保持寄存器", 0 }, { 1, "03 读保持寄存器", 0, 2 } } << -1 << noRows;
        // Rows the table would take, in a workbook whose shared strings are damaged.
        const QList<QList<QVariant>> good { { 1, "03 读保持寄存器", 0, 2 } };
        QTest::newRow("shared strings cut short")
            << QStringLiteral("written") << good << int(XlsxDamage::LongerSize) << unreadable;
        QTest::newRow("shared strings fail their checksum")
            << QStringLiteral("written") << good << int(XlsxDamage::WrongCrc) << unreadable;
    }
    void importKeepsTableOnBadFile()
    {
        QFETCH(QString, answer);
        QFETCH(QList<QList<QVariant>>, sheet);
        QFETCH(int, damage);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const bool written = answer == QLatin1String("written");
        answer = importFixture(answer, dir.path(), sheet, damage);
        QVERIFY(!written || !answer.isEmpty());
        PromptRecorder prompts;
        Page p;
        const QByteArray block = QByteArray::fromHex("000101000001"
                                                     "010210000004");
        p.page.setParamData(block);
        p.page.updateAddresses();
        const QString totals = p.totals();
        prompts.fileAnswers.enqueue(answer);
        p.page.on_pushButton_clicked();
        QCOMPARE(p.page.getParamData(), block);
        QCOMPARE(p.table()->rowCount(), 2);
        QCOMPARE(p.totals(), totals);
        QCOMPARE(prompts.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(prompts.lastCaption(), QStringLiteral("错误"));
            QCOMPARE(prompts.lastText(), message);
        }
    }

    void templateCopy_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("source");
        QTest::newRow("Chinese") << 0 << "/Template/modbusconfig_Zh.xlsx";
        QTest::newRow("English") << 1 << "/Template/modbusconfig_En.xlsx";
    }
    void templateCopy()
    {
        QFETCH(int, language);
        QFETCH(QString, source);
        TempAppDir dir;
        dir.write("/Template/modbusconfig_Zh.xlsx", "zh");
        dir.write("/Template/modbusconfig_En.xlsx", "en");
        PromptRecorder prompts;
        Page p;
        p.page.language = language;
        const QString target = dir.filePath("/out.xlsx");
        dir.write("/out.xlsx", "old content that is longer");
        prompts.fileAnswers.enqueue(target);
        p.page.on_pushButton_2_clicked();
        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(dir.read("/out.xlsx"), dir.read(source));
        QVERIFY(dir.exists(source));
    }

    void templateFailures()
    {
        TempAppDir dir;
        PromptRecorder prompts;
        Page p;
        // Cancelled: nothing happens.
        prompts.fileAnswers.enqueue(QString());
        p.page.on_pushButton_2_clicked();
        QVERIFY(prompts.messages.isEmpty());
        prompts.fileAnswers.enqueue(dir.filePath("/out.xlsx"));
        p.page.on_pushButton_2_clicked();
        QCOMPARE(prompts.lastText(), QStringLiteral("模板文件丢失，创建文件失败"));
        dir.write("/Template/modbusconfig_Zh.xlsx", "zh");
        prompts.fileAnswers.enqueue(dir.filePath("/no/such/folder/out.xlsx"));
        p.page.on_pushButton_2_clicked();
        QCOMPARE(prompts.lastText(), QStringLiteral("创建文件失败"));
        QCOMPARE(dir.read("/Template/modbusconfig_Zh.xlsx"), QByteArray("zh"));
    }
};

RIVUDO_TEST_MAIN(TestModbusConfig)
#include "tst_modbusconfig.moc"
