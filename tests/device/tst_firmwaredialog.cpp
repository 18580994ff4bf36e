#include "fakemodule.h"
#include "firmwaredialog.h"
#include "firmwarefileform.h"
#include "module.h"
#include "promptrecorder.h"
#include "tempappdir.h"
#include "testsupport.h"
#include "ui_firmwaredialog.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QPointer>
#include <QtEndian>

namespace {

module *makeModule(const QString &ip, const QString &name = QStringLiteral("RVE-C100"))
{
    auto *m = new module("RVE-C100", "RVE");
    m->setIP(ip);
    m->ModuleShowName = name;
    m->connType = modulebase::CONNEST_NET;
    return m;
}

// An Intel HEX text holding image at address 0, sixteen bytes a line.
QByteArray hexText(const QByteArray &image)
{
    QByteArray text;
    for (int at = 0; at < image.size(); at += 16) {
        const QByteArray data = image.mid(at, 16);
        QByteArray record;
        record.append(char(data.size())).append(char(at >> 8)).append(char(at & 0xFF)).append('\0').append(data);
        quint8 sum = 0;
        for (char c : record)
            sum += quint8(c);
        record.append(char(quint8(0u - sum)));
        text += ":" + record.toHex().toUpper() + "\r\n";
    }
    return text + ":00000001FF\r\n";
}

QByteArray headerBytes(const QByteArray &image)
{
    quint32 sum = 0;
    for (char c : image)
        sum += quint8(c);
    QByteArray header(12, '\0');
    qToLittleEndian<quint32>(0x1357ABCD, header.data());
    qToLittleEndian<quint32>(quint32(image.size()), header.data() + 4);
    qToLittleEndian<quint32>(0u - sum, header.data() + 8);
    return header;
}

QString state(FirmwareDialog &d, int row)
{
    return d.form()->tableWidget->item(row, 4)->text();
}

QStringList column(FirmwareDialog &d, int col)
{
    QStringList texts;
    for (int row = 0; row < d.form()->tableWidget->rowCount(); ++row)
        texts << d.form()->tableWidget->item(row, col)->text();
    return texts;
}

QCheckBox *tick(FirmwareDialog &d, int row)
{
    return qobject_cast<QCheckBox *>(d.form()->tableWidget->cellWidget(row, 0));
}

FirmwareFileForm *fileCell(FirmwareDialog &d, int row)
{
    return qobject_cast<FirmwareFileForm *>(d.form()->tableWidget->cellWidget(row, 3));
}

QStringList addresses(const ModuleTargetList &list)
{
    QStringList ips;
    for (const ModuleTarget &t : list)
        ips << t.ip;
    return ips;
}

} // namespace

class TestFirmwareDialog : public QObject
{
    Q_OBJECT
private:
    TempAppDir *m_app = nullptr;
    QList<module *> m_modules;

    QString hexFile(const QString &name, const QByteArray &image)
    {
        m_app->write("/" + name, hexText(image));
        return m_app->filePath("/" + name);
    }

private slots:
    void initTestCase() { m_app = new TempAppDir; }
    void cleanup()
    {
        qDeleteAll(m_modules);
        m_modules.clear();
    }
    void cleanupTestCase() { delete m_app; }

    void emptyListLeavesTheControlsOff()
    {
        FirmwareDialog d;
        QVERIFY(!d.form()->checkBox->isEnabled());
        QVERIFY(!d.form()->pushButton->isEnabled());
        d.setModuleList({});
        QVERIFY(!d.form()->checkBox->isEnabled());
        QVERIFY(!d.form()->pushButton->isEnabled());
        QVERIFY(d.windowFlags() & Qt::FramelessWindowHint);
    }

    void rows()
    {
        m_modules = { makeModule("192.168.1.1", "A"), makeModule("192.168.1.10", "B") };
        FirmwareDialog d;
        d.setModuleList(m_modules);
        QVERIFY(d.form()->checkBox->isEnabled());
        QVERIFY(d.form()->pushButton->isEnabled());
        QCOMPARE(column(d, 1), QStringList({ "192.168.1.1", "192.168.1.10" }));
        QCOMPARE(column(d, 2), QStringList({ "A", "B" }));
        QCOMPARE(column(d, 4), QStringList({ "未下载", "未下载" }));
        QVERIFY(tick(d, 1)->isChecked());
        QVERIFY(fileCell(d, 0)->isPathEmpty());
        QVERIFY(!(d.form()->tableWidget->item(0, 4)->flags() & Qt::ItemIsEditable));
    }

    void statusGoesToTheExactRow_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<QStringList>("states");
        QTest::newRow("short address") << "192.168.1.1#开始下载" << QStringList { "开始下载", "未下载", "未下载" };
        QTest::newRow("long address") << "192.168.1.10#下载中 +" << QStringList { "未下载", "下载中 +", "未下载" };
        QTest::newRow("unticked row") << "192.168.1.2#下载完成" << QStringList { "未下载", "未下载", "未下载" };
        QTest::newRow("part of an address") << "192.168.1.#下载出错" << QStringList { "未下载", "未下载", "未下载" };
        QTest::newRow("no status") << "192.168.1.1" << QStringList { "未下载", "未下载", "未下载" };
    }

    void statusGoesToTheExactRow()
    {
        QFETCH(QString, report);
        QFETCH(QStringList, states);
        m_modules = { makeModule("192.168.1.1"), makeModule("192.168.1.10"), makeModule("192.168.1.2") };
        FirmwareDialog d;
        d.setModuleList(m_modules);
        tick(d, 2)->setChecked(false);
        d.SetCurScanIP(report);
        QCOMPARE(column(d, 4), states);
    }

    void sameFirmwareForAll_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("path") << "a.hex" << QStringList { "a.hex", "a.hex", "c", "a.hex" };
        QTest::newRow("empty path") << "" << QStringList { "", "", "c", "" };
    }

    void sameFirmwareForAll()
    {
        QFETCH(QString, first);
        QFETCH(QStringList, paths);
        m_modules = { makeModule("10.0.0.1"), makeModule("10.0.0.2"), makeModule("10.0.0.3"), makeModule("10.0.0.4") };
        FirmwareDialog d;
        d.setModuleList(m_modules);
        for (int row = 1; row < 4; ++row)
            fileCell(d, row)->setPath(QString(QChar('a' + row)));
        fileCell(d, 0)->setPath(first);
        tick(d, 0)->setChecked(false);
        tick(d, 2)->setChecked(false);
        d.form()->checkBox->setChecked(true);
        QStringList shown;
        for (int row = 0; row < 4; ++row)
            shown << fileCell(d, row)->getPath();
        QCOMPARE(shown, paths);
        // Unticking copies again.
        fileCell(d, 1)->setPath("x");
        d.form()->checkBox->setChecked(false);
        QCOMPARE(fileCell(d, 1)->getPath(), first);
    }

    void sorting()
    {
        m_modules = { makeModule("10.0.0.1", "c"), makeModule("10.0.0.2", "a"), makeModule("10.0.0.3", "B"),
            makeModule("10.0.0.4", "a"), makeModule("10.0.0.5", "d") };
        FirmwareDialog d;
        d.setModuleList(m_modules);
        const QStringList statuses { "下载完成", "未下载", "下载中 +", "下载错误", "下载完成" };
        for (int row = 0; row < 5; ++row) {
            d.form()->tableWidget->item(row, 4)->setText(statuses[row]);
            fileCell(d, row)->setPath(QString("p%1").arg(row));
        }
        tick(d, 1)->setChecked(false);
        tick(d, 3)->setChecked(false);

        d.form()->tableWidget->horizontalHeader()->sectionClicked(4);
        QCOMPARE(column(d, 1), QStringList({ "10.0.0.4", "10.0.0.3", "10.0.0.2", "10.0.0.1", "10.0.0.5" }));
        QCOMPARE(column(d, 4), QStringList({ "下载错误", "下载中 +", "未下载", "下载完成", "下载完成" }));
        QCOMPARE(fileCell(d, 0)->getPath(), QString("p3"));
        QVERIFY(!tick(d, 0)->isChecked());

        d.form()->tableWidget->horizontalHeader()->sectionClicked(2);
        QCOMPARE(column(d, 2), QStringList({ "B", "a", "a", "c", "d" }));
        QCOMPARE(column(d, 1), QStringList({ "10.0.0.3", "10.0.0.4", "10.0.0.2", "10.0.0.1", "10.0.0.5" }));

        d.form()->tableWidget->horizontalHeader()->sectionClicked(0);
        QCOMPARE(column(d, 1), QStringList({ "10.0.0.3", "10.0.0.1", "10.0.0.5", "10.0.0.4", "10.0.0.2" }));
        for (int row = 0; row < 5; ++row) {
            QCOMPARE(tick(d, row)->isChecked(), row < 3);
            QCOMPARE(d.items[row]->row, row);
            QCOMPARE(fileCell(d, row)->getPath(), QString("p%1").arg(d.items[row]->ip.right(1).toInt() - 1));
        }

        // Headers 1 and 3 leave the order alone.
        d.form()->tableWidget->horizontalHeader()->sectionClicked(1);
        d.form()->tableWidget->horizontalHeader()->sectionClicked(3);
        QCOMPARE(column(d, 1), QStringList({ "10.0.0.3", "10.0.0.1", "10.0.0.5", "10.0.0.4", "10.0.0.2" }));
    }

    void dealing_data()
    {
        QTest::addColumn<QList<int>>("ticked");
        QTest::addColumn<QList<QStringList>>("lists");
        QTest::newRow("rows 0 to 3") << QList<int> { 0, 1, 2,
            3 } << QList<QStringList> { { "127.0.0.61", "127.0.0.64" }, { "127.0.0.62" }, { "127.0.0.63" } };
        QTest::newRow("rows 0 and 3") << QList<int> { 0, 3 }
                                      << QList<QStringList> { { "127.0.0.61", "127.0.0.64" }, {}, {} };
        QTest::newRow("rows 2 and 4") << QList<int> { 2, 4 }
                                      << QList<QStringList> { {}, { "127.0.0.65" }, { "127.0.0.63" } };
    }

    void dealing()
    {
        // Nothing listens on these addresses: every module ends at once with a refused link.
        QFETCH(QList<int>, ticked);
        QFETCH(QList<QStringList>, lists);
        const QString hex = hexFile("deal.hex", "\x01\x02\x03");
        for (int i = 1; i <= 5; ++i)
            m_modules << makeModule(QString("127.0.0.6%1").arg(i));
        FirmwareDialog d;
        d.setModuleList(m_modules);
        for (int row = 0; row < 5; ++row) {
            tick(d, row)->setChecked(ticked.contains(row));
            fileCell(d, row)->setPath(hex);
        }
        QTest::mouseClick(d.form()->pushButton, Qt::LeftButton);
        QVERIFY(!d.form()->pushButton->isEnabled());
        for (int w = 0; w < 3; ++w)
            QCOMPARE(addresses(d.workerLists[w]), lists[w]);
        for (int row = 0; row < 5; ++row)
            QCOMPARE(m_modules[row]->firmwareFlag, ticked.contains(row) ? 1 : 0);
        QTRY_VERIFY_WITH_TIMEOUT(d.form()->pushButton->isEnabled(), 30000);
        for (int row = 0; row < 5; ++row)
            QCOMPARE(state(d, row), ticked.contains(row) ? QString("连接超时") : QString("未下载"));
    }

    void updateAgainstFakes()
    {
        PromptRecorder prompts;
        QList<FakeModule *> fakes;
        for (int i = 1; i <= 4; ++i) {
            fakes << new FakeModule(QString("127.0.0.7%1").arg(i));
            QVERIFY(fakes.last()->start());
            m_modules << makeModule(fakes.last()->address());
        }
        const QByteArray images[]
            = { QByteArray(40, '\x11'), QByteArray("\x01\x02\x03"), QByteArray(), QByteArray(600, '\xA5') };
        FirmwareDialog d;
        d.setModuleList(m_modules);
        fileCell(d, 0)->setPath(hexFile("a.hex", images[0]));
        fileCell(d, 1)->setPath(hexFile("b.hex", images[1]));
        m_app->write("/bad.hex", ":03000000010203F8\r\n:00000001FF\r\n");
        fileCell(d, 2)->setPath(m_app->filePath("/bad.hex"));
        fileCell(d, 3)->setPath(hexFile("d.hex", images[3]));

        QTest::mouseClick(d.form()->pushButton, Qt::LeftButton);
        // The bad file is reported and its module left alone; the third worker has nothing
        // to do and ends at once, yet the button waits for the other two.
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.lastText(), QString("提供的hex文件不对"));
        QCOMPARE(state(d, 2), QString("下载出错"));
        QCOMPARE(m_modules[2]->firmwareFlag, 0);
        QVERIFY(d.workerLists[2].isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(d.form()->pushButton->isEnabled(), 60000);
        QCOMPARE(column(d, 4), QStringList({ "下载完成", "下载完成", "下载出错", "下载完成" }));

        for (int i : { 0, 1, 3 }) {
            QCOMPARE(fakes[i]->received(FakeModule::CommandPort), QByteArray("f\r\n"));
            QCOMPARE(fakes[i]->firmwareHeader(), headerBytes(images[i]));
            QCOMPARE(fakes[i]->firmwareImage(), images[i]);
            QCOMPARE(m_modules[i]->firmwareHeader.toBytes(), headerBytes(images[i]));
            QVERIFY(m_modules[i]->firmwareData.isEmpty());
        }
        QCOMPARE(fakes[2]->connectionCount(FakeModule::CommandPort), 0);
        QCOMPARE(fakes[2]->connectionCount(FakeModule::FirmwarePort), 0);
        qDeleteAll(fakes);
    }

    void modulesMayGoWhileWorkersRun()
    {
        FakeModule fake("127.0.0.81");
        fake.setReplyDelay(300);
        QVERIFY(fake.start());
        m_modules << makeModule(fake.address());
        const QByteArray image(100, '\x42');
        QPointer<FirmwareDialog> d = new FirmwareDialog;
        d->setModuleList(m_modules);
        fileCell(*d, 0)->setPath(hexFile("e.hex", image));
        QTest::mouseClick(d->form()->pushButton, Qt::LeftButton);
        delete d;
        cleanup();
        QTRY_COMPARE_WITH_TIMEOUT(fake.firmwareImage(), image, 30000);
        QCOMPARE(fake.firmwareHeader(), headerBytes(image));
    }
};

RIVUDO_TEST_MAIN(TestFirmwareDialog)
#include "tst_firmwaredialog.moc"
