#include "downdialog.h"
#include "mainwindow.h"
#include "menubase.h"
#include "module.h"
#include "moduleprms.h"
#include "openinfodialog.h"
#include "pagefactory.h"
#include "projectfile.h"
#include "projectmodules.h"
#include "promptrecorder.h"
#include "savedialog.h"
#include "submodule.h"
#include "tempappdir.h"
#include "testsupport.h"
#include "ui_downdialog.h"
#include "ui_openinfodialog.h"
#include "ui_savedialog.h"

#include "projectrecords.h"

#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <csignal>
#include <sys/resource.h>

using namespace ProjectFile;

namespace {
using TestSupport::child;

// Stands in for the General page while none is registered: a block of the description's
// byte count, distinct per module type.
class FixedPage : public menubase
{
public:
    explicit FixedPage(QWidget *parent = nullptr)
        : menubase(parent)
    {
    }
    int attachModule(modulebase *m) override
    {
        owner = m;
        for (int i = 0; i < m->paramLen; ++i)
            bytes.append(char(qHash(m->name) + i));
        return 0;
    }
    QByteArray getParamData() override { return bytes; }
    int setParamData(QByteArray data) override
    {
        bytes = data.left(owner ? owner->paramLen : 0);
        return bytes.size();
    }
    QByteArray bytes;
};

QList<ModuleRecord> twoModules()
{
    return { record("KTL-C10", "192.168.0.1", { { "RV-DI16", "1", "V1.1" }, { "RV-AI4", "2", "V1.2" } }),
             record("RVE-C150", "192.168.0.10", {}) };
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString modfiydate(const QByteArray &file)
{
    const auto match = QRegularExpression("modfiydate =  \"([^\"]*)\"").match(QString::fromUtf8(file));
    return match.hasMatch() ? match.captured(1) : QString("<none>");
}

QStringList names(const QList<module *> &modules)
{
    QStringList out;
    for (module *m : modules) {
        QStringList subs;
        for (submodule *s : m->submodules)
            subs << s->name + "@" + s->slot;
        out << m->name + (subs.isEmpty() ? QString() : "[" + subs.join(",") + "]");
    }
    return out;
}

// Answers the save dialog with these entries and OK.
std::function<int(QDialog *)> saveAs(const QString &dir, const QString &name, const QString &producer,
                                     const QString &info, std::function<void()> afterOk = {})
{
    return [=](QDialog *d) -> int {
        auto *save = qobject_cast<SaveDialog *>(d);
        if (!save)
            return QDialog::Rejected;
        save->form()->lineEdit_path->setText(dir);
        save->form()->lineEdit_name->setText(name);
        save->form()->lineEdit_producer->setText(producer);
        save->form()->textEdit_info->setPlainText(info);
        save->form()->pushButton_2->click();
        if (afterOk)
            afterOk();
        return save->result();
    };
}

} // namespace

class TestProjectRoad : public QObject
{
    Q_OBJECT

private:
    TempAppDir *m_app = nullptr;

    void fill(MainWindow &w, const QList<ModuleRecord> &records)
    {
        if (w.familyMap.isEmpty())
            w.readDevicestype();
        for (const ModuleRecord &r : records) {
            module *m = ProjectModules::buildModule(r, w.familyMap);
            QVERIFY2(m, qPrintable(r.name));
            w.addModule(m);
        }
    }

    void save(MainWindow &w, PromptRecorder &prompts, const QString &name, const QString &producer = "Li",
              const QString &info = "a & b < c\n%2 %1")
    {
        prompts.onExec = saveAs(m_app->path(), name, producer, info);
        QVERIFY(QMetaObject::invokeMethod(&w, "on_pushButton_save_clicked"));
    }

    // Writes a project file by hand and returns its path.
    QString writeProject(const QString &name, const QByteArray &text)
    {
        m_app->write("/" + name, text);
        return m_app->filePath("/" + name);
    }

private slots:
    void initTestCase()
    {
        if (!PageFactory::isRegistered(PageFactory::General))
            PageFactory::registerPage(PageFactory::General, [] { return static_cast<menubase *>(new FixedPage); });
    }

    void init() { m_app = new TempAppDir(true); }
    void cleanup()
    {
        delete m_app;
        m_app = nullptr;
    }

    void saveWritesTheModules()
    {
        PromptRecorder prompts;
        MainWindow w;
        fill(w, twoModules());
        QList<ModuleRecord> expected = twoModules();
        for (int i = 0; i < 2; ++i) {
            expected[i].parameters = w.moduleList[i]->getParamData();
            QVERIFY(!expected[i].parameters.isEmpty());
        }
        save(w, prompts, "plant");
        QVERIFY(prompts.messages.isEmpty());
        const QByteArray file = readFile(m_app->filePath("/plant.kdxml"));
        const QString text = documentXml(fileInfoXml("Li", modfiydate(file), "a & b < c\n%2 %1"),
                                         moduleXml(expected[0]) + moduleXml(expected[1]));
        QCOMPARE(QString::fromUtf8(file), text);
        QVERIFY(QRegularExpression(R"(^\d{4}\.\d\d\.\d\d \d\d:\d\d:\d\d\.\d{3} \S+$)").match(modfiydate(file)).hasMatch());
    }

    void cancelledSaveWritesNothing()
    {
        PromptRecorder prompts;
        MainWindow w;
        fill(w, twoModules());
        prompts.onExec = [](QDialog *) { return int(QDialog::Rejected); };
        QVERIFY(QMetaObject::invokeMethod(&w, "on_pushButton_save_clicked"));
        QCOMPARE(prompts.dialogsRun, QStringList { "SaveDialog" });
        QCOMPARE(QDir(m_app->path()).entryList({ "*.kdxml" }), QStringList());
    }

    void failedSaveKeepsTheOldFile()
    {
        PromptRecorder prompts;
        MainWindow w;
        fill(w, twoModules());
        QVERIFY(m_app->write("/plant.kdxml", "old project"));
        rlimit old {};
        getrlimit(RLIMIT_FSIZE, &old);
        auto previous = std::signal(SIGXFSZ, SIG_IGN);
        // A full disk, simulated by a file size limit once the dialog has been answered.
        prompts.onExec = saveAs(m_app->path(), "plant", "Li", QString(4000, 'x'), [&] {
            rlimit small = old;
            small.rlim_cur = 64;
            setrlimit(RLIMIT_FSIZE, &small);
        });
        QVERIFY(QMetaObject::invokeMethod(&w, "on_pushButton_save_clicked"));
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previous);
        QCOMPARE(m_app->read("/plant.kdxml"), QByteArray("old project"));
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.lastCaption(), QString("失败"));
        QVERIFY(prompts.lastText().startsWith("保存失败"));
    }

    void roundTrip()
    {
        QByteArray first;
        QList<QByteArray> params;
        {
            PromptRecorder prompts;
            MainWindow w;
            fill(w, twoModules());
            for (module *m : w.moduleList)
                params << m->getParamData();
            save(w, prompts, "first");
            first = readFile(m_app->filePath("/first.kdxml"));
            QVERIFY(!first.isEmpty());
        }
        PromptRecorder prompts;
        MainWindow w;
        // Opening before any scan reads the description maps itself.
        QVERIFY(w.familyMap.isEmpty());
        QString shownProducer, shownDate, shownName, shownText;
        prompts.onExec = [&](QDialog *d) -> int {
            auto *info = qobject_cast<OpenInfoDialog *>(d);
            if (!info)
                return QDialog::Rejected;
            shownName = info->form()->lineEdit_name->text();
            shownProducer = info->form()->lineEdit_producer->text();
            shownDate = info->form()->lineEdit_modfiy->text();
            shownText = info->form()->textBrowser->toPlainText();
            info->form()->pushButton->click();
            return info->result();
        };
        QVERIFY(!child<QPushButton>(&w, "pushButton_save")->isEnabled());
        w.loadProjectFile(m_app->filePath("/first.kdxml"));
        QCOMPARE(prompts.dialogsRun, QStringList { "OpenInfoDialog" });
        QCOMPARE(shownName, m_app->filePath("/first.kdxml"));
        QCOMPARE(shownProducer, QString("Li"));
        QCOMPARE(shownDate, modfiydate(first));
        QCOMPARE(shownText, QString("a & b < c\n%2 %1"));
        QVERIFY(child<QPushButton>(&w, "pushButton_save")->isEnabled());
        QCOMPARE(names(w.moduleList), QStringList({ "KTL-C10[RV-DI16@1,RV-AI4@2]", "RVE-C150" }));
        QCOMPARE(w.currentModule, w.moduleList.first());
        QCOMPARE(child<QTreeWidget>(&w, "treeWidget")->topLevelItemCount(), 2);
        QCOMPARE(w.moduleList[0]->ip, QString("192.168.0.1"));
        QCOMPARE(w.moduleList[0]->submodules[1]->softwareVer, QString("V1.2"));
        QCOMPARE(w.moduleList[0]->getParamData(), params[0]);
        QCOMPARE(w.moduleList[1]->getParamData(), params[1]);

        save(w, prompts, "second");
        QByteArray second = readFile(m_app->filePath("/second.kdxml"));
        second.replace(modfiydate(second).toUtf8(), modfiydate(first).toUtf8());
        QCOMPARE(second, first);
    }

    void cancelledOpenKeepsTheModules_data()
    {
        QTest::addColumn<bool>("modulesFirst");
        QTest::newRow("information first") << false;
        QTest::newRow("modules first") << true;
    }

    void cancelledOpenKeepsTheModules()
    {
        QFETCH(bool, modulesFirst);
        PromptRecorder prompts;
        MainWindow w;
        fill(w, { record("KTL-C10", "10.0.0.1", {}) });
        QPointer<module> kept = w.moduleList.first();
        QString modules;
        for (const ModuleRecord &r : twoModules())
            modules += moduleXml(r);
        const QString info = fileInfoXml("Li", "t", "d");
        QString text = documentXml(info, modules);
        if (modulesFirst)
            text = "<root_info><modulelist>" + modules + "</modulelist>" + info + "</root_info>";
        prompts.onExec = [](QDialog *d) -> int {
            auto *dialog = qobject_cast<OpenInfoDialog *>(d);
            if (dialog)
                dialog->form()->pushButton_2->click();
            return d->result();
        };
        w.loadProjectFile(writeProject("p.kdxml", text.toUtf8()));
        QCOMPARE(prompts.dialogsRun, QStringList { "OpenInfoDialog" });
        QVERIFY(kept);
        QCOMPARE(w.moduleList, QList<module *> { kept.data() });
        QCOMPARE(child<QTreeWidget>(&w, "treeWidget")->topLevelItemCount(), 1);
        QVERIFY(!child<QPushButton>(&w, "pushButton_save")->isEnabled());
    }

    void readerTolerance_data()
    {
        QTest::addColumn<QByteArray>("modules");
        QTest::addColumn<QStringList>("expected");
        const QByteArray tail = R"(<module name="RV-DO16" subnum="0"><Parameters data=""/></module>)";
        QTest::newRow("fewer sub-modules than stored")
            << R"(<module name="KTL-C10" subnum="3"><submodulelist><submodule name="RV-DI16" slot="1"/>)"
               R"(<submodule name="RV-AI4" slot="4"/></submodulelist><Parameters data="00 "/></module>)" + tail
            << QStringList { "KTL-C10[RV-DI16@1,RV-AI4@4]", "RV-DO16" };
        QTest::newRow("unknown sub-module type")
            << R"(<module name="KTL-C10" subnum="2"><submodulelist><submodule name="RV-DI16" slot="1"/>)"
               R"(<submodule name="NO-SUCH" slot="2"/></submodulelist></module>)" + tail
            << QStringList { "RV-DO16" };
        QTest::newRow("unknown module type")
            << R"(<module name="NO-SUCH" subnum="0"/><module name="KTL-C10" subnum="0"/>)" + tail
            << QStringList { "KTL-C10", "RV-DO16" };
        QTest::newRow("no information block") << tail << QStringList { "RV-DO16" };
    }

    void readerTolerance()
    {
        QFETCH(QByteArray, modules);
        QFETCH(QStringList, expected);
        PromptRecorder prompts;
        MainWindow w;
        w.loadProjectFile(writeProject("p.kdxml", "<root_info><modulelist>" + modules + "</modulelist></root_info>"));
        QVERIFY(prompts.messages.isEmpty());
        QVERIFY(prompts.dialogsRun.isEmpty());
        QCOMPARE(names(w.moduleList), expected);
        QCOMPARE(w.currentModule, w.moduleList.first());
        // Without an information block the save button keeps its state.
        QVERIFY(!child<QPushButton>(&w, "pushButton_save")->isEnabled());
    }

    void badFileKeepsTheModules_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("hand-broken") << QByteArray(R"(<root_info><modulelist><module name="KTL-C10"></modulelist>)");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("missing") << QByteArray("<missing>");
        // Well-formed, but padded past what any project needs.
        QTest::newRow("too large") << QByteArray("<huge>");
    }

    void badFileKeepsTheModules()
    {
        QFETCH(QByteArray, content);
        PromptRecorder prompts;
        MainWindow w;
        fill(w, { record("KTL-C10", "10.0.0.1", {}) });
        QPointer<module> kept = w.moduleList.first();
        QString path = content == "<missing>" ? m_app->filePath("/nothing.kdxml") : writeProject("b.kdxml", content);
        if (content == "<huge>") {
            path = writeProject(
                "b.kdxml", R"(<root_info><modulelist><module name="RV-DO16"/></modulelist></root_info>)");
            QFile file(path);
            QVERIFY(file.open(QIODevice::Append));
            const QByteArray blanks(1024 * 1024, ' ');
            for (int i = 0; i < 64; ++i)
                QCOMPARE(file.write(blanks), qint64(blanks.size()));
        }
        w.loadProjectFile(path);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.lastCaption(), QString("失败"));
        QCOMPARE(prompts.lastText(), QString("非法文件"));
        QVERIFY(prompts.dialogsRun.isEmpty());
        QVERIFY(kept);
        QCOMPARE(w.moduleList, QList<module *> { kept.data() });
    }

    void openedModulesSpeakTheCurrentLanguage()
    {
        PromptRecorder prompts;
        MainWindow w;
        w.setLanguage(1);
        const ModuleRecord coupler = twoModules().first();
        w.loadProjectFile(writeProject(
            "p.kdxml", ("<root_info><modulelist>" + moduleXml(coupler) + "</modulelist></root_info>").toUtf8()));
        QCOMPARE(names(w.moduleList), QStringList { "KTL-C10[RV-DI16@1,RV-AI4@2]" });
        module *opened = w.moduleList.first();
        QCOMPARE(opened->language, 1);
        for (submodule *s : opened->submodules)
            QCOMPARE(s->language, 1);

        module english(coupler.name, w.familyMap.value(coupler.name));
        english.setLanguage(1);
        module chinese(coupler.name, w.familyMap.value(coupler.name));
        chinese.setLanguage(0);
        QStringList shown, inEnglish, inChinese;
        for (int i = 0; i < opened->paramList.size(); ++i) {
            shown << opened->paramList.at(i)->text;
            inEnglish << english.paramList.at(i)->text;
            inChinese << chinese.paramList.at(i)->text;
        }
        QVERIFY(inEnglish != inChinese);
        QCOMPARE(shown, inEnglish);
    }

    void openButtonAsksForAFile()
    {
        PromptRecorder prompts;
        MainWindow w;
        prompts.fileAnswers << writeProject("p.kdxml", R"(<root_info><modulelist><module name="RV-DO16"/></modulelist></root_info>)");
        QTest::mouseClick(child<QPushButton>(&w, "pushButton_open"), Qt::LeftButton);
        QCOMPARE(names(w.moduleList), QStringList { "RV-DO16" });
        QTest::mouseClick(child<QPushButton>(&w, "pushButton_open"), Qt::LeftButton); // chooser cancelled
        QCOMPARE(names(w.moduleList), QStringList { "RV-DO16" });
    }

    void downloadButtonListsTheModules()
    {
        PromptRecorder prompts;
        MainWindow w;
        fill(w, twoModules());
        QStringList rows;
        prompts.onExec = [&](QDialog *d) -> int {
            if (auto *down = qobject_cast<DownDialog *>(d)) {
                for (int row = 0; row < down->form()->tableWidget->rowCount(); ++row)
                    rows << down->form()->tableWidget->item(row, 1)->text();
            }
            return QDialog::Rejected;
        };
        QVERIFY(QMetaObject::invokeMethod(&w, "on_pushButton_down_clicked"));
        QCOMPARE(rows, QStringList({ "192.168.0.1", "192.168.0.10" }));
    }
};

RIVUDO_TEST_MAIN(TestProjectRoad)
#include "tst_projectroad.moc"
