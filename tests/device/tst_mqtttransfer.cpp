#include "devicerequest.h"
#include "fakemodule.h"
#include "modulebase.h"
#include "mqtt_down_dialog.h"
#include "mqtt_upload_dialog.h"
#include "mqttblocks.h"
#include "mqttgeneralconfig.h"
#include "mqtttopicconfig.h"
#include "serialpeer.h"
#include "testsupport.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>

using TestSupport::child;

namespace {

QByteArray head(char command, int subplug, quint32 length)
{
    QByteArray bytes;
    bytes.append(command).append(char(18)).append(char(subplug));
    bytes.append(char(length >> 24)).append(char(length >> 16)).append(char(length >> 8)).append(char(length));
    return bytes;
}

QByteArray uploadRequest(int subplug)
{
    return QByteArray("U\x12", 2) + char(subplug);
}

std::unique_ptr<modulebase> networkModule(const QString &ip)
{
    auto m = std::make_unique<modulebase>("RVE-C150", "RVE");
    m->connType = modulebase::CONNEST_NET;
    m->ipAddress = ip;
    return m;
}

MqttTopicConfig topic(const QString &name, const QString &payload)
{
    MqttTopicConfig t;
    t.topic = name;
    t.qos = 1;
    t.sendTime = 5;
    t.payload = payload;
    return t;
}

const char *rowName(int subplug)
{
    switch (subplug) {
    case MQTT_SUB_GENERAL:
        return "General";
    case MQTT_SUB_WILL:
        return "Lastwill";
    case MQTT_SUB_PUBLISH:
        return "publish";
    default:
        return "subscribe";
    }
}

QLabel *label(QDialog *d, int subplug)
{
    return child<QLabel>(d, (QByteArray("label_") + rowName(subplug)).constData());
}

void click(QDialog *d, int subplug)
{
    QMetaObject::invokeMethod(d, (QByteArray("on_pushButton_") + rowName(subplug) + "_clicked").constData());
}

} // namespace

class TestMqttTransfer : public QObject
{
    Q_OBJECT

    // The records a download dialog is given, as the page would.
    struct Records
    {
        MqttGeneralConfig general;
        MqttTopicConfig will = topic("will", "{}");
        MqttTopicConfig a = topic("状态", "{\"a\":\"%1\"}");
        MqttTopicConfig b = topic("", "{}");
        MqttTopicConfig s = topic("cmd", "");

        Records()
        {
            general.clientId = "gw1";
            general.serverAddress = "127.000.000.001";
            general.port = "1883";
            general.keepAlive = 10;
            general.reconnect = true;
            general.reconnectPeriod = 5;
            general.enabled = true;
        }
        std::unique_ptr<modulebase> owner;

        // The records, and a network module at ip as the owner.
        void give(MQTT_Down_Dialog &d, bool withWill, const QString &ip)
        {
            owner = networkModule(ip);
            d.setOwner(owner.get());
            d.setGeneral(&general);
            d.setLastWill(withWill ? &will : nullptr);
            d.setSubscribeList({ &s });
            d.setPublishList({ &a, &b });
        }
        QByteArray block(int subplug, bool withWill) const
        {
            switch (subplug) {
            case MQTT_SUB_GENERAL:
                return general.toText().toUtf8();
            case MQTT_SUB_WILL:
                return withWill ? will.toText().toUtf8() : QByteArray();
            case MQTT_SUB_PUBLISH:
                return (a.toText() + b.toText()).toUtf8();
            default:
                return s.toText().toUtf8();
            }
        }
    };

private slots:
    void cleanup() { QTRY_COMPARE_WITH_TIMEOUT(DeviceRequest::runningCount(), 0, 10000); }

    void downloadOne_data()
    {
        QTest::addColumn<int>("subplug");
        QTest::addColumn<bool>("withWill");
        QTest::newRow("general") << MQTT_SUB_GENERAL << true;
        QTest::newRow("last will") << MQTT_SUB_WILL << true;
        QTest::newRow("last will switched off: empty block") << MQTT_SUB_WILL << false;
        QTest::newRow("publish list") << MQTT_SUB_PUBLISH << true;
        QTest::newRow("subscribe list") << MQTT_SUB_SUBSCRIBE << true;
    }
    void downloadOne()
    {
        QFETCH(int, subplug);
        QFETCH(bool, withWill);
        FakeModule fake("127.0.0.181");
        QVERIFY(fake.start());
        Records r;
        MQTT_Down_Dialog d;
        r.give(d, withWill, fake.address());
        QCOMPARE(label(&d, subplug)->text(), QString("未下载"));
        click(&d, subplug);
        QTRY_COMPARE_WITH_TIMEOUT(label(&d, subplug)->text(), QString("下载完成"), 10000);
        const QByteArray block = r.block(subplug, withWill);
        QCOMPARE(fake.received(FakeModule::CommandPort), head('C', subplug, quint32(block.size())) + block);
        QCOMPARE(fake.block(18, subplug), block);
        for (int other : { 16, 17, 18, 19 }) {
            if (other != subplug)
                QCOMPARE(label(&d, other)->text(), QString("未下载"));
        }
    }

    // Only an acknowledge that answers the block counts: a module that repeats the header's and
    // never answers the block fails the row, one that answers each (pieces or repeats) does not.
    void downloadAcknowledges_data()
    {
        QTest::addColumn<int>("times");
        QTest::addColumn<int>("gap");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("split");
        QTest::addColumn<QString>("text");
        QTest::newRow("header acknowledged five times 40 ms apart, then nothing") << 5 << 40 << 1 << 0 << "下载失败";
        QTest::newRow("header acknowledge in two reads, then nothing") << 1 << 0 << 1 << 2 << "下载失败";
        QTest::newRow("each acknowledged five times 40 ms apart") << 5 << 40 << -1 << 0 << "下载完成";
        QTest::newRow("each acknowledge in two reads") << 1 << 0 << -1 << 2 << "下载完成";
        QTest::newRow("each acknowledged twice in one read") << 2 << 0 << -1 << 0 << "下载完成";
    }
    void downloadAcknowledges()
    {
        QFETCH(int, times);
        QFETCH(int, gap);
        QFETCH(int, limit);
        QFETCH(int, split);
        FakeModule fake("127.0.0.188");
        fake.setAckRepeat(times, gap);
        fake.setAckLimit(limit);
        fake.setSplitReply(split);
        fake.setPieceGap(30);
        QVERIFY(fake.start());
        Records r;
        MQTT_Down_Dialog d;
        r.give(d, true, fake.address());
        QSignalSpy done(&d, &MqttTransferDialog::transfersDone);
        click(&d, MQTT_SUB_PUBLISH);
        QVERIFY(done.wait(10000));
        QTEST(label(&d, MQTT_SUB_PUBLISH)->text(), "text");
        const QByteArray block = r.block(MQTT_SUB_PUBLISH, true);
        QCOMPARE(fake.received(FakeModule::CommandPort), head('C', MQTT_SUB_PUBLISH, quint32(block.size())) + block);
    }

    // Three blocks in order, each on a connection of its own; the subscribe list is not part of it.
    void downloadAll()
    {
        FakeModule fake("127.0.0.182");
        QVERIFY(fake.start());
        Records r;
        MQTT_Down_Dialog d;
        r.give(d, true, fake.address());
        QSignalSpy done(&d, &MqttTransferDialog::transfersDone);
        QMetaObject::invokeMethod(&d, "on_pushButton_clicked");
        QVERIFY(done.wait(20000));
        QCOMPARE(fake.commands(),
            (QList<QByteArray> { head('C', 16, quint32(r.block(16, true).size())),
                head('C', 17, quint32(r.block(17, true).size())), head('C', 18, quint32(r.block(18, true).size())) }));
        QCOMPARE(fake.connectionCount(FakeModule::CommandPort), 3);
        for (int s : { 16, 17, 18 })
            QCOMPARE(label(&d, s)->text(), QString("下载完成"));
        QCOMPARE(label(&d, 19)->text(), QString("未下载"));
    }

    void downloadAllUnreachable()
    {
        Records r;
        MQTT_Down_Dialog d;
        r.give(d, true, "127.0.0.189");
        QSignalSpy done(&d, &MqttTransferDialog::transfersDone);
        QMetaObject::invokeMethod(&d, "on_pushButton_clicked");
        QVERIFY(done.wait(30000));
        for (int s : { 16, 17, 18 })
            QCOMPARE(label(&d, s)->text(), QString("下载失败"));
        QCOMPARE(label(&d, 19)->text(), QString("未下载"));
    }

    // While a block is on its way every button ignores clicks; the subscribe button stays off.
    void clicksIgnoredWhileBusy()
    {
        FakeModule fake("127.0.0.183");
        QVERIFY(fake.start());
        fake.setReplyDelay(400);
        Records r;
        MQTT_Down_Dialog d;
        r.give(d, true, fake.address());
        auto *general = child<QPushButton>(&d, "pushButton_General");
        auto *all = child<QPushButton>(&d, "pushButton");
        auto *subscribe = child<QPushButton>(&d, "pushButton_subscribe");
        QVERIFY(!subscribe->isEnabled());
        QSignalSpy done(&d, &MqttTransferDialog::transfersDone);
        click(&d, MQTT_SUB_PUBLISH);
        QVERIFY(d.isBusy());
        QVERIFY(!general->isEnabled() && !all->isEnabled());
        click(&d, MQTT_SUB_GENERAL);
        QMetaObject::invokeMethod(&d, "on_pushButton_clicked");
        QVERIFY(done.wait(10000));
        QCOMPARE(done.count(), 1);
        QCOMPARE(fake.commands().size(), 1);
        QCOMPARE(label(&d, MQTT_SUB_GENERAL)->text(), QString("未下载"));
        QVERIFY(general->isEnabled() && all->isEnabled());
        QVERIFY(!subscribe->isEnabled());
    }

    // A dialog closed while its transfer runs is simply gone: nothing arrives for it afterwards.
    void deletedWhileRunning()
    {
        FakeModule fake("127.0.0.184");
        QVERIFY(fake.start());
        fake.setReplyDelay(300);
        fake.setUploadBlock(18, 18, topic("t", "p").toText().toUtf8());
        auto m = networkModule(fake.address());
        QPointer<MQTT_Upload_Dialog> d = new MQTT_Upload_Dialog;
        d->setOwner(m.get());
        int emitted = 0;
        connect(d, &MQTT_Upload_Dialog::upload_generl, this, [&emitted]() { ++emitted; });
        QMetaObject::invokeMethod(d, "on_pushButton_clicked");
        QVERIFY(d->isBusy());
        delete d;
        // A request leaves the count only once it has handed on (or dropped) its result.
        QTRY_COMPARE_WITH_TIMEOUT(DeviceRequest::runningCount(), 0, 10000);
        QCOMPARE(emitted, 0);
    }

    void uploadOne_data()
    {
        QTest::addColumn<int>("subplug");
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<QString>("text");
        QTest::newRow("general") << 16 << QByteArray("gw\x1f") << "gw\x1f";
        QTest::newRow("last will, empty block") << 17 << QByteArray() << "";
        QTest::newRow("publish, utf-8") << 18 << QString("主题\x1f").toUtf8() << "主题\x1f";
        QTest::newRow("subscribe, zero ends the text") << 19 << QByteArray("ab\x1f\0junk", 8) << "ab\x1f";
    }
    void uploadOne()
    {
        QFETCH(int, subplug);
        QFETCH(QByteArray, block);
        FakeModule fake("127.0.0.185");
        QVERIFY(fake.start());
        fake.setUploadBlock(18, subplug, block);
        auto m = networkModule(fake.address());
        MQTT_Upload_Dialog d;
        d.setOwner(m.get());
        QCOMPARE(label(&d, subplug)->text(), QString("未开始"));
        QSignalSpy got(&d, &MQTT_Upload_Dialog::upload_generl);
        QSignalSpy done(&d, &MqttTransferDialog::transfersDone);
        click(&d, subplug);
        QVERIFY(done.wait(10000));
        QCOMPARE(label(&d, subplug)->text(), QString("上传完成"));
        QCOMPARE(fake.commands(), QList<QByteArray> { uploadRequest(subplug) });
        QCOMPARE(got.count(), 1);
        QCOMPARE(got.at(0).at(0).toInt(), subplug);
        QTEST(got.at(0).at(1).toString(), "text");
    }

    // However a module ends its replies and however they are cut into reads, the block reads
    // back whole.
    void uploadTrailers_data()
    {
        QTest::addColumn<QByteArray>("trailer");
        QTest::addColumn<QByteArray>("sizeTail");
        QTest::addColumn<int>("reads");
        const QList<QPair<QByteArray, QByteArray>> forms { { "#end", "#end" },
            { QByteArray("\0end", 4), QByteArray("\0end", 4) }, { "end\n", "end\n" },
            { QByteArray("end\0", 4), QByteArray("end\0", 4) }, { "\nend", "\r\nend" }, { "end\n", "end\r\n" } };
        const char *readNames[] = { "a read per reply", "back to back", "split" };
        for (const auto &form : forms) {
            for (int reads = 0; reads < 3; ++reads)
                QTest::newRow(
                    form.second.toPercentEncoding() + " / " + form.first.toPercentEncoding() + ", " + readNames[reads])
                    << form.first << form.second << reads;
        }
    }
    void uploadTrailers()
    {
        QFETCH(QByteArray, trailer);
        QFETCH(QByteArray, sizeTail);
        QFETCH(int, reads);
        FakeModule fake("127.0.0.180");
        QVERIFY(fake.start());
        const QString text = QStringLiteral("主题\x1f{\"a\":1}\x1f");
        fake.setUploadBlock(18, MQTT_SUB_PUBLISH, text.toUtf8());
        fake.setUploadChunkSize(5);
        fake.setUploadTrailer(trailer);
        fake.setUploadSizeTail(sizeTail);
        fake.setPieceGap(20);
        fake.setBackToBack(reads == 1);
        fake.setSplitReply(reads == 2 ? 2 : 0);
        auto m = networkModule(fake.address());
        MQTT_Upload_Dialog d;
        d.setOwner(m.get());
        QSignalSpy got(&d, &MQTT_Upload_Dialog::upload_generl);
        QSignalSpy done(&d, &MqttTransferDialog::transfersDone);
        click(&d, MQTT_SUB_PUBLISH);
        QVERIFY(done.wait(10000));
        QCOMPARE(label(&d, MQTT_SUB_PUBLISH)->text(), QString("上传完成"));
        QCOMPARE(got.count(), 1);
        QCOMPARE(got.at(0).at(1).toString(), text);
    }

    void uploadAll()
    {
        FakeModule fake("127.0.0.186");
        QVERIFY(fake.start());
        fake.setUploadBlock(18, 16, "g");
        fake.setUploadBlock(18, 17, "w");
        fake.setUploadBlock(18, 18, "p");
        fake.setUploadBlock(18, 19, "s");
        auto m = networkModule(fake.address());
        MQTT_Upload_Dialog d;
        d.setOwner(m.get());
        QSignalSpy got(&d, &MQTT_Upload_Dialog::upload_generl);
        QSignalSpy done(&d, &MqttTransferDialog::transfersDone);
        QMetaObject::invokeMethod(&d, "on_pushButton_clicked");
        QVERIFY(done.wait(20000));
        QCOMPARE(fake.commands(), (QList<QByteArray> { uploadRequest(16), uploadRequest(17), uploadRequest(18) }));
        QCOMPARE(got.count(), 3);
        QCOMPARE(got.at(2).at(0).toInt(), 18);
        QCOMPARE(got.at(2).at(1).toString(), QString("p"));
        QCOMPARE(label(&d, 19)->text(), QString("未开始"));
    }

    // A failed read emits nothing, so the page keeps its settings.
    void uploadFails_data()
    {
        QTest::addColumn<bool>("reachable");
        QTest::newRow("no module") << false;
        QTest::newRow("more than announced") << true;
    }
    void uploadFails()
    {
        QFETCH(bool, reachable);
        FakeModule fake("127.0.0.187");
        if (reachable) {
            QVERIFY(fake.start());
            fake.setUploadBlock(18, 17, "0123456789");
            fake.setUploadAnnouncedSize(4);
        }
        auto m = networkModule(reachable ? fake.address() : QString("127.0.0.189"));
        MQTT_Upload_Dialog d;
        d.setOwner(m.get());
        QSignalSpy got(&d, &MQTT_Upload_Dialog::upload_generl);
        QSignalSpy done(&d, &MqttTransferDialog::transfersDone);
        click(&d, MQTT_SUB_WILL);
        QVERIFY(done.wait(10000));
        QCOMPARE(label(&d, MQTT_SUB_WILL)->text(), QString("上传失败"));
        QCOMPARE(got.count(), 0);
    }

    // A module on a COM port takes the general block through its serial parameter download, and
    // the dialog shows how that went; nothing else moves.
    void serialModule_data()
    {
        QTest::addColumn<bool>("answers");
        QTest::newRow("downloaded") << true;
        QTest::newRow("no answer") << false;
    }
    void serialModule()
    {
        QFETCH(bool, answers);
        Records r;
        const QByteArray block = r.block(MQTT_SUB_GENERAL, true);
        SerialPeer peer;
        if (answers) {
            peer.addReply("R\r\n", "R#RVE-C150#1.0#slots:0#end");
            QByteArray header("P");
            header.append(char(0)).append(char(0)).append(char(0)).append(char(block.size())).append("\r\n");
            peer.addReply(header, "OK");
            peer.addReply(block, "OK");
        }
        auto m = std::make_unique<modulebase>("RVE-C150", "RVE");
        m->connType = modulebase::CONNEST_COM;
        m->comstr = peer.portName();
        MQTT_Down_Dialog d;
        r.give(d, true, QString());
        d.setOwner(m.get());
        QSignalSpy done(&d, &MqttTransferDialog::transfersDone);
        QMetaObject::invokeMethod(&d, "on_pushButton_clicked");
        QVERIFY(done.wait(20000));
        QCOMPARE(label(&d, MQTT_SUB_GENERAL)->text(), answers ? QString("下载完成") : QString("下载失败"));
        if (answers)
            QCOMPARE(peer.requests().last(), block);
        for (int s : { 17, 18, 19 })
            QCOMPARE(label(&d, s)->text(), QString("未下载"));

        MQTT_Upload_Dialog up;
        up.setOwner(m.get());
        QSignalSpy upDone(&up, &MqttTransferDialog::transfersDone);
        QMetaObject::invokeMethod(&up, "on_pushButton_clicked");
        QVERIFY(upDone.wait(5000));
        for (int s : { 16, 17, 18, 19 })
            QCOMPARE(label(&up, s)->text(), QString("未开始"));
    }
};

RIVUDO_TEST_MAIN(TestMqttTransfer)
#include "tst_mqtttransfer.moc"
