#include "module.h"
#include "moduletargets.h"
#include "tempappdir.h"
#include "testsupport.h"

class TestModuleTargets : public QObject
{
    Q_OBJECT

private slots:
    void snapshotFollowsTheFlags_data()
    {
        QTest::addColumn<int>("downFlag");
        QTest::addColumn<int>("firmwareFlag");
        QTest::newRow("neither") << 0 << 0;
        QTest::newRow("download") << 1 << 0;
        QTest::newRow("firmware") << 0 << 1;
        QTest::newRow("both") << 1 << 1;
    }

    void snapshotFollowsTheFlags()
    {
        QFETCH(int, downFlag);
        QFETCH(int, firmwareFlag);
        TempAppDir dir;
        module m("NONE", "NOFAMILY");
        m.ip = "127:0:0:9";
        m.downFlag = downFlag;
        m.firmwareFlag = firmwareFlag;
        m.firmwareData = "image";
        m.firmwareHeader = FirmwareHeader::fromImage(m.firmwareData);
        const ModuleTargetList targets = moduleTargets({ &m, nullptr });
        QCOMPARE(targets.size(), 1);
        const ModuleTarget &t = targets.first();
        QCOMPARE(t.ip, QString("127:0:0:9"));
        QCOMPARE(t.downFlag, downFlag);
        QCOMPARE(t.firmwareFlag, firmwareFlag);
        QCOMPARE(t.paramData, downFlag ? m.getParamData() : QByteArray());
        QCOMPARE(t.firmwareHeader, firmwareFlag ? m.firmwareHeader.toBytes() : QByteArray());
        QCOMPARE(t.firmwareData, firmwareFlag ? QByteArray("image") : QByteArray());
        if (firmwareFlag)
            QCOMPARE(t.firmwareHeader.size(), 12);
    }
};

RIVUDO_TEST_MAIN(TestModuleTargets)
#include "tst_moduletargets.moc"
