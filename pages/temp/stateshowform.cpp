#include "stateshowform.h"
#include "ui_stateshowform.h"

namespace {

QString bit(uint16_t value, int number)
{
    return (value >> number) & 1 ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

StateShowForm::StateShowForm(QWidget *parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint)
    , ui(new Ui::StateShowForm)
{
    ui->setupUi(this);
}

StateShowForm::~StateShowForm()
{
    delete ui;
}

void StateShowForm::setValue(uint16_t value)
{
    m_value = value;
    ui->label_tunestate->setText(bit(value, 2));
    ui->label_enable->setText(bit(value, 0));
    ui->label_inputalarm->setText(bit(value, 1));
}
