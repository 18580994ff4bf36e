#include "seriallink.h"

#include "serialportregistry.h"

#include <QDebug>
#include <QPointer>
#include <QSerialPort>

SerialLink::SerialLink(QObject *parent)
    : QObject(parent)
{
}

SerialLink::~SerialLink()
{
    close();
}

bool SerialLink::open(const QString &portName)
{
    close();
    m_error.clear();
    m_buffer.clear();
    if (!SerialPortRegistry::instance().acquire(portName, this)) {
        m_error = tr("串口已被占用");
        return false;
    }
    m_portName = portName;
    // No parent: a receiver of frameReceived may delete the link while the port is in its signal.
    m_port = new QSerialPort;
    m_port->setPortName(portName);
    m_port->setBaudRate(QSerialPort::Baud115200);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port->open(QIODevice::ReadWrite)) {
        m_error = m_port->errorString();
        close();
        return false;
    }
    m_port->clear();
    connect(m_port, &QSerialPort::readyRead, this, &SerialLink::onReadyRead);
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || !m_port)
            return;
        const QString message = m_port->errorString();
        // Closing inside the port's own signal would delete it under its feet.
        QMetaObject::invokeMethod(
            this,
            [this, message]() {
                close();
                emit linkError(message);
            },
            Qt::QueuedConnection);
    });
    return true;
}

void SerialLink::close()
{
    if (m_port) {
        m_port->disconnect(this);
        // Bytes written just before closing (a last poll) still go out.
        if (m_port->isOpen() && m_port->bytesToWrite() > 0)
            m_port->flush();
        if (m_port->isOpen())
            m_port->close();
        m_port->deleteLater();
        m_port = nullptr;
    }
    if (!m_portName.isEmpty())
        SerialPortRegistry::instance().release(m_portName, this);
    m_portName.clear();
    m_buffer.clear();
}

bool SerialLink::isOpen() const
{
    return m_port && m_port->isOpen();
}

void SerialLink::setCutter(FrameCutter cutter)
{
    m_cutter = std::move(cutter);
}

void SerialLink::setMaxBuffer(int bytes)
{
    m_maxBuffer = qMax(1, bytes);
}

bool SerialLink::write(const QByteArray &bytes)
{
    if (!isOpen())
        return false;
    return m_port->write(bytes) == bytes.size();
}

void SerialLink::onReadyRead()
{
    if (!m_port)
        return;
    const QByteArray data = m_port->readAll();
    if (!m_cutter) {
        if (!data.isEmpty())
            emit frameReceived(data);
        return;
    }
    m_buffer.append(data);
    // Deliver from a copy of the frames: a receiver may close the link meanwhile.
    const QList<QByteArray> frames = m_cutter(m_buffer);
    if (m_buffer.size() > m_maxBuffer) {
        qDebug() << "warning: serial receive buffer over" << m_maxBuffer << "bytes dropped";
        m_buffer.clear();
    }
    QPointer<SerialLink> self(this);
    for (const QByteArray &frame : frames) {
        emit frameReceived(frame);
        if (!self)
            return;
    }
}
