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

public slots:
    void on_pushButton_General_clicked();
    void on_pushButton_Lastwill_clicked();
    void on_pushButton_publish_clicked();
    void on_pushButton_subscribe_clicked();
    void on_pushButton_clicked();

private:
    Step blockStep(int subplug);

    Ui::MQTT_Upload_Dialog *ui;
};

#endif
