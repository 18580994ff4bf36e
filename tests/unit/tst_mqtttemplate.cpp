#include "mqtttemplate.h"
#include "testsupport.h"

Q_DECLARE_METATYPE(QList<MqttParamMapping>)

class TestMqttTemplate : public QObject
{
    Q_OBJECT
private slots:
    void mappings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("parsed");
        QTest::addColumn<QList<MqttParamMapping>>("rows");
        QTest::newRow("nested, numbers skipped")
            << R"({"t":"%12","u":{"v":"x%3"},"w":5})" << true
            << QList<MqttParamMapping> { { "\"%12\"", "t", "12" }, { "\"x%3\"", "v", "x3" } };
        QTest::newRow("repeated key keeps its first row")
            << R"({"a":{"k":"%1"},"k":"%2","b":"%3"})" << true
            << QList<MqttParamMapping> { { "\"%1\"", "k", "1" }, { "\"%3\"", "b", "3" } };
        QTest::newRow("six digits") << R"({"s":"%123456"})" << true
                                    << QList<MqttParamMapping> { { "\"%123456\"", "s", "123456" } };
        QTest::newRow("no address, arrays not searched")
            << R"({"a":"%","b":"12","c":["%1"],"d":null,"e":true})" << true << QList<MqttParamMapping>();
        QTest::newRow("initial template")
            << "{\n  \"A1\": \"%1\",\n  \"A2\": \"%2\"\n}" << true
            << QList<MqttParamMapping> { { "\"%1\"", "A1", "1" }, { "\"%2\"", "A2", "2" } };
        QTest::newRow("array at the top") << R"(["%1"])" << true << QList<MqttParamMapping>();
        QTest::newRow("not JSON") << R"({"a":"%1",)" << false << QList<MqttParamMapping>();
        QTest::newRow("empty") << "" << false << QList<MqttParamMapping>();
        QTest::newRow("trailing white space") << "{\"a\":\"%1\"} \t\r\n\n"
                                              << true << QList<MqttParamMapping> { { "\"%1\"", "a", "1" } };
        QTest::newRow("leading white space")
            << "\n {\"a\":\"%1\"}" << true << QList<MqttParamMapping> { { "\"%1\"", "a", "1" } };
        QTest::newRow("second object after a comma")
            << R"({"A1":"%1"} ,{"A3":"%3")" << false << QList<MqttParamMapping>();
        QTest::newRow("two whole objects") << R"({"a":"%1"}{"b":"%2"})" << false << QList<MqttParamMapping>();
        QTest::newRow("text after the object") << R"({"a":1}x)" << false << QList<MqttParamMapping>();
        QTest::newRow("closing brace twice") << R"({"a":"%1"}})" << false << QList<MqttParamMapping>();
        QTest::newRow("number after a number") << "1 2" << false << QList<MqttParamMapping>();
        QTest::newRow("NUL after the object")
            << QString::fromUtf8("{\"a\":1}\0x", 9) << false << QList<MqttParamMapping>();
    }
    void mappings()
    {
        QFETCH(QString, text);
        QFETCH(bool, parsed);
        bool said = !parsed;
        const QList<MqttParamMapping> rows = mqttTemplateMappings(text, &said);
        QCOMPARE(said, parsed);
        QTEST(rows, "rows");
    }

    void address_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("result");
        QTest::newRow("top level") << R"({"t":"%12","w":5})"
                                   << "t"
                                   << "40"
                                   << "{\n\t\"t\":\t\"%40\",\n\t\"w\":\t5\n}";
        QTest::newRow("first match per level")
            << R"({"o":{"k":"%1","k":"%2"},"k":"%3","k":"%4"})"
            << "k"
            << "9"
            << "{\n\t\"o\":\t{\n\t\t\"k\":\t\"%9\",\n\t\t\"k\":\t\"%2\"\n\t},\n\t\"k\":\t\"%9\",\n\t\"k\":\t\"%4\"\n}";
        QTest::newRow("no such key: printed anyway") << R"({"a":"x"})"
                                                     << "b"
                                                     << "1"
                                                     << "{\n\t\"a\":\t\"x\"\n}";
        QTest::newRow("not JSON") << "{"
                                  << "a"
                                  << "1" << QString();
        QTest::newRow("text after the object") << R"({"a":"%1"}x)"
                                               << "a"
                                               << "2" << QString();
    }
    void address()
    {
        QFETCH(QString, text);
        QFETCH(QString, key);
        QFETCH(QString, address);
        QTEST(mqttTemplateWithAddress(text, key, address), "result");
    }

    void print()
    {
        QCOMPARE(mqttPrintTemplate(R"({"a" : [1,2], "b":{}})"), QString("{\n\t\"a\":\t[1, 2],\n\t\"b\":\t{\n\t}\n}"));
        QVERIFY(mqttPrintTemplate("nonsense").isNull());
        QVERIFY(mqttPrintTemplate(R"({"a":1} ,{"b":2})").isNull());
    }

    void cut_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<int>("start");
        QTest::newRow("510 at the end") << 510 << 510 << 500;
        QTest::newRow("510 in the middle") << 510 << 300 << 290;
        QTest::newRow("cursor nearer the start than the run") << 510 << 4 << 0;
        QTest::newRow("cursor at 0") << 600 << 0 << 0;
        QTest::newRow("within the limit") << 500 << 7 << 7;
    }
    void cut()
    {
        QFETCH(int, length);
        QFETCH(int, cursor);
        QFETCH(int, start);
        QString text;
        for (int i = 0; i < length; ++i)
            text += QChar('a' + i % 26);
        int at = cursor;
        const QString cut = mqttCutTemplate(text, mqttTemplateLimit, &at);
        QCOMPARE(at, start);
        QCOMPARE(cut.size(), qMin(length, mqttTemplateLimit));
        const int removed = length - cut.size();
        QCOMPARE(cut, text.left(start) + text.mid(start + removed));
    }
};

RIVUDO_TEST_MAIN(TestMqttTemplate)
#include "tst_mqtttemplate.moc"
