#ifndef FAKEIOLINKMASTER_H
#define FAKEIOLINKMASTER_H

#include "iolinkdeviceinfo.h"
#include "serialpeer.h"

#include <QByteArray>
#include <QList>
#include <QMap>

// An IO-Link master with four ports on a serial peer. It answers every IO-Link command with a
// reply of the command's size, from per-port state: I/O parameters, port configuration, an ISDU
// store, 20 parameter rows and the device information record. Requests arrive as the prefix
// byte and a plug frame of type 0x15; a reply is the frame and its separator.
class FakeIoLinkMaster : public SerialPeer::Device
{
public:
    struct Request
    {
        int command;
        QByteArray payload;
    };

    // Status of the set replies (I/O parameters, port, ISDU write; the one-byte ones take the
    // low byte); 0 is success.
    void setStatus(quint16 status);
    // Error code of ISDU read replies for entries the store holds (a missing entry answers 0x8011).
    void setIsduError(quint16 error);
    // Result of the parameter-row replies; -1 (the default) answers 0, or 2 when reading a row
    // never saved.
    void setParamResult(int result);

    // State of a port, as the master holds it. Records are given without the port byte's value
    // mattering: the master puts the port in front of what it answers.
    void setIoParams(int port, const QByteArray &record);
    QByteArray ioParams(int port) const;
    void setPortConfig(int port, const QByteArray &record);
    QByteArray portConfig(int port) const;
    void setIsdu(int port, quint16 index, quint8 subindex, const QByteArray &data);
    QByteArray isdu(int port, quint16 index, quint8 subindex) const;
    // A 70-byte parameter row as saved.
    void setParamRow(int port, int row, const QByteArray &record);
    QByteArray paramRow(int port, int row) const;
    // The 381-byte device information payload of a port (padded or cut to that size).
    void setDeviceInfo(int port, const QByteArray &record);

    // An IO-Link device on device.port, reported alike in every answer about that port: its
    // information record, the port in IO-Link mode (SDCI) with the device's IDs and process-data
    // lengths and ID validation, and its identification texts in the ISDU store (indices 0x10
    // vendor name, 0x12 product name, 0x13 product ID, 0x14 product text, 0x17 firmware
    // revision, 0x18 application tag).
    void plugDevice(const IoLinkDeviceInfo &device);
    // The distance sensor the standalone fake puts on each port; its events are ones the
    // information page names.
    static IoLinkDeviceInfo exampleSensor(int port);
    // The 381-byte payload of a device information reply.
    static QByteArray deviceInfoRecord(const IoLinkDeviceInfo &device);

    // Requests understood so far, in order.
    QList<Request> requests() const;
    void clearRequests();
    // Commands of the requests so far, in order.
    QList<int> commands() const;

    int consume(const QByteArray &pending, QList<SerialPeer::Reply> &replies) override;

private:
    static quint32 isduKey(int port, quint16 index, quint8 subindex);
    QByteArray answer(int command, const QByteArray &payload);

    mutable std::mutex m_mutex;
    quint16 m_status = 0;
    quint16 m_isduError = 0;
    int m_paramResult = -1;
    QByteArray m_ioParams[4];
    QByteArray m_portConfig[4];
    QByteArray m_deviceInfo[4];
    QMap<quint32, QByteArray> m_isdu;
    QMap<int, QByteArray> m_rows;
    QList<Request> m_requests;
};

#endif
