#ifndef SERIALLINK_H
#define SERIALLINK_H

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class QSerialPort;

// Takes every whole frame off the front of buffer and returns them in order; bytes that can
// never start a frame are dropped, a part frame stays in buffer for the next read.
using FrameCutter = std::function<QList<QByteArray>(QByteArray &buffer)>;

// A serial port borrowed from SerialPortRegistry and driven by events in the GUI thread
// (115200 baud, 8N1, no flow control): pages write frames and receive whole frames cut by their
// own cutter, without ever waiting. Closing (or destroying) the link gives the port back.
class SerialLink : public QObject
{
    Q_OBJECT
public:
    static constexpr int defaultMaxBuffer = 64 * 1024;

    explicit SerialLink(QObject *parent = nullptr);
    ~SerialLink() override;

    // Borrows and opens portName (a COM name or a device path such as a pty). False, with
    // errorString(), when the port is held by another user or cannot be opened. The receive
    // buffer starts empty.
    bool open(const QString &portName);
    void close();
    bool isOpen() const;
    QString portName() const { return m_portName; }
    QString errorString() const { return m_error; }

    // Without a cutter every read is handed on as it came.
    void setCutter(FrameCutter cutter);
    // Bytes kept while waiting for a frame's end; past it the buffer is dropped.
    void setMaxBuffer(int bytes);

    // Queues bytes for the port; false when the link is closed or the write fails.
    bool write(const QByteArray &bytes);

signals:
    void frameReceived(const QByteArray &frame);
    // The port failed or vanished; the link is closed.
    void linkError(const QString &message);

private:
    void onReadyRead();

    QSerialPort *m_port = nullptr;
    QString m_portName;
    QString m_error;
    FrameCutter m_cutter;
    QByteArray m_buffer;
    int m_maxBuffer = defaultMaxBuffer;
};

#endif
