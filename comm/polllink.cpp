#include "polllink.h"

#include "devicerequest.h"
#include "ipv4text.h"
#include "tcpthread.h"

#include <QDebug>
#include <QNetworkDatagram>
#include <QPointer>
#include <QTimer>
#include <QUdpSocket>

PollLink::PollLink(QObject *parent)
    : QObject(parent)
{
}

PollLink::~PollLink()
{
    stop();
}

void PollLink::setPollBuilder(PollBuilder builder)
{
    m_builder = std::move(builder);
}

void PollLink::setCutter(FrameCutter cutter)
{
    m_cutter = std::move(cutter);
}

bool PollLink::start(const Settings &settings)
{
    stop();
    m_settings = settings;
    m_error.clear();
    m_buffer.clear();
    m_problem.clear();
    m_unanswered = 0;

    if (settings.transport == Udp) {
        const QHostAddress module = ipv4FromText(settings.address);
        if (module.isNull()) {
            m_error = tr("地址无效");
            return false;
        }
        m_udp = new QUdpSocket;
        if (!m_udp->bind(QHostAddress(QHostAddress::AnyIPv4), settings.localPort)) {
            m_error = m_udp->errorString();
            delete m_udp;
            m_udp = nullptr;
            return false;
        }
        connect(m_udp, &QUdpSocket::readyRead, this, &PollLink::onUdpReadyRead);
    } else if (settings.transport == Serial) {
        // Every read comes here whole: what answers a poll may be less than a frame. The poll
        // holds the coupler's line until its reply is whole by the page's own rule, or for one
        // period.
        m_serial = new SerialLink;
        const FrameCutter cutter = m_cutter;
        const bool anyBytes = settings.anyBytesAnswer || !cutter;
        m_serial->setReplyEnd([cutter, anyBytes](const QByteArray &reply) {
            if (anyBytes && !cutter)
                return !reply.isEmpty();
            QByteArray copy = reply;
            return !cutter(copy).isEmpty();
        });
        m_serial->setReplyWait(qBound(1, settings.periodMs, SerialLink::defaultReplyWaitMs * 4));
        if (!m_serial->open(settings.portName)) {
            m_error = m_serial->errorString();
            delete m_serial;
            m_serial = nullptr;
            return false;
        }
        connect(m_serial, &SerialLink::frameReceived, this, &PollLink::onData);
        // A port that vanished is opened again by the next poll; until then the polls that
        // cannot go out count as unanswered, and the page hears why.
        connect(m_serial, &SerialLink::linkError, this, [this](const QString &message) {
            m_buffer.clear();
            setProblem(message);
        });
        // While a scan or a download has the port, silence is not the module's.
        connect(m_serial, &SerialLink::pausedChanged, this, [this] { m_unanswered = 0; });
    }

    if (!settings.streamOn.isEmpty() && !settings.address.isEmpty()) {
        switchStream(settings.address, settings.streamOn);
    }

    m_timer = new QTimer;
    m_timer->setInterval(qMax(1, settings.periodMs));
    connect(m_timer, &QTimer::timeout, this, &PollLink::tick);
    m_timer->start();
    if (settings.pollAtOpen)
        poll(settings.openingPollCounts);
    return true;
}

void PollLink::switchStream(const QString &ip, const QByteArray &command)
{
    // The switch waits on the command port: never in the GUI thread.
    DeviceRequest::start(
        nullptr,
        [ip, command](const std::atomic<bool> &stop) {
            TCPThread worker;
            worker.cancel = &stop;
            worker.streamSwitch(ip, command);
        },
        nullptr, nullptr, TCPThread::streamSwitchQueue(ip));
}

void PollLink::stop()
{
    const bool wasRunning = isRunning();
    // stop() may run inside a signal of the timer or the socket (a receiver of frameReceived or
    // linkLost stops or deletes the link): they are let go later, never deleted under their feet.
    if (m_timer) {
        m_timer->stop();
        m_timer->disconnect(this);
        m_timer->deleteLater();
        m_timer = nullptr;
    }
    if (m_udp) {
        m_udp->disconnect(this);
        m_udp->close();
        m_udp->deleteLater();
        m_udp = nullptr;
    }
    if (m_serial) {
        m_serial->disconnect(this);
        m_serial->close();
        m_serial->deleteLater();
        m_serial = nullptr;
    }
    m_buffer.clear();
    if (wasRunning && !m_settings.streamOff.isEmpty() && !m_settings.address.isEmpty()) {
        switchStream(m_settings.address, m_settings.streamOff);
    }
}

bool PollLink::isRunning() const
{
    return m_timer != nullptr;
}

bool PollLink::send(const QByteArray &frame)
{
    if (m_udp) {
        const QHostAddress module = ipv4FromText(m_settings.address);
        return m_udp->writeDatagram(frame, module, m_settings.modulePort) == frame.size();
    }
    if (m_serial)
        return m_serial->write(frame);
    return false;
}

void PollLink::tick()
{
    if (!m_settings.lostAtPoll && m_unanswered > m_settings.missLimit) {
        lose();
        return;
    }
    poll(true);
}

void PollLink::poll(bool counted)
{
    // A scan or a download has the port: nothing goes out, and no silence is the module's.
    if (m_serial && m_serial->isPaused())
        return;
    if (m_builder) {
        const QByteArray frame = m_builder();
        // A poll that cannot go out (the port gone or taken) counts as unanswered all the same.
        if (!frame.isEmpty() && m_serial && !m_serial->write(frame))
            setProblem(m_serial->lastError());
        else if (!frame.isEmpty() && !m_serial)
            send(frame);
    }
    if (!counted)
        return;
    ++m_unanswered;
    if (m_settings.lostAtPoll && m_unanswered > m_settings.missLimit)
        lose();
}

void PollLink::setProblem(const QString &text)
{
    if (text == m_problem)
        return;
    m_problem = text;
    emit problemFound(text);
}

void PollLink::lose()
{
    stop();
    emit linkLost();
}

void PollLink::onUdpReadyRead()
{
    QPointer<PollLink> self(this);
    while (m_udp && m_udp->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_udp->receiveDatagram();
        const QHostAddress from = datagram.senderAddress();
        const QHostAddress module = ipv4FromText(m_settings.address);
        // Another device on the same port is not the module we poll.
        if (from.toIPv4Address() != module.toIPv4Address())
            continue;
        onData(datagram.data());
        if (!self)
            return;
    }
}

void PollLink::onData(const QByteArray &data)
{
    if (!data.isEmpty())
        m_problem.clear();
    if (m_settings.anyBytesAnswer && !data.isEmpty())
        m_unanswered = 0;
    if (!m_cutter) {
        onFrame(data);
        return;
    }
    m_buffer.append(data);
    const QList<QByteArray> frames = m_cutter(m_buffer);
    if (m_buffer.size() > m_settings.maxBuffer) {
        qDebug() << "warning: poll link receive buffer over" << m_settings.maxBuffer << "bytes dropped";
        m_buffer.clear();
    }
    // Deliver from a copy of the frames: a receiver may stop or delete the link meanwhile.
    QPointer<PollLink> self(this);
    for (const QByteArray &frame : frames) {
        onFrame(frame);
        if (!self)
            return;
    }
}

void PollLink::onFrame(const QByteArray &frame)
{
    if (!m_settings.anyBytesAnswer)
        m_unanswered = 0;
    emit frameReceived(frame);
}
