#ifndef IOLINKDEVICEINFO_H
#define IOLINKDEVICEINFO_H

#include <QByteArray>
#include <QList>
#include <QString>

// What an IO-Link device on a master port reports about itself (the 381-byte payload of the
// device information reply, little-endian). Lengths and the event count are kept as reported;
// the data and event lists never hold more than the record has room for.
struct IoLinkDeviceInfo
{
    static constexpr int size = 381;
    static constexpr int maxData = 32;
    static constexpr int maxEvents = 6;

    quint8 port = 0;
    quint16 vendorId = 0;
    quint32 deviceId = 0;
    QString vendorName;
    QString productId;
    QString productText;
    QString firmwareRevision;
    QString applicationTag;
    int inputLength = 0;
    QByteArray input;
    int outputLength = 0;
    QByteArray output;
    int eventCount = 0;
    QList<quint16> events;

    // Missing bytes of a short payload read as zeros.
    static IoLinkDeviceInfo decode(const QByteArray &payload);
};

#endif
