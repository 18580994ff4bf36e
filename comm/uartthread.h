#ifndef UARTTHREAD_H
#define UARTTHREAD_H

#include <QByteArray>
#include <QObject>
#include <QString>

class QSerialPort;

// The serial link to one module (115200 baud, 8N1, no flow control). Despite its name it runs
// in the caller's thread: every operation blocks until its exchange is over, without handling
// events meanwhile.
class uartthread : public QObject
{
    Q_OBJECT
public:
    // Silence that ends a reply, and the longest a reply may take in all, so a device that
    // never stops sending cannot hold the caller forever.
    static constexpr int replySilenceMs = 300;
    static constexpr int replyTimeLimitMs = 5000;

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

    QSerialPort *serialPort = nullptr;
    QByteArray reply;
    QString portName;
    int blockSize = 48;

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
    bool download(const QByteArray &data);
};

#endif
