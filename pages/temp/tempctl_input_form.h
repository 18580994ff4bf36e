#ifndef TEMPCTL_INPUT_FORM_H
#define TEMPCTL_INPUT_FORM_H

#include <QByteArray>
#include <QMap>
#include <QWidget>

class QComboBox;
class QDoubleSpinBox;
class QTableWidget;
class QStringList;
class modulebase;
class module;

// The I/O settings tab of the temperature page: per control channel the input and output picked
// from the process data of the coupler and its sub-modules, and four limits.
class Tempctl_input_Form : public QWidget
{
    Q_OBJECT

public:
    Tempctl_input_Form(QWidget *parent, modulebase *owner);

    void fillChannelChoices(module *coupler);
    QByteArray buildBlock() const;
    // Shows a block; false (table unchanged) for a block shorter than a whole block.
    bool parseBlock(QByteArray block);

    QComboBox *choiceBox(int row, int channel) const;
    QDoubleSpinBox *limitBox(int row, int channel) const;

    QTableWidget *tableWidget = nullptr;
    modulebase *owner = nullptr;
    QMap<QString, QString> inputMap;
    QMap<QString, QString> outputMap;
};

// Both temperature tables: row labels in a fixed dark column, one stretched column per channel.
void styleTempTable(QTableWidget *table, const QStringList &labels, const char *context);
// Keeps every column at least as wide as its widest cell widget wants, so a choice such as
// "slot0>Heater:7" shows whole; the table scrolls sideways where the channels do not fit.
void fitTempColumns(QTableWidget *table);

#endif
