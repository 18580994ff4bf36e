#include "devicerequest.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>
#include <QThread>
#include <future>

namespace {

QMutex &registryMutex()
{
    static QMutex mutex;
    return mutex;
}

QSet<DeviceRequest *> &registry()
{
    static QSet<DeviceRequest *> requests;
    return requests;
}

QHash<QThread *, std::shared_ptr<std::atomic<bool>>> &adopted()
{
    static QHash<QThread *, std::shared_ptr<std::atomic<bool>>> threads;
    return threads;
}

// The end of a request's work, for the request queued after it.
struct WorkEnd
{
    std::promise<void> promise;
    std::shared_future<void> future = promise.get_future().share();
};

// The last request of each queue, by name; guarded by registryMutex().
QHash<QString, std::shared_ptr<WorkEnd>> &queueTails()
{
    static QHash<QString, std::shared_ptr<WorkEnd>> tails;
    return tails;
}

} // namespace

DeviceRequest *DeviceRequest::start(QObject *context, Work work, Done done, QWidget *trigger, const QString &queue)
{
    auto *request = new DeviceRequest;
    request->m_context = context;
    request->m_hasContext = context != nullptr;
    request->m_trigger = trigger;
    request->m_done = std::move(done);
    if (trigger)
        trigger->setEnabled(false);

    auto stop = request->m_stop;
    std::shared_ptr<WorkEnd> before;
    std::shared_ptr<WorkEnd> end;
    if (!queue.isEmpty()) {
        end = std::make_shared<WorkEnd>();
        QMutexLocker lock(&registryMutex());
        before = queueTails().value(queue);
        queueTails().insert(queue, end);
    }
    request->m_thread = QThread::create([work = std::move(work), stop, before, end, queue]() {
        // A request stopped while it waits still waits: the one before it stops as well.
        if (before)
            before->future.wait();
        if (work)
            work(*stop);
        if (end) {
            end->promise.set_value();
            QMutexLocker lock(&registryMutex());
            if (queueTails().value(queue) == end)
                queueTails().remove(queue);
        }
    });
    // A context that goes away has no use for the result: let the work end early.
    if (context)
        connect(context, &QObject::destroyed, request, &DeviceRequest::cancel);
    connect(request->m_thread, &QThread::finished, request, &DeviceRequest::deliver, Qt::QueuedConnection);
    {
        QMutexLocker lock(&registryMutex());
        registry().insert(request);
    }
    request->m_thread->start();
    return request;
}

DeviceRequest::~DeviceRequest()
{
    {
        QMutexLocker lock(&registryMutex());
        registry().remove(this);
    }
    if (m_thread) {
        m_stop->store(true);
        m_thread->wait();
        delete m_thread;
    }
}

void DeviceRequest::deliver()
{
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
    }
    {
        QMutexLocker lock(&registryMutex());
        registry().remove(this);
    }
    if (m_trigger)
        m_trigger->setEnabled(true);
    if (m_done && (!m_hasContext || m_context))
        m_done();
    emit finished();
    deleteLater();
}

void DeviceRequest::cancel()
{
    m_stop->store(true);
}

bool DeviceRequest::isRunning() const
{
    return m_thread && m_thread->isRunning();
}

bool DeviceRequest::wait(int msec)
{
    return !m_thread || m_thread->wait(QDeadlineTimer(msec));
}

void DeviceRequest::discard()
{
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
    }
    delete this;
}

bool DeviceRequest::stopAll(int msec)
{
    QList<DeviceRequest *> requests;
    QList<QThread *> others;
    {
        QMutexLocker lock(&registryMutex());
        for (DeviceRequest *request : qAsConst(registry())) {
            request->m_stop->store(true);
            requests.append(request);
        }
        for (auto it = adopted().cbegin(); it != adopted().cend(); ++it) {
            it.value()->store(true);
            // Its event loop too: a worker that has finished its work may be waiting there.
            it.key()->quit();
            others.append(it.key());
        }
    }
    const QDeadlineTimer deadline(msec);
    bool allDone = true;
    for (DeviceRequest *request : qAsConst(requests)) {
        if (request->m_thread && !request->m_thread->wait(deadline))
            allDone = false;
        else
            request->discard();
    }
    for (QThread *thread : qAsConst(others)) {
        // Only the GUI thread deletes adopted threads, and it is here: the pointer is good.
        if (!thread->wait(deadline))
            allDone = false;
        else
            delete thread;
    }
    return allDone;
}

std::shared_ptr<std::atomic<bool>> DeviceRequest::adopt(QThread *thread)
{
    auto stop = std::make_shared<std::atomic<bool>>(false);
    if (!thread)
        return stop;
    {
        QMutexLocker lock(&registryMutex());
        adopted().insert(thread, stop);
    }
    connect(thread, &QObject::destroyed, [thread]() {
        QMutexLocker lock(&registryMutex());
        adopted().remove(thread);
    });
    return stop;
}

int DeviceRequest::runningCount()
{
    QMutexLocker lock(&registryMutex());
    int running = registry().size();
    for (auto it = adopted().cbegin(); it != adopted().cend(); ++it)
        running += it.key()->isRunning() ? 1 : 0;
    return running;
}
