#ifndef TEMPCTLDEBUGBLOCKS_H
#define TEMPCTLDEBUGBLOCKS_H

#include "tempctlblocks.h"

#include <QByteArray>
#include <array>

// The live status of the eight control channels (plug 19, sub-plug 19): 24-byte records of
// unsigned 16-bit words, little-endian; decimals travel as tenths or hundredths. A reply may be
// longer than the block; the rest is not ours.
struct TempCtlStatusBlock
{
    static constexpr int recordSize = 24;
    static constexpr int size = recordSize * tempChannelCount;

    struct Channel
    {
        quint16 mode = 0; // low four bits count
        quint16 statusReg = 0;
        quint16 ctrlReg = 0;
        quint16 pHundredths = 0;
        quint16 iHundredths = 0;
        quint16 dHundredths = 0;
        quint16 targetTenths = 0;
        quint16 actualTenths = 0;
        quint16 identState = 0; // low four bits count
        quint16 identPHundredths = 0;
        quint16 identIHundredths = 0;
        quint16 outputTenths = 0;
    };
    std::array<Channel, tempChannelCount> channels;

    QByteArray encode() const;
    // False, leaving the block untouched, when data is shorter than the whole block.
    bool decode(const QByteArray &data);
};

// The values the debug window overrides (plug 19, sub-plug 20): 16-byte records of 16-bit words,
// little-endian; always sent whole.
struct TempCtlDebugBlock
{
    static constexpr int recordSize = 16;
    static constexpr int size = recordSize * tempChannelCount;

    struct Channel
    {
        quint16 debugEnable = 0;
        quint16 mode = 0;
        quint16 ctrlReg = 0;
        quint16 pHundredths = 0;
        quint16 iHundredths = 0;
        quint16 dHundredths = 0;
        quint16 targetTenths = 0;
        quint16 manualTenths = 0;
    };
    std::array<Channel, tempChannelCount> channels;

    QByteArray encode() const;
    bool decode(const QByteArray &data);
};

#endif
