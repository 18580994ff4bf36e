#include "io_monitor_curve_dialog.h"
#include "iopoint.h"
#include "module.h"
#include "promptrecorder.h"
#include "tempappdir.h"
#include "testsupport.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QTreeWidget>
#include <memory>

namespace {
const char description[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<ModuleParameter>
  <ModuleList>
    <Module ModuleName="IO-1" ModuleShowName="IO-1" Text="test">
      <Param Len="0"/>
      <menu/>
    </Module>
  </ModuleList>
</ModuleParameter>
)";
}

class TestIoCurveDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempAppDir> dir;
    std::unique_ptr<module> mod;
    std::unique_ptr<IO_Monitor_Curve_Dialog> dialog;

    QTreeWidget *list() { return TestSupport::child<QTreeWidget>(dialog.get(), "treeWidget"); }
    void check(QList<int> rows, bool on = true)
    {
        for (int r : rows)
            list()->topLevelItem(r)->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
        dialog->on_treeWidget_itemClicked(list()->topLevelItem(rows.value(0)), 0);
    }
    QStringList comboTexts(const char *name)
    {
        auto *c = TestSupport::child<QComboBox>(dialog.get(), name);
        QStringList out;
        for (int i = 0; i < c->count(); ++i)
            out << c->itemText(i);
        return out;
    }

private slots:
    void init()
    {
        dir.reset(new TempAppDir(false));
        QVERIFY(dir->write("/ModuleParameter/IOT/ModuleParameter.xml", description));
        mod.reset(new module("IO-1", "IOT"));
        mod->inlen = "20";
        mod->outlen = "2";
        mod->buildIoPoints();
        dialog.reset(new IO_Monitor_Curve_Dialog);
        dialog->setModule(mod.get());
    }
    void cleanup()
    {
        dialog.reset();
        mod.reset();
        dir.reset();
    }

    void listsInputsOnly()
    {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("变量曲线"));
        QCOMPARE(list()->topLevelItemCount(), 20);
        QCOMPARE(list()->topLevelItem(2)->text(0), QStringLiteral("%IB2"));
    }

    void chosenCurvesAndReadout()
    {
        check({ 0, 2 });
        MultiCurvesPlot *plot = dialog->plot();
        QCOMPARE(plot->graphCount(), 2);
        QCOMPARE(plot->graph(0)->name(), QStringLiteral("%IB0"));
        QCOMPARE(plot->graph(1)->name(), QStringLiteral("%IB2"));
        QVERIFY(dialog->findChild<QLineEdit *>("curve_lineEdit_0"));
        QVERIFY(dialog->findChild<QLineEdit *>("curve_lineEdit_2"));
        QCOMPARE(comboTexts("comboBox_diff1"), QStringList({ "%IB0", "%IB2" }));
        QCOMPARE(comboTexts("comboBox_diff2"), QStringList({ "%IB0", "%IB2" }));
        // Old read-out rows go with their layouts.
        check({ 0 }, false);
        check({ 0 });
        QCOMPARE(dialog->findChildren<QHBoxLayout *>("curve_Layout").size(), 2);
        QCOMPARE(dialog->findChildren<QLineEdit *>(QRegularExpression("^curve_lineEdit_")).size(), 2);
    }

    void ninthCurveRefused()
    {
        PromptRecorder prompts;
        check({ 0, 1, 2, 3, 4, 5, 6, 7, 8 });
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.lastCaption(), QStringLiteral("错误"));
        QCOMPARE(prompts.lastText(), QStringLiteral("超过最大监控数量"));
        QCOMPARE(dialog->plot()->graphCount(), 8);
        QCOMPARE(list()->topLevelItem(8)->checkState(0), Qt::Checked);
    }

    // Curves are given per recorded row, so inputs below row 16 are plotted too.
    void rowsBeyondSixteenArePlotted()
    {
        check({ 17, 19 });
        QCOMPARE(dialog->plot()->graphCount(), 2);
        mod->ioPoints.at(17)->value = 5;
        mod->ioPoints.at(19)->value = 0xFFFF; // an INT of -1 plots raw
        dialog->updatavalue();
        const int c17 = dialog->curveOfRow(17);
        const int c19 = dialog->curveOfRow(19);
        QVERIFY(c17 >= 0 && c17 < 16 && c19 >= 0 && c19 < 16 && c17 != c19);
        QCOMPARE(dialog->plot()->history(c17).second, QVector<double>({ 5 }));
        QCOMPARE(dialog->plot()->history(c19).second, QVector<double>({ 65535 }));
    }

    void uncheckedInputsKeepRecording()
    {
        check({ 0, 2 });
        dialog->updatavalue();
        check({ 2 }, false);
        QCOMPARE(dialog->plot()->graphCount(), 1);
        mod->ioPoints.at(2)->value = 9;
        dialog->updatavalue();
        check({ 2 });
        QCOMPARE(dialog->plot()->graphCount(), 2);
        QCOMPARE(dialog->plot()->graph(1)->dataCount(), 2);
    }

    void valueAxisEdits()
    {
        auto *yRange = TestSupport::child<QLineEdit>(dialog.get(), "lineEdit_Y");
        auto *yMin = TestSupport::child<QLineEdit>(dialog.get(), "lineEdit_YMIN");
        QCPAxis *y = dialog->plot()->yAxis;
        yRange->setText("20");
        QCOMPARE(y->range().upper, 20.0);
        yMin->setText("50");
        QCOMPARE(y->range().lower, 0.0);
        yMin->setText("5");
        QCOMPARE(y->range().lower, 5.0);
        yRange->setText("0");
        QCOMPARE(yRange->text(), QStringLiteral("自动"));
        yRange->setText("");
        QCOMPARE(yRange->text(), QStringLiteral("自动"));
        QCOMPARE(y->range().upper, 20.0);
    }

    void cursorDifference()
    {
        check({ 0, 2 });
        auto *panel = TestSupport::child<QWidget>(dialog.get(), "widget_show");
        auto *box = TestSupport::child<QCheckBox>(dialog.get(), "checkBox");
        box->setChecked(true);
        QVERIFY(panel->isEnabled());
        QVERIFY(dialog->plot()->isTracerShown());
        dialog->getTracer_Data({ dialog->curveOfRow(0), 1.7e9, 7 });
        dialog->getTracer_Data({ dialog->curveOfRow(2), 1.7e9, 3 });
        QCOMPARE(dialog->findChild<QLineEdit *>("curve_lineEdit_0")->text(), QStringLiteral("7.0"));
        QCOMPARE(dialog->findChild<QLineEdit *>("curve_lineEdit_2")->text(), QStringLiteral("3.0"));
        auto *diff1 = TestSupport::child<QComboBox>(dialog.get(), "comboBox_diff1");
        auto *diff2 = TestSupport::child<QComboBox>(dialog.get(), "comboBox_diff2");
        auto *value = TestSupport::child<QLineEdit>(dialog.get(), "lineEdit_value");
        diff1->setCurrentIndex(0);
        diff2->setCurrentIndex(1);
        QCOMPARE(value->text(), QStringLiteral("4.0"));
        diff2->setCurrentIndex(0);
        QCOMPARE(value->text(), QStringLiteral("0.0"));
        box->setChecked(false);
        QVERIFY(!panel->isEnabled());
    }
};

RIVUDO_TEST_MAIN(TestIoCurveDialog)
#include "tst_iocurvedialog.moc"
