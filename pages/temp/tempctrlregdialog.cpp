#include "tempctrlregdialog.h"
#include "ui_tempctrlregdialog.h"

namespace {

constexpr uint16_t enableBit = 0x1;
constexpr uint16_t tuneBit = 0x4;

} // namespace

TempCtrlRegDialog::TempCtrlRegDialog(bool readOnly, QWidget *parent)
    // Shown only while a read-only cell is pressed: no focus, no frame.
    : QDialog(parent, (readOnly ? Qt::ToolTip : Qt::Dialog) | Qt::FramelessWindowHint)
    , ui(new Ui::TempCtrlRegDialog)
{
    ui->setupUi(this);
    if (readOnly) {
        ui->pushButton_close->hide();
        ui->pushButton_OK->hide();
    }
}

TempCtrlRegDialog::~TempCtrlRegDialog()
{
    delete ui;
}

void TempCtrlRegDialog::setValue(uint16_t value)
{
    m_value = value;
    ui->checkBox_enable->setChecked(value & enableBit);
    ui->checkBox_tune->setChecked(value & tuneBit);
}

uint16_t TempCtrlRegDialog::value()
{
    uint16_t v = m_value & ~(enableBit | tuneBit);
    if (ui->checkBox_enable->isChecked())
        v |= enableBit;
    if (ui->checkBox_tune->isChecked())
        v |= tuneBit;
    m_value = v;
    return v;
}

void TempCtrlRegDialog::reject()
{
    // A cancelled change leaves no trace in the boxes for the next time.
    setValue(m_value);
    QDialog::reject();
}

void TempCtrlRegDialog::on_pushButton_OK_clicked()
{
    accept();
}

void TempCtrlRegDialog::on_pushButton_close_clicked()
{
    reject();
}
