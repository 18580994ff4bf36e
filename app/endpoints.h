#ifndef ENDPOINTS_H
#define ENDPOINTS_H

#include <QHostAddress>
#include <QtGlobal>

// Every port and the broadcast address the program talks to. Tests move them to free ports on
// loopback so that nothing leaves the machine and test runs can overlap.
struct Endpoints
{
    quint16 commandPort = 8090;        // module command channel (TCP)
    quint16 firmwarePort = 999;        // firmware image transfer (TCP)
    quint16 configLocalPort = 9090;    // configuration blocks, our side (UDP)
    quint16 configModulePort = 9091;   // configuration blocks, module side (UDP)
    quint16 factoryLocalPort = 8090;   // factory tool and DHCP reset, our side (UDP)
    quint16 factoryModulePort = 8091;  // factory tool, module side (UDP)
    quint16 modbusMonLocalPort = 65000;
    quint16 modbusMonModulePort = 65001;
    quint16 ioMonLocalPort = 65010;
    quint16 ioMonModulePort = 65011;
    quint16 tempLocalPort = 65020;
    quint16 tempModulePort = 65021;
    QHostAddress broadcast = QHostAddress(QHostAddress::Broadcast);

    static Endpoints &current();
    // Back to the protocol values.
    static void reset();
};

#endif
