#include "mqtttransferdialog.h"

#include "modulebase.h"
#include "titleform.h"

#include <QPushButton>
#include <QTimer>

MqttTransferDialog::MqttTransferDialog(QWidget *parent)
    : QDialog(parent)
{
}

void MqttTransferDialog::setupTitle(TitleForm *title, const QString &icon, const QString &text)
{
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    title->hideMaxButton();
    title->hideMinButton();
    title->setTitleIcon(QIcon(icon));
    title->setWindow(this);
    title->setTitleText(text);
}

void MqttTransferDialog::setOwner(modulebase *owner)
{
    m_hasOwner = owner != nullptr;
    m_serial = owner && owner->connType == modulebase::CONNEST_COM;
    m_ip = owner ? owner->ipAddress : QString();
    m_port = owner ? owner->comstr : QString();
}

void MqttTransferDialog::setButtons(const QList<QPushButton *> &buttons)
{
    m_buttons.clear();
    for (QPushButton *button : buttons) {
        if (button->isEnabled())
            m_buttons.append(button);
    }
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
