#ifndef MSCOMM_CONFIG_H
#define MSCOMM_CONFIG_H

#include "gatewaytable.h"
#include "menubase.h"

#include <QPoint>

class IoPoint;
class QLineEdit;
struct MscomRequestRow;

namespace Ui {
class mscomm_config;
}

// The table of a serial gateway with two ports: one request per row, as Modbus master or as a
// free-protocol message. The page numbers the rows into the module's process image, adds a state
// area (2 bits per row) and a control area (1 bit per row), and gives the module its I/O points.
class mscomm_config : public menubase
{
    Q_OBJECT

public:
    explicit mscomm_config(QWidget *parent = nullptr);
    ~mscomm_config() override;

    QByteArray getParamData() override;
    int setParamData(QByteArray data) override;
    void retranslate(int language) override;
    void setOwner(modulebase *owner) override;
    int inputSize() override;
    int outputSize() override;

    int Maxslotnum = 0;
    int Maxinputsize = 0;
    int Maxoutputsize = 0;
    int stateStart = 0;
    int ctlStart = 0;
    int language = 0;

    Ui::mscomm_config *ui;

public slots:
    void show_menu(QPoint pos);
    void additem(bool checked = false);
    void delitem(bool checked = false);
    void comboxcurrentIndexChanged(int index);
    void on_pushButton_newExcel_clicked();
    void on_pushButton_Import_clicked();
    void inlenvaluechanged(int value);
    void outlenvaluechanged(int value);
    void on_checkBox_state_stateChanged(int state);
    void on_checkBox_ctl_stateChanged(int state);

public:
    void rowDataSize(int row, int &inBytes, int &outBytes);
    void updateAddresses();
    void rebuildIoPoints();
    // Appends a row; -1 (after a warning) at the slot limit.
    int addRowWithValues(const MscomRequestRow &values);
    void setFunctionCode(int row, int code);
    void removeRow(int row);
    void clearRows();
    QLineEdit *description(int row) const;

protected:
    void buildPage() override;

private:
    int insertRow(int port, int slave, int functionIndex, int reg, int inLen, int outLen);
    void applyFunction(int row, int index);
    void setDescription(int row, const QString &text);
    void addRowIoPoints(int row, int inStart, int outStart, QList<IoPoint *> &inputs, QList<IoPoint *> &outputs);

    GatewayTable::Cells m_cells;
    int m_inTotal = 0;
    int m_outTotal = 0;
    // The module's point list as this page last made it.
    QList<IoPoint *> m_madePoints;
};

#endif
