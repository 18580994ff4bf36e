#ifndef MODBUSCONFIG_H
#define MODBUSCONFIG_H

#include "gatewaytable.h"
#include "menubase.h"

#include <QPoint>

class QComboBox;
class QSpinBox;

namespace Ui {
class modbusconfig;
}

// The Modbus master table of a gateway: one request per row (slave, function, start register,
// length). The rows are numbered into the gateway's input and output images, each of which starts
// with a 2-byte status or control word, and travel as the rest of the module's parameter bytes.
class modbusconfig : public menubase
{
    Q_OBJECT

public:
    explicit modbusconfig(QWidget *parent = nullptr);
    ~modbusconfig() override;

    QByteArray getParamData() override;
    int setParamData(QByteArray data) override;
    void restoreDefaults(bool updateWidgets) override;
    void retranslate(int language) override;

    // Copied from the owner by the page factory.
    int Maxslotnum = 0;
    int Maxinputsize = 0;
    int Maxoutputsize = 0;
    int language = 0;

    Ui::modbusconfig *ui;

public slots:
    void show_menu(QPoint pos);
    void additem(bool checked = false);
    void delitem(bool checked = false);
    void comboxcurrentIndexChanged(int index);
    void lenvaluechanged(int value);
    void on_pushButton_clicked();
    int additem(uint slaveid, uint funcode, uint regadd, uint reglen);
    void on_pushButton_2_clicked();

public:
    void rowDataSize(int row, int &inBytes, int &outBytes);
    void updateAddresses();
    void setFunctionCode(int row, int code);
    void clearRows();

protected:
    void buildPage() override;

private:
    // Renumbers the table; an overflow cuts editedRow's length back to 1.
    void renumber(int editedRow);
    int appendRow(int slave, int reg);
    QComboBox *functionBox(int row) const;
    QComboBox *makeFunctionBox(int row);
    QSpinBox *makeLength(int row, int minimum, int value);

    GatewayTable::Cells m_cells;
};

#endif
