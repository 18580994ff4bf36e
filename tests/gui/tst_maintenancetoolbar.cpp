#include "dhcpdialog.h"
#include "firmwaredialog.h"
#include "mainwindow.h"
#include "module.h"
#include "platformlists.h"
#include "promptrecorder.h"
#include "restoresetdialog.h"
#include "tempappdir.h"
#include "testsupport.h"
#include "ui_firmwaredialog.h"

#include <QPushButton>

using TestSupport::child;

// The toolbar's maintenance buttons each run their dialog modally and delete it afterwards.
class TestMaintenanceToolbar : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { PlatformLists::setLocalAddresses({}); }
    void cleanupTestCase() { PlatformLists::reset(); }

    void buttonsOpenTheirDialogs_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("firmware") << "pushButton_Firmware"
                                  << "FirmwareDialog";
        QTest::newRow("factory tool") << "pushButton_rev"
                                      << "RestoresetDialog";
        QTest::newRow("dhcp") << "pushButton_dhcp"
                              << "dhcpDialog";
    }

    void buttonsOpenTheirDialogs()
    {
        QFETCH(QString, button);
        QFETCH(QString, dialog);
        TempAppDir dir(true);
        MainWindow w;
        auto *m = new module("RVE-C100", "RVE");
        m->setIP("192.168.0.7");
        m->ModuleShowName = "RVE-C100";
        w.addModule(m);
        PromptRecorder prompts;
        QPointer<QDialog> shown;
        QStringList firmwareRows;
        prompts.onExec = [&](QDialog *d) {
            shown = d;
            if (auto *f = qobject_cast<FirmwareDialog *>(d)) {
                for (int row = 0; row < f->form()->tableWidget->rowCount(); ++row)
                    firmwareRows << f->form()->tableWidget->item(row, 1)->text();
            }
            return int(QDialog::Rejected);
        };
        auto *b = child<QPushButton>(&w, button.toLatin1().constData());
        b->setEnabled(true);
        b->click();
        QCOMPARE(prompts.dialogsRun, QStringList { dialog });
        QVERIFY(shown.isNull());
        if (dialog == "FirmwareDialog")
            QCOMPARE(firmwareRows, QStringList { "192.168.0.7" });
    }
};

RIVUDO_TEST_MAIN(TestMaintenanceToolbar)
#include "tst_maintenancetoolbar.moc"
