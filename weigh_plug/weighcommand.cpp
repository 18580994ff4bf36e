#include "weighcommand.h"

#include "bytecodec.h"
#include "plugframe.h"

#include <cmath>

namespace WeighCodec {

QByteArray request(int command, const QByteArray &payload)
{
    return PlugFrame::build(PlugFrame::typeWeigh, command, payload);
}

QByteArray onWire(const QByteArray &frame)
{
    return QByteArray(1, char(PlugFrame::requestPrefix)) + frame;
}

namespace {

    quint32 tenths(double value, double carry)
    {
        const double scaled = value * 10 + carry;
        if (!(scaled > 0))
            return 0;
        if (scaled >= 4294967295.0)
            return 0xFFFFFFFFu;
        return quint32(std::trunc(scaled));
    }

} // namespace

quint32 zeroRangeTenths(double value)
{
    return tenths(value, 0.5);
}

quint32 weightTenths(double value)
{
    return tenths(value, double(0.05f));
}

QByteArray bigEndian32(quint32 value)
{
    return ByteWriter().u32be(value).data();
}

bool splitFactoryReply(const QByteArray &frame, int *command, QByteArray *data)
{
    if (frame.size() < 10 || quint8(frame.at(1)) != PlugFrame::typeWeigh)
        return false;
    const quint32 length = PlugFrame::payloadLength(frame);
    if (qint64(length) + 9 != frame.size())
        return false;
    *command = quint8(frame.at(2));
    *data = frame.mid(7, int(length));
    return true;
}

bool splitReply(const QByteArray &frame, int *command, int *channel, QByteArray *data)
{
    QByteArray all;
    if (!splitFactoryReply(frame, command, &all))
        return false;
    *channel = quint8(all.at(0));
    *data = all.mid(1);
    return true;
}

namespace {
    // Weighing replies are short; a length beyond this is no reply of ours.
    constexpr quint32 maxReplyLength = 256;

    // Size by the length field of a weighing frame whose command passes isOurs.
    template <class F> int replySize(const QByteArray &frameSoFar, F isOurs)
    {
        const int command = PlugFrame::commandOf(frameSoFar, PlugFrame::typeWeigh);
        if (command == -2 || (command >= 0 && isOurs(quint8(command)) && frameSoFar.size() < 7))
            return 0;
        if (command < 0 || !isOurs(quint8(command)))
            return -1;
        const quint32 length = PlugFrame::payloadLength(frameSoFar);
        return length > maxReplyLength ? -1 : int(length) + 9;
    }
} // namespace

int pageReplySize(const QByteArray &frameSoFar, int channels)
{
    const int size = replySize(frameSoFar, [](quint8 command) {
        return command == WEIGH_READ || command == WEIGH_TARE || command == WEIGH_ZERO_SET || command == WEIGH_SAMPLING
            || command == WEIGH_ZERO_CALIB || command == WEIGH_FREE_CALIB
            || (command >= WEIGH_CALIB_POINT && command <= WEIGH_CALIB_END);
    });
    // The channel byte names the panel; a reply without one is none of the page's.
    if (size > 0 && (size < 10 || (frameSoFar.size() > 7 && quint8(frameSoFar.at(7)) >= channels)))
        return -1;
    return size;
}

int factoryReplySize(const QByteArray &frameSoFar)
{
    const int size = replySize(frameSoFar, [](quint8 command) {
        return command == WEIGH_FACTORY_READ || command == WEIGH_FACTORY_POINT || command == WEIGH_FACTORY_END;
    });
    return size > 0 && size < 10 ? -1 : size;
}

QString tenthsText(const QByteArray &data, int offset, bool isSigned)
{
    ByteReader reader(data, offset);
    const quint32 raw = reader.u32be();
    const double value = isSigned ? double(qint32(raw)) : double(raw);
    return QString::number(value / 10.0, 'f', 1);
}

} // namespace WeighCodec
