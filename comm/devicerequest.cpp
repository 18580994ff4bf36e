#include "devicerequest.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>
#include <QThread>

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

} // namespace

DeviceRequest *DeviceRequest::start(QObject *context, Work work, Done done, QWidget *trigger)
{
    auto *request = new DeviceRequest;
    request->m_context = context;
    request->m_hasContext = context != nullptr;
    request->m_trigger = trigger;
    request->m_done = std::move(done);
    if (trigger)
        trigger->setEnabled(false);

    auto stop = request->m_stop;
    request->m_thread = QThread::create([work = std::move(work), stop]() {
        if (work)
            work(*stop);
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

bool DeviceRequest::stopAll(int msec)
{
    QList<QThread *> threads;
    {
        QMutexLocker lock(&registryMutex());
        for (DeviceRequest *request : qAsConst(registry())) {
            request->m_stop->store(true);
            if (request->m_thread)
                threads.append(request->m_thread);
        }
    }
    const QDeadlineTimer deadline(msec);
    bool allDone = true;
    for (QThread *thread : qAsConst(threads))
        allDone = thread->wait(deadline) && allDone;
    return allDone;
}

int DeviceRequest::runningCount()
{
    QMutexLocker lock(&registryMutex());
    return registry().size();
}
