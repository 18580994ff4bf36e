#include "tempctldebugblocks.h"

#include "bytecodec.h"

QByteArray TempCtlStatusBlock::encode() const
{
    ByteWriter w(size);
    for (const Channel &c : channels) {
        w.u16le(c.mode).u16le(c.statusReg).u16le(c.ctrlReg);
        w.u16le(c.pHundredths).u16le(c.iHundredths).u16le(c.dHundredths);
        w.u16le(c.targetTenths).u16le(c.actualTenths).u16le(c.identState);
        w.u16le(c.identPHundredths).u16le(c.identIHundredths).u16le(c.outputTenths);
    }
    return w.data();
}

bool TempCtlStatusBlock::decode(const QByteArray &data)
{
    if (data.size() < size)
        return false;
    ByteReader r(data);
    for (Channel &c : channels) {
        c.mode = r.u16le();
        c.statusReg = r.u16le();
        c.ctrlReg = r.u16le();
        c.pHundredths = r.u16le();
        c.iHundredths = r.u16le();
        c.dHundredths = r.u16le();
        c.targetTenths = r.u16le();
        c.actualTenths = r.u16le();
        c.identState = r.u16le();
        c.identPHundredths = r.u16le();
        c.identIHundredths = r.u16le();
        c.outputTenths = r.u16le();
    }
    return true;
}

QByteArray TempCtlDebugBlock::encode() const
{
    ByteWriter w(size);
    for (const Channel &c : channels) {
        w.u16le(c.debugEnable).u16le(c.mode).u16le(c.ctrlReg).u16le(c.pHundredths);
        w.u16le(c.iHundredths).u16le(c.dHundredths).u16le(c.targetTenths).u16le(c.manualTenths);
    }
    return w.data();
}

bool TempCtlDebugBlock::decode(const QByteArray &data)
{
    if (data.size() < size)
        return false;
    ByteReader r(data);
    for (Channel &c : channels) {
        c.debugEnable = r.u16le();
        c.mode = r.u16le();
        c.ctrlReg = r.u16le();
        c.pHundredths = r.u16le();
        c.iHundredths = r.u16le();
        c.dHundredths = r.u16le();
        c.targetTenths = r.u16le();
        c.manualTenths = r.u16le();
    }
    return true;
}
