// Gateway tables filled on their real pages travel the whole road: download to a module,
// parameter reply of a new scan, project file saved and opened. They must come back unchanged.
#include "downdialog.h"
#include "ecatmodbusconfig.h"
#include "fakemodule.h"
#include "formio.h"
#include "iopoint.h"
#include "ipaddress.h"
#include "mainwindow.h"
#include "modbusconfig.h"
#include "module.h"
#include "mscomm_config.h"
#include "mscomm_configcodec.h"
#include "openinfodialog.h"
#include "pagelookup.h"
#include "platformlists.h"
#include "promptrecorder.h"
#include "savedialog.h"
#include "scandialog.h"
#include "tempappdir.h"
#include "testsupport.h"
#include "ui_downdialog.h"
#include "ui_ecatmodbusconfig.h"
#include "ui_modbusconfig.h"
#include "ui_mscomm_config.h"
#include "ui_openinfodialog.h"
#include "ui_savedialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTextEdit>
#include <QTreeWidget>

namespace {

using TestSupport::pageOf;
using TestSupport::child;
using TestSupport::typeAddress;

// Scans one address through the real scan dialog, as a person does.
void scan(MainWindow &w, PromptRecorder &prompts, const QString &address)
{
    prompts.onExec = [address](QDialog *dialog) -> int {
        auto *scanDialog = qobject_cast<SCANDialog *>(dialog);
        if (!scanDialog)
            return QDialog::Rejected;
        typeAddress(child<IPAddress>(scanDialog, "StartIP"), address);
        typeAddress(child<IPAddress>(scanDialog, "EndIP"), address);
        QSignalSpy ended(scanDialog, &SCANDialog::endscan);
        child<QPushButton>(scanDialog, "pushButton")->click();
        if (!ended.wait(60000))
            qWarning("scan did not end");
        return QDialog::Rejected;
    };
    QVERIFY(QMetaObject::invokeMethod(&w, "on_scanmodule_clicked"));
}

// Downloads every module through the download dialog and returns the status of each row.
QStringList download(MainWindow &w, PromptRecorder &prompts)
{
    QStringList states;
    prompts.onExec = [&states](QDialog *dialog) -> int {
        auto *down = qobject_cast<DownDialog *>(dialog);
        if (!down)
            return QDialog::Rejected;
        down->form()->pushButton->click();
        if (!QTest::qWaitFor([down] { return down->form()->pushButton->isEnabled(); }, 30000))
            qWarning("download did not end");
        for (int row = 0; row < down->form()->tableWidget->rowCount(); ++row)
            states << down->form()->tableWidget->item(row, 2)->text();
        return QDialog::Rejected;
    };
    if (!QMetaObject::invokeMethod(&w, "on_pushButton_down_clicked"))
        return { "not run" };
    return states;
}

void saveProject(MainWindow &w, PromptRecorder &prompts, const QString &dir, const QString &name)
{
    prompts.onExec = [=](QDialog *d) -> int {
        auto *save = qobject_cast<SaveDialog *>(d);
        if (!save)
            return QDialog::Rejected;
        save->form()->lineEdit_path->setText(dir);
        save->form()->lineEdit_name->setText(name);
        save->form()->lineEdit_producer->setText("Li");
        save->form()->pushButton_2->click();
        return save->result();
    };
    QVERIFY(QMetaObject::invokeMethod(&w, "on_pushButton_save_clicked"));
}

void openProject(MainWindow &w, PromptRecorder &prompts, const QString &path)
{
    prompts.onExec = [](QDialog *d) -> int {
        auto *info = qobject_cast<OpenInfoDialog *>(d);
        if (!info)
            return QDialog::Rejected;
        info->form()->pushButton->click();
        return info->result();
    };
    w.loadProjectFile(path);
}

// What a person sees of a gateway table: every cell's editor value (a "-" marks a disabled
// editor) and the named line edits and check boxes around the table.
QStringList shown(QWidget *page)
{
    QStringList out;
    auto *table = child<QTableWidget>(page, "tableWidget");
    for (QLineEdit *edit : page->findChildren<QLineEdit *>()) {
        if (!edit->objectName().isEmpty() && !table->isAncestorOf(edit))
            out << edit->objectName() + "=" + edit->text();
    }
    for (QCheckBox *box : page->findChildren<QCheckBox *>()) {
        if (!box->objectName().isEmpty() && !table->isAncestorOf(box))
            out << box->objectName() + "=" + QString::number(box->isChecked());
    }
    for (int row = 0; row < table->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < table->columnCount(); ++column) {
            QWidget *cell = table->cellWidget(row, column);
            QString text;
            if (auto *spin = qobject_cast<QSpinBox *>(cell))
                text = QString::number(spin->value());
            else if (auto *combo = qobject_cast<QComboBox *>(cell))
                text = combo->currentText();
            else if (auto *edit = qobject_cast<QLineEdit *>(cell))
                text = edit->text();
            else if (cell && cell->findChild<QCheckBox *>())
                text = QString::number(cell->findChild<QCheckBox *>()->isChecked());
            else if (table->item(row, column))
                text = table->item(row, column)->text();
            if (cell && !cell->isEnabled())
                text += "-";
            cells << text;
        }
        out << cells.join('|');
    }
    return out;
}

QSpinBox *spin(QTableWidget *table, int row, int column)
{
    return qobject_cast<QSpinBox *>(table->cellWidget(row, column));
}
QComboBox *combo(QTableWidget *table, int row, int column)
{
    return qobject_cast<QComboBox *>(table->cellWidget(row, column));
}
QCheckBox *check(QTableWidget *table, int row, int column)
{
    return table->cellWidget(row, column)->findChild<QCheckBox *>();
}

// Fills the page of the gateway's table as a person would and returns the table's block.
QByteArray fillModbusMaster(module *m)
{
    auto *page = pageOf<modbusconfig>(m);
    if (!page)
        return "no page";
    QTableWidget *table = page->ui->tableWidget;
    for (int i = 0; i < 3; ++i)
        page->additem(false);
    spin(table, 0, 0)->setValue(7);
    combo(table, 0, 1)->setCurrentIndex(2); // 03
    spin(table, 0, 2)->setValue(0x1234);
    spin(table, 0, 3)->setValue(2);
    spin(table, 1, 0)->setValue(9);
    combo(table, 1, 1)->setCurrentIndex(7); // 16
    spin(table, 1, 2)->setValue(0x0100);
    spin(table, 1, 3)->setValue(3);
    spin(table, 2, 0)->setValue(255);
    combo(table, 2, 1)->setCurrentIndex(4); // 05, length fixed at 1
    spin(table, 2, 2)->setValue(65535);
    // index, slave, code, register (big-endian), length
    return QByteArray::fromHex("000703123402"
                               "010910010003"
                               "02ff05ffff01");
}

QByteArray fillEcatGateway(module *m)
{
    auto *page = pageOf<EcatModbusConfig>(m);
    if (!page)
        return "no page";
    QTableWidget *table = page->ui->tableWidget;
    page->ui->lineEdit_name->setText("GWTEST1");
    page->ui->lineEdit_code->setText("80000001");
    page->ui->checkBox_state->setChecked(true);
    page->additem(false);
    spin(table, 0, 0)->setValue(3);
    spin(table, 0, 2)->setValue(0x10);
    spin(table, 0, 3)->setValue(4);
    spin(table, 0, 5)->setValue(500);
    spin(table, 0, 6)->setValue(200);
    check(table, 0, 7)->setChecked(true);
    qobject_cast<QLineEdit *>(table->cellWidget(0, 9))->setText("Tank_level");
    page->additem(false);
    spin(table, 1, 0)->setValue(4);
    combo(table, 1, 1)->setCurrentIndex(6); // 15: bit access on, trigger enabled
    combo(table, 1, 4)->setCurrentIndex(1);
    spin(table, 1, 2)->setValue(0x0200);
    spin(table, 1, 3)->setValue(20);
    const QByteArray zeros(32, '\0');
    // state, control, product code (little-endian), product name (10 bytes)
    return QByteArray::fromHex("0100"
                               "01000080")
        + QByteArray("GWTEST1\0\0\0", 10)
        // index slave code length trigger swap bits register poll timeout, then the row name
        + QByteArray::fromHex("00030304000100"
                              "1000"
                              "f4010000"
                              "c8000000")
        + (QByteArray("Tank_level_ID_3") + zeros).left(32)
        + QByteArray::fromHex("01040f14010001"
                              "0002"
                              "2c010000"
                              "64000000")
        + (QByteArray("Write_Multiple_Coils_ID_4") + zeros).left(32);
}

using Filler = QByteArray (*)(module *);

QWidget *tablePage(module *m)
{
    if (auto *page = pageOf<modbusconfig>(m))
        return page;
    return pageOf<EcatModbusConfig>(m);
}

QByteArray serialRecord(int slave, int code, int inLen, int outLen)
{
    MscomBlock block;
    MscomRequestRow row;
    row.slave = quint8(slave);
    row.code = quint8(code);
    row.inLen = quint8(inLen);
    row.outLen = quint8(outLen);
    block.rows.append(row);
    return encodeMscomBlock(block).mid(2);
}

QStringList pointTexts(const QList<IoPoint *> &points)
{
    QStringList out;
    for (const IoPoint *p : points)
        out << p->address + " " + p->name;
    return out;
}

} // namespace

Q_DECLARE_METATYPE(Filler)

class TestGatewayRoundTrip : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        PlatformLists::setLocalAddresses({});
        PlatformLists::setSerialPorts({});
    }

    void tableRoundTrip_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("generalLength");
        QTest::addColumn<Filler>("fill");
        QTest::addColumn<bool>("keepsEnabling");
        // A Modbus master row read back holds an editable length whatever its code.
        QTest::newRow("Modbus master") << "RVE-C200" << 6 << Filler(fillModbusMaster) << false;
        QTest::newRow("EtherCAT gateway") << "RVG-E400" << 4 << Filler(fillEcatGateway) << true;
    }

    void tableRoundTrip()
    {
        QFETCH(QString, type);
        QFETCH(int, generalLength);
        QFETCH(Filler, fill);
        QFETCH(bool, keepsEnabling);
        const auto seen = [keepsEnabling](module *m) {
            QStringList cells = shown(tablePage(m));
            return keepsEnabling ? cells : cells.replaceInStrings("-", "");
        };
        TempAppDir app(true);
        FakeModule fake("127.0.0.21");
        fake.setModuleType(type);
        {
            module probe(type, type.left(3));
            fake.setParamBytes(probe.getParamData());
        }
        QVERIFY(fake.start());
        PromptRecorder prompts;

        QStringList filled;
        QByteArray downloaded;
        {
            MainWindow w;
            scan(w, prompts, fake.address());
            QCOMPARE(w.moduleList.size(), 1);
            module *m = w.moduleList.first();
            QCOMPARE(m->name, type);
            const QByteArray general = m->getParamData().left(generalLength);
            const QByteArray table = fill(m);
            filled = seen(m);

            QCOMPARE(download(w, prompts), QStringList { "下载成功" });
            downloaded = fake.downloadedParams();
            QCOMPARE(downloaded.toHex(), (general + table).toHex());

            // A new scan reads the table back from the module's parameter reply.
            fake.setParamBytes(downloaded);
            scan(w, prompts, fake.address());
            QCOMPARE(w.moduleList.size(), 1);
            m = w.moduleList.first();
            QCOMPARE(seen(m), filled);
            QCOMPARE(m->getParamData().toHex(), downloaded.toHex());

            saveProject(w, prompts, app.path(), "gateway");
        }
        QVERIFY(prompts.messages.isEmpty());

        MainWindow opened;
        openProject(opened, prompts, app.filePath("/gateway.kdxml"));
        QCOMPARE(opened.moduleList.size(), 1);
        module *m = opened.moduleList.first();
        QCOMPARE(seen(m), filled);
        QCOMPARE(m->getParamData().toHex(), downloaded.toHex());
        QVERIFY(prompts.messages.isEmpty());
    }

    // After a scan the serial gateway's points are the ones its table makes, whatever the
    // module's information reply says about its image lengths.
    void scannedSerialGatewayPoints_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QStringList>("points");
        QTest::newRow("no table block") << QByteArray() << QStringList();
        QTest::newRow("empty table") << QByteArray::fromHex("0000") << QStringList();
        QTest::newRow("two registers and the state word")
            << QByteArray::fromHex("0100") + serialRecord(1, 3, 2, 0)
            << QStringList { "%IW1 slave:1_slot:0_index:0", "%IW3 slave:1_slot:0_index:2", "%IW4 state_0" };
        QTest::newRow("inputs before outputs")
            << QByteArray::fromHex("0000") + serialRecord(5, 16, 0, 1) + serialRecord(6, 4, 1, 0)
            << QStringList { "%IW1 slave:6_slot:1_index:0", "%QW1 slave:5_slot:0_index:0" };
    }

    void scannedSerialGatewayPoints()
    {
        QFETCH(QByteArray, table);
        QFETCH(QStringList, points);
        TempAppDir app(true);
        FakeModule fake("127.0.0.22");
        fake.setModuleType("RVG-M300");
        fake.setProcessImageLengths(4, 4);
        QByteArray general;
        {
            module probe("RVG-M300", "RVG");
            general = probe.getParamData().left(7);
        }
        fake.setParamBytes(general + table);
        QVERIFY(fake.start());
        PromptRecorder prompts;
        MainWindow w;
        scan(w, prompts, fake.address());
        QCOMPARE(w.moduleList.size(), 1);
        module *m = w.moduleList.first();
        QCOMPARE(pointTexts(m->ioPoints), points);
        auto *io = pageOf<FormIO>(m);
        QVERIFY(io);
        io->updatePage();
        auto *tree = child<QTreeWidget>(io, "treeWidget");
        QStringList rows;
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            rows << tree->topLevelItem(i)->text(0);
        QStringList addresses;
        for (const QString &p : points)
            addresses << p.section(' ', 0, 0);
        QCOMPARE(rows, addresses);
    }

    // Every change of the serial gateway's table shows on the module's I/O page at once.
    void serialGatewayIoPage()
    {
        TempAppDir app(true);
        module m("RVG-M300", "RVG");
        auto *table = pageOf<mscomm_config>(&m);
        auto *io = pageOf<FormIO>(&m);
        QVERIFY(table && io);
        io->updatePage();
        auto *tree = child<QTreeWidget>(io, "treeWidget");
        const auto rows = [tree] {
            QStringList out;
            for (int i = 0; i < tree->topLevelItemCount(); ++i) {
                QTreeWidgetItem *item = tree->topLevelItem(i);
                // Columns 1 and 2 show the data type and the format their combo boxes hold.
                out << item->text(0) + " " + item->text(1) + " " + item->text(2);
            }
            return out;
        };
        QCOMPARE(rows(), QStringList());
        QTableWidget *cells = table->ui->tableWidget;
        table->additem(false); // 03, one register
        QCOMPARE(tree->topLevelItemCount(), 1);
        QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("%IW1"));
        spin(cells, 0, 5)->setValue(2);
        table->ui->checkBox_state->setChecked(true);
        QCOMPARE(rows().size(), 3);
        const QStringList registers = rows();
        QCOMPARE(QStringList({ registers[0].section(' ', 0, 0), registers[1].section(' ', 0, 0),
                     registers[2].section(' ', 0, 0) }),
            QStringList({ "%IW1", "%IW3", "%IW4" }));
        // A write function moves the row's data to the outputs, listed after every input.
        combo(cells, 0, 2)->setCurrentIndex(7); // 16
        spin(cells, 0, 6)->setValue(1);
        QStringList addresses;
        for (const QString &row : rows())
            addresses << row.section(' ', 0, 0);
        QCOMPARE(addresses, QStringList({ "%IW0", "%QW1" }));
        QCOMPARE(m.ioPoints.size(), 2);
        for (int i = 0; i < 2; ++i)
            QCOMPARE(tree->topLevelItem(i)->text(0), m.ioPoints.at(i)->address);
        // The end of a scan hands the page its owner again; the table's points stay as they are.
        const QList<IoPoint *> before = m.ioPoints;
        m.setPagesOwner();
        QCOMPARE(m.ioPoints, before);
    }
};

RIVUDO_TEST_MAIN(TestGatewayRoundTrip)
#include "tst_gatewayroundtrip.moc"
