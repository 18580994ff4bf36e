#include "iolinkportsetframe_ctrl.h"
#include "ui_iolinkportsetframe_ctrl.h"

#include "iolink_module.h"
#include "iolinkhexpairs.h"
#include "iolinkportsetcodec.h"
#include "prompts.h"
#include "tohexstring.h"

#include <QDateTime>
#include <QRegularExpressionValidator>
#include <QScrollBar>

namespace {

enum PortFunction { Inactive, Sdci, Di, DoNpn, DoPnp };

constexpr int maxProcessLength = 32;

void setValidator(QLineEdit *line, const char *pattern)
{
    line->setValidator(new QRegularExpressionValidator(QRegularExpression(QString::fromLatin1(pattern)), line));
}

// A length line's value for the labels: 0 when it holds no number.
int lengthOf(const QLineEdit *line)
{
    bool ok = false;
    const int value = line->text().toInt(&ok);
    return ok ? value : 0;
}

void send(IoLinkCommand command, const QByteArray &payload)
{
    IoLink_Module::instance()->sendCommand(command, payload);
}

} // namespace

IoLinkPortSetFrame_Ctrl::IoLinkPortSetFrame_Ctrl(QWidget *parent)
    : Channel_Ctrl(parent)
    , ui(new Ui::IoLinkPortSetFrame_Ctrl)
{
    buildUnlessDeferred();
}

// The form made at build time shows the texts of the language then installed, so a language
// given before needs nothing more.
void IoLinkPortSetFrame_Ctrl::buildFrame()
{
    ui->setupUi(this);
    ui->lineEditPin2->hide();
    ui->textEditInfo->document()->setMaximumBlockCount(100);
    ui->textEditInfo->setStyleSheet(QStringLiteral("background-color: transparent"));

    setValidator(ui->lineEditPin4, "^[0-9a-fA-F]{1,2}$");
    setValidator(ui->lineEditPin2, "^[0-9a-fA-F]{1,2}$");
    setValidator(ui->lineEditIndex, "^[0-9a-fA-F]{1,4}$");
    setValidator(ui->lineEditSubIndex, "^[0-9a-fA-F]{1,2}$");
    setValidator(ui->lineEditVID, "^[0-9a-fA-F]{1,4}$");
    setValidator(ui->lineEditDevID, "^[0-9a-fA-F]{1,8}$");
    setValidator(ui->lineEditIoCircle, "^([01]?[0-9]{1,2}|2[0-4][0-9]|25[0-5])$");
    setValidator(ui->lineEditInputLength, "^(0{1,1}|[1-9]|[1-2][0-9]|3[0-2])$");
    setValidator(ui->lineEditOutputLength, "^(0{1,1}|[1-9]|[1-2][0-9]|3[0-2])$");

    ui->comboBoxSafeMode->setCurrentIndex(0);
    ui->comboBox_Fun->setCurrentIndex(0);
    ui->comboBoxValidate->setCurrentIndex(0);
    ui->comboBox_Enable->setCurrentIndex(0);
    on_comboBox_Fun_currentIndexChanged(0);
    takePendingLanguage();
}

IoLinkPortSetFrame_Ctrl::~IoLinkPortSetFrame_Ctrl()
{
    delete ui;
}

void IoLinkPortSetFrame_Ctrl::retranslate(int language)
{
    if (deferRetranslate(language))
        return;
    ui->retranslateUi(this);
}

void IoLinkPortSetFrame_Ctrl::appendLog(QString text, bool failed)
{
    ensureBuilt();
    QTextEdit *log = ui->textEditInfo;
    log->setTextColor(failed ? Qt::red : Qt::black);
    log->append(QDateTime::currentDateTime().toString(QStringLiteral("MM-dd hh:mm:ss  ")) + text);
    log->verticalScrollBar()->setValue(log->verticalScrollBar()->maximum());
}

void IoLinkPortSetFrame_Ctrl::showIoParams(const QByteArray &payload)
{
    ensureBuilt();
    IoLinkIoParams params;
    if (!params.decode(payload))
        return;
    ui->comboBoxSafeMode->setCurrentIndex(params.safeMode < 3 ? params.safeMode : 0);
    ui->lineEditPin4->setText(QString::number(params.pin4Filter));
    ui->lineEditPin2->setText(QString::number(params.pin2));
}

void IoLinkPortSetFrame_Ctrl::showPortConfig(const QByteArray &payload)
{
    ensureBuilt();
    IoLinkPortConfig config;
    if (!config.decode(payload))
        return;
    ui->comboBox_Fun->setCurrentIndex(config.function < 5 ? config.function : 0);
    ui->comboBoxValidate->setCurrentIndex(config.validation < 2 ? config.validation : 0);
    ui->comboBox_Enable->setCurrentIndex(config.swap < 2 ? config.swap : 0);
    ui->lineEditVID->setText(toHexString(config.vendorId));
    ui->lineEditDevID->setText(QStringLiteral("%1").arg(config.deviceId, 8, 16, QLatin1Char('0')).toUpper());
    ui->lineEditIoCircle->setText(QString::number(config.cycle));
    ui->lineEditInputLength->setText(QString::number(config.inputLength));
    ui->lineEditOutputLength->setText(QString::number(config.outputLength));
    showInputLength();
    showOutputLength();
}

void IoLinkPortSetFrame_Ctrl::showIsduRead(const QByteArray &payload)
{
    ensureBuilt();
    IoLinkIsduReadReply reply;
    if (!reply.decode(payload))
        return;
    if (reply.errorCode != 0) {
        ui->textEditData->clear();
        appendLog(tr("读取ISDU数据失败 ") + toHexString(reply.errorCode), true);
        return;
    }
    ui->textEditData->setPlainText(hexPairText(reply.validData()));
    appendLog(tr("读取ISDU数据成功"), false);
}

void IoLinkPortSetFrame_Ctrl::warn(const QString &text)
{
    Prompts::warning(this, QStringLiteral("error"), text, QMessageBox::Ok);
}

bool IoLinkPortSetFrame_Ctrl::readNumber(QLineEdit *line, int base, quint32 max, const QString &warning, quint32 *value)
{
    bool ok = false;
    *value = line->text().trimmed().toUInt(&ok, base);
    if (ok && *value <= max)
        return true;
    warn(warning);
    line->selectAll();
    return false;
}

void IoLinkPortSetFrame_Ctrl::on_pushButtonSetInput_clicked()
{
    // Nothing is read from or written into the frame for a request that cannot go out.
    if (!IoLink_Module::reachable(this))
        return;
    quint32 pin2 = 0;
    quint32 pin4 = 0;
    if (!readNumber(ui->lineEditPin2, 10, 0xFFFF, tr("输入错误，输入不能为空且10进制!"), &pin2)
        || !readNumber(ui->lineEditPin4, 10, 0xFFFF, tr("输入错误，输入不能为空且为10进制!"), &pin4))
        return;
    IoLinkIoParams params;
    params.port = port;
    params.safeMode = quint8(ui->comboBoxSafeMode->currentIndex());
    params.pin4Filter = quint8(pin4 & 0xFF);
    params.pin2 = quint8(pin2 & 0xFF);
    send(IOLINK_SET_IOPARAM, params.encode());
}

void IoLinkPortSetFrame_Ctrl::on_pushButtonRefresInput_clicked()
{
    if (!IoLink_Module::reachable(this))
        return;
    send(IOLINK_GET_IOPARAM, QByteArray(1, char(port)));
}

void IoLinkPortSetFrame_Ctrl::on_btnSetLinkPort_clicked()
{
    if (!IoLink_Module::reachable(this))
        return;
    // The first line that fails names itself and stops the request.
    quint32 vendor = 0, device = 0, cycle = 0, input = 0, output = 0;
    if (!readNumber(ui->lineEditVID, 16, 0xFFFFFFFF, tr("Vendor_ID输入错误，输入不能为空且为16进制!"), &vendor)
        || !readNumber(ui->lineEditDevID, 16, 0xFFFFFFFF, tr("DevID输入错误，输入不能为空且为16进制!"), &device)
        || !readNumber(ui->lineEditIoCircle, 10, 0xFFFF, tr("IoCircle输入错误，需要0到255的10进制数!"), &cycle)
        || !readNumber(
            ui->lineEditInputLength, 10, maxProcessLength, tr("InputLength输入错误，需要0到32的10进制数!"), &input)
        || !readNumber(
            ui->lineEditOutputLength, 10, maxProcessLength, tr("OutputLength输入错误，需要0到32的10进制数!"), &output))
        return;

    IoLinkPortConfig config;
    config.port = port;
    config.function = quint8(ui->comboBox_Fun->currentIndex());
    config.validation = quint8(ui->comboBoxValidate->currentIndex());
    config.swap = quint8(ui->comboBox_Enable->currentIndex());
    config.vendorId = quint16(vendor & 0xFFFF);
    config.deviceId = device;
    config.cycle = quint8(cycle & 0xFF);
    config.inputLength = quint8(input);
    config.outputLength = quint8(output);
    send(IOLINK_SET_PORT, config.encode());
}

void IoLinkPortSetFrame_Ctrl::on_pushButtonRefreshLinkPort_clicked()
{
    if (!IoLink_Module::reachable(this))
        return;
    send(IOLINK_GET_PORT, QByteArray(1, char(port)));
}

void IoLinkPortSetFrame_Ctrl::on_btnIsDURead_clicked()
{
    if (!IoLink_Module::reachable(this))
        return;
    quint32 index = 0;
    quint32 subIndex = 0;
    if (!readNumber(ui->lineEditIndex, 16, 0xFFFFFFFF, tr("索引输入错误，输入不能为空且为16进制!"), &index)
        || !readNumber(ui->lineEditSubIndex, 16, 0xFFFFFFFF, tr("子索引输入错误，输入不能为空且为16进制!"), &subIndex))
        return;
    IoLinkIsduReadRequest request;
    request.port = port;
    request.index = quint16(index & 0xFFFF);
    request.subIndex = quint8(subIndex & 0xFF);
    send(IOLINK_READ_ISDU, request.encode());
}

void IoLinkPortSetFrame_Ctrl::on_btnIsDUWrite_clicked()
{
    if (!IoLink_Module::reachable(this))
        return;
    quint32 index = 0;
    if (!readNumber(ui->lineEditIndex, 16, 0xFFFFFFFF, tr("索引输入错误，输入不能为空且为16进制!"), &index))
        return;
    // The write, unlike the read, takes an empty subindex as 0.
    if (ui->lineEditSubIndex->text().trimmed().isEmpty())
        ui->lineEditSubIndex->setText(QStringLiteral("00"));
    quint32 subIndex = 0;
    if (!readNumber(ui->lineEditSubIndex, 16, 0xFFFFFFFF, tr("子索引输入错误，为16进制!"), &subIndex))
        return;
    QString data = ui->textEditData->toPlainText().trimmed();
    if (data.isEmpty()) {
        data = QStringLiteral("00");
        ui->textEditData->setPlainText(data);
    }
    if (!isHexPairText(data)) {
        warn(tr("输入数据格式不对! 请按字节输入16进制中间用空格隔开,且不能为空!"));
        ui->textEditData->selectAll();
        return;
    }
    if (hexPairCount(data) > IoLinkIsduWriteRequest::dataSize) {
        warn(tr("输入数据不能超过%1个").arg(IoLinkIsduWriteRequest::dataSize));
        ui->textEditData->selectAll();
        return;
    }
    IoLinkIsduWriteRequest request;
    request.port = port;
    request.index = quint16(index & 0xFFFF);
    request.subIndex = quint8(subIndex & 0xFF);
    request.data = hexPairBytes(data);
    send(IOLINK_WRITE_ISDU, request.encode());
}

void IoLinkPortSetFrame_Ctrl::on_comboBox_Fun_currentIndexChanged(int index)
{
    const bool sdci = index == Sdci;
    {
        const QSignalBlocker blockInput(ui->lineEditInputLength);
        const QSignalBlocker blockOutput(ui->lineEditOutputLength);
        const QList<QWidget *> fields = { ui->lineEditVID, ui->lineEditDevID, ui->lineEditIoCircle,
            ui->comboBoxValidate, ui->lineEditInputLength, ui->lineEditOutputLength, ui->comboBox_Enable };
        for (QWidget *w : fields)
            w->setEnabled(sdci);
        if (!sdci) {
            for (QLineEdit *line : { ui->lineEditVID, ui->lineEditDevID, ui->lineEditIoCircle, ui->lineEditInputLength,
                     ui->lineEditOutputLength })
                line->setText(QStringLiteral("0"));
            ui->comboBoxValidate->setCurrentIndex(0);
            ui->comboBox_Enable->setCurrentIndex(0);
        }
    }
    showInputLength();
    showOutputLength();
}

void IoLinkPortSetFrame_Ctrl::on_lineEditInputLength_textChanged(QString)
{
    showInputLength();
}

void IoLinkPortSetFrame_Ctrl::on_lineEditOutputLength_textChanged(QString)
{
    showOutputLength();
}

// The process data of a port carry two bytes beside the device's own: on the input side for
// SDCI and DI, on the output side for the two DO functions.
void IoLinkPortSetFrame_Ctrl::showInputLength()
{
    const int fun = ui->comboBox_Fun->currentIndex();
    const int length = fun == Inactive ? 0 : lengthOf(ui->lineEditInputLength) + (fun == Sdci || fun == Di ? 2 : 0);
    ui->labelInputLenth->setText(QString::number(length));
}

void IoLinkPortSetFrame_Ctrl::showOutputLength()
{
    const int fun = ui->comboBox_Fun->currentIndex();
    const int length
        = fun == Inactive ? 0 : lengthOf(ui->lineEditOutputLength) + (fun == DoNpn || fun == DoPnp ? 2 : 0);
    ui->labelOutputLenth->setText(QString::number(length));
}
