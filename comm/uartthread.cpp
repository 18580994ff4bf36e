#include "uartthread.h"

#include "serialportregistry.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QtEndian>

namespace {
// Longest stretch a wait runs before it looks at the stop request again.
constexpr int stopPollMs = 20;
}

uartthread::uartthread(QString portName, QObject *parent)
    : QObject(parent)
{
    blockSize = 48;
    initPort(portName);
}

uartthread::~uartthread()
{
    closeCom();
    delete serialPort;
    serialPort = nullptr;
}

void uartthread::initPort(QString portName)
{
    closeCom();
    delete serialPort;
    this->portName = portName;
    serialPort = new QSerialPort(this);
    // A device path (a pty on Linux) is taken as it is, a plain name like COM3 as the system's.
    serialPort->setPortName(portName);
    serialPort->setBaudRate(QSerialPort::Baud115200);
    serialPort->setDataBits(QSerialPort::Data8);
    serialPort->setParity(QSerialPort::NoParity);
    serialPort->setStopBits(QSerialPort::OneStop);
    serialPort->setFlowControl(QSerialPort::NoFlowControl);
}

bool uartthread::openIfClosed()
{
    return serialPort->isOpen() || openPort();
}

bool uartthread::openPort()
{
    m_openError.clear();
    if (serialPort->isOpen()) {
        m_openError = tr("串口已被占用");
        return false;
    }
    if (!SerialPortRegistry::instance().acquire(portName, this)) {
        m_openError = tr("串口已被占用");
        return false;
    }
    if (serialPort->open(QIODevice::ReadWrite))
        return true;
    m_openError = serialPort->errorString();
    SerialPortRegistry::instance().release(portName, this);
    return false;
}

bool uartthread::sendAll(const QByteArray &bytes, int msec)
{
    if (serialPort->write(bytes) != bytes.size())
        return false;
    const QDeadlineTimer deadline(msec);
    while (serialPort->bytesToWrite() > 0) {
        if (deadline.hasExpired() || stopRequested() || !serialPort->isOpen())
            return false;
        serialPort->waitForBytesWritten(int(qBound<qint64>(1, deadline.remainingTime(), stopPollMs)));
    }
    return true;
}

bool uartthread::waitread(int type)
{
    // The reply ends at replySilenceMs without new data; the wait looks at the stop request
    // at least every stopPollMs meanwhile.
    QElapsedTimer total;
    total.start();
    QElapsedTimer silence;
    silence.start();
    bool cut = false;
    for (;;) {
        if (stopRequested())
            return false;
        const qint64 quiet = silence.elapsed();
        if (quiet >= replySilenceMs)
            break;
        const qint64 left = replyTimeLimitMs - total.elapsed();
        if (left <= 0) {
            cut = true;
            break;
        }
        const int step = int(qMin<qint64>(qMin<qint64>(replySilenceMs - quiet, left), stopPollMs));
        if (serialPort->waitForReadyRead(qMax(1, step)))
            silence.restart();
    }
    const QByteArray data = serialPort->readAll();
    if (cut || data.isEmpty() || type < 0 || type > 8)
        return false;

    switch (type) {
    case 0:
    case 2:
    case 6:
    case 7:
        if (data.indexOf("end") > 0) {
            reply = data;
            return true;
        }
        return false;
    case 1:
    case 4:
    case 5:
        return true;
    case 8:
        if (data.indexOf("RESET your system, to start new firmware") > 0) {
            reply = data;
            return true;
        }
        return false;
    default:
        return false;
    }
}

void uartthread::write(QByteArray data)
{
    const QByteArray frame = QByteArray(1, '\x43') + data;
    if (!openIfClosed())
        return;
    qint64 sent = 0;
    while (sent < frame.size()) {
        const qint64 written = serialPort->write(frame.constData() + sent, frame.size() - sent);
        // A stalled link is closed, so the next write starts on a fresh port.
        if (written <= 0 || !serialPort->waitForBytesWritten(100)) {
            closeCom();
            return;
        }
        sent += written;
    }
}

QByteArray uartthread::ioDataFrame(const QByteArray &data)
{
    QByteArray frame = QByteArray(1, '\x44') + data;
    quint16 sum = 0;
    for (char c : frame)
        sum = quint16(sum + quint8(c));
    const quint16 checksum = quint16(0x10000 - sum);
    frame.append(char(checksum >> 8));
    frame.append(char(checksum & 0xFF));
    return frame;
}

void uartthread::sendIOdata(QByteArray data)
{
    if (!openIfClosed())
        return;
    serialPort->write(ioDataFrame(data));
    serialPort->waitForBytesWritten(10);
}

void uartthread::Monitor()
{
    if (!openIfClosed())
        return;
    serialPort->write("\x4D\r\n", 3);
    serialPort->flush();
}

void uartthread::closePort()
{
    closeCom();
}

void uartthread::closeCom()
{
    if (serialPort && serialPort->isOpen())
        serialPort->close();
    SerialPortRegistry::instance().release(portName, this);
}

void uartthread::dropInFlight()
{
    // A page's request written just before the port was lent may still draw its reply: let the
    // reply pass and drop it, so it is not read as the start of ours.
    const qint64 since = SerialPortRegistry::instance().msSinceWrite(portName);
    if (since >= 0 && since < inFlightMs + inFlightLimitMs) {
        const qint64 replyDue = qMax<qint64>(0, inFlightMs - since);
        QElapsedTimer clock;
        clock.start();
        qint64 lastByte = 0;
        while (!stopRequested() && clock.elapsed() < inFlightLimitMs) {
            const qint64 now = clock.elapsed();
            if (now >= replyDue && now - lastByte >= inFlightQuietMs)
                break;
            if (serialPort->waitForReadyRead(stopPollMs)) {
                serialPort->readAll();
                lastByte = clock.elapsed();
            }
        }
    }
    serialPort->clear();
    serialPort->readAll();
}

bool uartthread::download(const QByteArray &data)
{
    // A port someone already holds open is not ours to use for a download.
    if (!openPort())
        return false;
    dropInFlight();

    if (!sendAll(QByteArrayLiteral("\x52\r\n"), blockLeaveMs) || !waitread(0))
        return false;

    QByteArray header(1, '\x50');
    char length[4];
    qToBigEndian<quint32>(quint32(data.size()), length);
    header.append(length, 4);
    header.append("\r\n", 2);
    if (!sendAll(header, blockLeaveMs) || !waitread(4))
        return false;

    // Each block must have left the port before its answer counts: bytes still queued when the
    // answer wait ends were never delivered, the last block's included.
    const int block = qMax(1, blockSize);
    for (int sent = 0; sent < data.size(); sent += block) {
        if (!sendAll(data.mid(sent, block), blockLeaveMs) || !waitread(5))
            return false;
    }
    return serialPort->bytesToWrite() == 0;
}

void uartthread::DownParamter(QByteArray data)
{
    const bool ok = download(data);
    emit SendCurstate(portName + (ok ? tr("#下载成功") : tr("#下载出错")));
    closePort();
    emit finished();
}

void uartthread::Scanmodulestart()
{
    if (!openPort()) {
        closePort();
        return;
    }
    dropInFlight();

    serialPort->write("\x52\r\n", 3);
    serialPort->waitForBytesWritten(10);
    if (waitread(0)) {
        emit Sendmodule(reply);
        serialPort->write("\x47\r\n", 3);
        serialPort->waitForBytesWritten(10);
        if (waitread(7))
            emit SendmodulePrm(reply);
    }
    closePort();
}
