#include "fakeiolinkmaster.h"
#include "iolink_module.h"
#include "iolinkinfoframe_ctrl.h"
#include "iolinkparamframe_ctrl.h"
#include "iolinkportsetframe_ctrl.h"
#include "module.h"
#include "plugframe.h"
#include "promptrecorder.h"
#include "seriallink.h"
#include "serialpeer.h"
#include "serialportregistry.h"
#include "submodule.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimerEvent>
#include <QTranslator>

#include <memory>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QByteArray reply(int command, const QByteArray &payload)
{
    return PlugFrame::build(PlugFrame::typeIoLink, command, payload);
}

// A reply of command for port with the rest of its payload zero.
QByteArray sizedReply(int command, int port, int payloadSize)
{
    QByteArray payload(qMax(1, payloadSize), '\0');
    payload[0] = char(port);
    return reply(command, payload);
}

// Runs the link's send step now, as its timer would.
void tick(IoLink_Module *link)
{
    QTimerEvent e(0);
    QCoreApplication::sendEvent(link, &e);
}

// Waits until the shared throttle lets the next write out.
void waitThrottle()
{
    QTest::qWait(IoLink_Module::tickMs + 20);
}

} // namespace

class TestIoLinkLink : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { IoLink_Module::deleteInstance(); }

    void replySizes_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("frameSize");
        QTest::addColumn<int>("requestSize");
        QTest::newRow("set io param") << 1 << 11 << 4;
        QTest::newRow("get io param") << 2 << 13 << 1;
        QTest::newRow("set port") << 3 << 11 << 13;
        QTest::newRow("get port") << 4 << 22 << 1;
        QTest::newRow("read isdu") << 5 << 247 << 4;
        QTest::newRow("write isdu") << 6 << 12 << 239;
        QTest::newRow("write param") << 7 << 13 << 70;
        QTest::newRow("read param") << 8 << 81 << 2;
        QTest::newRow("save param") << 9 << 13 << 70;
        QTest::newRow("device info") << 10 << 390 << 1;
        QTest::newRow("command 0") << 0 << 0 << 0;
        QTest::newRow("command 11") << 11 << 0 << 0;
    }
    void replySizes()
    {
        QFETCH(int, command);
        QTEST(ioLinkReplyFrameSize(command), "frameSize");
        QTEST(ioLinkRequestPayloadSize(command), "requestSize");
    }

    // Every command of the right size reaches its frame class; anything else is dropped.
    void parseReply_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("frameClass");
        const char *classes[] = { nullptr, "IoLinkPortSetFrame_Ctrl", "IoLinkPortSetFrame_Ctrl",
            "IoLinkPortSetFrame_Ctrl", "IoLinkPortSetFrame_Ctrl", "IoLinkPortSetFrame_Ctrl", "IoLinkPortSetFrame_Ctrl",
            "IoLinkParamFrame_Ctrl", "IoLinkParamFrame_Ctrl", "IoLinkParamFrame_Ctrl", "IoLinkInfoFrame_Ctrl" };
        for (int command = 1; command <= 10; ++command) {
            const int payload = ioLinkReplyFrameSize(command) - 9;
            const QString cls = QString::fromLatin1(classes[command]);
            QTest::addRow("command %d port 3", command) << sizedReply(command, 3, payload) << true << 3 << cls;
            QTest::addRow("command %d one short", command)
                << sizedReply(command, 0, payload - 1) << false << 0 << QString();
            QTest::addRow("command %d one long", command)
                << sizedReply(command, 0, payload + 1) << false << 0 << QString();
            QTest::addRow("command %d port 4", command) << sizedReply(command, 4, payload) << false << 0 << QString();
        }
        QTest::newRow("set port, worked example")
            << hex("A5 15 03 00 00 00 02 02 00 FF 3F") << true << 2 << "IoLinkPortSetFrame_Ctrl";
        QTest::newRow("command 0") << sizedReply(0, 0, 2) << false << 0 << QString();
        QTest::newRow("command 11") << sizedReply(11, 0, 2) << false << 0 << QString();
        QTest::newRow("weighing type") << PlugFrame::build(PlugFrame::typeWeigh, 3, hex("00 00")) << false << 0
                                       << QString();
        QTest::newRow("under ten bytes") << reply(3, QByteArray()) << false << 0 << QString();
        // The length field is not what decides: the frame's size is.
        QByteArray lying = sizedReply(3, 1, 2);
        lying[6] = 9;
        QTest::newRow("length field ignored") << lying << true << 1 << "IoLinkPortSetFrame_Ctrl";
        QTest::newRow("device info 389 bytes") << sizedReply(10, 0, 380) << false << 0 << QString();
        QTest::newRow("device info 391 bytes") << sizedReply(10, 0, 382) << false << 0 << QString();
    }
    void parseReply()
    {
        QFETCH(QByteArray, frame);
        QFETCH(bool, accepted);
        IoLinkReply r;
        QCOMPARE(IoLink_Module::parseReply(frame, &r), accepted);
        if (!accepted)
            return;
        QTEST(r.port, "port");
        QCOMPARE(r.command, int(quint8(frame.at(2))));
        QCOMPARE(r.payload, frame.mid(7, frame.size() - 9));
        QTEST(QString::fromLatin1(IoLink_Module::frameClassOf(r.command)->className()), "frameClass");
    }

    void logTexts_data()
    {
        QTest::addColumn<QString>("qm");
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("failed");
        const QString en = ":/res/language/en_US.qm";
        const QString zh = ":/res/language/zh_CN.qm";
        QTest::newRow("io param ok, en") << en << 1 << hex("00 00") << "Input and output parameter settings\nsuccee"
                                         << false;
        QTest::newRow("io param failed, zh") << zh << 1 << hex("02 01") << "\nFail" << true;
        QTest::newRow("io param ok, zh") << zh << 1 << hex("02 00") << "\n成功" << false;
        QTest::newRow("port ok, zh") << zh << 3 << hex("02 00") << "IoLink端口设置成功" << false;
        QTest::newRow("port failed, en") << en << 3 << hex("02 01") << "IoLink Port settingsFail" << true;
        QTest::newRow("read io, en") << en << 2 << hex("00 00 05 00") << "读取输入输出参数成功!" << false;
        QTest::newRow("read port, zh") << zh << 4 << QByteArray(13, '\0') << "读取端口参数成功!" << false;
        QTest::newRow("isdu failed, en") << en << 6 << hex("00 11 80") << "Set up ISDU--->32785" << true;
        QTest::newRow("isdu failed, zh") << zh << 6 << hex("00 11 80") << "Set up ISDU--->32785" << true;
        QTest::newRow("isdu ok, en") << en << 6 << hex("00 00 00") << "Set up ISDUsuccee" << false;
        QTest::newRow("isdu ok, untranslated") << QString() << 6 << hex("00 00 00") << "设置ISDU成功" << false;
        QTest::newRow("isdu read logs nothing") << en << 5 << QByteArray(238, '\0') << QString() << false;
    }
    void logTexts()
    {
        QFETCH(QString, qm);
        QFETCH(int, command);
        QFETCH(QByteArray, payload);
        QTranslator translator;
        if (!qm.isEmpty()) {
            QVERIFY(translator.load(qm));
            QCoreApplication::installTranslator(&translator);
        }
        QFETCH(bool, failed);
        bool reported = !failed;
        const QString text = IoLink_Module::replyLogText(command, payload, &reported);
        QCoreApplication::removeTranslator(&translator);
        QTEST(text, "text");
        QCOMPARE(reported, failed);
    }

    void oneLinkForAll()
    {
        IoLink_Module *link = IoLink_Module::instance();
        QCOMPARE(IoLink_Module::instance(), link);
        QCOMPARE(IoLink_Module::existingInstance(), link);
        IoLink_Module::deleteInstance();
        QVERIFY(!IoLink_Module::existingInstance());
        IoLink_Module::deleteInstance();
    }

    void registrationsByClassAndPort()
    {
        IoLink_Module *link = IoLink_Module::instance();
        IoLinkInfoFrame_Ctrl first;
        IoLinkInfoFrame_Ctrl second;
        IoLinkParamFrame_Ctrl param;
        first.port = 2;
        second.port = 2;
        param.port = 2;
        link->registerFrame(&first);
        link->registerFrame(&param);
        link->registerFrame(&second);
        QCOMPARE(link->frameMap.value(&IoLinkInfoFrame_Ctrl::staticMetaObject).size(), 4);
        QCOMPARE(link->frameMap.value(&IoLinkInfoFrame_Ctrl::staticMetaObject).at(2).data(),
            static_cast<Channel_Ctrl *>(&second));
        QCOMPARE(link->frameMap.value(&IoLinkParamFrame_Ctrl::staticMetaObject).at(2).data(),
            static_cast<Channel_Ctrl *>(&param));
        QVERIFY(!link->frameMap.contains(&IoLinkPortSetFrame_Ctrl::staticMetaObject));
        IoLinkInfoFrame_Ctrl bad;
        bad.port = 4;
        link->registerFrame(&bad);
        QCOMPARE(link->frameMap.value(&IoLinkInfoFrame_Ctrl::staticMetaObject).size(), 4);
        // Replies for a class without registration, or for a frame that is gone, go nowhere.
        link->dispatchFrame(sizedReply(IOLINK_SET_PORT, 2, 2));
        {
            IoLinkPortSetFrame_Ctrl gone;
            gone.port = 1;
            link->registerFrame(&gone);
        }
        link->dispatchFrame(sizedReply(IOLINK_SET_PORT, 1, 2));
    }

    void queueHoldsThirtyOne()
    {
        IoLink_Module *link = IoLink_Module::instance();
        // No event loop runs from here on: only our own ticks send.
        waitThrottle();
        for (int i = 0; i < 32; ++i)
            link->sendCommand(IOLINK_READ_PARAM, QByteArray(1, '\0') + char(i));
        QCOMPARE(link->sendQueue.size(), IoLink_Module::maxQueued);
        QCOMPARE(link->sendQueue.last(), hex("A5 15 08 00 00 00 02 00 1E FF 1E"));
        tick(link);
        QCOMPARE(link->sendQueue.size(), 30);
        link->sendCommand(IOLINK_GET_DEVICEINFO, hex("03"));
        QCOMPARE(link->sendQueue.size(), 31);
        QCOMPARE(link->sendQueue.last(), hex("A5 15 0A 00 00 00 01 03 FF 38"));
        // Without a module the frame is dropped and no serial link is made.
        QVERIFY(!link->uart);
    }

    void requestsLeaveInOrderOneTickApart()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        auto master = std::make_shared<FakeIoLinkMaster>();
        peer.addDevice(master);
        module m("CPL", "FAM");
        m.connType = modulebase::CONNEST_COM;
        m.comstr = peer.portName();
        IoLink_Module *link = IoLink_Module::instance();
        link->setModule(&m);
        waitThrottle();
        link->sendCommand(IOLINK_GET_IOPARAM, hex("00"));
        link->sendCommand(IOLINK_GET_PORT, hex("00"));
        QElapsedTimer clock;
        clock.start();
        tick(link);
        tick(link);
        const bool sameWindow = clock.elapsed() < IoLink_Module::tickMs;
        QVERIFY(link->uart);
        QCOMPARE(link->uart->portName(), peer.portName());
        if (sameWindow)
            QCOMPARE(link->sendQueue.size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(link->sendQueue.isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(
            peer.received(), hex("43 A5 15 02 00 00 00 01 00 FF 43 43 A5 15 04 00 00 00 01 00 FF 41"), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(master->commands(), (QList<int> { IOLINK_GET_IOPARAM, IOLINK_GET_PORT }), 5000);
    }

    void subModuleTalksThroughItsModulesPort()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        auto m = std::make_unique<module>("CPL", "FAM");
        submodule *sub = m->addSubmodule("RV-IOL4", "RVIOL", 2);
        // The port becomes known after the sub-module's pages were made.
        m->connType = modulebase::CONNEST_COM;
        m->comstr = peer.portName();
        sub->comstr.clear();
        IoLink_Module *link = IoLink_Module::instance();
        link->setModule(sub);
        QCOMPARE(link->resolvePortName(), peer.portName());
        link->sendCommand(IOLINK_GET_DEVICEINFO, hex("00"));
        QTRY_VERIFY_WITH_TIMEOUT(link->sendQueue.isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(peer.received(), hex("43 A5 15 0A 00 00 00 01 00 FF 3B"), 5000);
        QVERIFY(SerialPortRegistry::instance().isHeld(peer.portName()));

        // Giving the port back lets others open it; the next request borrows it again.
        link->closePort();
        QVERIFY(!SerialPortRegistry::instance().isHeld(peer.portName()));
        link->sendCommand(IOLINK_GET_DEVICEINFO, hex("01"));
        QTRY_VERIFY_WITH_TIMEOUT(SerialPortRegistry::instance().isHeld(peer.portName()), 5000);
        IoLink_Module::deleteInstance();
        QVERIFY(!SerialPortRegistry::instance().isHeld(peer.portName()));
    }

    void noPortNoLink_data()
    {
        QTest::addColumn<int>("connType");
        QTest::addColumn<QString>("comstr");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("network module") << int(modulebase::CONNEST_NET) << "eth" << false;
        QTest::newRow("from a project file") << int(modulebase::CONNEST_NONE) << "" << false;
        QTest::newRow("serial without a name") << int(modulebase::CONNEST_COM) << "" << false;
        QTest::newRow("module deleted") << int(modulebase::CONNEST_COM) << "/dev/null" << true;
    }
    void noPortNoLink()
    {
        QFETCH(int, connType);
        QFETCH(QString, comstr);
        QFETCH(bool, deleted);
        auto m = std::make_unique<module>("CPL", "FAM");
        // A type without pages, so the module can go while the link stays.
        submodule *sub = m->addSubmodule("SUB", "FAM", 1);
        m->connType = modulebase::CONNEST_TYPE(connType);
        m->comstr = comstr;
        IoLink_Module *link = IoLink_Module::instance();
        link->setModule(sub);
        if (deleted)
            m.reset();
        QVERIFY(!link->resolvePortName().size());
        QCOMPARE(link->getModule() == nullptr, deleted);
        link->sendCommand(IOLINK_GET_DEVICEINFO, hex("00"));
        QTRY_VERIFY_WITH_TIMEOUT(link->sendQueue.isEmpty(), 5000);
        QVERIFY(!link->uart);
    }

    // A request that cannot go out (the port missing or held by another program) is said on
    // the frame that made it, with the port and the real reason, each time; the link opens the
    // port once it is free.
    void unsentRequestsAreSaidOnTheirFrame_data()
    {
        QTest::addColumn<bool>("held");
        QTest::addColumn<QString>("said");
        QTest::newRow("missing") << false << QString::fromUtf8("串口%1不存在：");
        QTest::newRow("held by another program") << true << QString::fromUtf8("串口%1被占用或无权访问：");
    }
    void unsentRequestsAreSaidOnTheirFrame()
    {
        QFETCH(bool, held);
        QFETCH(QString, said);
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        QTemporaryDir dir;
        const QString port = held ? peer.portName() : dir.filePath(QStringLiteral("no-such-tty"));
        auto m = std::make_unique<module>("CPL", "FAM");
        m->connType = modulebase::CONNEST_COM;
        m->comstr = port;
        QSerialPort other(peer.portName());
        if (held)
            QVERIFY(other.open(QIODevice::ReadWrite));
        PromptRecorder prompts;
        IoLink_Module *link = IoLink_Module::instance();
        link->setModule(m.get());
        IoLinkPortSetFrame_Ctrl frames[2];
        for (int port = 0; port < 2; ++port) {
            frames[port].port = quint8(port);
            link->registerFrame(&frames[port]);
        }
        const auto redLines = [](IoLinkPortSetFrame_Ctrl &frame) {
            frame.ensureBuilt();
            return TestSupport::child<QTextEdit>(&frame, "textEditInfo")->toPlainText().split('\n', Qt::SkipEmptyParts);
        };
        link->sendCommand(IOLINK_GET_PORT, hex("00"));
        link->sendCommand(IOLINK_GET_PORT, hex("01"));
        link->sendCommand(IOLINK_GET_PORT, hex("00"));
        QTRY_VERIFY_WITH_TIMEOUT(link->sendQueue.isEmpty(), 5000);
        const QStringList first = redLines(frames[0]);
        QCOMPARE(first.size(), 2);
        QCOMPARE(redLines(frames[1]).size(), 1);
        for (const QString &line : first + redLines(frames[1]))
            QVERIFY2(line.contains(said.arg(port)), qPrintable(line));
        QCOMPARE(prompts.messages.size(), 0);
        QVERIFY(!link->uart);
        if (!held)
            return;
        other.close();
        link->sendCommand(IOLINK_GET_PORT, hex("01"));
        QTRY_COMPARE_WITH_TIMEOUT(peer.received(),
            QByteArray(1, 'C') + PlugFrame::build(PlugFrame::typeIoLink, IOLINK_GET_PORT, hex("01")), 5000);
        QCOMPARE(redLines(frames[1]).size(), 1);
    }

    // A coupler found over the network has no serial link for IO-Link: the frames say so when a
    // button is pressed, send nothing and leave what the user typed as it was.
    void networkModuleSaysItNeedsTheSerialLink()
    {
        auto m = std::make_unique<module>("CPL", "FAM");
        m->connType = modulebase::CONNEST_NET;
        m->comstr = QStringLiteral("eth");
        IoLink_Module *link = IoLink_Module::instance();
        link->setModule(m.get());
        IoLinkPortSetFrame_Ctrl portSet;
        IoLinkParamFrame_Ctrl param;
        portSet.ensureBuilt();
        param.ensureBuilt();
        link->registerFrame(&portSet);
        link->registerFrame(&param);
        auto *table = TestSupport::child<QTableWidget>(&param, "tableWidget");
        const auto cells = [table] {
            QStringList texts;
            for (int row = 0; row < table->rowCount(); ++row) {
                for (int column = 0; column < table->columnCount(); ++column) {
                    auto *line = qobject_cast<QLineEdit *>(table->cellWidget(row, column));
                    texts << (line                     ? line->text()
                            : table->item(row, column) ? table->item(row, column)->text()
                                                       : QString());
                }
            }
            return texts;
        };
        TestSupport::child<QLineEdit>(&portSet, "lineEditSubIndex")->clear();
        const QStringList before = cells();
        PromptRecorder prompts;
        for (const char *button : { "pushButtonRefreshLinkPort", "pushButtonRefresInput", "btnIsDUWrite" })
            QTest::mouseClick(TestSupport::child<QPushButton>(&portSet, button), Qt::LeftButton);
        for (const char *button : { "btnSave", "btnRead" })
            QTest::mouseClick(TestSupport::child<QPushButton>(&param, button), Qt::LeftButton);
        QCOMPARE(prompts.messages.size(), 5);
        for (int i = 0; i < prompts.messages.size(); ++i)
            QCOMPARE(prompts.messages.at(i).text, IoLink_Module::noSerialLinkText());
        QVERIFY(link->sendQueue.isEmpty());
        QCOMPARE(cells(), before);
        QVERIFY(TestSupport::child<QLineEdit>(&portSet, "lineEditSubIndex")->text().isEmpty());
    }

    // Replies say what they answer: a request of the link goes out on its tick while another
    // user of the coupler's line still waits for its reply, and each reply reaches its own user.
    void doesNotWaitForAnotherUsersReply()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        auto master = std::make_shared<FakeIoLinkMaster>();
        peer.addDevice(master);
        peer.addReply("Q", SerialPeer::late("other#end", 600));
        auto m = std::make_unique<module>("CPL", "FAM");
        m->connType = modulebase::CONNEST_COM;
        m->comstr = peer.portName();
        SerialLink other;
        QSignalSpy otherBytes(&other, &SerialLink::frameReceived);
        QVERIFY(other.open(peer.portName()));
        QVERIFY(other.write("Q"));
        IoLink_Module *link = IoLink_Module::instance();
        link->setModule(m.get());
        IoLinkPortSetFrame_Ctrl frame;
        link->registerFrame(&frame);
        link->sendCommand(IOLINK_GET_PORT, hex("00"));
        // The IO-Link request and its reply before the other user's late reply.
        QTRY_VERIFY_WITH_TIMEOUT(TestSupport::child<QTextEdit>(&frame, "textEditInfo")
                                     ->toPlainText()
                                     .contains(QString::fromUtf8("读取端口参数成功!")),
            5000);
        QVERIFY(peer.received().startsWith("QC"));
        QTRY_VERIFY_WITH_TIMEOUT(!otherBytes.isEmpty(), 5000);
        QByteArray heard;
        for (const QList<QVariant> &args : qAsConst(otherBytes))
            heard += args.at(0).toByteArray();
        QCOMPARE(heard, QByteArray("other#end"));
    }

    // A module that answers late or never does not slow the link: one queued frame leaves per
    // tick, never two within one.
    void framesLeaveEveryTickFromASilentModule()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        auto m = std::make_unique<module>("CPL", "FAM");
        m->connType = modulebase::CONNEST_COM;
        m->comstr = peer.portName();
        IoLink_Module *link = IoLink_Module::instance();
        link->setModule(m.get());
        const QByteArray request
            = QByteArray(1, 'C') + PlugFrame::build(PlugFrame::typeIoLink, IOLINK_GET_PORT, hex("02"));
        const int count = 20;
        waitThrottle();
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < count; ++i)
            link->sendCommand(IOLINK_GET_PORT, hex("02"));
        QTRY_COMPARE_WITH_TIMEOUT(peer.received().count(request), count, 20000);
        const qint64 took = clock.elapsed();
        // Nineteen ticks after the first; waiting 300 ms for each reply took three times that.
        QVERIFY2(took >= (count - 1) * IoLink_Module::tickMs - 50 && took < (count - 1) * IoLink_Module::tickMs + 1500,
            QByteArray::number(took));
    }
};

RIVUDO_TEST_MAIN(TestIoLinkLink)
#include "tst_iolinklink.moc"
