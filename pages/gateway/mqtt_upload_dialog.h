#ifndef MQTT_UPLOAD_DIALOG_H
#define MQTT_UPLOAD_DIALOG_H

#include "mqtttransferdialog.h"

namespace Ui {
class MQTT_Upload_Dialog;
}

// Reads the MQTT blocks back from the module and hands each one read to the page.
class MQTT_Upload_Dialog : public MqttTransferDialog
{
    Q_OBJECT

public:
    explicit MQTT_Upload_Dialog(QWidget *parent = nullptr);
    ~MQTT_Upload_Dialog() override;

signals:
    // A block read back: its sub-plug and its text.
    void upload_generl(int id, const QString &info);

private:
    Step blockStep(int subplug) override;
    int blockGapMs() const override { return 50; }

    Ui::MQTT_Upload_Dialog *ui;
};

#endif
