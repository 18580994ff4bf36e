#include "tempctl_input_form.h"

#include "module.h"
#include "submodule.h"
#include "tempctlblocks.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const char *const rowLabels[] = {
    QT_TRANSLATE_NOOP("Tempctl_input_Form", "控制输入通道"),
    QT_TRANSLATE_NOOP("Tempctl_input_Form", "控制输出通道"),
    QT_TRANSLATE_NOOP("Tempctl_input_Form", "输入有效上限"),
    QT_TRANSLATE_NOOP("Tempctl_input_Form", "输入有效下限"),
    QT_TRANSLATE_NOOP("Tempctl_input_Form", "输出上限"),
    QT_TRANSLATE_NOOP("Tempctl_input_Form", "输出下限"),
};

struct Limit
{
    double low;
    double high;
    double value;
};
const Limit limits[4] = { { -32767, 32767, 32767 }, { -32767, 32767, 0 }, { 0, 32767, 100 }, { 0, 100, 0 } };

const QString invalidText = QStringLiteral("Invalid");

} // namespace

Tempctl_input_Form::Tempctl_input_Form(QWidget *parent, modulebase *owner)
    : QWidget(parent)
    , owner(owner)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    tableWidget = new QTableWidget(6, 9, this);
    tableWidget->setObjectName(QStringLiteral("tableWidget"));
    layout->addWidget(tableWidget);
    QStringList labels;
    for (const char *label : rowLabels)
        labels << tr(label);
    styleTempTable(tableWidget, labels, "Tempctl_input_Form");
    for (int channel = 1; channel <= tempChannelCount; ++channel) {
        for (int i = 0; i < 4; ++i) {
            auto *box = new QDoubleSpinBox;
            box->setDecimals(0);
            box->setRange(limits[i].low, limits[i].high);
            box->setValue(limits[i].value);
            box->setStyleSheet(QStringLiteral("QDoubleSpinBox::up-button,QDoubleSpinBox::down-button{width:0px;}"));
            tableWidget->setCellWidget(2 + i, channel, box);
        }
    }
}

QComboBox *Tempctl_input_Form::choiceBox(int row, int channel) const
{
    return qobject_cast<QComboBox *>(tableWidget->cellWidget(row, channel));
}

QDoubleSpinBox *Tempctl_input_Form::limitBox(int row, int channel) const
{
    return qobject_cast<QDoubleSpinBox *>(tableWidget->cellWidget(row, channel));
}

void Tempctl_input_Form::fillChannelChoices(module *coupler)
{
    inputMap.clear();
    outputMap.clear();
    if (!coupler)
        return;
    QList<TempChannelSource> sources;
    TempChannelSource own { QStringLiteral("0"), {} };
    for (const moduleData *item : qAsConst(coupler->dataList))
        own.items.append(item);
    sources.append(own);
    for (submodule *sub : qAsConst(coupler->submodules)) {
        if (!sub)
            continue;
        TempChannelSource source { sub->slot, {} };
        for (const moduleData *item : qAsConst(sub->dataList))
            source.items.append(item);
        sources.append(source);
    }
    QList<TempChannelChoice> inputs;
    QList<TempChannelChoice> outputs;
    tempChannelChoices(sources, &inputs, &outputs);
    for (const TempChannelChoice &c : qAsConst(inputs))
        inputMap.insert(c.text, c.id);
    for (const TempChannelChoice &c : qAsConst(outputs))
        outputMap.insert(c.text, c.id);

    for (int channel = 1; channel <= tempChannelCount; ++channel) {
        for (int row = 0; row < 2; ++row) {
            const QList<TempChannelChoice> &list = row == 0 ? inputs : outputs;
            auto *box = new QComboBox;
            for (const TempChannelChoice &c : list)
                box->addItem(c.text, c.id);
            if (!list.isEmpty())
                box->setCurrentIndex(list.size() >= channel ? channel - 1 : 0);
            tableWidget->setCellWidget(row, channel, box);
        }
    }
    fitTempColumns(tableWidget);
}

QByteArray Tempctl_input_Form::buildBlock() const
{
    TempCtlIoBlock block;
    for (int channel = 1; channel <= tempChannelCount; ++channel) {
        TempCtlIoBlock::Channel &c = block.channels[size_t(channel - 1)];
        for (int row = 0; row < 2; ++row) {
            QByteArray id;
            if (QComboBox *box = choiceBox(row, channel)) {
                if (box->currentText() != invalidText)
                    id = box->currentData().toString().toLatin1().left(13);
            }
            (row == 0 ? c.input : c.output) = id;
        }
        c.inputHigh = qint16(limitBox(2, channel)->value());
        c.inputLow = qint16(limitBox(3, channel)->value());
        c.outputHigh = quint16(limitBox(4, channel)->value());
        c.outputLow = quint16(limitBox(5, channel)->value());
    }
    return block.encode();
}

bool Tempctl_input_Form::parseBlock(QByteArray data)
{
    TempCtlIoBlock block;
    if (!block.decode(data))
        return false;
    for (int channel = 1; channel <= tempChannelCount; ++channel) {
        const TempCtlIoBlock::Channel &c = block.channels[size_t(channel - 1)];
        for (int row = 0; row < 2; ++row) {
            QComboBox *box = choiceBox(row, channel);
            if (!box)
                continue;
            const QString id = QString::fromLatin1(row == 0 ? c.input : c.output);
            const int at = box->findData(id);
            if (at >= 0) {
                box->setCurrentIndex(at);
            } else {
                box->addItem(invalidText);
                box->setCurrentIndex(box->findText(invalidText));
            }
        }
        limitBox(2, channel)->setValue(c.inputHigh);
        limitBox(3, channel)->setValue(c.inputLow);
        limitBox(4, channel)->setValue(c.outputHigh);
        limitBox(5, channel)->setValue(c.outputLow);
    }
    return true;
}

void fitTempColumns(QTableWidget *table)
{
    int widest = table->horizontalHeader()->minimumSectionSize();
    for (int row = 0; row < table->rowCount(); ++row) {
        for (int column = 1; column < table->columnCount(); ++column) {
            if (QWidget *cell = table->cellWidget(row, column))
                widest = qMax(widest, cell->sizeHint().width());
        }
    }
    table->horizontalHeader()->setMinimumSectionSize(widest);
}

void styleTempTable(QTableWidget *table, const QStringList &labels, const char *context)
{
    QStringList headers { QCoreApplication::translate(context, "参数名称") };
    for (int channel = 1; channel <= tempChannelCount; ++channel)
        headers << QCoreApplication::translate(context, "通道") + QString::number(channel);
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section{background-color:rgb(80,80,80);color:white;}"));
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
    table->setColumnWidth(0, 100);
    for (int row = 0; row < labels.size(); ++row) {
        auto *item = new QTableWidgetItem(labels.at(row));
        item->setFlags(item->flags() & ~Qt::ItemIsEditable & ~Qt::ItemIsSelectable);
        item->setBackground(QColor(80, 80, 80));
        item->setForeground(Qt::white);
        table->setItem(row, 0, item);
    }
}
