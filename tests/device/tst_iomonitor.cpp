#include "fakeiomonitor.h"
#include "fakemodule.h"
#include "formio.h"
#include "iomonitorcodec.h"
#include "iopoint.h"
#include "module.h"
#include "promptrecorder.h"
#include "serialpeer.h"
#include "tempappdir.h"
#include "testsupport.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <atomic>
#include <memory>

namespace {
const char description[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<ModuleParameter>
  <ModuleList>
    <Module ModuleName="IO-1" ModuleShowName="IO-1" Text="test">
      <Param Len="0"/>
      <menu><Page menuname="I/O"/></menu>
    </Module>
  </ModuleList>
</ModuleParameter>
)";
const QByteArray plainPoll = QByteArray::fromHex("a500005a");
const QByteArray streamOn("\x44\x00\x01", 3);
const QByteArray streamOff("\x44\x00\x00", 3);
}

// The page's monitor against the fake module's I/O monitor: three inputs (%IB0, %IW1) and a
// UINT output, over UDP on loopback and over a pty.
class TestIoMonitor : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempAppDir> dir;
    std::unique_ptr<module> mod;
    QPointer<FormIO> page;
    std::shared_ptr<FakeIoImage> image;

    QTreeWidget *tree() { return TestSupport::child<QTreeWidget>(page, "treeWidget"); }
    // The control of a cell exists while the cell is edited: the cell becomes current and is edited.
    QWidget *editor(int row, int column)
    {
        QTreeWidgetItem *item = tree()->topLevelItem(row);
        tree()->setCurrentItem(item, column);
        if (!tree()->itemWidget(item, column))
            tree()->editItem(item, column);
        return tree()->itemWidget(item, column);
    }
    QComboBox *combo(int row, int column) { return qobject_cast<QComboBox *>(editor(row, column)); }
    QSpinBox *spin(int row) { return qobject_cast<QSpinBox *>(editor(row, 4)); }
    QString shown(int row) { return tree()->topLevelItem(row)->text(3); }
    QPushButton *button(const char *name) { return TestSupport::child<QPushButton>(page, name); }
    QString state() { return TestSupport::child<QLabel>(page, "label_state")->text(); }

    // The page's module reached over the serial line or the network, with the image served
    // there; a silent module takes the polls and never answers.
    void serveImage(
        bool serial, bool silent, FakeModule &fake, SerialPeer &peer, std::shared_ptr<FakeIoMonitor> &service)
    {
        if (serial) {
            QVERIFY(peer.isOpen());
            makeModule(modulebase::CONNEST_COM, peer.portName());
            if (!silent)
                peer.addDevice(std::make_shared<FakeIoMonitorSerial>(image));
            return;
        }
        QVERIFY(fake.start());
        makeModule(modulebase::CONNEST_NET, fake.address());
        service = std::make_shared<FakeIoMonitor>(image);
        if (silent) {
            FakeMisbehaviour m;
            m.silent = true;
            service->setMisbehaviour(m);
        }
        QVERIFY(fake.addService(service));
    }

    void makeModule(modulebase::CONNEST_TYPE type, const QString &where)
    {
        mod.reset(new module("IO-1", "IOT"));
        mod->inlen = "3";
        mod->outlen = "2";
        mod->buildIoPoints();
        if (type == modulebase::CONNEST_NET)
            mod->setIP(where);
        else
            mod->comstr = where;
        mod->connType = type;
        page = qobject_cast<FormIO *>(mod->pageList.value(0));
        QVERIFY(page);
        page->updatePage();
        combo(1, 1)->setCurrentIndex(1); // %IW1
        combo(2, 1)->setCurrentIndex(1); // %QW0
        image = std::make_shared<FakeIoImage>(3, 2);
        image->setInputs(QByteArray::fromHex("112233"));
    }

private slots:
    void init()
    {
        dir.reset(new TempAppDir(false));
        QVERIFY(dir->write("/ModuleParameter/IOT/ModuleParameter.xml", description));
    }
    void cleanup()
    {
        mod.reset();
        dir.reset();
    }

    void udpMonitorsWritesAndStops()
    {
        FakeModule fake(QStringLiteral("127.0.0.61"));
        QVERIFY(fake.start());
        makeModule(modulebase::CONNEST_NET, fake.address());
        auto service = std::make_shared<FakeIoMonitor>(image);
        QVERIFY(fake.addService(service));

        QSignalSpy samples(page.data(), &FormIO::updataiovalue);
        button("pushButton")->click();
        QVERIFY(page->connected);
        QCOMPARE(state(), QStringLiteral("连接成功"));
        QVERIFY(button("pushButton_write")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(fake.commands().contains(streamOn), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(shown(1), QStringLiteral("13090"), 5000);
        QCOMPARE(shown(0), QStringLiteral("17"));
        QVERIFY(!service->received().isEmpty());
        QCOMPARE(service->received().first(), plainPoll);
        QVERIFY(samples.count() >= 1);

        // Swap on %IW1 reads the same bytes the other way round.
        combo(1, 5)->setCurrentIndex(1);
        QTRY_COMPARE_WITH_TIMEOUT(shown(1), QStringLiteral("8755"), 5000);

        // A data byte 0x5A does not end the reply.
        image->setInputs(QByteArray::fromHex("5a5a33"));
        combo(1, 5)->setCurrentIndex(0);
        QTRY_COMPARE_WITH_TIMEOUT(shown(1), QString::number(0x335a), 5000);
        QCOMPARE(shown(0), QString::number(0x5a));

        // Retranslating keeps the open link's texts.
        page->retranslate(0);
        QCOMPARE(state(), QStringLiteral("连接成功"));
        QCOMPARE(button("pushButton")->text(), QStringLiteral("停止"));

        // A write rides on exactly three polls.
        spin(2)->setValue(0x1234);
        service->clearReceived();
        button("pushButton_write")->click();
        QTRY_VERIFY_WITH_TIMEOUT(service->received().size() >= 5, 5000);
        int writes = 0;
        for (const QByteArray &d : service->received()) {
            if (d != plainPoll) {
                QCOMPARE(d,
                    QByteArray::fromHex("a50002"
                                        "3412"
                                        "5a"));
                ++writes;
            }
        }
        QCOMPARE(writes, 3);
        QCOMPARE(image->outputs(), QByteArray::fromHex("3412"));

        button("pushButton")->click();
        QVERIFY(!page->connected);
        QCOMPARE(state(), QStringLiteral("连接断开"));
        QTRY_VERIFY_WITH_TIMEOUT(fake.commands().contains(streamOff), 5000);
        QVERIFY(!button("pushButton_write")->isEnabled());
    }

    void oddDatagrams_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("two replies in one datagram") << 0;
        QTest::newRow("reply split over two datagrams") << 1;
        QTest::newRow("replies back to back") << 2;
    }
    void oddDatagrams()
    {
        QFETCH(int, kind);
        FakeModule fake(QStringLiteral("127.0.0.62"));
        QVERIFY(fake.start());
        makeModule(modulebase::CONNEST_NET, fake.address());
        auto service = std::make_shared<FakeIoMonitor>(image);
        QVERIFY(fake.addService(service));
        FakeMisbehaviour m;
        if (kind == 0) {
            // An older reply followed by the current one: the current values win.
            image->setReplyFilter([](const QByteArray &reply) {
                QByteArray old = reply;
                old[3] = char(0x01);
                return old + reply;
            });
        } else if (kind == 1) {
            m.splitAt = 4;
            m.gapMs = 30;
        } else {
            m.backToBack = true;
            m.delayMs = 250; // answers pile up and leave together
        }
        service->setMisbehaviour(m);
        button("pushButton")->click();
        QTRY_COMPARE_WITH_TIMEOUT(shown(1), QStringLiteral("13090"), 5000);
        QCOMPARE(shown(0), QStringLiteral("17"));
        image->setInputs(QByteArray::fromHex("445566"));
        QTRY_COMPARE_WITH_TIMEOUT(shown(1), QString::number(0x6655), 5000);
        QCOMPARE(shown(0), QString::number(0x44));
        QVERIFY(page->connected);
    }

    void silenceCloses()
    {
        FakeModule fake(QStringLiteral("127.0.0.63"));
        QVERIFY(fake.start());
        makeModule(modulebase::CONNEST_NET, fake.address());
        auto service = std::make_shared<FakeIoMonitor>(image);
        FakeMisbehaviour m;
        m.silent = true;
        service->setMisbehaviour(m);
        QVERIFY(fake.addService(service));
        button("pushButton")->click();
        // A write pressed now is dropped with the link, not sent on the next one.
        button("pushButton_write")->click();
        QTRY_COMPARE_WITH_TIMEOUT(state(), QStringLiteral("连接断开"), 10000);
        QVERIFY(!button("pushButton")->isChecked());
        QVERIFY(!page->connected);
        QVERIFY(!page->writePending);
        QVERIFY(service->received().size() >= 10);
        QTRY_VERIFY_WITH_TIMEOUT(fake.commands().contains(streamOff), 5000);
    }

    // A reply shorter than the image is shown when it arrives: the points it holds wholly get
    // their values, the others keep theirs, and the curves get their sample. Here it is the
    // module's last reply, so nothing after it could push it out.
    void shortReplyShowsAtOnce_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::addColumn<QByteArray>("shortReply");
        QTest::addColumn<QString>("first");
        QTest::newRow("udp") << false << QByteArray::fromHex("a5000244555a") << QString::number(0x44);
        QTest::newRow("serial") << true << QByteArray::fromHex("a5000111ff495a") << QString::number(0x11);
    }
    void shortReplyShowsAtOnce()
    {
        QFETCH(bool, serial);
        QFETCH(QByteArray, shortReply);
        QFETCH(QString, first);
        FakeModule fake(QStringLiteral("127.0.0.66"));
        SerialPeer peer;
        std::shared_ptr<FakeIoMonitor> service;
        serveImage(serial, false, fake, peer, service);
        if (QTest::currentTestFailed())
            return;
        image->setInputs(QByteArray::fromHex("aabbcc"));
        auto replies = std::make_shared<std::atomic<int>>(0);
        image->setReplyFilter([replies, shortReply](const QByteArray &reply) {
            const int n = ++*replies;
            return n <= 2 ? reply : n == 3 ? shortReply : QByteArray();
        });
        // What the table shows at each sample.
        QStringList seen;
        const auto recording
            = connect(page.data(), &FormIO::updataiovalue, this, [&] { seen << shown(0) + "/" + shown(1); });
        button("pushButton")->click();
        QTRY_COMPARE_WITH_TIMEOUT(shown(0), first, 5000);
        const QString whole = QString::number(0xaa) + "/" + QString::number(0xccbb);
        disconnect(recording);
        QCOMPARE(seen, QStringList({ whole, whole, first + "/" + QString::number(0xccbb) }));
    }

    // Ten polls in a row without a byte back close the link, right after the tenth: about
    // 1.8 s after opening when the module never answers.
    void givesUpAfterTenPolls_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::newRow("udp") << false;
        QTest::newRow("serial") << true;
    }
    void givesUpAfterTenPolls()
    {
        QFETCH(bool, serial);
        FakeModule fake(QStringLiteral("127.0.0.67"));
        SerialPeer peer;
        std::shared_ptr<FakeIoMonitor> service;
        serveImage(serial, true, fake, peer, service);
        if (QTest::currentTestFailed())
            return;
        const auto polls = [&] {
            return serial ? peer.received().count(QByteArray::fromHex("44a500005afebd")) : service->received().size();
        };
        QElapsedTimer clock;
        clock.start();
        button("pushButton")->click();
        QTRY_COMPARE_WITH_TIMEOUT(state(), QStringLiteral("连接断开"), 10000);
        const qint64 closedAfter = clock.elapsed();
        QVERIFY(!button("pushButton")->isChecked());
        // Nine periods after the opening poll; timers may fire a little early. On the serial line
        // a poll does not wait for the one before to be answered.
        QVERIFY2(closedAfter >= 1600 && closedAfter < 3000, QByteArray::number(closedAfter));
        // The page says why, naming the module's port or address.
        QCOMPARE(TestSupport::child<QLabel>(page, "label_problem")->text(),
            serial ? QString::fromUtf8("串口%1上的模块无应答").arg(peer.portName())
                   : QString::fromUtf8("模块%1无应答").arg(fake.address()));
        if (!serial)
            QTRY_VERIFY_WITH_TIMEOUT(fake.commands().contains(streamOff), 5000);
        // The link stopped with the tenth poll: the count cannot grow past it.
        QTRY_COMPARE_WITH_TIMEOUT(polls(), 10, 5000);
    }

    // Any bytes back are an answer, whether or not they make a reply.
    void anyBytesKeepTheLink_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("udp, one byte") << false << QByteArray::fromHex("00");
        QTest::newRow("udp, a reply's head") << false << QByteArray::fromHex("a50005");
        QTest::newRow("serial, one byte") << true << QByteArray::fromHex("00");
        QTest::newRow("serial, a reply's head") << true << QByteArray::fromHex("a50005");
    }
    void anyBytesKeepTheLink()
    {
        QFETCH(bool, serial);
        QFETCH(QByteArray, answer);
        FakeModule fake(QStringLiteral("127.0.0.68"));
        SerialPeer peer;
        std::shared_ptr<FakeIoMonitor> service;
        serveImage(serial, false, fake, peer, service);
        if (QTest::currentTestFailed())
            return;
        image->setReplyFilter([answer](const QByteArray &) { return answer; });
        button("pushButton")->click();
        // Well past the eleventh poll.
        QTRY_VERIFY_WITH_TIMEOUT(image->pollCount() >= 16, 10000);
        QVERIFY(page->connected);
        QCOMPARE(state(), QStringLiteral("连接成功"));
        button("pushButton")->click();
        QVERIFY(!page->connected);
    }

    // Opened and closed at once on a module that greets the first link late: the switches still
    // reach it in the order asked, so it is not left streaming.
    void quickOpenAndCloseKeepsTheSwitchOrder()
    {
        FakeModule fake(QStringLiteral("127.0.0.69"));
        fake.setGreetingDelays({ 400, 0 });
        QVERIFY(fake.start());
        makeModule(modulebase::CONNEST_NET, fake.address());
        button("pushButton")->click();
        QVERIFY(page->connected);
        // The switch-on link is in, its greeting still to come.
        QTRY_COMPARE_WITH_TIMEOUT(fake.connectionCount(FakeModule::CommandPort), 1, 5000);
        button("pushButton")->click();
        QVERIFY(!page->connected);
        QTRY_COMPARE_WITH_TIMEOUT(fake.commands().size(), 2, 10000);
        QCOMPARE(fake.commands(), (QList<QByteArray> { streamOn, streamOff }));
        QCOMPARE(fake.received(FakeModule::CommandPort), streamOn + streamOff);
    }

    void moduleDeletedWhileMonitoring()
    {
        FakeModule fake(QStringLiteral("127.0.0.64"));
        QVERIFY(fake.start());
        makeModule(modulebase::CONNEST_NET, fake.address());
        auto service = std::make_shared<FakeIoMonitor>(image);
        QVERIFY(fake.addService(service));
        button("pushButton")->click();
        QTRY_COMPARE_WITH_TIMEOUT(shown(1), QStringLiteral("13090"), 5000);
        mod.reset();
        QVERIFY(page.isNull());
        // The link went with the page: monitoring is switched off on the module.
        QTRY_VERIFY_WITH_TIMEOUT(fake.commands().contains(streamOff), 5000);
    }

    void changingInputsReachTheTable()
    {
        FakeModule fake(QStringLiteral("127.0.0.65"));
        QVERIFY(fake.start());
        makeModule(modulebase::CONNEST_NET, fake.address());
        image->setInputChanger([](QByteArray &in) { in[0] = char(in[0] + 1); }, 50);
        auto service = std::make_shared<FakeIoMonitor>(image);
        QVERIFY(fake.addService(service));
        button("pushButton")->click();
        QTRY_VERIFY_WITH_TIMEOUT(shown(0).toInt() > 20, 5000);
    }

    void serialMonitor()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        makeModule(modulebase::CONNEST_COM, peer.portName());
        peer.addDevice(std::make_shared<FakeIoMonitorSerial>(image));
        // A part reply left on the line before the link opens does not spoil the first one.
        peer.send(QByteArray::fromHex("a5000511"));
        QVERIFY(peer.waitForPortInput());

        button("pushButton")->click();
        QVERIFY(page->connected);
        QCOMPARE(state(), QStringLiteral("连接成功"));
        QTRY_COMPARE_WITH_TIMEOUT(shown(1), QStringLiteral("13090"), 5000);
        QCOMPARE(shown(0), QStringLiteral("17"));
        QVERIFY(peer.received().startsWith(QByteArray::fromHex("44a500005afebd")));

        image->setInputs(QByteArray::fromHex("5a5a33"));
        QTRY_COMPARE_WITH_TIMEOUT(shown(1), QString::number(0x335a), 5000);

        // A reply with a wrong check changes nothing, but it is an answer: the link stays.
        image->setReplyFilter([](const QByteArray &reply) {
            QByteArray bad = reply;
            bad[bad.size() - 2] = char(bad.at(bad.size() - 2) ^ 1);
            return bad;
        });
        image->setInputs(QByteArray::fromHex("010203"));
        const int before = peer.received().size();
        QTRY_VERIFY_WITH_TIMEOUT(peer.received().size() > before + 14 * 7, 8000);
        QVERIFY(page->connected);
        QCOMPARE(shown(1), QString::number(0x335a));

        spin(2)->setValue(0x0102);
        image->setReplyFilter(nullptr);
        button("pushButton_write")->click();
        QTRY_COMPARE_WITH_TIMEOUT(image->outputs(), QByteArray::fromHex("0201"), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(shown(1), QString::number(0x0302), 5000);

        button("pushButton")->click();
        QCOMPARE(state(), QStringLiteral("连接断开"));
    }

    // The port goes away while the page monitors (a cable pulled, the adapter gone): the polls
    // that cannot go out count as unanswered, the link closes within the loss time, and the page
    // says which port and why instead of showing the last values as live.
    void portVanishesWhileMonitoring()
    {
        auto peer = std::make_unique<SerialPeer>();
        QVERIFY(peer->isOpen());
        // Through a link that goes with the port, as an adapter's does: the dead terminal's
        // number may soon be another program's.
        QTemporaryDir dir;
        const QString port = dir.filePath(QStringLiteral("adapter"));
        QVERIFY(QFile::link(peer->portName(), port));
        makeModule(modulebase::CONNEST_COM, port);
        peer->addDevice(std::make_shared<FakeIoMonitorSerial>(image));
        button("pushButton")->click();
        QTRY_COMPARE_WITH_TIMEOUT(shown(1), QStringLiteral("13090"), 5000);
        QElapsedTimer clock;
        clock.start();
        peer.reset();
        QFile::remove(port);
        QTRY_COMPARE_WITH_TIMEOUT(state(), QStringLiteral("连接断开"), 10000);
        QVERIFY2(clock.elapsed() < 4000, QByteArray::number(clock.elapsed()));
        QVERIFY(!button("pushButton")->isChecked());
        const QString said = TestSupport::child<QLabel>(page, "label_problem")->text();
        QVERIFY2(said.startsWith(QString::fromUtf8("串口%1").arg(port)) && said.contains(QString::fromUtf8("：")),
            qPrintable(said));
        QVERIFY(TestSupport::child<QLabel>(page, "label_problem")->isVisibleTo(page));
    }

    // A port the system refuses leaves the page unconnected and says which port and why in the
    // window, not only in the log.
    void serialPortRefused_data()
    {
        QTest::addColumn<bool>("held");
        QTest::addColumn<QString>("said");
        QTest::newRow("missing") << false << QString::fromUtf8("串口%1不存在：");
        QTest::newRow("held by another program") << true << QString::fromUtf8("串口%1被占用或无权访问：");
    }
    void serialPortRefused()
    {
        QFETCH(bool, held);
        QFETCH(QString, said);
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        QSerialPort other(peer.portName());
        const QString port = held ? peer.portName() : QStringLiteral("/nonexistent/tty-io");
        if (held)
            QVERIFY(other.open(QIODevice::ReadWrite));
        makeModule(modulebase::CONNEST_COM, port);
        PromptRecorder prompts;
        button("pushButton")->click();
        QVERIFY(!page->connected);
        QVERIFY(!button("pushButton")->isChecked());
        QCOMPARE(state(), QStringLiteral("连接失败"));
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY2(prompts.lastText().startsWith(said.arg(port)), qPrintable(prompts.lastText()));
        // The page itself says it too, beside its state.
        QCOMPARE(TestSupport::child<QLabel>(page, "label_problem")->text(), prompts.lastText());
    }
};

RIVUDO_TEST_MAIN(TestIoMonitor)
#include "tst_iomonitor.moc"
