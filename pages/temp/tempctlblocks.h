#ifndef TEMPCTLBLOCKS_H
#define TEMPCTLBLOCKS_H

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>

struct moduleData;

// Control channels of a temperature controller.
constexpr int tempChannelCount = 8;

// One choice of a channel's control input or output: what the table shows and the 13-character
// identifier the module is told ("I#003#000#000").
struct TempChannelChoice
{
    QString text;
    QString id;
};

// The data items of one unit (the coupler, slot 0, or a sub-module) for the choice lists.
struct TempChannelSource
{
    QString slotText; // "0" for the coupler
    QList<const moduleData *> items;
};

// The input and output choices made from the coupler's and its sub-modules' data items, each
// sorted by text; a text made twice keeps the last identifier.
void tempChannelChoices(
    const QList<TempChannelSource> &sources, QList<TempChannelChoice> *inputs, QList<TempChannelChoice> *outputs);
// "I#003#000#000": direction letter, then slot, item and bit, three digits each.
QString tempChannelId(QChar direction, int slot, int item, int bit);

// The I/O settings of the eight channels (plug 19, sub-plug 18): 34-byte records,
// numbers little-endian.
struct TempCtlIoBlock
{
    static constexpr int recordSize = 34;
    static constexpr int size = recordSize * tempChannelCount;

    struct Channel
    {
        QByteArray input; // 13 identifier bytes, zeros for none
        QByteArray output;
        qint16 inputHigh = 32767;
        qint16 inputLow = 0;
        quint16 outputHigh = 100;
        quint16 outputLow = 0;
    };
    std::array<Channel, tempChannelCount> channels;

    QByteArray encode() const;
    // False, leaving the block untouched, when data is shorter than the whole block.
    bool decode(const QByteArray &data);
};

// The PID settings of the eight channels (plug 19, sub-plug 16): packed 24-byte records,
// numbers little-endian; decimals travel as tenths or hundredths.
struct TempCtlPidBlock
{
    static constexpr int recordSize = 24;
    static constexpr int size = recordSize * tempChannelCount;

    struct Channel
    {
        quint8 mode = 0; // 0 PID, 1 ON/OFF, 255 none chosen
        quint16 upperTenths = 1000;
        quint16 lowerTenths = 10;
        quint16 bandHundredths = 0;
        quint16 integralHundredths = 1;
        quint16 derivativeHundredths = 0;
        quint32 periodMs = 1000;
        quint16 deadTenths = 5;
        quint8 identify = 0;
        quint8 fuzzy = 0;
        quint8 fuzzyP = 10;
        quint8 fuzzyI = 10;
        quint8 fuzzyD = 10;
    };
    std::array<Channel, tempChannelCount> channels;

    QByteArray encode() const;
    bool decode(const QByteArray &data);
};

// An entry with decimals as the whole number of units of 10^-decimals it travels as, rounded to
// nearest (0.57 with two decimals is 57) and kept within 16 bits.
quint16 scaledValue(double value, int decimals);

#endif
