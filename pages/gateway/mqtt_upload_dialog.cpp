#include "mqtt_upload_dialog.h"
#include "ui_mqtt_upload_dialog.h"

#include "devicerequest.h"
#include "mqttblocks.h"
#include "tcpthread.h"

namespace {

// Pause between the blocks of "upload all".
constexpr int blockGapMs = 50;
// More than any MQTT block can hold; a module announcing more is not answering this question.
constexpr int largestBlock = 64 * 1024;

struct Upload
{
    int result = -1;
    QByteArray data;
};

} // namespace

MQTT_Upload_Dialog::MQTT_Upload_Dialog(QWidget *parent)
    : MqttTransferDialog(parent)
    , ui(new Ui::MQTT_Upload_Dialog)
{
    ui->setupUi(this);
    setupTitle(ui->widget, QStringLiteral(":/new/prefix1/img/up.png"), tr("MQTT上传"));
    setButtons({ ui->pushButton_General, ui->pushButton_Lastwill, ui->pushButton_publish, ui->pushButton_subscribe,
        ui->pushButton });
    setResultLabel(MQTT_SUB_GENERAL, ui->label_General);
    setResultLabel(MQTT_SUB_WILL, ui->label_Lastwill);
    setResultLabel(MQTT_SUB_PUBLISH, ui->label_publish);
    setResultLabel(MQTT_SUB_SUBSCRIBE, ui->label_subscribe);
}

MQTT_Upload_Dialog::~MQTT_Upload_Dialog()
{
    delete ui;
}

MqttTransferDialog::Step MQTT_Upload_Dialog::blockStep(int subplug)
{
    return [this, subplug](Next next) {
        if (!m_hasOwner || m_serial) {
            next();
            return;
        }
        const QString ip = m_ip;
        DeviceRequest::run<Upload>(
            this,
            [ip, subplug](const std::atomic<bool> &stop) {
                TCPThread worker;
                worker.cancel = &stop;
                Upload upload;
                upload.result = worker.UploadPlugConfig(ip, MQTT_PLUG, subplug, upload.data, largestBlock);
                return upload;
            },
            [this, subplug, next](const Upload &upload) {
                if (upload.result <= 0) {
                    resultLabel(subplug)->setText(tr("上传失败"));
                } else {
                    resultLabel(subplug)->setText(tr("上传完成"));
                    emit upload_generl(subplug, mqttBlockText(upload.data));
                }
                next();
            });
    };
}

void MQTT_Upload_Dialog::on_pushButton_General_clicked()
{
    runSteps({ blockStep(MQTT_SUB_GENERAL) });
}

void MQTT_Upload_Dialog::on_pushButton_Lastwill_clicked()
{
    runSteps({ blockStep(MQTT_SUB_WILL) });
}

void MQTT_Upload_Dialog::on_pushButton_publish_clicked()
{
    runSteps({ blockStep(MQTT_SUB_PUBLISH) });
}

void MQTT_Upload_Dialog::on_pushButton_subscribe_clicked()
{
    runSteps({ blockStep(MQTT_SUB_SUBSCRIBE) });
}

void MQTT_Upload_Dialog::on_pushButton_clicked()
{
    runSteps({ blockStep(MQTT_SUB_GENERAL), pause(blockGapMs), blockStep(MQTT_SUB_WILL), pause(blockGapMs),
        blockStep(MQTT_SUB_PUBLISH) });
}
