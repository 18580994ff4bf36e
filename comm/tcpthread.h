#ifndef TCPTHREAD_H
#define TCPTHREAD_H

#include "moduletarget.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <atomic>

class QHostAddress;
class QTcpSocket;
class QUdpSocket;
class sTcpSocket;

// The network worker. Scan, parameter download and firmware update walk many modules in a
// thread of their own and report by signals; the block, settings and stream operations serve
// one module and return to their caller in the caller's thread.
class TCPThread : public QObject
{
    Q_OBJECT
public:
    TCPThread();
    ~TCPThread() override;

    // 1 asks a running scan to stop before its next address; written from the GUI thread.
    std::atomic<int> stopFlag { 0 };
    // Set by the owner of a device request: waits end early once it reads true.
    const std::atomic<bool> *cancel = nullptr;
    // Largest block UploadPlugConfig accepts unless its caller names another.
    static constexpr int defaultMaxUpload = 1 << 20;

    // Asks the running operation to end its current wait and stop; safe from any thread. Unlike
    // stopFlag, a walking operation that has not started yet does not forget it.
    void requestStop() { m_stopRequested = true; }
    // True once cancel, requestStop() or stopFlag asked the worker to stop.
    bool stopRequested() const;
    // Target and arguments of Monitor().
    QString monitorIP;
    int monitorArg1 = 0;
    int monitorArg2 = 0;
    // The modules walked by DownParamter, DownFirmware and UpParamte, as value snapshots.
    ModuleTargetList moduleList;
    // The local IPv4 address the scan connects from.
    QString localIP;
    // Largest data block of a configuration block download.
    int blockSize = 1000;

    // Image transfer for one module on the firmware port: 1 when the whole image was written,
    // -1 when no connection could be made, 0 when a write failed or the link was lost part-way.
    int SendFirmware(const ModuleTarget &target);

    // Network settings: 0 when the module acknowledged and the data were written, else -1.
    int DownIPConfig(QString ip, QByteArray data);
    // Stream switches; nothing is reported either way.
    void CurveMonitor(QString ip, int period, unsigned int on);
    void IOMonitor(QString ip, unsigned int on);
    // Sends command on the command port once the module has greeted; nothing is reported.
    void streamSwitch(const QString &ip, const QByteArray &command);
    // The device request queue for the stream switches of the module at ip: switches run there
    // go out one after the other in the order they were asked, whichever page asked them, so
    // an "off" asked after an "on" never reaches the module first.
    static QString streamSwitchQueue(const QString &ip);

signals:
    void Sendmodule(QByteArray modulueinfo);
    void SendmodulePrm(QByteArray modulueinfo);
    void SendCurIP(QString modulueinfo);
    void finished();

public slots:
    void Scanmodulestart(QString startip, QString endip);
    void UpParamte();
    void DownParamter();
    int DownPlugConfig(QString ip, int plugid, int subplugid, QByteArray data);
    // maxSize: the largest block the caller accepts; a module announcing more is refused.
    int UploadPlugConfig(QString ip, int plugid, int subplugid, QByteArray &data, int maxSize = defaultMaxUpload);
    int udp_DownPlugConfig(QString ip, int plugid, int subplugid, QByteArray data);
    int udp_UploadPlugConfig(QString ip, int plugid, int subplugid, QByteArray &data);
    void DownFirmware();
    void Monitor();
    void onRead();

private:
    int downPlugConfig(sTcpSocket &socket, const QString &ip, int plugid, int subplugid, const QByteArray &data);
    int uploadPlugConfig(
        sTcpSocket &socket, const QString &ip, int plugid, int subplugid, QByteArray &data, int maxSize);
    int downIPConfig(sTcpSocket &socket, const QString &ip, const QByteArray &data);
    int transferImage(QTcpSocket &socket, const QString &address, const ModuleTarget &target);
    bool udpExchange(const QString &ip, const QByteArray &datagram, QByteArray *reply);
    // Hands the socket this worker's stop test.
    void arm(sTcpSocket &socket) const;
    bool connectChannel(sTcpSocket &socket, const QHostAddress &address, int msec) const;
    // Waits msec unless asked to stop first; false when asked.
    bool pause(int msec) const;

    std::atomic<bool> m_stopRequested { false };
};

#endif
