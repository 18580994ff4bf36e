#include "general.h"
#include "moduleprms.h"
#include "promptrecorder.h"
#include "submodule.h"
#include "tempappdir.h"
#include "testsupport.h"

#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QTranslator>
#include <memory>

namespace {
// One type with every wire type, value items with a shared value, and two General pages.
const char description[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<ModuleParameter>
  <ModuleList>
    <Module ModuleName="GEN-1" ModuleShowName="GEN-1" Text="test">
      <Param Len="11">
        <Parameter ParameterName="Mode" DataType="Unsigned8" AllowedValues="0..2" DefaultValue="1" ValueItemTarget="Modes"/>
        <Parameter ParameterName="Offset" DataType="Integer16" AllowedValues="-100..100" DefaultValue="-2" ValueItemTarget=""/>
        <Parameter ParameterName="Count" DataType="Unsigned32" AllowedValues="0..100000" DefaultValue="258" ValueItemTarget=""/>
        <Parameter ParameterName="Trim" DataType="signed8" AllowedValues="-128..127" DefaultValue="-1" ValueItemTarget=""/>
        <Parameter ParameterName="Raw" DataType="UINT8" AllowedValues="0..255" DefaultValue="7" ValueItemTarget=""/>
        <Parameter ParameterName="Level" DataType="signed8" AllowedValues="0..200" DefaultValue="5" ValueItemTarget=""/>
        <Parameter ParameterName="Word" DataType="Unsigned16" AllowedValues="0..65535" DefaultValue="4660" ValueItemTarget=""/>
      </Param>
      <menu>
        <Page menuname="General"/>
        <Page menuname="General"/>
      </menu>
    </Module>
    <Module ModuleName="GEN-EMPTY" ModuleShowName="GEN-EMPTY" Text="none">
      <Param Len="0"/>
      <menu>
        <Page menuname="General"/>
      </menu>
    </Module>
  </ModuleList>
  <ValueItemList>
    <ValueItems ID="Modes">
      <Item TextId="off" Content="0"/>
      <Item TextId="on" Content="1"/>
      <Item TextId="auto" Content="1"/>
    </ValueItems>
  </ValueItemList>
</ModuleParameter>
)";

General *pageAt(moduleFrame &frame, int index)
{
    // The tests use the rows, which the page builds at its first show.
    auto *page = dynamic_cast<General *>(frame.pageList.value(index));
    if (page)
        page->ensureBuilt();
    return page;
}

QSpinBox *spinOf(General *page, int row)
{
    return page->scrollContents->findChildren<QSpinBox *>().value(row);
}
}

class TestGeneralPage : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempAppDir> dir;

private slots:
    void init()
    {
        dir.reset(new TempAppDir(false));
        QVERIFY(dir->write("/ModuleParameter/GEN/ModuleParameter.xml", description));
    }
    void cleanup() { dir.reset(); }

    void buildsOneRowPerParameter()
    {
        submodule frame("GEN-1", "GEN");
        QCOMPARE(frame.pageList.size(), 2);
        General *page = pageAt(frame, 0);
        QVERIFY(page);
        QCOMPARE(page->title, QString::fromUtf8("基本设置"));
        QCOMPARE(page->scrollContents->findChildren<QLabel *>().size(), 7);
        QCOMPARE(page->scrollContents->findChildren<QComboBox *>().size(), 1);
        QCOMPARE(page->scrollContents->findChildren<QSpinBox *>().size(), 6);
        modulePrms *mode = frame.paramList.at(0);
        QCOMPARE(mode->widgetKind, 1);
        // Two items carry the current value 1: the later one is shown.
        auto *combo = page->scrollContents->findChild<QComboBox *>();
        QCOMPARE(combo->currentText(), QStringLiteral("auto"));
        QCOMPARE(combo->count(), 3);
    }

    void blockFollowsTheWireTypes()
    {
        submodule frame("GEN-1", "GEN");
        General *page = pageAt(frame, 0);
        // Mode 1, Offset -2, Count 258, Trim -1, Raw (not sent), Level 5, Word 0x1234.
        QCOMPARE(page->getParamData(), QByteArray::fromHex("01 fffe 00000102 ff 05 1234"));
        QCOMPARE(page->setParamData(QByteArray::fromHex("02 8000 ffffffff 80 c8 8000")), 11);
        QCOMPARE(frame.paramList.at(0)->value, 2);
        QCOMPARE(frame.paramList.at(1)->value, -32768);
        QCOMPARE(frame.paramList.at(2)->value, -1);
        // Trim allows negative values, so it comes back sign-extended; Level does not.
        QCOMPARE(frame.paramList.at(3)->value, -128);
        QCOMPARE(frame.paramList.at(4)->value, 7);
        QCOMPARE(frame.paramList.at(5)->value, 200);
        QCOMPARE(frame.paramList.at(6)->value, 32768);
        QCOMPARE(spinOf(page, 2)->value(), -128);
        QCOMPARE(page->getParamData(), QByteArray::fromHex("02 8000 ffffffff 80 c8 8000"));
    }

    void shortBlockReadsZeros()
    {
        submodule frame("GEN-1", "GEN");
        General *page = pageAt(frame, 0);
        QCOMPARE(page->setParamData(QByteArray::fromHex("00 0a")), 11);
        QCOMPARE(frame.paramList.at(0)->value, 0);
        QCOMPARE(frame.paramList.at(1)->value, 0x0a00);
        QCOMPARE(frame.paramList.at(6)->value, 0);
        QCOMPARE(frame.paramList.at(4)->value, 7);
        // The combo box shows the item of the value read; labels keep no mark.
        QCOMPARE(page->scrollContents->findChild<QComboBox *>()->currentText(), QStringLiteral("off"));
        QCOMPARE(frame.paramList.at(0)->label->text(), QStringLiteral("Mode"));
    }

    void editTakesTheValueOfTheChangedEditor()
    {
        submodule frame("GEN-1", "GEN");
        General *first = pageAt(frame, 0);
        General *second = pageAt(frame, 1);
        QSpinBox *offsetOnFirst = spinOf(first, 0);
        QSpinBox *offsetOnSecond = spinOf(second, 0);
        QVERIFY(offsetOnFirst != offsetOnSecond);
        offsetOnFirst->setValue(40);
        QCOMPARE(frame.paramList.at(1)->value, 40);
        QLabel *firstLabel = first->scrollContents->findChildren<QLabel *>().at(1);
        QLabel *secondLabel = second->scrollContents->findChildren<QLabel *>().at(1);
        QCOMPARE(firstLabel->text(), QStringLiteral("Offset*"));
        QCOMPARE(secondLabel->text(), QStringLiteral("Offset"));
        offsetOnSecond->setValue(-7);
        QCOMPARE(frame.paramList.at(1)->value, -7);

        auto *combo = first->scrollContents->findChild<QComboBox *>();
        combo->setCurrentIndex(0);
        QCOMPARE(frame.paramList.at(0)->value, 0);
        // Two items with one text would resolve to the first; here "auto" stands for 1.
        combo->setCurrentIndex(2);
        QCOMPARE(frame.paramList.at(0)->value, 1);

        first->retranslate(0);
        QCOMPARE(firstLabel->text(), QStringLiteral("Offset"));
        QCOMPARE(combo->currentIndex(), 2);
        QCOMPARE(frame.paramList.at(0)->value, 1);
    }

    void restoreDefaults()
    {
        submodule frame("GEN-1", "GEN");
        General *page = pageAt(frame, 0);
        page->setParamData(QByteArray::fromHex("00 0005 00000009 01 00 0000"));
        QCOMPARE(spinOf(page, 0)->value(), 5);
        page->restoreDefaults(false);
        QCOMPARE(frame.paramList.at(1)->value, -2);
        QCOMPARE(spinOf(page, 0)->value(), 5);
        page->restoreDefaults(true);
        QCOMPARE(spinOf(page, 0)->value(), -2);
        QCOMPARE(spinOf(page, 1)->value(), 258);
        QCOMPARE(page->scrollContents->findChild<QComboBox *>()->currentText(), QStringLiteral("on"));
        QCOMPARE(page->scrollContents->findChildren<QLabel *>().at(1)->text(), QStringLiteral("Offset*"));
    }

    // Both pages of the module show the same parameters; the menu of an editor restores only
    // the row it was opened on.
    void rowMenuRestoresTheDefaultOfItsOwnRow_data()
    {
        QTest::addColumn<int>("pageIndex");
        QTest::addColumn<bool>("onCombo");
        QTest::addColumn<QString>("answer");
        const QString restore = QString::fromUtf8("恢复默认值");
        QTest::newRow("spin box, first page") << 0 << false << restore;
        QTest::newRow("spin box, second page") << 1 << false << restore;
        QTest::newRow("combo box, first page") << 0 << true << restore;
        QTest::newRow("combo box, second page") << 1 << true << restore;
        QTest::newRow("menu dismissed") << 0 << false << QString();
    }

    void rowMenuRestoresTheDefaultOfItsOwnRow()
    {
        QFETCH(int, pageIndex);
        QFETCH(bool, onCombo);
        QFETCH(QString, answer);
        submodule frame("GEN-1", "GEN");
        General *page = pageAt(frame, pageIndex);
        General *other = pageAt(frame, 1 - pageIndex);
        // Mode 0 ("off") and Offset 5, shown on both pages.
        const QByteArray block = QByteArray::fromHex("00 0005 00000009 01 00 0000");
        page->setParamData(block);
        other->setParamData(block);

        auto editorOf = [onCombo](General *g) -> QWidget * {
            if (onCombo)
                return g->scrollContents->findChild<QComboBox *>();
            return spinOf(g, 0);
        };
        auto shown = [onCombo](QWidget *editor) {
            if (onCombo)
                return qobject_cast<QComboBox *>(editor)->currentText();
            return QString::number(qobject_cast<QSpinBox *>(editor)->value());
        };
        modulePrms *prm = frame.paramList.at(onCombo ? 0 : 1);
        const QString before = onCombo ? QStringLiteral("off") : QStringLiteral("5");
        const QString byDefault = onCombo ? QStringLiteral("on") : QStringLiteral("-2");

        PromptRecorder prompts;
        if (!answer.isEmpty())
            prompts.menuAnswers.enqueue(answer);
        QWidget *editor = editorOf(page);
        emit editor->customContextMenuRequested(QPoint(2, 2));

        QCOMPARE(prompts.menus, QList<QStringList>({ { QString::fromUtf8("恢复默认值") } }));
        QCOMPARE(shown(editorOf(other)), before);
        if (answer.isEmpty()) {
            QCOMPARE(shown(editor), before);
            QCOMPARE(prm->value, onCombo ? 0 : 5);
            QCOMPARE(prm->label->text(), prm->text);
            return;
        }
        QCOMPARE(shown(editor), byDefault);
        QCOMPARE(prm->value, prm->DefaultValue);
        // The restored row is marked as a user edit on its own page only.
        const int labelIndex = onCombo ? 0 : 1;
        QCOMPARE(page->scrollContents->findChildren<QLabel *>().at(labelIndex)->text(), prm->text + "*");
        QCOMPARE(other->scrollContents->findChildren<QLabel *>().at(labelIndex)->text(), prm->text);
    }

    void rowMenuSpeaksEnglish()
    {
        QTranslator english;
        QVERIFY(english.load(":/res/language/en_US.qm"));
        QCoreApplication::installTranslator(&english);
        submodule frame("GEN-1", "GEN");
        PromptRecorder prompts;
        emit spinOf(pageAt(frame, 0), 0)->customContextMenuRequested(QPoint(2, 2));
        QCoreApplication::removeTranslator(&english);
        QCOMPARE(prompts.menus, QList<QStringList>({ { QStringLiteral("Resets Default") } }));
    }

    void emptyDescriptionGivesAnEmptyPage()
    {
        submodule frame("GEN-EMPTY", "GEN");
        General *page = pageAt(frame, 0);
        QVERIFY(page);
        QVERIFY(page->getParamData().isEmpty());
        QCOMPARE(page->setParamData(QByteArray::fromHex("0102")), 0);
        QVERIFY(page->scrollContents->findChildren<QLabel *>().isEmpty());
    }
};

RIVUDO_TEST_MAIN(TestGeneralPage)
#include "tst_generalpage.moc"
