#pragma once

#include <QByteArray>

// One request as the program's serial link writes it to a plug-frame device: 0x43, then a frame.
struct PlugRequest
{
    int command = 0;
    QByteArray payload;
};

// Takes the request at the start of pending for a device of the given frame type. Returns the bytes
// it took (> 0), or SerialPeer::Device::needMore / notMine.
int takePlugRequest(const QByteArray &pending, quint8 type, quint32 maxPayload, PlugRequest &request);
