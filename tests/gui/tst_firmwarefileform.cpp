#include "firmwarefileform.h"
#include "promptrecorder.h"
#include "testsupport.h"

#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTranslator>

class TestFirmwareFileForm : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString writeFile(const QString &name, const QByteArray &text)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return QString();
        f.write(text);
        return path;
    }

private slots:
    void row()
    {
        FirmwareFileForm form;
        QCOMPARE(form.size(), QSize(400, 23));
        QCOMPARE(form.windowTitle(), QString("Form"));
        auto *copy = form.findChild<QPushButton *>("pushButton");
        auto *open = form.findChild<QPushButton *>("pushButton_2");
        QVERIFY(copy && open && form.findChild<QLineEdit *>("lineEdit"));
        QCOMPARE(copy->text(), QString("复制"));
        QCOMPARE(open->text(), QString("打开"));
        QCOMPARE(copy->maximumWidth(), 45);
        QCOMPARE(open->maximumWidth(), 45);
        QVERIFY(form.isPathEmpty());
        form.setPath("a/b.hex");
        QCOMPARE(form.getPath(), QString("a/b.hex"));
        QVERIFY(!form.isPathEmpty());
    }

    void englishTexts()
    {
        QTranslator english;
        QVERIFY(english.load(":/res/language/en_US.qm"));
        QCoreApplication::installTranslator(&english);
        FirmwareFileForm form;
        PromptRecorder prompts;
        QByteArray image;
        form.setPath(m_dir.filePath("missing.hex"));
        form.readFirmware(image);
        QCoreApplication::removeTranslator(&english);

        QCOMPARE(form.findChild<QPushButton *>("pushButton")->text(), QString("Copy"));
        QCOMPARE(form.findChild<QPushButton *>("pushButton_2")->text(), QString("Connect"));
        QCOMPARE(prompts.messages.size(), 2);
        QCOMPARE(prompts.messages.at(0).caption, QString("Open Fail"));
        QCOMPARE(prompts.messages.at(0).text, QString("Open Fail"));
        QCOMPARE(prompts.messages.at(1).caption, QString("invalid Firmware"));
        QCOMPARE(prompts.messages.at(1).text, QString("invalid Firmware"));
    }

    void readsFirmware()
    {
        PromptRecorder prompts;
        FirmwareFileForm form;
        form.setPath(writeFile("ok.hex", ":03000000010203F7\r\n:00000001FF\r\n"));
        QByteArray image = "old";
        QVERIFY(form.readHexFile(image));
        QCOMPARE(image.toHex(), QByteArray("010203"));

        image = "old";
        const FirmwareHeader header = form.readFirmware(image);
        QCOMPARE(image.toHex(), QByteArray("010203"));
        QCOMPARE(header.toBytes().toHex(), QByteArray("cdab571303000000faffffff"));
        QVERIFY(prompts.messages.isEmpty());
    }

    void faultyFiles_data()
    {
        QTest::addColumn<QString>("file"); // "" : no path
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QByteArray>("image"); // hex, after readFirmware

        QTest::newRow("empty path") << QString() << QByteArray() << QStringList { "文件错误" } << QByteArray("6f6c64");
        QTest::newRow("missing file") << QString("missing.hex") << QByteArray()
                                      << QStringList { "打开失败", "文件错误" } << QByteArray("6f6c64");
        QTest::newRow("bad check sum") << QString("bad.hex")
                                       << QByteArray(":0100000001FE\n:03000100010203F7\n:00000001FF\n")
                                       << QStringList { "文件错误" } << QByteArray("01");
        QTest::newRow("going backwards") << QString("back.hex")
                                         << QByteArray(":0100100001EE\n:0100080002F5\n:00000001FF\n")
                                         << QStringList { "文件错误" } << QByteArray("01");
    }

    void faultyFiles()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, text);
        QFETCH(QStringList, captions);
        QFETCH(QByteArray, image);

        PromptRecorder prompts;
        FirmwareFileForm form;
        if (!file.isEmpty())
            form.setPath(text.isEmpty() ? m_dir.filePath(file) : writeFile(file, text));
        QByteArray got = "old";
        const FirmwareHeader header = form.readFirmware(got);
        QCOMPARE(header.toBytes().toHex(), QByteArray("cdab57130000000000000000"));
        QCOMPARE(got.toHex(), image);
        QStringList gotCaptions;
        for (const auto &m : prompts.messages) {
            gotCaptions << m.caption;
            QCOMPARE(m.icon, QMessageBox::Information);
        }
        QCOMPARE(gotCaptions, captions);
        QCOMPARE(prompts.messages.last().text, QString("提供的hex文件不对"));
    }

    void chooser()
    {
        PromptRecorder prompts;
        FirmwareFileForm form;
        form.setPath("keep.hex");
        prompts.fileAnswers.enqueue(QString());
        form.findChild<QPushButton *>("pushButton_2")->click();
        QCOMPARE(form.getPath(), QString("keep.hex"));

        const QString chosen = m_dir.filePath("chosen.hex");
        prompts.fileAnswers.enqueue(chosen);
        form.findChild<QPushButton *>("pushButton_2")->click();
        QCOMPARE(form.getPath(), chosen);
        QVERIFY(prompts.messages.isEmpty());
    }

    void copyPutsPathOnClipboard()
    {
        FirmwareFileForm form;
        form.setPath("fw/module.hex");
        form.findChild<QPushButton *>("pushButton")->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("fw/module.hex"));
    }
};

RIVUDO_TEST_MAIN(TestFirmwareFileForm)
#include "tst_firmwarefileform.moc"
