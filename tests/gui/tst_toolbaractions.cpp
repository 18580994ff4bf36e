#include "externalprograms.h"
#include "mainwindow.h"
#include "module.h"
#include "packageimport.h"
#include "platformlists.h"
#include "promptrecorder.h"
#include "submodule.h"
#include "tempappdir.h"
#include "testsupport.h"

#include <QDomDocument>
#include <QPushButton>
#include <QUrl>

using TestSupport::child;

// The toolbar buttons that hand work to the CAx export, the package import and the help folder.
class TestToolbarActions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        PlatformLists::setLocalAddresses({});
        PlatformLists::setSerialPorts({});
    }

    void cleanup()
    {
        ExternalPrograms::clearOverrides();
        PackageImport::setUrlOpener({});
    }

    void caxButtonExportsTheModuleList()
    {
        TempAppDir dir(true);
        PromptRecorder prompts;
        MainWindow w;
        auto *m = new module("KTL-C10", "KTL");
        m->addSubmodule("KTL-D8", "KTL", 1)->typeId = 201;
        w.addModule(m);
        w.addModule(new module("RVE-C200", "RVE")); // not a PROFINET coupler: left out
        prompts.fileAnswers.enqueue(dir.filePath("/project.aml"));
        auto *button = child<QPushButton>(&w, "pushButton_cax");
        button->setEnabled(true);
        button->click();

        QVERIFY(prompts.messages.isEmpty());
        QDomDocument doc;
        QVERIFY(doc.setContent(dir.read("/project.aml")));
        QStringList names;
        const QDomNodeList elements = doc.elementsByTagName("InternalElement");
        for (int i = 0; i < elements.size(); ++i)
            names << elements.at(i).toElement().attribute("Name");
        QCOMPARE(names,
            QStringList({ "VORNAK_Devices", "GSD device_1", "机架", "ktl-c10", "KTL-C10", "网络接口", "端口1",
                "KTL-D8_1", "KTL-D8" }));
        QCOMPARE(m->submodules.first()->gsdId, QString("IDM_KTL_D8"));
    }

    void importButton()
    {
        TempAppDir dir(true);
        PromptRecorder prompts;
        QVERIFY(dir.write("/fake7z", "#!/bin/sh\necho \"$2\" > \"$(dirname \"$0\")/unpacked.txt\"\n"));
        QVERIFY(QFile::setPermissions(dir.filePath("/fake7z"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        ExternalPrograms::setOverride(ExternalPrograms::SevenZip, dir.filePath("/fake7z"));
        MainWindow w;
        auto *button = child<QPushButton>(&w, "pushButton_import");

        // Cancelling the file dialog starts nothing.
        button->click();
        QVERIFY(!dir.exists("/unpacked.txt"));
        QVERIFY(prompts.messages.isEmpty());

        prompts.fileAnswers.enqueue("/packages/new.kdzip");
        button->click();
        QCOMPARE(dir.read("/unpacked.txt"), QByteArray("/packages/new.kdzip\n"));
        QCOMPARE(prompts.lastCaption(), QString("完成"));
        QCOMPARE(prompts.lastText(), QString("导入成功"));
    }

    void helpButtonOpensTheHelpFolder()
    {
        TempAppDir dir(true);
        QList<QUrl> opened;
        PackageImport::setUrlOpener([&opened](const QUrl &url) {
            opened << url;
            return true;
        });
        MainWindow w;
        child<QPushButton>(&w, "pushButton_help")->click();
        QCOMPARE(opened, QList<QUrl>({ QUrl::fromLocalFile(dir.path() + "/helpfile/") }));
        QVERIFY(QFile::exists(opened.first().toLocalFile() + "index.html"));
    }
};

RIVUDO_TEST_MAIN(TestToolbarActions)
#include "tst_toolbaractions.moc"
