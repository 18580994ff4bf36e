#include "blackhole.h"
#include "devicerequest.h"
#include "endpoints.h"
#include "fakemodule.h"
#include "tcpthread.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QNetworkDatagram>
#include <QPushButton>
#include <QThread>
#include <QUdpSocket>
#include <future>
#include <memory>

namespace {

// A module's configuration port that answers each datagram late, so exchanges overlap; records
// the port each datagram came from.
class LateUdpModule : public QObject
{
public:
    LateUdpModule(const QString &address, int delayMs)
        : m_address(address)
        , m_delay(delayMs)
    {
        moveToThread(&m_thread);
        m_thread.start();
        QMetaObject::invokeMethod(
            this, [this] { open(); }, Qt::BlockingQueuedConnection);
    }
    ~LateUdpModule() override
    {
        QMetaObject::invokeMethod(
            this, [this] { delete m_socket; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    bool isOpen() const { return m_bound; }
    QList<quint16> senderPorts() const
    {
        QMutexLocker lock(&m_mutex);
        return m_ports;
    }

private:
    void open()
    {
        m_socket = new QUdpSocket;
        m_bound = m_socket->bind(QHostAddress(m_address), Endpoints::current().configModulePort);
        connect(m_socket, &QUdpSocket::readyRead, m_socket, [this] {
            while (m_socket->hasPendingDatagrams()) {
                const QNetworkDatagram d = m_socket->receiveDatagram();
                {
                    QMutexLocker lock(&m_mutex);
                    m_ports << quint16(d.senderPort());
                }
                const QByteArray answer = d.data().startsWith('\x43') ? QByteArray("#OK") : QByteArray("block");
                const QHostAddress to = d.senderAddress();
                const quint16 port = quint16(d.senderPort());
                QTimer::singleShot(
                    m_delay, m_socket, [this, answer, to, port] { m_socket->writeDatagram(answer, to, port); });
            }
        });
    }

    QString m_address;
    int m_delay;
    QThread m_thread;
    QUdpSocket *m_socket = nullptr;
    bool m_bound = false;
    mutable QMutex m_mutex;
    QList<quint16> m_ports;
};

} // namespace

class TestDeviceRequest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        // No test leaves work behind for the next.
        QVERIFY(DeviceRequest::stopAll(10000));
        QCOMPARE(DeviceRequest::runningCount(), 0);
    }

    void resultArrivesInTheGuiThread()
    {
        QPushButton trigger;
        QObject context;
        std::atomic<bool> release { false };
        QThread *workThread = nullptr;
        QThread *doneThread = nullptr;
        int result = 0;
        int calls = 0;
        DeviceRequest::run<int>(
            &context,
            [&](const std::atomic<bool> &) {
                workThread = QThread::currentThread();
                while (!release)
                    QThread::msleep(1);
                return 42;
            },
            [&](int r) {
                doneThread = QThread::currentThread();
                result = r;
                ++calls;
            },
            &trigger);
        // The control stays disabled until the result is in, so no second request can start.
        QVERIFY(!trigger.isEnabled());
        QTest::qWait(50);
        QVERIFY(!trigger.isEnabled());
        QCOMPARE(calls, 0);
        release = true;
        QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 10000);
        QCOMPARE(result, 42);
        QVERIFY(trigger.isEnabled());
        QVERIFY(workThread != QThread::currentThread());
        QCOMPARE(doneThread, QThread::currentThread());
    }

    void deletedContextNeverHearsBack()
    {
        QPushButton trigger;
        auto *context = new QObject;
        std::atomic<bool> sawStop { false };
        int calls = 0;
        DeviceRequest *request = DeviceRequest::run<int>(
            context,
            [&](const std::atomic<bool> &stop) {
                while (!stop)
                    QThread::msleep(1);
                sawStop = true;
                return 1;
            },
            [&calls](int) { ++calls; }, &trigger);
        QSignalSpy finished(request, &DeviceRequest::finished);
        QTest::qWait(20);
        delete context; // the page goes away mid-wait
        QVERIFY(finished.wait(10000));
        QVERIFY(sawStop);
        QTest::qWait(20);
        QCOMPARE(calls, 0);
        QVERIFY(trigger.isEnabled());
    }

    void deletedTriggerIsNoProblem()
    {
        QObject context;
        auto *trigger = new QPushButton;
        int calls = 0;
        DeviceRequest::start(
            &context, [](const std::atomic<bool> &) { QThread::msleep(30); }, [&calls] { ++calls; }, trigger);
        delete trigger;
        QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 10000);
    }

    void stopAllEndsRunningWork()
    {
        QObject context;
        int calls = 0;
        for (int i = 0; i < 3; ++i) {
            DeviceRequest::start(
                &context,
                [](const std::atomic<bool> &stop) {
                    while (!stop)
                        QThread::msleep(1);
                },
                [&calls] { ++calls; });
        }
        QCOMPARE(DeviceRequest::runningCount(), 3);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(DeviceRequest::stopAll(10000));
        QVERIFY2(timer.elapsed() < 2000, QByteArray::number(timer.elapsed()));
        QCOMPARE(DeviceRequest::runningCount(), 0);
        // Work stopped at shutdown hands nothing on.
        QTest::qWait(20);
        QCOMPARE(calls, 0);
    }

    void stopAllStopsAdoptedThreads()
    {
        auto flag = std::make_shared<std::shared_ptr<std::atomic<bool>>>();
        QThread *thread = QThread::create([flag] {
            while (!**flag)
                QThread::msleep(1);
        });
        *flag = DeviceRequest::adopt(thread);
        QPointer<QThread> watch(thread);
        thread->start();
        QTRY_VERIFY(thread->isRunning());
        QCOMPARE(DeviceRequest::runningCount(), 1);
        QVERIFY(DeviceRequest::stopAll(10000));
        QVERIFY(watch.isNull());
        QCOMPARE(DeviceRequest::runningCount(), 0);
    }

    // A worker asked to stop leaves whatever wait it is in, promptly.
    void cancelEndsTheCurrentWait_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("connection wait") << "connect";
        QTest::newRow("greeting wait") << "greeting";
        QTest::newRow("udp reply wait") << "udp";
    }

    void cancelEndsTheCurrentWait()
    {
        QFETCH(QString, what);
        const QString address = "127.0.0.81";
        std::unique_ptr<BlackHole> hole;
        FakeModule fake(address);
        if (what == "connect") {
            hole.reset(new BlackHole(address, Endpoints::current().commandPort));
            QVERIFY(hole->isOpen());
        } else {
            fake.setSilent(true);
            QVERIFY(fake.start());
        }
        QObject context;
        int result = 0;
        bool done = false;
        DeviceRequest *request = DeviceRequest::run<int>(
            &context,
            [address, what](const std::atomic<bool> &stop) {
                TCPThread worker;
                worker.cancel = &stop;
                if (what == "udp") {
                    QByteArray data;
                    return worker.udp_UploadPlugConfig(address, 19, 19, data);
                }
                return worker.DownPlugConfig(address, 18, 16, QByteArray("x"));
            },
            [&](int r) {
                result = r;
                done = true;
            });
        QTest::qWait(150);
        QVERIFY(!done);
        QElapsedTimer timer;
        timer.start();
        request->cancel();
        QTRY_VERIFY_WITH_TIMEOUT(done, 10000);
        QVERIFY2(timer.elapsed() < 300, QByteArray::number(timer.elapsed()));
        QCOMPARE(result, -1);
    }

    void walkingScanStopsPromptly()
    {
        const QString address = "127.0.0.82";
        BlackHole hole(address, Endpoints::current().commandPort);
        QVERIFY(hole.isOpen());
        QThread thread;
        TCPThread worker;
        QStringList tried;
        connect(
            &worker, &TCPThread::SendCurIP, &worker, [&tried](const QString &ip) { tried << ip; },
            Qt::DirectConnection);
        worker.moveToThread(&thread);
        thread.start();
        int finished = 0;
        connect(&worker, &TCPThread::finished, this, [&finished] { ++finished; });
        QMetaObject::invokeMethod(
            &worker, "Scanmodulestart", Qt::QueuedConnection, Q_ARG(QString, address), Q_ARG(QString, address));
        QTest::qWait(100);
        QElapsedTimer timer;
        timer.start();
        worker.requestStop();
        QTRY_COMPARE_WITH_TIMEOUT(finished, 1, 10000);
        QVERIFY2(timer.elapsed() < 300, QByteArray::number(timer.elapsed()));
        thread.quit();
        QVERIFY(thread.wait(10000));
        QCOMPARE(tried, QStringList { address });
    }

    void requestStopBeforeTheScanStartsHolds()
    {
        TCPThread worker;
        QSignalSpy ip(&worker, &TCPThread::SendCurIP);
        worker.requestStop();
        worker.Scanmodulestart("127.0.0.1", "127.0.0.9");
        QCOMPARE(ip.count(), 0);
    }

    // Two exchanges on the configuration port at once both get their answers, and the module
    // still sees them come from the configuration port.
    void twoUdpExchangesAtOnce()
    {
        LateUdpModule first("127.0.0.83", 300);
        LateUdpModule second("127.0.0.84", 300);
        QVERIFY(first.isOpen());
        QVERIFY(second.isOpen());
        QObject context;
        QList<int> results;
        QByteArray uploaded;
        DeviceRequest::run<int>(
            &context,
            [](const std::atomic<bool> &stop) {
                TCPThread worker;
                worker.cancel = &stop;
                return worker.udp_DownPlugConfig("127.0.0.83", 19, 20, QByteArray(8, 'd'));
            },
            [&results](int r) { results << r; });
        DeviceRequest::run<QPair<int, QByteArray>>(
            &context,
            [](const std::atomic<bool> &stop) {
                TCPThread worker;
                worker.cancel = &stop;
                QByteArray data;
                const int r = worker.udp_UploadPlugConfig("127.0.0.84", 19, 19, data);
                return qMakePair(r, data);
            },
            [&results, &uploaded](const QPair<int, QByteArray> &r) {
                results << r.first;
                uploaded = r.second;
            });
        QTRY_COMPARE_WITH_TIMEOUT(results.size(), 2, 10000);
        QCOMPARE(results, (QList<int> { 1, 1 }));
        QCOMPARE(uploaded, QByteArray("block"));
        const quint16 local = Endpoints::current().configLocalPort;
        QCOMPARE(first.senderPorts(), QList<quint16> { local });
        QCOMPARE(second.senderPorts(), QList<quint16> { local });
    }

    // Requests of one queue work one after the other in the order they were started, however
    // their threads are scheduled; another queue is not held up by them.
    void queuedRequestsKeepTheirOrder()
    {
        QMutex mutex;
        QStringList order;
        const auto note = [&mutex, &order](const QString &what) {
            QMutexLocker lock(&mutex);
            order << what;
        };
        std::promise<void> release;
        std::shared_future<void> released = release.get_future().share();
        int done = 0;
        DeviceRequest::start(
            nullptr,
            [&note, released](const std::atomic<bool> &) {
                released.wait();
                note("a1");
            },
            [&done] { ++done; }, nullptr, "a");
        for (const QString &name : { QStringLiteral("a2"), QStringLiteral("a3") })
            DeviceRequest::start(
                nullptr, [&note, name](const std::atomic<bool> &) { note(name); }, [&done] { ++done; }, nullptr, "a");
        DeviceRequest::start(
            nullptr, [&note](const std::atomic<bool> &) { note("b1"); }, [&done] { ++done; }, nullptr, "b");
        QTRY_COMPARE_WITH_TIMEOUT(done, 1, 10000);
        {
            QMutexLocker lock(&mutex);
            QCOMPARE(order, QStringList { "b1" });
        }
        release.set_value();
        QTRY_COMPARE_WITH_TIMEOUT(done, 4, 10000);
        QCOMPARE(order, (QStringList { "b1", "a1", "a2", "a3" }));
    }

    void streamSwitchThroughARequest()
    {
        FakeModule fake("127.0.0.85");
        QVERIFY(fake.start());
        QObject context;
        bool done = false;
        DeviceRequest::start(
            &context,
            [](const std::atomic<bool> &stop) {
                TCPThread worker;
                worker.cancel = &stop;
                worker.IOMonitor("127.0.0.85", 1);
            },
            [&done] { done = true; });
        QTRY_VERIFY_WITH_TIMEOUT(done, 10000);
        QTRY_COMPARE(fake.received(FakeModule::CommandPort), QByteArray("\x44\x00\x01", 3));
    }
};

RIVUDO_TEST_MAIN(TestDeviceRequest)
#include "tst_devicerequest.moc"
