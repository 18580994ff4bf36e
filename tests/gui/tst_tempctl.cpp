#include "fakemodule.h"
#include "module.h"
#include "moduledata.h"
#include "pagelookup.h"
#include "promptrecorder.h"
#include "submodule.h"
#include "tempctl_input_form.h"
#include "tempctl_pid_form.h"
#include "tempctlblocks.h"
#include "tempctlform.h"
#include "testsupport.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QSet>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

moduleData *item(int dir, int type, const char *name, int bits)
{
    auto *d = new moduleData;
    d->DIR = dir;
    d->DataType = type;
    d->Dataname = QString::fromLatin1(name);
    d->BitLen = bits;
    return d;
}

// A coupler with two word inputs and one 8-bit output, and a sub-module in slot 3 whose data are
// a bit input followed by a word input.
std::unique_ptr<module> coupler()
{
    auto m = std::make_unique<module>("RVT-C800", "RVT");
    // The module owns what its lists hold; free what the constructor put there before replacing it.
    qDeleteAll(m->dataList);
    m->dataList = { item(0, 1, "PV_1", 16), item(0, 1, "PV_2", 16), item(1, 0, "Heater", 8) };
    submodule *sub = m->addSubmodule("RV-AI4", "RVIO", 3);
    qDeleteAll(sub->dataList);
    sub->dataList = { item(0, 0, "DI", 8), item(0, 1, "AI", 16) };
    return m;
}

// The coupler reached over the network at the fake's address.
std::unique_ptr<module> networkCoupler(const FakeModule &fake)
{
    auto m = coupler();
    m->connType = modulebase::CONNEST_NET;
    m->ipAddress = fake.address();
    return m;
}

QStringList texts(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i) + "=" + box->itemData(i).toString();
    return out;
}

} // namespace

class TestTempCtl : public QObject
{
    Q_OBJECT

private slots:
    void channelChoices()
    {
        auto m = coupler();
        Tempctl_input_Form form(nullptr, m.get());
        form.fillChannelChoices(m.get());
        QCOMPARE(texts(form.choiceBox(0, 1)),
            QStringList({ "slot0>PV_1=I#000#000#000", "slot0>PV_2=I#000#001#000", "slot3>AI=I#003#000#000" }));
        QCOMPARE(form.choiceBox(1, 1)->count(), 8);
        QCOMPARE(form.choiceBox(1, 1)->itemText(0), QString("slot0>Heater:0"));
        QCOMPARE(form.choiceBox(1, 8)->currentData().toString(), QString("Q#000#000#007"));
        // Channels start on their own entry while the list is long enough, else on the first.
        QCOMPARE(form.choiceBox(0, 2)->currentIndex(), 1);
        QCOMPARE(form.choiceBox(0, 3)->currentIndex(), 2);
        QCOMPARE(form.choiceBox(0, 4)->currentIndex(), 0);
    }

    void ioBlock()
    {
        auto m = coupler();
        Tempctl_input_Form form(nullptr, m.get());
        form.fillChannelChoices(m.get());
        form.limitBox(2, 1)->setValue(-100);
        const QByteArray block = form.buildBlock();
        QCOMPARE(block.size(), 272);
        QCOMPARE(block.left(13), QByteArray("I#000#000#000"));
        QCOMPARE(block.mid(13, 13), QByteArray("Q#000#000#000"));
        QCOMPARE(block.mid(26, 8), hex("9C FF 00 00 64 00 00 00"));
        QCOMPARE(block.mid(34 + 13, 13), QByteArray("Q#000#000#001"));

        // Back through a fresh table: same choices and values; unknown identifiers show "Invalid".
        Tempctl_input_Form again(nullptr, m.get());
        again.fillChannelChoices(m.get());
        QVERIFY(again.parseBlock(block));
        QCOMPARE(again.buildBlock(), block);
        QByteArray odd = block;
        odd.replace(34 * 2, 13, "I#009#000#000");
        odd.replace(34 * 2 + 30, 4, hex("FF FF F4 01"));
        odd.replace(34 * 2 + 28, 2, hex("FF FF"));
        QVERIFY(again.parseBlock(odd));
        QCOMPARE(again.choiceBox(0, 3)->currentText(), QString("Invalid"));
        QCOMPARE(again.limitBox(4, 3)->value(), 32767.0);
        QCOMPARE(again.limitBox(5, 3)->value(), 100.0);
        QCOMPARE(again.limitBox(3, 3)->value(), -1.0);
        // "Invalid" goes out as zeros.
        QCOMPARE(again.buildBlock().mid(34 * 2, 13), QByteArray(13, '\0'));
        // A short block is refused and changes nothing.
        QVERIFY(!again.parseBlock(block.left(271)));
        QCOMPARE(again.choiceBox(0, 3)->currentText(), QString("Invalid"));
    }

    void pidDefaults()
    {
        Tempctl_PID_Form form(nullptr, nullptr);
        const QByteArray record = hex("00 E8 03 0A 00 00 00 01 00 00 00 E8 03 00 00 05 00 00 00 0A 0A 0A 00 00");
        QCOMPARE(form.buildBlock(), record.repeated(8));
    }

    void scaled_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<int>("sent");
        QTest::newRow("0.57") << 0.57 << 2 << 57;
        QTest::newRow("0.29") << 0.29 << 2 << 29;
        QTest::newRow("1.15") << 1.15 << 2 << 115;
        QTest::newRow("12.3") << 12.3 << 1 << 123;
        QTest::newRow("negative") << -1.0 << 1 << 0;
        QTest::newRow("too large") << 70000.0 << 0 << 65535;
    }
    void scaled()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(int, sent);
        QCOMPARE(int(scaledValue(value, decimals)), sent);
    }

    void pidRules()
    {
        Tempctl_PID_Form form(nullptr, nullptr);
        QTableWidget *t = form.tableWidget;
        auto *mode = qobject_cast<QComboBox *>(t->cellWidget(0, 1));
        auto *fuzzy = qobject_cast<QComboBox *>(t->cellWidget(9, 1));
        fuzzy->setCurrentIndex(1);
        QVERIFY(t->cellWidget(10, 1)->isEnabled());
        mode->setCurrentIndex(1);
        for (int row : { 1, 2, 5, 6, 7, 9, 10, 11, 12 })
            QVERIFY2(!t->cellWidget(row, 1)->isEnabled(), qPrintable(QString::number(row)));
        QVERIFY(t->cellWidget(3, 1)->isEnabled());
        mode->setCurrentIndex(0);
        QVERIFY(t->cellWidget(9, 1)->isEnabled() && t->cellWidget(12, 1)->isEnabled());
        QVERIFY(!t->cellWidget(10, 2)->isEnabled());

        // Upload of ON/OFF with fuzzy on: PID cells off, percentages on; values clamped.
        QByteArray block = form.buildBlock();
        block[24] = 1;
        block[24 + 18] = 1;
        block.replace(24 + 1, 2, hex("D0 07"));
        block.replace(24 + 5, 2, hex("39 00"));
        block.replace(24 + 11, 4, hex("C8 00 00 00"));
        QVERIFY(form.parseBlock(block));
        QVERIFY(!t->cellWidget(1, 2)->isEnabled() && !t->cellWidget(9, 2)->isEnabled());
        QVERIFY(t->cellWidget(10, 2)->isEnabled());
        QCOMPARE(qobject_cast<QDoubleSpinBox *>(t->cellWidget(1, 2))->value(), 100.0);
        QCOMPARE(qobject_cast<QDoubleSpinBox *>(t->cellWidget(5, 2))->value(), 0.57);
        QCOMPARE(qobject_cast<QDoubleSpinBox *>(t->cellWidget(3, 2))->value(), 500.0);
        QCOMPARE(form.buildBlock().mid(24 + 5, 2), hex("39 00"));
        // A mode byte with no entry leaves the choice empty and goes back as 255.
        block[24] = 2;
        QVERIFY(form.parseBlock(block));
        QCOMPARE(quint8(form.buildBlock().at(24)), quint8(255));
        QVERIFY(!form.parseBlock(block.left(191)));
    }

    void tablesBuiltOnce()
    {
        auto m = coupler();
        TempCtlForm page;
        page.attachModule(m.get());
        page.setOwner(m->submodules.first());
        QCOMPARE(page.findChild<QTabWidget *>("tabWidget")->count(), 0);
        page.setOwner(m.get());
        page.setOwner(m.get());
        QCOMPARE(page.findChild<QTabWidget *>("tabWidget")->count(), 2);
    }

    // Both blocks go to the module's command port as plug 19, I/O first; an upload fills both tables.
    void transfers()
    {
        FakeModule fake("127.0.0.91");
        QVERIFY(fake.start());
        auto m = networkCoupler(fake);
        TempCtlForm page;
        page.attachModule(m.get());
        page.setOwner(m.get());
        PromptRecorder prompts;
        auto *download = page.findChild<QPushButton *>("pushButton_4");
        download->click();
        QVERIFY(!download->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(prompts.messages.size(), 1, 15000);
        QCOMPARE(prompts.messages.first().text, QString::fromUtf8("下载PID参数与报警配置完成 IP:127.0.0.91"));
        QVERIFY(download->isEnabled());
        QCOMPARE(fake.block(19, 18), page.inputForm->buildBlock());
        QCOMPARE(fake.block(19, 16), page.pidForm->buildBlock());
        QList<QByteArray> order;
        for (const QByteArray &command : fake.commands()) {
            if (command.startsWith('C'))
                order << command.mid(1, 2);
        }
        QCOMPARE(order, (QList<QByteArray> { hex("13 12"), hex("13 10") }));

        TempCtlPidBlock pid;
        pid.channels[0].bandHundredths = 57;
        fake.setUploadBlock(19, 16, pid.encode());
        QByteArray io = page.inputForm->buildBlock();
        io.replace(26, 2, hex("2A 00"));
        fake.setUploadBlock(19, 18, io);
        prompts.messages.clear();
        page.findChild<QPushButton *>("pushButton_5")->click();
        QTRY_COMPARE_WITH_TIMEOUT(prompts.messages.size(), 1, 15000);
        QCOMPARE(prompts.messages.first().text, QString::fromUtf8("读取PID参数与报警配置完成 IP:127.0.0.91"));
        QCOMPARE(page.inputForm->limitBox(2, 1)->value(), 42.0);
        QCOMPARE(page.pidForm->buildBlock(), pid.encode());
    }

    // A module that repeats the acknowledge of the I/O block's header and takes no block gets
    // no "done": the repeats do not stand for the block's acknowledge.
    void repeatedHeaderAcknowledgesFail()
    {
        FakeModule fake("127.0.0.94");
        fake.setAckRepeat(5, 40);
        fake.setAckLimit(1);
        QVERIFY(fake.start());
        auto m = networkCoupler(fake);
        TempCtlForm page;
        page.attachModule(m.get());
        page.setOwner(m.get());
        PromptRecorder prompts;
        page.findChild<QPushButton *>("pushButton_4")->click();
        QTRY_COMPARE_WITH_TIMEOUT(prompts.messages.size(), 1, 15000);
        QCOMPARE(prompts.messages.first().caption, QString::fromUtf8("下载错误"));
        QCOMPARE(prompts.messages.first().text, QString::fromUtf8("下载PID的输入输出设置错误 IP:127.0.0.94"));
    }

    void uploadOfShortBlockFails()
    {
        FakeModule fake("127.0.0.92");
        QVERIFY(fake.start());
        fake.setUploadBlock(19, 18, QByteArray(100, 'x'));
        auto m = networkCoupler(fake);
        TempCtlForm page;
        page.attachModule(m.get());
        page.setOwner(m.get());
        const QByteArray before = page.inputForm->buildBlock();
        PromptRecorder prompts;
        page.findChild<QPushButton *>("pushButton_5")->click();
        QTRY_COMPARE_WITH_TIMEOUT(prompts.messages.size(), 1, 15000);
        QCOMPARE(prompts.messages.first().caption, QString::fromUtf8("上传失败"));
        QCOMPARE(prompts.messages.first().text, QString::fromUtf8("上传输入输出设置错误 IP:127.0.0.92"));
        QCOMPARE(page.inputForm->buildBlock(), before);
    }

    // The fake's example answers are what a module set up by hand sends: uploaded through the
    // page of a described RVT-C800, every channel names one of the module's own inputs and
    // outputs, and no cell clamps its value (the tables give back the very blocks).
    void exampleBlocksFitTheTables()
    {
        FakeModule fake("127.0.0.95");
        fake.setModuleType(QStringLiteral("RVT-C800"));
        fake.useExampleTempCtlBlocks();
        QVERIFY(fake.start());
        auto m = std::make_unique<module>("RVT-C800", "RVT");
        m->connType = modulebase::CONNEST_NET;
        m->ipAddress = fake.address();
        auto *page = TestSupport::builtPageOf<TempCtlForm>(m.get());
        QVERIFY(page);
        page->setOwner(m.get());
        PromptRecorder prompts;
        page->findChild<QPushButton *>("pushButton_5")->click();
        QTRY_COMPARE_WITH_TIMEOUT(prompts.messages.size(), 1, 15000);
        QCOMPARE(prompts.messages.first().caption, QString::fromUtf8("读取完成"));

        QSet<QString> outputs;
        for (int channel = 1; channel <= tempChannelCount; ++channel) {
            for (int row : { 0, 1 }) {
                const QComboBox *box = page->inputForm->choiceBox(row, channel);
                QVERIFY2(box->findText(QStringLiteral("Invalid")) < 0,
                    qPrintable(
                        QStringLiteral("channel %1 row %2: %3").arg(channel).arg(row).arg(texts(box).join('|'))));
                QVERIFY(box->currentIndex() >= 0);
                QVERIFY(box->currentText().startsWith(QStringLiteral("slot0>")));
                if (row == 1)
                    outputs << box->currentText();
            }
        }
        // No two channels drive the same output.
        QCOMPARE(outputs.size(), tempChannelCount);
        QCOMPARE(page->inputForm->buildBlock(), fake.uploadBlock(19, 18));
        QCOMPARE(page->pidForm->buildBlock(), fake.uploadBlock(19, 16));
    }

    void nothingToTransfer_data()
    {
        QTest::addColumn<bool>("tables");
        QTest::addColumn<int>("connection");
        QTest::newRow("no tables") << false << int(modulebase::CONNEST_NET);
        QTest::newRow("COM module") << true << int(modulebase::CONNEST_COM);
    }
    void nothingToTransfer()
    {
        QFETCH(bool, tables);
        QFETCH(int, connection);
        auto m = coupler();
        m->connType = modulebase::CONNEST_TYPE(connection);
        m->ipAddress = QStringLiteral("127.0.0.93");
        TempCtlForm page;
        page.attachModule(m.get());
        if (tables)
            page.setOwner(m.get());
        PromptRecorder prompts;
        QVERIFY(!page.downloadParams());
        QVERIFY(!page.uploadParams());
        QCOMPARE(prompts.messages.size(), 2);
        for (const PromptRecorder::Message &message : prompts.messages)
            QVERIFY(!message.text.contains(QString::fromUtf8("完成")));
    }
};

RIVUDO_TEST_MAIN(TestTempCtl)
#include "tst_tempctl.moc"
