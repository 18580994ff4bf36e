#include "iopoint.h"
#include "modalcloser.h"
#include "module.h"
#include "mscomm_config.h"
#include "mscomm_configcodec.h"
#include "pagelookup.h"
#include "promptrecorder.h"
#include "tempappdir.h"
#include "testsupport.h"
#include "ui_mscomm_config.h"
#include "xlsxwriter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
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

QByteArray record(
    int port, int slave, int code, int inLen, int outLen, int trigger, int swap, int reg, int poll, int timeout)
{
    MscomBlock block;
    MscomRequestRow row;
    row.port = quint8(port);
    row.slave = quint8(slave);
    row.code = quint8(code);
    row.inLen = quint8(inLen);
    row.outLen = quint8(outLen);
    row.trigger = quint8(trigger);
    row.swap = quint8(swap);
    row.reg = quint16(reg);
    row.pollTime = quint32(poll);
    row.timeout = quint32(timeout);
    block.rows.append(row);
    return encodeMscomBlock(block).mid(2);
}

// A module without a description, so that the page's I/O points have somewhere to go.
struct Page
{
    explicit Page(int rowLimit = 32, int in = 512, int out = 512)
        : owner("NONE", "NOFAMILY")
    {
        page.Maxslotnum = rowLimit;
        page.Maxinputsize = in;
        page.Maxoutputsize = out;
        page.owner = &owner;
    }
    QTableWidget *table() const { return page.ui->tableWidget; }
    QComboBox *combo(int row, int column) const { return qobject_cast<QComboBox *>(table()->cellWidget(row, column)); }
    QSpinBox *spin(int row, int column) const { return qobject_cast<QSpinBox *>(table()->cellWidget(row, column)); }
    QCheckBox *swap(int row) const { return table()->cellWidget(row, 4)->findChild<QCheckBox *>(); }
    QString text(int row, int column) const { return table()->item(row, column)->text(); }
    static QString field(QWidget *w, int value) { return QString::number(value) + (w->isEnabled() ? "" : "-"); }
    // port slave code register swap in out trigger poll timeout ("-" marks a disabled field)
    QString summary(int row) const
    {
        return QStringList(
            { QString::number(combo(row, 0)->currentIndex()), field(spin(row, 1), spin(row, 1)->value()),
                QString::number(combo(row, 2)->currentData().toInt()), field(spin(row, 3), spin(row, 3)->value()),
                field(swap(row), swap(row)->isChecked()), field(spin(row, 5), spin(row, 5)->value()),
                field(spin(row, 6), spin(row, 6)->value()), field(combo(row, 7), combo(row, 7)->currentIndex()),
                QString::number(spin(row, 8)->value()), QString::number(spin(row, 9)->value()) })
            .join(' ');
    }
    QStringList points() const
    {
        QStringList out;
        for (const IoPoint *p : owner.ioPoints)
            out << QString("%1 %2 %3 %4").arg(p->address, p->name).arg(p->dataType).arg(p->format);
        return out;
    }
    QString totals() const
    {
        return page.ui->lineEdit_sumslots->text() + "/" + page.ui->lineEdit_suminsize->text() + "/"
            + page.ui->lineEdit_sumoutsize->text();
    }
    module owner;
    mscomm_config page;
};

} // namespace

class TestMscommConfig : public QObject
{
    Q_OBJECT
private slots:
    void emptyPage()
    {
        Page p;
        QCOMPARE(p.page.title, QStringLiteral("通讯配置"));
        QCOMPARE(p.totals(), QStringLiteral("0/0/0"));
        QVERIFY(!p.page.ui->swapcheckBox->isEnabled());
        QCOMPARE(p.page.getParamData(), QByteArray::fromHex("0000"));
        p.page.ui->checkBox_state->setChecked(true);
        QVERIFY(p.page.ui->swapcheckBox->isEnabled());
        p.page.ui->checkBox_ctl->setChecked(true);
        p.page.ui->swapcheckBox->setChecked(true);
        QCOMPARE(p.page.getParamData(), QByteArray::fromHex("0202"));
        p.page.ui->checkBox_state->setChecked(false);
        QCOMPARE(p.page.getParamData(), QByteArray::fromHex("0002"));
        p.page.ui->checkBox_ctl->setChecked(false);
        QVERIFY(!p.page.ui->swapcheckBox->isEnabled());
        QVERIFY(!p.page.ui->swapcheckBox->isChecked());
        QVERIFY(p.owner.ioPoints.isEmpty());
    }

    void record()
    {
        Page p;
        const QByteArray block = QByteArray::fromHex("0000"
                                                     "010005030a0000003412"
                                                     "2c010000"
                                                     "64000000");
        QCOMPARE(p.page.setParamData(block), 20);
        QCOMPARE(p.summary(0), QStringLiteral("1 5 3 4660 0 10 0- 0- 300 100"));
        QCOMPARE(p.page.getParamData(), block);
    }

    void readBlock_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<QString>("checks"); // state ctl swap
        QTest::addColumn<QString>("summary");
        QTest::newRow("state word") << QByteArray::fromHex("0100") + ::record(0, 1, 3, 2, 0, 1, 1, 7, 300, 100) << "100"
                                    << "0 1 3 7 1 2 0- 0- 300 100";
        QTest::newRow("swapped control word")
            << QByteArray::fromHex("0002") + ::record(1, 4, 16, 0, 3, 1, 0, 7, 5, 99999) << "011"
            << "1 4 16 7 0 0- 3 1 10 10000";
        QTest::newRow("negative head byte")
            << QByteArray::fromHex("ff01") + ::record(0, 1, 5, 0, 1, 0, 0, 0, 300, 100) << "010"
            << "0 1 5 0 0 0- 1- 0 300 100";
        QTest::newRow("odd port and trigger")
            << QByteArray::fromHex("0000") + ::record(7, 9, 15, 9, 20, 3, 0, 1, 300, 100) << "000"
            << "0 9 15 1 0 0- 20 0 300 100";
        QTest::newRow("trigger in the low two bits")
            << QByteArray::fromHex("0000") + ::record(0, 1, 16, 0, 2, 5, 0, 0, 300, 100) << "000"
            << "0 1 16 0 0 0- 2 1 300 100";
        QTest::newRow("free protocol keeps zero lengths")
            << QByteArray::fromHex("0000") + ::record(0, 0, 0, 0, 0, 1, 1, 0, 300, 100) << "000"
            << "0 0- 0 0- 1- 0 0 1 300 100";
        QTest::newRow("unknown code reads as 01")
            << QByteArray::fromHex("0000") + ::record(0, 2, 99, 16, 0, 0, 0, 0, 300, 100) << "000"
            << "0 2 1 0 0 16 0- 0- 300 100";
    }
    void readBlock()
    {
        QFETCH(QByteArray, block);
        QFETCH(QString, checks);
        QFETCH(QString, summary);
        Page p;
        QCOMPARE(p.page.setParamData(block), block.size());
        QCOMPARE(QString("%1%2%3")
                     .arg(int(p.page.ui->checkBox_state->isChecked()))
                     .arg(int(p.page.ui->checkBox_ctl->isChecked()))
                     .arg(int(p.page.ui->swapcheckBox->isChecked())),
            checks);
        QCOMPARE(p.table()->rowCount(), 1);
        QCOMPARE(p.summary(0), summary);
        // Written and read again, the page shows the same.
        Page again;
        again.page.setParamData(p.page.getParamData());
        QCOMPARE(again.summary(0), summary);
    }

    void shortBlocks_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<int>("rows");
        QTest::newRow("one head byte") << QByteArray::fromHex("01") << 0;
        QTest::newRow("part record") << QByteArray::fromHex("0000"
                                                            "0100050300")
                                     << 0;
        QTest::newRow("record and part") << QByteArray::fromHex("0000") + ::record(0, 1, 3, 1, 0, 0, 0, 0, 300, 100)
                + QByteArray(17, '\1') << 1;
    }
    void shortBlocks()
    {
        QFETCH(QByteArray, block);
        QFETCH(int, rows);
        Page p;
        QCOMPARE(p.page.setParamData(block), block.size());
        QCOMPARE(p.table()->rowCount(), rows);
    }

    void appendsToTable()
    {
        Page p;
        p.page.additem(false);
        p.page.setParamData(QByteArray::fromHex("0000") + ::record(1, 9, 4, 1, 0, 0, 0, 0, 300, 100));
        QCOMPARE(p.table()->rowCount(), 2);
        QCOMPARE(p.spin(1, 1)->value(), 9);
    }

    void addedRows()
    {
        Page p;
        p.page.additem(false);
        QCOMPARE(p.summary(0), QStringLiteral("0 1 3 0 0 1 0- 0- 300 100"));
        p.combo(0, 0)->setCurrentIndex(1);
        p.spin(0, 5)->setValue(5);
        p.page.additem(false);
        QCOMPARE(p.summary(1), QStringLiteral("1 2 3 0 0 5 0- 0- 300 100"));
        QCOMPARE(p.page.description(1)->text(), QString());
    }

    void stateArea()
    {
        Page p;
        p.page.additem(false);
        p.spin(0, 5)->setValue(2);
        p.page.ui->checkBox_state->setChecked(true);
        QCOMPARE(p.text(0, 10), QStringLiteral("1...4"));
        QCOMPARE(p.page.ui->lineEdit_stateadd->text(), QStringLiteral("I(4..6)"));
        QCOMPARE(p.page.inputSize(), 6);
        QCOMPARE(p.totals(), QStringLiteral("1/6/0"));
        QCOMPARE(p.points(),
            QStringList({ "%IW1 slave:1_slot:0_index:0 1 1", "%IW3 slave:1_slot:0_index:2 1 1", "%IW4 state_0 1 2" }));
    }

    void ioPoints_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<QStringList>("points");
        QTest::newRow("16 coils") << QByteArray::fromHex("0000") + ::record(0, 1, 1, 16, 0, 0, 0, 0, 300, 100)
                                  << QStringList { "%IW1 slave:1_slot:0_index:0 1 2" };
        QTest::newRow("17 coils") << QByteArray::fromHex("0000") + ::record(0, 1, 1, 17, 0, 0, 0, 0, 300, 100)
                                  << QStringList { "%IW1 slave:1_slot:0_index:0 1 2",
                                         "%IW3 slave:1_slot:0_index:2 1 2" };
        QTest::newRow("free protocol, 3 in")
            << QByteArray::fromHex("0100") + ::record(0, 0, 0, 3, 0, 0, 0, 0, 300, 100)
            << QStringList { "%IB1 slave:0_slot:0_index:0 0 0", "%IB2 slave:0_slot:0_index:1 0 0",
                   "%IB3 slave:0_slot:0_index:2 0 0", "%IW4 state_0 1 2" };
        // Outputs of the first row come after every input point.
        QTest::newRow("inputs first") << QByteArray::fromHex("0001") + ::record(0, 5, 15, 0, 3, 0, 0, 0, 300, 100)
                + ::record(0, 6, 4, 1, 0, 0, 0, 0, 300, 100).replace(1, 1, "\1")
                                      << QStringList { "%IW1 slave:6_slot:1_index:0 1 1",
                                             "%QW1 slave:5_slot:0_index:0 1 2", "%QW2 Ctl_0 1 2" };
    }
    void ioPoints()
    {
        QFETCH(QByteArray, block);
        QFETCH(QStringList, points);
        Page p;
        p.page.setParamData(block);
        QCOMPARE(p.points(), points);
    }

    void controlAreaOfSeventeenRows()
    {
        Page p;
        p.page.ui->checkBox_ctl->setChecked(true);
        for (int i = 0; i < 17; ++i)
            p.page.additem(false);
        QCOMPARE(p.page.ui->lineEdit_ctladd->text(), QStringLiteral("Q(0..4)"));
        QCOMPARE(p.page.outputSize(), 4);
        const QStringList points = p.points();
        QCOMPARE(points.mid(points.size() - 2), QStringList({ "%QW0 Ctl_0 1 2", "%QW2 Ctl_2 1 2" }));
    }

    void subModuleKeepsItsPoints()
    {
        Page p;
        p.owner.kind = 1;
        p.page.additem(false);
        QVERIFY(p.owner.ioPoints.isEmpty());
        QCOMPARE(p.totals(), QStringLiteral("1/2/0"));
    }

    void functionChange()
    {
        Page p;
        p.page.additem(false);
        p.page.additem(false);
        p.table()->setCurrentCell(1, 0);
        p.combo(0, 2)->setCurrentIndex(4); // 05, on row 0 although row 1 is current
        QCOMPARE(p.summary(0), QStringLiteral("0 1 5 0 0 0- 1- 0 300 100"));
        QCOMPARE(p.summary(1), QStringLiteral("0 2 3 0 0 1 0- 0- 300 100"));
        p.combo(0, 2)->setCurrentIndex(8); // free protocol
        QCOMPARE(p.summary(0), QStringLiteral("0 0- 0 0- 0- 0 1 0- 300 100"));
        QCOMPARE(p.spin(0, 5)->maximum(), 128);
        QCOMPARE(p.spin(0, 6)->minimum(), 0);
        QCOMPARE(p.text(0, 11), QStringLiteral("1"));
    }

    // The limit warning of an edit made in a field of the shown table opens as a real box, which
    // takes the focus from that field while it is open.
    void overflowFromAFieldInARealBox_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("points");
        const QByteArray head = QByteArray::fromHex("0000");
        const QByteArray second = ::record(0, 2, 3, 1, 0, 0, 0, 0, 300, 100);
        QTest::newRow("input length typed") << head + ::record(0, 1, 3, 1, 0, 0, 0, 0, 300, 100) + second << 5 << "2"
                                            << "1...4 5...6" << 3;
        QTest::newRow("function stepped") << head + ::record(0, 1, 2, 16, 0, 0, 0, 0, 300, 100) + second << 2 << "down"
                                          << "1...32 33...34" << 17;
    }
    void overflowFromAFieldInARealBox()
    {
        QFETCH(QByteArray, block);
        QFETCH(int, column);
        QFETCH(QString, keys);
        QFETCH(QString, after);
        QFETCH(int, points);
        Page p(32, 4, 512);
        {
            PromptRecorder quiet;
            p.page.setParamData(block);
        }
        p.page.resize(1000, 400);
        QPointer<QWidget> field = p.table()->cellWidget(0, column);
        QVERIFY(TestSupport::focusInActiveWindow(&p.page, field));

        ModalCloser closer;
        TestSupport::typeKeys(field, keys);
        QTRY_COMPARE(closer.closed.size(), 1);
        QCOMPARE(closer.closed.first().caption, QStringLiteral("错误"));
        QCOMPARE(closer.closed.first().text, QStringLiteral("超出了输入数据长度"));
        QCOMPARE(closer.deepest, 1);
        QVERIFY(field);
        QCOMPARE(p.text(0, 10) + " " + p.text(1, 10), after);
        // The module's points follow the table as it is now.
        QCOMPARE(p.points().size(), points);
    }

    void limitsWarnOncePerRenumbering()
    {
        PromptRecorder prompts;
        Page p(32, 4, 512);
        p.page.additem(false);
        p.spin(0, 5)->setValue(2); // 1...4
        // Warnings of a renumbering open once the call that caused it is over.
        Prompts::showPending();
        QVERIFY(prompts.messages.isEmpty());
        p.page.additem(false); // starts at 5
        Prompts::showPending();
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.lastText(), QStringLiteral("超出了输入数据长度"));
        QCOMPARE(p.spin(1, 5)->value(), 2);
    }

    void slotLimit()
    {
        PromptRecorder prompts;
        Page p(2);
        p.page.additem(false);
        p.page.additem(false);
        p.page.additem(false);
        QCOMPARE(p.table()->rowCount(), 2);
        QCOMPARE(prompts.lastText(), QStringLiteral("超出槽数量"));
        QCOMPARE(p.page.addRowWithValues(MscomRequestRow()), -1);
        QCOMPARE(prompts.lastText(), QStringLiteral("超出了槽数量"));
    }

    void deleteRows()
    {
        Page p;
        for (int i = 0; i < 3; ++i)
            p.page.additem(false);
        p.table()->clearSelection();
        p.table()->setCurrentCell(0, 0);
        p.table()->clearSelection();
        p.page.delitem(false);
        QCOMPARE(p.table()->rowCount(), 2);
        QCOMPARE(p.spin(0, 1)->value(), 2);
        QCOMPARE(p.text(0, 10), QStringLiteral("1...2"));
        p.table()->item(0, 10)->setSelected(true);
        p.table()->item(1, 11)->setSelected(true);
        p.page.delitem(false);
        QCOMPARE(p.table()->rowCount(), 0);
        QCOMPARE(p.totals(), QStringLiteral("0/0/0"));
    }

    void importWorkbook()
    {
        PromptRecorder prompts;
        Page p(16);
        p.page.additem(false);
        prompts.fileAnswers.enqueue(fixture("mscom_zh.xlsx"));
        p.page.on_pushButton_Import_clicked();
        QCOMPARE(p.table()->rowCount(), 3);
        QCOMPARE(p.summary(0), QStringLiteral("1 7 16 100 1 0- 4 0 200 100"));
        QCOMPARE(p.summary(1), QStringLiteral("0 8 3 5 0 3 0- 0- 50 10000"));
        // A free-protocol row keeps the sheet's swap choice, disabled, as a block read gives it.
        QCOMPARE(p.summary(2), QStringLiteral("0 0- 0 0- 1- 7 7 0 200 100"));
        QCOMPARE(p.page.description(1)->text(), QStringLiteral("Level_sensor"));
        QCOMPARE(p.page.getParamData(),
            QByteArray::fromHex("0000"
                                "01000710000400016400c800000064000000"
                                "000108030300000005003200000010270000"
                                "00020000070700010000c800000064000000"));
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
        QTest::newRow("Modbus master workbook") << fixture("modbus_zh.xlsx") << none << -1 << noRows;
        QTest::newRow("EtherCAT gateway workbook") << fixture("ecat_zh.xlsx") << none << -1 << noRows;
        QTest::newRow("empty sheet") << fixture("empty.xlsx") << none << -1 << noRows;
        QTest::newRow("other language") << QStringLiteral("written")
                                        << QList<QList<QVariant>> { { "Port", "Slave", "Fun Code", "Reg", "Swap",
                                                                        "Len" },
                                               { "Port1", 1, "03 Read holding Reg", 0, "No", 2 } }
                                        << -1 << noRows;
        // Rows the table would take, in a workbook whose shared strings are damaged.
        const QList<QList<QVariant>> good { { "端口", "从机地址", "功能码", "寄存器地址", "交换字节", "数据长度" },
            { "端口1", 1, "03 读保持寄存器", 0, "否", 2 } };
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
        p.page.additem(false);
        p.page.additem(false);
        p.page.description(1)->setText(QStringLiteral("kept"));
        const QByteArray before = p.page.getParamData();
        const QString totals = p.totals();
        prompts.fileAnswers.enqueue(answer);
        p.page.on_pushButton_Import_clicked();
        QCOMPARE(p.page.getParamData(), before);
        QCOMPARE(p.table()->rowCount(), 2);
        QCOMPARE(p.page.description(1)->text(), QStringLiteral("kept"));
        QCOMPARE(p.totals(), totals);
        QCOMPARE(prompts.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(prompts.lastCaption(), QStringLiteral("错误"));
            QCOMPARE(prompts.lastText(), message);
        }
    }

    // The serial gateway of the example descriptions: its table follows the General block and
    // survives the module's parameter bytes both ways.
    void moduleRoundTrip()
    {
        TempAppDir dir(true);
        module m("RVG-M300", "RVG");
        auto *page = TestSupport::pageOf<mscomm_config>(&m);
        QVERIFY(page);
        QCOMPARE(page->Maxslotnum, 16);
        QCOMPARE(page->Maxinputsize, 128);
        const QByteArray table = QByteArray::fromHex("0100") + ::record(1, 3, 3, 4, 0, 0, 1, 0x10, 500, 200);
        const QByteArray general = m.getParamData().left(7);
        m.setParamData(general + table);
        QCOMPARE(page->getParamData(), table);
        QCOMPARE(m.getParamData(), general + table);
        QCOMPARE(m.ioPoints.size(), 5);
        QCOMPARE(m.ioPoints.last()->name, QStringLiteral("state_0"));
    }
};

RIVUDO_TEST_MAIN(TestMscommConfig)
#include "tst_mscommconfig.moc"
