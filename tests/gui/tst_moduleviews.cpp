#include "ktlshowform.h"
#include "menubase.h"
#include "module.h"
#include "moduleinfoform.h"
#include "moduleprms.h"
#include "promptrecorder.h"
#include "showmoduleform.h"
#include "submodule.h"
#include "tempappdir.h"
#include "testsupport.h"
#include "ui_ktlshowform.h"
#include "ui_moduleframe.h"
#include "ui_moduleinfoform.h"
#include "ui_showmoduleform.h"
#include "vtextform.h"

#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTranslator>
#include <memory>

Q_DECLARE_METATYPE(modulebase::CONNEST_TYPE)

namespace {

QString captionText(VTextForm *caption)
{
    for (QGraphicsItem *item : caption->scene->items())
        if (auto *text = dynamic_cast<QGraphicsTextItem *>(item))
            return text->toPlainText();
    return QStringLiteral("<no text item>");
}

QWidget *widgetAt(QLayout *layout, int index)
{
    QLayoutItem *item = layout->itemAt(index);
    return item ? item->widget() : nullptr;
}

// A page that records what the frame asks of it.
class RecordingPage : public menubase
{
public:
    void restoreDefaults(bool showInWidgets) override { restored << showInWidgets; }
    QList<bool> restored;
};

} // namespace

class TestModuleViews : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempAppDir> m_dir;

    static ::module *makeModule(
        const QString &name, const QString &family, modulebase::CONNEST_TYPE type = modulebase::CONNEST_NET)
    {
        auto *m = new ::module(name, family);
        m->connType = type;
        m->mac = "a0:1b:2c:3d:4e:5f";
        m->setIP("192:168:1:10");
        m->subnum = 2;
        m->softwareVer = "V1.20";
        m->backbusVer = "B0.7";
        m->inlen = "4";
        m->outlen = "2";
        m->Paralen = "12";
        return m;
    }

private slots:
    void initTestCase() { m_dir = std::make_unique<TempAppDir>(true); }
    void cleanupTestCase() { m_dir.reset(); }

    void familyChoosesPictureForm_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("stacked");
        QTest::newRow("RVE") << "RVE" << false;
        QTest::newRow("KTL") << "KTL" << true;
        QTest::newRow("DRV_K") << "DRV_K" << true;
        QTest::newRow("ktl lower case") << "ktl" << false;
    }

    void familyChoosesPictureForm()
    {
        QFETCH(QString, family);
        QFETCH(bool, stacked);
        std::unique_ptr<::module> m(new ::module("KTL-C10", family));
        QVERIFY(m->showForm);
        QCOMPARE(dynamic_cast<KTLShowForm *>(m->showForm.data()) != nullptr, stacked);
        QCOMPARE(dynamic_cast<ShowModuleForm *>(m->showForm.data()) != nullptr, !stacked);
    }

    void rowShowsFramesLeftToRight()
    {
        std::unique_ptr<::module> m(makeModule("RVE-C100", "RVE"));
        submodule *di = m->addSubmodule("RV-DI16", "RVIO", 1);
        submodule *ai = m->addSubmodule("RV-AI4", "RVIO", 2);
        auto *form = dynamic_cast<ShowModuleForm *>(m->showForm.data());
        QVERIFY(form);
        QHBoxLayout *row = form->form->horizontalLayout;
        QCOMPARE(row->count(), 4);
        QCOMPARE(widgetAt(row, 0), static_cast<QWidget *>(m.get()));
        QCOMPARE(widgetAt(row, 1), static_cast<QWidget *>(di));
        QCOMPARE(widgetAt(row, 2), static_cast<QWidget *>(ai));
        QVERIFY(row->itemAt(3)->spacerItem());
        // In the plain row the frames keep their slot and name labels.
        QVERIFY(!di->form->IP->isHidden());
        QVERIFY(!di->form->name->isHidden());
    }

    void stackedFormShowsModuleAndTwoSubmodules()
    {
        std::unique_ptr<::module> m(makeModule("KTL-C10", "KTL"));
        submodule *first = m->addSubmodule("KTL-D8", "KTL", 1);
        submodule *second = m->addSubmodule("KTL-A2", "KTL", 2);
        submodule *third = m->addSubmodule("KTL-D8", "KTL", 3);
        auto *form = dynamic_cast<KTLShowForm *>(m->showForm.data());
        QVERIFY(form);
        QCOMPARE(form->count, 4);

        QHBoxLayout *row1 = form->form->horizontalLayout;
        QCOMPARE(row1->count(), 3);
        QCOMPARE(widgetAt(row1, 0), static_cast<QWidget *>(form->slotText1.data()));
        QCOMPARE(widgetAt(row1, 1), static_cast<QWidget *>(form->nameText1.data()));
        QCOMPARE(widgetAt(row1, 2), static_cast<QWidget *>(m.get()));
        QCOMPARE(captionText(form->slotText1), QString());
        QCOMPARE(captionText(form->nameText1), QString());
        QCOMPARE(form->slotText1->styleSheet(), QString("QWidget{border:0px solid #A6B5B8;border-radius:0px;}"));
        QVERIFY(!m->form->IP->isHidden());

        const QColor blue(119, 121, 255);
        struct Row
        {
            QHBoxLayout *layout;
            VTextForm *slot;
            VTextForm *name;
            submodule *frame;
            QString number;
        };
        for (const Row &r : { Row { form->form->horizontalLayout_2, form->slotText2, form->nameText2, first, "1" },
                 Row { form->form->horizontalLayout_3, form->slotText3, form->nameText3, second, "2" } }) {
            QCOMPARE(r.layout->count(), 3);
            QCOMPARE(widgetAt(r.layout, 0), static_cast<QWidget *>(r.slot));
            QCOMPARE(widgetAt(r.layout, 1), static_cast<QWidget *>(r.name));
            QCOMPARE(widgetAt(r.layout, 2), static_cast<QWidget *>(r.frame));
            QCOMPARE(captionText(r.slot), r.number);
            QCOMPARE(captionText(r.name), r.frame->ModuleShowName);
            QCOMPARE(r.slot->scene->backgroundBrush().color(), blue);
            QVERIFY(r.frame->form->IP->isHidden());
            QVERIFY(r.frame->form->name->isHidden());
            // One pixel narrower in height than the picture, one wider in width.
            QCOMPARE(r.frame->size(), QSize(150 + 1, 48 - 1));
        }
        QCOMPARE(form->slotText2->styleSheet(),
            QString("QWidget{background-color: rgb(119, 121, 255);border:1px solid #A6B5B8;border-radius:3px;}"));
        QCOMPARE(form->slotText3->styleSheet(), QString());
        QVERIFY(!form->isAncestorOf(third));
    }

    void deletingTheModuleTakesItsPictureForm()
    {
        auto *m = makeModule("KTL-C10", "KTL");
        m->addSubmodule("KTL-D8", "KTL", 1);
        QPointer<moduleshowform> form = m->showForm;
        QPointer<VTextForm> caption = static_cast<KTLShowForm *>(form.data())->slotText2;
        QVERIFY(form && caption);
        delete m;
        QVERIFY(!form);
        QVERIFY(!caption);
    }

    void panelStartsEmptyAndDisabled()
    {
        moduleinfoForm panel;
        QVERIFY(!panel.form->pushButton_2->isEnabled());
        QVERIFY(!panel.form->pushButton_IP->isEnabled());
        QVERIFY(!panel.form->pushButton->isEnabled());
        QVERIFY(panel.form->pushButton->isHidden());
        QVERIFY(panel.form->submoduletype->isEnabled());
        QVERIFY(panel.form->moduletype->isReadOnly());
        QCOMPARE(panel.form->moduletype->font().family(), QString("Arial"));
        QVERIFY(panel.form->moduletype->font().italic());
    }

    void panelShowsModule_data()
    {
        QTest::addColumn<modulebase::CONNEST_TYPE>("type");
        QTest::addColumn<bool>("ipButton");
        QTest::newRow("network") << modulebase::CONNEST_NET << true;
        QTest::newRow("serial") << modulebase::CONNEST_COM << false;
        QTest::newRow("none") << modulebase::CONNEST_NONE << false;
    }

    void panelShowsModule()
    {
        QFETCH(modulebase::CONNEST_TYPE, type);
        QFETCH(bool, ipButton);
        std::unique_ptr<::module> m(makeModule("RVE-C100", "RVE", type));
        moduleinfoForm panel;
        panel.showModuleInfo(m.get());
        QCOMPARE(panel.module.data(), m.get());
        QCOMPARE(panel.form->moduletype->text(), QString("RVE-C100"));
        QCOMPARE(panel.form->macadd->text(), QString("A0:1B:2C:3D:4E:5F"));
        QCOMPARE(panel.form->ipadd->text(), QString("192.168.1.10"));
        QCOMPARE(panel.form->submodulenum->text(), QString("2"));
        QCOMPARE(panel.form->firmware->text(), QString("V1.20"));
        QCOMPARE(panel.form->interbusver->text(), QString("B0.7"));
        QCOMPARE(panel.form->InsizelineEdit->text(), QString("4"));
        QCOMPARE(panel.form->OutsizelineEdit->text(), QString("2"));
        QCOMPARE(panel.form->ConfsizelineEdit->text(), QString("12"));
        QVERIFY(panel.form->pushButton_2->isEnabled());
        QCOMPARE(panel.form->pushButton_IP->isEnabled(), ipButton);
        QVERIFY(panel.form->pushButton->isHidden());

        PromptRecorder prompts;
        QStringList shownAddresses;
        prompts.onExec = [&](QDialog *dialog) {
            for (QObject *entry : dialog->findChildren<QObject *>())
                if (entry->property("ip").isValid())
                    shownAddresses << entry->property("ip").toString();
            return 0;
        };
        QMetaObject::invokeMethod(&panel, "on_pushButton_IP_clicked");
        QCOMPARE(prompts.dialogsRun, ipButton ? QStringList { "IPModfiy_Dialog" } : QStringList {});
        if (ipButton)
            QVERIFY2(shownAddresses.contains("192.168.1.10"), qPrintable(shownAddresses.join(',')));
    }

    void panelShowsAndClearsSubmodule()
    {
        std::unique_ptr<::module> m(makeModule("RVE-C100", "RVE"));
        submodule *ai = m->addSubmodule("RV-AI4", "RVIO", 1);
        ai->softwareVer = "S2.1";
        moduleinfoForm panel;
        panel.showModuleInfo(m.get());
        panel.clearSubmoduleInfo();
        QVERIFY(!panel.form->subinfo->isEnabled());
        panel.showSubmoduleInfo(ai);
        QVERIFY(panel.form->submoduletype->isEnabled() && panel.form->subfirmware->isEnabled()
            && panel.form->subinfo->isEnabled());
        QCOMPARE(panel.form->submoduletype->text(), QString("RV-AI4"));
        QCOMPARE(panel.form->subfirmware->text(), QString("S2.1"));
        QCOMPARE(panel.form->subinfo->text(), ai->Text);
        QVERIFY(!ai->Text.isEmpty());
        QCOMPARE(panel.form->moduletype->text(), QString("RVE-C100"));

        panel.clearSubmoduleInfo();
        for (QLineEdit *field : { panel.form->submoduletype, panel.form->subfirmware, panel.form->subinfo }) {
            QVERIFY(field->text().isEmpty());
            QVERIFY(!field->isEnabled());
        }
    }

    void restoreButtonReachesEveryPage()
    {
        std::unique_ptr<::module> m(makeModule("RVE-C100", "RVE"));
        submodule *ai = m->addSubmodule("RV-AI4", "RVIO", 1);
        RecordingPage own, sub;
        m->pageList.append(&own);
        ai->pageList.append(&sub);
        m->setHighlight();
        modulePrms *offset = ai->paramList.at(1);
        offset->value = offset->DefaultValue + 7;
        moduleinfoForm panel;
        panel.showModuleInfo(m.get());
        QTest::mouseClick(panel.form->pushButton_2, Qt::LeftButton);
        QCOMPARE(offset->value, offset->DefaultValue);
        // Only the highlighted frame's pages show the defaults in their widgets as well.
        QCOMPARE(own.restored, QList<bool> { true });
        QCOMPARE(sub.restored, QList<bool> { false });
        m->pageList.removeAll(&own);
        ai->pageList.removeAll(&sub);
    }

    void panelForgetsDeletedModule()
    {
        auto *m = makeModule("RVE-C100", "RVE");
        submodule *di = m->addSubmodule("RV-DI16", "RVIO", 1);
        moduleinfoForm panel;
        panel.showModuleInfo(m);
        panel.showSubmoduleInfo(di);
        PromptRecorder prompts;
        delete m;

        QVERIFY(panel.module.isNull());
        for (QLineEdit *field : panel.findChildren<QLineEdit *>())
            QVERIFY2(field->text().isEmpty(), qPrintable(field->objectName()));
        QVERIFY(!panel.form->pushButton_2->isEnabled());
        QVERIFY(!panel.form->pushButton_IP->isEnabled());
        // Slots reached some other way must not touch the deleted module.
        QMetaObject::invokeMethod(&panel, "on_pushButton_2_clicked");
        QMetaObject::invokeMethod(&panel, "on_pushButton_IP_clicked");
        QVERIFY(prompts.dialogsRun.isEmpty());

        std::unique_ptr<::module> next(makeModule("RVE-C200", "RVE"));
        panel.showModuleInfo(next.get());
        QCOMPARE(panel.form->moduletype->text(), QString("RVE-C200"));
        QVERIFY(panel.form->pushButton_2->isEnabled());
    }

    void deletingAnEarlierModuleKeepsTheShownOne()
    {
        auto *earlier = makeModule("RVE-C100", "RVE");
        std::unique_ptr<::module> shown(makeModule("RVE-C200", "RVE"));
        moduleinfoForm panel;
        panel.showModuleInfo(earlier);
        panel.showModuleInfo(shown.get());
        delete earlier;
        QCOMPARE(panel.module.data(), shown.get());
        QCOMPARE(panel.form->moduletype->text(), QString("RVE-C200"));
        QVERIFY(panel.form->pushButton_2->isEnabled());
    }

    void retranslateShowsEnglishAndKeepsType()
    {
        std::unique_ptr<::module> m(makeModule("RVE-C100", "RVE"));
        moduleinfoForm panel;
        panel.retranslate();
        QVERIFY(panel.form->moduletype->text().isEmpty());
        panel.showModuleInfo(m.get());
        QTranslator english;
        QVERIFY(english.load(":/res/language/en_US.qm"));
        QCoreApplication::installTranslator(&english);
        panel.retranslate();
        QCoreApplication::removeTranslator(&english);

        QCOMPARE(panel.form->label->text(), QString("Type:"));
        QCOMPARE(panel.form->label_3->text(), QString("IP："));
        QCOMPARE(panel.form->label_4->text(), QString("Submodules："));
        QCOMPARE(panel.form->groupBox->title(), QString("Submodule Information"));
        QCOMPARE(panel.form->pushButton_IP->text(), QString("Modfiy"));
        QCOMPARE(panel.form->pushButton_2->text(), QString("Reset Default Parameter"));
        QCOMPARE(panel.form->label_7->text(), QString("I_SIZE(byte)"));
        // Every field keeps what it showed, the type included.
        QCOMPARE(panel.form->moduletype->text(), QString("RVE-C100"));
        QCOMPARE(panel.form->ipadd->text(), QString("192.168.1.10"));
    }
};

RIVUDO_TEST_MAIN(TestModuleViews)
#include "tst_moduleviews.moc"
