#include "weigh_form.h"

#include "modulebase.h"
#include "plugframe.h"
#include "prompts.h"
#include "seriallink.h"
#include "weighcommand.h"
#include "weighingconfig.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QSpacerItem>
#include <QTabWidget>
#include <QTimerEvent>
#include <QVBoxLayout>

namespace {
constexpr int tickMs = 100;
// The link is taken down on the tick after this many unanswered frames.
constexpr int missLimit = 5;
} // namespace

Weigh_Form::Weigh_Form(QWidget *parent)
    : menubase(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("Weigh_Form"));
    resize(892, 300);
    setWindowTitle(QStringLiteral("Form"));
    setStyleSheet(QString());
    horizontalLayout = new QHBoxLayout(this);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    tabWidget = new QTabWidget(this);
    tabWidget->setObjectName(QStringLiteral("tabWidget"));
    horizontalLayout->addWidget(tabWidget);
    verticalLayout = new QVBoxLayout;
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    pushButton_conset = new QPushButton(this);
    pushButton_conset->setObjectName(QStringLiteral("pushButton_conset"));
    pushButton_conset->setFixedSize(100, 40);
    pushButton_conset->setCheckable(true);
    pushButton_conset->setText(tr("连接"));
    verticalLayout->addWidget(pushButton_conset);
    verticalLayout->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));
    horizontalLayout->addLayout(verticalLayout);
    tabWidget->setCurrentIndex(-1);
    QMetaObject::connectSlotsByName(this);
    title = tr("称重配置");
}

Weigh_Form::~Weigh_Form()
{
    if (timerId >= 0)
        killTimer(timerId);
}

int Weigh_Form::attachModule(modulebase *module)
{
    owner = module;
    channelCount = 2;
    for (int i = 0; i < channelCount; ++i) {
        auto *holder = new QWidget;
        auto *layout = new QHBoxLayout(holder);
        auto *panel = new weighingconfig(i, module, holder);
        layout->addWidget(panel);
        layout->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
        tabWidget->addTab(holder, tr("通道%1").arg(i + 1));
        connect(panel, &weighingconfig::weighSendMessage, this, &Weigh_Form::chn_configmessage);
        panel->setConnected(false);
        channelMap.insert(i, panel);
    }
    return 0;
}

QByteArray Weigh_Form::buildFrame(int command, QByteArray payload)
{
    return WeighCodec::request(command, payload);
}

bool Weigh_Form::checkSum(const QByteArray &frame) const
{
    return PlugFrame::checkSum(frame);
}

QByteArray Weigh_Form::_SplitData(QByteArray aryBuf)
{
    return PlugFrame::cut(aryBuf);
}

QByteArray Weigh_Form::SplitData()
{
    return PlugFrame::take(residuedata);
}

bool Weigh_Form::onSerialLink() const
{
    return owner && owner->connType == modulebase::CONNEST_COM && !owner->comstr.isEmpty();
}

void Weigh_Form::write(const QByteArray &frame)
{
    if (uart)
        uart->write(WeighCodec::onWire(frame));
}

void Weigh_Form::on_pushButton_conset_clicked(bool checked)
{
    if (checked)
        connectLink();
    else
        disconnectLink();
}

void Weigh_Form::connectLink()
{
    // Weighing travels only over the serial link: without one there is nothing to poll.
    if (!onSerialLink()) {
        pushButton_conset->setChecked(false);
        Prompts::warning(this, tr("错误"), tr("称重需要串口连接"));
        return;
    }
    if (uart) {
        uart->disconnect(this);
        delete uart;
        uart = nullptr;
    }
    uart = new SerialLink(this);
    uart->open(owner->comstr);
    connect(uart, &SerialLink::frameReceived, this, &Weigh_Form::com_messageReceive);
    write(buildFrame(WEIGH_READ, QByteArray(1, char(qMax(0, tabWidget->currentIndex())))));

    if (timerId < 0)
        timerId = startTimer(tickMs, Qt::CoarseTimer);
    for (int index = 0; index < tabWidget->count(); ++index) {
        if (weighingconfig *panel = channelMap.value(index))
            panel->setConnected(true);
    }
}

void Weigh_Form::disconnectLink()
{
    if (timerId >= 0) {
        killTimer(timerId);
        timerId = -1;
    }
    noReplyCount = 0;
    for (int index = 0; index < tabWidget->count(); ++index) {
        if (weighingconfig *panel = channelMap.value(index))
            panel->setConnected(false);
    }
    if (uart) {
        uart->disconnect(this);
        uart->close();
        uart->deleteLater();
        uart = nullptr;
    }
    linkUp = false;
    pushButton_conset->setText(tr("重新连接"));
}

void Weigh_Form::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != timerId) {
        menubase::timerEvent(event);
        return;
    }
    if (noReplyCount > missLimit) {
        disconnectLink();
        return;
    }
    if (sendQueue.isEmpty())
        write(buildFrame(WEIGH_READ, QByteArray(1, char(qMax(0, tabWidget->currentIndex())))));
    else
        write(sendQueue.takeFirst());
    ++noReplyCount;
}

void Weigh_Form::eth_messageReceive() { }

void Weigh_Form::com_messageReceive(const QByteArray &bytes)
{
    if (!uart || bytes.isEmpty())
        return;
    // Any byte counts as an answer, framed or not.
    noReplyCount = 0;
    if (!linkUp) {
        linkUp = true;
        pushButton_conset->setText(tr("连接成功"));
    }
    residuedata.append(bytes);
    for (const QByteArray &frame : PlugFrame::takeAll(residuedata))
        dispatchFrame(frame);
}

int Weigh_Form::dispatchFrame(QByteArray frame)
{
    int command = 0;
    int channel = 0;
    QByteArray data;
    if (!WeighCodec::splitReply(frame, &command, &channel, &data))
        return 0;
    // A channel without a panel is none of ours.
    weighingconfig *panel = channelMap.value(channel);
    if (!panel)
        return 0;
    return panel->dispatchReply(command, data);
}

void Weigh_Form::chn_configmessage(QByteArray &msg)
{
    sendQueue.append(msg);
}
