#include "serialline.h"

#include "seriallink.h"
#include "serialportregistry.h"

#include <QDebug>
#include <QSerialPort>
#include <QTimer>

SerialLine::SerialLine(const QString &portName, QObject *parent)
    : QObject(parent)
    , m_portName(portName)
{
    m_replyTimer = new QTimer(this);
    m_replyTimer->setSingleShot(true);
    m_replyTimer->setInterval(replyWaitMs);
    connect(m_replyTimer, &QTimer::timeout, this, &SerialLine::endTurn);
}

SerialLine::~SerialLine()
{
    closePort();
}

bool SerialLine::isOpen() const
{
    return m_port && m_port->isOpen();
}

bool SerialLine::open(QString *reason)
{
    if (isOpen() || isLentOut())
        return true;
    closePort();
    // A blocking worker that opened the port without lending it first holds it.
    if (!SerialPortRegistry::instance().acquire(m_portName, this)) {
        if (reason)
            *reason = tr("串口已被占用");
        return false;
    }
    // No parent: a user may detach (and the line close the port) inside the port's own signal.
    m_port = new QSerialPort;
    m_port->setPortName(m_portName);
    m_port->setBaudRate(QSerialPort::Baud115200);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port->open(QIODevice::ReadWrite)) {
        if (reason)
            *reason = m_port->errorString();
        closePort();
        return false;
    }
    m_port->clear();
    connect(m_port, &QSerialPort::readyRead, this, &SerialLine::onReadyRead);
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError)
            return;
        // Closing inside the port's own signal would pull it from under its feet.
        QMetaObject::invokeMethod(this, &SerialLine::onPortError, Qt::QueuedConnection);
    });
    return true;
}

void SerialLine::closePort()
{
    m_replyTimer->stop();
    m_queue.clear();
    m_orphanTurn = false;
    if (m_current)
        m_last = m_current;
    m_current = nullptr;
    if (m_port) {
        m_port->disconnect(this);
        // Bytes written just before closing (a last poll) still go out, without a wait.
        if (m_port->isOpen() && m_port->bytesToWrite() > 0)
            m_port->flush();
        if (m_port->isOpen())
            m_port->close();
        m_port->deleteLater();
        m_port = nullptr;
    }
    SerialPortRegistry::instance().release(m_portName, this);
}

void SerialLine::onPortError()
{
    if (!m_port)
        return;
    const QString message = m_port->errorString();
    // A port that vanished (a cable pulled, a simulator restarted): the next request opens it again.
    qDebug() << "serial line" << m_portName << "failed:" << message;
    closePort();
    const QList<SerialLink *> users = m_users.values();
    // A receiver may let its link go, and others with it: only links still here are told.
    for (SerialLink *user : users) {
        if (m_users.contains(user))
            emit user->linkError(message);
    }
}

void SerialLine::attach(SerialLink *link)
{
    m_users.insert(link);
}

void SerialLine::detach(SerialLink *link)
{
    m_users.remove(link);
    // Requests already handed over still go out (a last poll before a link is given up); their
    // replies reach nobody.
    QByteArray last;
    for (Exchange &e : m_queue) {
        if (e.link == link || (!e.link && !e.orphan)) {
            e.link = nullptr;
            e.orphan = true;
            last += e.bytes;
        }
    }
    if (m_last == link)
        m_last = nullptr;
    if (m_current == link) {
        m_current = nullptr;
        m_orphanTurn = true;
    }
    if (m_users.isEmpty()) {
        if (m_port && m_port->isOpen() && !last.isEmpty())
            m_port->write(last);
        closePort();
    }
}

bool SerialLine::enqueue(SerialLink *link, const QByteArray &bytes)
{
    if (!link || isLentOut() || !m_users.contains(link))
        return false;
    if (!isOpen() && !open())
        return false;
    m_queue.append({ link, bytes });
    scheduleNext();
    return true;
}

bool SerialLine::hasPending(const SerialLink *link) const
{
    if (m_current == link)
        return true;
    for (const Exchange &e : m_queue) {
        if (e.link == link)
            return true;
    }
    return false;
}

void SerialLine::scheduleNext()
{
    // Never from inside a user's signal: the next request goes out from the event loop.
    if (m_nextScheduled)
        return;
    m_nextScheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_nextScheduled = false;
            serveNext();
        },
        Qt::QueuedConnection);
}

void SerialLine::serveNext()
{
    if (m_current || m_orphanTurn || isLentOut() || !isOpen())
        return;
    while (!m_queue.isEmpty()) {
        const Exchange e = m_queue.takeFirst();
        if (!e.orphan && (!e.link || !m_users.contains(e.link)))
            continue;
        if (e.orphan) {
            m_orphanTurn = true;
        } else {
            m_current = e.link;
            m_current->beginTurn();
        }
        if (m_port->write(e.bytes) != e.bytes.size()) {
            m_current = nullptr;
            m_orphanTurn = false;
            continue;
        }
        m_replyTimer->start();
        return;
    }
}

void SerialLine::endTurn()
{
    m_replyTimer->stop();
    if (m_current)
        m_last = m_current;
    m_current = nullptr;
    m_orphanTurn = false;
    scheduleNext();
}

void SerialLine::onReadyRead()
{
    if (!m_port)
        return;
    const QByteArray data = m_port->readAll();
    if (data.isEmpty())
        return;
    // The reply to a request whose user has gone: its first bytes end the turn.
    if (m_orphanTurn) {
        endTurn();
        return;
    }
    QList<QPointer<SerialLink>> targets;
    const bool asked = !m_current.isNull();
    if (asked) {
        targets << m_current;
    } else if (m_last) {
        // Bytes nobody asked for: most likely the late end of the last reply.
        targets << m_last;
    } else {
        // Nobody has asked yet: a module that talks unasked talks to every user.
        for (SerialLink *user : qAsConst(m_users))
            targets << user;
    }
    QPointer<SerialLine> self(this);
    for (const QPointer<SerialLink> &target : qAsConst(targets)) {
        if (!target || !m_users.contains(target))
            continue;
        const bool whole = target->takeBytes(data);
        if (!self)
            return;
        // The user may have gone or been served meanwhile: only its own turn ends here.
        if (asked && whole && target && m_current == target)
            endTurn();
    }
}

void SerialLine::lendOut()
{
    if (m_lent++ > 0)
        return;
    closePort();
    emit lentOutChanged(true);
}

void SerialLine::takeBack()
{
    if (m_lent <= 0 || --m_lent > 0)
        return;
    emit lentOutChanged(false);
}
