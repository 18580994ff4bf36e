#include "externalprograms.h"
#include "packageimport.h"
#include "promptrecorder.h"
#include "tempappdir.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>

namespace {

bool writeScript(TempAppDir &dir, const QString &relative, const QByteArray &body, bool executable = true)
{
    if (!dir.write(relative, "#!/bin/sh\n" + body))
        return false;
    QFile::Permissions p = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
        p |= QFile::ExeOwner;
    return QFile::setPermissions(dir.filePath(relative), p);
}

} // namespace

class TestPackageImport : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempAppDir> m_dir;
    std::unique_ptr<PromptRecorder> m_prompts;
    QTemporaryDir m_work;

    QList<QPair<QString, QString>> messages() const
    {
        QList<QPair<QString, QString>> out;
        for (const PromptRecorder::Message &m : m_prompts->messages)
            out << qMakePair(m.caption, m.text);
        return out;
    }

    // A description package made by the real unpacker's packing side.
    QString makePackage()
    {
        QTemporaryDir src;
        QDir(src.path()).mkpath("NEWFAM");
        QFile a(src.path() + "/NEWFAM/ModuleParameter.xml");
        QFile b(src.path() + "/Devicestype.xml");
        if (!a.open(QIODevice::WriteOnly) || !b.open(QIODevice::WriteOnly))
            return QString();
        a.write("<root>new family</root>\n");
        b.write("new map\n");
        a.close();
        b.close();
        const QString package = m_work.path() + "/descriptions.kdzip";
        QFile::remove(package);
        QProcess zip;
        zip.setWorkingDirectory(src.path());
        zip.start(QStandardPaths::findExecutable("7z"), { "a", "-tzip", package, "NEWFAM", "Devicestype.xml" });
        if (!zip.waitForFinished(60000) || zip.exitStatus() != QProcess::NormalExit || zip.exitCode() != 0)
            return QString();
        return package;
    }

private slots:
    void initTestCase() { QVERIFY2(!QStandardPaths::findExecutable("7z").isEmpty(), "7z (p7zip-full) is needed"); }

    void init()
    {
        m_dir.reset(new TempAppDir);
        m_prompts.reset(new PromptRecorder);
        QVERIFY(m_dir->write("/ModuleParameter/Devicestype.xml", "old map\n"));
        ExternalPrograms::clearOverrides();
    }

    void cleanup()
    {
        ExternalPrograms::clearOverrides();
        m_prompts.reset();
        m_dir.reset();
    }

    void importsWithoutOverwriting_data()
    {
        QTest::addColumn<bool>("withCleanup");
        QTest::addColumn<bool>("executable");
        QTest::newRow("no cleanup step") << false << false;
        QTest::newRow("cleanup script") << true << true;
        QTest::newRow("cleanup script without exec bit") << true << false;
    }

    void importsWithoutOverwriting()
    {
        QFETCH(bool, withCleanup);
        QFETCH(bool, executable);
        const QString package = makePackage();
        QVERIFY(!package.isEmpty());
        if (withCleanup)
            QVERIFY(writeScript(*m_dir, "/ModuleParameter/clean.sh", "ls NEWFAM > cleaned.txt\n", executable));

        QCOMPARE(PackageImport().importPackage(package), PackageImport::Imported);
        QCOMPARE(messages(), (QList<QPair<QString, QString>> { { "完成", "导入成功" } }));
        QCOMPARE(m_prompts->messages.first().icon, QMessageBox::Information);
        QCOMPARE(m_dir->read("/ModuleParameter/NEWFAM/ModuleParameter.xml"), QByteArray("<root>new family</root>\n"));
        // Nothing is overwritten: what was there is kept under a new name.
        QCOMPARE(m_dir->read("/ModuleParameter/Devicestype.xml"), QByteArray("new map\n"));
        QStringList copies = QDir(m_dir->filePath("/ModuleParameter")).entryList({ "Devicestype*" });
        copies.removeOne("Devicestype.xml");
        QCOMPARE(copies.size(), 1);
        QCOMPARE(m_dir->read("/ModuleParameter/" + copies.first()), QByteArray("old map\n"));
        // The cleanup step runs in the description folder, after the unpacking.
        QCOMPARE(m_dir->read("/ModuleParameter/cleaned.txt"),
            withCleanup ? QByteArray("ModuleParameter.xml\n") : QByteArray());
    }

    void unpackerArguments()
    {
        QVERIFY(writeScript(*m_dir, "/7-Zip/7z.exe", "printf '%s\\n' \"$@\" > \"$(dirname \"$0\")/args.txt\"\n"));
        QCOMPARE(PackageImport().importPackage("/some where/p.kdzip"), PackageImport::Imported);
        QCOMPARE(QString::fromUtf8(m_dir->read("/7-Zip/args.txt")),
            "x\n/some where/p.kdzip\n-o" + m_dir->path() + "/ModuleParameter/\n-aot\n");
    }

    void unpackFailures_data()
    {
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<QString>("unpacker"); // a script body, "missing" or "" for the real one
        QTest::addColumn<bool>("cleanupRuns");
        QTest::newRow("broken archive") << QByteArray("PK\x03\x04 not really a zip") << "" << true;
        QTest::newRow("no such archive") << QByteArray() << "" << true;
        QTest::newRow("unpacker missing") << QByteArray("x") << "missing" << false;
        QTest::newRow("unpacker not found") << QByteArray("x") << "unresolved" << false;
        QTest::newRow("unpacker crashes") << QByteArray("x") << "kill -SEGV $$\n" << true;
        QTest::newRow("unpacker reports an error") << QByteArray("x") << "exit 2\n" << true;
    }

    void unpackFailures()
    {
        QFETCH(QByteArray, archive);
        QFETCH(QString, unpacker);
        QFETCH(bool, cleanupRuns);
        const QString path = m_work.path() + "/broken.kdzip";
        QFile::remove(path);
        if (!archive.isEmpty()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(archive);
        }
        if (unpacker == "missing") {
            ExternalPrograms::setOverride(ExternalPrograms::SevenZip, m_dir->filePath("/7-Zip/7z.exe"));
        } else if (unpacker == "unresolved") {
            ExternalPrograms::setOverride(ExternalPrograms::SevenZip, QString());
        } else if (!unpacker.isEmpty()) {
            QVERIFY(writeScript(*m_dir, "/fake7z", unpacker.toUtf8()));
            ExternalPrograms::setOverride(ExternalPrograms::SevenZip, m_dir->filePath("/fake7z"));
        }
        QVERIFY(writeScript(*m_dir, "/ModuleParameter/clean.sh", "echo ran > cleaned.txt\n"));

        QCOMPARE(PackageImport().importPackage(path), PackageImport::UnpackFailed);
        QCOMPARE(messages(), (QList<QPair<QString, QString>> { { "失败", "非法文件" } }));
        QCOMPARE(m_prompts->messages.first().icon, QMessageBox::Warning);
        QCOMPARE(m_dir->exists("/ModuleParameter/cleaned.txt"), cleanupRuns);
        QCOMPARE(m_dir->read("/ModuleParameter/Devicestype.xml"), QByteArray("old map\n"));
    }

    void unpackerOutlastsItsWait()
    {
        QVERIFY(writeScript(*m_dir, "/fake7z", "exec sleep 30\n"));
        ExternalPrograms::setOverride(ExternalPrograms::SevenZip, m_dir->filePath("/fake7z"));
        QVERIFY(writeScript(*m_dir, "/ModuleParameter/clean.sh", "echo ran > cleaned.txt\n"));
        PackageImport import;
        import.waitMs = 500;
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(import.importPackage("p.kdzip"), PackageImport::UnpackTimedOut);
        // Stopped, not waited out.
        QVERIFY(clock.elapsed() < 20000);
        QCOMPARE(messages(), (QList<QPair<QString, QString>> { { "失败", "非法文件" } }));
        QVERIFY(!m_dir->exists("/ModuleParameter/cleaned.txt"));
    }

    void cleanupFailures_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("warned");
        QTest::newRow("outlasts its wait")
            << QByteArray("exec sleep 30\n") << int(PackageImport::CleanupFailed) << true;
        QTest::newRow("ends with an error") << QByteArray("exit 3\n") << int(PackageImport::Imported) << false;
    }

    void cleanupFailures()
    {
        QFETCH(QByteArray, script);
        QFETCH(int, result);
        QFETCH(bool, warned);
        QVERIFY(writeScript(*m_dir, "/fake7z", "exit 0\n"));
        ExternalPrograms::setOverride(ExternalPrograms::SevenZip, m_dir->filePath("/fake7z"));
        QVERIFY(writeScript(*m_dir, "/ModuleParameter/clean.sh", script));
        PackageImport import;
        import.waitMs = 1500;
        QCOMPARE(int(import.importPackage("p.kdzip")), result);
        QList<QPair<QString, QString>> expected { { "完成", "导入成功" } };
        if (warned)
            expected << qMakePair(QString("失败"), QString("操作失败"));
        QCOMPARE(messages(), expected);
    }
};

RIVUDO_TEST_MAIN(TestPackageImport)
#include "tst_packageimport.moc"
