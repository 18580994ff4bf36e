#include "dhcpcodec.h"
#include "factorycodec.h"
#include "testsupport.h"

namespace {

ModuleNetInfo record(const QString &type, std::array<quint8, 4> ip, std::array<quint8, 6> mac)
{
    ModuleNetInfo r;
    r.typeName = type;
    r.ip = ip;
    r.mask = { 255, 255, 255, 0 };
    r.gateway = { 192, 168, 1, 1 };
    r.mac = mac;
    return r;
}

QByteArray wire(const QByteArray &name)
{
    QByteArray bytes = name.leftJustified(60, '\0', true);
    bytes += QByteArray::fromHex("C0A8010A FFFFFF00 C0A80101 001A2B3C4D5E 7F7F");
    return bytes;
}

} // namespace

class TestMaintCodecs : public QObject
{
    Q_OBJECT
private slots:
    void readsTheRecord_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("type");
        QTest::newRow("whole") << wire("abc_12") << true << "abc_12";
        QTest::newRow("longer") << wire("abc_12") + "tail" << true << "abc_12";
        QTest::newRow("no unused bytes") << wire("abc_12").left(78) << true << "abc_12";
        QTest::newRow("cut in the MAC") << wire("abc_12").left(77) << false << "";
        QTest::newRow("empty") << QByteArray() << false << "";
        // A name filling all 60 bytes ends there, not in the address bytes after it.
        QTest::newRow("no zero in the name") << wire(QByteArray(60, 'N')) << true << QString(60, 'N');
        QTest::newRow("bytes after the zero") << wire(QByteArray("RV\0junk", 7)) << true << "RV";
        QTest::newRow("utf-8") << wire("模块") << true << "模块";
    }

    void readsTheRecord()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(bool, ok);
        QFETCH(QString, type);
        ModuleNetInfo info;
        info.typeName = "untouched";
        QCOMPARE(readModuleNetInfo(datagram, info), ok);
        if (!ok) {
            QCOMPARE(info.typeName, QString("untouched"));
            return;
        }
        QCOMPARE(info.typeName, type);
        QCOMPARE(ipToString(info.ip), QString("192.168.1.10"));
        QCOMPARE(ipToString(info.mask), QString("255.255.255.0"));
        QCOMPARE(ipToString(info.gateway), QString("192.168.1.1"));
        QCOMPARE(macToString(info.mac), QString("00-1A-2B-3C-4D-5E"));
    }

    void writesTheRecord()
    {
        const ModuleNetInfo r = record("abc_12", { 192, 168, 1, 10 }, { 0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e });
        QByteArray expected = wire("abc_12");
        expected[78] = 0;
        expected[79] = 0;
        QCOMPARE(writeModuleNetInfo(r), expected);
    }

    void shownName_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << "abc_12"
                               << "ABC-12";
        QTest::newRow("display name") << "rv_c100"
                                      << "Coupler C100";
        QTest::newRow("empty display name") << "rv_c200"
                                            << "RV-C200";
    }

    void shownName()
    {
        QFETCH(QString, type);
        QFETCH(QString, shown);
        const QMap<QString, QString> names { { "RV-C100", "Coupler C100" }, { "RV-C200", "" } };
        QCOMPARE(shownModuleName(type, names), shown);
    }

    void ipSetOrder()
    {
        QCOMPARE(ipSetCommand("00-1A-2B-3C-4D-5E", "192.168.001.005", "255.255.255.000", "192.168.001.001"),
            QByteArray("IPSET#MAC:00-1A-2B-3C-4D-5E,IP192.168.001.005,MK255.255.255.000,GT192.168.001.001"));
    }

    void orders()
    {
        const auto ip = [](std::array<quint8, 4> a) { return record("x", a, {}); };
        QVERIFY(lessByIPBytes(ip({ 192, 168, 1, 2 }), ip({ 192, 168, 1, 10 })));
        QVERIFY(lessByIPBytes(ip({ 192, 168, 1, 4 }), ip({ 10, 0, 0, 5 })));
        QVERIFY(!lessByIPBytes(ip({ 10, 0, 0, 5 }), ip({ 192, 168, 1, 4 })));
        const auto mac = [](std::array<quint8, 6> m) { return record("x", {}, m); };
        // Only the last three bytes count.
        QVERIFY(lessByMACBytes(mac({ 9, 9, 9, 0, 0, 1 }), mac({ 0, 0, 0, 0, 1, 0 })));
        QVERIFY(!lessByMACBytes(mac({ 9, 0, 0, 1, 2, 3 }), mac({ 0, 0, 0, 1, 2, 3 })));
    }

    void moduleNames()
    {
        const QByteArray xml = "<ModuleParameter><ModuleList>"
                               "<Module ModuleName=' RV-C100 ' ModuleShowName='  Coupler \n  C100 '/>"
                               "<Module ModuleName='RV-C200' ModuleShowName=''/>"
                               "<Module ModuleName='RV-C300' ModuleShowName='First'/>"
                               "<Module ModuleName='RV-C300' ModuleShowName='Second'/>"
                               "</ModuleList></ModuleParameter>";
        const QMap<QString, QString> names = readModuleNames(xml);
        QCOMPARE(names, (QMap<QString, QString> { { "RV-C100", "Coupler C100" }, { "RV-C300", "Second" } }));
        QVERIFY(readModuleNames("<broken").isEmpty());
    }

    void hostText()
    {
        QCOMPARE(dhcpHostText({ { "00:1A:2B:3C:4D:5E", "192.168.0.10" } }),
            QString("[00:1A:2B:3C:4D:5E]\nIP=192.168.0.10\n"));
        QCOMPARE(dhcpHostText({ { "", "10.0.0.1" }, { "AA:BB:CC:DD:EE:FF", "" } }),
            QString("IP=10.0.0.1\n[AA:BB:CC:DD:EE:FF]\n"));
        QCOMPARE(dhcpSettingsKey("00:1A:2B:3C:4D:5E"), QString("00_1A_2B_3C_4D_5E"));
        QCOMPARE(dhcpMacFromKey("00_1A_2B_3C_4D_5E"), QString("00:1A:2B:3C:4D:5E"));
    }

    void servedHosts_data()
    {
        QTest::addColumn<QString>("log");
        QTest::addColumn<QList<int>>("served");
        QTest::newRow("exact") << "Host 00:1A:2B:3C:4D:5E given 192.168.0.10\n" << QList<int> { 0 };
        QTest::newRow("lower-case MAC") << "Host 00:1a:2b:3c:4d:5e 192.168.0.10" << QList<int> { 0 };
        // The address is looked for as a part of the line.
        QTest::newRow("longer address") << "Host 00:1A:2B:3C:4D:5E 192.168.0.100" << QList<int> { 0 };
        QTest::newRow("no Host") << "host 00:1A:2B:3C:4D:5E 192.168.0.10" << QList<int> {};
        QTest::newRow("other MAC") << "Host 00:1A:2B:3C:4D:5F 192.168.0.10" << QList<int> {};
        QTest::newRow("two lines") << "Host AA:BB:CC:DD:EE:FF 10.0.0.7\r\nnoise\nHost 00:1A:2B:3C:4D:5E 192.168.0.10"
                                   << QList<int> { 1, 0 };
    }

    void servedHosts()
    {
        QFETCH(QString, log);
        QFETCH(QList<int>, served);
        const QList<DhcpHost> hosts { { "00:1A:2B:3C:4D:5E", "192.168.0.10" }, { "AA:BB:CC:DD:EE:FF", "10.0.0.7" } };
        QCOMPARE(dhcpServedHosts(log, hosts), served);
    }

    void logEndsAtZero()
    {
        QCOMPARE(decodeDhcpLog(QByteArray("Host a\0rest", 11)), QString("Host a"));
        QCOMPARE(decodeDhcpLog("plain"), QString("plain"));
    }
};

RIVUDO_TEST_MAIN(TestMaintCodecs)
#include "tst_maintcodecs.moc"
