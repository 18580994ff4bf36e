#include "mqtt_upload_dialog.h"
#include "ui_mqtt_upload_dialog.h"

#include "devicerequest.h"
#include "mqttblocks.h"
#include "tcpthread.h"

namespace {

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
    setupForm(ui->widget, QStringLiteral(":/new/prefix1/img/up.png"), tr("MQTT上传"));
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
