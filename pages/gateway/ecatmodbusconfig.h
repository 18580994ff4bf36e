#ifndef ECATMODBUSCONFIG_H
#define ECATMODBUSCONFIG_H

#include "gatewaytable.h"
#include "menubase.h"

#include <QDomDocument>
#include <QPoint>

struct EcatRequestRow;

namespace Ui {
class EcatModbusConfig;
}

// The table of an EtherCAT-to-Modbus gateway: the EtherCAT identity (product name and code), the
// state and control word mapping and one Modbus request per row. Read requests become the slave's
// input data, write requests its output data; the page can describe them in an ESI file.
class EcatModbusConfig : public menubase
{
    Q_OBJECT

public:
    explicit EcatModbusConfig(QWidget *parent = nullptr);
    ~EcatModbusConfig() override;

    QByteArray getParamData() override;
    int setParamData(QByteArray data) override;
    void retranslate(int language) override;

    // The row's name in the block and in the ESI file: "<description or function>_ID_<slave>".
    QString rowName(int row) const;
    int rowBitLength(int row) const;
    // -1 when the row has no function editor.
    int rowFunction(int row) const;
    bool rowBitAccess(int row) const;

    // Writes the ESI file for the current settings; false (after telling the user) when it failed.
    bool writeEsi(const QString &path);
    void setTypeElement(QDomNode type);
    void setNameElement(QDomNode name);
    void addTxPdos(QDomDocument doc, QDomNode anchor);
    void addRxPdos(QDomDocument doc, QDomNode anchor);
    QDomElement makePdoEntry(QDomDocument doc, const QString &name, int index, int subIndex, int bitLen, bool bitArray);

    int Maxslotnum = 0;
    int Maxinputsize = 0;
    int Maxoutputsize = 0;
    int language = 0;

    Ui::EcatModbusConfig *ui;

public slots:
    void show_menu(QPoint pos);
    void additem(bool checked = false);
    void delitem(bool checked = false);
    void comboxcurrentIndexChanged(int index);
    void on_pushButton_newExcel_clicked();
    void on_pushButton_Import_clicked();
    void on_pushButton_ESI_clicked();

protected:
    void buildPage() override;

private:
    // Appends a row from stored or imported values; storedName is the row name the block or the
    // sheet gave (the description is what remains of it without the default parts).
    void appendRow(const EcatRequestRow &values, const QString &storedName);
    int insertRow(int slave, int functionIndex, int reg, int length);
    void setTrigger(int row, int index);
    void setDescription(int row, const QString &text);
    QString defaultBaseName(int row) const;
    void addPdos(QDomDocument doc, QDomNode anchor, bool transmit);

    GatewayTable::Cells m_cells;
};

#endif
