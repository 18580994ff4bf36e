#include "tempctlblocks.h"

#include "bytecodec.h"
#include "moduledata.h"

#include <QMap>
#include <cmath>

QString tempChannelId(QChar direction, int slot, int item, int bit)
{
    return QStringLiteral("%1#%2#%3#%4")
        .arg(direction)
        .arg(slot, 3, 10, QLatin1Char('0'))
        .arg(item, 3, 10, QLatin1Char('0'))
        .arg(bit, 3, 10, QLatin1Char('0'));
}

void tempChannelChoices(
    const QList<TempChannelSource> &sources, QList<TempChannelChoice> *inputs, QList<TempChannelChoice> *outputs)
{
    // QMap orders its keys by UTF-16 code units, as the lists are sorted.
    QMap<QString, QString> in;
    QMap<QString, QString> out;
    for (const TempChannelSource &source : sources) {
        bool isNumber = false;
        const uint slotNumber = source.slotText.toUInt(&isNumber);
        const int slot = isNumber ? int(qMin<uint>(slotNumber, 999999)) : 0;
        const QString prefix = QStringLiteral("slot") + source.slotText + QLatin1Char('>');
        int inputNumber = 0;
        int outputNumber = 0;
        for (const moduleData *item : source.items) {
            if (!item)
                continue;
            if (item->DIR == 0) {
                if (item->DataType != 1)
                    continue;
                in.insert(prefix + item->Dataname, tempChannelId(QLatin1Char('I'), slot, inputNumber++, 0));
            } else if (item->DataType == 1) {
                out.insert(prefix + item->Dataname, tempChannelId(QLatin1Char('Q'), slot, outputNumber++, 0));
            } else {
                for (int bit = 0; bit < item->BitLen; ++bit) {
                    out.insert(prefix + item->Dataname + QLatin1Char(':') + QString::number(bit),
                        tempChannelId(QLatin1Char('Q'), slot, outputNumber, bit));
                }
                ++outputNumber;
            }
        }
    }
    inputs->clear();
    outputs->clear();
    for (auto it = in.cbegin(); it != in.cend(); ++it)
        inputs->append({ it.key(), it.value() });
    for (auto it = out.cbegin(); it != out.cend(); ++it)
        outputs->append({ it.key(), it.value() });
}

QByteArray TempCtlIoBlock::encode() const
{
    ByteWriter w(size);
    for (const Channel &c : channels) {
        w.bytes(c.input.left(13)).fill(13 - int(qMin(c.input.size(), 13)));
        w.bytes(c.output.left(13)).fill(13 - int(qMin(c.output.size(), 13)));
        w.s16le(c.inputHigh).s16le(c.inputLow).u16le(c.outputHigh).u16le(c.outputLow);
    }
    return w.data();
}

bool TempCtlIoBlock::decode(const QByteArray &data)
{
    if (data.size() < size)
        return false;
    ByteReader r(data);
    for (Channel &c : channels) {
        c.input = r.bytes(13);
        c.output = r.bytes(13);
        c.inputHigh = r.s16le();
        c.inputLow = r.s16le();
        c.outputHigh = r.u16le();
        c.outputLow = r.u16le();
    }
    return true;
}

QByteArray TempCtlPidBlock::encode() const
{
    ByteWriter w(size);
    for (const Channel &c : channels) {
        w.u8(c.mode).u16le(c.upperTenths).u16le(c.lowerTenths);
        w.u16le(c.bandHundredths).u16le(c.integralHundredths).u16le(c.derivativeHundredths);
        w.u32le(c.periodMs).u16le(c.deadTenths);
        w.u8(c.identify).u8(c.fuzzy).u8(c.fuzzyP).u8(c.fuzzyI).u8(c.fuzzyD).fill(2);
    }
    return w.data();
}

bool TempCtlPidBlock::decode(const QByteArray &data)
{
    if (data.size() < size)
        return false;
    ByteReader r(data);
    for (Channel &c : channels) {
        c.mode = r.u8();
        c.upperTenths = r.u16le();
        c.lowerTenths = r.u16le();
        c.bandHundredths = r.u16le();
        c.integralHundredths = r.u16le();
        c.derivativeHundredths = r.u16le();
        c.periodMs = r.u32le();
        c.deadTenths = r.u16le();
        c.identify = r.u8();
        c.fuzzy = r.u8();
        c.fuzzyP = r.u8();
        c.fuzzyI = r.u8();
        c.fuzzyD = r.u8();
        r.skip(2);
    }
    return true;
}

quint16 scaledValue(double value, int decimals)
{
    const double scaled = std::round(value * std::pow(10.0, decimals));
    if (!(scaled > 0))
        return 0;
    return scaled >= 65535.0 ? 65535 : quint16(scaled);
}
