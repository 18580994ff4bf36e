#include "tempappdir.h"
#include "testsupport.h"
#include "usrconf.h"

#include <QDir>
#include <QSettings>

class TestUsrconf : public QObject
{
    Q_OBJECT
private slots:
    void missingFileReadsEmptyAndCreatesNothing()
    {
        TempAppDir dir;
        QString value = QStringLiteral("x");
        QVERIFY(UsrConf::read("language", "Initlanguage", value));
        QVERIFY(value.isEmpty());
        QVERIFY(!dir.exists("/usrconf.ini"));
    }

    void writeThenReadInIniFormat()
    {
        TempAppDir dir;
        QVERIFY(UsrConf::write("scanip", "StartIP", "127.0.0.1"));
        QVERIFY(UsrConf::write("scanip", "EndIP", "127.0.0.9"));
        QVERIFY(UsrConf::write("DHCP", QString::fromUtf8("名字"), QString::fromUtf8("中文")));
        QString value;
        QVERIFY(UsrConf::read("scanip", "EndIP", value));
        QCOMPARE(value, QStringLiteral("127.0.0.9"));
        QVERIFY(UsrConf::read("DHCP", QString::fromUtf8("名字"), value));
        QCOMPARE(value, QString::fromUtf8("中文"));
        const QByteArray text = dir.read("/usrconf.ini");
        QVERIFY(text.contains("[scanip]"));
        QVERIFY(text.contains("StartIP=127.0.0.1"));
    }

    void emptyKeyIsRefused()
    {
        TempAppDir dir;
        QVERIFY(!UsrConf::write("language", "", "1"));
        QVERIFY(!dir.exists("/usrconf.ini"));
        QString value = QStringLiteral("x");
        QVERIFY(!UsrConf::read("language", "", value));
        QVERIFY(value.isEmpty());
    }

    void unwritableFileReportsFailure()
    {
        TempAppDir dir;
        // A folder where the file should be cannot be written, also for root.
        QVERIFY(QDir(dir.path()).mkdir("usrconf.ini"));
        QVERIFY(!UsrConf::write("language", "Initlanguage", "1"));
    }

    void languageIndex_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("index");
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("one") << "1" << 1;
        QTest::newRow("two") << "2" << 0;
        QTest::newRow("minus one") << "-1" << 0;
        QTest::newRow("not a number") << "en" << 0;
    }
    void languageIndex()
    {
        QFETCH(QString, text);
        QFETCH(int, index);
        QCOMPARE(UsrConf::languageIndex(text), index);
    }
};

RIVUDO_TEST_MAIN(TestUsrconf)
#include "tst_usrconf.moc"
