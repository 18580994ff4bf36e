#include "serialpeer.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Bytes queued for a reader that does not read; repeating replies stop growing past it.
constexpr int maxBacklog = 64 * 1024;

} // namespace

SerialPeer::Reply SerialPeer::now(const QByteArray &bytes)
{
    Reply r;
    r.parts << bytes;
    return r;
}

SerialPeer::Reply SerialPeer::late(const QByteArray &bytes, int delayMs)
{
    Reply r = now(bytes);
    r.delayMs = delayMs;
    return r;
}

SerialPeer::Reply SerialPeer::split(const QList<QByteArray> &parts, int gapMs)
{
    Reply r;
    r.parts = parts;
    r.gapMs = gapMs;
    return r;
}

SerialPeer::Reply SerialPeer::silent()
{
    return Reply();
}

SerialPeer::Reply SerialPeer::talking(const QByteArray &chunk, int periodMs)
{
    Reply r = now(chunk);
    r.repeatMs = std::max(1, periodMs);
    return r;
}

SerialPeer::SerialPeer()
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        return;
    char name[128];
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0 || ptsname_r(m_master, name, sizeof name) != 0
        || pipe(m_wake) != 0) {
        ::close(m_master);
        m_master = -1;
        return;
    }
    m_slaveName = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_slave >= 0) {
        // Raw from the start: no echo and no line-end translation before the port is opened.
        termios t {};
        if (tcgetattr(m_slave, &t) == 0) {
            cfmakeraw(&t);
            tcsetattr(m_slave, TCSANOW, &t);
        }
    }
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    fcntl(m_wake[0], F_SETFL, fcntl(m_wake[0], F_GETFL) | O_NONBLOCK);
    m_thread = std::thread([this] { run(); });
}

SerialPeer::~SerialPeer()
{
    if (m_thread.joinable()) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        wake();
        m_thread.join();
    }
    for (int fd : { m_slave, m_master, m_wake[0], m_wake[1] }) {
        if (fd >= 0)
            ::close(fd);
    }
}

void SerialPeer::addReply(const QByteArray &request, const Reply &reply, int times)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_rules.append(Rule { request, reply, times });
        matchLocked();
    }
    wake();
}

void SerialPeer::addReply(const QByteArray &request, const QByteArray &reply, int times)
{
    addReply(request, now(reply), times);
}

void SerialPeer::addSilence(const QByteArray &request, int times)
{
    addReply(request, silent(), times);
}

void SerialPeer::addDevice(std::shared_ptr<Device> device)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (device->tickMs() > 0)
            device->m_nextTickMs = nowMs() + device->tickMs();
        m_devices.append(std::move(device));
        matchLocked();
    }
    wake();
}

void SerialPeer::clearReplies()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_rules.clear();
}

void SerialPeer::send(const QByteArray &bytes)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_outgoing.append(Outgoing { nowMs(), bytes, 0 });
    }
    wake();
}

void SerialPeer::setReadingPaused(bool paused)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_paused = paused;
    }
    wake();
}

bool SerialPeer::waitForPortInput(int timeoutMs) const
{
    if (m_slave < 0)
        return false;
    pollfd fd = { m_slave, POLLIN, 0 };
    return ::poll(&fd, 1, timeoutMs) > 0 && (fd.revents & POLLIN);
}

void SerialPeer::stopTalking()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_outgoing.clear();
    }
    wake();
}

QByteArray SerialPeer::received() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

void SerialPeer::clearReceived()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_received.clear();
    m_requests.clear();
}

QList<QByteArray> SerialPeer::requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

bool SerialPeer::waitForReceived(int count, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_receivedCond.wait_for(
        lock, std::chrono::milliseconds(timeoutMs), [&] { return m_received.size() >= count; });
}

void SerialPeer::wake()
{
    if (m_wake[1] >= 0) {
        const char c = 0;
        [[maybe_unused]] ssize_t n = ::write(m_wake[1], &c, 1);
    }
}

qint64 SerialPeer::nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SerialPeer::scheduleLocked(const Reply &reply)
{
    qint64 due = nowMs() + reply.delayMs;
    for (int i = 0; i < reply.parts.size(); ++i) {
        const bool last = i == reply.parts.size() - 1;
        m_outgoing.append(Outgoing { due, reply.parts.at(i), last ? reply.repeatMs : 0 });
        due += reply.gapMs;
    }
}

void SerialPeer::scheduleDeviceLocked(Device &device, const QList<Reply> &replies)
{
    const FakeMisbehaviour m = device.misbehaviour();
    QList<Reply> out;
    for (Reply reply : replies) {
        if (m.silent || reply.parts.isEmpty())
            continue;
        ++device.m_answers;
        if (m.dropEvery > 0 && device.m_answers % m.dropEvery == 0)
            continue;
        const QByteArray whole = reply.parts.join();
        if (m.backToBack) {
            reply.parts = { whole };
            reply.gapMs = 0;
        } else if (m.splitAt > 0 && m.splitAt < whole.size()) {
            reply.parts = { whole.left(m.splitAt), whole.mid(m.splitAt) };
            reply.gapMs = m.gapMs;
        }
        reply.delayMs += m.delayMs;
        if (m.backToBack && !out.isEmpty()) {
            out.last().parts.first() += reply.parts.first();
            out.last().repeatMs = reply.repeatMs;
            continue;
        }
        out << reply;
    }
    // A device on a line sends one answer after the other: a later one never starts in the gap
    // of an earlier one.
    const qint64 now = nowMs();
    for (const Reply &reply : qAsConst(out)) {
        if (m.jitterMs > 0 && reply.parts.size() == 1) {
            const qint64 late = qint64(device.m_random() % unsigned(m.jitterMs + 1));
            m_outgoing.append(Outgoing { now + reply.delayMs + late, reply.parts.first(), reply.repeatMs });
            continue;
        }
        qint64 due = std::max(now + reply.delayMs, device.m_busyUntilMs);
        for (int i = 0; i < reply.parts.size(); ++i) {
            const bool last = i == reply.parts.size() - 1;
            m_outgoing.append(Outgoing { due, reply.parts.at(i), last ? reply.repeatMs : 0 });
            if (!last)
                due += reply.gapMs;
        }
        device.m_busyUntilMs = due;
    }
}

bool SerialPeer::deviceStepLocked(bool &waiting)
{
    for (const std::shared_ptr<Device> &device : qAsConst(m_devices)) {
        QList<Reply> replies;
        const int taken = device->consume(m_pending, replies);
        if (taken > 0) {
            m_requests.append(m_pending.left(taken));
            m_pending.remove(0, std::min(taken, int(m_pending.size())));
            scheduleDeviceLocked(*device, replies);
            return true;
        }
        if (taken == Device::needMore)
            waiting = true;
    }
    return false;
}

int SerialPeer::tickDevicesLocked(qint64 now)
{
    int timeout = -1;
    for (const std::shared_ptr<Device> &device : qAsConst(m_devices)) {
        const int period = device->tickMs();
        if (period <= 0)
            continue;
        if (device->m_nextTickMs <= now) {
            QList<Reply> replies;
            device->tick(replies);
            scheduleDeviceLocked(*device, replies);
            device->m_nextTickMs = now + period;
        }
        const int left = int(device->m_nextTickMs - now);
        timeout = timeout < 0 ? left : std::min(timeout, left);
    }
    return timeout;
}

void SerialPeer::matchLocked()
{
    while (!m_pending.isEmpty()) {
        bool consumed = false;
        bool waiting = false;
        for (int i = 0; i < m_rules.size(); ++i) {
            Rule &rule = m_rules[i];
            if (!rule.request.isEmpty() && m_pending.startsWith(rule.request)) {
                m_requests.append(rule.request);
                m_pending.remove(0, rule.request.size());
                scheduleLocked(rule.reply);
                if (rule.times > 0 && --rule.times == 0)
                    m_rules.removeAt(i);
                consumed = true;
                break;
            }
            if (rule.request.startsWith(m_pending))
                waiting = true;
        }
        if (consumed || deviceStepLocked(waiting))
            continue;
        if (waiting)
            return;
        m_pending.remove(0, 1);
    }
}

void SerialPeer::run()
{
    for (;;) {
        int timeout = -1;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stop)
                return;
            const qint64 now = nowMs();
            timeout = tickDevicesLocked(now);
            // Due answers move to the write buffer in time order; repeating ones come back.
            std::stable_sort(m_outgoing.begin(), m_outgoing.end(),
                [](const Outgoing &a, const Outgoing &b) { return a.dueMs < b.dueMs; });
            while (!m_outgoing.isEmpty() && m_outgoing.first().dueMs <= now) {
                Outgoing out = m_outgoing.takeFirst();
                if (out.repeatMs <= 0 || m_writeBuffer.size() < maxBacklog)
                    m_writeBuffer.append(out.bytes);
                if (out.repeatMs > 0) {
                    out.dueMs += out.repeatMs;
                    m_outgoing.append(out);
                    std::stable_sort(m_outgoing.begin(), m_outgoing.end(),
                        [](const Outgoing &a, const Outgoing &b) { return a.dueMs < b.dueMs; });
                }
            }
            if (!m_outgoing.isEmpty()) {
                const int due = int(std::min<qint64>(INT_MAX, std::max<qint64>(0, m_outgoing.first().dueMs - now)));
                timeout = timeout < 0 ? due : std::min(timeout, due);
            }
            while (!m_writeBuffer.isEmpty()) {
                const ssize_t n = ::write(m_master, m_writeBuffer.constData(), size_t(m_writeBuffer.size()));
                if (n <= 0)
                    break;
                m_writeBuffer.remove(0, int(n));
            }
        }

        pollfd fds[2] = { { m_master, POLLIN, 0 }, { m_wake[0], POLLIN, 0 } };
        {
            // Bytes the port has no room for yet: try again shortly (a pty reports room too early
            // for POLLOUT to be of use).
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_writeBuffer.isEmpty() && (timeout < 0 || timeout > 20))
                timeout = 20;
            if (m_paused)
                fds[0].events = 0;
        }
        const int ready = ::poll(fds, 2, timeout);
        if (ready < 0 && errno != EINTR)
            return;
        if (fds[1].revents & POLLIN) {
            char sink[64];
            while (::read(m_wake[0], sink, sizeof sink) > 0) { }
        }
        if (fds[0].revents & POLLIN) {
            char buf[4096];
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n > 0) {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_received.append(buf, int(n));
                m_pending.append(buf, int(n));
                matchLocked();
                m_receivedCond.notify_all();
            }
        }
    }
}
