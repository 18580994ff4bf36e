#include "formio.h"
#include "io_monitor_curve_dialog.h"
#include "iopoint.h"
#include "iopointdelegate.h"
#include "modalcloser.h"
#include "module.h"
#include "promptrecorder.h"
#include "submodule.h"
#include "tempappdir.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <memory>

namespace {
const char description[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<ModuleParameter>
  <ModuleList>
    <Module ModuleName="IO-1" ModuleShowName="IO-1" Text="test">
      <Param Len="0"/>
      <menu><Page menuname="I/O"/></menu>
    </Module>
    <Module ModuleName="IO-SUB" ModuleShowName="IO-SUB" Text="sub">
      <Param Len="0"/>
      <menu><Page menuname="I/O"/></menu>
    </Module>
  </ModuleList>
</ModuleParameter>
)";

using Step = QPair<int, int>; // (row, data type)

QStringList addresses(QTreeWidget *tree)
{
    QStringList out;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        out << tree->topLevelItem(i)->text(0);
    return out;
}

QStringList pointAddresses(const module &m)
{
    QStringList out;
    for (const IoPoint *p : m.ioPoints)
        out << p->address;
    return out;
}
}

class TestFormIO : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempAppDir> dir;
    std::unique_ptr<module> mod;
    FormIO *page = nullptr;

    QTreeWidget *tree() { return TestSupport::child<QTreeWidget>(page, "treeWidget"); }
    // The control of a cell exists while the cell is edited: the cell becomes current and is edited.
    QWidget *editor(QTreeWidgetItem *item, int column)
    {
        tree()->setCurrentItem(item, column);
        if (!tree()->itemWidget(item, column))
            tree()->editItem(item, column);
        return tree()->itemWidget(item, column);
    }
    QComboBox *combo(int row, int column)
    {
        return qobject_cast<QComboBox *>(editor(tree()->topLevelItem(row), column));
    }
    QSpinBox *spin(int row) { return qobject_cast<QSpinBox *>(editor(tree()->topLevelItem(row), 4)); }
    bool checked(QTreeWidgetItem *item, int column) { return item->data(column, IoTable::CheckedRole).toBool(); }
    // A click of the user on a cell of the shown table (check boxes and bit buttons have no
    // control of their own).
    void click(QTreeWidgetItem *item, int column)
    {
        if (!page->isVisible()) {
            page->resize(1000, 600);
            page->show();
            QVERIFY(QTest::qWaitForWindowExposed(page));
        }
        if (item->parent())
            item->parent()->setExpanded(true);
        tree()->scrollToItem(item);
        QHeaderView *header = tree()->header();
        const QRect row = tree()->visualItemRect(item);
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, row.center().y());
        QVERIFY(tree()->viewport()->rect().contains(at));
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
    // The page on screen and active, as the user sees it; editors then lose their focus to a box.
    void showActive()
    {
        page->resize(1000, 600);
        page->show();
        QApplication::setActiveWindow(page);
        QVERIFY(QTest::qWaitForWindowActive(page));
    }
    void makeModule(int inputs, int outputs)
    {
        mod.reset(new module("IO-1", "IOT"));
        mod->inlen = QString::number(inputs);
        mod->outlen = QString::number(outputs);
        mod->buildIoPoints();
        page = qobject_cast<FormIO *>(mod->pageList.value(0));
        QVERIFY(page);
        page->updatePage();
    }

private slots:
    void init()
    {
        dir.reset(new TempAppDir(false));
        QVERIFY(dir->write("/ModuleParameter/IOT/ModuleParameter.xml", description));
    }
    void cleanup()
    {
        mod.reset();
        dir.reset();
    }

    void buildsOneRowPerPoint()
    {
        makeModule(2, 1);
        QCOMPARE(page->title, QStringLiteral("监控表"));
        QCOMPARE(addresses(tree()), QStringList({ "%IB0", "%IB1", "%QB0" }));
        QVERIFY(!spin(0));
        QSpinBox *out = spin(2);
        QVERIFY(out);
        QCOMPARE(out->minimum(), 0);
        QCOMPARE(out->maximum(), 255);
        QCOMPARE(out->prefix(), QStringLiteral("0"));
        QVERIFY(checked(tree()->topLevelItem(2), 6));
        QVERIFY(!tree()->topLevelItem(0)->data(6, IoTable::CheckedRole).isValid());
        QCOMPARE(combo(2, 5)->currentText(), QStringLiteral("不交换"));
        QCOMPARE(combo(0, 1)->currentText(), QStringLiteral("USINT"));
        QCOMPARE(combo(0, 2)->currentText(), QStringLiteral("10进制"));
        QVERIFY(TestSupport::child<QPushButton>(page, "pushButton")->isEnabled());
        QVERIFY(!TestSupport::child<QPushButton>(page, "pushButton_write")->isEnabled());
    }

    void subModulePageStaysEmpty()
    {
        makeModule(2, 1);
        submodule *sub = mod->addSubmodule("IO-SUB", "IOT", 1);
        QVERIFY(sub);
        auto *subPage = qobject_cast<FormIO *>(sub->pageList.value(0));
        QVERIFY(subPage);
        subPage->updatePage();
        // Nothing to show builds nothing; its widgets come with its first show.
        QVERIFY(!subPage->isBuilt());
        subPage->ensureBuilt();
        QCOMPARE(TestSupport::child<QTreeWidget>(subPage, "treeWidget")->topLevelItemCount(), 0);
        QVERIFY(!TestSupport::child<QPushButton>(subPage, "pushButton")->isEnabled());
    }

    void dataTypeChanges_data()
    {
        QTest::addColumn<int>("inputs");
        QTest::addColumn<QList<Step>>("before");
        QTest::addColumn<Step>("step");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("error");
        const QList<Step> none;
        QTest::newRow("merge UINT") << 2 << none << Step(0, 1) << QStringList({ "%IW0", "%QB0" }) << QString();
        QTest::newRow("last input too short")
            << 2 << none << Step(1, 1) << QStringList({ "%IB0", "%IB1", "%QB0" }) << QStringLiteral("地址长度不够");
        QTest::newRow("no row below") << 2 << none << Step(2, 1) << QStringList({ "%IB0", "%IB1", "%QB0" })
                                      << QStringLiteral("地址长度不够");
        QTest::newRow("UDINT over IW1 IB3")
            << 4 << QList<Step> { { 1, 1 } } << Step(0, 2) << QStringList({ "%ID0", "%QB0" }) << QString();
        QTest::newRow("UDINT over IW1 IW3 conflicts")
            << 5 << QList<Step> { { 1, 1 }, { 2, 1 } } << Step(0, 2) << QStringList({ "%IB0", "%IW1", "%IW3", "%QB0" })
            << QStringLiteral("地址冲突");
        QTest::newRow("split ID0") << 4 << QList<Step> { { 0, 2 } } << Step(0, 0)
                                   << QStringList({ "%IB0", "%IB1", "%IB2", "%IB3", "%QB0" }) << QString();
        QTest::newRow("split ID0 to UINT") << 4 << QList<Step> { { 0, 5 } } << Step(0, 4)
                                           << QStringList({ "%IW0", "%IB2", "%IB3", "%QB0" }) << QString();
        QTest::newRow("same size: type only")
            << 2 << none << Step(0, 3) << QStringList({ "%IB0", "%IB1", "%QB0" }) << QString();
    }
    void dataTypeChanges()
    {
        QFETCH(int, inputs);
        QFETCH(QList<Step>, before);
        QFETCH(Step, step);
        QFETCH(QStringList, rows);
        QFETCH(QString, error);
        makeModule(inputs, 1);
        PromptRecorder prompts;
        for (const Step &s : before)
            combo(s.first, 1)->setCurrentIndex(s.second);
        QVERIFY(prompts.messages.isEmpty());
        const int formerType = combo(step.first, 1)->currentIndex();
        combo(step.first, 1)->setCurrentIndex(step.second);
        QCOMPARE(addresses(tree()), rows);
        // The module's points follow the table, inputs first.
        QCOMPARE(pointAddresses(*mod), rows);
        // A warning opens once the editor's signal is over.
        Prompts::showPending();
        if (error.isEmpty()) {
            QVERIFY(prompts.messages.isEmpty());
            QCOMPARE(combo(step.first, 1)->currentIndex(), step.second);
            QCOMPARE(mod->ioPoints.at(step.first)->dataType, step.second);
            QCOMPARE(combo(step.first, 2)->currentIndex(), 0);
        } else {
            QCOMPARE(prompts.messages.size(), 1);
            QCOMPARE(prompts.lastCaption(), QStringLiteral("错误"));
            QCOMPARE(prompts.lastText(), error);
            QCOMPARE(combo(step.first, 1)->currentIndex(), formerType);
        }
        // Every new row is a plain byte.
        for (int i = 0; i < tree()->topLevelItemCount(); ++i) {
            const IoPoint *p = mod->ioPoints.at(i);
            QCOMPARE(combo(i, 1)->currentIndex(), p->dataType);
            QCOMPARE(p->size, combo(i, 1)->currentData().toInt());
        }
    }

    // A refused type change warns in a real box. The box takes the focus, so the table closes and
    // deletes the type editor while the box is open; nothing may reach that editor afterwards.
    void refusedTypeChangeSurvivesARealBox_data()
    {
        QTest::addColumn<int>("inputs");
        QTest::addColumn<QList<Step>>("before");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("error");
        QTest::addColumn<bool>("fromList");
        for (bool fromList : { false, true }) {
            const char *how = fromList ? "chosen in the list" : "stepped by key";
            QTest::addRow("last input too short, %s", how)
                << 2 << QList<Step>() << 1 << QStringList({ "%IB0", "%IB1", "%QB0" }) << QStringLiteral("地址长度不够")
                << fromList;
            QTest::addRow("next point would be cut, %s", how)
                << 3 << QList<Step> { { 1, 1 } } << 0 << QStringList({ "%IB0", "%IW1", "%QB0" })
                << QStringLiteral("地址冲突") << fromList;
        }
    }
    void refusedTypeChangeSurvivesARealBox()
    {
        QFETCH(int, inputs);
        QFETCH(QList<Step>, before);
        QFETCH(int, row);
        QFETCH(QStringList, rows);
        QFETCH(QString, error);
        QFETCH(bool, fromList);
        makeModule(inputs, 1);
        for (const Step &s : before)
            combo(s.first, 1)->setCurrentIndex(s.second);
        showActive();
        QTreeWidgetItem *item = tree()->topLevelItem(row);
        const int formerType = mod->ioPoints.at(row)->dataType;
        QPointer<QComboBox> type;
        if (fromList) {
            click(item, 1);
            type = qobject_cast<QComboBox *>(tree()->itemWidget(item, 1));
            QVERIFY(type);
            QTRY_VERIFY(type->view()->isVisible());
        } else {
            type = combo(row, 1);
            QVERIFY(type);
            type->setFocus();
            QTRY_VERIFY(type->hasFocus());
        }

        ModalCloser boxes;
        // The user moves on to the next, wider type: in the open list, or on the closed choice.
        if (fromList) {
            QTest::keyClick(type->view(), Qt::Key_Down);
            QTest::keyClick(type->view(), Qt::Key_Return);
        } else {
            QTest::keyClick(type, Qt::Key_Down);
        }
        QTRY_COMPARE(boxes.closed.size(), 1);
        QCOMPARE(boxes.closed.first().className, QStringLiteral("QMessageBox"));
        QCOMPARE(boxes.closed.first().caption, QStringLiteral("错误"));
        QCOMPARE(boxes.closed.first().text, error);
        QCOMPARE(boxes.deepest, 1);
        // The box took the editor with it; the table and the points are as they were.
        QTRY_VERIFY(type.isNull());
        QCOMPARE(addresses(tree()), rows);
        QCOMPARE(pointAddresses(*mod), rows);
        QCOMPARE(mod->ioPoints.at(row)->dataType, formerType);
        QCOMPARE(item->text(1), combo(row, 1)->itemText(formerType));
        QCOMPARE(combo(row, 1)->currentIndex(), formerType);
        QCOMPARE(boxes.closed.size(), 1);
    }

    void sameSizeKeepsModifyRange()
    {
        makeModule(1, 1);
        combo(1, 1)->setCurrentIndex(3); // USINT to SINT
        QCOMPARE(mod->ioPoints.at(1)->dataType, 3);
        QCOMPARE(spin(1)->minimum(), 0);
        QCOMPARE(spin(1)->maximum(), 255);
    }

    void valueFormats()
    {
        makeModule(1, 0);
        combo(0, 1)->setCurrentIndex(3); // SINT
        IoPoint *p = mod->ioPoints.at(0);
        p->value = 200;
        page->refreshPoint(p);
        QTreeWidgetItem *row = tree()->topLevelItem(0);
        QCOMPARE(row->text(3), QStringLiteral("-56"));
        combo(0, 2)->setCurrentIndex(1);
        QCOMPARE(row->text(3), QStringLiteral("c8"));
        combo(0, 2)->setCurrentIndex(2);
        QCOMPARE(row->text(3), QStringLiteral("2#11001000"));
        QCOMPARE(row->childCount(), 8);
        QStringList bits;
        for (int i = 0; i < 8; ++i)
            bits << row->child(i)->text(3);
        QCOMPARE(bits, QStringList({ "FALSE", "FALSE", "FALSE", "TRUE", "FALSE", "FALSE", "TRUE", "TRUE" }));
        QCOMPARE(row->child(7)->text(0), QStringLiteral("I0.7"));
    }

    void bitButtonsOfAnOutput()
    {
        makeModule(0, 2);
        combo(0, 1)->setCurrentIndex(1); // UINT output at byte 0
        combo(0, 2)->setCurrentIndex(2);
        QTreeWidgetItem *row = tree()->topLevelItem(0);
        QCOMPARE(row->childCount(), 16);
        QCOMPARE(row->child(0)->text(0), QStringLiteral("Q0.0"));
        QCOMPARE(row->child(15)->text(0), QStringLiteral("Q0.15"));
        QVERIFY(spin(0)->isReadOnly());
        QCOMPARE(row->child(3)->text(4), QStringLiteral("False"));
        click(row->child(3), 4);
        QCOMPARE(row->child(3)->text(4), QStringLiteral("True"));
        QVERIFY(checked(row->child(3), 4));
        QCOMPARE(spin(0)->value(), 8);
        combo(0, 2)->setCurrentIndex(0);
        QCOMPARE(row->childCount(), 0);
        QVERIFY(!spin(0)->isReadOnly());
        QCOMPARE(spin(0)->value(), 8);
    }

    // The spin box of a SINT holds -127..127: the bit pattern 0x80 must still be written.
    void signedBitPatternIsWrittenWhole()
    {
        makeModule(0, 1);
        combo(0, 1)->setCurrentIndex(3); // SINT
        combo(0, 2)->setCurrentIndex(2);
        QTreeWidgetItem *row = tree()->topLevelItem(0);
        click(row->child(7), 4);
        TestSupport::child<QPushButton>(page, "pushButton_write")->setEnabled(true);
        TestSupport::child<QPushButton>(page, "pushButton_write")->click();
        QCOMPARE(mod->ioPoints.at(0)->writeValue, 0x80);
        QCOMPARE(page->buildPollFrame(), QByteArray::fromHex("a50001805a"));
    }

    void writeRidesThreePolls_data()
    {
        QTest::addColumn<bool>("swap");
        QTest::addColumn<QByteArray>("poll");
        QTest::newRow("low byte first") << false
                                        << QByteArray::fromHex("a50002"
                                                               "3412"
                                                               "5a");
        QTest::newRow("swapped") << true
                                 << QByteArray::fromHex("a50002"
                                                        "1234"
                                                        "5a");
    }
    void writeRidesThreePolls()
    {
        QFETCH(bool, swap);
        QFETCH(QByteArray, poll);
        makeModule(0, 2);
        combo(0, 1)->setCurrentIndex(1);
        combo(0, 5)->setCurrentIndex(swap ? 1 : 0);
        QCOMPARE(mod->ioPoints.at(0)->swap, swap);
        QCOMPARE(page->buildPollFrame(), QByteArray::fromHex("a500005a"));
        spin(0)->setValue(0x1234);
        page->on_pushButton_write_clicked();
        QCOMPARE(page->buildPollFrame(), poll);
        QCOMPARE(page->buildPollFrame(), poll);
        QCOMPARE(page->buildPollFrame(), poll);
        QCOMPARE(page->buildPollFrame(), QByteArray::fromHex("a500005a"));
    }

    void uncheckedOutputKeepsItsWriteValue()
    {
        makeModule(0, 2);
        spin(0)->setValue(5);
        spin(1)->setValue(6);
        page->on_pushButton_write_clicked();
        click(tree()->topLevelItem(1), 6);
        QVERIFY(!checked(tree()->topLevelItem(1), 6));
        spin(0)->setValue(7);
        spin(1)->setValue(8);
        page->on_pushButton_write_clicked();
        QCOMPARE(page->buildPollFrame(),
            QByteArray::fromHex("a50002"
                                "0706"
                                "5a"));
    }

    void descriptionAndRebuildKeepChoices()
    {
        makeModule(2, 0);
        combo(0, 1)->setCurrentIndex(1);
        qobject_cast<QLineEdit *>(editor(tree()->topLevelItem(0), 7))->setText("level");
        page->updatePage();
        QCOMPARE(addresses(tree()), QStringList({ "%IW0" }));
        QCOMPARE(combo(0, 1)->currentText(), QStringLiteral("UINT"));
        QCOMPARE(tree()->topLevelItem(0)->text(7), QStringLiteral("level"));
        QCOMPARE(qobject_cast<QLineEdit *>(editor(tree()->topLevelItem(0), 7))->text(), QStringLiteral("level"));
    }

    void noLinkForAModuleWithoutConnection()
    {
        makeModule(1, 1);
        mod->connType = modulebase::CONNEST_NONE;
        auto *button = TestSupport::child<QPushButton>(page, "pushButton");
        button->click();
        QVERIFY(!button->isChecked());
        QVERIFY(!page->connected);
        QCOMPARE(TestSupport::child<QLabel>(page, "label_state")->text(), QStringLiteral("连接失败"));
        QVERIFY(!TestSupport::child<QPushButton>(page, "pushButton_write")->isEnabled());
    }

    // A coupler whose process image is empty: the connect button says there is nothing to monitor.
    void emptyImageSaysThereIsNothingToMonitor()
    {
        makeModule(0, 0);
        QCOMPARE(tree()->topLevelItemCount(), 0);
        PromptRecorder prompts;
        auto *button = TestSupport::child<QPushButton>(page, "pushButton");
        QVERIFY(button->isEnabled());
        button->click();
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.lastText(), QStringLiteral("该模块的过程映像为空，没有可监控的I/O点"));
        QVERIFY(!button->isChecked());
        QVERIFY(!page->connected);
        QCOMPARE(button->text(), QStringLiteral("打开"));
        QCOMPARE(TestSupport::child<QLabel>(page, "label_state")->text(), QStringLiteral("未连接"));
        QVERIFY(!TestSupport::child<QPushButton>(page, "pushButton_write")->isEnabled());
    }

    // Rows carry no controls: a table of thousands of points holds one editor at most, for the
    // cell being edited, and a rebuild leaves none behind.
    void onlyTheEditedCellHasAControl()
    {
        makeModule(300, 300);
        QCOMPARE(tree()->topLevelItemCount(), 600);
        const auto controls = [this] {
            return tree()->viewport()->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly).size();
        };
        QCOMPARE(controls(), 0);
        QVERIFY(combo(450, 1));
        QVERIFY(spin(450));
        QVERIFY(editor(tree()->topLevelItem(451), 7));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(controls(), 1);
        page->updatePage();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(controls(), 0);
        QCOMPARE(tree()->topLevelItemCount(), 600);
    }

    // A click on a choice cell opens its list at once, as on the combo box the cell shows.
    void clickOpensTheChoiceList()
    {
        makeModule(1, 1);
        QTreeWidgetItem *row = tree()->topLevelItem(1);
        click(row, 5);
        auto *swap = qobject_cast<QComboBox *>(tree()->itemWidget(row, 5));
        QVERIFY(swap);
        QTRY_VERIFY(swap->view()->isVisible());
        swap->hidePopup();
        swap->setCurrentIndex(1);
        QVERIFY(mod->ioPoints.at(1)->swap);
        QCOMPARE(row->text(5), QStringLiteral("交换"));
    }

    // A language change renames every row's format and swap choices and keeps what they hold.
    void retranslateRenamesTheChoices()
    {
        makeModule(1, 1);
        combo(1, 2)->setCurrentIndex(1);
        combo(1, 5)->setCurrentIndex(1);
        QTreeWidgetItem *input = tree()->topLevelItem(0);
        QTreeWidgetItem *output = tree()->topLevelItem(1);
        {
            TestSupport::Language english(QStringLiteral(":/res/language/en_US.qm"));
            page->retranslate(1);
            QCOMPARE(input->text(2), QStringLiteral("DEC"));
            QCOMPARE(input->text(5), QStringLiteral("No Swap"));
            QCOMPARE(output->text(2), QStringLiteral("HEX"));
            QCOMPARE(output->text(5), QStringLiteral("Swap"));
            QComboBox *format = combo(1, 2);
            QCOMPARE(format->currentIndex(), 1);
            QCOMPARE(format->itemText(2), QStringLiteral("BIN"));
        }
        page->retranslate(0);
        QCOMPARE(output->text(2), QStringLiteral("16进制"));
        QCOMPARE(output->text(5), QStringLiteral("交换"));
        QCOMPARE(mod->ioPoints.at(1)->format, 1);
        QVERIFY(mod->ioPoints.at(1)->swap);
    }

    void enableBoxToggles_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("click") << false;
        QTest::newRow("space key") << true;
    }
    void enableBoxToggles()
    {
        QFETCH(bool, byKey);
        makeModule(0, 1);
        QTreeWidgetItem *row = tree()->topLevelItem(0);
        for (bool expected : { false, true }) {
            if (byKey) {
                tree()->setCurrentItem(row, 6);
                QTest::keyClick(tree(), Qt::Key_Space);
            } else {
                click(row, 6);
            }
            QCOMPARE(checked(row, 6), expected);
        }
        // No control is made for the box.
        QVERIFY(!tree()->itemWidget(row, 6));
    }

    void mergedAwayPointLeavesTheCurves()
    {
        makeModule(3, 0);
        page->on_pushButton_2_clicked();
        QPointer<IO_Monitor_Curve_Dialog> dialog = page->curves();
        QVERIFY(dialog);
        QVERIFY(!TestSupport::child<QPushButton>(page, "pushButton_2")->isEnabled());
        auto *list = TestSupport::child<QTreeWidget>(dialog, "treeWidget");
        list->topLevelItem(1)->setCheckState(0, Qt::Checked);
        dialog->on_treeWidget_itemClicked(list->topLevelItem(1), 0);
        QCOMPARE(dialog->recorded.size(), 1);
        combo(0, 1)->setCurrentIndex(1); // %IB1 merges into %IW0
        QVERIFY(dialog->recorded.isEmpty());
        QVERIFY(dialog->chosen.isEmpty());
        dialog->updatavalue(); // must not touch the deleted point

        dialog->close();
        QVERIFY(page->curves() == nullptr);
        QVERIFY(TestSupport::child<QPushButton>(page, "pushButton_2")->isEnabled());
        QTRY_VERIFY(dialog.isNull());
    }

    void deletingTheModuleClosesTheCurves()
    {
        makeModule(2, 0);
        page->on_pushButton_2_clicked();
        QPointer<IO_Monitor_Curve_Dialog> dialog = page->curves();
        QVERIFY(dialog);
        mod.reset();
        QVERIFY(dialog.isNull());
    }
};

RIVUDO_TEST_MAIN(TestFormIO)
#include "tst_formio.moc"
