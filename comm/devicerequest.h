#ifndef DEVICEREQUEST_H
#define DEVICEREQUEST_H

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>

class QThread;

// One exchange with a device, run on a worker thread of its own so the GUI never waits on the
// network or a serial port. The worker gets a stop flag it must test between waits; the result
// is handed back in the GUI thread to `done`, which never runs once its context object is gone.
// The control that started the exchange stays disabled until the result is in, so a second click
// cannot start a second exchange.
//
//   DeviceRequest::run<int>(this,
//       [ip, data](const std::atomic<bool> &stop) { TCPThread w; w.cancel = &stop; return w.DownIPConfig(ip, data); },
//       [this](int result) { showResult(result); }, ui->pushButton);
//
// The work must not touch widgets or module objects: gather what it needs into values first.
class DeviceRequest : public QObject
{
    Q_OBJECT
public:
    using Work = std::function<void(const std::atomic<bool> &stop)>;
    using Done = std::function<void()>;

    // Starts work; done runs in the GUI thread afterwards unless context has been destroyed.
    // The request deletes itself after done. trigger (may be null) is disabled meanwhile.
    // Requests started with the same non-empty queue name run one after the other, in the order
    // they were started (each begins its work once the one before has ended its own).
    static DeviceRequest *start(
        QObject *context, Work work, Done done, QWidget *trigger = nullptr, const QString &queue = QString());

    // The same with a typed result.
    template <class R, class W, class D>
    static DeviceRequest *run(QObject *context, W work, D done, QWidget *trigger = nullptr)
    {
        auto result = std::make_shared<R>();
        return start(
            context, [work, result](const std::atomic<bool> &stop) { *result = work(stop); },
            [done, result]() { done(*result); }, trigger);
    }

    // Asks the work to stop; done still runs (if its context lives) with what the work returned.
    void cancel();
    bool isRunning() const;
    // Waits up to msec for the work to end (done still comes later, from the event loop); true
    // when it has ended. For owners that close and must not leave work behind.
    bool wait(int msec);

    // Asks every running request (and every adopted thread) to stop and waits up to msec in all
    // for their threads; true when none is left running. Called when the program closes: requests
    // and adopted threads that have ended are released at once, without their done.
    static bool stopAll(int msec);
    static int runningCount();

    // Joins a worker thread started elsewhere (a scan or a download walking many modules) to the
    // set that stopAll stops. Returns the stop flag to give its worker (TCPThread::cancel); it
    // lives as long as the thread object. The thread is started and deleted by its owner (or by
    // its own finished signal).
    static std::shared_ptr<std::atomic<bool>> adopt(QThread *thread);

signals:
    void finished();

private:
    DeviceRequest() = default;
    ~DeviceRequest() override;

    void deliver();
    // Drops a request whose thread has ended without handing on its result.
    void discard();

    std::shared_ptr<std::atomic<bool>> m_stop = std::make_shared<std::atomic<bool>>(false);
    QThread *m_thread = nullptr;
    QPointer<QObject> m_context;
    bool m_hasContext = false;
    QPointer<QWidget> m_trigger;
    Done m_done;
};

#endif
