// The communication monitor page against the fake gateway's monitor stream, over UDP on
// loopback and over a pty.
#include "endpoints.h"
#include "fakecommmonitor.h"
#include "fakemodule.h"
#include "modbusmonitor.h"
#include "modbusmonitorcodec.h"
#include "module.h"
#include "pagelookup.h"
#include "polllink.h"
#include "promptrecorder.h"
#include "seriallink.h"
#include "serialpeer.h"
#include "tempappdir.h"
#include "testsupport.h"
#include "ui_modbusmonitor.h"

#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QUdpSocket>
#include <memory>

namespace {

QStringList lines(ModbusMonitor *page)
{
    const QString text = page->ui->textEdit->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
}

QColor lineColor(ModbusMonitor *page, int line)
{
    const QTextBlock block = page->ui->textEdit->document()->findBlockByNumber(line);
    return block.begin().fragment().charFormat().foreground().color();
}

} // namespace

class TestModbusMonitor : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempAppDir> dir;
    std::unique_ptr<module> mod;
    QPointer<ModbusMonitor> page;

    // The example Modbus TCP gateway, which carries the monitor page.
    void makeModule(modulebase::CONNEST_TYPE type, const QString &where)
    {
        mod.reset(new module("RVE-C200", "RVE"));
        if (type == modulebase::CONNEST_NET)
            mod->setIP(where);
        else
            mod->comstr = where;
        mod->connType = type;
        page = TestSupport::builtPageOf<ModbusMonitor>(mod.get());
        QVERIFY(page);
    }
    QPushButton *openButton() { return page->ui->open_pushButton; }

private slots:
    void init() { dir.reset(new TempAppDir(true)); }
    void cleanup()
    {
        mod.reset();
        dir.reset();
    }

    void emptyPage()
    {
        makeModule(modulebase::CONNEST_NET, "127.0.0.1");
        QCOMPARE(page->title, QStringLiteral("通讯监控"));
        QCOMPARE(openButton()->text(), QStringLiteral("打开"));
        QVERIFY(openButton()->isCheckable());
        QVERIFY(page->ui->slave_pushButton->isEnabled());
        QVERIFY(page->ui->textEdit->isReadOnly());
        QCOMPARE(page->getParamData(), QByteArray());
        QVERIFY(!page->link()->isRunning());
    }

    void udpStream_data()
    {
        QTest::addColumn<int>("splitAt");
        QTest::addColumn<bool>("backToBack");
        QTest::addColumn<QStringList>("expected");
        const QStringList whole { "Rx slot=1,03 01 00", "Tx slot=2", "Err slot=3" };
        QTest::newRow("spaced") << 0 << false << whole;
        QTest::newRow("back to back") << 0 << true << whole;
        // Each datagram is one message, also the pieces of a split one.
        QTest::newRow("split") << 5 << false
                               << QStringList { "Rx sl", "ot=1,03 01 00", "Tx sl", "ot=2", "Err s", "lot=3" };
    }

    void udpStream()
    {
        QFETCH(int, splitAt);
        QFETCH(bool, backToBack);
        QFETCH(QStringList, expected);
        FakeModule fake(QStringLiteral("127.0.0.71"));
        QVERIFY(fake.start());
        auto monitor = std::make_shared<FakeCommMonitor>();
        FakeMisbehaviour odd;
        odd.splitAt = splitAt;
        odd.gapMs = splitAt ? 50 : 0;
        odd.backToBack = backToBack;
        monitor->setMisbehaviour(odd);
        QVERIFY(fake.addService(monitor));
        makeModule(modulebase::CONNEST_NET, fake.address());

        openButton()->click();
        QVERIFY(page->open);
        QCOMPARE(openButton()->text(), QStringLiteral("关闭"));
        QVERIFY(!page->ui->slave_pushButton->isEnabled());
        // The first keep-alive goes out at once, the next ones every 400 ms.
        QTRY_VERIFY_WITH_TIMEOUT(monitor->log().keepAlives() >= 1, 5000);
        QCOMPARE(monitor->received().first(), QByteArray("IAMOK"));
        QTRY_VERIFY_WITH_TIMEOUT(monitor->log().keepAlives() >= 3, 10000);
        for (const QByteArray &datagram : monitor->received())
            QCOMPARE(datagram, QByteArray("IAMOK"));

        monitor->log().queue({ "Rx slot=1,03 01 00", QByteArray("Tx slot=2\0junk", 14), "Err slot=3" });
        // The pieces of split datagrams may arrive interleaved with others.
        const auto arrived = [this, splitAt] {
            QStringList shown = lines(page);
            if (splitAt)
                shown.sort();
            return shown;
        };
        if (splitAt)
            expected.sort();
        QTRY_COMPARE_WITH_TIMEOUT(arrived(), expected, 10000);

        openButton()->click();
        QVERIFY(!page->open);
        QCOMPARE(openButton()->text(), QStringLiteral("打开"));
        QVERIFY(page->ui->slave_pushButton->isEnabled());
        QVERIFY(!page->link()->isRunning());
        // The local port is free again.
        QUdpSocket probe;
        QVERIFY(probe.bind(QHostAddress::AnyIPv4, Endpoints::current().modbusMonLocalPort));
    }

    void portInUseLeavesThePageClosed()
    {
        PromptRecorder prompts;
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress::AnyIPv4, Endpoints::current().modbusMonLocalPort));
        makeModule(modulebase::CONNEST_NET, "127.0.0.72");
        openButton()->click();
        QVERIFY(!openButton()->isChecked());
        QCOMPARE(openButton()->text(), QStringLiteral("打开"));
        QVERIFY(!page->open);
        QVERIFY(page->ui->slave_pushButton->isEnabled());
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.lastCaption(), QStringLiteral("错误"));
        QVERIFY(prompts.lastText().startsWith(QStringLiteral("打开通讯失败：")));
    }

    void serialStream()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        auto device = std::make_shared<FakeCommMonitorSerial>();
        peer.addDevice(device);
        makeModule(modulebase::CONNEST_COM, peer.portName());

        openButton()->click();
        QVERIFY(page->open);
        QTRY_VERIFY_WITH_TIMEOUT(device->log().keepAlives() >= 2, 10000);
        QVERIFY(peer.received().startsWith("M\r\nM\r\n"));

        // A chunk that ends inside a message shows the whole ones; the rest waits for its "#".
        peer.send("Rx=1##Tx=2#Err=3 pa");
        QTRY_COMPARE_WITH_TIMEOUT(lines(page), QStringList({ "Rx=1", "Tx=2" }), 10000);
        peer.send("rt#Disable=4#");
        QTRY_COMPARE_WITH_TIMEOUT(lines(page), QStringList({ "Rx=1", "Tx=2", "Err=3 part", "Disable=4" }), 10000);
        // Messages the module sends in answer to its keep-alive.
        device->log().queue({ "Rx slot=9", "Tx slot=9" });
        QTRY_COMPARE_WITH_TIMEOUT(lines(page).mid(4), QStringList({ "Rx slot=9", "Tx slot=9" }), 10000);

        // A stream that never ends a message does not grow the buffer without end.
        peer.send(QByteArray(3 * ModbusMonitor::maxSerialBuffer, 'a'));
        peer.send("#end#");
        QTRY_COMPARE_WITH_TIMEOUT(lines(page).value(lines(page).size() - 1), QStringLiteral("end"), 20000);
        for (const QString &line : lines(page))
            QVERIFY(line.size() < 2 * ModbusMonitor::maxSerialBuffer);

        // Closing gives the port back.
        openButton()->click();
        QVERIFY(!page->link()->isRunning());
        SerialLink again;
        QVERIFY2(again.open(peer.portName()), qPrintable(again.errorString()));
    }

    // The port gone while the monitor is open: the log says which port and why, in red, once,
    // rather than going quiet as if the bus were.
    void portGoneIsSaidInTheLog()
    {
        auto peer = std::make_unique<SerialPeer>();
        QVERIFY(peer->isOpen());
        // Through a link that goes with the port, as an adapter's does: the dead terminal's
        // number may soon be another program's.
        QTemporaryDir dir;
        const QString port = dir.filePath(QStringLiteral("gateway"));
        QVERIFY(QFile::link(peer->portName(), port));
        makeModule(modulebase::CONNEST_COM, port);
        openButton()->click();
        peer->send("Rx=1#");
        QTRY_COMPARE_WITH_TIMEOUT(lines(page), QStringList({ "Rx=1" }), 10000);
        peer.reset();
        QFile::remove(port);
        QTRY_COMPARE_WITH_TIMEOUT(lines(page).size(), 2, 10000);
        QVERIFY2(lines(page).at(1).startsWith(QString::fromUtf8("串口%1").arg(port)), qPrintable(lines(page).at(1)));
        QCOMPARE(lineColor(page, 1), QColor(Qt::red));
        // Said once while the reason stays the same.
        QTest::qWait(1500);
        QVERIFY(lines(page).size() <= 3);
    }

    void destructorClosesTheLink_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::newRow("network") << false;
        QTest::newRow("serial") << true;
    }

    void destructorClosesTheLink()
    {
        QFETCH(bool, serial);
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        makeModule(serial ? modulebase::CONNEST_COM : modulebase::CONNEST_NET,
            serial ? peer.portName() : QStringLiteral("127.0.0.73"));
        openButton()->click();
        QVERIFY(page->link()->isRunning());
        mod.reset(); // its pages go with it
        QVERIFY(!page);
        if (serial) {
            SerialLink again;
            QVERIFY2(again.open(peer.portName()), qPrintable(again.errorString()));
        } else {
            QUdpSocket probe;
            QVERIFY(probe.bind(QHostAddress::AnyIPv4, Endpoints::current().modbusMonLocalPort));
        }
    }

    void resetAndHideClose()
    {
        FakeModule fake(QStringLiteral("127.0.0.74"));
        QVERIFY(fake.start());
        makeModule(modulebase::CONNEST_NET, fake.address());
        page->show();
        openButton()->click();
        QVERIFY(page->link()->isRunning());
        page->hide();
        QVERIFY(!page->link()->isRunning());
        QVERIFY(!openButton()->isChecked());
        QCOMPARE(openButton()->text(), QStringLiteral("打开"));
        QVERIFY(page->ui->slave_pushButton->isEnabled());
        // Opened again and reset by the module frame before its pages are shown.
        openButton()->click();
        QVERIFY(page->link()->isRunning());
        page->resetPage();
        QVERIFY(!page->link()->isRunning());
        QVERIFY(!openButton()->isChecked());
    }

    void languageKeepsTheButtonTrue()
    {
        FakeModule fake(QStringLiteral("127.0.0.75"));
        QVERIFY(fake.start());
        makeModule(modulebase::CONNEST_NET, fake.address());
        openButton()->click();
        page->retranslate(1);
        QCOMPARE(openButton()->text(), QStringLiteral("关闭"));
        openButton()->click();
        QVERIFY(!page->link()->isRunning());
        page->retranslate(0);
        QCOMPARE(openButton()->text(), QStringLiteral("打开"));
    }

    void filter_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("shown");
        QTest::newRow("listed slot") << "3,12"
                                     << "Rx slot=12,fc=3" << false;
        QTest::newRow("other slot") << "3,12"
                                    << "Rx slot=4,fc=3" << true;
        QTest::newRow("no slot") << "3,12"
                                 << "Err timeout" << true;
        QTest::newRow("first number counts") << "3,12"
                                             << "Rx a=x,slot=3" << false;
        QTest::newRow("more digits") << "3,12"
                                     << "Rx slot=123" << true;
        QTest::newRow("not a number is 0") << "0"
                                           << "Rx slot=1a,x" << false;
        QTest::newRow("trailing comma hides 0") << "3,"
                                                << "Tx slot=0" << false;
        QTest::newRow("trailing comma keeps 1") << "3,"
                                                << "Tx slot=1" << true;
        QTest::newRow("empty filter") << ""
                                      << "Tx slot=0" << true;
    }

    void filter()
    {
        QFETCH(QString, filter);
        QFETCH(QString, message);
        QFETCH(bool, shown);
        makeModule(modulebase::CONNEST_NONE, QString());
        page->ui->lineEdit_fiter->setText(filter);
        page->appendText(message.toUtf8());
        QCOMPARE(lines(page), shown ? QStringList { message } : QStringList());
    }

    void filterField()
    {
        makeModule(modulebase::CONNEST_NONE, QString());
        QLineEdit *field = page->ui->lineEdit_fiter;
        QTest::keyClicks(field, "3,12,,a 1234");
        QCOMPARE(field->text(), QStringLiteral("3,12,123"));
    }

    void colours_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("Rx") << QByteArray("Rx slot=1") << QColor(60, 179, 113);
        QTest::newRow("Tx") << QByteArray("Tx slot=1") << QColor(0, 128, 128);
        QTest::newRow("Err") << QByteArray("Err slot=1") << QColor(Qt::red);
        QTest::newRow("Disable") << QByteArray("slot 1 Disable") << QColor(Qt::gray);
        QTest::newRow("Tx before Err") << QByteArray("Err Tx") << QColor(0, 128, 128);
        QTest::newRow("case matters") << QByteArray("rx tx err") << QColor(Qt::black);
    }

    void colours()
    {
        QFETCH(QByteArray, message);
        QFETCH(QColor, colour);
        makeModule(modulebase::CONNEST_NONE, QString());
        page->appendText("plain");
        page->appendText(message);
        page->appendText("plain again");
        QCOMPARE(lineColor(page, 1), colour);
        QCOMPARE(lineColor(page, 2), QColor(Qt::black));
        QCOMPARE(monitorMessageColor(message), colour);
    }

    void logKeepsTwoHundredLines()
    {
        makeModule(modulebase::CONNEST_NONE, QString());
        page->appendText(QByteArray());
        QCOMPARE(lines(page), QStringList());
        for (int i = 1; i <= 201; ++i)
            page->appendText("Rx " + QByteArray::number(i));
        const QStringList shown = lines(page);
        QCOMPARE(shown.size(), 200);
        QCOMPARE(shown.first(), QStringLiteral("Rx 2"));
        QCOMPARE(shown.last(), QStringLiteral("Rx 201"));
        page->ui->clean_pushButton->click();
        QCOMPARE(lines(page), QStringList());
    }

    void cutter_data()
    {
        QTest::addColumn<QByteArray>("buffer");
        QTest::addColumn<QList<QByteArray>>("messages");
        QTest::addColumn<QByteArray>("rest");
        QTest::newRow("empty") << QByteArray() << QList<QByteArray>() << QByteArray();
        QTest::newRow("part") << QByteArray("Rx=1") << QList<QByteArray>() << QByteArray("Rx=1");
        QTest::newRow("ends on #") << QByteArray("a#b#") << QList<QByteArray> { "a", "b" } << QByteArray();
        QTest::newRow("empty messages") << QByteArray("##a") << QList<QByteArray> { "", "" } << QByteArray("a");
        QTest::newRow("zero bytes kept") << QByteArray("a\0b#c", 5) << QList<QByteArray> { QByteArray("a\0b", 3) }
                                         << QByteArray("c");
    }

    void cutter()
    {
        QFETCH(QByteArray, buffer);
        QFETCH(QList<QByteArray>, messages);
        QFETCH(QByteArray, rest);
        QCOMPARE(cutMonitorMessages(buffer), messages);
        QCOMPARE(buffer, rest);
    }

    // A message too long for one readable line shows its start; the saved log holds it whole,
    // and the line limit drops it like any other.
    void longMessageShownCutSavedWhole()
    {
        PromptRecorder prompts;
        makeModule(modulebase::CONNEST_NONE, QString());
        QByteArray longOne = "Err slot=4 ";
        longOne.append(QByteArray(3000, 'x')).append("\nsecond line\r\n").append(QByteArray(3000, 'y'));
        page->appendText("Rx slot=1");
        page->appendText(longOne);
        page->appendText("Tx slot=2");
        QCOMPARE(lines(page).size(), 3);
        const QString shown = lines(page).at(1);
        QVERIFY(shown.startsWith("Err slot=4 xxx"));
        QVERIFY(shown.size() <= ModbusMonitor::maxShownChars + 2);
        QCOMPARE(lineColor(page, 1), QColor(Qt::red));
        QCOMPARE(lineColor(page, 2), QColor(0, 128, 128));
        prompts.fileAnswers.enqueue(dir->path() + "/log.txt");
        page->ui->slave_pushButton->click();
        QCOMPARE(dir->read("/log.txt"), "Rx slot=1\n" + longOne + "\nTx slot=2");

        for (int i = 0; i < ModbusMonitor::maxBlocks - 1; ++i)
            page->appendText("Rx " + QByteArray::number(i));
        QCOMPARE(lines(page).first(), QStringLiteral("Tx slot=2"));
        prompts.fileAnswers.enqueue(dir->path() + "/log.txt");
        page->ui->slave_pushButton->click();
        QVERIFY(!dir->read("/log.txt").contains("Err slot=4"));
    }

    void save_data()
    {
        QTest::addColumn<QString>("answer"); // "<dir>" stands for a writable folder
        QTest::addColumn<bool>("written");
        QTest::addColumn<int>("warnings");
        QTest::newRow("saved") << "<dir>/log.txt" << true << 0;
        QTest::newRow("cancelled") << "" << false << 0;
        QTest::newRow("folder missing") << "<dir>/missing/log.txt" << false << 1;
    }

    void save()
    {
        QFETCH(QString, answer);
        QFETCH(bool, written);
        QFETCH(int, warnings);
        PromptRecorder prompts;
        makeModule(modulebase::CONNEST_NONE, QString());
        page->appendText("Rx slot=1 中文");
        page->appendText("Err slot=2");
        QVERIFY(dir->write("/log.txt", "old"));
        prompts.fileAnswers.enqueue(QString(answer).replace("<dir>", dir->path()));
        page->ui->slave_pushButton->click();
        QCOMPARE(dir->read("/log.txt"), written ? QByteArray("Rx slot=1 中文\nErr slot=2") : QByteArray("old"));
        QCOMPARE(prompts.messages.size(), warnings);
        if (warnings)
            QVERIFY(prompts.lastText().startsWith(QStringLiteral("保存失败：")));
    }
};

RIVUDO_TEST_MAIN(TestModbusMonitor)
#include "tst_modbusmonitor.moc"
