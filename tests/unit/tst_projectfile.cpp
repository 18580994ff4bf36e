#include "projectfile.h"
#include "testsupport.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>

using namespace ProjectFile;

namespace {

ModuleRecord coupler()
{
    ModuleRecord m;
    m.name = "KT100";
    m.mac = "00:11:22:33:44:55";
    m.ip = "192.168.0.10";
    m.mask = "255.255.255.0";
    m.gateway = "192.168.0.1";
    m.inlen = "2";
    m.outlen = "2";
    m.Paralen = "8";
    m.softwareVer = "V1.0";
    m.backbusVer = "V2.1";
    m.subnum = 2;
    m.submodules = { { "DI16", "1", "V1.1" }, { "DO16", "2", "V1.2" } };
    m.parameters = QByteArray("\x01\xab", 2);
    return m;
}

ModuleRecord bareCoupler()
{
    ModuleRecord m;
    m.name = "KT200";
    m.mac = "AA:BB:CC:DD:EE:FF";
    m.ip = "192.168.0.11";
    m.mask = "255.255.255.0";
    m.gateway = "192.168.0.1";
    m.inlen = "0";
    m.outlen = "0";
    m.Paralen = "0";
    m.softwareVer = "V1.0";
    m.backbusVer = "V1.0";
    return m;
}

QString project(const QList<ModuleRecord> &modules, const QString &producer = "Li",
                const QString &time = "2026.12.10 08:30:05.007 Thu", const QString &text = "line1\nline2")
{
    QString moduleText;
    for (const ModuleRecord &m : modules)
        moduleText += moduleXml(m);
    return documentXml(fileInfoXml(producer, time, text), moduleText);
}

QList<ModuleRecord> modulesOf(const ReadResult &r)
{
    QList<ModuleRecord> out;
    for (const Section &s : r.sections)
        if (s.kind == Section::Modules)
            out += s.modules;
    return out;
}

QByteArray wrap(const QByteArray &moduleElements)
{
    return "<root_info><modulelist>" + moduleElements + "</modulelist></root_info>";
}

} // namespace

class TestProjectFile : public QObject
{
    Q_OBJECT
private slots:
    void readBoundedTakesProjectsAndRefusesEndlessInput()
    {
        QBuffer small;
        small.setData("<root_info/>");
        QVERIFY(small.open(QIODevice::ReadOnly));
        QByteArray data;
        QVERIFY(ProjectFile::readBounded(small, &data));
        QCOMPARE(data, QByteArray("<root_info/>"));

        // A device file never ends; the reader stops at the limit instead of filling memory.
        QFile zero("/dev/zero");
        QVERIFY(zero.open(QIODevice::ReadOnly));
        QVERIFY(zero.isSequential());
        QVERIFY(!ProjectFile::readBounded(zero, &data));
        QVERIFY(data.isEmpty());
    }

    void twoModulesByteExact()
    {
        const QString expected = QStringList {
            R"(<?xml version="1.0" encoding="utf-8"?>)",
            R"(<root_info value = "https://de-rivudo.example.org">)",
            R"(      <fileinfo   producer = "Li"  modfiydate =  "2026.12.10 08:30:05.007 Thu">)",
            R"(       <Text>line1)",
            R"(line2</Text>)",
            R"(   </fileinfo>)",
            R"(   <modulelist>)",
            R"(   <module name="KT100" mac="00:11:22:33:44:55" ip="192.168.0.10" mask="255.255.255.0" gateway="192.168.0.1" inlen="2"  outlen="2" Paralen="8" softwareVer="V1.0" backbusVer="V2.1" subnum="2">)",
            R"(       <submodulelist>)",
            R"(              <submodule name="DI16" slot="1" softwareVer="V1.1"/>)",
            R"(              <submodule name="DO16" slot="2" softwareVer="V1.2"/>)",
            R"(       </submodulelist>)",
            R"(       <Parameters data = "01 ab "/>)",
            R"(    </module><module name="KT200" mac="AA:BB:CC:DD:EE:FF" ip="192.168.0.11" mask="255.255.255.0" gateway="192.168.0.1" inlen="0"  outlen="0" Paralen="0" softwareVer="V1.0" backbusVer="V1.0" subnum="0">)",
            R"(       <Parameters data = ""/>)",
            R"(    </module>)",
            R"(   </modulelist>)",
            R"(</root_info>)",
        }.join('\n');
        QCOMPARE(project({ coupler(), bareCoupler() }), expected);
    }

    void emptyModuleList()
    {
        const QString text = project({});
        QVERIFY(text.contains("   <modulelist>\n   \n   </modulelist>\n</root_info>"));
        QVERIFY(!text.endsWith('\n'));
    }

    void moduleValuesSimplified()
    {
        ModuleRecord m = bareCoupler();
        m.softwareVer = "  V1.0 \t beta ";
        QVERIFY(moduleXml(m).contains(R"(softwareVer="V1.0 beta")"));
    }

    void userTextsStayLiteral_data()
    {
        QTest::addColumn<QString>("producer");
        QTest::addColumn<QString>("description");
        QTest::newRow("placeholders") << "%2" << "%1 and %3 %10";
        QTest::newRow("markup") << "\"a\" & <b>" << "a & b < c > d";
        QTest::newRow("forbidden characters") << QString("x\x01y") << QString("a\x0b" "b\x1f") + QChar(0xfffe) + QChar(0xd800) + "c";
        QTest::newRow("astral") << QString::fromUtf8("\xf0\x9f\x98\x80") << QString::fromUtf8("\xe4\xb8\xad\xf0\x9f\x98\x80");
    }

    void userTextsStayLiteral()
    {
        QFETCH(QString, producer);
        QFETCH(QString, description);
        const QString time = "2026.12.10 08:30:05.007 Thu";
        const ReadResult r = read(project({ coupler() }, producer, time, description).toUtf8());
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.sections.size(), 2);
        QCOMPARE(r.sections[0].kind, Section::Info);
        auto clean = [](const QString &s) {
            QString out;
            for (int i = 0; i < s.size(); ++i) {
                const QChar ch = s.at(i);
                const ushort c = ch.unicode();
                if (ch.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
                    out += ch;
                    out += s.at(++i);
                } else if (!ch.isSurrogate() && (c >= 0x20 || c == '\n') && c != 0xfffe && c != 0xffff) {
                    out += ch;
                }
            }
            return out;
        };
        QCOMPARE(r.sections[0].info.producer, clean(producer).simplified());
        QCOMPARE(r.sections[0].info.modfiydate, time);
        QCOMPARE(r.sections[0].info.text, clean(description));
        QCOMPARE(modulesOf(r).size(), 1);
    }

    void fillTemplateOnePass()
    {
        QCOMPARE(fillTemplate("%1-%2", { "%2", "x" }), QString("%2-x"));
        QCOMPARE(fillTemplate("%10|%1", { "a", "b" }), QString("a0|a"));
        QCOMPARE(fillTemplate("%5 %", { "a" }), QString("%5 %"));
    }

    void hexParameters_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("three") << "00 01 ff " << QByteArray("\x00\x01\xff", 3);
        QTest::newRow("empty") << "" << QByteArray();
        QTest::newRow("blanks only") << "   " << QByteArray();
        QTest::newRow("wide part keeps low byte") << "1ff" << QByteArray("\xff", 1);
        QTest::newRow("not a number") << "zz 02" << QByteArray("\x00\x02", 2);
        QTest::newRow("too large") << "10000 7" << QByteArray("\x00\x07", 2);
        QTest::newRow("upper case") << "AB" << QByteArray("\xab", 1);
    }

    void hexParameters()
    {
        QFETCH(QString, data);
        QFETCH(QByteArray, bytes);
        QCOMPARE(parseHexParameters(data), bytes);
    }

    void hexWrite()
    {
        QCOMPARE(ProjectFile::hexParameters(QByteArray("\x01\xab", 2)), QString("01 ab "));
        QCOMPARE(ProjectFile::hexParameters(QByteArray()), QString());
    }

    void roundTrip()
    {
        ModuleRecord odd = coupler();
        odd.name = "K&T<1>";
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all.append(char(i));
        odd.parameters = all;
        const QList<ModuleRecord> modules { coupler(), bareCoupler(), odd };
        const QString first = project(modules);
        const ReadResult r = read(first.toUtf8());
        QVERIFY2(r.ok, qPrintable(r.error));
        const QList<ModuleRecord> back = modulesOf(r);
        QCOMPARE(back.size(), 3);
        QCOMPARE(back[2].name, QString("K&T<1>"));
        QCOMPARE(back[2].parameters, all);
        QCOMPARE(back[0].submodules.size(), 2);
        QCOMPARE(back[0].submodules[1].softwareVer, QString("V1.2"));
        QCOMPARE(project(back), first);
    }

    void readerTolerance_data()
    {
        QTest::addColumn<QByteArray>("elements");
        QTest::addColumn<QStringList>("submodules");
        QTest::addColumn<bool>("hasParameters");
        QTest::addColumn<QByteArray>("parameters");
        const QByteArray two = "<submodulelist><submodule name=\"A\" slot=\"1\"/><submodule name=\"B\" slot=\"2\"/>"
                               "</submodulelist>";
        QTest::newRow("subnum 0 ignores the list")
            << "<module name=\"M\" subnum=\"0\">" + two + "<Parameters data=\"05 \"/></module>" << QStringList()
            << true << QByteArray("\x05");
        QTest::newRow("fewer elements than subnum keeps them")
            << "<module name=\"M\" subnum=\"3\">" + two + "<Parameters data=\"05\"/></module>"
            << QStringList { "A", "B" } << true << QByteArray("\x05");
        QTest::newRow("subnum limits the list")
            << "<module name=\"M\" subnum=\"1\">" + two + "</module>" << QStringList { "A" } << false << QByteArray();
        QTest::newRow("parameters first")
            << QByteArray("<module name=\"M\" subnum=\"2\"><Parameters data=\"0a 0b\"/></module>") << QStringList()
            << true << QByteArray("\x0a\x0b");
        QTest::newRow("subnum not a number")
            << "<module name=\"M\" subnum=\"x\">" + two + "</module>" << QStringList() << false << QByteArray();
    }

    void readerTolerance()
    {
        QFETCH(QByteArray, elements);
        QFETCH(QStringList, submodules);
        QFETCH(bool, hasParameters);
        QFETCH(QByteArray, parameters);
        const ReadResult r = read(wrap(elements));
        QVERIFY2(r.ok, qPrintable(r.error));
        const QList<ModuleRecord> mods = modulesOf(r);
        QCOMPARE(mods.size(), 1);
        QStringList names;
        for (const SubmoduleRecord &s : mods[0].submodules)
            names << s.name;
        QCOMPARE(names, submodules);
        QCOMPARE(mods[0].hasParameters, hasParameters);
        QCOMPARE(mods[0].parameters, parameters);
    }

    void sectionsInDocumentOrder()
    {
        const QByteArray data = "<r>\r\n <other/>\r\n <modulelist><module name=\" K  1 \"/> text <!-- c --></modulelist>"
                                "<fileinfo producer=\" a  b \" modfiydate=\"t\">plain</fileinfo></r>";
        const ReadResult r = read(data);
        QVERIFY(r.ok);
        QCOMPARE(r.sections.size(), 2);
        QCOMPARE(r.sections[0].kind, Section::Modules);
        QCOMPARE(r.sections[0].modules.size(), 1);
        QCOMPARE(r.sections[0].modules[0].name, QString("K 1"));
        QCOMPARE(r.sections[1].kind, Section::Info);
        QCOMPARE(r.sections[1].info.producer, QString("a b"));
        QCOMPARE(r.sections[1].info.text, QString());
    }

    void brokenFile_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("cut short") << project({ coupler() }).toUtf8().left(300);
        QTest::newRow("bad entity") << wrap("<module name=\"a &x b\"/>");
        QTest::newRow("not xml") << QByteArray("PK\x03\x04 zip");
    }

    void brokenFile()
    {
        QFETCH(QByteArray, data);
        const ReadResult r = read(data);
        QVERIFY(!r.ok);
        QVERIFY(!r.error.isEmpty());
        QVERIFY(r.sections.isEmpty());
    }

    void saveTime()
    {
        const QDateTime t(QDate(2026, 12, 10), QTime(8, 30, 5, 7));
        QCOMPARE(saveTimeText(t),
                 "2026.12.10 08:30:05.007 " + QLocale::system().dayName(t.date().dayOfWeek(), QLocale::ShortFormat));
    }

    void writeFileReplaces()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("p.kdxml");
        QVERIFY(writeFile(path, QString::fromUtf8("\xe4\xb8\xad old")));
        QVERIFY(writeFile(path, QString::fromUtf8("\xe4\xb8\xad")));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("\xe4\xb8\xad")); // UTF-8 without byte order mark
    }

    void failedWriteKeepsOldFile_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("within one buffer") << 4000;
        QTest::newRow("beyond the buffer") << 100000;
    }

    void failedWriteKeepsOldFile()
    {
        QFETCH(int, size);
        QTemporaryDir dir;
        const QString path = dir.filePath("p.kdxml");
        QVERIFY(writeFile(path, "old"));
        // A full disk, simulated by a file size limit: the write fails part-way.
        rlimit old {};
        getrlimit(RLIMIT_FSIZE, &old);
        auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = 64;
        setrlimit(RLIMIT_FSIZE, &small);
        QString error;
        const bool ok = writeFile(path, QString(size, 'x'), &error);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previous);
        QVERIFY(!ok);
        QVERIFY(!error.isEmpty());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { "p.kdxml" });

        QVERIFY(!writeFile(dir.filePath("missing/p.kdxml"), "x", &error));
        QVERIFY(!error.isEmpty());
    }
};

RIVUDO_TEST_MAIN(TestProjectFile)
#include "tst_projectfile.moc"
