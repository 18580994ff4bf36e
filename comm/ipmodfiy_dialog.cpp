#include "ipmodfiy_dialog.h"
#include "ui_ipmodfiy_dialog.h"

#include "devicerequest.h"
#include "ipaddress.h"
#include "module.h"
#include "networksettings.h"
#include "tcpthread.h"
#include "textfit.h"

#include <QIcon>
#include <QLayout>
#include <QLineEdit>

IPModfiy_Dialog::IPModfiy_Dialog(module *owner, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::IPModfiy_Dialog)
    , mod(owner)
{
    ui->setupUi(this);
    ipEdit = new IPAddress(this);
    gatewayEdit = new IPAddress(this);
    maskEdit = new IPAddress(this);
    ipEdit->setObjectName(QStringLiteral("ipEdit"));
    gatewayEdit->setObjectName(QStringLiteral("gatewayEdit"));
    maskEdit->setObjectName(QStringLiteral("maskEdit"));
    ui->horizontalLayout_ip->addWidget(ipEdit);
    ui->horizontalLayout_mask->addWidget(maskEdit);
    ui->horizontalLayout_getway->addWidget(gatewayEdit);
    // The entries were made in member order; Tab goes along a row's octets and then down the
    // rows as they stand.
    QWidget *previous = nullptr;
    for (IPAddress *edit : { ipEdit, maskEdit, gatewayEdit }) {
        for (int i = 1; i <= 4; ++i) {
            QWidget *octet = edit->findChild<QLineEdit *>(QStringLiteral("txtIP%1").arg(i));
            if (previous && octet)
                setTabOrder(previous, octet);
            previous = octet ? octet : previous;
        }
    }
    setTabOrder(previous, ui->pushButton);
    // Each octet field holds "255" whole, however long the labels beside it are in the
    // language shown; otherwise the fields shrink and scroll their first digit away.
    for (IPAddress *edit : { ipEdit, maskEdit, gatewayEdit }) {
        const QList<QLineEdit *> octets = edit->findChildren<QLineEdit *>();
        for (QLineEdit *octet : octets)
            octet->setMinimumWidth(TextFit::lineEditWidth(octet, QStringLiteral("255")));
        // The address widget claims almost no room of its own; make the dialog's layout keep
        // what its fields need.
        edit->setMinimumWidth(edit->layout()->totalMinimumSize().width());
    }
    if (mod) {
        ipEdit->setIP(mod->ip);
        maskEdit->setIP(mod->mask);
        gatewayEdit->setIP(mod->gateway);
    }

    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    ui->widget->hideMinButton();
    ui->widget->hideMaxButton();
    ui->widget->setTitleIcon(QIcon(QStringLiteral(":/new/prefix1/img/ip.png")));
    ui->widget->setWindow(this);
}

IPModfiy_Dialog::~IPModfiy_Dialog()
{
    delete ui;
}

void IPModfiy_Dialog::on_pushButton_clicked()
{
    // Each entry must be a whole address: a partial one would shift the block the module reads.
    const QByteArray data = networkSettingsBlock(ipEdit->getIP(), gatewayEdit->getIP(), maskEdit->getIP());
    if (data.isEmpty() || !mod) {
        ui->info->setText(tr("IP地址修改失败"));
        return;
    }
    const QString target = mod->ip;
    // The exchange runs on a worker; the button stays disabled until its result, which a
    // dialog closed meanwhile never receives.
    DeviceRequest::run<int>(
        this,
        [target, data](const std::atomic<bool> &stop) {
            TCPThread worker;
            worker.cancel = &stop;
            return worker.DownIPConfig(target, data);
        },
        [this](int result) { ui->info->setText(result == 0 ? tr("IP地址已修改 重新扫描模块") : tr("IP地址修改失败")); },
        ui->pushButton);
}
