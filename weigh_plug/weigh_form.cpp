#include "weigh_form.h"

#include "prompts.h"
#include "weighcommand.h"
#include "weighingconfig.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QTabWidget>
#include <QVBoxLayout>

Weigh_Form::Weigh_Form(QWidget *parent)
    : WeighLinkPage(parent)
{
    title = tr("称重配置");
    buildUnlessDeferred();
}

void Weigh_Form::buildPage()
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
    auto *problem = new QLabel(this);
    problem->setObjectName(QStringLiteral("label_problem"));
    problem->setMaximumWidth(200);
    verticalLayout->addWidget(problem);
    setProblemLabel(problem);
    verticalLayout->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));
    horizontalLayout->addLayout(verticalLayout);
    tabWidget->setCurrentIndex(-1);
    QMetaObject::connectSlotsByName(this);
    if (owner)
        buildChannels();
}

int Weigh_Form::attachModule(modulebase *module)
{
    owner = module;
    channelCount = 2;
    if (isBuilt())
        buildChannels();
    return 0;
}

void Weigh_Form::buildChannels()
{
    modulebase *module = owner;
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
}

QByteArray Weigh_Form::buildFrame(int command, QByteArray payload)
{
    return WeighCodec::request(command, payload);
}

int Weigh_Form::replySize(const QByteArray &frameSoFar) const
{
    return WeighCodec::pageReplySize(frameSoFar, channelCount);
}

QByteArray Weigh_Form::pollFrame()
{
    return buildFrame(WEIGH_READ, QByteArray(1, char(qMax(0, tabWidget->currentIndex()))));
}

void Weigh_Form::showLinkUp()
{
    pushButton_conset->setText(tr("连接成功"));
}

void Weigh_Form::on_pushButton_conset_clicked(bool checked)
{
    setLinked(checked);
}

void Weigh_Form::connectLink()
{
    // Without a serial link there is nothing to poll.
    if (!openLink()) {
        pushButton_conset->setChecked(false);
        Prompts::warning(this, tr("错误"), tr("称重需要串口连接"));
        return;
    }
    write(pollFrame());
    for (int index = 0; index < tabWidget->count(); ++index) {
        if (weighingconfig *panel = channelMap.value(index))
            panel->setConnected(true);
    }
}

void Weigh_Form::disconnectLink()
{
    closeLink();
    for (int index = 0; index < tabWidget->count(); ++index) {
        if (weighingconfig *panel = channelMap.value(index))
            panel->setConnected(false);
    }
    pushButton_conset->setText(tr("重新连接"));
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
