#include "tempctl_pid_form.h"

#include "tempctl_input_form.h"
#include "tempctlblocks.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Row {
    Mode,
    Upper,
    Lower,
    Period,
    DeadBand,
    Band,
    Integral,
    Derivative,
    Identify,
    Fuzzy,
    FuzzyP,
    FuzzyI,
    FuzzyD,
    RowCount
};

const char *const rowLabels[RowCount] = {
    QT_TRANSLATE_NOOP("Tempctl_PID_Form", "控制方式"),
    QT_TRANSLATE_NOOP("Tempctl_PID_Form", "过程控制上限"),
    QT_TRANSLATE_NOOP("Tempctl_PID_Form", "过程控制下限"),
    QT_TRANSLATE_NOOP("Tempctl_PID_Form", "控制周期(ms)"),
    QT_TRANSLATE_NOOP("Tempctl_PID_Form", "死区宽度"),
    QT_TRANSLATE_NOOP("Tempctl_PID_Form", "比例带"),
    QT_TRANSLATE_NOOP("Tempctl_PID_Form", "积分时间"),
    QT_TRANSLATE_NOOP("Tempctl_PID_Form", "微分时间"),
    QT_TRANSLATE_NOOP("Tempctl_PID_Form", "参数识别使能"),
    QT_TRANSLATE_NOOP("Tempctl_PID_Form", "模糊pid使能"),
    QT_TRANSLATE_NOOP("Tempctl_PID_Form", "模糊比例调整度"),
    QT_TRANSLATE_NOOP("Tempctl_PID_Form", "模糊积分调整度"),
    QT_TRANSLATE_NOOP("Tempctl_PID_Form", "模糊微分调整度"),
};

struct NumberCell
{
    int row;
    double low;
    double high;
    int decimals;
    double step;
    const char *suffix;
    double value;
};

const NumberCell numberCells[] = {
    { Upper, 0.0, 100.0, 1, 1, "", 100.0 },
    { Lower, 0.0, 100.0, 1, 1, "", 1.0 },
    // The field holds 32 bits; a day is far beyond any control period.
    { Period, 500, 86400000, 0, 1, "ms", 1000 },
    { DeadBand, 0.0, 100.0, 1, 1, "", 0.5 },
    { Band, 0.0, 99.99, 2, 0.01, "", 0.0 },
    { Integral, 0.0, 99.99, 2, 0.01, "s", 0.01 },
    { Derivative, 0.0, 99.99, 2, 0.01, "s", 0.0 },
};

quint8 choiceByte(const QComboBox *box)
{
    return box->currentIndex() < 0 ? 255 : quint8(box->currentIndex());
}

void setChoice(QComboBox *box, int index)
{
    box->setCurrentIndex(index < box->count() ? index : -1);
}

} // namespace

Tempctl_PID_Form::Tempctl_PID_Form(QWidget *parent, modulebase *owner)
    : QWidget(parent)
    , owner(owner)
    , doubleBoxStyle(QStringLiteral("QDoubleSpinBox::up-button,QDoubleSpinBox::down-button{width:0px;}"))
    , intBoxStyle(QStringLiteral("QSpinBox::up-button,QSpinBox::down-button{width:0px;}"))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    tableWidget = new QTableWidget(RowCount, 9, this);
    tableWidget->setObjectName(QStringLiteral("tableWidget"));
    layout->addWidget(tableWidget);
    QStringList labels;
    for (const char *label : rowLabels)
        labels << tr(label);
    styleTempTable(tableWidget, labels, "Tempctl_PID_Form");

    for (int column = 1; column <= tempChannelCount; ++column) {
        auto *mode = new QComboBox;
        mode->addItems({ QStringLiteral("PID"), QStringLiteral("ON/OFF") });
        tableWidget->setCellWidget(Mode, column, mode);
        for (const NumberCell &cell : numberCells) {
            auto *box = new QDoubleSpinBox;
            box->setDecimals(cell.decimals);
            box->setRange(cell.low, cell.high);
            box->setSingleStep(cell.step);
            box->setSuffix(QString::fromLatin1(cell.suffix));
            box->setValue(cell.value);
            box->setStyleSheet(doubleBoxStyle);
            tableWidget->setCellWidget(cell.row, column, box);
        }
        auto *identify = new QComboBox;
        identify->addItems({ tr("使用设置参数"), tr("使用识别参数") });
        identify->setToolTip(tr("如果模块没有进行过PID识别，模块启动PID参数识别"));
        tableWidget->setCellWidget(Identify, column, identify);
        auto *fuzzy = new QComboBox;
        fuzzy->addItems({ tr("关闭"), tr("打开") });
        tableWidget->setCellWidget(Fuzzy, column, fuzzy);
        for (int row = FuzzyP; row <= FuzzyD; ++row) {
            auto *box = new QSpinBox;
            box->setRange(0, 100);
            box->setSuffix(QStringLiteral("%"));
            box->setValue(10);
            box->setStyleSheet(intBoxStyle);
            box->setEnabled(false);
            tableWidget->setCellWidget(row, column, box);
        }
        connect(mode, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &Tempctl_PID_Form::CtlModeChanged);
        connect(
            fuzzy, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &Tempctl_PID_Form::FuzzyEnableChanged);
    }
    fitTempColumns(tableWidget);
}

QComboBox *Tempctl_PID_Form::choice(int row, int column) const
{
    return qobject_cast<QComboBox *>(tableWidget->cellWidget(row, column));
}

double Tempctl_PID_Form::number(int row, int column) const
{
    QWidget *w = tableWidget->cellWidget(row, column);
    if (auto *d = qobject_cast<QDoubleSpinBox *>(w))
        return d->value();
    if (auto *i = qobject_cast<QSpinBox *>(w))
        return i->value();
    return 0;
}

void Tempctl_PID_Form::setNumber(int row, int column, double value)
{
    QWidget *w = tableWidget->cellWidget(row, column);
    if (auto *d = qobject_cast<QDoubleSpinBox *>(w))
        d->setValue(value);
    else if (auto *i = qobject_cast<QSpinBox *>(w))
        i->setValue(int(value));
}

int Tempctl_PID_Form::columnOf(QObject *cellWidget, int row) const
{
    for (int column = 1; column <= tempChannelCount; ++column) {
        if (tableWidget->cellWidget(row, column) == cellWidget)
            return column;
    }
    return -1;
}

void Tempctl_PID_Form::applyModeRule(int column, int index)
{
    const bool pid = index == 0;
    for (int row : { Upper, Lower, Band, Integral, Derivative, Fuzzy })
        tableWidget->cellWidget(row, column)->setEnabled(pid);
    applyFuzzyRule(column);
}

void Tempctl_PID_Form::applyFuzzyRule(int column)
{
    QComboBox *fuzzy = choice(Fuzzy, column);
    if (!fuzzy)
        return;
    const bool on = fuzzy->currentIndex() != 0 && fuzzy->isEnabled();
    for (int row = FuzzyP; row <= FuzzyD; ++row)
        tableWidget->cellWidget(row, column)->setEnabled(on);
}

void Tempctl_PID_Form::CtlModeChanged(int index)
{
    const int column = columnOf(sender(), Mode);
    if (column > 0)
        applyModeRule(column, index);
}

void Tempctl_PID_Form::FuzzyEnableChanged(int)
{
    const int column = columnOf(sender(), Fuzzy);
    if (column > 0)
        applyFuzzyRule(column);
}

QByteArray Tempctl_PID_Form::buildBlock() const
{
    TempCtlPidBlock block;
    for (int column = 1; column <= tempChannelCount; ++column) {
        TempCtlPidBlock::Channel &c = block.channels[size_t(column - 1)];
        c.mode = choiceByte(choice(Mode, column));
        c.upperTenths = scaledValue(number(Upper, column), 1);
        c.lowerTenths = scaledValue(number(Lower, column), 1);
        c.bandHundredths = scaledValue(number(Band, column), 2);
        c.integralHundredths = scaledValue(number(Integral, column), 2);
        c.derivativeHundredths = scaledValue(number(Derivative, column), 2);
        c.periodMs = quint32(number(Period, column));
        c.deadTenths = scaledValue(number(DeadBand, column), 1);
        c.identify = choiceByte(choice(Identify, column));
        c.fuzzy = choiceByte(choice(Fuzzy, column));
        c.fuzzyP = quint8(number(FuzzyP, column));
        c.fuzzyI = quint8(number(FuzzyI, column));
        c.fuzzyD = quint8(number(FuzzyD, column));
    }
    return block.encode();
}

bool Tempctl_PID_Form::parseBlock(QByteArray data)
{
    TempCtlPidBlock block;
    if (!block.decode(data))
        return false;
    for (int column = 1; column <= tempChannelCount; ++column) {
        const TempCtlPidBlock::Channel &c = block.channels[size_t(column - 1)];
        setChoice(choice(Mode, column), c.mode);
        setNumber(Upper, column, c.upperTenths / 10.0);
        setNumber(Lower, column, c.lowerTenths / 10.0);
        setNumber(Band, column, c.bandHundredths / 100.0);
        setNumber(Integral, column, c.integralHundredths / 100.0);
        setNumber(Derivative, column, c.derivativeHundredths / 100.0);
        setNumber(Period, column, c.periodMs);
        setNumber(DeadBand, column, c.deadTenths / 10.0);
        setChoice(choice(Identify, column), c.identify);
        setChoice(choice(Fuzzy, column), c.fuzzy);
        setNumber(FuzzyP, column, c.fuzzyP);
        setNumber(FuzzyI, column, c.fuzzyI);
        setNumber(FuzzyD, column, c.fuzzyD);
        for (int row = FuzzyP; row <= FuzzyD; ++row)
            tableWidget->cellWidget(row, column)->setEnabled(c.fuzzy != 0);
    }
    return true;
}
