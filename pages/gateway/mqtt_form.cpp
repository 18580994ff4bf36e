#include "mqtt_form.h"
#include "ui_mqtt_form.h"

#include "modulebase.h"
#include "mqtt_down_dialog.h"
#include "mqtt_subscribe_dialog.h"
#include "mqtt_upload_dialog.h"
#include "mqttblocks.h"
#include "prompts.h"

#include <QMenu>
#include <QPointer>
#include <QtDebug>

namespace {

MqttTopicConfig *entryOf(const QListWidgetItem *item)
{
    return item ? static_cast<MqttTopicConfig *>(item->data(Qt::UserRole).value<void *>()) : nullptr;
}

} // namespace

MQTT_Form::MQTT_Form(QWidget *parent)
    : menubase(parent)
    , ui(new Ui::MQTT_Form)
{
    title = tr("MQTT");
    buildUnlessDeferred();
}

void MQTT_Form::buildPage()
{
    ui->setupUi(this);
    ui->spinBox_KeepAlive->setSuffix(QStringLiteral("S"));
    ui->spinBox_KeepAlive->setRange(0, 255);
    ui->spinBox_KeepAlive->setValue(10);
    ui->spinBox_Period->setSuffix(QStringLiteral("S"));
    ui->spinBox_Period->setRange(1, 255);
    ui->spinBox_Period->setValue(5);
    ui->comboBox_Reconnect->setCurrentIndex(0);
    ui->lineEdit_Password->setEchoMode(QLineEdit::Normal);
    if (owner)
        ui->lineEdit_ClientID->setText(owner->ModuleShowName);
}

MQTT_Form::~MQTT_Form()
{
    qDeleteAll(publishList);
    qDeleteAll(subscribeList);
    delete ui;
}

int MQTT_Form::attachModule(modulebase *module)
{
    owner = module;
    if (owner && isBuilt())
        ui->lineEdit_ClientID->setText(owner->ModuleShowName);
    return 0;
}

void MQTT_Form::on_groupBox_clicked(bool checked)
{
    ui->groupBox_Publish->setEnabled(checked);
    ui->groupBox_lostwill->setEnabled(checked);
    ui->pushButton_Publish->setEnabled(checked);
}

void MQTT_Form::collectGeneral()
{
    ensureBuilt();
    // The separator ends a field on the wire and a zero ends the block: neither may be typed in.
    general.enabled = ui->groupBox->isChecked();
    general.clientId = mqttFieldText(ui->lineEdit_ClientID->text()).simplified();
    general.serverAddress = ui->Service_IP->getPaddedIP(3);
    general.port = mqttFieldText(ui->lineEdit_port->text()).simplified();
    general.userName = mqttFieldText(ui->lineEdit_usrname->text());
    general.password = mqttFieldText(ui->lineEdit_Password->text());
    general.keepAlive = ui->spinBox_KeepAlive->value();
    general.reconnect = ui->comboBox_Reconnect->currentIndex() == 0;
    general.reconnectPeriod = ui->spinBox_Period->value();
}

bool MQTT_Form::editEntry(MqttTopicConfig *entry, const QString &caption, bool subscribe, bool isNew)
{
    QPointer<Mqtt_Subscribe_Dialog> dialog
        = isNew ? new Mqtt_Subscribe_Dialog(this) : new Mqtt_Subscribe_Dialog(*entry, this);
    dialog->setTitleText(caption);
    if (subscribe)
        dialog->setRetainEnabled(false);
    if (subscribe || entry == &lastWill)
        dialog->setSendTimeEnabled(false);
    const int result = Prompts::exec(dialog);
    if (!dialog)
        return false;
    const bool accepted = result == QDialog::Accepted;
    if (accepted)
        dialog->storeConfig(entry);
    delete dialog;
    return accepted;
}

void MQTT_Form::on_pushButton_lostwill_clicked()
{
    if (editEntry(&lastWill, tr("遗嘱设置"), false, false))
        ui->label_info->setText(lastWill.topic);
}

void MQTT_Form::addEntry(QList<MqttTopicConfig *> *list, QListWidget *widget, MqttTopicConfig *entry)
{
    list->append(entry);
    auto *item = new QListWidgetItem(entry->topic);
    item->setData(Qt::UserRole, QVariant::fromValue(static_cast<void *>(entry)));
    widget->addItem(item);
}

void MQTT_Form::on_pushButton_Publish_clicked()
{
    auto *entry = new MqttTopicConfig;
    if (!editEntry(entry, tr("发布设置"), false, true)) {
        delete entry;
        return;
    }
    addEntry(&publishList, ui->listWidget_Publish, entry);
}

void MQTT_Form::on_pushButton_subscribe_clicked()
{
    auto *entry = new MqttTopicConfig;
    if (!editEntry(entry, tr("订阅设置"), true, true)) {
        delete entry;
        return;
    }
    addEntry(&subscribeList, ui->listWidget_Subscribe, entry);
}

void MQTT_Form::editItem(QListWidget *widget, QListWidgetItem *item, bool subscribe)
{
    MqttTopicConfig *entry = entryOf(item);
    const QList<MqttTopicConfig *> &list = subscribe ? subscribeList : publishList;
    if (!entry || !list.contains(entry) || widget->row(item) < 0)
        return;
    if (editEntry(entry, subscribe ? tr("订阅设置") : tr("发布设置"), subscribe, false))
        item->setText(entry->topic);
}

void MQTT_Form::on_listWidget_Publish_itemDoubleClicked(QListWidgetItem *item)
{
    editItem(ui->listWidget_Publish, item, false);
}

void MQTT_Form::on_listWidget_Subscribe_itemDoubleClicked(QListWidgetItem *item)
{
    editItem(ui->listWidget_Subscribe, item, true);
}

void MQTT_Form::showDeleteMenu(QListWidget *widget, const QPoint &pos, void (MQTT_Form::*remove)(bool))
{
    QListWidgetItem *item = widget->itemAt(pos);
    if (!item)
        return;
    // The action deletes the current item: make it the one under the cursor.
    widget->setCurrentItem(item);
    QMenu menu(widget);
    connect(menu.addAction(QStringLiteral("删除")), &QAction::triggered, this, remove);
    Prompts::execMenu(&menu, widget->viewport()->mapToGlobal(pos));
}

void MQTT_Form::on_listWidget_Publish_customContextMenuRequested(const QPoint &pos)
{
    showDeleteMenu(ui->listWidget_Publish, pos, &MQTT_Form::pubclish_delete);
}

void MQTT_Form::on_listWidget_Subscribe_customContextMenuRequested(const QPoint &pos)
{
    showDeleteMenu(ui->listWidget_Subscribe, pos, &MQTT_Form::subscribe_delete);
}

void MQTT_Form::removeCurrent(QList<MqttTopicConfig *> *list, QListWidget *widget)
{
    QListWidgetItem *item = widget->currentItem();
    if (!item)
        return;
    MqttTopicConfig *entry = entryOf(item);
    if (list->removeOne(entry))
        delete entry;
    delete widget->takeItem(widget->row(item));
}

void MQTT_Form::pubclish_delete(bool)
{
    if (QListWidgetItem *item = ui->listWidget_Publish->currentItem())
        qDebug() << item->text();
    removeCurrent(&publishList, ui->listWidget_Publish);
}

void MQTT_Form::subscribe_delete(bool)
{
    removeCurrent(&subscribeList, ui->listWidget_Subscribe);
}

void MQTT_Form::on_pushButton_Down_clicked()
{
    collectGeneral();
    QPointer<MQTT_Down_Dialog> dialog = new MQTT_Down_Dialog(this);
    dialog->setGeneral(&general);
    dialog->setLastWill(ui->groupBox_lostwill->isChecked() ? &lastWill : nullptr);
    dialog->setSubscribeList(subscribeList);
    dialog->setPublishList(publishList);
    dialog->setOwner(owner);
    Prompts::exec(dialog);
    delete dialog;
}

void MQTT_Form::on_pushButton_Updown_clicked()
{
    QPointer<MQTT_Upload_Dialog> dialog = new MQTT_Upload_Dialog(this);
    dialog->setOwner(owner);
    connect(dialog, &MQTT_Upload_Dialog::upload_generl, this, &MQTT_Form::upload_genral_lifo);
    Prompts::exec(dialog);
    delete dialog;
}

void MQTT_Form::showGeneral()
{
    ui->groupBox->setChecked(general.enabled);
    ui->lineEdit_ClientID->setText(general.clientId);
    ui->Service_IP->setIP(general.serverAddress);
    ui->lineEdit_port->setText(general.port);
    ui->lineEdit_usrname->setText(general.userName);
    ui->lineEdit_Password->setText(general.password);
    ui->spinBox_KeepAlive->setValue(general.keepAlive);
    ui->comboBox_Reconnect->setCurrentIndex(general.reconnect ? 0 : 1);
    ui->spinBox_Period->setValue(general.reconnectPeriod);
}

void MQTT_Form::parseLastWill(const QString &info)
{
    ensureBuilt();
    lastWill.fromText(info);
    ui->label_info->setText(lastWill.topic);
    ui->groupBox_lostwill->setCheckable(true);
    ui->groupBox_lostwill->setChecked(true);
}

void MQTT_Form::replaceList(QList<MqttTopicConfig *> *list, QListWidget *widget, const QString &info)
{
    widget->clear();
    qDeleteAll(*list);
    list->clear();
    for (const MqttTopicConfig &read : mqttReadList(info))
        addEntry(list, widget, new MqttTopicConfig(read));
}

void MQTT_Form::parsePublishList(const QString &info)
{
    ensureBuilt();
    replaceList(&publishList, ui->listWidget_Publish, info);
}

void MQTT_Form::parseSubscribeList(const QString &info)
{
    ensureBuilt();
    replaceList(&subscribeList, ui->listWidget_Subscribe, info);
}

void MQTT_Form::upload_genral_lifo(int id, const QString &info)
{
    ensureBuilt();
    switch (id) {
    case MQTT_SUB_GENERAL:
        // A block that is no general text leaves what the user sees and typed.
        if (general.fromText(info))
            showGeneral();
        break;
    case MQTT_SUB_WILL:
        // No last will on the module: switch it off here too, but leave the user free to set one.
        if (info.isEmpty())
            ui->groupBox_lostwill->setChecked(false);
        else
            parseLastWill(info);
        break;
    case MQTT_SUB_PUBLISH:
        parsePublishList(info);
        break;
    case MQTT_SUB_SUBSCRIBE:
        parseSubscribeList(info);
        break;
    default:
        break;
    }
}
