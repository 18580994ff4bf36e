#include "mqtttransferdialog.h"

#include "modulebase.h"
#include "mqttblocks.h"
#include "titleform.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

MqttTransferDialog::MqttTransferDialog(QWidget *parent)
    : QDialog(parent)
{
}

void MqttTransferDialog::setupForm(TitleForm *title, const QString &icon, const QString &text)
{
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    title->hideMaxButton();
    title->hideMinButton();
    title->setTitleIcon(QIcon(icon));
    title->setWindow(this);
    title->setTitleText(text);

    const QList<QPair<int, QString>> rows { { MQTT_SUB_GENERAL, QStringLiteral("General") },
        { MQTT_SUB_WILL, QStringLiteral("Lastwill") }, { MQTT_SUB_PUBLISH, QStringLiteral("publish") },
        { MQTT_SUB_SUBSCRIBE, QStringLiteral("subscribe") } };
    QList<QPushButton *> buttons { findChild<QPushButton *>(QStringLiteral("pushButton")) };
    for (const auto &row : rows) {
        m_labels.insert(row.first, findChild<QLabel *>(QStringLiteral("label_") + row.second));
        buttons.append(findChild<QPushButton *>(QStringLiteral("pushButton_") + row.second));
    }
    m_buttons.clear();
    for (QPushButton *button : qAsConst(buttons)) {
        if (button && button->isEnabled())
            m_buttons.append(button);
    }
}

void MqttTransferDialog::setOwner(modulebase *owner)
{
    m_hasOwner = owner != nullptr;
    m_serial = owner && owner->connType == modulebase::CONNEST_COM;
    m_ip = owner ? owner->ipAddress : QString();
    m_port = owner ? owner->comstr : QString();
}

void MqttTransferDialog::runSteps(const QList<Step> &steps)
{
    if (m_busy)
        return;
    setBusy(true);
    runFrom(steps);
}

void MqttTransferDialog::runFrom(QList<Step> steps)
{
    if (steps.isEmpty()) {
        setBusy(false);
        emit transfersDone();
        return;
    }
    const Step step = steps.takeFirst();
    step([this, steps]() { runFrom(steps); });
}

MqttTransferDialog::Step MqttTransferDialog::pause(int msec)
{
    return [this, msec](Next next) { QTimer::singleShot(msec, this, next); };
}

void MqttTransferDialog::setBusy(bool busy)
{
    m_busy = busy;
    for (QPushButton *button : qAsConst(m_buttons))
        button->setEnabled(!busy);
}

void MqttTransferDialog::on_pushButton_General_clicked()
{
    runSteps({ blockStep(MQTT_SUB_GENERAL) });
}

void MqttTransferDialog::on_pushButton_Lastwill_clicked()
{
    runSteps({ blockStep(MQTT_SUB_WILL) });
}

void MqttTransferDialog::on_pushButton_publish_clicked()
{
    runSteps({ blockStep(MQTT_SUB_PUBLISH) });
}

void MqttTransferDialog::on_pushButton_subscribe_clicked()
{
    runSteps({ blockStep(MQTT_SUB_SUBSCRIBE) });
}

void MqttTransferDialog::on_pushButton_clicked()
{
    // The subscribe list is not part of it.
    runSteps({ blockStep(MQTT_SUB_GENERAL), pause(blockGapMs()), blockStep(MQTT_SUB_WILL), pause(blockGapMs()),
        blockStep(MQTT_SUB_PUBLISH) });
}
