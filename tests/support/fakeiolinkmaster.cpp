#include "fakeiolinkmaster.h"

#include "bytecodec.h"
#include "iolink_module.h"
#include "plugframe.h"
#include "plugrequest.h"

namespace {

constexpr int deviceInfoSize = 381;
constexpr int rowSize = 70;
constexpr int isduDataSize = 234;

QByteArray withPort(QByteArray record, int port, int size)
{
    record = ByteWriter().bytes(record).resize(size).data();
    record[0] = char(port);
    return record;
}

} // namespace

void FakeIoLinkMaster::setStatus(quint16 status)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_status = status;
}

void FakeIoLinkMaster::setIsduError(quint16 error)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_isduError = error;
}

void FakeIoLinkMaster::setParamResult(int result)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_paramResult = result;
}

void FakeIoLinkMaster::setIoParams(int port, const QByteArray &record)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_ioParams[port & 3] = withPort(record, port & 3, 4);
}

QByteArray FakeIoLinkMaster::ioParams(int port) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return withPort(m_ioParams[port & 3], port & 3, 4);
}

void FakeIoLinkMaster::setPortConfig(int port, const QByteArray &record)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_portConfig[port & 3] = withPort(record, port & 3, 13);
}

QByteArray FakeIoLinkMaster::portConfig(int port) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return withPort(m_portConfig[port & 3], port & 3, 13);
}

quint32 FakeIoLinkMaster::isduKey(int port, quint16 index, quint8 subindex)
{
    return quint32(port & 3) << 24 | quint32(index) << 8 | subindex;
}

void FakeIoLinkMaster::setIsdu(int port, quint16 index, quint8 subindex, const QByteArray &data)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_isdu.insert(isduKey(port, index, subindex), data.left(isduDataSize));
}

QByteArray FakeIoLinkMaster::isdu(int port, quint16 index, quint8 subindex) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_isdu.value(isduKey(port, index, subindex));
}

void FakeIoLinkMaster::setParamRow(int port, int row, const QByteArray &record)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    QByteArray r = withPort(record, port & 3, rowSize);
    r[1] = char(row);
    m_rows.insert((port & 3) << 8 | (row & 0xFF), r);
}

QByteArray FakeIoLinkMaster::paramRow(int port, int row) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_rows.value((port & 3) << 8 | (row & 0xFF));
}

void FakeIoLinkMaster::setDeviceInfo(int port, const QByteArray &record)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_deviceInfo[port & 3] = withPort(record, port & 3, deviceInfoSize);
}

QByteArray FakeIoLinkMaster::deviceInfoRecord(const IoLinkDeviceInfo &d)
{
    ByteWriter w;
    w.u8(d.port).u16le(d.vendorId).u32le(d.deviceId);
    w.text(d.vendorName, 65).text(d.productId, 65).text(d.productText, 65).text(d.firmwareRevision, 65);
    w.text(d.applicationTag, 35);
    w.u8(quint8(d.inputLength)).bytes(d.input.left(IoLinkDeviceInfo::maxData));
    w.fill(IoLinkDeviceInfo::maxData - int(d.input.left(IoLinkDeviceInfo::maxData).size()));
    w.u8(quint8(d.outputLength)).bytes(d.output.left(IoLinkDeviceInfo::maxData));
    w.fill(IoLinkDeviceInfo::maxData - int(d.output.left(IoLinkDeviceInfo::maxData).size()));
    w.u8(quint8(d.eventCount));
    for (quint16 code : d.events.mid(0, IoLinkDeviceInfo::maxEvents))
        w.u16le(code);
    return w.resize(deviceInfoSize).data();
}

void FakeIoLinkMaster::plugDevice(const IoLinkDeviceInfo &d)
{
    const int port = d.port & 3;
    constexpr quint8 sdci = 1;
    constexpr quint8 cycle = 10;
    constexpr quint8 compatible = 1;
    const QByteArray config = ByteWriter()
                                  .u8(quint8(port))
                                  .u8(sdci)
                                  .u16le(d.vendorId)
                                  .u32le(d.deviceId)
                                  .u8(cycle)
                                  .u8(compatible)
                                  .u8(quint8(d.inputLength))
                                  .u8(quint8(d.outputLength))
                                  .u8(0)
                                  .data();
    setDeviceInfo(port, deviceInfoRecord(d));
    setPortConfig(port, config);
    const struct
    {
        quint16 index;
        QString text;
    } identification[] = { { 0x10, d.vendorName }, { 0x12, d.productId }, { 0x13, d.productId },
        { 0x14, d.productText }, { 0x17, d.firmwareRevision }, { 0x18, d.applicationTag } };
    for (const auto &entry : identification)
        setIsdu(port, entry.index, 0, entry.text.toUtf8());
}

IoLinkDeviceInfo FakeIoLinkMaster::exampleSensor(int port)
{
    IoLinkDeviceInfo d;
    d.port = quint8(port);
    d.vendorId = 0x0310;
    d.deviceId = 0x00A100 + quint32(port);
    d.vendorName = QStringLiteral("Example Sensors");
    d.productId = QStringLiteral("DS-100");
    d.productText = QStringLiteral("Distance sensor 0-100 mm");
    d.firmwareRevision = QStringLiteral("V1.2");
    d.applicationTag = QStringLiteral("port %1").arg(port + 1);
    // Two bytes of distance, in mm.
    d.inputLength = 2;
    d.input = QByteArray::fromHex("00") + char(10 * (port + 1));
    // The sensor on the last port wants its lens cleaned; the others have nothing to report.
    d.eventCount = 1;
    d.events = { quint16(port == 3 ? 0x8C40 : 0x0000) };
    return d;
}

QList<FakeIoLinkMaster::Request> FakeIoLinkMaster::requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void FakeIoLinkMaster::clearRequests()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.clear();
}

QList<int> FakeIoLinkMaster::commands() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    QList<int> list;
    for (const Request &r : m_requests)
        list.append(r.command);
    return list;
}

int FakeIoLinkMaster::consume(const QByteArray &pending, QList<SerialPeer::Reply> &replies)
{
    PlugRequest request;
    const int total = takePlugRequest(pending, PlugFrame::typeIoLink, 512, request);
    if (total <= 0)
        return total;
    const int command = request.command;
    const QByteArray payload = request.payload;

    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.append({ command, payload });
    const QByteArray reply = answer(command, payload);
    if (!reply.isEmpty())
        replies.append(
            SerialPeer::now(PlugFrame::build(PlugFrame::typeIoLink, command, reply) + char(PlugFrame::split)));
    return total;
}

// Runs with m_mutex held.
QByteArray FakeIoLinkMaster::answer(int command, const QByteArray &payload)
{
    if (payload.isEmpty() || ioLinkReplyPayloadSize(command) == 0)
        return QByteArray();
    ByteReader in(payload);
    const quint8 portByte = in.u8();
    const int port = portByte & 3;
    ByteWriter out;
    out.u8(portByte);
    switch (command) {
    case IOLINK_SET_IOPARAM:
        m_ioParams[port] = withPort(payload, port, 4);
        out.u8(quint8(m_status));
        break;
    case IOLINK_GET_IOPARAM:
        out.bytes(withPort(m_ioParams[port], port, 4).mid(1));
        break;
    case IOLINK_SET_PORT:
        m_portConfig[port] = withPort(payload, port, 13);
        out.u8(quint8(m_status));
        break;
    case IOLINK_GET_PORT:
        out.bytes(withPort(m_portConfig[port], port, 13).mid(1));
        break;
    case IOLINK_READ_ISDU: {
        const quint16 index = in.u16le();
        const quint8 sub = in.u8();
        const auto it = m_isdu.constFind(isduKey(port, index, sub));
        const QByteArray data = it == m_isdu.constEnd() ? QByteArray() : *it;
        out.u8(quint8(data.size())).bytes(data).fill(isduDataSize - int(data.size()));
        out.u16le(it == m_isdu.constEnd() ? quint16(0x8011) : m_isduError);
        break;
    }
    case IOLINK_WRITE_ISDU: {
        const quint16 index = in.u16le();
        const quint8 sub = in.u8();
        const int count = qMin<int>(in.u8(), isduDataSize);
        if (m_status == 0)
            m_isdu.insert(isduKey(port, index, sub), in.bytes(count));
        out.u16le(m_status);
        break;
    }
    case IOLINK_WRITE_PARAM:
    case IOLINK_SAVE_PARAM: {
        const quint8 row = in.u8();
        const quint16 index = in.u16le();
        const quint8 sub = in.u8();
        const int count = qMin<int>(in.u8(), 64);
        const quint16 result = m_paramResult < 0 ? 0 : quint16(m_paramResult);
        if (result == 0) {
            if (command == IOLINK_SAVE_PARAM)
                m_rows.insert(port << 8 | row, withPort(payload, port, rowSize));
            else
                m_isdu.insert(isduKey(port, index, sub), in.bytes(count));
        }
        out.u8(row).u16le(result);
        break;
    }
    case IOLINK_READ_PARAM: {
        const quint8 row = in.u8();
        const auto it = m_rows.constFind(port << 8 | row);
        quint16 result = it == m_rows.constEnd() ? 2 : 0;
        if (m_paramResult >= 0)
            result = quint16(m_paramResult);
        QByteArray record = it == m_rows.constEnd() ? QByteArray(rowSize, '\0') : *it;
        record[0] = char(portByte);
        record[1] = char(row);
        out.bytes(record.mid(1)).u16le(result);
        break;
    }
    case IOLINK_GET_DEVICEINFO:
        out.bytes(withPort(m_deviceInfo[port], port, deviceInfoSize).mid(1));
        break;
    }
    return out.data();
}
