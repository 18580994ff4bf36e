#include "weighlinkpage.h"

#include "modulebase.h"
#include "plugframe.h"
#include "seriallink.h"
#include "weighcommand.h"

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
    return uart->write(WeighCodec::onWire(frame));
}

bool WeighLinkPage::joinLine()
{
    if (uart->open(linkPortName())) {
        m_refusalShown = false;
        return true;
    }
    // Only another program holding the port (or no such port) fails: said once, and tried
    // again at each tick, so the page links once the port is free.
    if (!m_refusalShown) {
        m_refusalShown = true;
        uart->showRefusal(this);
    }
    return false;
}

QString WeighLinkPage::linkPortName() const
{
    return owner ? owner->comstr : QString();
}

void WeighLinkPage::setLinked(bool on)
{
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
    // A reply is whole with its first frame, so the line can serve the coupler's next user.
    uart->setReplyEnd([](const QByteArray &reply) {
        QByteArray copy = reply;
        return !PlugFrame::take(copy).isEmpty();
    });
    m_refusalShown = false;
    joinLine();
    connect(uart, &SerialLink::frameReceived, this, &WeighLinkPage::com_messageReceive);
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
        disconnectLink();
        return;
    }
    // The last frame still waits its turn on the coupler's line, or a scan or a download has the
    // port: this tick sends nothing, and what is not sent is not counted.
    if (uart && uart->isOpen() && (uart->isWaiting() || uart->isPaused()))
        return;
    const bool queued = !sendQueue.isEmpty();
    const QByteArray frame = queued ? sendQueue.first() : pollFrame();
    if (!write(frame))
        return;
    if (queued)
        sendQueue.removeFirst();
    ++noReplyCount;
}

void WeighLinkPage::eth_messageReceive() { }

void WeighLinkPage::com_messageReceive(const QByteArray &bytes)
{
    if (!uart || bytes.isEmpty())
        return;
    // Any byte counts as an answer, framed or not.
    noReplyCount = 0;
    if (!linkUp) {
        linkUp = true;
        showLinkUp();
    }
    residuedata.append(bytes);
    for (const QByteArray &frame : PlugFrame::takeAll(residuedata))
        dispatchFrame(frame);
}
