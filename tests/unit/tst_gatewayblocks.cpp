#include "ecatmodbusconfigcodec.h"
#include "modbusconfigcodec.h"
#include "modbusfunctioncode.h"
#include "mscomm_configcodec.h"
#include "testsupport.h"

Q_DECLARE_METATYPE(QVector<ModbusRequestRow>)

class TestGatewayBlocks : public QObject
{
    Q_OBJECT
private slots:
    void functionCodes_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("index");
        const int codes[] = { 1, 2, 3, 4, 5, 6, 15, 16 };
        for (int i = 0; i < 8; ++i)
            QTest::addRow("code %d", codes[i]) << codes[i] << i;
        QTest::newRow("0 is not a Modbus code") << 0 << 0;
        QTest::newRow("7") << 7 << 0;
        QTest::newRow("255") << 255 << 0;
    }
    void functionCodes()
    {
        QFETCH(int, code);
        QFETCH(int, index);
        QCOMPARE(ModbusFunctionCode::indexOf(code), index);
        if (code == ModbusFunctionCode::code(index))
            QCOMPARE(ModbusFunctionCode::indexOf(ModbusFunctionCode::code(index)), index);
    }

    void modbusRows_data()
    {
        QTest::addColumn<QVector<ModbusRequestRow>>("rows");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty table") << QVector<ModbusRequestRow>() << QByteArray();
        QTest::newRow("06 at 0x1234, slave 7")
            << QVector<ModbusRequestRow> { { 7, 6, 0x1234, 1 } } << QByteArray::fromHex("000706123401");
        QTest::newRow("two rows, position in byte 0")
            << QVector<ModbusRequestRow> { { 7, 6, 0x1234, 1 }, { 255, 16, 0xffff, 255 } }
            << QByteArray::fromHex("000706123401"
                                   "01ff10ffffff");
    }
    void modbusRows()
    {
        QFETCH(QVector<ModbusRequestRow>, rows);
        QFETCH(QByteArray, bytes);
        QCOMPARE(encodeModbusRequestRows(rows), bytes);
        QCOMPARE(decodeModbusRequestRows(bytes), rows);
    }

    void modbusRowsRead_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QVector<ModbusRequestRow>>("rows");
        QTest::newRow("byte 0 may hold anything") << QByteArray::fromHex("000706123401"
                                                                         "770103000a05")
                                                  << QVector<ModbusRequestRow> { { 7, 6, 0x1234, 1 }, { 1, 3, 10, 5 } };
        QTest::newRow("part record ignored") << QByteArray::fromHex("000706123401"
                                                                    "00010300")
                                             << QVector<ModbusRequestRow> { { 7, 6, 0x1234, 1 } };
        QTest::newRow("shorter than a record") << QByteArray::fromHex("00070612") << QVector<ModbusRequestRow>();
    }
    void modbusRowsRead()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QVector<ModbusRequestRow>, rows);
        QCOMPARE(decodeModbusRequestRows(bytes), rows);
    }

    void mscomRecord()
    {
        MscomBlock block;
        MscomRequestRow row;
        row.port = 1;
        row.slave = 5;
        row.code = 3;
        row.reg = 0x1234;
        row.inLen = 10;
        row.pollTime = 300;
        row.timeout = 100;
        block.rows.append(row);
        const QByteArray bytes = QByteArray::fromHex("0000"
                                                     "010005030a0000003412"
                                                     "2c010000"
                                                     "64000000");
        QCOMPARE(encodeMscomBlock(block), bytes);
        const MscomBlock back = decodeMscomBlock(bytes);
        QCOMPARE(back.rows.size(), 1);
        QVERIFY(back.rows.first() == row);
    }

    void mscomRead_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("stateMode");
        QTest::addColumn<int>("ctlMode");
        QTest::addColumn<int>("rows");
        QTest::newRow("head only, swapped state word") << QByteArray::fromHex("0202") << 2 << 2 << 0;
        QTest::newRow("one head byte") << QByteArray::fromHex("01") << 1 << 0 << 0;
        QTest::newRow("one record") << QByteArray::fromHex("0100" + QByteArray(36, '1')) << 1 << 0 << 1;
        QTest::newRow("record and a part") << QByteArray::fromHex("0001" + QByteArray(70, '2')) << 0 << 1 << 1;
        QTest::newRow("position byte ignored") << QByteArray::fromHex("0000"
                                                                      "00ff"
            + QByteArray(32, '0') + "00ee" + QByteArray(32, '0'))
                                               << 0 << 0 << 2;
    }
    void mscomRead()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, stateMode);
        QFETCH(int, ctlMode);
        QFETCH(int, rows);
        const MscomBlock block = decodeMscomBlock(bytes);
        QCOMPARE(int(block.stateMode), stateMode);
        QCOMPARE(int(block.ctlMode), ctlMode);
        QCOMPARE(block.rows.size(), rows);
        if (rows > 0)
            QCOMPARE(
                encodeMscomBlock(block).mid(2, MscomRequestRowSize).mid(2), bytes.mid(2 + 2, MscomRequestRowSize - 2));
    }

    void ecatBlock()
    {
        EcatBlock block;
        block.stateWord = true;
        block.productCode = 0x73100001;
        block.productName = "VRG7310";
        EcatRequestRow row;
        row.slave = 3;
        row.code = 3;
        row.length = 2;
        row.trigger = 1;
        row.swap = 1;
        row.bitAccess = 0;
        row.reg = 0x0102;
        row.pollTime = 300;
        row.timeout = 100;
        row.name = "Read_holding_Reg_ID_3";
        block.rows = { row, row };
        const QByteArray bytes = encodeEcatBlock(block);
        QCOMPARE(bytes.size(), EcatDeviceHeaderSize + 2 * EcatRequestRowSize);
        QCOMPARE(bytes.left(16),
            QByteArray::fromHex("0100"
                                "01001073"
                                "5652473733313000"
                                "0000"));
        QCOMPARE(bytes.mid(16, 17),
            QByteArray::fromHex("00"
                                "03"
                                "03"
                                "02"
                                "01"
                                "01"
                                "00"
                                "0201"
                                "2c010000"
                                "64000000"));
        QCOMPARE(bytes.mid(33, 32), QByteArray("Read_holding_Reg_ID_3").leftJustified(32, '\0'));
        QCOMPARE(bytes.at(16 + 49), '\1'); // second row's position
        const EcatBlock back = decodeEcatBlock(bytes);
        QVERIFY(back.stateWord);
        QVERIFY(!back.ctlWord);
        QCOMPARE(back.productCode, 0x73100001u);
        QCOMPARE(back.productName, QByteArray("VRG7310"));
        QCOMPARE(back.rows.size(), 2);
        QVERIFY(back.rows.at(1) == row);
    }

    void ecatEmptyAndCodes()
    {
        EcatBlock block;
        QCOMPARE(encodeEcatBlock(block), QByteArray(16, '\0'));
        block.productCode = 0x80000000u; // product codes are unsigned: the top bit is kept
        QCOMPARE(decodeEcatBlock(encodeEcatBlock(block)).productCode, 0x80000000u);
    }

    void ecatRead_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<quint32>("code");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("rows");
        QTest::newRow("two bytes") << QByteArray::fromHex("0101") << 0u << QByteArray() << 0;
        QTest::newRow("code cut short") << QByteArray::fromHex("010001ff") << 0xff01u << QByteArray() << 0;
        QTest::newRow("zeros inside the name are skipped") << QByteArray::fromHex("0000"
                                                                                  "00000000"
                                                                                  "4100420043000000"
                                                                                  "4400")
                                                           << 0u << QByteArray("ABCD") << 0;
        QTest::newRow("part row ignored") << (QByteArray(16, '\0') + QByteArray(48, '\1')) << 0u << QByteArray() << 0;
        QTest::newRow("one row and a part") << (QByteArray(16, '\0') + QByteArray(60, '\1')) << 0u << QByteArray() << 1;
    }
    void ecatRead()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(quint32, code);
        QFETCH(QByteArray, name);
        QFETCH(int, rows);
        const EcatBlock block = decodeEcatBlock(bytes);
        QCOMPARE(block.productCode, code);
        QCOMPARE(block.productName, name);
        QCOMPARE(block.rows.size(), rows);
    }

    void ecatRowNameBounds_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("short") << QByteArray("Pump1_ID_3") << QByteArray("Pump1_ID_3");
        QTest::newRow("31 bytes") << QByteArray(31, 'a') << QByteArray(31, 'a');
        QTest::newRow("32 bytes fill the field") << QByteArray(32, 'b') << QByteArray(32, 'b');
        QTest::newRow("40 bytes are cut to the field") << QByteArray(40, 'c') << QByteArray(32, 'c');
    }
    void ecatRowNameBounds()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, stored);
        EcatBlock block;
        EcatRequestRow row;
        row.name = name;
        row.timeout = 0x11223344;
        block.rows = { row, row };
        const QByteArray bytes = encodeEcatBlock(block);
        QCOMPARE(bytes.size(), 16 + 2 * 49);
        const EcatBlock back = decodeEcatBlock(bytes);
        QCOMPARE(back.rows.size(), 2);
        QCOMPARE(back.rows.at(0).name, stored);
        QCOMPARE(back.rows.at(1).timeout, 0x11223344u);
    }
};

RIVUDO_TEST_MAIN(TestGatewayBlocks)
#include "tst_gatewayblocks.moc"
