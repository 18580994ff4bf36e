#include "ipv4text.h"
#include "networksettings.h"
#include "plugblock.h"
#include "testsupport.h"

class TestCommCodecs : public QObject
{
    Q_OBJECT

private slots:
    void addressText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("address");
        QTest::newRow("plain") << "192.168.1.20"
                               << "192.168.1.20";
        QTest::newRow("leading zeros are decimal") << "010.001.000.255"
                                                   << "10.1.0.255";
        QTest::newRow("many zeros") << "0000127.0.0.0001"
                                    << "127.0.0.1";
        QTest::newRow("octet too big") << "192.168.1.256"
                                       << "";
        QTest::newRow("empty octet") << "192.168..20"
                                     << "";
        QTest::newRow("three parts") << "192.168.1"
                                     << "";
        QTest::newRow("five parts") << "192.168.1.2.3"
                                    << "";
        QTest::newRow("sign") << "192.168.1.+2"
                              << "";
        QTest::newRow("blank") << "192.168.1. 2"
                               << "";
        QTest::newRow("host name") << "localhost"
                                   << "";
        QTest::newRow("colons") << "192:168:1:20"
                                << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("unicode digit") << QString::fromUtf8("192.168.1.\xd9\xa2") << "";
    }

    void addressText()
    {
        QFETCH(QString, text);
        QFETCH(QString, address);
        const QHostAddress parsed = ipv4FromText(text);
        QCOMPARE(parsed.isNull() ? QString() : parsed.toString(), address);
    }

    void block_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("gateway");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QByteArray>("block");
        QTest::newRow("address, gateway, mask")
            << "192.168.1.20"
            << "192.168.1.1"
            << "255.255.255.0" << QByteArray("\xC0\xA8\x01\x14\xC0\xA8\x01\x01\xFF\xFF\xFF\x00", 12);
        QTest::newRow("zero-padded entries")
            << "192.168.001.020"
            << "010.000.000.001"
            << "255.255.000.000" << QByteArray("\xC0\xA8\x01\x14\x0A\x00\x00\x01\xFF\xFF\x00\x00", 12);
        QTest::newRow("empty address") << ""
                                       << "192.168.1.1"
                                       << "255.255.255.0" << QByteArray();
        QTest::newRow("empty fields of an entry") << "..."
                                                  << "192.168.1.1"
                                                  << "255.255.255.0" << QByteArray();
        QTest::newRow("partial gateway") << "192.168.1.20"
                                         << "192.168.1."
                                         << "255.255.255.0" << QByteArray();
        QTest::newRow("mask with five parts") << "192.168.1.20"
                                              << "192.168.1.1"
                                              << "255.255.255.0.0" << QByteArray();
        QTest::newRow("octet out of range") << "192.168.1.300"
                                            << "192.168.1.1"
                                            << "255.255.255.0" << QByteArray();
    }

    void block()
    {
        QFETCH(QString, ip);
        QFETCH(QString, gateway);
        QFETCH(QString, mask);
        QFETCH(QByteArray, block);
        const QByteArray made = networkSettingsBlock(ip, gateway, mask);
        QCOMPARE(made, block);
        QVERIFY(made.isEmpty() || made.size() == 12);
    }

    void uploadSize_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<qint64>("total");
        QTest::newRow("size and trailer") << QByteArray("SIZE\x00\x00\x09\xC4#end", 11) << qint64(2500);
        QTest::newRow("zero") << QByteArray("SIZE\0\0\0\0#end", 12) << qint64(0);
        QTest::newRow("short reply counts missing bytes as 0") << QByteArray("SIZE\x01\x02") << qint64(0x01020000);
        QTest::newRow("SIZE anywhere") << QByteArray("xxxx\0\0\0\x05 SIZE", 13) << qint64(5);
        QTest::newRow("largest positive") << QByteArray("SIZE\x7F\xFF\xFF\xFF") << qint64(0x7FFFFFFF);
        QTest::newRow("negative") << QByteArray("SIZE\x80\0\0\0", 8) << qint64(-1);
        QTest::newRow("no SIZE") << QByteArray("SIZ\0\0\0\0\x05#end", 12) << qint64(-1);
        QTest::newRow("empty") << QByteArray() << qint64(-1);
    }

    void uploadSize()
    {
        QFETCH(QByteArray, reply);
        QFETCH(qint64, total);
        QCOMPARE(announcedBlockSize(reply), total);
    }
};

RIVUDO_TEST_MAIN(TestCommCodecs)
#include "tst_commcodecs.moc"
