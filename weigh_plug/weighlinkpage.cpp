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

void WeighLinkPage::write(const QByteArray &frame)
{
    if (!uart || !owner)
        return;
    // The port opens on a write, and again on the next one while another user holds it.
    if (!uart->isOpen() && !uart->open(owner->comstr))
        return;
    uart->write(WeighCodec::onWire(frame));
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
    uart->open(owner->comstr);
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
    write(sendQueue.isEmpty() ? pollFrame() : sendQueue.takeFirst());
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
