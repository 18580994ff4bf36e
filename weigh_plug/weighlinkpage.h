#ifndef WEIGHLINKPAGE_H
#define WEIGHLINKPAGE_H

#include "menubase.h"
#include "plugframe.h"

#include <QByteArray>
#include <QList>

class QLabel;
class SerialLink;

// A weighing page on its coupler's shared serial line. While linked, a 100 ms tick writes one
// frame, the oldest queued, else the page's poll, whoever else on the line waits for a reply:
// the replies are plug frames the page claims, and reach it whenever they come. The link is taken
// down on the tick after more than five frames went unanswered; a tick whose frame cannot go out
// (the port gone or taken) counts as unanswered, one while a scan or a download has borrowed the
// port does not. Why the link went down is said on the page. Replies go to dispatchFrame.
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
    // A whole frame the page claims.
    void com_messageReceive(const QByteArray &frame);

protected:
    void timerEvent(QTimerEvent *event) override;

    // The frame a tick writes when nothing is queued.
    virtual QByteArray pollFrame() = 0;
    // The first bytes have come since the link was opened.
    virtual void showLinkUp() = 0;
    // The size of a reply of this page from its first bytes (the line's claim).
    virtual int replySize(const QByteArray &frameSoFar) const = 0;
    // Where the page says what went wrong with its link; made by the page with its form.
    void setProblemLabel(QLabel *label);
    // Says why the link is down or cannot carry the page's frames; empty hides it.
    void showProblem(const QString &text);

    // What the page's link button does when checked (on) or unchecked.
    void setLinked(bool on);
    // A fresh link on the owner's serial port, ticking; false, with nothing done, when the owner
    // is not reached over a serial port.
    bool openLink();
    // Stops the tick and lets the port go.
    void closeLink();
    // False, with the reason kept for the page to show, when nothing went out.
    bool write(const QByteArray &frame);

private:
    bool joinLine();
    QString linkPortName() const;
    // A sign of life from the module: the first makes the link up.
    void heard();

    QLabel *m_problemLabel = nullptr;
    // Why the frames did not go out since the module was last heard.
    QString m_problem;
};

#endif
