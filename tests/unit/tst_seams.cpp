#include "apppaths.h"
#include "delay.h"
#include "endpoints.h"
#include "externalprograms.h"
#include "modalcloser.h"
#include "platformlists.h"
#include "promptrecorder.h"
#include "serialpeer.h"
#include "tempappdir.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QFile>
#include <QTimer>

class TestSeams : public QObject
{
    Q_OBJECT
private slots:
    void guardIsLoaded()
    {
        QVERIFY(TestSupport::loopGuardActive());
        QVERIFY(Endpoints::current().broadcast.toString().startsWith("127."));
    }

    void guardStopsTrafficLeavingLoopback()
    {
        // 0.0.0.0 reaches this machine even without the guard, so the check itself is safe.
        const pid_t pid = fork();
        QVERIFY(pid >= 0);
        if (pid == 0) {
            const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
            sockaddr_in to{};
            to.sin_family = AF_INET;
            to.sin_port = htons(9);
            to.sin_addr.s_addr = htonl(INADDR_ANY);
            ::sendto(fd, "x", 1, 0, reinterpret_cast<sockaddr *>(&to), sizeof to);
            _exit(0);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(WTERMSIG(status), SIGABRT);
    }

    void appDirOverride()
    {
        const QString real = AppPaths::appDir();
        {
            TempAppDir dir;
            QCOMPARE(AppPaths::appDir(), dir.path());
            QCOMPARE(AppPaths::path("/usrconf.ini"), dir.path() + "/usrconf.ini");
        }
        QCOMPARE(AppPaths::appDir(), real);
    }

    void resolve_data()
    {
        QTest::addColumn<QString>("onDisk");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("expected");
        QTest::newRow("exact") << "/ModuleParameter/Devicestype.xml" << "/ModuleParameter/Devicestype.xml"
                               << "/ModuleParameter/Devicestype.xml";
        QTest::newRow("file case") << "/ModuleParameter/DevicesType.XML" << "/ModuleParameter/Devicestype.xml"
                                   << "/ModuleParameter/DevicesType.XML";
        QTest::newRow("folder case") << "/moduleparameter/KX/ModuleParameter.xml"
                                     << "/ModuleParameter/kx/ModuleParameter.xml"
                                     << "/moduleparameter/KX/ModuleParameter.xml";
        QTest::newRow("missing") << "/ModuleParameter/a.xml" << "/ModuleParameter/b.xml"
                                 << "/ModuleParameter/b.xml";
    }
    void resolve()
    {
        QFETCH(QString, onDisk);
        QFETCH(QString, asked);
        QFETCH(QString, expected);
        TempAppDir dir;
        QVERIFY(dir.write(onDisk, "x"));
        QCOMPARE(AppPaths::find(asked), dir.path() + expected);
    }

    void delayLetsEventsThrough()
    {
        bool fired = false;
        QTimer::singleShot(10, [&fired] { fired = true; });
        QElapsedTimer t;
        t.start();
        delay(80);
        QVERIFY(fired);
        QVERIFY(t.elapsed() >= 75);
    }

    void nestedDelayFinishesFirst()
    {
        QStringList order;
        QTimer::singleShot(5, [&order] {
            delay(60);
            order << "inner";
        });
        delay(20);
        order << "outer";
        QCOMPARE(order, QStringList({"inner", "outer"}));
    }

    void promptsAreRecorded()
    {
        PromptRecorder rec;
        rec.answers.enqueue(QMessageBox::No);
        QCOMPARE(Prompts::question(nullptr, "请再次确认", "q?"), QMessageBox::No);
        QCOMPARE(Prompts::warning(nullptr, "错误", "w"), QMessageBox::Ok);
        QCOMPARE(rec.messages.size(), 2);
        QCOMPARE(rec.lastCaption(), QString("错误"));
        rec.fileAnswers.enqueue("/tmp/x.kdxml");
        QCOMPARE(Prompts::getSaveFileName(nullptr, "c"), QString("/tmp/x.kdxml"));
        QCOMPARE(Prompts::getOpenFileName(nullptr, "c"), QString());
        QDialog d;
        QCOMPARE(Prompts::exec(&d), int(QDialog::Rejected));
        QCOMPARE(rec.dialogsRun, QStringList({"QDialog"}));
    }

    // Warnings asked for from inside a handler open after it, in turn and never one inside
    // another; one whose context went meanwhile stays unseen.
    void laterWarningsOpenInTurn()
    {
        ModalCloser boxes;
        QObject page;
        auto *gone = new QObject;
        Prompts::warningLater(&page, "错误", "first");
        Prompts::warningLater(gone, "错误", "of a page that went");
        Prompts::warningLater(&page, "错误", "second");
        QVERIFY(boxes.closed.isEmpty());
        delete gone;
        boxes.answer = [&page](QWidget *box) {
            // Asked for while a box is open: it follows the others.
            if (static_cast<QMessageBox *>(box)->text() == "first")
                Prompts::warningLater(&page, "错误", "asked meanwhile");
            static_cast<QMessageBox *>(box)->button(QMessageBox::Ok)->click();
        };
        QTRY_COMPARE(boxes.closed.size(), 3);
        QStringList texts;
        for (const ModalCloser::Box &box : qAsConst(boxes.closed))
            texts << box.text;
        QCOMPARE(texts, QStringList({ "first", "second", "asked meanwhile" }));
        QCOMPARE(boxes.closed.first().caption, QString("错误"));
        QCOMPARE(boxes.deepest, 1);
    }

    void outsideProgramBesideTheProgram()
    {
        TempAppDir dir;
        QVERIFY(dir.write("/7-Zip/7z.exe", "#!/bin/sh\n"));
        QCOMPARE(ExternalPrograms::resolve(ExternalPrograms::SevenZip), dir.path() + "/7-Zip/7z.exe");
        ExternalPrograms::setOverride(ExternalPrograms::SevenZip, "/bin/true");
        QCOMPARE(ExternalPrograms::resolve(ExternalPrograms::SevenZip), QString("/bin/true"));
        ExternalPrograms::clearOverrides();
    }

    // Pseudo-terminals belong to other programs (a simulator, a bridge, a shell): none is offered
    // as a serial port, so the scan dialog never opens one the user did not type.
    void pseudoTerminalsAreNoSerialPorts()
    {
        PlatformLists::reset();
        SerialPeer simulator;
        QVERIFY(simulator.isOpen());

        const int master = posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(master >= 0);
        QVERIFY(grantpt(master) == 0 && unlockpt(master) == 0);
        const QString terminal = QString::fromLocal8Bit(ptsname(master));
        int ready[2];
        QVERIFY(pipe(ready) == 0);
        const pid_t shell = fork();
        if (shell == 0) {
            // A session of its own whose controlling terminal is the pty, as a shell's is.
            setsid();
            const int slave = open(terminal.toLocal8Bit().constData(), O_RDWR);
            if (slave >= 0)
                ioctl(slave, TIOCSCTTY, 0);
            (void)!write(ready[1], "x", 1);
            pause();
            _exit(0);
        }
        QVERIFY(shell > 0);
        char c = 0;
        QCOMPARE(read(ready[0], &c, 1), ssize_t(1));
        const QStringList ports = PlatformLists::serialPorts();
        kill(shell, SIGKILL);
        waitpid(shell, nullptr, 0);
        ::close(ready[0]);
        ::close(ready[1]);
        ::close(master);

        QVERIFY2(!ports.contains(simulator.portName()), qPrintable(ports.join(' ')));
        QVERIFY2(!ports.contains(terminal), qPrintable(ports.join(' ')));
    }
};

RIVUDO_TEST_MAIN(TestSeams)
#include "tst_seams.moc"
