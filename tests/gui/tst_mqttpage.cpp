#include "devicerequest.h"
#include "fakemodule.h"
#include "ipaddress.h"
#include "module.h"
#include "mqtt_down_dialog.h"
#include "mqtt_form.h"
#include "mqtt_subscribe_dialog.h"
#include "mqtt_upload_dialog.h"
#include "mqttblocks.h"
#include "mqtttemplate.h"
#include "pagelookup.h"
#include "promptrecorder.h"
#include "tempappdir.h"
#include "testsupport.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

using TestSupport::child;

namespace {

const QString sep = QString(QChar(0x1F));
const QString initialTemplate = "{\n  \"A1\": \"%1\",\n  \"A2\": \"%2\"\n}";

MqttTopicConfig topic(const QString &name, const QString &payload)
{
    MqttTopicConfig t;
    t.topic = name;
    t.qos = 2;
    t.retain = true;
    t.sendTime = 9;
    t.payload = payload;
    return t;
}

QStringList itemTexts(QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

QStringList topics(const QList<MqttTopicConfig *> &entries)
{
    QStringList texts;
    for (const MqttTopicConfig *e : entries)
        texts << e->topic;
    return texts;
}

QTextEdit *editorOf(Mqtt_Subscribe_Dialog &d)
{
    return child<QTextEdit>(&d, "textEdit");
}

QTableWidget *tableOf(Mqtt_Subscribe_Dialog &d)
{
    return child<QTableWidget>(&d, "tableWidget");
}

QStringList rows(Mqtt_Subscribe_Dialog &d)
{
    QStringList out;
    for (int row = 0; row < tableOf(d)->rowCount(); ++row)
        out << tableOf(d)->item(row, 0)->text() + "=" + d.addressEditor(row)->text();
    return out;
}

} // namespace

class TestMqttPage : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QTRY_COMPARE_WITH_TIMEOUT(DeviceRequest::runningCount(), 0, 10000); }

    // The example coupler RVE-C150 shows the page, which starts as a fresh client.
    void freshPageFromDescription()
    {
        TempAppDir dir(true);
        module m("RVE-C150", "RVE");
        auto *page = TestSupport::builtPageOf<MQTT_Form>(&m);
        QVERIFY(page);
        QCOMPARE(page->title, QString("MQTT"));
        QCOMPARE(page->getParamData(), QByteArray());
        QCOMPARE(child<QLineEdit>(page, "lineEdit_ClientID")->text(), QString("RVE-C150"));
        QCOMPARE(child<QLineEdit>(page, "lineEdit_port")->text(), QString("1883"));
        QCOMPARE(child<QSpinBox>(page, "spinBox_KeepAlive")->value(), 10);
        QCOMPARE(child<QComboBox>(page, "comboBox_Reconnect")->currentText(), QString("使能"));
        QCOMPARE(child<QSpinBox>(page, "spinBox_Period")->value(), 5);
        QVERIFY(!child<QGroupBox>(page, "groupBox")->isChecked());
        QVERIFY(!child<QGroupBox>(page, "groupBox_lostwill")->isChecked());
        QVERIFY(!child<QPushButton>(page, "pushButton_subscribe")->isEnabled());
        QVERIFY(!child<QGroupBox>(page, "groupBox_Subscribe")->isEnabled());
        QVERIFY(page->publishList.isEmpty() && page->subscribeList.isEmpty());
    }

    // Typed separators and zeros would split the block on the module: they are left out.
    void collectGeneral()
    {
        MQTT_Form page;
        child<QGroupBox>(&page, "groupBox")->setChecked(true);
        child<QLineEdit>(&page, "lineEdit_ClientID")->setText("  gw " + sep + "  1 ");
        child<IPAddress>(&page, "Service_IP")->setIP("192.168.1.10");
        child<QLineEdit>(&page, "lineEdit_port")->setText(" 18" + QString(QChar(0)) + "83 ");
        child<QLineEdit>(&page, "lineEdit_usrname")->setText(" u" + sep);
        child<QComboBox>(&page, "comboBox_Reconnect")->setCurrentIndex(1);
        page.collectGeneral();
        QCOMPARE(page.general.clientId, QString("gw 1"));
        QCOMPARE(page.general.serverAddress, QString("192.168.001.010"));
        QCOMPARE(page.general.port, QString("1883"));
        QCOMPARE(page.general.userName, QString(" u"));
        QCOMPARE(page.general.password, QString());
        QVERIFY(page.general.enabled);
        QVERIFY(!page.general.reconnect);
        QCOMPARE(page.general.toText().split(sep).size(), 10);
    }

    void generalReadBack()
    {
        MQTT_Form page;
        child<QLineEdit>(&page, "lineEdit_usrname")->setText("typed");
        const QString text = "gw2" + sep + "192.168.001.010" + sep + "8883" + sep + QChar(8) + sep + "pw" + sep + "30"
            + sep + "0" + sep + "7" + sep + "1" + sep;
        page.upload_genral_lifo(MQTT_SUB_GENERAL, text);
        QVERIFY(child<QGroupBox>(&page, "groupBox")->isChecked());
        QCOMPARE(child<QLineEdit>(&page, "lineEdit_ClientID")->text(), QString("gw2"));
        QCOMPARE(child<IPAddress>(&page, "Service_IP")->getPaddedIP(3), QString("192.168.001.010"));
        QCOMPARE(child<QLineEdit>(&page, "lineEdit_port")->text(), QString("8883"));
        QCOMPARE(child<QLineEdit>(&page, "lineEdit_usrname")->text(), QString());
        QCOMPARE(child<QLineEdit>(&page, "lineEdit_Password")->text(), QString("pw"));
        QCOMPARE(child<QSpinBox>(&page, "spinBox_KeepAlive")->value(), 30);
        QCOMPARE(child<QComboBox>(&page, "comboBox_Reconnect")->currentIndex(), 1);
        QCOMPARE(child<QSpinBox>(&page, "spinBox_Period")->value(), 7);
        // Enabling by a read-back leaves the publish widgets as the user's last click left them.
        QVERIFY(child<QPushButton>(&page, "pushButton_Publish")->isEnabled());

        // A block that is no general text leaves what the user typed since.
        child<QLineEdit>(&page, "lineEdit_usrname")->setText("typed again");
        page.upload_genral_lifo(MQTT_SUB_GENERAL, "a" + sep + "b" + sep);
        QCOMPARE(child<QLineEdit>(&page, "lineEdit_usrname")->text(), QString("typed again"));
        QCOMPARE(child<QLineEdit>(&page, "lineEdit_ClientID")->text(), QString("gw2"));
        page.upload_genral_lifo(99, "x");
        QCOMPARE(child<QLineEdit>(&page, "lineEdit_ClientID")->text(), QString("gw2"));
    }

    // No last will on the module unchecks the box, which the user can check again.
    void lastWillReadBack()
    {
        MQTT_Form page;
        auto *box = child<QGroupBox>(&page, "groupBox_lostwill");
        const MqttTopicConfig will = topic("bye", "{}");
        page.upload_genral_lifo(MQTT_SUB_WILL, will.toText());
        QVERIFY(box->isCheckable() && box->isChecked());
        QCOMPARE(child<QLabel>(&page, "label_info")->text(), QString("bye"));
        QCOMPARE(page.lastWill, will);
        page.upload_genral_lifo(MQTT_SUB_WILL, QString());
        QVERIFY(!box->isChecked());
        QVERIFY(box->isCheckable());
        QVERIFY(!child<QPushButton>(&page, "pushButton_lostwill")->isEnabled());
        box->setChecked(true);
        QVERIFY(child<QPushButton>(&page, "pushButton_lostwill")->isEnabled());
        // A short text keeps the record but still switches the last will on.
        page.upload_genral_lifo(MQTT_SUB_WILL, "x" + sep + "0");
        QCOMPARE(page.lastWill, will);
        QVERIFY(box->isChecked());
    }

    // A list read back replaces the list and its items; empty fields keep their places.
    void listReadBack_data()
    {
        QTest::addColumn<int>("subplug");
        QTest::addColumn<QString>("listName");
        QTest::newRow("publish") << MQTT_SUB_PUBLISH << "listWidget_Publish";
        QTest::newRow("subscribe") << MQTT_SUB_SUBSCRIBE << "listWidget_Subscribe";
    }
    void listReadBack()
    {
        QFETCH(int, subplug);
        QFETCH(QString, listName);
        MQTT_Form page;
        auto *list = child<QListWidget>(&page, listName.toLatin1().constData());
        QList<MqttTopicConfig *> &entries = subplug == MQTT_SUB_PUBLISH ? page.publishList : page.subscribeList;
        page.upload_genral_lifo(subplug, topic("old", "{}").toText());
        QCOMPARE(itemTexts(list), QStringList { "old" });
        const MqttTopicConfig a = topic("", "{\"a\":\"%1\"}");
        const MqttTopicConfig b = topic("b", "");
        const MqttTopicConfig c = topic("c", "{}");
        page.upload_genral_lifo(subplug, a.toText() + b.toText() + c.toText());
        QCOMPARE(itemTexts(list), (QStringList { "", "b", "c" }));
        QCOMPARE(topics(entries), (QStringList { "", "b", "c" }));
        QCOMPARE(*entries.at(0), a);
        QCOMPARE(*entries.at(1), b);
        QCOMPARE(*entries.at(2), c);
        for (int i = 0; i < list->count(); ++i)
            QCOMPARE(list->item(i)->data(Qt::UserRole).value<void *>(), static_cast<void *>(entries.at(i)));
        page.upload_genral_lifo(subplug, QString());
        QCOMPARE(list->count(), 0);
        QVERIFY(entries.isEmpty());
    }

    // Adding runs the editor; a cancelled editor adds nothing, an accepted one appends.
    void addAndEditPublish()
    {
        MQTT_Form page;
        PromptRecorder prompts;
        prompts.onExec = [](QDialog *) { return int(QDialog::Rejected); };
        QMetaObject::invokeMethod(&page, "on_pushButton_Publish_clicked");
        QVERIFY(page.publishList.isEmpty());

        prompts.onExec = [](QDialog *d) {
            child<QLineEdit>(d, "lineEdit_Topic")->setText("plant/one");
            return int(QDialog::Accepted);
        };
        QMetaObject::invokeMethod(&page, "on_pushButton_Publish_clicked");
        QCOMPARE(topics(page.publishList), QStringList { "plant/one" });
        // Accepted without touching the template: the initial one, and no mappings yet.
        QCOMPARE(page.publishList.at(0)->payload, initialTemplate);
        QVERIFY(page.publishList.at(0)->mappings.isEmpty());
        QCOMPARE(page.publishList.at(0)->sendTime, 5);
        auto *list = child<QListWidget>(&page, "listWidget_Publish");

        // Editing: cancel changes nothing; accept stores and renames the item.
        prompts.onExec = [](QDialog *d) {
            child<QLineEdit>(d, "lineEdit_Topic")->setText("renamed");
            return int(QDialog::Rejected);
        };
        page.on_listWidget_Publish_itemDoubleClicked(list->item(0));
        QCOMPARE(list->item(0)->text(), QString("plant/one"));
        QString shown;
        prompts.onExec = [&shown](QDialog *d) {
            shown = child<QLineEdit>(d, "lineEdit_Topic")->text();
            child<QLineEdit>(d, "lineEdit_Topic")->setText("renamed");
            return int(QDialog::Accepted);
        };
        page.on_listWidget_Publish_itemDoubleClicked(list->item(0));
        QCOMPARE(shown, QString("plant/one"));
        QCOMPARE(list->item(0)->text(), QString("renamed"));
        QCOMPARE(page.publishList.at(0)->topic, QString("renamed"));
    }

    void lastWillEditor()
    {
        MQTT_Form page;
        PromptRecorder prompts;
        bool sendTimeOff = false;
        prompts.onExec = [&sendTimeOff](QDialog *d) {
            sendTimeOff = !child<QSpinBox>(d, "spinBox_sendtime")->isEnabled();
            child<QLineEdit>(d, "lineEdit_Topic")->setText("dead");
            return int(QDialog::Accepted);
        };
        QMetaObject::invokeMethod(&page, "on_pushButton_lostwill_clicked");
        QVERIFY(sendTimeOff);
        QCOMPARE(page.lastWill.topic, QString("dead"));
        QCOMPARE(child<QLabel>(&page, "label_info")->text(), QString("dead"));
    }

    // The menu shows only over an item and deletes exactly that entry.
    void deleteFromMenu()
    {
        MQTT_Form page;
        page.resize(800, 500);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        const MqttTopicConfig a = topic("a", "1"), b = topic("b", "2"), c = topic("c", "3");
        page.upload_genral_lifo(MQTT_SUB_PUBLISH, a.toText() + b.toText() + c.toText());
        auto *list = child<QListWidget>(&page, "listWidget_Publish");
        list->setCurrentRow(0);
        PromptRecorder prompts;
        prompts.menuAnswers << "删除"
                            << "删除";
        page.on_listWidget_Publish_customContextMenuRequested(QPoint(5, list->viewport()->height() - 2));
        QVERIFY(prompts.menus.isEmpty());
        page.on_listWidget_Publish_customContextMenuRequested(list->visualItemRect(list->item(1)).center());
        QCOMPARE(prompts.menus, QList<QStringList> { { "删除" } });
        QCOMPARE(itemTexts(list), (QStringList { "a", "c" }));
        QCOMPARE(topics(page.publishList), (QStringList { "a", "c" }));
    }

    // The page's buttons run the dialogs against the module: a download from a fresh page
    // sends empty last-will and publish blocks; an upload fills the page.
    void transfersThroughThePage()
    {
        FakeModule fake("127.0.0.191");
        QVERIFY(fake.start());
        auto m = std::make_unique<modulebase>("RVE-C150", "RVE");
        m->connType = modulebase::CONNEST_NET;
        m->ipAddress = fake.address();
        m->ModuleShowName = "RVE-C150";
        MQTT_Form page;
        page.attachModule(m.get());
        PromptRecorder prompts;
        prompts.onExec = [](QDialog *d) {
            auto *t = qobject_cast<MqttTransferDialog *>(d);
            QSignalSpy done(t, &MqttTransferDialog::transfersDone);
            QMetaObject::invokeMethod(d, "on_pushButton_clicked");
            done.wait(20000);
            return int(QDialog::Rejected);
        };
        QMetaObject::invokeMethod(&page, "on_pushButton_Down_clicked");
        QCOMPARE(prompts.dialogsRun, QStringList { "MQTT_Down_Dialog" });
        QCOMPARE(fake.block(18, 17), QByteArray());
        QCOMPARE(fake.block(18, 18), QByteArray());
        QCOMPARE(fake.commands().at(1), QByteArray("C\x12\x11\0\0\0\0", 7));
        QCOMPARE(fake.commands().at(2), QByteArray("C\x12\x12\0\0\0\0", 7));
        QCOMPARE(QString::fromUtf8(fake.block(18, 16)), page.general.toText());
        QVERIFY(page.general.toText().startsWith("RVE-C150" + sep + "000.000.000.000" + sep + "1883" + sep));

        const MqttTopicConfig p = topic("p1", "{\"v\":\"%7\"}");
        fake.setUploadBlock(18, 16,
            ("c9" + sep + "010.000.000.009" + sep + "1" + sep + "u" + sep + "w" + sep + "1" + sep + "1" + sep + "2"
                + sep + "1" + sep)
                .toUtf8());
        fake.setUploadBlock(18, 17, QByteArray());
        fake.setUploadBlock(18, 18, (p.toText() + p.toText()).toUtf8());
        child<QGroupBox>(&page, "groupBox_lostwill")->setChecked(true);
        QMetaObject::invokeMethod(&page, "on_pushButton_Updown_clicked");
        QCOMPARE(child<QLineEdit>(&page, "lineEdit_ClientID")->text(), QString("c9"));
        QVERIFY(!child<QGroupBox>(&page, "groupBox_lostwill")->isChecked());
        QCOMPARE(topics(page.publishList), (QStringList { "p1", "p1" }));
        QVERIFY(!page.findChild<QDialog *>());
    }

    // Editor: the template gives the mapping rows; an address typed into a row's editor
    // rewrites that member, whichever row is current.
    void editorMappings()
    {
        Mqtt_Subscribe_Dialog d;
        QVERIFY(rows(d).isEmpty());
        editorOf(d)->setPlainText(R"({"t":"%12","u":{"v":"x%3"},"w":5})");
        QCOMPARE(rows(d), (QStringList { "t=12", "v=x3" }));
        QCOMPARE(child<QLabel>(&d, "label_info")->text(), QString("JSON format OK"));
        QCOMPARE(tableOf(d)->item(0, 0)->data(Qt::UserRole).toString(), QString("\"%12\""));
        QVERIFY(!(tableOf(d)->item(0, 0)->flags() & Qt::ItemIsEditable));

        tableOf(d)->setCurrentCell(1, 0);
        QLineEdit *t = d.addressEditor(0);
        t->selectAll();
        QTest::keyClicks(t, "40");
        QCOMPARE(editorOf(d)->toPlainText(),
            QString("{\n\t\"t\":\t\"%40\",\n\t\"u\":\t{\n\t\t\"v\":\t\"x%3\"\n\t},\n\t\"w\":\t5\n}"));
        QCOMPARE(rows(d), (QStringList { "t=40", "v=x3" }));

        // Not JSON: the rows stay, the label says so.
        editorOf(d)->setPlainText("{\"t\":");
        QCOMPARE(child<QLabel>(&d, "label_info")->text(), QString("Failed to parse the JSON document"));
        QCOMPARE(rows(d), (QStringList { "t=40", "v=x3" }));

        MqttTopicConfig stored;
        d.storeConfig(&stored);
        QCOMPARE(stored.mappings.size(), 2);
        QCOMPARE(stored.mappings.at(0), (MqttParamMapping { "\"%12\"", "t", "40" }));
        QCOMPARE(stored.payload, QString("{\"t\":"));
    }

    // Reopening shows the stored rows although the template is not read again.
    void editorLoadsEntry()
    {
        MqttTopicConfig entry = topic("x", "{\"k\":\"%5\"}");
        entry.mappings = { { "\"%5\"", "k", "6" } };
        Mqtt_Subscribe_Dialog d(entry);
        QCOMPARE(rows(d), QStringList { "k=6" });
        QCOMPARE(child<QLabel>(&d, "label_info")->text(), QString());
        QVERIFY(child<QRadioButton>(&d, "radioButton_Retain")->isChecked());
        QCOMPARE(child<QComboBox>(&d, "comboBox_QoS")->currentIndex(), 2);
        MqttTopicConfig back;
        d.storeConfig(&back);
        QCOMPARE(back, entry);
    }

    void editorSubscribeControls()
    {
        Mqtt_Subscribe_Dialog d;
        d.setRetainEnabled(false);
        d.setSendTimeEnabled(false);
        d.setRetainEnabled(true);
        QVERIFY(!child<QRadioButton>(&d, "radioButton_Retain")->isEnabled());
        QVERIFY(!child<QSpinBox>(&d, "spinBox_sendtime")->isEnabled());
        MqttTopicConfig e;
        d.storeConfig(&e);
        QVERIFY(!e.retain);
        QCOMPARE(e.sendTime, 5);
        QCOMPARE(e.topic, QString("testtopic"));
    }

    // Text beyond 500 characters is taken out just before the cursor, never before the start.
    void editorLengthLimit_data()
    {
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("cut");
        QTest::addColumn<int>("cursorAfter");
        QTest::newRow("paste at the end") << 498 << 500 << 500;
        QTest::newRow("paste at the start") << 0 << 2 << 2;
        QTest::newRow("paste in the middle") << 200 << 202 << 202;
    }
    void editorLengthLimit()
    {
        QFETCH(int, at);
        QFETCH(int, cut);
        QFETCH(int, cursorAfter);
        Mqtt_Subscribe_Dialog d;
        const QString body = "{\"a\":\"" + QString(490, 'x') + "\"}";
        QCOMPARE(body.size(), 498);
        editorOf(d)->setPlainText(body);
        const QString paste = "0123456789AB";
        QTextCursor c = editorOf(d)->textCursor();
        c.setPosition(at);
        editorOf(d)->setTextCursor(c);
        editorOf(d)->insertPlainText(paste);
        QString expected = body;
        expected.insert(at, paste);
        expected.remove(cut, 10);
        QCOMPARE(editorOf(d)->toPlainText(), expected);
        QCOMPARE(editorOf(d)->textCursor().position(), cursorAfter);
    }

    // A text set whole (cursor at its start) loses its excess from the start.
    void editorLengthLimitCursorAtStart()
    {
        Mqtt_Subscribe_Dialog d;
        const QString text = QString(100, ' ') + "{\"a\":\"" + QString(492, 'x') + "\"}";
        editorOf(d)->setPlainText(text);
        QCOMPARE(editorOf(d)->toPlainText(), text.mid(100));
        QCOMPARE(child<QLabel>(&d, "label_info")->text(), QString("JSON format OK"));
    }

    // An address change whose layout would pass the limit is refused: template and editor stay.
    void editorRefusesLongReformat()
    {
        Mqtt_Subscribe_Dialog d;
        QString text = "{\"k\":\"%1\"";
        int i = 0;
        while (text.size() < 470)
            text += QString(",\"m%1\":1").arg(i++);
        text += "}";
        editorOf(d)->setPlainText(text);
        QCOMPARE(rows(d), QStringList { "k=1" });
        QVERIFY(mqttPrintTemplate(text).size() > 500);
        QLineEdit *k = d.addressEditor(0);
        QTest::keyClicks(k, "2");
        QCOMPARE(editorOf(d)->toPlainText(), text);
        QCOMPARE(k->text(), QString("1"));
        QCOMPARE(child<QLabel>(&d, "label_info")->text(), QString("json 文本超过500"));
    }

    // The whole text must be one JSON value: what follows the first one makes it fail, both in
    // the label and at OK, and the rows stay those of the last good template.
    void editorChecksWholeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QStringList>("rowsAfter");
        QTest::newRow("one object") << R"({"A1":"%1","A3":"%3"})" << true << QStringList { "A1=1", "A3=3" };
        QTest::newRow("white space after it") << "{\"A1\":\"%1\"}\n \t\n" << true << QStringList { "A1=1" };
        QTest::newRow("second object after a comma") << R"({"A1":"%1"} ,{"A3":"%3")" << false << QStringList { "B=7" };
        QTest::newRow("a letter after it") << R"({"a":1}x)" << false << QStringList { "B=7" };
        QTest::newRow("unfinished") << R"({"a":)" << false << QStringList { "B=7" };
    }
    void editorChecksWholeText()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        Mqtt_Subscribe_Dialog d;
        editorOf(d)->setPlainText(R"({"B":"%7"})");
        editorOf(d)->setPlainText(text);
        QCOMPARE(child<QLabel>(&d, "label_info")->text(),
            QString(valid ? "JSON format OK" : "Failed to parse the JSON document"));
        QTEST(rows(d), "rowsAfter");
        PromptRecorder prompts;
        QSignalSpy accepted(&d, &QDialog::accepted);
        d.accept();
        QCOMPARE(accepted.count(), valid ? 1 : 0);
        QCOMPARE(prompts.messages.size(), valid ? 0 : 1);
        if (!valid) {
            QCOMPARE(prompts.lastCaption(), QString("错误"));
            QCOMPARE(prompts.lastText(), QString("Failed to parse the JSON document"));
        }
    }

    void editorEmptyAddressBlocksOk()
    {
        Mqtt_Subscribe_Dialog d;
        editorOf(d)->setPlainText(R"({"a":"%1","b":"%2"})");
        d.addressEditor(1)->clear();
        PromptRecorder prompts;
        QSignalSpy accepted(&d, &QDialog::accepted);
        d.accept();
        QCOMPARE(accepted.count(), 0);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.lastCaption(), QString("错误"));
        QCOMPARE(prompts.lastText(), QString("寄存器地址不能为空"));
        QCOMPARE(tableOf(d)->currentRow(), 1);
        QCOMPARE(d.addressEditor(1)->styleSheet(), QString("background-color:rgb(238,99,99);"));
        QTest::keyClicks(d.addressEditor(1), "8");
        d.accept();
        QCOMPARE(accepted.count(), 1);
        QCOMPARE(d.addressEditor(1)->styleSheet(), QString("QLineEdit{border-width:0;border-style:outset}"));
    }

    // Loading re-prints a file in cJSON's layout; a file that fails keeps the template.
    void editorLoadFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QString>("info");
        QTest::newRow("JSON") << QByteArray(R"({"q":"%9"})") << true << "JSON format OK";
        QTest::newRow("not JSON") << QByteArray("{\"q\":") << false << "Failed to parse the JSON document";
        QByteArray longer("{");
        for (int i = 0; i < 60; ++i)
            longer += QByteArray(i ? "," : "") + "\"k" + QByteArray::number(i) + "\":1";
        longer += "}";
        QTest::newRow("longer than the limit once laid out") << longer << false << "json 文本超过500";
    }
    void editorLoadFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, taken);
        TempAppDir dir;
        QVERIFY(dir.write("/t.json", content));
        Mqtt_Subscribe_Dialog d;
        PromptRecorder prompts;
        prompts.fileAnswers << dir.filePath("/t.json");
        d.on_pushButton_clicked();
        QCOMPARE(editorOf(d)->toPlainText(), taken ? mqttPrintTemplate(content) : initialTemplate);
        QTEST(child<QLabel>(&d, "label_info")->text(), "info");
        if (taken)
            QCOMPARE(rows(d), QStringList { "q=9" });
        prompts.fileAnswers << dir.filePath("/missing.json");
        d.on_pushButton_clicked();
        QCOMPARE(editorOf(d)->toPlainText(), taken ? mqttPrintTemplate(content) : initialTemplate);
    }

    void editorSaveFile()
    {
        TempAppDir dir;
        Mqtt_Subscribe_Dialog d;
        PromptRecorder prompts;
        prompts.fileAnswers << dir.filePath("/out.json");
        QVERIFY(dir.write("/out.json", "old content that is longer"));
        d.on_pushButton_2_clicked();
        QCOMPARE(QString::fromUtf8(dir.read("/out.json")), initialTemplate);
        QVERIFY(prompts.messages.isEmpty());
        prompts.fileAnswers << dir.filePath("/no/such/folder/out.json");
        d.on_pushButton_2_clicked();
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.lastCaption(), QString("Error"));
        QCOMPARE(prompts.lastText(),
            QString("Failed to open file \"%1\" for save!").arg(dir.filePath("/no/such/folder/out.json")));
    }

    // Keys take the key colour over the string colour; a digit in a bare word is a number.
    void highlighter()
    {
        Mqtt_Subscribe_Dialog d;
        editorOf(d)->setPlainText("{\"ab\": \"cd\", x1: null}");
        QTextLayout *layout = editorOf(d)->document()->firstBlock().layout();
        auto colourAt = [layout](int pos) {
            for (const QTextLayout::FormatRange &r : layout->formats()) {
                if (pos >= r.start && pos < r.start + r.length)
                    return r.format.foreground().color();
            }
            return QColor();
        };
        // The highlighter starts working once the event loop has run.
        QTRY_VERIFY(!layout->formats().isEmpty());
        QCOMPARE(colourAt(2), QColor(Qt::darkMagenta));
        QCOMPARE(colourAt(8), QColor(Qt::darkYellow));
        QCOMPARE(colourAt(14), QColor(Qt::darkYellow));
        QCOMPARE(colourAt(18), QColor(Qt::gray));
        QCOMPARE(colourAt(0), QColor());
    }
};

RIVUDO_TEST_MAIN(TestMqttPage)
#include "tst_mqttpage.moc"
