#include "weighlinkpage.h"

#include "modulebase.h"
#include "plugframe.h"
#include "seriallink.h"
#include "weighcommand.h"

#include <QLabel>
#include <QTimerEvent>

namespace {
constexpr int tickMs = 100;
// The link is taken down on the tick after this many unanswered frames.
constexpr int missLimit = 5;
} // namespace

WeighLinkPage::WeighLinkPage(QWidget *parent)
    : menubase(parent)
{
}

WeighLinkPage::~WeighLinkPage()
{
    if (timerId >= 0)
        killTimer(timerId);
}

bool WeighLinkPage::write(const QByteArray &frame)
{
    if (!uart || !owner)
        return false;
    if (!uart->isOpen() && !joinLine())
        return false;
    if (uart->write(WeighCodec::onWire(frame)))
        return true;
    m_problem = uart->lastError();
    showProblem(m_problem);
    return false;
}

bool WeighLinkPage::joinLine()
{
    if (uart->open(linkPortName()))
        return true;
    // Missing, held by another program, no permission: said on the page at once, and tried again
    // at each tick, so the page links once the port is back.
    m_problem = uart->errorString();
    showProblem(m_problem);
    return false;
}

QString WeighLinkPage::linkPortName() const
{
    return owner ? owner->comstr : QString();
}

void WeighLinkPage::setProblemLabel(QLabel *label)
{
    m_problemLabel = label;
    m_problemLabel->setWordWrap(true);
    m_problemLabel->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
    m_problemLabel->hide();
}

void WeighLinkPage::showProblem(const QString &text)
{
    if (!m_problemLabel)
        return;
    m_problemLabel->setText(text);
    m_problemLabel->setVisible(!text.isEmpty());
}

void WeighLinkPage::setLinked(bool on)
{
    showProblem(QString());
    if (on)
        connectLink();
    else
        disconnectLink();
}

bool WeighLinkPage::openLink()
{
    // Weighing travels only over the serial link.
    if (!owner || owner->connType != modulebase::CONNEST_COM || owner->comstr.isEmpty())
        return false;
    if (uart) {
        uart->disconnect(this);
        delete uart;
        uart = nullptr;
    }
    uart = new SerialLink(this);
    // The replies name their command and channel: the page takes its own whenever they come.
    uart->setClaim([this](const QByteArray &frameSoFar) { return replySize(frameSoFar); });
    m_problem.clear();
    joinLine();
    connect(uart, &SerialLink::frameReceived, this, &WeighLinkPage::com_messageReceive);
    // Any byte counts as an answer, framed or not.
    connect(uart, &SerialLink::bytesHeard, this, &WeighLinkPage::heard);
    connect(uart, &SerialLink::linkError, this, [this](const QString &message) {
        m_problem = message;
        showProblem(message);
    });
    if (timerId < 0)
        timerId = startTimer(tickMs, Qt::CoarseTimer);
    return true;
}

void WeighLinkPage::closeLink()
{
    if (timerId >= 0) {
        killTimer(timerId);
        timerId = -1;
    }
    noReplyCount = 0;
    if (uart) {
        uart->disconnect(this);
        uart->close();
        uart->deleteLater();
        uart = nullptr;
    }
    linkUp = false;
}

void WeighLinkPage::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != timerId) {
        menubase::timerEvent(event);
        return;
    }
    if (noReplyCount > missLimit) {
        const QString why = m_problem.isEmpty() ? tr("串口%1上的模块无应答").arg(linkPortName()) : m_problem;
        disconnectLink();
        showProblem(why);
        return;
    }
    // A scan or a download has the port: nothing goes out, and no silence is the module's.
    if (uart && uart->isOpen() && uart->isPaused())
        return;
    const bool queued = !sendQueue.isEmpty();
    const QByteArray frame = queued ? sendQueue.first() : pollFrame();
    // A frame that cannot go out stays queued for when the port is back.
    if (write(frame) && queued)
        sendQueue.removeFirst();
    ++noReplyCount;
}

void WeighLinkPage::eth_messageReceive() { }

void WeighLinkPage::heard()
{
    if (!uart)
        return;
    noReplyCount = 0;
    if (!m_problem.isEmpty()) {
        m_problem.clear();
        showProblem(QString());
    }
    if (!linkUp) {
        linkUp = true;
        showLinkUp();
    }
}

void WeighLinkPage::com_messageReceive(const QByteArray &frame)
{
    if (!uart || frame.isEmpty())
        return;
    heard();
    dispatchFrame(frame);
}
