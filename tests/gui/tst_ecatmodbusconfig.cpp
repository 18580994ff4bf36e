#include "ecatmodbusconfig.h"
#include "ecatmodbusconfigcodec.h"
#include "promptrecorder.h"
#include "tempappdir.h"
#include "testsupport.h"
#include "ui_ecatmodbusconfig.h"
#include "xlsxwriter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDomDocument>
#include <QFile>
#include <QLineEdit>
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
    explicit Page(int rowLimit = 16) { page.Maxslotnum = rowLimit; }
    QTableWidget *table() const { return page.ui->tableWidget; }
    QComboBox *combo(int row, int column) const { return qobject_cast<QComboBox *>(table()->cellWidget(row, column)); }
    QSpinBox *spin(int row, int column) const { return qobject_cast<QSpinBox *>(table()->cellWidget(row, column)); }
    QCheckBox *check(int row, int column) const { return table()->cellWidget(row, column)->findChild<QCheckBox *>(); }
    QLineEdit *description(int row) const { return qobject_cast<QLineEdit *>(table()->cellWidget(row, 9)); }
    // slave, code, register, length, trigger, poll, timeout, swap, bits, description
    QString summary(int row) const
    {
        return QString("%1 %2 %3 %4%5 %6 %7 %8 %9 %10 %11")
            .arg(spin(row, 0)->value())
            .arg(combo(row, 1)->currentData().toInt())
            .arg(spin(row, 2)->value())
            .arg(spin(row, 3)->value())
            .arg(spin(row, 3)->isEnabled() ? "" : "-")
            .arg(combo(row, 4)->currentIndex())
            .arg(combo(row, 4)->isEnabled() ? "on" : "off")
            .arg(spin(row, 5)->value())
            .arg(spin(row, 6)->value())
            .arg(int(check(row, 7)->isChecked()) * 10 + int(check(row, 8)->isChecked()))
            .arg(description(row)->text());
    }
    EcatModbusConfig page;
};

QByteArray rowBytes(int index, int slave, int code, int length, int trigger, int swap, int bits, int reg, int poll,
    int timeout, const QByteArray &name)
{
    EcatBlock block;
    for (int i = 0; i <= index; ++i) {
        EcatRequestRow row;
        row.slave = quint8(slave);
        row.code = quint8(code);
        row.length = quint8(length);
        row.trigger = quint8(trigger);
        row.swap = quint8(swap);
        row.bitAccess = quint8(bits);
        row.reg = quint16(reg);
        row.pollTime = quint32(poll);
        row.timeout = quint32(timeout);
        row.name = name;
        block.rows.append(row);
    }
    return encodeEcatBlock(block).mid(16 + index * 49);
}

} // namespace

class TestEcatModbusConfig : public QObject
{
    Q_OBJECT
private slots:
    void newRows()
    {
        Page p;
        QCOMPARE(p.page.title, QStringLiteral("Modbus配置"));
        QCOMPARE(p.page.getParamData().size(), 16);
        QCOMPARE(p.page.getParamData(),
            QByteArray::fromHex("0000"
                                "01001073"
                                "56524737333130000000"));
        p.page.additem(false);
        QCOMPARE(p.summary(0), QStringLiteral("1 3 0 1 0 off 300 100 0 "));
        QCOMPARE(p.combo(0, 4)->currentText(), QStringLiteral("时间轮询"));
        p.spin(0, 3)->setValue(4);
        p.combo(0, 1)->setCurrentIndex(7); // 16
        p.page.additem(false);
        QCOMPARE(p.summary(1), QStringLiteral("2 16 0 4 0 on 300 100 0 "));
        p.page.additem(false);
        QCOMPARE(p.page.getParamData().size(), 16 + 3 * 49);
        QCOMPARE(
            p.page.getParamData().mid(16, 49), rowBytes(0, 1, 16, 4, 0, 0, 0, 0, 300, 100, "Write_Multipe_Regs_ID_1"));
    }

    void slotLimit()
    {
        PromptRecorder prompts;
        Page p(4);
        for (int i = 0; i < 5; ++i)
            p.page.additem(false);
        QCOMPARE(p.table()->rowCount(), 4);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.lastCaption(), QStringLiteral("错误"));
        QCOMPARE(prompts.lastText(), QStringLiteral("超出了槽数量"));
    }

    void functionChange()
    {
        Page p;
        p.page.additem(false);
        p.page.additem(false);
        p.spin(0, 3)->setValue(6);
        // The table's current row is row 1; changing row 0's box acts on row 0.
        p.table()->setCurrentCell(1, 0);
        p.combo(0, 1)->setCurrentIndex(4); // 05
        QCOMPARE(p.summary(0), QStringLiteral("1 5 0 1- 0 on 300 100 1 "));
        QCOMPARE(p.summary(1), QStringLiteral("2 3 0 1 0 off 300 100 0 "));
        p.combo(0, 4)->setCurrentIndex(1);
        p.combo(0, 1)->setCurrentIndex(1); // 02 leaves bit access as it is
        QCOMPARE(p.summary(0), QStringLiteral("1 2 0 1 0 off 300 100 1 "));
        p.check(0, 8)->setChecked(false);
        p.combo(0, 1)->setCurrentIndex(2);
        QCOMPARE(p.summary(0), QStringLiteral("1 3 0 1 0 off 300 100 0 "));
    }

    void deleteRow()
    {
        Page p;
        p.page.additem(false);
        p.page.additem(false);
        p.table()->setCurrentCell(0, 0);
        p.page.delitem(false);
        QCOMPARE(p.table()->rowCount(), 1);
        QCOMPARE(p.spin(0, 0)->value(), 2);
        QCOMPARE(p.page.getParamData().mid(16, 2), QByteArray::fromHex("0002"));
        p.table()->setCurrentCell(-1, -1);
        p.page.delitem(false);
        QCOMPARE(p.table()->rowCount(), 1);
    }

    void readBlock_data()
    {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("name");
        QTest::newRow("default name") << rowBytes(0, 3, 3, 2, 1, 1, 0, 0x1234, 300, 100, "Read_holding_Reg_ID_3")
                                      << "3 3 4660 2 0 off 300 100 10 "
                                      << "Read_holding_Reg_ID_3";
        QTest::newRow("described") << rowBytes(0, 3, 3, 2, 0, 0, 1, 0, 300, 100, "Pump1_ID_3")
                                   << "3 3 0 2 0 off 300 100 1 Pump1"
                                   << "Pump1_ID_3";
        QTest::newRow("write with change trigger")
            << rowBytes(0, 9, 16, 5, 1, 0, 0, 7, 5, 80, "") << "9 16 7 5 1 on 10 100 0 "
            << "Write_Multipe_Regs_ID_9";
        QTest::newRow("single write") << rowBytes(0, 1, 6, 9, 0, 0, 0, 0, 300, 100, "x") << "1 6 0 1- 0 on 300 100 0 x"
                                      << "x_ID_1";
        QTest::newRow("unknown code, odd trigger")
            << rowBytes(0, 0, 99, 0, 3, 3, 3, 0, 99999, 99999, "") << "1 1 0 1 0 off 10000 10000 11 "
            << "Read_Coid_ID_1";
        QTest::newRow("length above 128 is kept")
            << rowBytes(0, 2, 4, 200, 0, 0, 0, 0, 300, 100, "") << "2 4 0 200 0 off 300 100 0 "
            << "Read_Input_Reg_ID_2";
    }
    void readBlock()
    {
        QFETCH(QByteArray, row);
        QFETCH(QString, summary);
        QFETCH(QString, name);
        Page p;
        const QByteArray block = QByteArray(16, '\0') + row;
        QCOMPARE(p.page.setParamData(block), block.size());
        QCOMPARE(p.table()->rowCount(), 1);
        QCOMPARE(p.summary(0), summary);
        QCOMPARE(p.page.rowName(0), name);
        // Stored again, the row reads back the same: the name does not grow.
        Page again;
        again.page.setParamData(p.page.getParamData());
        QCOMPARE(again.summary(0), p.summary(0));
        QCOMPARE(again.page.getParamData(), p.page.getParamData());
    }

    void readHeader_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("state");
        QTest::addColumn<bool>("ctl");
        QTest::newRow("identity") << QByteArray::fromHex("0101"
                                                         "efbeadde"
                                                         "4162636465")
                                  << "deadbeef"
                                  << "Abcde" << true << true;
        QTest::newRow("two letters, zero code") << QByteArray::fromHex("0200"
                                                                       "00000000"
                                                                       "4142")
                                                << "73100001"
                                                << "VRG7310" << false << false;
        QTest::newRow("top bit kept") << QByteArray::fromHex("0001"
                                                             "00000080")
                                      << "80000000"
                                      << "VRG7310" << false << true;
        QTest::newRow("one byte") << QByteArray::fromHex("01") << "73100001"
                                  << "VRG7310" << true << false;
    }
    void readHeader()
    {
        QFETCH(QByteArray, header);
        QFETCH(QString, code);
        QFETCH(QString, name);
        QFETCH(bool, state);
        QFETCH(bool, ctl);
        Page p;
        QCOMPARE(p.page.setParamData(header), header.size());
        QCOMPARE(p.page.ui->lineEdit_code->text(), code);
        QCOMPARE(p.page.ui->lineEdit_name->text(), name);
        QCOMPARE(p.page.ui->checkBox_state->isChecked(), state);
        QCOMPARE(p.page.ui->checkBox_ctl->isChecked(), ctl);
        QCOMPARE(p.table()->rowCount(), 0);
    }

    void productCodeWritten_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("73100001") << "73100001" << QByteArray::fromHex("01001073");
        QTest::newRow("80000000") << "80000000" << QByteArray::fromHex("00000080");
        QTest::newRow("empty") << "" << QByteArray::fromHex("00000000");
        QTest::newRow("too long") << "1ffffffff" << QByteArray::fromHex("00000000");
    }
    void productCodeWritten()
    {
        QFETCH(QString, code);
        QFETCH(QByteArray, bytes);
        Page p;
        p.page.ui->lineEdit_code->setText(code);
        QCOMPARE(p.page.getParamData().mid(2, 4), bytes);
    }

    void blockAppendsAndIgnoresPartRow()
    {
        Page p;
        p.page.additem(false);
        const QByteArray block = QByteArray(16, '\0') + rowBytes(0, 5, 1, 20, 0, 0, 1, 0, 300, 100, "") + "abc";
        QCOMPARE(p.page.setParamData(block), block.size());
        QCOMPARE(p.table()->rowCount(), 2);
        QCOMPARE(p.summary(1), QStringLiteral("5 1 0 20 0 off 300 100 1 "));
        QCOMPARE(p.page.setParamData(QByteArray()), 0);
        QCOMPARE(p.table()->rowCount(), 2);
    }

    void languageKeepsIdentity()
    {
        Page p;
        p.page.additem(false);
        p.page.ui->lineEdit_name->setText("Gate1");
        p.page.ui->lineEdit_code->setText("80000001");
        p.page.retranslate(1);
        QCOMPARE(p.page.language, 1);
        QCOMPARE(p.page.ui->lineEdit_name->text(), QStringLiteral("Gate1"));
        QCOMPARE(p.page.ui->lineEdit_code->text(), QStringLiteral("80000001"));
        QCOMPARE(p.combo(0, 1)->currentIndex(), 2);
    }

    void importWorkbook()
    {
        PromptRecorder prompts;
        Page p(10);
        p.page.additem(false);
        prompts.fileAnswers.enqueue(fixture("ecat_zh.xlsx"));
        p.page.on_pushButton_Import_clicked();
        QCOMPARE(p.table()->rowCount(), 3);
        QCOMPARE(p.summary(0), QStringLiteral("3 3 10 2 0 off 200 100 0 "));
        QCOMPARE(p.summary(1), QStringLiteral("4 5 0 1- 1 on 500 100 11 Valve"));
        QCOMPARE(p.summary(2), QStringLiteral("6 16 1 3 0 on 10 10000 1 Pump1"));
        QCOMPARE(p.page.rowName(1), QStringLiteral("Valve_ID_4"));
        QVERIFY(prompts.messages.isEmpty());
    }

    void importLimitedByRows()
    {
        PromptRecorder prompts;
        Page p(4);
        prompts.fileAnswers.enqueue(fixture("ecat_zh.xlsx"));
        p.page.on_pushButton_Import_clicked();
        // Sheet rows 2 and 3.
        QCOMPARE(p.table()->rowCount(), 2);
    }

    // A workbook that gives no row, or cannot be read, leaves the table and its bytes as they were
    // and says which (a cancelled dialog says nothing).
    void importKeepsTableOnBadFile_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QList<QList<QVariant>>>("sheet");
        QTest::addColumn<int>("damage");
        QTest::addColumn<QString>("message");
        const QString noRows = QStringLiteral("Excel文件中没有可导入的行，表格未改变");
        const QString unreadable = QStringLiteral("Excel文件无法读取，表格未改变");
        const QList<QList<QVariant>> none;
        const QList<QVariant> heading { "从机地址", "功能码", "寄存器地址", "数据长度" };
        QTest::newRow("cancelled") << QString() << none << -1 << QString();
        QTest::newRow("not a workbook") << fixture("broken.xlsx") << none << -1 << unreadable;
        QTest::newRow("missing") << fixture("no-such-file.xlsx") << none << -1 << unreadable;
        QTest::newRow("serial gateway workbook") << fixture("mscom_zh.xlsx") << none << -1 << noRows;
        QTest::newRow("empty sheet") << fixture("empty.xlsx") << none << -1 << noRows;
        QTest::newRow("heading only") << QStringLiteral("written") << QList<QList<QVariant>> { heading } << -1
                                      << noRows;
        QTest::newRow("other language") << QStringLiteral("written")
                                        << QList<QList<QVariant>> { heading, { 1, "03 Read holding Reg", 0, 2 } } << -1
                                        << noRows;
        QTest::newRow("first row incomplete")
            << QStringLiteral("written")
            << QList<QList<QVariant>> { heading, { 1, "03 读保持寄存器", 0 }, { 1, "03 读保持寄存器", 0, 2 } } << -1
            << noRows;
        // Rows the table would take, in a workbook whose shared strings are damaged.
        const QList<QList<QVariant>> good { heading, { 1, "03 读保持寄存器", 0, 2 } };
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
        p.description(1)->setText(QStringLiteral("kept"));
        const QByteArray before = p.page.getParamData();
        prompts.fileAnswers.enqueue(answer);
        p.page.on_pushButton_Import_clicked();
        QCOMPARE(p.page.getParamData(), before);
        QCOMPARE(p.table()->rowCount(), 2);
        QCOMPARE(p.description(1)->text(), QStringLiteral("kept"));
        QCOMPARE(prompts.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(prompts.lastCaption(), QStringLiteral("错误"));
            QCOMPARE(prompts.lastText(), message);
        }
    }

    void templateCopy()
    {
        TempAppDir dir;
        dir.write("/Template/ecatmodbusconfig_Zh.xlsx", "zh");
        dir.write("/Template/ecatmodbusconfig_En.xlsx", "en");
        PromptRecorder prompts;
        Page p;
        p.page.retranslate(1);
        prompts.fileAnswers.enqueue(dir.filePath("/copy.xlsx"));
        p.page.on_pushButton_newExcel_clicked();
        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(dir.read("/copy.xlsx"), QByteArray("en"));
        prompts.fileAnswers.enqueue(QString());
        p.page.on_pushButton_newExcel_clicked();
        QVERIFY(prompts.messages.isEmpty());
    }
    void esiExport()
    {
        TempAppDir dir;
        QFile source(QStringLiteral(RIVUDO_SOURCE_DIR "/data/Template/VRG7310_Template.xml"));
        QVERIFY(source.open(QIODevice::ReadOnly));
        dir.write("/Template/VRG7310_Template.xml", source.readAll());
        PromptRecorder prompts;
        Page p;
        p.page.ui->checkBox_state->setChecked(true);
        p.page.ui->checkBox_ctl->setChecked(true);
        p.page.ui->lineEdit_name->setText("Gate 1");
        p.page.ui->lineEdit_code->setText("ABCDEF0123");
        p.page.additem(false); // read 03 x2, slave 1
        p.spin(0, 3)->setValue(2);
        p.page.additem(false);
        p.combo(1, 1)->setCurrentIndex(7); // write 16, slave 2
        p.spin(1, 3)->setValue(1);
        p.page.additem(false);
        p.combo(2, 1)->setCurrentIndex(0); // read 01 x20, bit access, slave 3
        p.spin(2, 3)->setValue(20);
        p.description(2)->setText("Coils");

        const QString target = dir.filePath("/out.xml");
        prompts.fileAnswers.enqueue(target);
        p.page.on_pushButton_ESI_clicked();
        QVERIFY(prompts.messages.isEmpty());
        const QByteArray first = dir.read("/out.xml");
        QDomDocument doc;
        QVERIFY(doc.setContent(first));
        const QDomElement device
            = doc.documentElement().firstChildElement("Descriptions").firstChildElement("Devices").firstChildElement();
        QCOMPARE(device.firstChildElement("Type").attribute("ProductCode"), QStringLiteral("#xABCDEF0123"));
        QCOMPARE(device.firstChildElement("Type").text(), QStringLiteral("Gate1"));
        QCOMPARE(device.firstChildElement("Name").text(), QStringLiteral("Gate1"));

        const auto pdos = [&device](const QString &tag) {
            QStringList out;
            for (QDomElement pdo = device.firstChildElement(tag); !pdo.isNull(); pdo = pdo.nextSiblingElement(tag)) {
                QString text = pdo.attribute("Sm") + pdo.attribute("Mandatory") + pdo.attribute("Fixed") + " "
                    + pdo.firstChildElement("Index").text() + " " + pdo.firstChildElement("Name").text();
                for (QDomElement e = pdo.firstChildElement("Entry"); !e.isNull(); e = e.nextSiblingElement("Entry")) {
                    QStringList parts;
                    for (QDomElement c = e.firstChildElement(); !c.isNull(); c = c.nextSiblingElement())
                        parts << c.tagName() + "=" + c.text();
                    text += " [" + parts.join(",") + "]";
                }
                out << text;
            }
            return out;
        };
        QCOMPARE(pdos("TxPdo"),
            QStringList({ "3truetrue #x1a00 Read_holding_Reg_ID_1"
                          " [Index=#x6000,SubIndex=1,BitLen=16,Name=Read_holding_Reg_ID_1_0,DataType=UINT]"
                          " [Index=#x6000,SubIndex=2,BitLen=16,Name=Read_holding_Reg_ID_1_1,DataType=UINT]",
                "3truetrue #x1a01 Coils_ID_3"
                " [Index=#x6001,SubIndex=1,BitLen=16,Name=Coils_ID_3_0,DataType=BITARR16]"
                " [Index=#x6001,SubIndex=2,BitLen=16,Name=Coils_ID_3_1,DataType=BITARR16]",
                "3truetrue #x1Aff slot_state"
                " [Index=#x2002,SubIndex=0,BitLen=32,Name=slot_state_reg,DataType=BITARR32]" }));
        QCOMPARE(pdos("RxPdo"),
            QStringList({ "2truetrue #x1600 Write_Multipe_Regs_ID_2"
                          " [Index=#x7000,SubIndex=1,BitLen=16,Name=Write_Multipe_Regs_ID_2_0,DataType=UINT]",
                "2truetrue #x16ff slot_Ctl"
                " [Index=#x2001,SubIndex=0,BitLen=32,Name=slot_ctl_reg,DataType=BITARR32]" }));
        // The PDOs stand where the template's last ones stood, before the mailbox settings.
        QCOMPARE(device.lastChildElement("RxPdo").nextSiblingElement().tagName(), QStringLiteral("Mailbox"));

        prompts.fileAnswers.enqueue(target);
        p.page.on_pushButton_ESI_clicked();
        QCOMPARE(dir.read("/out.xml"), first);
        QVERIFY(dir.exists("/Template/VRG7310_Template.xml"));
    }

    void esiFailures()
    {
        TempAppDir dir;
        PromptRecorder prompts;
        Page p;
        p.page.additem(false);
        const QString target = dir.filePath("/out.xml");
        prompts.fileAnswers.enqueue(QString());
        p.page.on_pushButton_ESI_clicked();
        QVERIFY(prompts.messages.isEmpty());

        QVERIFY(!p.page.writeEsi(target));
        QCOMPARE(prompts.lastText(), QStringLiteral("模板文件丢失，创建文件失败"));

        dir.write("/Template/VRG7310_Template.xml", "<EtherCATInfo><Descriptions>");
        QVERIFY(!p.page.writeEsi(target));
        QCOMPARE(prompts.lastText(), QStringLiteral("XML文件格式错误,打开失败"));

        dir.write("/Template/VRG7310_Template.xml", "<EtherCATInfo/>");
        QVERIFY(!p.page.writeEsi(dir.filePath("/no/such/folder/out.xml")));
        QCOMPARE(prompts.lastText(), QStringLiteral("创建文件失败"));
        // A template without the device parts is written with nothing changed.
        QVERIFY(p.page.writeEsi(target));
        QVERIFY(dir.read("/out.xml").contains("<EtherCATInfo/>"));

        p.page.ui->lineEdit_code->clear();
        dir.write("/out.xml", "kept");
        QVERIFY(!p.page.writeEsi(target));
        QCOMPARE(prompts.lastText(), QStringLiteral("产品代码不能为空"));
        QCOMPARE(dir.read("/out.xml"), QByteArray("kept"));
        QCOMPARE(prompts.messages.size(), 4);
    }
};

RIVUDO_TEST_MAIN(TestEcatModbusConfig)
#include "tst_ecatmodbusconfig.moc"
