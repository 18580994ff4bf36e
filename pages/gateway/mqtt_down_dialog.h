#ifndef MQTT_DOWN_DIALOG_H
#define MQTT_DOWN_DIALOG_H

#include "mqtttransferdialog.h"

class MqttGeneralConfig;
class MqttTopicConfig;

namespace Ui {
class MQTT_Down_Dialog;
}

// Downloads the MQTT page's blocks to the module, one button and one result per block.
class MQTT_Down_Dialog : public MqttTransferDialog
{
    Q_OBJECT

public:
    explicit MQTT_Down_Dialog(QWidget *parent = nullptr);
    ~MQTT_Down_Dialog() override;

    void setGeneral(MqttGeneralConfig *general);
    // Null when the last will is switched off: its block then goes out empty.
    void setLastWill(MqttTopicConfig *lastWill);
    void setSubscribeList(const QList<MqttTopicConfig *> &list);
    void setPublishList(const QList<MqttTopicConfig *> &list);

private:
    Step blockStep(int subplug) override;
    int blockGapMs() const override { return 100; }
    Step serialGeneralStep();
    QString blockText(int subplug) const;

    MqttGeneralConfig *m_general = nullptr;
    MqttTopicConfig *m_lastWill = nullptr;
    QList<MqttTopicConfig *> m_subscribeList;
    QList<MqttTopicConfig *> m_publishList;
    Ui::MQTT_Down_Dialog *ui;
};

#endif
