#ifndef WEIGHLINKPAGE_H
#define WEIGHLINKPAGE_H

#include "menubase.h"
#include "plugframe.h"

#include <QByteArray>
#include <QList>

class SerialLink;

// A weighing page on its coupler's shared serial line. While linked, a 100 ms tick writes one
// frame, the oldest queued, else the page's poll, once the frame before has its reply or its
// time; the link is taken down on the tick after more than five frames went unanswered. Ticks
// that send nothing (the port lent to a scan or a download, or gone for the moment) are not
// counted, so the page comes back with the port. Replies go to dispatchFrame.
class WeighLinkPage : public menubase
{
    Q_OBJECT

public:
    explicit WeighLinkPage(QWidget *parent = nullptr);
    ~WeighLinkPage() override;

    bool checkSum(const QByteArray &frame) const { return PlugFrame::checkSum(frame); }
    QByteArray _SplitData(QByteArray aryBuf) { return PlugFrame::cut(aryBuf); }
    QByteArray SplitData() { return PlugFrame::take(residuedata); }
    virtual int dispatchFrame(QByteArray frame) = 0;
    virtual void connectLink() = 0;
    virtual void disconnectLink() = 0;

    QList<QByteArray> sendQueue;
    QByteArray residuedata;
    SerialLink *uart = nullptr;
    int noReplyCount = 0;
    int timerId = -1;
    bool linkUp = false;

public slots:
    void eth_messageReceive();
    void com_messageReceive(const QByteArray &bytes);

protected:
    void timerEvent(QTimerEvent *event) override;

    // The frame a tick writes when nothing is queued.
    virtual QByteArray pollFrame() = 0;
    // The first bytes have come since the link was opened.
    virtual void showLinkUp() = 0;

    // What the page's link button does when checked (on) or unchecked.
    void setLinked(bool on);
    // A fresh link on the owner's serial port, ticking; false, with nothing done, when the owner
    // is not reached over a serial port.
    bool openLink();
    // Stops the tick and lets the port go.
    void closeLink();
    // False when nothing went out.
    bool write(const QByteArray &frame);

private:
    // Joins the owner's line; a refusal is shown once until it succeeds.
    bool joinLine();
    QString linkPortName() const;

    bool m_refusalShown = false;
};

#endif
