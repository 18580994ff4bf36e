// The README's road without a module: start the standalone fake as written there, scan the range
// it names, and see a coupler with its sub-modules; every fake of the README's page table shows
// the pages it names and serves their traffic.
#include "endpoints.h"
#include "fakemodule.h"
#include "iolinkdeviceinfo.h"
#include "iomonitorcodec.h"
#include "ipaddress.h"
#include "mainwindow.h"
#include "menubase.h"
#include "module.h"
#include "mqttgeneralconfig.h"
#include "platformlists.h"
#include "plugframe.h"
#include "promptrecorder.h"
#include "scandialog.h"
#include "submodule.h"
#include "tcpthread.h"
#include "tempappdir.h"
#include "tempctlblocks.h"
#include "tempctldebugblocks.h"
#include "testsupport.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPort>
#include <QTabWidget>
#include <QTreeWidget>
#include <QUdpSocket>

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

// One row of the README's table of fakes: the command as written, the module it makes and the
// pages the program shows for it.
struct ReadmeFake
{
    QString command;
    QString type;
    QStringList submodules;
    QStringList pages;
};

QList<ReadmeFake> readmeFakes()
{
    QList<ReadmeFake> fakes;
    QFile readme(QStringLiteral(RIVUDO_SOURCE_DIR "/README.md"));
    if (!readme.open(QIODevice::ReadOnly | QIODevice::Text))
        return fakes;
    for (const QString &line : QString::fromUtf8(readme.readAll()).split(QLatin1Char('\n'))) {
        if (!line.startsWith(QLatin1String("| `build-test/bin/fakemodule ")))
            continue;
        const QStringList cells = line.split(QLatin1Char('|'), Qt::SkipEmptyParts);
        if (cells.size() != 3)
            continue;
        ReadmeFake fake;
        fake.command = cells.at(0).trimmed().remove(QLatin1Char('`'));
        const QString module = cells.at(1).trimmed();
        fake.type = module.section(QLatin1Char(' '), 0, 0);
        if (module.contains(QLatin1String(" with ")))
            fake.submodules = module.section(QLatin1String(" with "), 1).split(QStringLiteral(", "));
        fake.pages = cells.at(2).trimmed().split(QStringLiteral(", "));
        fakes << fake;
    }
    return fakes;
}

// The road's serial scan: " USB" chosen, the fake's path typed into the port box, start pressed.
int serialScan(QDialog *dialog, const QString &path)
{
    auto *scan = qobject_cast<SCANDialog *>(dialog);
    if (!scan)
        return QDialog::Rejected;
    auto *com = child<QRadioButton>(scan, "radioButton_com");
    if (!com->isEnabled())
        return QDialog::Rejected;
    com->click();
    child<QComboBox>(scan, "comboBox")->setEditText(path);
    QSignalSpy ended(scan, &SCANDialog::endscan);
    child<QPushButton>(scan, "pushButton")->click();
    if (!ended.wait(60000))
        qWarning("scan did not end");
    return QDialog::Rejected;
}

// One datagram to a port of the fake, and its first answer.
QByteArray exchange(const QString &address, quint16 port, const QByteArray &request)
{
    QUdpSocket socket;
    if (!socket.bind(QHostAddress(QHostAddress::LocalHost), 0))
        return QByteArray();
    socket.writeDatagram(request, QHostAddress(address), port);
    QSignalSpy ready(&socket, &QUdpSocket::readyRead);
    if (!socket.hasPendingDatagrams() && !ready.wait(10000))
        return QByteArray();
    return socket.receiveDatagram().data();
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

    void readmeNamesAFakeForEveryPage()
    {
        const QList<ReadmeFake> fakes = readmeFakes();
        QStringList pages;
        for (const ReadmeFake &fake : fakes)
            pages << fake.pages;
        for (const char *page : { "监控表", "MQTT", "Modbus配置", "通讯监控", "通讯配置", "PID设置", "端口设置",
                 "参数设置", "信息显示", "称重配置", "工厂校准" })
            QVERIFY2(pages.contains(QString::fromUtf8(page)), page);
    }

    void readmeFakesShowTheirPages_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("submodules");
        QTest::addColumn<QStringList>("pages");
        for (const ReadmeFake &fake : readmeFakes())
            QTest::newRow(qPrintable(fake.command)) << fake.command << fake.type << fake.submodules << fake.pages;
    }

    // Each fake of the README's table started as written (ports moved for the test): a scan shows
    // the module and exactly the pages the table names, and the fake answers the live pages.
    void readmeFakesShowTheirPages()
    {
        QFETCH(QString, command);
        QFETCH(QString, type);
        QFETCH(QStringList, submodules);
        QFETCH(QStringList, pages);
        QStringList args = QProcess::splitCommand(command);
        QVERIFY(!args.isEmpty());
        QCOMPARE(args.takeFirst(), QStringLiteral("build-test/bin/fakemodule"));
        const int address = args.indexOf(QStringLiteral("--address"));
        QVERIFY(address >= 0 && address + 1 < args.size());
        const QString ip = args.at(address + 1);
        const Endpoints &endpoints = Endpoints::current();
        const int firmware = args.indexOf(QStringLiteral("--firmware-port"));
        QVERIFY(firmware >= 0 && firmware + 1 < args.size());
        args[firmware + 1] = QString::number(endpoints.firmwarePort);
        args << "--command-port" << QString::number(endpoints.commandPort) << "--config-port"
             << QString::number(endpoints.configModulePort) << "--io-monitor-port"
             << QString::number(endpoints.ioMonModulePort) << "--comm-monitor-port"
             << QString::number(endpoints.modbusMonModulePort) << "--temp-port"
             << QString::number(endpoints.tempModulePort);
        const bool serial = args.contains(QStringLiteral("--serial"));

        QProcess fake;
        fake.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        fake.start(QCoreApplication::applicationDirPath() + QStringLiteral("/fakemodule"), args);
        QVERIFY(fake.waitForStarted(10000));
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += fake.readAllStandardOutput()).count('\n') >= (serial ? 2 : 1), 30000);
        QVERIFY2(
            said.startsWith("fake module " + ip.toLatin1() + " answering as " + type.toLatin1()), said.constData());
        QString path;
        if (serial) {
            const int at = said.indexOf("\nserial ");
            QVERIFY2(at > 0, said.constData());
            path = QString::fromLatin1(said.mid(at + 8).trimmed());
        }

        int imageBytes = -1;
        {
            TempAppDir dir(true);
            MainWindow w;
            w.applyStoredLanguage();
            PromptRecorder prompts;
            if (serial) {
                // As the README says: the path the fake prints, typed into the port box.
                PlatformLists::setSerialPorts({});
                prompts.onExec = [&path](QDialog *d) { return serialScan(d, path); };
            } else {
                prompts.onExec = scanAsTheReadmeSays;
            }
            QMetaObject::invokeMethod(&w, "on_scanmodule_clicked");
            PlatformLists::setSerialPorts({});

            QCOMPARE(w.moduleList.size(), 1);
            module *coupler = w.moduleList.first();
            QCOMPARE(coupler->name, type);
            QCOMPARE(coupler->connType, serial ? int(modulebase::CONNEST_COM) : int(modulebase::CONNEST_NET));
            QStringList names;
            for (auto *sub : coupler->submodules)
                names << sub->name;
            QCOMPARE(names, submodules);
            QStringList shown;
            QList<modulebase *> owners { coupler };
            for (auto *sub : coupler->submodules)
                owners << sub;
            for (modulebase *owner : owners) {
                for (menubase *page : owner->pageList) {
                    if (!shown.contains(page->title))
                        shown << page->title;
                }
            }
            imageBytes = ioImageBytes(ioLayout(coupler->ioPoints));
            std::sort(shown.begin(), shown.end());
            std::sort(pages.begin(), pages.end());
            QCOMPARE(shown, pages);
        }

        if (serial) {
            // The line answers the weighing and IO-Link frames.
            QSerialPort port(path);
            QVERIFY(port.open(QIODevice::ReadWrite));
            QByteArray replies;
            for (const QByteArray &frame : { PlugFrame::build(PlugFrame::typeWeigh, 0x00, QByteArray(1, '\1')),
                     PlugFrame::build(PlugFrame::typeIoLink, 10, QByteArray(1, '\0')) }) {
                port.write(QByteArray(1, char(PlugFrame::requestPrefix)) + frame);
                QVERIFY(port.waitForBytesWritten(5000));
            }
            QList<QByteArray> frames;
            QTRY_VERIFY_WITH_TIMEOUT((port.waitForReadyRead(100), replies += port.readAll(),
                                         frames += PlugFrame::takeAll(replies), frames.size() >= 2),
                15000);
            QCOMPARE(quint8(frames.at(0).at(1)), PlugFrame::typeWeigh);
            QCOMPARE(quint8(frames.at(1).at(1)), PlugFrame::typeIoLink);
            // The master's port 1 reports a device a person recognises.
            const IoLinkDeviceInfo info
                = IoLinkDeviceInfo::decode(frames.at(1).mid(7, int(PlugFrame::payloadLength(frames.at(1)))));
            QCOMPARE(info.vendorName, QStringLiteral("Example Sensors"));
            QCOMPARE(info.productText, QStringLiteral("Distance sensor 0-100 mm"));
        } else {
            // I/O monitor: a poll without outputs gets the image back.
            const QByteArray image = exchange(ip, endpoints.ioMonModulePort, QByteArray::fromHex("a500005a"));
            QVERIFY(image.size() >= 4);
            QCOMPARE(quint8(image.at(0)), quint8(0xA5));
            QCOMPARE((quint8(image.at(1)) << 8) | quint8(image.at(2)), image.size() - 4);
            // The image the program's I/O page expects.
            QCOMPARE(image.size() - 4, imageBytes);
            QCOMPARE(quint8(image.back()), quint8(0x5A));
            // Communication monitor: a keep-alive brings traffic.
            QVERIFY(exchange(ip, endpoints.modbusMonModulePort, "IAMOK").contains("slot="));
            // Temperature curves: one curve of channel 1, its actual value.
            QCOMPARE(exchange(ip, endpoints.tempModulePort, QByteArray::fromHex("a5 00 00 01 00 5a")).left(2),
                QByteArray::fromHex("a501"));
            // Block uploads with contents the pages take.
            TCPThread worker;
            QByteArray general;
            QVERIFY(worker.UploadPlugConfig(ip, 18, 16, general) > 0);
            MqttGeneralConfig config;
            QVERIFY(config.fromText(QString::fromUtf8(general)));
            QCOMPARE(config.clientId, QStringLiteral("rivudo-demo"));
            QByteArray pid;
            QVERIFY(worker.UploadPlugConfig(ip, 19, 16, pid) > 0);
            TempCtlPidBlock pidBlock;
            QVERIFY(pidBlock.decode(pid));
            QByteArray io;
            QVERIFY(worker.UploadPlugConfig(ip, 19, 18, io) > 0);
            TempCtlIoBlock ioBlock;
            QVERIFY(ioBlock.decode(io));
            QByteArray status;
            QVERIFY(worker.udp_UploadPlugConfig(ip, 19, 19, status) > 0);
            TempCtlStatusBlock statusBlock;
            QVERIFY(statusBlock.decode(status));
            QCOMPARE(statusBlock.channels[1].targetTenths, quint16(650));
        }

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
