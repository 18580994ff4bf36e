#ifndef TEMPCTL_PID_FORM_H
#define TEMPCTL_PID_FORM_H

#include <QByteArray>
#include <QWidget>

class QComboBox;
class QTableWidget;
class modulebase;

// The PID tab of the temperature page: mode, limits, period, dead band, PID terms, identification
// and fuzzy PID of the eight control channels. PID cells are off in ON/OFF mode, the fuzzy
// percentages while fuzzy PID is off.
class Tempctl_PID_Form : public QWidget
{
    Q_OBJECT

public:
    Tempctl_PID_Form(QWidget *parent, modulebase *owner);

    QByteArray buildBlock() const;
    // Shows a block; false (table unchanged) for a block shorter than a whole block.
    bool parseBlock(QByteArray block);
    void applyFuzzyRule(int column);

    QTableWidget *tableWidget = nullptr;
    modulebase *owner = nullptr;
    QString doubleBoxStyle;
    QString intBoxStyle;

public slots:
    void CtlModeChanged(int index);
    void FuzzyEnableChanged(int index);

private:
    int columnOf(QObject *cellWidget, int row) const;
    void applyModeRule(int column, int index);
    double number(int row, int column) const;
    void setNumber(int row, int column, double value);
    QComboBox *choice(int row, int column) const;
};

#endif
