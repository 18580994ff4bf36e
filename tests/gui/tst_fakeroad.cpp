// The README's road without a module: start the standalone fake as written there, scan the range
// it names, and see a coupler with its sub-modules.
#include "endpoints.h"
#include "fakemodule.h"
#include "ipaddress.h"
#include "mainwindow.h"
#include "module.h"
#include "platformlists.h"
#include "promptrecorder.h"
#include "scandialog.h"
#include "submodule.h"
#include "tempappdir.h"
#include "testsupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

namespace {
using TestSupport::child;
using TestSupport::typeAddress;

// The road's scan: the range typed as the README says, start pressed, the dialog closed at the end.
int scanAsTheReadmeSays(QDialog *dialog)
{
    auto *scan = qobject_cast<SCANDialog *>(dialog);
    if (!scan)
        return QDialog::Rejected;
    typeAddress(child<IPAddress>(scan, "StartIP"), QStringLiteral("127.0.0.1"));
    typeAddress(child<IPAddress>(scan, "EndIP"), QStringLiteral("127.0.0.10"));
    QSignalSpy ended(scan, &SCANDialog::endscan);
    child<QPushButton>(scan, "pushButton")->click();
    if (!ended.wait(60000))
        qWarning("scan did not end");
    return QDialog::Rejected; // the dialog's close button
}

} // namespace

class TestFakeRoad : public QObject
{
    Q_OBJECT

private:
    // Scans as the README says in a fresh program and checks what it promises.
    static void scanShowsTheExampleCoupler(const QString &address)
    {
        TempAppDir dir(true);
        MainWindow w;
        w.applyStoredLanguage();
        PromptRecorder prompts;
        prompts.onExec = scanAsTheReadmeSays;
        QMetaObject::invokeMethod(&w, "on_scanmodule_clicked");

        QCOMPARE(w.moduleList.size(), 1);
        module *coupler = w.moduleList.first();
        QCOMPARE(coupler->name, QStringLiteral("RVE-C100"));
        QCOMPARE(coupler->ip, address);
        QStringList names;
        for (auto *sub : coupler->submodules)
            names << sub->name;
        QCOMPARE(names, (QStringList { "RV-DI16", "RV-DO16", "RV-AI4" }));
        QCOMPARE(coupler->getParamData(), FakeModule::exampleParamBytes);

        auto *tree = child<QTreeWidget>(&w, "treeWidget");
        QCOMPARE(tree->topLevelItemCount(), 1);
        QTreeWidgetItem *top = tree->topLevelItem(0);
        QCOMPARE(top->text(0), QStringLiteral("RVE-C100(%1)").arg(address));
        QStringList items;
        for (int i = 0; i < top->childCount(); ++i)
            items << top->child(i)->text(0);
        QCOMPARE(items, (QStringList { "RV-DI16_1", "RV-DO16_2", "RV-AI4_3" }));
        QCOMPARE(child<QTabWidget>(&w, "tabWidget")->tabText(0), QString::fromUtf8("基本设置"));
    }

private slots:
    void initTestCase()
    {
        // The dialog never offers loopback addresses as the local one; a machine's own address
        // (or none) is what a person sees there.
        PlatformLists::setLocalAddresses({});
        PlatformLists::setSerialPorts({});
    }

    void readmeRoadWithTheStandaloneFake_data()
    {
        QTest::addColumn<bool>("machineAddresses");
        QTest::newRow("local IP box empty") << false;
        // What the box lists on this machine (loopback is never listed): the scan binds to it.
        QTest::newRow("local IP box as on this machine") << true;
    }

    // The standalone program itself, started with the README's options (ports moved for the test).
    void readmeRoadWithTheStandaloneFake()
    {
        QFETCH(bool, machineAddresses);
        if (machineAddresses) {
            PlatformLists::reset();
            PlatformLists::setLocalAddresses(PlatformLists::localAddresses());
        } else {
            PlatformLists::setLocalAddresses({});
        }
        PlatformLists::setSerialPorts({});
        const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/fakemodule");
        QVERIFY2(QFileInfo::exists(program), qPrintable(program));
        const Endpoints &endpoints = Endpoints::current();
        QProcess fake;
        fake.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        fake.start(program,
            { "--address", "127.0.0.5", "--firmware-port", QString::number(endpoints.firmwarePort), "--command-port",
                QString::number(endpoints.commandPort), "--config-port", QString::number(endpoints.configModulePort) });
        QVERIFY(fake.waitForStarted(10000));
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += fake.readAllStandardOutput()).contains('\n'), 30000);
        QVERIFY2(said.startsWith("fake module 127.0.0.5 answering as RVE-C100"), said.constData());

        scanShowsTheExampleCoupler(QStringLiteral("127.0.0.5"));
        PlatformLists::setLocalAddresses({});

        fake.terminate();
        QVERIFY(fake.waitForFinished(10000));
    }

    // The same defaults in-process, back to back as well.
    void exampleCouplerDefaults_data() { FakeModule::addSpacingRows(); }
    void exampleCouplerDefaults()
    {
        QFETCH(bool, backToBack);
        FakeModule fake(QStringLiteral("127.0.0.6"));
        fake.useExampleCoupler();
        fake.setBackToBack(backToBack);
        QVERIFY(fake.start());
        scanShowsTheExampleCoupler(QStringLiteral("127.0.0.6"));
    }
};

RIVUDO_TEST_MAIN(TestFakeRoad)
#include "tst_fakeroad.moc"
