#include "mqtt_down_dialog.h"
#include "ui_mqtt_down_dialog.h"

#include "devicerequest.h"
#include "mqttblocks.h"
#include "mqttgeneralconfig.h"
#include "mqtttopicconfig.h"
#include "serialportregistry.h"
#include "tcpthread.h"
#include "uartthread.h"

MQTT_Down_Dialog::MQTT_Down_Dialog(QWidget *parent)
    : MqttTransferDialog(parent)
    , ui(new Ui::MQTT_Down_Dialog)
{
    ui->setupUi(this);
    setupForm(ui->widget, QStringLiteral(":/new/prefix1/img/down.png"), tr("MQTT下载"));
}

MQTT_Down_Dialog::~MQTT_Down_Dialog()
{
    delete ui;
}

void MQTT_Down_Dialog::setGeneral(MqttGeneralConfig *general)
{
    m_general = general;
}

void MQTT_Down_Dialog::setLastWill(MqttTopicConfig *lastWill)
{
    m_lastWill = lastWill;
}

void MQTT_Down_Dialog::setSubscribeList(const QList<MqttTopicConfig *> &list)
{
    m_subscribeList = list;
}

void MQTT_Down_Dialog::setPublishList(const QList<MqttTopicConfig *> &list)
{
    m_publishList = list;
}

QString MQTT_Down_Dialog::blockText(int subplug) const
{
    switch (subplug) {
    case MQTT_SUB_GENERAL:
        return m_general ? m_general->toText() : QString();
    case MQTT_SUB_WILL:
        return m_lastWill ? m_lastWill->toText() : QString();
    case MQTT_SUB_PUBLISH:
        return mqttListText(m_publishList);
    case MQTT_SUB_SUBSCRIBE:
        return mqttListText(m_subscribeList);
    default:
        return QString();
    }
}

MqttTransferDialog::Step MQTT_Down_Dialog::blockStep(int subplug)
{
    return [this, subplug](Next next) {
        if (!m_hasOwner) {
            next();
            return;
        }
        // A module on a COM port takes only the general block, through its parameter download.
        if (m_serial) {
            if (subplug == MQTT_SUB_GENERAL)
                serialGeneralStep()(next);
            else
                next();
            return;
        }
        const QString ip = m_ip;
        const QByteArray data = blockText(subplug).toUtf8();
        DeviceRequest::run<int>(
            this,
            [ip, subplug, data](const std::atomic<bool> &stop) {
                TCPThread worker;
                worker.cancel = &stop;
                return worker.DownPlugConfig(ip, MQTT_PLUG, subplug, data);
            },
            [this, subplug, next](int result) {
                resultLabel(subplug)->setText(result >= 1 ? tr("下载完成") : tr("下载失败"));
                next();
            });
    };
}

MqttTransferDialog::Step MQTT_Down_Dialog::serialGeneralStep()
{
    return [this](Next next) {
        const QString port = m_port;
        const QByteArray data = blockText(MQTT_SUB_GENERAL).toUtf8();
        // The port is lent out while the download runs: the coupler's pages pause meanwhile.
        auto lease = std::make_shared<SerialLease>(port);
        DeviceRequest::run<bool>(
            this,
            [port, data](const std::atomic<bool> &stop) {
                uartthread worker(port);
                worker.cancel = &stop;
                QString state;
                QObject::connect(&worker, &uartthread::SendCurstate, [&state](const QString &s) { state = s; });
                worker.DownParamter(data);
                // The serial download reports its port and "#下载成功" or "#下载出错", translated.
                return state.endsWith(uartthread::tr("#下载成功"));
            },
            [this, next, lease](bool ok) {
                ui->label_General->setText(ok ? tr("下载完成") : tr("下载失败"));
                next();
            });
    };
}
