#include "seriallink.h"

#include "serialline.h"
#include "serialportregistry.h"

#include "prompts.h"

#include <QCoreApplication>
#include <QDebug>
#include <QWidget>

SerialLink::SerialLink(QObject *parent)
    : QObject(parent)
{
}

SerialLink::~SerialLink()
{
    close();
}

bool SerialLink::open(const QString &portName)
{
    close();
    m_error.clear();
    m_systemError.clear();
    m_buffer.clear();
    if (portName.trimmed().isEmpty()) {
        m_error = tr("串口%1被占用").arg(portName);
        return false;
    }
    SerialLine *line = SerialPortRegistry::instance().line(portName);
    QString reason;
    line->attach(this);
    if (!line->open(&reason)) {
        line->detach(this);
        m_error = tr("串口%1被占用").arg(portName);
        m_systemError = reason;
        return false;
    }
    m_line = line;
    m_portName = portName;
    connect(line, &SerialLine::lentOutChanged, this, &SerialLink::pausedChanged);
    return true;
}

void SerialLink::close()
{
    if (m_line) {
        m_line->disconnect(this);
        m_line->detach(this);
    }
    m_line = nullptr;
    m_portName.clear();
    m_buffer.clear();
    m_turnBytes.clear();
}

void SerialLink::showRefusal(QWidget *parent) const
{
    const QString text = m_error;
    QPointer<QWidget> window(parent);
    const bool hadParent = parent != nullptr;
    QMetaObject::invokeMethod(
        qApp,
        [text, window, hadParent] {
            if (hadParent && !window)
                return;
            Prompts::warning(window, tr("错误"), text);
        },
        Qt::QueuedConnection);
}

bool SerialLink::isOpen() const
{
    return !m_line.isNull();
}

bool SerialLink::isPaused() const
{
    return m_line && m_line->isLentOut();
}

bool SerialLink::isWaiting() const
{
    return m_line && m_line->hasPending(this);
}

void SerialLink::setCutter(FrameCutter cutter)
{
    m_cutter = std::move(cutter);
}

void SerialLink::setReplyEnd(ReplyEnd rule)
{
    m_replyEnd = std::move(rule);
}

void SerialLink::setMaxBuffer(int bytes)
{
    m_maxBuffer = qMax(1, bytes);
}

bool SerialLink::write(const QByteArray &bytes)
{
    return m_line && m_line->enqueue(this, bytes);
}

void SerialLink::beginTurn()
{
    m_turnBytes.clear();
    m_turnFrames = 0;
}

bool SerialLink::takeBytes(const QByteArray &data)
{
    // Bounded: a reply is judged from its first bytes, a device that keeps talking is cut off.
    if (m_turnBytes.size() < m_maxBuffer)
        m_turnBytes.append(data);
    QList<QByteArray> frames;
    if (!m_cutter) {
        frames << data;
    } else {
        m_buffer.append(data);
        frames = m_cutter(m_buffer);
        if (m_buffer.size() > m_maxBuffer) {
            qDebug() << "warning: serial receive buffer over" << m_maxBuffer << "bytes dropped";
            m_buffer.clear();
        }
    }
    m_turnFrames += frames.size();
    const bool whole = m_replyEnd ? m_replyEnd(m_turnBytes) : m_turnFrames > 0;
    // Deliver from a copy of the frames: a receiver may close the link meanwhile.
    QPointer<SerialLink> self(this);
    for (const QByteArray &frame : frames) {
        emit frameReceived(frame);
        if (!self)
            return whole;
    }
    return whole;
}
