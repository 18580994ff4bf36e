#include "seriallink.h"

#include "serialline.h"
#include "serialportregistry.h"

#include "plugframe.h"
#include "prompts.h"

#include <QCoreApplication>
#include <QDebug>
#include <QWidget>

namespace {
// Unanswered plug frame requests remembered per link; a module that never answers must not make
// the list grow.
constexpr int maxAsked = 64;
}

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
    m_lastError.clear();
    m_buffer.clear();
    if (portName.trimmed().isEmpty()) {
        m_error = SerialLine::tr("串口%1不存在").arg(portName);
        return false;
    }
    SerialLine *line = SerialPortRegistry::instance().line(portName);
    line->attach(this);
    if (!line->open(&m_error, &m_systemError)) {
        line->detach(this);
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
    m_asked.clear();
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

void SerialLink::setClaim(FrameClaim claim)
{
    m_claim = std::move(claim);
}

void SerialLink::setCutter(FrameCutter cutter)
{
    m_cutter = std::move(cutter);
}

void SerialLink::setReplyEnd(ReplyEnd rule)
{
    m_replyEnd = std::move(rule);
}

void SerialLink::setReplyWait(int ms)
{
    m_replyWaitMs = qMax(1, ms);
}

void SerialLink::setMaxBuffer(int bytes)
{
    m_maxBuffer = qMax(1, bytes);
}

bool SerialLink::write(const QByteArray &bytes)
{
    m_lastError.clear();
    if (!m_line) {
        m_lastError = SerialLine::tr("串口%1未打开").arg(m_portName);
        return false;
    }
    return m_line->enqueue(this, bytes, &m_lastError);
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

void SerialLink::takeFrame(const QByteArray &frame)
{
    answered(frame);
    emit frameReceived(frame);
}

void SerialLink::noteRequest(const QByteArray &onWire, quint64 sequence)
{
    m_lastWrite = sequence;
    // A plug frame request goes out behind its prefix byte.
    if (onWire.size() < 4 || quint8(onWire.at(1)) != PlugFrame::head)
        return;
    const int selector = onWire.size() > 8 ? quint8(onWire.at(8)) : -1;
    m_asked.append({ quint8(onWire.at(2)), quint8(onWire.at(3)), selector, sequence });
    if (m_asked.size() > maxAsked)
        m_asked.removeFirst();
}

int SerialLink::askedFor(const QByteArray &frame, quint64 *sequence) const
{
    const quint8 type = quint8(frame.at(1));
    const quint8 command = quint8(frame.at(2));
    const int selector = frame.size() > 7 ? quint8(frame.at(7)) : -1;
    int best = 0;
    for (const Request &r : m_asked) {
        if (r.type != type || r.command != command)
            continue;
        const int score = r.selector == selector ? 2 : 1;
        // The oldest request that fits best: a module answers in order.
        if (score > best) {
            best = score;
            *sequence = r.sequence;
        }
    }
    return best;
}

void SerialLink::answered(const QByteArray &frame)
{
    quint64 sequence = 0;
    if (askedFor(frame, &sequence) == 0)
        return;
    for (int i = 0; i < m_asked.size(); ++i) {
        if (m_asked.at(i).sequence == sequence) {
            m_asked.removeAt(i);
            return;
        }
    }
}
