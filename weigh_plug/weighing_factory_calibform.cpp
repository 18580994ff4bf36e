#include "weighing_factory_calibform.h"
#include "ui_weighing_factory_calibform.h"

#include "prompts.h"
#include "weighcommand.h"

#include <QLabel>

namespace {
// Captions of the four levels; a level shows "启动" while checked and "关闭" once closed.
const char *const levelNames[4] = { "空载输入", "1KG输入", "2KG输入", "3KG输入" };
const char *const levelCaptions[4] = { "空载", "1KG输入", "2KG输入", "3KG输入" };
} // namespace

weighing_Factory_calibForm::weighing_Factory_calibForm(QWidget *parent)
    : WeighLinkPage(parent)
    , ui(new Ui::weighing_Factory_calibForm)
{
    title = tr("工厂校准");
    buildUnlessDeferred();
}

void weighing_Factory_calibForm::buildPage()
{
    ui->setupUi(this);
    setStyleSheet(QString());
    // Channel 2 announces its levels in other units than channel 1.
    m_channels[0]
        = { 0, { ui->pushButtonch1_0V, ui->pushButtonch1_10mV, ui->pushButtonch1_20mV, ui->pushButtonch1_30mV },
              ui->pushButtonch1_end, { 0, 1000, 2000, 3000 } };
    m_channels[1] = { 1, { ui->pushButton2_0V, ui->pushButton2_10mv, ui->pushButton2_20mv, ui->pushButton2_30mv },
        ui->pushButton2_end, { 0, 10, 20, 30 } };
    connect(ui->pushButtonch1_0V, &QPushButton::clicked, this, &weighing_Factory_calibForm::pushButtonch1_0V_clicked);
    connect(
        ui->pushButtonch1_10mV, &QPushButton::clicked, this, &weighing_Factory_calibForm::pushButtonch1_10mV_clicked);
    connect(
        ui->pushButtonch1_20mV, &QPushButton::clicked, this, &weighing_Factory_calibForm::pushButtonch1_20mV_clicked);
    connect(
        ui->pushButtonch1_30mV, &QPushButton::clicked, this, &weighing_Factory_calibForm::pushButtonch1_30mV_clicked);
    connect(ui->pushButton2_0V, &QPushButton::clicked, this, &weighing_Factory_calibForm::pushButtonch2_0V_clicked);
    connect(ui->pushButton2_10mv, &QPushButton::clicked, this, &weighing_Factory_calibForm::pushButtonch2_10mV_clicked);
    connect(ui->pushButton2_20mv, &QPushButton::clicked, this, &weighing_Factory_calibForm::pushButtonch2_20mV_clicked);
    connect(ui->pushButton2_30mv, &QPushButton::clicked, this, &weighing_Factory_calibForm::pushButtonch2_30mV_clicked);
    for (Channel &channel : m_channels) {
        for (int level = 0; level < 4; ++level)
            channel.levels[level]->setText(QString::fromUtf8(levelCaptions[level]));
        channel.end->setEnabled(false);
    }
    auto *problem = new QLabel(this);
    problem->setObjectName(QStringLiteral("label_problem"));
    problem->setMaximumWidth(200);
    ui->verticalLayout_2->insertWidget(ui->verticalLayout_2->indexOf(ui->pushButton) + 1, problem);
    setProblemLabel(problem);
}

weighing_Factory_calibForm::~weighing_Factory_calibForm()
{
    delete ui;
}

void weighing_Factory_calibForm::retranslate(int) { }

void weighing_Factory_calibForm::buildFrame(int command, QByteArray payload)
{
    sendQueue.append(WeighCodec::request(command, payload));
}

void weighing_Factory_calibForm::sendCalibPoint(int channel, int value)
{
    buildFrame(WEIGH_FACTORY_POINT, QByteArray(1, char(channel)) + WeighCodec::bigEndian32(quint32(value)));
}

int weighing_Factory_calibForm::replySize(const QByteArray &frameSoFar) const
{
    return WeighCodec::factoryReplySize(frameSoFar);
}

QByteArray weighing_Factory_calibForm::pollFrame()
{
    return WeighCodec::request(WEIGH_FACTORY_READ, QByteArray(1, '\0'));
}

void weighing_Factory_calibForm::showLinkUp()
{
    ui->pushButton->setText(tr("连接成功"));
}

void weighing_Factory_calibForm::on_pushButton_clicked(bool checked)
{
    setLinked(checked);
}

void weighing_Factory_calibForm::connectLink()
{
    // Without a serial link nothing is written.
    if (!openLink()) {
        ui->pushButton->setChecked(false);
        Prompts::warning(this, tr("错误"), tr("称重需要串口连接"));
        return;
    }
    sendQueue.append(pollFrame());
}

void weighing_Factory_calibForm::disconnectLink()
{
    closeLink();
    ui->pushButton->setText(tr("重新连接"));
    ui->pushButton->setChecked(false);
}

void weighing_Factory_calibForm::resetPage()
{
    if (!isBuilt())
        return;
    disconnectLink();
    ui->pushButton->setText(tr("打开"));
    ui->pushButton->setChecked(false);
}

void weighing_Factory_calibForm::hideEvent(QHideEvent *event)
{
    menubase::hideEvent(event);
    resetPage();
}

int weighing_Factory_calibForm::dispatchFrame(QByteArray frame)
{
    int command = 0;
    QByteArray data;
    if (!WeighCodec::splitFactoryReply(frame, &command, &data))
        return 0;
    showRawValues(command, data);
    return 1;
}

void weighing_Factory_calibForm::showRawValues(int command, QByteArray data)
{
    if (command != WEIGH_FACTORY_READ || data.size() < 8)
        return;
    ui->lineEditch1_0V->setText(WeighCodec::tenthsText(data, 0, false));
    ui->lineEditch2_0V->setText(WeighCodec::tenthsText(data, 4, false));
}

void weighing_Factory_calibForm::levelClicked(Channel &channel, int level, bool checked)
{
    QPushButton *button = channel.levels[level];
    if (checked) {
        button->setText(QString::fromUtf8(levelNames[level]) + QString::fromUtf8("启动"));
        if (level == 0)
            channel.end->setEnabled(false);
        sendCalibPoint(channel.byte, channel.values[level]);
        return;
    }
    // Closing a level opens the next one; closing the last opens the end button.
    for (int i = 0; i < 4; ++i) {
        channel.levels[i]->setEnabled(i == level + 1);
        channel.levels[i]->setText(QString::fromUtf8(levelCaptions[i]));
    }
    button->setText(QString::fromUtf8(levelNames[level]) + QString::fromUtf8("关闭"));
    if (level == 3)
        channel.end->setEnabled(true);
}

void weighing_Factory_calibForm::endClicked(Channel &channel, bool checked)
{
    if (checked)
        buildFrame(WEIGH_FACTORY_END, QByteArray(1, char(channel.byte)) + char(1));
    else
        channel.levels[0]->setEnabled(true);
}

void weighing_Factory_calibForm::pushButtonch1_0V_clicked(bool checked)
{
    levelClicked(m_channels[0], 0, checked);
}

void weighing_Factory_calibForm::pushButtonch1_10mV_clicked(bool checked)
{
    levelClicked(m_channels[0], 1, checked);
}

void weighing_Factory_calibForm::pushButtonch1_20mV_clicked(bool checked)
{
    levelClicked(m_channels[0], 2, checked);
}

void weighing_Factory_calibForm::pushButtonch1_30mV_clicked(bool checked)
{
    levelClicked(m_channels[0], 3, checked);
}

void weighing_Factory_calibForm::pushButtonch2_0V_clicked(bool checked)
{
    levelClicked(m_channels[1], 0, checked);
}

void weighing_Factory_calibForm::pushButtonch2_10mV_clicked(bool checked)
{
    levelClicked(m_channels[1], 1, checked);
}

void weighing_Factory_calibForm::pushButtonch2_20mV_clicked(bool checked)
{
    levelClicked(m_channels[1], 2, checked);
}

void weighing_Factory_calibForm::pushButtonch2_30mV_clicked(bool checked)
{
    levelClicked(m_channels[1], 3, checked);
}

void weighing_Factory_calibForm::on_pushButtonch1_end_clicked(bool checked)
{
    endClicked(m_channels[0], checked);
}

void weighing_Factory_calibForm::on_pushButton2_end_clicked(bool checked)
{
    endClicked(m_channels[1], checked);
}
