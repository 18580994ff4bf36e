#ifndef UARTTHREAD_H
#define UARTTHREAD_H

#include <QByteArray>
#include <QObject>
#include <QString>
#include <atomic>

class QSerialPort;

// The serial link to one module (115200 baud, 8N1, no flow control). Every operation blocks its
// thread until its exchange is over, so the dialogs run it on a worker thread (DeviceRequest).
// The port is borrowed from SerialPortRegistry while it is open: its dialog lends the port out
// first (SerialLease), which pauses the pages sharing it; a port another user holds is treated
// like one that cannot be opened.
class uartthread : public QObject
{
    Q_OBJECT
public:
    // Silence that ends a reply, and the longest a reply may take in all, so a device that
    // never stops sending cannot hold the caller forever.
    static constexpr int replySilenceMs = 300;
    static constexpr int replyTimeLimitMs = 5000;
    // Longest a download block may take to leave the port.
    static constexpr int blockLeaveMs = 2000;
    // A borrowed port: how long after a page's last write its reply may still come, the quiet
    // that ends it, and the longest the worker waits for that.
    static constexpr int inFlightMs = 300;
    static constexpr int inFlightQuietMs = 50;
    static constexpr int inFlightLimitMs = 1000;

    explicit uartthread(QString portName, QObject *parent = nullptr);
    ~uartthread() override;

    // Makes the port object for portName; the port stays closed.
    void initPort(QString portName);

    // Reads one reply, ended by replySilenceMs without data, and judges it by the reply state
    // type: 0, 2, 6, 7 need "end" past the first byte, 1, 4, 5 any data, 8 the firmware
    // confirmation. A reply still running at replyTimeLimitMs counts as no reply.
    bool waitread(int type);

    // 0x43 and data.
    void write(QByteArray data);
    // 0x44, data and the 16-bit check sum.
    void sendIOdata(QByteArray data);
    // 0x4D CR LF: starts the module's communication-monitor stream.
    void Monitor();
    void closePort();
    void closeCom();

    // The I/O data frame for data.
    static QByteArray ioDataFrame(const QByteArray &data);
    // Why the port could not be opened the last time it was tried; empty when it opened.
    QString openError() const { return m_openError; }

    QSerialPort *serialPort = nullptr;
    QByteArray reply;
    QString portName;
    int blockSize = 48;
    // Set by the owner of a device request: waits end early, unanswered, once it reads true.
    const std::atomic<bool> *cancel = nullptr;

public slots:
    // Sends the parameter bytes; emits SendCurstate once, then finished.
    void DownParamter(QByteArray data);
    // Asks the module on the port for its information and parameters.
    void Scanmodulestart();

signals:
    void Sendmodule(QByteArray modulueinfo);
    void SendmodulePrm(QByteArray modulueinfo);
    void finished();
    void SendCurstate(QString modulueinfo);
    void Sendmonitor(QByteArray modulueinfo);

private:
    bool openIfClosed();
    // Borrows and opens the closed port; false when it is held elsewhere or cannot be opened.
    bool openPort();
    bool download(const QByteArray &data);
    // Drops what may still come in answer to a page's request from before the port was lent.
    void dropInFlight();
    // Writes bytes and waits (bounded) until they have all left the port.
    bool sendAll(const QByteArray &bytes, int msec);
    bool stopRequested() const { return cancel && cancel->load(); }

    QString m_openError;
};

#endif
