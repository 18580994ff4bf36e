#include "plugrequest.h"

#include "plugframe.h"
#include "serialpeer.h"

int takePlugRequest(const QByteArray &pending, quint8 type, quint32 maxPayload, PlugRequest &request)
{
    using Device = SerialPeer::Device;
    if (pending.isEmpty() || quint8(pending.at(0)) != PlugFrame::requestPrefix)
        return Device::notMine;
    if (pending.size() >= 2 && quint8(pending.at(1)) != PlugFrame::head)
        return Device::notMine;
    if (pending.size() >= 3 && quint8(pending.at(2)) != type)
        return Device::notMine;
    if (pending.size() < 8)
        return Device::needMore;
    const quint32 length = PlugFrame::payloadLength(pending.mid(1));
    if (length > maxPayload)
        return Device::notMine;
    const int total = 1 + 9 + int(length);
    if (pending.size() < total)
        return Device::needMore;
    const QByteArray frame = pending.mid(1, total - 1);
    if (!PlugFrame::checkSum(frame))
        return Device::notMine;
    request.command = quint8(frame.at(2));
    request.payload = frame.mid(7, int(length));
    return total;
}
