#include "dhcpdialog.h"
#include "endpoints.h"
#include "factorybroadcast.h"
#include "fakefactorytool.h"
#include "fakemodule.h"
#include "ipaddress.h"
#include "macdialog.h"
#include "promptrecorder.h"
#include "tempappdir.h"
#include "testsupport.h"
#include "ui_dhcpdialog.h"

#include <QFile>
#include <QProcess>
#include <QSettings>
#include <memory>
#include <signal.h>

namespace {

const QString moduleAddress = QStringLiteral("127.0.0.95");

// Stands in for the server program: logs every host section of its INI as served (MAC in
// lower case, as some servers write it), then keeps running until it is ended.
const QByteArray serverScript = "#!/bin/sh\n"
                                "[ \"$1\" = \"-v\" ] || exit 3\n"
                                "mac=\n"
                                "while IFS= read -r line; do\n"
                                "  case \"$line\" in\n"
                                "    \"[\"*\"]\") mac=${line#[}; mac=${mac%]} ;;\n"
                                "    IP=*) echo \"Host $(echo \"$mac\" | tr A-Z a-z) ${line#IP=} served\" "
                                ">> log/OpenDHCPServer.log ;;\n"
                                "  esac\n"
                                "done < OpenDHCPServer.ini\n"
                                "echo 'Server ready' >> log/OpenDHCPServer.log\n"
                                "exec sleep 600\n";

const QByteArray templateText = "[LOGGING]\nLogLevel=All\n";

QString state(dhcpDialog &d, int row)
{
    return d.form()->tableInfo->item(row, 2)->text();
}

MACDialog *macEntry(dhcpDialog &d, int row)
{
    return qobject_cast<MACDialog *>(d.form()->tableInfo->cellWidget(row, 0));
}

IPAddress *ipEntry(dhcpDialog &d, int row)
{
    return qobject_cast<IPAddress *>(d.form()->tableInfo->cellWidget(row, 1));
}

QMap<QString, QString> storedGroup(const QString &file)
{
    QMap<QString, QString> stored;
    QSettings settings(file, QSettings::IniFormat);
    settings.beginGroup("DHCP");
    for (const QString &key : settings.childKeys())
        stored.insert(key, settings.value(key).toString());
    return stored;
}

} // namespace

class TestDhcpDialog : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TempAppDir> m_app;
    std::unique_ptr<FakeModule> m_fake;
    std::shared_ptr<FakeFactoryTool> m_tool;

    void installServer()
    {
        QVERIFY(m_app->write("/OpenDHCPServer/OpenDHCPServer.exe", serverScript));
        QVERIFY(QFile::setPermissions(m_app->filePath("/OpenDHCPServer/OpenDHCPServer.exe"),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    void store(const QMap<QString, QString> &pairs)
    {
        QSettings settings(m_app->filePath("/usrconf.ini"), QSettings::IniFormat);
        for (auto it = pairs.begin(); it != pairs.end(); ++it)
            settings.setValue("DHCP/" + it.key(), it.value());
    }

private slots:
    void initTestCase() { Endpoints::current().broadcast = QHostAddress(moduleAddress); }

    void init()
    {
        m_app = std::make_unique<TempAppDir>();
        QVERIFY(m_app->write("/OpenDHCPServer/OpenDHCPServer.bck", templateText));
        m_fake = std::make_unique<FakeModule>(moduleAddress);
        m_tool = std::make_shared<FakeFactoryTool>(ModuleNetInfo());
        QVERIFY(m_fake->addService(m_tool));
        QVERIFY(m_fake->start());
    }

    void cleanup()
    {
        m_fake.reset();
        m_tool.reset();
        m_app.reset();
    }

    void openingEmptiesTheLogAndLoadsTheRows()
    {
        QVERIFY(m_app->write("/OpenDHCPServer/log/OpenDHCPServer.log", "old lines\n"));
        store({ { "00_1A_2B_3C_4D_5E", "192.168.0.10" }, { "AA_BB", "10.0.0.2" }, { "11_22_33_44_55_66", "" } });
        dhcpDialog d;
        QCOMPARE(m_app->read("/OpenDHCPServer/log/OpenDHCPServer.log"), QByteArray());
        // A hand-edited key with fewer parts fills the fields it has; an empty value is no row.
        QCOMPARE(d.form()->tableInfo->rowCount(), 2);
        QCOMPARE(macEntry(d, 0)->getMAC(), QString("00:1A:2B:3C:4D:5E"));
        QCOMPARE(ipEntry(d, 0)->getIP(), QString("192.168.0.10"));
        QCOMPARE(macEntry(d, 1)->getMAC(), QString("AA:BB::::"));
        QCOMPARE(state(d, 1), QString("未分配"));
        QVERIFY(d.form()->StartButton->isEnabled());
        QVERIFY(!d.form()->StopButton->isEnabled());

        // Loading again adds every pair once more.
        QTest::mouseClick(d.form()->LoadFileButton, Qt::LeftButton);
        QCOMPARE(d.form()->tableInfo->rowCount(), 4);
    }

    void addAndDelete()
    {
        dhcpDialog d;
        QTest::mouseClick(d.form()->AddmacButton, Qt::LeftButton);
        QTest::mouseClick(d.form()->AddmacButton, Qt::LeftButton);
        QCOMPARE(d.form()->tableInfo->rowCount(), 2);
        QCOMPARE(ipEntry(d, 1)->getIP(), QString("192.168.0.1"));
        QCOMPARE(macEntry(d, 1)->getMAC(), QString(":::::"));
        d.form()->tableInfo->setCurrentCell(0, 0);
        QTest::mouseClick(d.form()->DelmacButton, Qt::LeftButton);
        QCOMPARE(d.form()->tableInfo->rowCount(), 2);
        d.form()->tableInfo->setCurrentCell(0, 2);
        QTest::mouseClick(d.form()->DelmacButton, Qt::LeftButton);
        QCOMPARE(d.form()->tableInfo->rowCount(), 1);
    }

    void exportWritesTheHostsAndTheSettings()
    {
        store({ { "FF_FF_FF_FF_FF_FF", "10.9.9.9" } });
        dhcpDialog d;
        macEntry(d, 0)->setMAC("00:1a:2b:3c:4d:5e");
        ipEntry(d, 0)->setIP("192.168.0.10");
        PromptRecorder prompts;
        const QString file = m_app->filePath("/hosts.dhcfg");
        QVERIFY(m_app->write("/hosts.dhcfg", "an older and much longer content\n\n\n"));
        prompts.fileAnswers << file;
        QTest::mouseClick(d.form()->SaveFileButton, Qt::LeftButton);
        QCOMPARE(m_app->read("/hosts.dhcfg"), QByteArray("[00:1A:2B:3C:4D:5E]\nIP=192.168.0.10\n\n"));
        QCOMPARE(storedGroup(m_app->filePath("/usrconf.ini")),
            (QMap<QString, QString> { { "00_1A_2B_3C_4D_5E", "192.168.0.10" } }));
        QVERIFY(prompts.messages.isEmpty());

        // A cancelled chooser changes nothing.
        ipEntry(d, 0)->setIP("192.168.0.11");
        QTest::mouseClick(d.form()->SaveFileButton, Qt::LeftButton);
        QCOMPARE(storedGroup(m_app->filePath("/usrconf.ini")).value("00_1A_2B_3C_4D_5E"), QString("192.168.0.10"));
    }

    void serverMarksTheServedRows()
    {
        installServer();
        store({ { "00_1A_2B_3C_4D_5E", "192.168.0.10" }, { "AA_BB_CC_DD_EE_FF", "192.168.0.20" } });
        dhcpDialog d;
        QTest::mouseClick(d.form()->AddmacButton, Qt::LeftButton);
        macEntry(d, 2)->setMAC("12:34:56:78:9A:BC");
        ipEntry(d, 2)->setIP("192.168.0.30");
        QTest::mouseClick(d.form()->StartButton, Qt::LeftButton);
        QVERIFY(d.serverProcess());
        QCOMPARE(d.serverProcess()->state(), QProcess::Running);
        QVERIFY(!d.form()->tableInfo->isEnabled());
        QVERIFY(!d.form()->StartButton->isEnabled());
        QVERIFY(d.form()->StopButton->isEnabled());

        const QByteArray hosts = "[00:1A:2B:3C:4D:5E]\nIP=192.168.0.10\n[AA:BB:CC:DD:EE:FF]\nIP=192.168.0.20\n"
                                 "[12:34:56:78:9A:BC]\nIP=192.168.0.30\n";
        QCOMPARE(m_app->read("/OpenDHCPServer/OpenDHCPServer.ini"), templateText + hosts);
        QTRY_COMPARE_WITH_TIMEOUT(m_tool->restarts(), 1, 10000);
        QCOMPARE(m_tool->received(), QList<QByteArray> { "Reset_module" });

        QTRY_COMPARE_WITH_TIMEOUT(state(d, 2), QString("分配成功"), 15000);
        QCOMPARE(state(d, 0), QString("分配成功"));
        QCOMPARE(state(d, 1), QString("分配成功"));
        QCOMPARE(d.form()->tableInfo->item(0, 2)->background().color(), QColor(155, 255, 255));
        QTRY_VERIFY(d.form()->textEdit->toPlainText().contains("Server ready"));
        QVERIFY(d.form()->textEdit->toPlainText().contains("Host 12:34:56:78:9a:bc 192.168.0.30 served"));
        QTest::mouseClick(d.form()->ClrinfoButton, Qt::LeftButton);
        QCOMPARE(d.form()->textEdit->toPlainText(), QString());

        QTest::mouseClick(d.form()->StopButton, Qt::LeftButton);
        QVERIFY(!d.serverProcess());
        QVERIFY(d.form()->StartButton->isEnabled());
        QVERIFY(d.form()->tableInfo->isEnabled());
        QVERIFY(!d.form()->StopButton->isEnabled());
    }

    void closingEndsTheServer()
    {
        installServer();
        auto *d = new dhcpDialog;
        QTest::mouseClick(d->form()->StartButton, Qt::LeftButton);
        QVERIFY(d->serverProcess());
        const qint64 pid = d->serverProcess()->processId();
        QVERIFY(pid > 0);
        PromptRecorder prompts;
        delete d;
        QVERIFY(prompts.messages.isEmpty());
        // The program was ended and reaped.
        QCOMPARE(::kill(pid_t(pid), 0), -1);
    }

    void failedStartSendsNothing_data()
    {
        QTest::addColumn<bool>("withTemplate");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");
        QTest::newRow("no template") << false << "错误"
                                     << "打开失败";
        QTest::newRow("no program") << true << "系统提示"
                                    << "命令：%1/OpenDHCPServer/OpenDHCPServer.exe不存在！";
    }

    void failedStartSendsNothing()
    {
        QFETCH(bool, withTemplate);
        QFETCH(QString, caption);
        QFETCH(QString, text);
        if (!withTemplate)
            QVERIFY(QFile::remove(m_app->filePath("/OpenDHCPServer/OpenDHCPServer.bck")));
        PromptRecorder prompts;
        dhcpDialog d;
        QTest::mouseClick(d.form()->StartButton, Qt::LeftButton);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.lastCaption(), caption);
        QCOMPARE(prompts.lastText(), text.contains("%1") ? text.arg(m_app->path()) : text);
        QVERIFY(!d.serverProcess());
        // Only "关闭服务" leads back.
        QVERIFY(!d.form()->StartButton->isEnabled());
        QVERIFY(d.form()->StopButton->isEnabled());
        QTest::mouseClick(d.form()->StopButton, Qt::LeftButton);
        QVERIFY(d.form()->StartButton->isEnabled());
        // The restart order goes out only to a running server's modules.
        FactoryBroadcast::sendOnce("probe");
        QTRY_COMPARE(m_tool->received().size(), 1);
        QCOMPARE(m_tool->received(), QList<QByteArray> { "probe" });
    }
};

RIVUDO_TEST_MAIN(TestDhcpDialog)
#include "tst_dhcpdialog.moc"
