#ifndef MQTT_FORM_H
#define MQTT_FORM_H

#include "menubase.h"
#include "mqttgeneralconfig.h"
#include "mqtttopicconfig.h"

#include <QList>
#include <QPoint>

class QListWidget;
class QListWidgetItem;

namespace Ui {
class MQTT_Form;
}

// The MQTT client page of a gateway: general settings, last will and the publish and subscribe
// lists, moved to and from the module as text blocks by the transfer dialogs. It takes no part
// in the module's parameter bytes.
class MQTT_Form : public menubase
{
    Q_OBJECT

public:
    explicit MQTT_Form(QWidget *parent = nullptr);
    ~MQTT_Form() override;

    int attachModule(modulebase *owner) override;

    void collectGeneral();
    // Applies the last-will, publish-list and subscribe-list texts read back from the module.
    void parseLastWill(const QString &info);
    void parsePublishList(const QString &info);
    void parseSubscribeList(const QString &info);

    QList<MqttTopicConfig *> publishList;
    QList<MqttTopicConfig *> subscribeList;
    MqttGeneralConfig general;
    MqttTopicConfig lastWill;

public slots:
    void on_groupBox_clicked(bool checked);
    void on_pushButton_lostwill_clicked();
    void on_pushButton_Publish_clicked();
    void on_pushButton_subscribe_clicked();
    void on_listWidget_Publish_itemDoubleClicked(QListWidgetItem *item);
    void on_listWidget_Subscribe_itemDoubleClicked(QListWidgetItem *item);
    void on_listWidget_Publish_customContextMenuRequested(const QPoint &pos);
    void on_listWidget_Subscribe_customContextMenuRequested(const QPoint &pos);
    void pubclish_delete(bool checked = false);
    void subscribe_delete(bool checked = false);
    void on_pushButton_Down_clicked();
    void on_pushButton_Updown_clicked();
    void upload_genral_lifo(int id, const QString &info);

protected:
    void buildPage() override;

private:
    // Runs the topic editor on entry; true when it was accepted and stored.
    bool editEntry(MqttTopicConfig *entry, const QString &title, bool subscribe, bool isNew);
    void addEntry(QList<MqttTopicConfig *> *list, QListWidget *widget, MqttTopicConfig *entry);
    void editItem(QListWidget *widget, QListWidgetItem *item, bool subscribe);
    void removeCurrent(QList<MqttTopicConfig *> *list, QListWidget *widget);
    void replaceList(QList<MqttTopicConfig *> *list, QListWidget *widget, const QString &info);
    void showDeleteMenu(QListWidget *widget, const QPoint &pos, void (MQTT_Form::*remove)(bool));
    void showGeneral();

    Ui::MQTT_Form *ui;
};

#endif
