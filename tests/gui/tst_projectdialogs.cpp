#include "filetreedialog.h"
#include "openinfodialog.h"
#include "promptrecorder.h"
#include "savedialog.h"
#include "tempappdir.h"
#include "testsupport.h"
#include "ui_filetreedialog.h"
#include "ui_openinfodialog.h"
#include "ui_savedialog.h"
#include "usrconf.h"

#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTranslator>
#include <QUrl>

class TestProjectDialogs : public QObject
{
    Q_OBJECT
private slots:
    void saveDialogDefaults_data()
    {
        QTest::addColumn<bool>("hasDesktop");
        QTest::newRow("desktop") << true;
        QTest::newRow("no desktop") << false;
    }

    void saveDialogDefaults()
    {
        QFETCH(bool, hasDesktop);
        TempAppDir app;
        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + "/.config"));
        if (hasDesktop)
            QVERIFY(QDir(home.path()).mkdir("Desktop"));
        SaveDialog dialog;
        qputenv("HOME", oldHome);
        if (oldConfig.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", oldConfig);
        QCOMPARE(dialog.form()->lineEdit_producer->text(), QString("未定义"));
        // The first OK must not fail on a folder that is not there.
        QCOMPARE(dialog.getPath(), hasDesktop ? home.path() + "/Desktop" : home.path());
        QVERIFY(QDir(dialog.getPath()).exists());
        QCOMPARE(dialog.form()->lineEdit_name->text(), QString("Undefined"));
        QCOMPARE(dialog.getFileName(), QString("Undefined.kdxml"));
        QVERIFY(dialog.form()->textEdit_info->toPlainText().isEmpty());
        QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
    }

    void saveDialogRemembers()
    {
        TempAppDir app;
        QVERIFY(UsrConf::write("saveinfo", "ProducerName", "Wang"));
        QVERIFY(UsrConf::write("saveinfo", "FilePath", app.path()));
        SaveDialog dialog;
        QCOMPARE(dialog.form()->lineEdit_producer->text(), QString("Wang"));
        QCOMPARE(dialog.getPath(), app.path());
    }

    void okChecksEntries_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("valid") << "<dir>" << "plant" << true;
        QTest::newRow("missing directory") << "<dir>/nowhere" << "plant" << false;
        QTest::newRow("empty name") << "<dir>" << "" << false;
        QTest::newRow("empty path") << "" << "plant" << false;
    }

    void okChecksEntries()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        TempAppDir app;
        PromptRecorder prompts;
        path.replace("<dir>", app.path());
        SaveDialog dialog;
        dialog.form()->lineEdit_path->setText(path);
        dialog.form()->lineEdit_name->setText(name);
        dialog.form()->lineEdit_producer->setText("Zhao");
        QTest::mouseClick(dialog.form()->pushButton_2, Qt::LeftButton);
        QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
        QString stored;
        UsrConf::read("saveinfo", "ProducerName", stored);
        QCOMPARE(stored, QString("Zhao")); // stored whatever the other entries hold
        stored.clear();
        UsrConf::read("saveinfo", "FilePath", stored);
        QCOMPARE(stored, accepted ? path : QString());
        if (accepted) {
            QVERIFY(prompts.messages.isEmpty());
        } else {
            QCOMPARE(prompts.messages.size(), 1);
            QCOMPARE(prompts.lastCaption(), QString("失败"));
            QCOMPARE(prompts.lastText(), QString("非正常文件路径"));
        }
    }

    void translatedTexts_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("Chinese") << ":/res/language/zh_CN.qm" << "保存配置" << "非正常文件路径";
        QTest::newRow("English") << ":/res/language/en_US.qm" << "Save" << "Invalid File Path";
    }

    void translatedTexts()
    {
        QFETCH(QString, file);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QTranslator translator;
        QVERIFY(translator.load(file));
        QCoreApplication::installTranslator(&translator);
        TempAppDir app;
        PromptRecorder prompts;
        SaveDialog dialog;
        dialog.form()->lineEdit_name->clear();
        QTest::mouseClick(dialog.form()->pushButton_2, Qt::LeftButton);
        QCoreApplication::removeTranslator(&translator);
        QVERIFY(dialog.findChildren<QPushButton *>().size() > 3);
        QCOMPARE(dialog.findChild<QWidget *>("widget")->findChild<QPushButton *>("Tilebutton_2")->text(), title);
        QCOMPARE(prompts.lastCaption(), QString("Fail"));
        QCOMPARE(prompts.lastText(), text);
    }

    void cancelRejects()
    {
        TempAppDir app;
        SaveDialog dialog;
        dialog.setResult(QDialog::Accepted);
        QTest::mouseClick(dialog.form()->pushButton_3, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void fileInfoKeepsPlaceholders()
    {
        TempAppDir app;
        SaveDialog dialog;
        dialog.form()->lineEdit_producer->setText("%2");
        dialog.form()->textEdit_info->setPlainText("a & b < c\n%1");
        const QString info = dialog.getFileInfo();
        QVERIFY(info.startsWith("   <fileinfo   producer = \"%2\"  modfiydate =  \"" + QString::number(QDate::currentDate().year())));
        QVERIFY(info.endsWith("\">\n       <Text>a &amp; b &lt; c\n%1</Text>\n   </fileinfo>"));
    }

    void pickDirectory()
    {
        TempAppDir app;
        PromptRecorder prompts;
        QTemporaryDir dir;
        QFile file(dir.filePath("plain.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        bool fileIgnored = false;
        bool headerHidden = false;
        prompts.onExec = [&](QDialog *d) -> int {
            auto *picker = qobject_cast<FiletreeDialog *>(d);
            if (!picker)
                return int(QDialog::Rejected);
            headerHidden = picker->form()->treeView->isHeaderHidden() && picker->getPath().isEmpty();
            QMetaObject::invokeMethod(picker, "on_treeView_doubleClicked",
                                      Q_ARG(QModelIndex, picker->model()->index(file.fileName())));
            fileIgnored = picker->result() == QDialog::Rejected && picker->getPath().isEmpty();
            QMetaObject::invokeMethod(picker, "on_treeView_doubleClicked",
                                      Q_ARG(QModelIndex, picker->model()->index(dir.path())));
            return picker->result();
        };
        SaveDialog dialog;
        QTest::mouseClick(dialog.form()->pushButton, Qt::LeftButton);
        QCOMPARE(prompts.dialogsRun, QStringList { "FiletreeDialog" });
        QVERIFY(fileIgnored);
        QVERIFY(headerHidden);
        QCOMPARE(dialog.getPath(), dir.path());

        prompts.onExec = [](QDialog *) { return int(QDialog::Rejected); };
        QTest::mouseClick(dialog.form()->pushButton, Qt::LeftButton);
        QCOMPARE(dialog.getPath(), dir.path());
    }

    void descriptionLoadsNothingFromOutside_data()
    {
        QTest::addColumn<QString>("markup");
        QTest::newRow("absolute image") << R"(<p>x<img src="%1/big.png"></p>)";
        QTest::newRow("file url image") << R"(<p>x<img src="file://%1/big.png"></p>)";
        QTest::newRow("relative image") << R"(<p>x<img src="big.png"></p>)";
        QTest::newRow("huge size") << R"(<p>x<img src="%1/big.png" width="100000" height="100000"></p>)";
        QTest::newRow("style sheet")
            << R"(<html><head><link rel="stylesheet" href="%1/red.css"></head><body>x</body></html>)";
    }

    void descriptionLoadsNothingFromOutside()
    {
        QFETCH(QString, markup);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QImage big(400, 300, QImage::Format_RGB32);
        big.fill(Qt::red);
        QVERIFY(big.save(dir.filePath("big.png")));
        QFile css(dir.filePath("red.css"));
        QVERIFY(css.open(QIODevice::WriteOnly) && css.write("body { font-size: 90px; }") > 0);
        css.close();
        const bool wasCurrent = QDir::setCurrent(dir.path());
        OpenInfoDialog dialog;
        QTextBrowser *browser = dialog.form()->textBrowser;
        browser->setSearchPaths({ dir.path() });
        dialog.setInfoText(markup.arg(dir.path()));
        dialog.resize(400, 350);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.grab();
        QVERIFY(wasCurrent);
        QDir::setCurrent(QCoreApplication::applicationDirPath());
        QVERIFY(browser->toPlainText().startsWith("x"));
        // Neither the picture nor the style sheet reached the document's layout.
        QVERIFY2(browser->document()->size().height() < 80,
            qPrintable(QString::number(browser->document()->size().height())));
        for (const QString &name : { dir.filePath("big.png"), dir.filePath("red.css"), QString("big.png") }) {
            QVERIFY(browser->document()->resource(QTextDocument::ImageResource, QUrl(name)).isNull());
            QVERIFY(browser->document()->resource(QTextDocument::ImageResource, QUrl::fromLocalFile(name)).isNull());
        }
        // A link in the description leads nowhere either.
        QVERIFY(!browser->openLinks());
    }

    void openInfoDialog()
    {
        OpenInfoDialog dialog;
        dialog.setFileName("/tmp/p.kdxml");
        dialog.setProducer("Li");
        dialog.setModfiyDate("2026.12.10");
        dialog.setInfoText("a & b < c");
        QCOMPARE(dialog.form()->lineEdit_name->text(), QString("/tmp/p.kdxml"));
        QCOMPARE(dialog.form()->lineEdit_producer->text(), QString("Li"));
        QCOMPARE(dialog.form()->lineEdit_modfiy->text(), QString("2026.12.10"));
        QCOMPARE(dialog.form()->textBrowser->toPlainText(), QString("a & b < c"));
        dialog.setInfoText("<b>bold</b> text");
        QCOMPARE(dialog.form()->textBrowser->toPlainText(), QString("bold text"));
        QTest::mouseClick(dialog.form()->pushButton, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QTest::mouseClick(dialog.form()->pushButton_2, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
};

RIVUDO_TEST_MAIN(TestProjectDialogs)
#include "tst_projectdialogs.moc"
