#include "uartthread.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QtEndian>

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
    return serialPort->isOpen() || serialPort->open(QIODevice::ReadWrite);
}

bool uartthread::waitread(int type)
{
    QElapsedTimer total;
    total.start();
    bool cut = false;
    for (;;) {
        const qint64 left = replyTimeLimitMs - total.elapsed();
        if (left <= 0) {
            cut = true;
            break;
        }
        const int step = int(qMin<qint64>(replySilenceMs, left));
        if (!serialPort->waitForReadyRead(step)) {
            // Only a full step of silence ends a reply; a short one means the time is up.
            cut = step < replySilenceMs;
            break;
        }
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
            serialPort->close();
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
    if (serialPort->isOpen())
        serialPort->close();
}

void uartthread::closeCom()
{
    if (serialPort && serialPort->isOpen())
        serialPort->close();
}

bool uartthread::download(const QByteArray &data)
{
    // A port someone already holds open is not ours to use for a download.
    if (!serialPort->open(QIODevice::ReadWrite))
        return false;

    serialPort->write("\x52\r\n", 3);
    serialPort->flush();
    if (!waitread(0))
        return false;

    QByteArray header(1, '\x50');
    char length[4];
    qToBigEndian<quint32>(quint32(data.size()), length);
    header.append(length, 4);
    header.append("\r\n", 2);
    serialPort->write(header);
    serialPort->waitForBytesWritten(10);
    if (!waitread(4))
        return false;

    const int block = qMax(1, blockSize);
    for (int sent = 0; sent < data.size(); sent += block) {
        serialPort->write(data.mid(sent, block));
        serialPort->waitForBytesWritten(10);
        if (!waitread(5))
            return false;
    }
    return true;
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
    if (!serialPort->open(QIODevice::ReadWrite)) {
        serialPort->close();
        return;
    }
    serialPort->clear();

    serialPort->write("\x52\r\n", 3);
    serialPort->waitForBytesWritten(10);
    if (waitread(0)) {
        emit Sendmodule(reply);
        serialPort->write("\x47\r\n", 3);
        serialPort->waitForBytesWritten(10);
        if (waitread(7))
            emit SendmodulePrm(reply);
    }
    serialPort->close();
}
