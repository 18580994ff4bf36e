#include "iolinkinfoframe_ctrl.h"
#include "ui_iolinkinfoframe_ctrl.h"

#include "iolink_module.h"
#include "iolinkdeviceinfo.h"
#include "iolinkhexpairs.h"
#include "tohexstring.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMap>
#include <QTimerEvent>

namespace {

// Shared by every device information panel: a tick sooner than pollMs after the last timed
// request of any panel asks nothing.
QElapsedTimer lastRequestTime;

QMap<quint16, QString> IoLinkEventTexts;

struct EventText
{
    quint16 code;
    const char *english;
    const char *chinese;
};

const EventText eventTexts[] = {
    { 0x0000, "0x0000 No Fault", "0x0000 无故障" },
    { 0x1000, "0x1000 General Fault — Unknown Error", "0x1000 一般故障——未知错误" },
    { 0x4000, "0x4000 Temperature Fault — Overload", "0x4000 温度故障——超载" },
    { 0x4210, "0x4210 Equipment Temperature Out of Range Operation — Remove Heat Source",
        "0x4210 设备温度超限运行——清除热源" },
    { 0x4220, "0x4220 Equipment Temperature Lower Limit Operation — Insulate Equipment",
        "0x4220 设备温度低限运行——绝缘设备" },
    { 0x5000, "0x5000 Equipment Hardware Fault — Replace Equipment", "0x5000 设备硬件故障——设备更换" },
    { 0x5010, "0x5010 Component Fault — Repair or Replace", "0x5010 元件故障——修理或更换" },
    { 0x5011, "0x5011 Non-Volatile Memory Loss — Check Battery", "0x5011 非易失性内存丢失——检查电池" },
    { 0x5012, "0x5012 Low Battery — Replace Battery", "0x5012 电池电量低——更换电池" },
    { 0x5100, "0x5100 General Power Supply Fault — Check Availability", "0x5100 一般电源故障——检查可用性" },
    { 0x5101, "0x5101 Fuse Blown/Open — Replace Fuse", "0x5101 保险丝熔断/打开——更换保险丝" },
    { 0x5110, "0x5110 Main Power Supply Voltage Out of Range Operation — Check Tolerance",
        "0x5110 主电源电压超限运行——检查容差" },
    { 0x5111, "0x5111 Main Power Supply Voltage Lower Limit Operation — Check Tolerance",
        "0x5111 主电源电压低限运行——检查容差" },
    { 0x5112, "0x5112 Secondary Power Supply Voltage Fault (Port Level B) — Check Tolerance",
        "0x5112 次级电源电压故障(端口等级B)——检查容差" },
    { 0x6000, "0x6000 Equipment Software Fault — Check Firmware Version", "0x6000 设备软件故障——检查固件版本" },
    { 0x6320, "0x6320 Parameter Error — Check Data Table and Values", "0x6320 参数错误——检查数据表和值" },
    { 0x6321, "0x6321 Missing Parameter — Check Data Table", "0x6321 参数缺失——检查数据表" },
    { 0x6350, "0x6350 Parameter Change — Check Configuration", "0x6350 参数改变——检查配置" },
    { 0x7700, "0x7700 Slave Device Disconnection — Check Installation", "0x7700 从属设备断线——检查安装" },
    { 0x7710, "0x7710 Short Circuit — Check Installation", "0x7710 短路——检查安装" },
    { 0x7711, "0x7711 Grounding Fault — Check Installation", "0x7711 接地故障——检查安装" },
    { 0x8C00, "0x8C00 Technical-Specific Application Fault — Reset Equipment",
        "0x8C00 技术特定应用程序故障——重置设备" },
    { 0x8C01, "0x8C01 Simulation Activation — Check Operating Mode", "0x8C01 仿真激活——检查运行模式" },
    { 0x8C10, "0x8C10 Process Variable Range Out of Limit Operation — PD Uncertain",
        "0x8C10 过程变量范围超限运行——PD不确定" },
    { 0x8C20, "0x8C20 Measurement Range Out of Limit Operation — Check Application",
        "0x8C20 测量范围超限运行——检查应用程序" },
    { 0x8C30, "0x8C30 Process Variable Range Lower Limit Operation — PD Uncertain",
        "0x8C30 过程变量范围低限运行——PD不确定" },
    { 0x8C40, "0x8C40 Maintenance Required — Clean", "0x8C40 要求维护——清洗" },
    { 0x8C41, "0x8C41 Maintenance Required — Refill", "0x8C41 要求维护——重新填充" },
    { 0x8C42, "0x8C42 Maintenance Required — Replace Worn Parts", "0x8C42 要求维护——更换磨损原件" },
};

} // namespace

IoLinkInfoFrame_Ctrl::IoLinkInfoFrame_Ctrl(QWidget *parent)
    : Channel_Ctrl(parent)
    , ui(new Ui::IoLinkInfoFrame_Ctrl)
{
    buildUnlessDeferred();
}

void IoLinkInfoFrame_Ctrl::buildFrame()
{
    ui->setupUi(this);
    ui->textEditEvent->setStyleSheet(QStringLiteral("background-color: transparent"));
    ui->textEditEvent->setReadOnly(true);
    // The event texts were made when the language was given; the form's texts come now.
    takePendingLanguage();
}

IoLinkInfoFrame_Ctrl::~IoLinkInfoFrame_Ctrl()
{
    delete ui;
}

bool IoLinkInfoFrame_Ctrl::event(QEvent *e)
{
    switch (e->type()) {
    case QEvent::Show:
        IoLink_Module::instance()->sendCommand(IOLINK_GET_DEVICEINFO, QByteArray(1, char(port)));
        // A second Show without a Hide in between must not leave a timer nobody stops.
        if (timerId != 0)
            killTimer(timerId);
        timerId = startTimer(pollMs, Qt::CoarseTimer);
        break;
    case QEvent::Hide:
        if (timerId != 0) {
            killTimer(timerId);
            timerId = 0;
        }
        break;
    case QEvent::Timer:
        if (timerId != 0 && static_cast<QTimerEvent *>(e)->timerId() == timerId) {
            if (!lastRequestTime.isValid() || lastRequestTime.elapsed() >= pollMs) {
                IoLink_Module::instance()->sendCommand(IOLINK_GET_DEVICEINFO, QByteArray(1, char(port)));
                lastRequestTime.start();
            }
            return true;
        }
        break;
    default:
        break;
    }
    return Channel_Ctrl::event(e);
}

void IoLinkInfoFrame_Ctrl::showUnsent(const QString &why)
{
    ensureBuilt();
    // In place of the events, which are no longer current: the values above are not live.
    ui->textEditEvent->clear();
    ui->textEditEvent->setTextColor(Qt::red);
    ui->textEditEvent->append(why);
}

void IoLinkInfoFrame_Ctrl::showDeviceInfo(const QByteArray &payload)
{
    ensureBuilt();
    const IoLinkDeviceInfo info = IoLinkDeviceInfo::decode(payload);
    ui->labelvendorid->setText(toHexString(info.vendorId));
    ui->labeldeviceid->setText(QStringLiteral("%1").arg(info.deviceId, 8, 16, QLatin1Char('0')).toUpper());
    ui->labelVendor_Name->setText(info.vendorName);
    ui->labelProduct_ID->setText(info.productId);
    ui->labelProduct_Text->setText(info.productText);
    ui->labelFirmware_Revision->setText(info.firmwareRevision);
    ui->labelApplication_specific_tag->setText(info.applicationTag);
    ui->labelin_len->setText(QString::number(info.inputLength));
    ui->labelout_len->setText(QString::number(info.outputLength));
    ui->labelInput->setText(hexPairText(info.input));
    ui->labeloutput->setText(hexPairText(info.output));
    ui->textEditEvent->clear();
    for (quint16 code : info.events) {
        const auto it = IoLinkEventTexts.constFind(code);
        if (it == IoLinkEventTexts.constEnd())
            continue;
        ui->textEditEvent->setTextColor(code == 0 ? Qt::red : Qt::black);
        ui->textEditEvent->append(*it);
    }
}

void IoLinkInfoFrame_Ctrl::retranslate(int language)
{
    // The event texts serve every panel, built or not.
    IoLinkEventTexts.clear();
    for (const EventText &t : eventTexts)
        IoLinkEventTexts.insert(t.code, QString::fromUtf8(language == 0 ? t.chinese : t.english));
    if (deferRetranslate(language))
        return;
    ui->retranslateUi(this);
    ui->textEditEvent->clear();
}

void IoLinkInfoFrame_Ctrl::on_btnCopyDeviceID_clicked()
{
    QApplication::clipboard()->setText(ui->labeldeviceid->text());
}

void IoLinkInfoFrame_Ctrl::on_btnCopyVendorid_clicked()
{
    QApplication::clipboard()->setText(ui->labelvendorid->text());
}
