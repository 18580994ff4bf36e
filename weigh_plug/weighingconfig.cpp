#include "weighingconfig.h"
#include "ui_weighingconfig.h"

#include "weighcommand.h"

namespace {

struct ReplyLines
{
    int command;
    const char *success;
    const char *failure;
};

// Lines written for the one-byte result replies.
const ReplyLines replyLines[] = {
    { WEIGH_TARE, QT_TRANSLATE_NOOP("weighingconfig", "去皮/清皮成功"),
        QT_TRANSLATE_NOOP("weighingconfig", "去皮/清皮失败") },
    { WEIGH_ZERO_SET, QT_TRANSLATE_NOOP("weighingconfig", "清零设置成功"),
        QT_TRANSLATE_NOOP("weighingconfig", "清零设置失败") },
    { WEIGH_SAMPLING, QT_TRANSLATE_NOOP("weighingconfig", "设置采用参数成功"),
        QT_TRANSLATE_NOOP("weighingconfig", "设置采用参数失败") },
    { WEIGH_ZERO_CALIB, QT_TRANSLATE_NOOP("weighingconfig", "设置零点校准成功"),
        QT_TRANSLATE_NOOP("weighingconfig", "设置零点校准失败") },
    { WEIGH_FREE_CALIB, QT_TRANSLATE_NOOP("weighingconfig", "免标定标定成功"),
        QT_TRANSLATE_NOOP("weighingconfig", "免标定标定 失败") },
    { WEIGH_CALIB_POINT, QT_TRANSLATE_NOOP("weighingconfig", "保存标定1 成功"),
        QT_TRANSLATE_NOOP("weighingconfig", "保存标定1 失败") },
    { WEIGH_CALIB_POINT + 1, QT_TRANSLATE_NOOP("weighingconfig", "保存标定2 成功"),
        QT_TRANSLATE_NOOP("weighingconfig", "保存标定2 失败") },
    { WEIGH_CALIB_POINT + 2, QT_TRANSLATE_NOOP("weighingconfig", "保存标定3 成功"),
        QT_TRANSLATE_NOOP("weighingconfig", "保存标定3 失败") },
    { WEIGH_CALIB_POINT + 3, QT_TRANSLATE_NOOP("weighingconfig", "保存标定4 成功"),
        QT_TRANSLATE_NOOP("weighingconfig", "保存标定4 失败") },
    { WEIGH_CALIB_END, QT_TRANSLATE_NOOP("weighingconfig", "标定完成"),
        QT_TRANSLATE_NOOP("weighingconfig", "标定失败") },
};

QByteArray channelByte(int channel)
{
    return QByteArray(1, char(channel & 0xFF));
}

} // namespace

weighingconfig::weighingconfig(int channel, modulebase *owner, QWidget *parent)
    : QWidget(parent)
    , owner(owner)
    , channel(channel)
    , ui(new Ui::weighingconfig)
{
    ui->setupUi(this);
    ui->lineEdit_gross->setReadOnly(true);
    ui->lineEdit_tare->setReadOnly(true);
    ui->lineEdit_net->setReadOnly(true);
    ui->groupBox_freecali->setChecked(true);
    ui->groupBox_cailb->setChecked(false);
    for (int row = 2; row <= 4; ++row)
        setRowEnabled(row, false);
    connect(ui->ClrinfoButton, &QPushButton::clicked, ui->textBrowser, &QTextBrowser::clear);
}

weighingconfig::~weighingconfig()
{
    delete ui;
}

void weighingconfig::setRowEnabled(int row, bool enabled)
{
    QWidget *widgets[4][4] = {
        { ui->label_calib1, ui->doubleSpinBox_calib1, ui->label_11, ui->pushButton_calib1 },
        { ui->label_calib2, ui->doubleSpinBox_calib2, ui->label_12, ui->pushButton__calib2 },
        { ui->label_calib3, ui->doubleSpinBox_calib3, ui->label_13, ui->pushButton__calib3 },
        { ui->label_calib4, ui->doubleSpinBox_calib4, ui->label_14, ui->pushButton__calib4 },
    };
    if (row < 1 || row > 4)
        return;
    for (QWidget *w : widgets[row - 1])
        w->setEnabled(enabled);
}

void weighingconfig::sendCommand(int command, QByteArray payload)
{
    QByteArray frame = WeighCodec::request(command, payload);
    emit weighSendMessage(frame);
}

int weighingconfig::dispatchReply(int command, QByteArray data)
{
    if (command == WEIGH_READ) {
        if (data.size() < 12)
            return 0;
        ui->lineEdit_gross->setText(WeighCodec::tenthsText(data, 0, true));
        ui->lineEdit_tare->setText(WeighCodec::tenthsText(data, 4, true));
        ui->lineEdit_net->setText(WeighCodec::tenthsText(data, 8, true));
        return 1;
    }
    if (command == 0xFF)
        return 1;
    for (const ReplyLines &lines : replyLines) {
        if (lines.command != command)
            continue;
        if (data.size() != 1)
            return 0;
        ui->textBrowser->append(tr(data.at(0) != 0 ? lines.success : lines.failure));
        return 1;
    }
    return 0;
}

void weighingconfig::setConnected(bool connected)
{
    for (QWidget *w : { static_cast<QWidget *>(ui->pushButton_clr_tare),
             static_cast<QWidget *>(ui->pushButton_set_tare), static_cast<QWidget *>(ui->pushButton_zeroset),
             static_cast<QWidget *>(ui->pushButton_sample), static_cast<QWidget *>(ui->pushButton_zerocorrection),
             static_cast<QWidget *>(ui->pushButton_free_cali), static_cast<QWidget *>(ui->pushButton_calib1),
             static_cast<QWidget *>(ui->groupBox_freecali), static_cast<QWidget *>(ui->groupBox_cailb) })
        w->setEnabled(connected);
    if (!connected) {
        ui->pushButton__calib2->setEnabled(false);
        ui->pushButton__calib3->setEnabled(false);
        ui->pushButton__calib4->setEnabled(false);
    }
}

void weighingconfig::on_pushButton_zeroset_clicked()
{
    sendCommand(WEIGH_ZERO_SET,
        channelByte(channel) + char(ui->comboBox_powerset->currentIndex())
            + WeighCodec::bigEndian32(WeighCodec::zeroRangeTenths(ui->doubleSpinBox->value())));
}

void weighingconfig::on_pushButton_sample_clicked()
{
    sendCommand(WEIGH_SAMPLING,
        channelByte(channel) + char(ui->comboBox_filter->currentIndex()) + char(ui->comboBox_unit->currentIndex()));
}

void weighingconfig::on_pushButton_zerocorrection_clicked()
{
    sendCommand(WEIGH_ZERO_CALIB, channelByte(channel));
}

void weighingconfig::on_pushButton_free_cali_clicked()
{
    sendCommand(WEIGH_FREE_CALIB,
        channelByte(channel) + WeighCodec::bigEndian32(WeighCodec::weightTenths(ui->doubleSpinBox_cap->value()))
            + WeighCodec::bigEndian32(WeighCodec::weightTenths(ui->doubleSpinBox_sensitivity->value())));
}

void weighingconfig::on_checkBox_calib2_stateChanged(int state)
{
    if (state != Qt::Unchecked) {
        setRowEnabled(2, true);
        ui->checkBox_calib3->setEnabled(true);
        return;
    }
    setRowEnabled(2, false);
    ui->checkBox_calib3->setEnabled(false);
    ui->checkBox_calib4->setEnabled(false);
    ui->checkBox_calib3->setChecked(false);
    ui->checkBox_calib4->setChecked(false);
    setRowEnabled(3, false);
    setRowEnabled(4, false);
}

void weighingconfig::on_checkBox_calib3_stateChanged(int state)
{
    if (state != Qt::Unchecked) {
        setRowEnabled(3, true);
        ui->checkBox_calib4->setEnabled(true);
        return;
    }
    setRowEnabled(3, false);
    ui->checkBox_calib4->setEnabled(false);
    setRowEnabled(4, false);
    ui->checkBox_calib4->setChecked(false);
}

void weighingconfig::on_checkBox_calib4_stateChanged(int state)
{
    setRowEnabled(4, state != Qt::Unchecked);
}

void weighingconfig::sendCalibPoint(int row)
{
    QDoubleSpinBox *boxes[]
        = { ui->doubleSpinBox_calib1, ui->doubleSpinBox_calib2, ui->doubleSpinBox_calib3, ui->doubleSpinBox_calib4 };
    sendCommand(WEIGH_CALIB_POINT - 1 + row,
        channelByte(channel) + WeighCodec::bigEndian32(WeighCodec::weightTenths(boxes[row - 1]->value())));
}

void weighingconfig::on_pushButton_calib1_clicked()
{
    sendCalibPoint(1);
}

void weighingconfig::on_pushButton__calib2_clicked()
{
    sendCalibPoint(2);
}

void weighingconfig::on_pushButton__calib3_clicked()
{
    sendCalibPoint(3);
}

void weighingconfig::on_pushButton__calib4_clicked()
{
    sendCalibPoint(4);
}

void weighingconfig::on_pushButton_set_tare_clicked()
{
    sendCommand(WEIGH_TARE, channelByte(channel) + char(1));
}

void weighingconfig::on_pushButton_clr_tare_clicked()
{
    sendCommand(WEIGH_TARE, channelByte(channel) + char(0));
}

void weighingconfig::weighgetMessage(QByteArray &) { }

void weighingconfig::on_groupBox_freecali_clicked(bool checked)
{
    if (checked)
        ui->groupBox_cailb->setChecked(false);
}

void weighingconfig::on_groupBox_cailb_clicked(bool checked)
{
    if (checked)
        ui->groupBox_freecali->setChecked(false);
}

void weighingconfig::on_pushButton_end_clicked()
{
    sendCommand(WEIGH_CALIB_END, channelByte(channel));
}

void weighingconfig::on_comboBox_unit_currentTextChanged(const QString &text)
{
    for (QLabel *label : { ui->label_11, ui->label_12, ui->label_13, ui->label_14 })
        label->setText(text);
}
