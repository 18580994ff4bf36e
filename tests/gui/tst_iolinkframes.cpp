#include "builtinpages.h"
#include "fakeiolinkmaster.h"
#include "iolink_module.h"
#include "iolinkparamform.h"
#include "iolinkparamframe_ctrl.h"
#include "iolinkparamtable.h"
#include "iolinkportsetcodec.h"
#include "iolinkportsetform.h"
#include "iolinkportsetframe_ctrl.h"
#include "module.h"
#include "pagelookup.h"
#include "promptrecorder.h"
#include "serialpeer.h"
#include "submodule.h"
#include "tempappdir.h"
#include "testsupport.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextEdit>
#include <QTranslator>

#include <memory>

using TestSupport::child;

namespace {

// The tests below use the pages' widgets, which a page builds at its first show.
template <class T> T *pageOf(const modulebase *owner)
{
    return TestSupport::builtPageOf<T>(owner);
}
using TestSupport::Language;

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QString pairs(int count)
{
    QStringList p;
    for (int i = 0; i < count; ++i)
        p << QString::asprintf("%02X", i & 0xFF);
    return p.join(QLatin1Char(' '));
}

// Installs a compiled translation for the life of the object.
// The log's lines with their colours.
QStringList logLines(QWidget *frame)
{
    QStringList lines;
    const QTextDocument *doc = child<QTextEdit>(frame, "textEditInfo")->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (b.text().isEmpty())
            continue;
        const QColor colour = b.begin().fragment().charFormat().foreground().color();
        // The time stamp "MM-dd hh:mm:ss  " leads every line.
        const QString text = b.text();
        const bool stamped = QRegularExpression("^\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d  ").match(text).hasMatch();
        lines << (stamped ? text.mid(16) : "[unstamped] " + text)
                + (colour == Qt::red          ? " [red]"
                        : colour == Qt::black ? " [black]"
                                              : " [?]");
    }
    return lines;
}

QLineEdit *line(QWidget *frame, const char *name)
{
    return child<QLineEdit>(frame, name);
}

void click(QWidget *frame, const char *name)
{
    QTest::mouseClick(child<QPushButton>(frame, name), Qt::LeftButton);
}

int queued()
{
    IoLink_Module *link = IoLink_Module::existingInstance();
    return link ? link->sendQueue.size() : 0;
}

QLineEdit *cell(IoLinkParamFrame_Ctrl *frame, int row, int column)
{
    return qobject_cast<QLineEdit *>(child<QTableWidget>(frame, "tableWidget")->cellWidget(row, column));
}

QTableWidgetItem *result(IoLinkParamFrame_Ctrl *frame, int row)
{
    return child<QTableWidget>(frame, "tableWidget")->item(row, 0);
}

QString resultText(IoLinkParamFrame_Ctrl *frame, int row)
{
    QTableWidgetItem *item = result(frame, row);
    const QColor colour = item->foreground().color();
    return item->text().isEmpty() ? QString()
                                  : item->text()
            + (colour == Qt::red          ? " [red]"
                    : colour == Qt::black ? " [black]"
                                          : " [?]");
}

QStringList rowTexts(IoLinkParamFrame_Ctrl *frame, int row)
{
    return { cell(frame, row, 2)->text(), cell(frame, row, 3)->text(), cell(frame, row, 4)->text() };
}

void setRow(IoLinkParamFrame_Ctrl *frame, int row, const QString &index, const QString &sub, const QString &data)
{
    cell(frame, row, 2)->setText(index);
    cell(frame, row, 3)->setText(sub);
    cell(frame, row, 4)->setText(data);
}

QList<FakeIoLinkMaster::Request> requestsOf(const FakeIoLinkMaster &fake, int command)
{
    QList<FakeIoLinkMaster::Request> out;
    for (const FakeIoLinkMaster::Request &r : fake.requests())
        if (r.command == command)
            out << r;
    return out;
}

} // namespace

Q_DECLARE_METATYPE(QStringList)

// Waits until n requests have reached the master and nothing is left in the link's queue.
#define DRAINED(n)                                                                                                     \
    do {                                                                                                               \
        QTRY_COMPARE_WITH_TIMEOUT(m_fake->requests().size(), n, 10000);                                                \
        QTRY_COMPARE_WITH_TIMEOUT(queued(), 0, 10000);                                                                 \
    } while (0)

class TestIoLinkFrames : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempAppDir> m_app;
    std::unique_ptr<SerialPeer> m_peer;
    std::shared_ptr<FakeIoLinkMaster> m_fake;
    std::unique_ptr<module> m_module;

    // A coupler on the serial peer with the example IO-Link master in slot 1, its pages made
    // and attached by the page factory.
    submodule *master()
    {
        m_peer.reset(new SerialPeer);
        m_fake = std::make_shared<FakeIoLinkMaster>();
        m_peer->addDevice(m_fake);
        m_module = std::make_unique<module>("RVE-C100", "RVE");
        submodule *sub = m_module->addSubmodule("RV-IOL4", "RVIOL", 1);
        m_module->connType = modulebase::CONNEST_COM;
        m_module->comstr = m_peer->portName();
        m_module->shareConnection();
        sub->comstr.clear();
        sub->setLanguage(0);
        return sub;
    }
    // A port's panel as the user finds it once its tab has been shown (a page builds a panel at
    // its first show).
    IoLinkPortSetFrame_Ctrl *portSetFrame(int port)
    {
        auto *page = pageOf<IoLinkPortSetform>(m_module->submodules.first());
        auto *frame = child<IoLinkPortSetFrame_Ctrl>(page, QString("portSetframeFrame_Ctrl_%1").arg(port).toLatin1());
        frame->ensureBuilt();
        return frame;
    }
    IoLinkParamFrame_Ctrl *paramFrame(int port)
    {
        auto *page = pageOf<IoLinkParamForm>(m_module->submodules.first());
        auto *frame = child<IoLinkParamFrame_Ctrl>(page, QString("paramframe_ctrl_%1").arg(port).toLatin1());
        frame->ensureBuilt();
        return frame;
    }
private slots:
    void initTestCase()
    {
        m_app.reset(new TempAppDir(true));
        registerBuiltinPages();
    }
    void cleanup()
    {
        m_module.reset();
        IoLink_Module::deleteInstance();
        m_peer.reset();
        m_fake.reset();
    }

    void freshPortSetFrame()
    {
        IoLinkPortSetFrame_Ctrl frame;
        QCOMPARE(child<QComboBox>(&frame, "comboBox_Fun")->currentText(), QString("INACTIVE"));
        QCOMPARE(child<QComboBox>(&frame, "comboBoxSafeMode")->currentText(), QString("保持"));
        for (const char *name :
            { "lineEditVID", "lineEditDevID", "lineEditIoCircle", "lineEditInputLength", "lineEditOutputLength" }) {
            QVERIFY2(!line(&frame, name)->isEnabled(), name);
            QCOMPARE(line(&frame, name)->text(), QString("0"));
        }
        QVERIFY(!child<QComboBox>(&frame, "comboBoxValidate")->isEnabled());
        QVERIFY(!child<QComboBox>(&frame, "comboBox_Enable")->isEnabled());
        QVERIFY(line(&frame, "lineEditPin2")->isHidden());
        QCOMPARE(child<QLabel>(&frame, "labelInputLenth")->text(), QString("0"));
        QCOMPARE(child<QLabel>(&frame, "labelOutputLenth")->text(), QString("0"));
        QVERIFY(logLines(&frame).isEmpty());
        QCOMPARE(frame.objectName(), QString("IoLinkPortSetFrame_Ctrl"));
    }

    void functionRule_data()
    {
        QTest::addColumn<int>("function");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("vendor");
        QTest::addColumn<QString>("inputLabel");
        QTest::addColumn<QString>("outputLabel");
        QTest::newRow("SDCI keeps the fields") << 1 << true << "12"
                                               << "4"
                                               << "1";
        QTest::newRow("DI") << 2 << false << "0"
                            << "2"
                            << "0";
        QTest::newRow("DO_NPN") << 3 << false << "0"
                                << "0"
                                << "2";
        QTest::newRow("DO_PNP") << 4 << false << "0"
                                << "0"
                                << "2";
        QTest::newRow("INACTIVE") << 0 << false << "0"
                                  << "0"
                                  << "0";
    }
    void functionRule()
    {
        QFETCH(int, function);
        QFETCH(bool, enabled);
        QFETCH(QString, vendor);
        QFETCH(QString, inputLabel);
        QFETCH(QString, outputLabel);

        IoLinkPortSetFrame_Ctrl frame;
        auto *fun = child<QComboBox>(&frame, "comboBox_Fun");
        fun->setCurrentIndex(1);
        line(&frame, "lineEditVID")->setText("12");
        line(&frame, "lineEditInputLength")->setText("2");
        line(&frame, "lineEditOutputLength")->setText("1");
        child<QComboBox>(&frame, "comboBoxValidate")->setCurrentIndex(1);
        QCOMPARE(child<QLabel>(&frame, "labelInputLenth")->text(), QString("4"));
        fun->setCurrentIndex(function);

        QCOMPARE(line(&frame, "lineEditVID")->isEnabled(), enabled);
        QCOMPARE(child<QComboBox>(&frame, "comboBox_Enable")->isEnabled(), enabled);
        QCOMPARE(line(&frame, "lineEditVID")->text(), vendor);
        QCOMPARE(child<QComboBox>(&frame, "comboBoxValidate")->currentIndex(), enabled ? 1 : 0);
        QCOMPARE(child<QLabel>(&frame, "labelInputLenth")->text(), inputLabel);
        QCOMPARE(child<QLabel>(&frame, "labelOutputLenth")->text(), outputLabel);
    }

    // Each entry error names itself, selects its field and sends nothing.
    void entryErrors_data()
    {
        QTest::addColumn<QStringList>("fields"); // name=text pairs
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<QString>("selected");

        QTest::newRow("pin-4 filter typed in hex") << QStringList { "lineEditPin4=1a" } << "pushButtonSetInput"
                                                   << "输入错误，输入不能为空且为10进制!"
                                                   << "lineEditPin4";
        QTest::newRow("pin-2 empty") << QStringList { "lineEditPin2=  " } << "pushButtonSetInput"
                                     << "输入错误，输入不能为空且10进制!"
                                     << "lineEditPin2";
        QTest::newRow("vendor empty") << QStringList { "lineEditVID= " } << "btnSetLinkPort"
                                      << "Vendor_ID输入错误，输入不能为空且为16进制!"
                                      << "lineEditVID";
        QTest::newRow("device not hex") << QStringList { "lineEditDevID=xyz" } << "btnSetLinkPort"
                                        << "DevID输入错误，输入不能为空且为16进制!"
                                        << "lineEditDevID";
        QTest::newRow("cycle empty") << QStringList { "lineEditIoCircle=  " } << "btnSetLinkPort"
                                     << "IoCircle输入错误，需要0到255的10进制数!"
                                     << "lineEditIoCircle";
        QTest::newRow("input length 33") << QStringList { "lineEditInputLength=33" } << "btnSetLinkPort"
                                         << "InputLength输入错误，需要0到32的10进制数!"
                                         << "lineEditInputLength";
        QTest::newRow("output length 40") << QStringList { "lineEditOutputLength=40" } << "btnSetLinkPort"
                                          << "OutputLength输入错误，需要0到32的10进制数!"
                                          << "lineEditOutputLength";
        QTest::newRow("first failing line wins")
            << QStringList { "lineEditIoCircle=  ", "lineEditDevID=  " } << "btnSetLinkPort"
            << "DevID输入错误，输入不能为空且为16进制!"
            << "lineEditDevID";
        QTest::newRow("ISDU read, index empty") << QStringList { "lineEditIndex=  " } << "btnIsDURead"
                                                << "索引输入错误，输入不能为空且为16进制!"
                                                << "lineEditIndex";
        QTest::newRow("ISDU read, subindex empty") << QStringList { "lineEditSubIndex=  " } << "btnIsDURead"
                                                   << "子索引输入错误，输入不能为空且为16进制!"
                                                   << "lineEditSubIndex";
        QTest::newRow("ISDU write, index not hex") << QStringList { "lineEditIndex=g" } << "btnIsDUWrite"
                                                   << "索引输入错误，输入不能为空且为16进制!"
                                                   << "lineEditIndex";
        QTest::newRow("ISDU write, subindex not hex") << QStringList { "lineEditSubIndex=zz" } << "btnIsDUWrite"
                                                      << "子索引输入错误，为16进制!"
                                                      << "lineEditSubIndex";
        const QString format = "输入数据格式不对! 请按字节输入16进制中间用空格隔开,且不能为空!";
        QTest::newRow("four digits") << QStringList { "data=0102" } << "btnIsDUWrite" << format << "data";
        QTest::newRow("two spaces") << QStringList { "data=01  02" } << "btnIsDUWrite" << format << "data";
        QTest::newRow("single digit before a pair")
            << QStringList { "data=1 02" } << "btnIsDUWrite" << format << "data";
        QTest::newRow("235 pairs") << QStringList { "data=" + pairs(235) } << "btnIsDUWrite"
                                   << "输入数据不能超过234个"
                                   << "data";
    }
    void entryErrors()
    {
        QFETCH(QStringList, fields);
        QFETCH(QString, button);
        QFETCH(QString, warning);
        QFETCH(QString, selected);

        PromptRecorder prompts;
        IoLinkPortSetFrame_Ctrl frame;
        frame.port = 2;
        child<QComboBox>(&frame, "comboBox_Fun")->setCurrentIndex(1);
        for (const QString &f : fields) {
            const QString name = f.section('=', 0, 0);
            const QString text = f.section('=', 1);
            if (name == "data")
                child<QTextEdit>(&frame, "textEditData")->setPlainText(text);
            else
                line(&frame, name.toLatin1())->setText(text);
        }
        click(&frame, button.toLatin1());
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.lastCaption(), QString("error"));
        QCOMPARE(prompts.lastText(), warning);
        if (selected == "data") {
            auto *box = child<QTextEdit>(&frame, "textEditData");
            QCOMPARE(box->textCursor().selectedText(), box->toPlainText());
        } else {
            QVERIFY(line(&frame, selected.toLatin1())->hasSelectedText());
            QCOMPARE(line(&frame, selected.toLatin1())->selectedText(), line(&frame, selected.toLatin1())->text());
        }
        QCOMPARE(queued(), 0);
    }

    // I/O parameters go to the master and come back; a filter the device reported above 99 is
    // sent back unchanged.
    void ioParamsThroughTheMaster()
    {
        master();
        IoLinkPortSetFrame_Ctrl *frame = portSetFrame(1);
        child<QComboBox>(frame, "comboBoxSafeMode")->setCurrentIndex(2);
        line(frame, "lineEditPin4")->setText("5");
        click(frame, "pushButtonSetInput");
        DRAINED(1);
        QCOMPARE(m_fake->requests().at(0).command, int(IOLINK_SET_IOPARAM));
        QCOMPARE(m_fake->ioParams(1), hex("01 02 05 00"));
        QTRY_COMPARE_WITH_TIMEOUT(logLines(frame), QStringList { "输入输出参数设置成功 [black]" }, 5000);

        m_fake->setIoParams(1, hex("01 03 C8 09"));
        click(frame, "pushButtonRefresInput");
        DRAINED(2);
        QTRY_COMPARE_WITH_TIMEOUT(line(frame, "lineEditPin4")->text(), QString("200"), 5000);
        QCOMPARE(line(frame, "lineEditPin2")->text(), QString("9"));
        QCOMPARE(child<QComboBox>(frame, "comboBoxSafeMode")->currentIndex(), 0);
        QCOMPARE(logLines(frame).last(), QString("读取输入输出参数成功! [black]"));

        m_fake->setStatus(1);
        click(frame, "pushButtonSetInput");
        DRAINED(3);
        QCOMPARE(m_fake->requests().at(2).payload, hex("01 00 C8 09"));
        QTRY_COMPARE_WITH_TIMEOUT(logLines(frame).last(), QString("输入输出参数设置失败 [red]"), 5000);
        // Other ports' frames saw nothing.
        QVERIFY(logLines(portSetFrame(0)).isEmpty());
    }

    void portConfigThroughTheMaster()
    {
        master();
        IoLinkPortSetFrame_Ctrl *frame = portSetFrame(1);
        child<QComboBox>(frame, "comboBox_Fun")->setCurrentIndex(1);
        line(frame, "lineEditVID")->setText("123");
        line(frame, "lineEditDevID")->setText("abcdef");
        line(frame, "lineEditIoCircle")->setText("10");
        child<QComboBox>(frame, "comboBoxValidate")->setCurrentIndex(1);
        line(frame, "lineEditInputLength")->setText("2");
        line(frame, "lineEditOutputLength")->setText("1");
        click(frame, "btnSetLinkPort");
        DRAINED(1);
        QCOMPARE(m_peer->received(), "C" + hex("A5 15 03 00 00 00 0D 01 01 23 01 EF CD AB 00 0A 01 02 01 00 FC 9B"));
        QTRY_COMPARE_WITH_TIMEOUT(logLines(frame), QStringList { "IoLink端口设置成功 [black]" }, 5000);

        // What the device reports is shown as it is, out-of-range choices as the first entries.
        m_fake->setPortConfig(2, hex("02 07 1A 00 23 01 00 00 FF 02 21 05 02"));
        IoLinkPortSetFrame_Ctrl *frame2 = portSetFrame(2);
        click(frame2, "pushButtonRefreshLinkPort");
        DRAINED(2);
        QTRY_COMPARE_WITH_TIMEOUT(line(frame2, "lineEditVID")->text(), QString("001A"), 5000);
        QCOMPARE(child<QComboBox>(frame2, "comboBox_Fun")->currentIndex(), 0);
        QCOMPARE(child<QComboBox>(frame2, "comboBoxValidate")->currentIndex(), 0);
        QCOMPARE(child<QComboBox>(frame2, "comboBox_Enable")->currentIndex(), 0);
        QCOMPARE(line(frame2, "lineEditDevID")->text(), QString("00000123"));
        QCOMPARE(line(frame2, "lineEditIoCircle")->text(), QString("255"));
        QCOMPARE(line(frame2, "lineEditInputLength")->text(), QString("33"));
        QCOMPARE(line(frame2, "lineEditOutputLength")->text(), QString("5"));
        QVERIFY(!line(frame2, "lineEditVID")->isEnabled());
        QCOMPARE(child<QLabel>(frame2, "labelInputLenth")->text(), QString("0"));
        QCOMPARE(logLines(frame2), QStringList { "读取端口参数成功! [black]" });

        // A length the device reported beyond 32 is refused on the way back.
        PromptRecorder prompts;
        click(frame2, "btnSetLinkPort");
        QCOMPARE(prompts.lastText(), QString("InputLength输入错误，需要0到32的10进制数!"));
        QCOMPARE(queued(), 0);

        m_fake->setPortConfig(3, hex("03 04 00 00 00 00 00 00 00 00 03 04 01"));
        click(portSetFrame(3), "pushButtonRefreshLinkPort");
        DRAINED(3);
        QTRY_COMPARE_WITH_TIMEOUT(child<QLabel>(portSetFrame(3), "labelOutputLenth")->text(), QString("6"), 5000);
        QCOMPARE(child<QLabel>(portSetFrame(3), "labelInputLenth")->text(), QString("3"));
        QCOMPARE(child<QComboBox>(portSetFrame(3), "comboBox_Enable")->currentIndex(), 1);
    }

    void isduThroughTheMaster()
    {
        master();
        IoLinkPortSetFrame_Ctrl *frame = portSetFrame(0);
        auto *data = child<QTextEdit>(frame, "textEditData");
        line(frame, "lineEditIndex")->setText("10");
        line(frame, "lineEditSubIndex")->setText("");
        click(frame, "btnIsDUWrite");
        QCOMPARE(line(frame, "lineEditSubIndex")->text(), QString("00"));
        QCOMPARE(data->toPlainText(), QString("00"));
        DRAINED(1);
        QCOMPARE(m_fake->requests().at(0).payload, hex("00 10 00 00 01 00") + QByteArray(233, '\0'));
        QTRY_COMPARE_WITH_TIMEOUT(logLines(frame), QStringList { "设置ISDU成功 [black]" }, 5000);

        data->setPlainText("  aa BB  ");
        line(frame, "lineEditSubIndex")->setText("3");
        click(frame, "btnIsDUWrite");
        DRAINED(2);
        QCOMPARE(m_fake->isdu(0, 0x10, 3), hex("AA BB"));

        data->clear();
        click(frame, "btnIsDURead");
        DRAINED(3);
        QCOMPARE(m_fake->requests().at(2).payload, hex("00 10 00 03"));
        QTRY_COMPARE_WITH_TIMEOUT(data->toPlainText(), QString("AA BB"), 5000);
        QCOMPARE(logLines(frame).last(), QString("读取ISDU数据成功 [black]"));

        data->setPlainText(pairs(234));
        click(frame, "btnIsDUWrite");
        DRAINED(4);
        QCOMPARE(m_fake->isdu(0, 0x10, 3), hex(pairs(234).toLatin1()));

        // The master knows nothing under index 0x20: the box empties and the failure is red.
        line(frame, "lineEditIndex")->setText("20");
        click(frame, "btnIsDURead");
        DRAINED(5);
        QTRY_COMPARE_WITH_TIMEOUT(logLines(frame).last(), QString("读取ISDU数据失败 8011 [red]"), 5000);
        QCOMPARE(data->toPlainText(), QString());

        m_fake->setStatus(32785);
        data->setPlainText("01");
        click(frame, "btnIsDUWrite");
        DRAINED(6);
        QTRY_COMPARE_WITH_TIMEOUT(logLines(frame).last(), QString("设置ISDU失败 32785 [red]"), 5000);
    }

    void isduReadReplies_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("shown");
        QTest::newRow("none") << 0 << "";
        QTest::newRow("two") << 2 << "00 01";
        QTest::newRow("beyond the field") << 250 << pairs(234);
    }
    void isduReadReplies()
    {
        QFETCH(int, count);
        QFETCH(QString, shown);
        IoLinkPortSetFrame_Ctrl frame;
        child<QTextEdit>(&frame, "textEditData")->setPlainText("FF");
        IoLinkIsduReadReply reply;
        reply.count = quint8(count);
        reply.data = hex(pairs(234).toLatin1());
        frame.showIsduRead(reply.encode());
        QCOMPARE(child<QTextEdit>(&frame, "textEditData")->toPlainText(), shown);
        QCOMPARE(logLines(&frame), QStringList { "读取ISDU数据成功 [black]" });
        // A short payload is no reply.
        frame.showIsduRead(reply.encode().left(200));
        QCOMPARE(logLines(&frame).size(), 1);
    }

    void logKeepsTheLast100Lines()
    {
        IoLinkPortSetFrame_Ctrl frame;
        for (int i = 1; i <= 101; ++i)
            frame.appendLog(QString("line %1").arg(i), i % 2 == 0);
        const QStringList lines = logLines(&frame);
        QCOMPARE(lines.size(), 100);
        QCOMPARE(lines.first(), QString("line 2 [red]"));
        QCOMPARE(lines.last(), QString("line 101 [black]"));
    }

    void portSetTexts()
    {
        IoLinkPortSetFrame_Ctrl frame;
        auto *fun = child<QComboBox>(&frame, "comboBox_Fun");
        fun->setCurrentIndex(1);
        child<QComboBox>(&frame, "comboBoxSafeMode")->setCurrentIndex(1);
        line(&frame, "lineEditVID")->setText("AB");
        line(&frame, "lineEditInputLength")->setText("3");
        line(&frame, "lineEditIndex")->setText("FF");
        frame.appendLog("kept", false);
        {
            Language en(":/res/language/en_US.qm");
            frame.retranslate(1);
        }
        QCOMPARE(child<QGroupBox>(&frame, "groupBoxIo")->title(), QString("Input/output Parameter"));
        QCOMPARE(child<QGroupBox>(&frame, "groupBoxInfo")->title(), QString("Description"));
        QCOMPARE(child<QPushButton>(&frame, "btnSetLinkPort")->text(), QString("Setting"));
        QCOMPARE(child<QComboBox>(&frame, "comboBoxSafeMode")->itemText(0), QString("Last Value"));
        QCOMPARE(child<QComboBox>(&frame, "comboBoxValidate")->itemText(0), QString("Un Check"));
        QCOMPARE(child<QLabel>(&frame, "labelFun")->text(), QString("Function："));
        const QList<QLabel *> labels = frame.findChildren<QLabel *>();
        QVERIFY(std::any_of(
            labels.begin(), labels.end(), [](QLabel *l) { return l->text() == "Pin4 Input Filter(ms):\t"; }));
        for (const char *name : { "lineEditPin4", "lineEditPin2", "lineEditIndex", "lineEditSubIndex", "lineEditVID",
                 "lineEditDevID", "lineEditIoCircle", "lineEditInputLength", "lineEditOutputLength" })
            QCOMPARE(line(&frame, name)->text(), QString("0"));
        QCOMPARE(child<QLabel>(&frame, "labelInputLenth")->text(), QString("0"));
        QCOMPARE(fun->currentIndex(), 1);
        QCOMPARE(child<QComboBox>(&frame, "comboBoxSafeMode")->currentIndex(), 1);
        QCOMPARE(logLines(&frame), QStringList { "kept [black]" });

        PromptRecorder prompts;
        line(&frame, "lineEditIndex")->clear();
        {
            Language en(":/res/language/en_US.qm");
            click(&frame, "btnIsDURead");
            child<QTextEdit>(&frame, "textEditData")->setPlainText("0");
            line(&frame, "lineEditIndex")->setText("1");
            click(&frame, "btnIsDUWrite");
            IoLinkIsduReadReply failed;
            failed.errorCode = 0x8011;
            frame.showIsduRead(failed.encode());
        }
        QCOMPARE(
            prompts.messages.at(0).text, QString("Index input error, the input cannot be empty and is 16 decimal!"));
        QCOMPARE(prompts.messages.at(1).text,
            QString("Wrong input data format! Please enter 16 by space space space space space and cannot be empty!"));
        QCOMPARE(logLines(&frame).last(), QString("Read the ISDU data fail8011 [red]"));

        {
            Language zh(":/res/language/zh_CN.qm");
            frame.retranslate(0);
        }
        QCOMPARE(child<QLabel>(&frame, "labelFun")->text(), QString("功能:"));
        QCOMPARE(child<QLabel>(&frame, "labelIoCircle")->text(), QString("周期:"));
        QCOMPARE(child<QLabel>(&frame, "labelDataInputLen")->text(), QString("数据输入长度"));
        QCOMPARE(child<QGroupBox>(&frame, "groupBoxIo")->title(), QString("输入输出参数"));
    }

    // Saving an empty table saves 20 zero rows in one burst that the link's queue takes whole.
    void saveEmptyTable()
    {
        master();
        IoLinkParamFrame_Ctrl *frame = paramFrame(2);
        click(frame, "btnSave");
        for (int row = 0; row < 20; ++row)
            QCOMPARE(rowTexts(frame, row), QStringList({ "00", "00", "00" }));
        DRAINED(20);
        const QList<FakeIoLinkMaster::Request> saves = requestsOf(*m_fake, IOLINK_SAVE_PARAM);
        QCOMPARE(saves.size(), 20);
        for (int row = 0; row < 20; ++row) {
            QCOMPARE(saves.at(row).payload,
                QByteArray(1, 2) + QByteArray(1, char(row)) + hex("00 00 00 01") + QByteArray(64, '\0'));
        }
        QTRY_COMPARE_WITH_TIMEOUT(resultText(frame, 19), QString("保存成功 [black]"), 5000);
        for (int row = 0; row < 20; ++row)
            QCOMPARE(resultText(frame, row), QString("保存成功 [black]"));
    }

    void saveStopsAtTheFirstBadRow()
    {
        PromptRecorder prompts;
        IoLinkParamFrame_Ctrl frame;
        setRow(&frame, 2, "10", "1", "01 02");
        setRow(&frame, 5, "", "", "1");
        setRow(&frame, 7, "", "", "");
        result(&frame, 3)->setText("old");
        click(&frame, "btnSave");
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.lastCaption(), QString("error"));
        QCOMPARE(prompts.lastText(), QString("输入数据格式不对! 请按字节输入16进制中间用空格隔开!"));
        QCOMPARE(queued(), 0);
        QCOMPARE(rowTexts(&frame, 0), QStringList({ "00", "00", "00" }));
        QCOMPARE(rowTexts(&frame, 2), QStringList({ "10", "1", "01 02" }));
        QCOMPARE(rowTexts(&frame, 5), QStringList({ "00", "00", "1" }));
        QCOMPARE(rowTexts(&frame, 7), QStringList({ "", "", "" }));
        QCOMPARE(resultText(&frame, 3), QString());
    }

    void rowErrors_data()
    {
        QTest::addColumn<QStringList>("row");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("warning");
        QTest::newRow("index from a file") << QStringList { "xyz", "", "" } << "失败"
                                           << "索引输入错误，输入要为16进制!";
        QTest::newRow("subindex above FFFF") << QStringList { "1", "10000", "" } << "error"
                                             << "子索引输入错误，为16进制!";
        QTest::newRow("65 pairs") << QStringList { "1", "1", pairs(65) } << "error"
                                  << "输入数据不能超过64个";
    }
    void rowErrors()
    {
        QFETCH(QStringList, row);
        QFETCH(QString, caption);
        QFETCH(QString, warning);
        PromptRecorder prompts;
        IoLinkParamFrame_Ctrl frame;
        setRow(&frame, 4, row.at(0), row.at(1), row.at(2));
        QTest::mouseClick(
            qobject_cast<QPushButton *>(child<QTableWidget>(&frame, "tableWidget")->cellWidget(4, 1)), Qt::LeftButton);
        QCOMPARE(prompts.lastCaption(), caption);
        QCOMPARE(prompts.lastText(), warning);
        QCOMPARE(queued(), 0);
    }

    void testOneRow()
    {
        master();
        IoLinkParamFrame_Ctrl *frame = paramFrame(0);
        setRow(frame, 7, "12345", "1", "01 02 03");
        setRow(frame, 8, "zz", "", "");
        result(frame, 8)->setText("earlier");
        QTest::mouseClick(
            qobject_cast<QPushButton *>(child<QTableWidget>(frame, "tableWidget")->cellWidget(7, 1)), Qt::LeftButton);
        DRAINED(1);
        QCOMPARE(m_fake->requests().at(0).command, int(IOLINK_WRITE_PARAM));
        QCOMPARE(m_fake->requests().at(0).payload, hex("00 07 45 23 01 03 01 02 03") + QByteArray(61, '\0'));
        QTRY_COMPARE_WITH_TIMEOUT(resultText(frame, 7), QString("成功 [black]"), 5000);
        QCOMPARE(result(frame, 8)->text(), QString("earlier"));

        m_fake->setParamResult(5);
        QTest::mouseClick(
            qobject_cast<QPushButton *>(child<QTableWidget>(frame, "tableWidget")->cellWidget(7, 1)), Qt::LeftButton);
        QCOMPARE(resultText(frame, 7), QString());
        DRAINED(2);
        QTRY_COMPARE_WITH_TIMEOUT(resultText(frame, 7), QString("失败 [red]"), 5000);
    }

    // The read asks for the 20 rows one after the other; rows the master never saved stay empty.
    void readRowsFromTheMaster()
    {
        master();
        IoLinkParamRow saved;
        saved.index = 0x0010;
        saved.subIndex = 0x0A;
        saved.data = hex("01 0A FF");
        m_fake->setParamRow(1, 0, saved.encode());
        saved.index = 0xBEEF;
        saved.data = QByteArray(64, '\x5A');
        m_fake->setParamRow(1, 19, saved.encode());

        IoLinkParamFrame_Ctrl *frame = paramFrame(1);
        setRow(frame, 5, "1", "2", "03");
        click(frame, "btnRead");
        QCOMPARE(rowTexts(frame, 5), QStringList({ "", "", "" }));
        QCOMPARE(frame->cursor().shape(), Qt::WaitCursor);
        DRAINED(20);
        QTRY_COMPARE_WITH_TIMEOUT(resultText(frame, 19), QString("成功 [black]"), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(frame->cursor().shape(), Qt::ArrowCursor, 5000);
        const QList<FakeIoLinkMaster::Request> reads = requestsOf(*m_fake, IOLINK_READ_PARAM);
        QCOMPARE(reads.size(), 20);
        for (int row = 0; row < 20; ++row)
            QCOMPARE(reads.at(row).payload, QByteArray(1, 1) + QByteArray(1, char(row)));
        QCOMPARE(rowTexts(frame, 0), QStringList({ "0010", "0A", "01 0A FF" }));
        QCOMPARE(rowTexts(frame, 19),
            QStringList({ "BEEF", "0A", QStringList(QVector<QString>(64, "5A").toList()).join(' ') }));
        QCOMPARE(resultText(frame, 0), QString("成功 [black]"));
        for (int row = 1; row < 19; ++row) {
            QCOMPARE(rowTexts(frame, row), QStringList({ "", "", "" }));
            QCOMPARE(resultText(frame, row), QString());
        }
    }

    void readReplies_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("result");
        const QByteArray row3 = hex("00 03 34 12 01 02 AB CD") + QByteArray(62, '\0');
        QTest::newRow("success") << row3 + hex("00 00") << 3 << QStringList { "1234", "01", "AB CD" } << "成功 [black]";
        QTest::newRow("failure fills the row too")
            << row3 + hex("01 00") << 3 << QStringList { "1234", "01", "AB CD" } << "失败 [red]";
        QTest::newRow("result 2 leaves the row") << row3 + hex("02 00") << 3 << QStringList { "9", "9", "99" } << "";
        QTest::newRow("count 70 shows the 64 bytes")
            << hex("00 04 00 00 00 46") + QByteArray(64, '\x11') + hex("00 00") << 4
            << QStringList { "0000", "00", QStringList(QVector<QString>(64, "11").toList()).join(' ') }
            << "成功 [black]";
        QTest::newRow("count 0") << hex("00 06 01 00 02 00") + QByteArray(64, '\x11') + hex("00 00") << 6
                                 << QStringList { "0001", "02", "" } << "成功 [black]";
        QTest::newRow("short payload") << row3 << 3 << QStringList { "9", "9", "99" } << "";
    }
    void readReplies()
    {
        QFETCH(QByteArray, payload);
        QFETCH(int, row);
        QFETCH(QStringList, texts);
        QFETCH(QString, result);
        IoLinkParamFrame_Ctrl frame;
        for (int r = 0; r < 20; ++r)
            setRow(&frame, r, "9", "9", "99");
        frame.showReadRow(payload);
        QCOMPARE(rowTexts(&frame, row), texts);
        QCOMPARE(resultText(&frame, row), result);
        // A row beyond the table changes nothing.
        QByteArray far = payload;
        far[1] = char(25);
        frame.showReadRow(far);
        frame.showWriteResult(hex("00 19 00 00"));
        frame.showSaveResult(hex("00 14 01 00"));
        for (int r = 0; r < 20; ++r) {
            if (r != row)
                QCOMPARE(rowTexts(&frame, r), QStringList({ "9", "9", "99" }));
        }
    }

    // In a table narrower than its columns, typing in a row's data moves the result column out of
    // view; after "测试" or "保存" the result of the row acted on is in view again.
    void resultInViewAfterTestAndSave_data()
    {
        QTest::addColumn<bool>("save");
        QTest::newRow("test") << false;
        QTest::newRow("save") << true;
    }
    void resultInViewAfterTestAndSave()
    {
        QFETCH(bool, save);
        IoLinkParamFrame_Ctrl frame;
        frame.retranslate(0);
        frame.resize(420, 360);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        auto *table = child<QTableWidget>(&frame, "tableWidget");
        const int row = 12;
        auto resultInView
            = [&] { return table->viewport()->rect().contains(table->visualRect(table->model()->index(row, 0))); };
        setRow(&frame, row, "10", "0", "01 02");
        QLineEdit *data = cell(&frame, row, 4);
        data->setFocus();
        QTest::keyClick(cell(&frame, row, 3), Qt::Key_Tab);
        table->scrollTo(table->model()->index(row, 4));
        QCoreApplication::processEvents();
        QVERIFY(table->viewport()->rect().intersects(table->visualRect(table->model()->index(row, 4))));
        QVERIFY(!resultInView());

        if (save)
            click(&frame, "btnSave");
        else
            QTest::mouseClick(qobject_cast<QPushButton *>(table->cellWidget(row, 1)), Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(resultInView());
        // The answer lands where the user looks.
        if (save)
            frame.showSaveResult(hex("00 0C 00 00"));
        else
            frame.showWriteResult(hex("00 0C 00 00"));
        QCOMPARE(resultText(&frame, row), save ? QString("保存成功 [black]") : QString("成功 [black]"));
        QVERIFY(resultInView());
    }

    void saveAndWriteResults()
    {
        IoLinkParamFrame_Ctrl frame;
        frame.showSaveResult(hex("00 02 00 00"));
        frame.showSaveResult(hex("00 03 01 80"));
        frame.showWriteResult(hex("00 04 00 00"));
        frame.showWriteResult(hex("00 05 02 00"));
        QCOMPARE(resultText(&frame, 2), QString("保存成功 [black]"));
        QCOMPARE(resultText(&frame, 3), QString("保存失败 [red]"));
        QCOMPARE(resultText(&frame, 4), QString("成功 [black]"));
        QCOMPARE(resultText(&frame, 5), QString("失败 [red]"));
        click(&frame, "btnClear");
        QCOMPARE(resultText(&frame, 3), QString());
        QCOMPARE(result(&frame, 3)->foreground().color(), QColor(Qt::black));
    }

    // The read paces itself on a timer of the frame: a page that goes mid-read takes the
    // read with it, and nothing touches the frame or asks the master afterwards.
    void pageGoesDuringARead()
    {
        master();
        QPointer<IoLinkParamFrame_Ctrl> frame = paramFrame(0);
        click(frame, "btnRead");
        QTRY_VERIFY_WITH_TIMEOUT(requestsOf(*m_fake, IOLINK_READ_PARAM).size() >= 2, 5000);
        delete pageOf<IoLinkParamForm>(m_module->submodules.first());
        QVERIFY(frame.isNull());
        QVERIFY(!IoLink_Module::existingInstance());
        const int asked = m_fake->requests().size();
        QTest::qWait(500);
        QVERIFY(!IoLink_Module::existingInstance());
        QCOMPARE(m_fake->requests().size(), asked);
    }

    void exportAndImport()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        PromptRecorder prompts;
        IoLinkParamFrame_Ctrl frame;
        setRow(&frame, 2, " 10", "00 ", "01 02");
        const QString path = dir.filePath("table.txt");
        prompts.fileAnswers << path;
        click(&frame, "btnExport");
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        const QList<QByteArray> lines = file.readAll().split('\n');
        file.close();
        QCOMPARE(lines.size(), 21);
        QCOMPARE(lines.mid(0, 4), QList<QByteArray>({ "0|||", "1|||", "2|10|00|01 02", "3|||" }));

        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Text));
        file.write("3|1234|01|AA BB\nword|5|6|7\n25|1|2|3\n4|77\n6|12345|0|1\n");
        file.close();
        prompts.fileAnswers << path;
        click(&frame, "btnImport");
        QCOMPARE(rowTexts(&frame, 2), QStringList({ "", "", "" }));
        QCOMPARE(rowTexts(&frame, 3), QStringList({ "1234", "01", "AA BB" }));
        QCOMPARE(rowTexts(&frame, 0), QStringList({ "5", "6", "7" }));
        QCOMPARE(rowTexts(&frame, 4), QStringList({ "77", "", "" }));

        // A cancelled choice or a file that cannot be read changes nothing and says nothing.
        prompts.fileAnswers << "";
        click(&frame, "btnImport");
        prompts.fileAnswers << dir.filePath("missing.txt");
        click(&frame, "btnImport");
        QCOMPARE(rowTexts(&frame, 3), QStringList({ "1234", "01", "AA BB" }));
        prompts.fileAnswers << "";
        click(&frame, "btnExport");
        QVERIFY(prompts.messages.isEmpty());

        // Export after import: rows in order, fields trimmed, empty rows as three bars.
        const QString again = dir.filePath("again.txt");
        prompts.fileAnswers << again;
        click(&frame, "btnExport");
        QFile back(again);
        QVERIFY(back.open(QIODevice::ReadOnly | QIODevice::Text));
        const QList<QByteArray> out = back.readAll().split('\n');
        QCOMPARE(out.mid(0, 8),
            QList<QByteArray>(
                { "0|5|6|7", "1|||", "2|||", "3|1234|01|AA BB", "4|77||", "5|||", "6|12345|0|1", "7|||" }));
    }

    void paramTexts()
    {
        IoLinkParamFrame_Ctrl frame;
        auto *table = child<QTableWidget>(&frame, "tableWidget");
        auto headers = [table] {
            QStringList h;
            for (int c = 0; c < table->columnCount(); ++c)
                h << (table->horizontalHeaderItem(c) ? table->horizontalHeaderItem(c)->text() : QString());
            return h;
        };
        {
            Language en(":/res/language/en_US.qm");
            frame.retranslate(1);
            frame.showWriteResult(hex("00 01 00 00"));
            frame.showWriteResult(hex("00 02 01 00"));
        }
        QCOMPARE(headers(), QStringList({ "Result", "", "Index(Hex)", "SubIndex(Hex)", "Data(Hex)" }));
        QCOMPARE(child<QPushButton>(&frame, "btnSave")->text(), QString("Save"));
        QCOMPARE(child<QPushButton>(&frame, "btnImport")->text(), QString("Input"));
        QCOMPARE(qobject_cast<QPushButton *>(table->cellWidget(19, 1))->text(), QString("Test"));
        QCOMPARE(resultText(&frame, 1), QString("succee [black]"));
        QCOMPARE(resultText(&frame, 2), QString("Fail [red]"));
        frame.retranslate(7);
        QCOMPARE(headers().at(0), QString("Result"));
        {
            Language zh(":/res/language/zh_CN.qm");
            frame.retranslate(0);
            frame.showWriteResult(hex("00 01 00 00"));
            frame.showWriteResult(hex("00 02 01 00"));
        }
        QCOMPARE(headers(), QStringList({ "结果", "", "索引(Hex)", "子索引(Hex)", "数据(Hex)" }));
        QCOMPARE(child<QPushButton>(&frame, "btnSave")->text(), QString("保存"));
        QCOMPARE(resultText(&frame, 1), QString("成功 [black]"));
        QCOMPARE(resultText(&frame, 2), QString("Fail [red]"));
        QCOMPARE(frame.windowTitle(), QString("Frame"));
        QCOMPARE(table->rowCount(), 20);
        QCOMPARE(table->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(table->selectionMode(), QAbstractItemView::NoSelection);
        QCOMPARE(table->rowHeight(0), 30);
        // Tab goes through the editors row by row.
        QCOMPARE(cell(&frame, 0, 4)->nextInFocusChain(), static_cast<QWidget *>(cell(&frame, 1, 2)));
        QCOMPARE(cell(&frame, 0, 2)->nextInFocusChain(), static_cast<QWidget *>(cell(&frame, 0, 3)));
    }

    // The header's sheet styles the header alone: the sixty editors and twenty buttons keep the
    // plain style, and each column's editors share one validator.
    void paramTableStaysCheap()
    {
        IoLinkParamFrame_Ctrl frame;
        auto *table = child<QTableWidget>(&frame, "tableWidget");
        QCOMPARE(table->styleSheet(), QString());
        QCOMPARE(table->horizontalHeader()->styleSheet(),
            QString("QHeaderView::section { border-bottom: 1px solid black; }"));
        for (int row = 0; row < 20; ++row) {
            QCOMPARE(table->cellWidget(row, 1)->style(), QApplication::style());
            for (int column = 2; column <= 4; ++column) {
                QCOMPARE(cell(&frame, row, column)->style(), QApplication::style());
                QVERIFY(cell(&frame, row, column)->validator());
                QCOMPARE(cell(&frame, row, column)->validator(), cell(&frame, 0, column)->validator());
            }
        }
        QVERIFY(cell(&frame, 0, 2)->validator() != cell(&frame, 0, 3)->validator());
        QVERIFY(cell(&frame, 0, 3)->validator() != cell(&frame, 0, 4)->validator());
        // Each editor still checks what the user types with its column's pattern.
        QLineEdit *index = cell(&frame, 5, 2);
        index->setFocus();
        QTest::keyClicks(index, "1aG2z3f4");
        QCOMPARE(index->text(), QString("1a23"));
        QLineEdit *sub = cell(&frame, 7, 3);
        QTest::keyClicks(sub, "ff0");
        QCOMPARE(sub->text(), QString("ff"));
    }
};

RIVUDO_TEST_MAIN(TestIoLinkFrames)
#include "tst_iolinkframes.moc"
