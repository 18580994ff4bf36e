#ifndef WEIGH_FORM_H
#define WEIGH_FORM_H

#include "menubase.h"

#include <QByteArray>
#include <QList>
#include <QMap>

class QHBoxLayout;
class QPushButton;
class QTabWidget;
class QVBoxLayout;
class SerialLink;
class weighingconfig;

// The weighing page: one tab per channel, each with its panel, and the page's serial link to
// the module. A 100 ms tick sends one frame: the oldest a panel queued, else a weight poll of the
// visible channel. Replies go to the panel of the channel they name.
class Weigh_Form : public menubase
{
    Q_OBJECT

public:
    explicit Weigh_Form(QWidget *parent = nullptr);
    ~Weigh_Form() override;

    int attachModule(modulebase *module) override;

    QByteArray buildFrame(int command, QByteArray payload);
    bool checkSum(const QByteArray &frame) const;
    QByteArray _SplitData(QByteArray aryBuf);
    QByteArray SplitData();
    int dispatchFrame(QByteArray frame);
    void connectLink();
    void disconnectLink();

    QList<QByteArray> sendQueue;
    QByteArray residuedata;
    SerialLink *uart = nullptr;
    int noReplyCount = 0;
    int timerId = -1;
    bool linkUp = false;
    int channelCount = 0;
    QMap<int, weighingconfig *> channelMap;

    QHBoxLayout *horizontalLayout = nullptr;
    QTabWidget *tabWidget = nullptr;
    QVBoxLayout *verticalLayout = nullptr;
    QPushButton *pushButton_conset = nullptr;

public slots:
    void eth_messageReceive();
    void com_messageReceive(const QByteArray &bytes);
    void chn_configmessage(QByteArray &msg);
    void on_pushButton_conset_clicked(bool checked);

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    void write(const QByteArray &frame);
    bool onSerialLink() const;
};

#endif
