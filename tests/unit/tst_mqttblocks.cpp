#include "mqttblocks.h"
#include "mqttgeneralconfig.h"
#include "mqtttopicconfig.h"
#include "testsupport.h"

namespace {

const QString sep = QString(QChar(0x1F));
const QString mark = QString(QChar(0x08));

// Fields joined as a block writes them, each followed by the separator.
QString fields(const QStringList &list)
{
    QString text;
    for (const QString &f : list)
        text += f + sep;
    return text;
}

MqttTopicConfig entry(const QString &topic, int qos, bool retain, int sendTime, const QString &payload)
{
    MqttTopicConfig e;
    e.topic = topic;
    e.qos = qos;
    e.retain = retain;
    e.sendTime = sendTime;
    e.payload = payload;
    return e;
}

MqttGeneralConfig sampleGeneral()
{
    MqttGeneralConfig g;
    g.clientId = "gw1";
    g.serverAddress = "192.168.001.010";
    g.port = "1883";
    g.keepAlive = 10;
    g.reconnect = true;
    g.reconnectPeriod = 5;
    g.enabled = true;
    return g;
}

} // namespace

Q_DECLARE_METATYPE(QList<MqttTopicConfig>)

class TestMqttBlocks : public QObject
{
    Q_OBJECT
private slots:
    void generalText()
    {
        const QByteArray bytes = sampleGeneral().toText().toUtf8();
        QCOMPARE(bytes,
            QByteArray("gw1\x1f"
                       "192.168.001.010\x1f"
                       "1883\x1f\x08\x1f\x08\x1f"
                       "10\x1f"
                       "1\x1f"
                       "5\x1f"
                       "1\x1f"));
        QCOMPARE(bytes.size(), 38);
        MqttGeneralConfig back;
        QVERIFY(back.fromText(mqttBlockText(bytes)));
        QCOMPARE(back, sampleGeneral());
        QCOMPARE(back.userName, QString());
        QCOMPARE(back.toText().toUtf8(), bytes);
    }

    void generalRead_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("reconnect");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("user");
        QTest::addColumn<int>("keepAlive");
        const QString head = fields({ "c", "010.000.000.001", "80", "u", "p" });
        QTest::newRow("eight pieces") << head + "1" + sep + "1" + sep + "1" << false << false << false << "" << 0;
        QTest::newRow("nine pieces, no final separator")
            << head + "7" + sep + "1" + sep + "9" + sep + "1" << true << true << true << "u" << 7;
        QTest::newRow("reconnect 3") << head + fields({ "1", "3", "1", "2" }) << true << true << true << "u" << 1;
        QTest::newRow("reconnect 2") << head + fields({ "1", "2", "1", "0" }) << true << false << false << "u" << 1;
        QTest::newRow("reconnect 0") << head + fields({ "1", "0", "1", "1" }) << true << false << true << "u" << 1;
        QTest::newRow("reconnect -1") << head + fields({ "1", "-1", "1", "-4" }) << true << false << true << "u" << 1;
        QTest::newRow("reconnect abc, keep-alive x")
            << head + fields({ "x", "abc", "1", "1" }) << true << false << true << "u" << 0;
        QTest::newRow("empty marks") << fields({ "c", "a", "1", mark, mark, "2", "1", "1", "1" }) << true << true
                                     << true << "" << 2;
        QTest::newRow("extra pieces ignored")
            << head + fields({ "4", "1", "1", "1", "more", "fields" }) << true << true << true << "u" << 4;
    }
    void generalRead()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        MqttGeneralConfig g = sampleGeneral();
        QCOMPARE(g.fromText(text), accepted);
        if (!accepted) {
            QCOMPARE(g, sampleGeneral());
            return;
        }
        QTEST(g.reconnect, "reconnect");
        QTEST(g.enabled, "enabled");
        QTEST(g.userName, "user");
        QTEST(g.keepAlive, "keepAlive");
    }

    void entryText()
    {
        MqttTopicConfig e = entry("设备/状态", 2, true, 30, "{\"a\":\"%1\"}");
        e.format = 0;
        e.mappings = { { "\"%1\"", "a", "1" } };
        QCOMPARE(e.toText(), fields({ "设备/状态", "0", "2", "1", "30", "{\"a\":\"%1\"}" }));
        // Mappings stay in memory; a text read back has none.
        MqttTopicConfig back;
        QVERIFY(back.fromText(mqttBlockText(e.toText().toUtf8())));
        e.mappings.clear();
        QCOMPARE(back, e);
    }

    void lastWillRead_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("topic");
        QTest::addColumn<QString>("payload");
        QTest::newRow("complete") << fields({ "will", "0", "1", "1", "5", "bye" }) << true << "will"
                                  << "bye";
        QTest::newRow("empty topic and payload") << fields({ "", "0", "1", "0", "5", "" }) << true << ""
                                                 << "";
        QTest::newRow("six pieces, no final separator")
            << fields({ "will", "0", "1", "1", "5" }) + "bye" << false << "old"
            << "old payload";
        QTest::newRow("short") << fields({ "will", "0" }) << false << "old"
                               << "old payload";
    }
    void lastWillRead()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        MqttTopicConfig e = entry("old", 0, false, 0, "old payload");
        QCOMPARE(e.fromText(text), accepted);
        QTEST(e.topic, "topic");
        QTEST(e.payload, "payload");
    }

    void listRead_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<MqttTopicConfig>>("entries");
        const MqttTopicConfig a = entry("a", 1, true, 5, "{\"x\":\"%3\"}");
        const MqttTopicConfig b = entry("b", 2, false, 10, "{}");
        const MqttTopicConfig noTopic = entry("", 0, false, 1, "p");
        const MqttTopicConfig noPayload = entry("t", 0, true, 1, "");
        QTest::newRow("empty block") << QString() << QList<MqttTopicConfig>();
        QTest::newRow("one") << a.toText() << QList<MqttTopicConfig> { a };
        QTest::newRow("two") << a.toText() + b.toText() << QList<MqttTopicConfig> { a, b };
        QTest::newRow("empty topic keeps its place")
            << noTopic.toText() + a.toText() << QList<MqttTopicConfig> { noTopic, a };
        QTest::newRow("empty payload keeps its place")
            << a.toText() + noPayload.toText() + b.toText() << QList<MqttTopicConfig> { a, noPayload, b };
        QTest::newRow("six entries read as five")
            << a.toText().repeated(5) + b.toText() << QList<MqttTopicConfig> { a, a, a, a, a };
        // Not whole entries as written: empty pieces are dropped and a part entry is ignored.
        QTest::newRow("stray empty fields")
            << sep + a.toText() + sep + sep + b.toText() << QList<MqttTopicConfig> { a, b };
        QTest::newRow("part entry at the end")
            << a.toText() + fields({ "b", "0", "1" }) << QList<MqttTopicConfig> { a };
        QTest::newRow("no final separator") << a.toText() + b.toText().chopped(1) << QList<MqttTopicConfig> { a, b };
        QTest::newRow("not numbers read as 0")
            << fields({ "t", "x", "-", "y", "", "p" }) << QList<MqttTopicConfig> { entry("t", 0, false, 0, "p") };
    }
    void listRead()
    {
        QFETCH(QString, text);
        QFETCH(QList<MqttTopicConfig>, entries);
        QCOMPARE(mqttReadList(text), entries);
    }

    void listText()
    {
        MqttTopicConfig a = entry("a", 0, false, 1, "");
        MqttTopicConfig b = entry("b", 1, true, 2, "{}");
        QCOMPARE(mqttListText({}), QString());
        QCOMPARE(mqttListText({ &a, &b }), a.toText() + b.toText());
        QCOMPARE(mqttReadList(mqttListText({ &a, &b })), (QList<MqttTopicConfig> { a, b }));
    }

    void blockText_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("utf-8") << QString("主题\x1f").toUtf8() << QString("主题\x1f");
        QTest::newRow("zero byte ends the text") << QByteArray("ab\x1f\0cd", 6) << QString("ab\x1f");
        QTest::newRow("leading zero") << QByteArray("\0ab", 3) << QString();
        // One broken byte spoils only itself, not the Chinese around it.
        QTest::newRow("invalid byte") << QString("主题").toUtf8() + QByteArray("\xff\x1f")
                                      << QString("主题") + QChar(QChar::ReplacementCharacter) + sep;
    }
    void blockText()
    {
        QFETCH(QByteArray, block);
        QTEST(mqttBlockText(block), "text");
    }

    void fieldText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("field");
        QTest::newRow("plain") << "abc"
                               << "abc";
        QTest::newRow("separator") << QString("a") + sep + "b" + sep << "ab";
        QTest::newRow("zero") << QString("a") + QChar(0) + "b"
                              << "ab";
        QTest::newRow("backspace mark stays") << mark << mark;
    }
    void fieldText()
    {
        QFETCH(QString, typed);
        QTEST(mqttFieldText(typed), "field");
    }
};

RIVUDO_TEST_MAIN(TestMqttBlocks)
#include "tst_mqttblocks.moc"
