#include "cataloginfoform.h"
#include "iolinkdevicelistdialog.h"
#include "ioutlinkblock.h"
#include "ioutlinkform.h"
#include "ioutlinktestdata.h"
#include "module.h"
#include "moduleslot.h"
#include "promptrecorder.h"
#include "tempappdir.h"
#include "testsupport.h"
#include "ui_cataloginfoform.h"
#include "ui_iolinkdevicelistdialog.h"
#include "ui_ioutlinkform.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTreeWidget>
#include <memory>

namespace {

const QString red = QStringLiteral("#ee6363");
const QString blue = QStringLiteral("#b0c4de");

IoutlinkRecord rec(const QString &name, const QString &ip, int slot, int subSlot, int in, int out, quint32 scan = 0)
{
    return IoutlinkTestData::record(name, ip, slot, subSlot, in, out, 0, scan);
}

using IoutlinkTestData::linkPage;
using IoutlinkTestData::rowTexts;
using IoutlinkTestData::station;

QString colourOf(QTreeWidgetItem *row, int column)
{
    const QBrush b = row->background(column);
    return b.style() == Qt::NoBrush ? QString() : b.color().name();
}

// A remote link coupler at 10.0.0.7 of the example set, with its page.
struct Fixture
{
    TempAppDir dir { true };
    std::unique_ptr<::module> coupler;
    IOutlinkForm *page = nullptr;
    QTreeWidget *tree = nullptr;

    Fixture()
    {
        coupler.reset(new ::module("RVE-C110", "RVE"));
        coupler->setIP("10.0.0.7");
        page = linkPage(coupler.get());
        if (page)
            tree = page->ui->treeWidget;
    }
    QTreeWidgetItem *row(int i) const { return tree->topLevelItem(i); }
};

// Type ids of the example sub-module map; couplers have none.
QVector<IoutlinkStation> withTypeIds(QVector<IoutlinkStation> stations)
{
    const QMap<QString, quint32> ids { { "KTL-D8", 201 }, { "KTL-A2", 202 }, { "RV-DI16", 101 }, { "RV-DO16", 102 },
        { "RV-AI4", 111 } };
    for (IoutlinkStation &s : stations) {
        s.module.typeId = ids.value(s.module.name, 0xFFFF);
        for (IoutlinkRecord &sub : s.subs)
            sub.typeId = ids.value(sub.name, 0xFFFF);
    }
    return stations;
}

// Three modules: KTL-C10 with KTL-D8 and KTL-A2, RVE-C100 with three RV modules, KTL-C10 alone.
QByteArray threeStations()
{
    return encodeIoutlinkBlock(withTypeIds({ station(rec("KTL-C10", "10.0.0.1", 1, 0, 0, 0, 20),
                                                 { rec("KTL-D8", "", 1, 1, 1, 1), rec("KTL-A2", "", 1, 2, 4, 0) }),
        station(rec("RVE-C100", "10.0.0.2", 2, 0, 2, 2, 10),
            { rec("RV-DI16", "", 2, 1, 2, 0), rec("RV-DO16", "", 2, 2, 0, 2), rec("RV-AI4", "", 2, 3, 8, 0) }),
        station(rec("KTL-C10", "10.0.0.3", 3, 0, 0, 0, 20)) }));
}

} // namespace

class TestIoutlinkPage : public QObject
{
    Q_OBJECT

private slots:
    void remoteLinkCouplerHasThePage()
    {
        Fixture f;
        QVERIFY(f.page);
        QCOMPARE(f.page->title, QStringLiteral("IoutlinkConfig"));
        QCOMPARE(f.tree->columnCount(), 7);
        QCOMPARE(f.tree->headerItem()->text(6), QString::fromUtf8("扫描周期"));
        QCOMPARE(f.page->typeIdByName("RV-AI4"), 111);
        QCOMPARE(f.page->typeIdByName("RVE-C100"), 0xFFFF);
        QVERIFY(f.page->catalogue.isEmpty());
    }

    void blockThroughThePage()
    {
        Fixture f;
        const QByteArray block = threeStations();
        QCOMPARE(f.page->setParamData(block), block.size());
        QCOMPARE(f.tree->topLevelItemCount(), 3);
        QCOMPARE(rowTexts(f.row(0)), QStringList({ "KTL-C10", "1", "0", "10.0.0.1", "0", "0", "20" }));
        QCOMPARE(rowTexts(f.row(1)->child(2)), QStringList({ "RV-AI4", "2", "3", "", "8", "0", "" }));
        QCOMPARE(f.row(1)->childCount(), 3);
        QCOMPARE(IOutlinkForm::rowIcon(f.row(1)), QStringLiteral("v.png"));
        // Every record read is recorded, sub-modules under their module's entry.
        QCOMPARE(f.page->slotList.size(), 8);
        moduleslot *second = IOutlinkForm::entryOf(f.row(1));
        QCOMPARE(second->children.size(), 3);
        QCOMPARE(second->children.at(0)->typeId, 101);
        QCOMPARE(IOutlinkForm::entryOf(f.row(1)->child(0))->parent, second);

        // The block goes back as read (type ids from the page's map, 0xFFFF for couplers).
        const QByteArray written = f.page->getParamData();
        QCOMPARE(written.toHex(' '), block.toHex(' '));
        QCOMPARE(f.page->slotList.size(), 3);
        QCOMPARE(f.coupler->getParamData().mid(4), block);

        // Reading appends to the rows already there.
        f.page->setParamData(block.left(33));
        QCOMPARE(f.tree->topLevelItemCount(), 4);
        QCOMPARE(f.page->setParamData(QByteArray()), 0);
        QCOMPARE(f.tree->topLevelItemCount(), 4);
        QCOMPARE(f.page->setParamData(QByteArray(40, '\0')), 40);
        QCOMPARE(f.tree->topLevelItemCount(), 5);
    }

    void writingResetsEveryRow()
    {
        Fixture f;
        f.page->setParamData(threeStations());
        IOutlinkForm::entryOf(f.row(0))->modified = true;
        IOutlinkForm::entryOf(f.row(1))->removed = true;
        f.page->updateRowIcon(f.row(0));
        f.page->updateRowIcon(f.row(1));
        QCOMPARE(IOutlinkForm::rowIcon(f.row(0)), QStringLiteral("modify.png"));
        QCOMPARE(IOutlinkForm::rowIcon(f.row(1)), QStringLiteral("-.png"));
        f.page->getParamData();
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(IOutlinkForm::rowIcon(f.row(i)), QStringLiteral("v.png"));
            moduleslot *e = IOutlinkForm::entryOf(f.row(i));
            QVERIFY(!e->modified && !e->removed);
            QCOMPARE(f.page->slotList.at(i), e);
        }
    }

    void slotListForTheExport()
    {
        Fixture f;
        f.page->setParamData(threeStations());
        const QList<moduleslot *> list = f.page->getSlotList();
        QCOMPARE(list.size(), 3);
        QCOMPARE(list.at(1)->name, QStringLiteral("RVE-C100"));
        QCOMPARE(list.at(1)->ip, QStringLiteral("10.0.0.2"));
        QCOMPARE(list.at(1)->typeId, 0xFFFF);
        QCOMPARE(list.at(1)->children.size(), 3);
        QCOMPARE(list.at(1)->children.at(2)->typeId, 111);
        QCOMPARE(list.at(1)->children.at(2)->subSlot, 3);
        QCOMPARE(list.at(1)->children.at(2)->parent, list.at(1));
        QCOMPARE(f.coupler->collectSlotList(), 3);
        QCOMPARE(f.tree->topLevelItemCount(), 3);
    }

    void deletingRenumbers_data()
    {
        QTest::addColumn<int>("module");
        QTest::addColumn<int>("sub");
        QTest::addColumn<QStringList>("slotTexts");
        QTest::addColumn<QStringList>("subSlotsOfSecond");
        QTest::addColumn<QString>("iconOfSecond");
        QTest::newRow("module row 2 of 3") << 1 << -1 << QStringList({ "1:1,1", "2" }) << QStringList() << "";
        QTest::newRow("module row 1 of 3")
            << 0 << -1 << QStringList({ "1:1,1,1", "2" }) << QStringList({ "1", "2", "3" }) << "v.png";
        QTest::newRow("sub-module 1 of 3")
            << 1 << 0 << QStringList({ "1:1,1", "2:2,2", "3" }) << QStringList({ "1", "2" }) << "modify.png";
        QTest::newRow("sub-module 3 of 3")
            << 1 << 2 << QStringList({ "1:1,1", "2:2,2", "3" }) << QStringList({ "1", "2" }) << "modify.png";
    }
    void deletingRenumbers()
    {
        QFETCH(int, module);
        QFETCH(int, sub);
        QFETCH(QStringList, slotTexts);
        QFETCH(QStringList, subSlotsOfSecond);
        QFETCH(QString, iconOfSecond);
        Fixture f;
        f.page->setParamData(threeStations());
        QTreeWidgetItem *target = sub < 0 ? f.row(module) : f.row(module)->child(sub);
        f.tree->setCurrentItem(target);
        f.page->delitem(false);
        QStringList got;
        for (int i = 0; i < f.tree->topLevelItemCount(); ++i) {
            QString s = f.row(i)->text(1);
            QStringList subSlots;
            for (int j = 0; j < f.row(i)->childCount(); ++j)
                subSlots << f.row(i)->child(j)->text(1);
            if (!subSlots.isEmpty())
                s += ":" + subSlots.join(',');
            got << s;
        }
        QCOMPARE(got, slotTexts);
        if (sub >= 0) {
            QStringList subSlots;
            for (int j = 0; j < f.row(module)->childCount(); ++j)
                subSlots << f.row(module)->child(j)->text(2);
            QCOMPARE(subSlots, subSlotsOfSecond);
            QCOMPARE(IOutlinkForm::rowIcon(f.row(module)), iconOfSecond);
        }
    }

    void deletingTheOnlySubModuleKeepsTheFlags()
    {
        Fixture f;
        f.page->setParamData(encodeIoutlinkBlock(
            { station(rec("KTL-C10", "1.1.1.1", 1, 0, 0, 0, 5), { rec("KTL-D8", "", 1, 1, 1, 1) }) }));
        f.tree->setCurrentItem(f.row(0)->child(0));
        f.page->delitem(false);
        QCOMPARE(f.row(0)->childCount(), 0);
        QVERIFY(!IOutlinkForm::entryOf(f.row(0))->modified);
        QCOMPARE(IOutlinkForm::rowIcon(f.row(0)), QStringLiteral("v.png"));
        // Nothing current: nothing happens.
        f.tree->setCurrentItem(nullptr);
        f.page->delitem(false);
        QCOMPARE(f.tree->topLevelItemCount(), 1);
    }

    void contextMenuActsOnTheRowUnderTheCursor()
    {
        Fixture f;
        f.page->setParamData(threeStations());
        f.page->resize(1000, 500);
        f.page->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.page));
        f.tree->collapseAll();
        f.tree->setCurrentItem(f.row(0));
        // Below the last row there is nothing to act on.
        f.page->show_menu(QPoint(5, f.tree->viewport()->height() - 2));
        QVERIFY(!f.tree->findChild<QMenu *>());
        QCOMPARE(f.tree->currentItem(), f.row(0));

        const QPoint onThird = f.tree->visualItemRect(f.row(2)).center();
        f.page->show_menu(onThird);
        auto *menu = f.tree->findChild<QMenu *>();
        QVERIFY(menu);
        QCOMPARE(f.tree->currentItem(), f.row(2));
        QCOMPARE(menu->actions().size(), 1);
        QCOMPARE(menu->actions().first()->text(), QString::fromUtf8("删除"));
        menu->actions().first()->trigger();
        QCOMPARE(f.tree->topLevelItemCount(), 2);
        QCOMPARE(f.row(1)->text(3), QStringLiteral("10.0.0.2"));
        menu->close();
    }

    void editingAddresses()
    {
        Fixture f;
        f.page->setParamData(threeStations());
        QTreeWidgetItem *second = f.row(1);
        const QString normal = colourOf(f.row(0), 0);

        // No editor on a sub-module row or a length column.
        f.page->on_treeWidget_itemDoubleClicked(second->child(0), 3);
        f.page->on_treeWidget_itemDoubleClicked(second, 4);
        QVERIFY(!f.page->editorOpen);

        f.page->on_treeWidget_itemDoubleClicked(second, 3);
        QVERIFY(f.page->editorOpen);
        auto *editor = qobject_cast<QLineEdit *>(f.tree->itemWidget(second, 3));
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("10.0.0.2"));
        QCOMPARE(editor->styleSheet(), QStringLiteral("QLineEdit {border: 0.5px solid rgb(255, 255, 255)}"));
        int pos = 0;
        QString bad = "10.0.0.256";
        QCOMPARE(editor->validator()->validate(bad, pos), QValidator::Invalid);
        // One editor at a time.
        f.page->on_treeWidget_itemDoubleClicked(f.row(0), 6);
        QVERIFY(!f.tree->itemWidget(f.row(0), 6));

        // The current row moving elsewhere does not strand the editor.
        f.tree->setCurrentItem(f.row(2), 0);
        editor->setText("10.0.0.1");
        emit editor->editingFinished();
        QVERIFY(!f.page->editorOpen);
        QVERIFY(!f.tree->itemWidget(second, 3));
        QCOMPARE(second->text(3), QStringLiteral("10.0.0.1"));
        QCOMPARE(IOutlinkForm::rowIcon(second), QStringLiteral("modify.png"));
        QCOMPARE(colourOf(f.row(0), 3), red);
        QCOMPARE(colourOf(second, 3), red);
        QVERIFY(f.page->checkDuplicateIP());

        // A third address lifts both marks.
        f.page->on_treeWidget_itemDoubleClicked(second, 3);
        editor = qobject_cast<QLineEdit *>(f.tree->itemWidget(second, 3));
        editor->setText("10.0.0.9");
        emit editor->editingFinished();
        QCOMPARE(colourOf(f.row(0), 3), normal);
        QCOMPARE(colourOf(second, 3), normal);
        QVERIFY(!f.page->checkDuplicateIP());

        // Empty text leaves the cell; the scan cycle editor takes only 1..999999.
        f.page->on_treeWidget_itemDoubleClicked(second, 6);
        editor = qobject_cast<QLineEdit *>(f.tree->itemWidget(second, 6));
        QString zero = "0";
        QCOMPARE(editor->validator()->validate(zero, pos), QValidator::Invalid);
        editor->clear();
        emit editor->editingFinished();
        QCOMPARE(second->text(6), QStringLiteral("10"));
    }

    void threeRowsOfOneAddressAreAllMarked()
    {
        Fixture f;
        f.page->setParamData(
            encodeIoutlinkBlock({ station(rec("A", "1.1.1.1", 1, 0, 0, 0)), station(rec("B", "1.1.1.1", 2, 0, 0, 0)),
                station(rec("C", "1.1.1.1", 3, 0, 0, 0)), station(rec("D", "1.1.1.2", 4, 0, 0, 0)) }));
        QVERIFY(f.page->checkDuplicateIP());
        for (int i = 0; i < 3; ++i)
            QCOMPARE(colourOf(f.row(i), 3), red);
        QCOMPARE(colourOf(f.row(3), 3), QString());
    }

    void emptyAddressTakesTheCouplersNetwork()
    {
        Fixture f;
        f.page->setParamData(encodeIoutlinkBlock({ station(rec("A", "1.1.1.1", 1, 0, 0, 0)) }));
        auto *row = new QTreeWidgetItem(f.tree, QStringList({ "B", "4", "0", "", "0", "0", "10" }));
        Q_UNUSED(row);
        QVERIFY(f.page->checkDuplicateIP());
        QCOMPARE(f.row(1)->text(3), QStringLiteral("10.0.0.4"));
        QCOMPARE(colourOf(f.row(1), 3), red);
        QVERIFY(!f.page->checkDuplicateIP());
        QCOMPARE(colourOf(f.row(1), 3), QString());
    }

    void editorDialogTable()
    {
        Fixture f;
        f.page->setParamData(threeStations());
        f.page->readDeviceslist();
        QCOMPARE(f.page->catalogue.keys(), QStringList({ "KTL-C10", "RVE-C100" }));
        PromptRecorder prompts;
        IOlinkDevicelistDialog d;
        QVERIFY(d.windowFlags() & Qt::FramelessWindowHint);
        QList<moduleslot *> devices;
        for (int i = 0; i < 3; ++i) {
            moduleslot *e = IOutlinkForm::entryFromRow(f.row(i));
            for (int j = 0; j < f.row(i)->childCount(); ++j) {
                moduleslot *s = IOutlinkForm::entryFromRow(f.row(i)->child(j));
                s->parent = e;
                e->children.append(s);
                s->setParent(&d);
            }
            e->setParent(&d);
            devices << e;
        }
        d.setDevices(devices);
        d.setCatalogue(f.page->catalogue);
        QTreeWidget *rows = d.ui->treeWidget;
        QCOMPARE(rows->topLevelItemCount(), 33);
        QCOMPARE(rows->currentItem(), rows->topLevelItem(3));
        QCOMPARE(rows->headerItem()->text(6), QString::fromUtf8("扫描时间"));
        QCOMPARE(d.ui->treeWidgetsrc->topLevelItemCount(), 2);
        QTreeWidgetItem *ktlType = d.ui->treeWidgetsrc->topLevelItem(0);
        QCOMPARE(ktlType->text(0), QStringLiteral("KTL-C10"));

        d.on_treeWidgetsrc_itemClicked(ktlType, 0);
        QCOMPARE(d.ui->treeWidget_sub->topLevelItemCount(), 2);
        QCOMPARE(d.ui->widget_info->ui->lineEdit_name->text(), QStringLiteral("KTL-C10"));
        QCOMPARE(d.ui->widget_info->ui->lineEdit_descriptions->text(), QString::fromUtf8("紧凑型以太网耦合器"));
        QVERIFY(!d.ui->widget_info->ui->label_img->pixmap(Qt::ReturnByValue).isNull());

        // A module type fills the current row: slot from its place, the type's lengths and cycle.
        d.on_treeWidgetsrc_itemDoubleClicked(ktlType, 0);
        QCOMPARE(rowTexts(rows->topLevelItem(3)), QStringList({ "KTL-C10", "4", "0", "", "0", "0", "20" }));

        // Sub-module types: only under a module that lists them, and only up to its Maxslotnum (2).
        QTreeWidgetItem *d8 = d.ui->treeWidget_sub->topLevelItem(0);
        d.on_treeWidget_sub_itemDoubleClicked(d8, 0);
        d.on_treeWidget_sub_itemDoubleClicked(d8, 0);
        QCOMPARE(rows->topLevelItem(3)->childCount(), 2);
        QCOMPARE(rowTexts(rows->topLevelItem(3)->child(1)), QStringList({ "KTL-D8", "4", "2", "", "1", "1", "" }));
        QVERIFY(prompts.messages.isEmpty());
        d.on_treeWidget_sub_itemDoubleClicked(d8, 0);
        QCOMPARE(rows->topLevelItem(3)->childCount(), 2);
        QCOMPARE(prompts.lastText(), QString::fromUtf8("超过了最大子槽数量"));
        QCOMPARE(prompts.lastCaption(), QString());

        rows->setCurrentItem(rows->topLevelItem(1));
        d.on_treeWidget_sub_itemDoubleClicked(d8, 0);
        QCOMPARE(rows->topLevelItem(1)->childCount(), 3);
        QCOMPARE(prompts.lastText(), QString::fromUtf8("鼠标选择需要插入或者替换的行"));
        // A module type never lands on a sub-module row.
        rows->setCurrentItem(rows->topLevelItem(0)->child(0));
        d.on_treeWidgetsrc_itemDoubleClicked(d.ui->treeWidgetsrc->topLevelItem(1), 0);
        QCOMPARE(rows->topLevelItem(0)->child(0)->text(0), QStringLiteral("KTL-D8"));
        QCOMPARE(prompts.messages.size(), 3);

        // Replacing a filled row keeps its sub-modules and clears its address.
        rows->setCurrentItem(rows->topLevelItem(0));
        d.on_treeWidgetsrc_itemDoubleClicked(d.ui->treeWidgetsrc->topLevelItem(1), 0);
        QCOMPARE(rowTexts(rows->topLevelItem(0)), QStringList({ "RVE-C100", "1", "0", "", "2", "2", "10" }));
        QCOMPARE(rows->topLevelItem(0)->childCount(), 2);

        // Clicking a configured row shows its type's sub-module types; an empty one shows none.
        d.on_treeWidget_itemClicked(rows->topLevelItem(0), 0);
        QCOMPARE(d.ui->treeWidget_sub->topLevelItemCount(), 4);
        d.on_treeWidget_itemClicked(rows->topLevelItem(10), 0);
        QCOMPARE(d.ui->treeWidget_sub->topLevelItemCount(), 0);

        // Two filled rows of one address are marked; empty addresses never are.
        d.on_treeWidget_itemDoubleClicked(rows->topLevelItem(2), 3);
        auto *editor = qobject_cast<QLineEdit *>(rows->itemWidget(rows->topLevelItem(2), 3));
        QVERIFY(editor);
        editor->setText("10.0.0.2");
        emit editor->editingFinished();
        QCOMPARE(colourOf(rows->topLevelItem(1), 3), blue);
        QCOMPARE(colourOf(rows->topLevelItem(2), 3), blue);
        QCOMPARE(colourOf(rows->topLevelItem(0), 3), QString());
        QCOMPARE(colourOf(rows->topLevelItem(3), 3), QString());

        // Deleting module row 2 renumbers the filled rows before the first empty one.
        rows->setCurrentItem(rows->topLevelItem(1));
        d.delitem(false);
        QCOMPARE(rows->topLevelItemCount(), 32);
        QCOMPARE(rows->topLevelItem(1)->text(1), QStringLiteral("2"));
        QCOMPARE(rows->topLevelItem(2)->text(1), QStringLiteral("3"));
        QCOMPARE(rows->topLevelItem(2)->child(1)->text(1), QStringLiteral("3"));
        QCOMPARE(rows->topLevelItem(3)->text(1), QString());

        // A module placed after empty rows still gets the next free slot in the result.
        rows->setCurrentItem(rows->topLevelItem(20));
        d.on_treeWidgetsrc_itemDoubleClicked(ktlType, 0);
        QCOMPARE(rows->topLevelItem(20)->text(1), QStringLiteral("21"));
        const QList<moduleslot *> result = d.getDevices();
        QCOMPARE(result.size(), 4);
        QStringList slotTexts;
        for (moduleslot *e : result)
            slotTexts << QString::number(e->slot);
        QCOMPARE(slotTexts, QStringList({ "1", "2", "3", "4" }));
        QCOMPARE(result.at(2)->children.size(), 2);
        QCOMPARE(result.at(2)->children.at(1)->slot, 3);
        QCOMPARE(result.at(2)->children.at(1)->subSlot, 2);
        QCOMPARE(result.at(2)->children.at(1)->parent, result.at(2));
        for (moduleslot *e : result) {
            qDeleteAll(e->children);
            delete e;
        }
    }

    void editButtonMergesByPosition()
    {
        Fixture f;
        f.page->setParamData(encodeIoutlinkBlock(
            { station(rec("KTL-C10", "10.0.0.1", 1, 0, 0, 0, 20)), station(rec("KTL-C10", "10.0.0.2", 2, 0, 0, 0, 20)),
                station(rec("RVE-C100", "10.0.0.3", 3, 0, 2, 2, 10), { rec("RV-DI16", "", 3, 1, 2, 0) }),
                station(rec("RVE-C100", "10.0.0.3", 4, 0, 2, 2, 10), { rec("RV-DI16", "", 4, 1, 2, 0) }) }));
        PromptRecorder prompts;
        // Cancel changes nothing.
        prompts.onExec = [](QDialog *) { return int(QDialog::Rejected); };
        f.page->on_pushButton_3_clicked();
        QCOMPARE(prompts.dialogsRun, QStringList({ "IOlinkDevicelistDialog" }));
        QCOMPARE(f.tree->topLevelItemCount(), 4);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(IOutlinkForm::rowIcon(f.row(i)), QStringLiteral("v.png"));

        // Deleting the first module shifts the later ones up one page row; the dialog's
        // empty fifth row is filled with a new module.
        prompts.onExec = [](QDialog *dialog) {
            auto *d = qobject_cast<IOlinkDevicelistDialog *>(dialog);
            QTreeWidget *rows = d->ui->treeWidget;
            rows->setCurrentItem(rows->topLevelItem(0));
            d->delitem(false);
            rows->setCurrentItem(rows->topLevelItem(3));
            d->on_treeWidgetsrc_itemDoubleClicked(d->ui->treeWidgetsrc->topLevelItem(0), 0);
            rows->setCurrentItem(rows->topLevelItem(4));
            d->on_treeWidgetsrc_itemDoubleClicked(d->ui->treeWidgetsrc->topLevelItem(1), 0);
            rows->setCurrentItem(rows->topLevelItem(4));
            d->on_treeWidgetsrc_itemClicked(d->ui->treeWidgetsrc->topLevelItem(1), 0);
            d->on_treeWidget_sub_itemDoubleClicked(d->ui->treeWidget_sub->topLevelItem(2), 0);
            d->accept();
            return d->result();
        };
        f.page->on_pushButton_3_clicked();
        QCOMPARE(f.tree->topLevelItemCount(), 5);
        // Row 1 took over the second module: only its address changed.
        QCOMPARE(rowTexts(f.row(0)), QStringList({ "KTL-C10", "1", "0", "10.0.0.2", "0", "0", "20" }));
        QCOMPARE(IOutlinkForm::rowIcon(f.row(0)), QStringLiteral("modify.png"));
        // Row 2 became RVE-C100 with its sub-module.
        QCOMPARE(rowTexts(f.row(1)), QStringList({ "RVE-C100", "2", "0", "10.0.0.3", "2", "2", "10" }));
        QCOMPARE(f.row(1)->childCount(), 1);
        QCOMPARE(rowTexts(f.row(1)->child(0)), QStringList({ "RV-DI16", "2", "1", "", "2", "0", "" }));
        QCOMPARE(IOutlinkForm::rowIcon(f.row(1)), QStringLiteral("modify.png"));
        // Row 3 held the same module in the same place and stays as it was.
        QCOMPARE(rowTexts(f.row(2)), QStringList({ "RVE-C100", "3", "0", "10.0.0.3", "2", "2", "10" }));
        QCOMPARE(IOutlinkForm::rowIcon(f.row(2)), QStringLiteral("v.png"));
        // Row 4: the old fourth module's row became the KTL-C10 placed in the dialog.
        QCOMPARE(rowTexts(f.row(3)), QStringList({ "KTL-C10", "4", "0", "10.0.0.4", "0", "0", "20" }));
        QCOMPARE(f.row(3)->childCount(), 0);
        QCOMPARE(IOutlinkForm::rowIcon(f.row(3)), QStringLiteral("modify.png"));
        QCOMPARE(colourOf(f.row(3), 3), red);
        // Row 5 is new, with its sub-module and an address in the coupler's network.
        QCOMPARE(rowTexts(f.row(4)), QStringList({ "RVE-C100", "5", "0", "10.0.0.5", "2", "2", "10" }));
        QCOMPARE(rowTexts(f.row(4)->child(0)), QStringList({ "RV-AI4", "5", "1", "", "8", "0", "" }));
        QCOMPARE(IOutlinkForm::rowIcon(f.row(4)), QStringLiteral("+.png"));
        QVERIFY(IOutlinkForm::entryOf(f.row(4)));
        // Rows 2 and 3 share an address.
        QCOMPARE(colourOf(f.row(1), 3), red);
        QCOMPARE(colourOf(f.row(2), 3), red);

        // The merged table is what the coupler sends.
        const QVector<IoutlinkRecord> sent = decodeIoutlinkRecords(f.page->getParamData());
        QCOMPARE(sent.size(), 8);
        QCOMPARE(ioutlinkOwners(sent), QVector<int>({ -1, -1, 1, -1, 3, -1, -1, 6 }));
    }

    void editorLeftOpenDoesNotOutliveTheMerge()
    {
        Fixture f;
        f.page->setParamData(threeStations());
        // An address typed only half way never reports completion, so its editor stays open.
        f.page->on_treeWidget_itemDoubleClicked(f.row(2), 3);
        auto *editor = qobject_cast<QLineEdit *>(f.tree->itemWidget(f.row(2), 3));
        QVERIFY(editor);
        editor->setText("10.0.");
        QVERIFY(f.page->editorOpen);

        PromptRecorder prompts;
        prompts.onExec = [](QDialog *dialog) {
            auto *d = qobject_cast<IOlinkDevicelistDialog *>(dialog);
            d->ui->treeWidget->setCurrentItem(d->ui->treeWidget->topLevelItem(2));
            d->delitem(false);
            d->accept();
            return d->result();
        };
        f.page->on_pushButton_3_clicked();
        QCOMPARE(f.tree->topLevelItemCount(), 2);

        // The page still edits.
        QVERIFY(!f.page->editorOpen);
        f.page->on_treeWidget_itemDoubleClicked(f.row(0), 6);
        QVERIFY(f.page->editorOpen);
        QVERIFY(qobject_cast<QLineEdit *>(f.tree->itemWidget(f.row(0), 6)));
    }

    void editorWithoutCatalogue()
    {
        Fixture f;
        QVERIFY(f.dir.write("/ModuleParameter/RVE/RVE-C110_Deviceslist.xml", "<broken"));
        f.page->setParamData(threeStations());
        PromptRecorder prompts;
        int offered = -1;
        prompts.onExec = [&](QDialog *dialog) {
            auto *d = qobject_cast<IOlinkDevicelistDialog *>(dialog);
            offered = d->ui->treeWidgetsrc->topLevelItemCount();
            return int(QDialog::Accepted);
        };
        f.page->on_pushButton_3_clicked();
        QCOMPARE(offered, 0);
        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(f.tree->topLevelItemCount(), 3);
        // Taking the list over unchanged changes nothing.
        for (int i = 0; i < 3; ++i)
            QCOMPARE(IOutlinkForm::rowIcon(f.row(i)), QStringLiteral("v.png"));
    }
};

RIVUDO_TEST_MAIN(TestIoutlinkPage)
#include "tst_ioutlinkpage.moc"
