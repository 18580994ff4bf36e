#include "downdialog.h"
#include "endpoints.h"
#include "fakemodule.h"
#include "mainwindow.h"
#include "menubase.h"
#include "module.h"
#include "platformlists.h"
#include "promptrecorder.h"
#include "scandialog.h"
#include "serialpeer.h"
#include "submodule.h"
#include "tempappdir.h"
#include "testsupport.h"
#include "weigh_form.h"
#include "weighingconfig.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <sys/inotify.h>
#include <unistd.h>

#include <functional>

using TestSupport::child;

namespace {

// The README's serial scan: " USB" chosen, the path typed into the port box, start pressed.
int serialScan(QDialog *dialog, const QString &path)
{
    auto *scan = qobject_cast<SCANDialog *>(dialog);
    if (!scan)
        return QDialog::Rejected;
    child<QRadioButton>(scan, "radioButton_com")->click();
    child<QComboBox>(scan, "comboBox")->setEditText(path);
    QSignalSpy ended(scan, &SCANDialog::endscan);
    child<QPushButton>(scan, "pushButton")->click();
    if (!ended.wait(60000))
        qWarning("scan did not end");
    return QDialog::Rejected;
}

// The standalone fake of the README's serial road, its network ports moved for the test.
class FakeProcess
{
public:
    ~FakeProcess() { stop(); }

    // The pseudo-terminal path it prints, or empty.
    QString start()
    {
        const Endpoints &e = Endpoints::current();
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/fakemodule"),
            { "--address", "127.0.0.12", "--firmware-port", QString::number(e.firmwarePort), "--command-port",
                QString::number(e.commandPort), "--config-port", QString::number(e.configModulePort),
                "--io-monitor-port", QString::number(e.ioMonModulePort), "--comm-monitor-port",
                QString::number(e.modbusMonModulePort), "--temp-port", QString::number(e.tempModulePort),
                "--submodules", "121,131", "--serial" });
        if (!m_process.waitForStarted(10000))
            return QString();
        QByteArray said;
        QElapsedTimer clock;
        clock.start();
        while (!said.contains("\nserial ") || !said.endsWith('\n')) {
            if (clock.elapsed() > 30000 || m_process.state() != QProcess::Running)
                return QString();
            m_process.waitForReadyRead(100);
            said += m_process.readAllStandardOutput();
        }
        return QString::fromLatin1(said.mid(said.indexOf("\nserial ") + 8).trimmed());
    }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.kill();
        m_process.waitForFinished(10000);
    }

private:
    QProcess m_process;
};

// The fixed path the program uses for the fake's line, as a udev link names a USB adapter:
// the fake gets a new pseudo-terminal when it restarts, the link follows it.
bool pointLink(const QString &link, const QString &target)
{
    QFile::remove(link);
    return QFile::link(target, link);
}

modulebase *byName(module *coupler, const QString &name)
{
    if (coupler->name == name)
        return coupler;
    for (submodule *sub : coupler->submodules) {
        if (sub->name == name)
            return sub;
    }
    return nullptr;
}

// Selects the module in the tree and then the page with caption title, as a user clicks them;
// beforeShow runs on the built page just before it is shown.
menubase *showPage(
    MainWindow &w, modulebase *owner, const QString &title, const std::function<void(menubase *)> &beforeShow = nullptr)
{
    auto *tree = child<QTreeWidget>(&w, "treeWidget");
    tree->setCurrentItem(dynamic_cast<QTreeWidgetItem *>(owner));
    auto *tabs = child<QTabWidget>(&w, "tabWidget");
    menubase *page = nullptr;
    for (menubase *p : owner->pageList) {
        if (p->title == title)
            page = p;
    }
    const int index = page ? tabs->indexOf(page) : -1;
    if (index < 0)
        return nullptr;
    // Shown anew, as after a click on another tab.
    if (tabs->currentIndex() == index)
        tabs->setCurrentIndex(index == 0 ? 1 : 0);
    page->ensureBuilt();
    if (beforeShow)
        beforeShow(page);
    tabs->setCurrentIndex(index);
    return page;
}

// The vendor labels of the port frames of an IO-Link information page.
QList<QLabel *> vendorLabels(menubase *info)
{
    QList<QLabel *> labels;
    for (QWidget *frame : info->findChildren<QWidget *>()) {
        // A port's frame builds its labels once its tab is shown or an answer for it arrives.
        if (!frame->objectName().startsWith(QLatin1String("InfoCtrl_")))
            continue;
        if (auto *label = frame->findChild<QLabel *>(QStringLiteral("labelVendor_Name")))
            labels << label;
    }
    return labels;
}

// The vendor shown by a visible port frame, or empty.
QString shownVendor(menubase *info)
{
    for (QLabel *label : vendorLabels(info)) {
        if (label->isVisible() && !label->text().isEmpty())
            return label->text();
    }
    return QString();
}

// The I/O page's "values updated" signal, whatever its arguments.
QByteArray updateSignal(QObject *page)
{
    const QMetaObject *meta = page->metaObject();
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod m = meta->method(i);
        if (m.methodType() == QMetaMethod::Signal && m.name() == "updataiovalue")
            return QByteArray::number(QSIGNAL_CODE) + m.methodSignature();
    }
    return QByteArray();
}

} // namespace

class TestSerialRoad : public QObject
{
    Q_OBJECT

private:
    // Waits until text() is no longer empty; the time it took, or -1.
    template <class F> static qint64 timeUntilShown(F text, int timeoutMs = 10000)
    {
        QElapsedTimer clock;
        clock.start();
        while (text().isEmpty()) {
            if (clock.elapsed() > timeoutMs)
                return -1;
            QTest::qWait(10);
        }
        return clock.elapsed();
    }

private slots:
    void initTestCase()
    {
        PlatformLists::setLocalAddresses({});
        PlatformLists::setSerialPorts({});
    }

    // One coupler with an IO-Link master and a weighing module on the README's serial fake: its
    // pages, its I/O monitor and a parameter download share the line in any order, each shows
    // live data, and all of them come back by themselves after the fake restarts.
    void pagesShareTheLine()
    {
        QTemporaryDir links;
        QVERIFY(links.isValid());
        const QString line = links.filePath(QStringLiteral("rivudo-line"));
        FakeProcess fake;
        const QString pty = fake.start();
        QVERIFY(!pty.isEmpty());
        QVERIFY(pointLink(line, pty));

        TempAppDir dir(true);
        MainWindow w;
        w.applyStoredLanguage();
        w.show();
        PromptRecorder prompts;
        prompts.onExec = [&line](QDialog *d) { return serialScan(d, line); };
        QMetaObject::invokeMethod(&w, "on_scanmodule_clicked");
        prompts.onExec = nullptr;
        QCOMPARE(w.moduleList.size(), 1);
        module *coupler = w.moduleList.first();
        QCOMPARE(coupler->connType, int(modulebase::CONNEST_COM));
        QCOMPARE(coupler->comstr, line);
        modulebase *master = byName(coupler, QStringLiteral("RV-IOL4"));
        modulebase *scale = byName(coupler, QStringLiteral("RV-WT2"));
        QVERIFY(master && scale);

        QList<qint64> shownAfter;
        // IO-Link information: the sensor on the port shown.
        menubase *info = nullptr;
        const auto clearInfo = [](menubase *page) {
            for (QLabel *label : vendorLabels(page))
                label->clear();
        };
        const auto ioLinkShows = [&]() {
            info = showPage(w, master, QString::fromUtf8("信息显示"), clearInfo);
            if (!info)
                return qint64(-2);
            return timeUntilShown([&info] { return shownVendor(info); });
        };
        shownAfter << ioLinkShows();
        QCOMPARE(shownVendor(info), QStringLiteral("Example Sensors"));

        // Weighing: linked, a weight shows.
        auto *weigh = qobject_cast<Weigh_Form *>(showPage(w, scale, QString::fromUtf8("称重配置")));
        QVERIFY(weigh);
        QVERIFY(weigh->channelMap.value(0));
        auto *net = child<QLineEdit>(weigh->channelMap.value(0), "lineEdit_net");
        net->clear();
        child<QPushButton>(weigh, "pushButton_conset")->click();
        shownAfter << timeUntilShown([net] { return net->text(); });
        const auto weighShows = [net]() {
            net->clear();
            return timeUntilShown([net] { return net->text(); });
        };

        // The I/O monitor of the coupler.
        menubase *io = showPage(w, coupler, QString::fromUtf8("监控表"));
        QVERIFY(io);
        const QByteArray updated = updateSignal(io);
        QVERIFY(!updated.isEmpty());
        QSignalSpy samples(io, updated.constData());
        child<QPushButton>(io, "pushButton")->click();
        const auto ioShows = [&samples]() {
            const int before = samples.count();
            QElapsedTimer clock;
            clock.start();
            while (samples.count() == before) {
                if (clock.elapsed() > 10000)
                    return qint64(-1);
                QTest::qWait(10);
            }
            return clock.elapsed();
        };
        shownAfter << ioShows();
        QCOMPARE(child<QLabel>(io, "label_state")->text(), QString::fromUtf8("连接成功"));

        // A parameter download while all of them run.
        {
            DownDialog down;
            down.setModuleList(w.moduleList);
            child<QPushButton>(&down, "pushButton")->click();
            auto *table = child<QTableWidget>(&down, "tableWidget");
            QTRY_COMPARE_WITH_TIMEOUT(table->item(0, 2)->text(), QString::fromUtf8("下载成功"), 30000);
            QTRY_VERIFY_WITH_TIMEOUT(child<QPushButton>(&down, "pushButton")->isEnabled(), 10000);
        }
        // The pollers paused meanwhile and carry on.
        QCOMPARE(child<QLabel>(io, "label_state")->text(), QString::fromUtf8("连接成功"));
        QCOMPARE(child<QPushButton>(weigh, "pushButton_conset")->text(), QString::fromUtf8("连接成功"));
        shownAfter << ioShows() << weighShows();

        // Back to the IO-Link pages.
        shownAfter << ioLinkShows();
        // Each within the generous wait; how fast is for the benchmarks, not for a loaded machine.
        qInfo() << "shown after (ms):" << shownAfter;
        for (qint64 ms : qAsConst(shownAfter))
            QVERIFY2(ms >= 0, qPrintable(QString::number(ms)));

        // The fake is killed (the cable pulled): within the loss time every page that shows live
        // values says so, with the port and the reason. The I/O monitor is shown meanwhile (it
        // stops when hidden).
        io = showPage(w, coupler, QString::fromUtf8("监控表"));
        child<QPushButton>(io, "pushButton")->click();
        QVERIFY(ioShows() >= 0);
        auto *weighButton = child<QPushButton>(weigh, "pushButton_conset");
        const auto saysThePort = [&line](QWidget *page) {
            auto *label = page->findChild<QLabel *>(QStringLiteral("label_problem"));
            return label && label->text().startsWith(QString::fromUtf8("串口%1").arg(line));
        };
        fake.stop();
        // As udev takes an unplugged adapter's link away: the dead terminal's number may go to
        // another program meanwhile.
        QFile::remove(line);
        QTRY_COMPARE_WITH_TIMEOUT(weighButton->text(), QString::fromUtf8("重新连接"), 10000);
        QVERIFY(saysThePort(weigh));
        QTRY_COMPARE_WITH_TIMEOUT(child<QLabel>(io, "label_state")->text(), QString::fromUtf8("连接断开"), 10000);
        QVERIFY(saysThePort(io));

        // It comes back under the same path: the information page, which asks on its own, shows
        // the sensor again by itself; the weighing page and the I/O monitor link at the user's
        // click (the weighing page's button stayed checked: two clicks).
        const QString again = fake.start();
        QVERIFY(!again.isEmpty());
        QVERIFY(pointLink(line, again));
        io->hide();
        weighButton->click();
        weighButton->click();
        QVERIFY(weighShows() >= 0);
        QCOMPARE(weighButton->text(), QString::fromUtf8("连接成功"));
        io = showPage(w, coupler, QString::fromUtf8("监控表"));
        child<QPushButton>(io, "pushButton")->click();
        QVERIFY(ioShows() >= 0);
        QCOMPARE(child<QLabel>(io, "label_state")->text(), QString::fromUtf8("连接成功"));
        info = showPage(w, master, QString::fromUtf8("信息显示"), clearInfo);
        QVERIFY(timeUntilShown([&info] { return shownVendor(info); }) >= 0);
        // Losing the line is no refusal of a request by the user: no box was shown.
        QCOMPARE(prompts.messages.size(), 0);
    }

    // Another program holding the port: the scan says it cannot open it, with the system's
    // reason, and changes nothing; the dialog is ready for another try.
    void scanOfAPortThatCannotBeOpened()
    {
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        QSerialPort other(peer.portName());
        QVERIFY(other.open(QIODevice::ReadWrite));
        SCANDialog dialog;
        QSignalSpy started(&dialog, qOverload<QString>(&SCANDialog::startscan));
        QSignalSpy modules(&dialog, &SCANDialog::Sendmodule);
        PromptRecorder prompts;
        child<QRadioButton>(&dialog, "radioButton_com")->click();
        child<QComboBox>(&dialog, "comboBox")->setEditText(peer.portName());
        auto *start = child<QPushButton>(&dialog, "pushButton");
        const QString before = start->text();
        start->click();
        QTRY_COMPARE_WITH_TIMEOUT(prompts.messages.size(), 1, 10000);
        QVERIFY(prompts.lastText().startsWith(QString::fromUtf8("无法打开串口%1\n").arg(peer.portName())));
        QVERIFY(prompts.lastText().size() > QString::fromUtf8("无法打开串口%1\n").arg(peer.portName()).size());
        QCOMPARE(started.count(), 0); // the module list is not emptied
        QCOMPARE(modules.count(), 0);
        QTRY_VERIFY(start->isEnabled());
        QCOMPARE(start->text(), before);
        QVERIFY(child<QComboBox>(&dialog, "comboBox")->isEnabled());
        QCOMPARE(child<QProgressBar>(&dialog, "progressBar")->value(), 0);
        // Once the other program lets go, the same dialog scans.
        other.close();
        peer.addReply("R\r\n", "\r\nRVE-C100 info#end");
        peer.addReply("G\r\n", "params#end");
        start->click();
        QTRY_COMPARE_WITH_TIMEOUT(modules.count(), 1, 10000);
        QCOMPARE(started.count(), 1);
        QCOMPARE(started.at(0).at(0).toString(), peer.portName());
    }

    // Pseudo-terminals are other programs' devices: the dialog neither lists nor opens them when
    // it appears, and scans one only when its path is typed.
    void pseudoTerminalsOnlyWhenTyped()
    {
        PlatformLists::reset();
        PlatformLists::setLocalAddresses({});
        SerialPeer peer;
        QVERIFY(peer.isOpen());
        peer.addReply("R\r\n", "\r\nRVE-C100 info#end");
        peer.addReply("G\r\n", "params#end");
        QVERIFY(!PlatformLists::serialPorts().contains(peer.portName()));
        const int watcher = inotify_init1(IN_NONBLOCK);
        QVERIFY(watcher >= 0);
        QVERIFY(inotify_add_watch(watcher, QFile::encodeName(peer.portName()).constData(), IN_OPEN) >= 0);
        {
            SCANDialog dialog;
            auto *box = child<QComboBox>(&dialog, "comboBox");
            for (int i = 0; i < box->count(); ++i)
                QVERIFY(!box->itemText(i).contains(peer.portName()));
            char events[4096];
            QVERIFY(::read(watcher, events, sizeof events) < 0); // nothing opened it
            // Typed, it is scanned.
            QSignalSpy modules(&dialog, &SCANDialog::Sendmodule);
            child<QRadioButton>(&dialog, "radioButton_com")->click();
            box->setEditText(peer.portName());
            child<QPushButton>(&dialog, "pushButton")->click();
            QTRY_COMPARE_WITH_TIMEOUT(modules.count(), 1, 10000);
            QVERIFY(::read(watcher, events, sizeof events) > 0);
        }
        ::close(watcher);
        PlatformLists::setSerialPorts({});
    }
};

RIVUDO_TEST_MAIN(TestSerialRoad)
#include "tst_serialroad.moc"
