#ifndef FAKEMODULE_H
#define FAKEMODULE_H

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QPair>
#include <QString>
#include <memory>

#include "fakeservice.h"
#include "serialpeer.h"

#include <mutex>

class QThread;
class FakeModuleEngine;
class FakeConfigService;

// A module on a loopback address: the command channel, the firmware port and the UDP
// configuration port of Endpoints::current(). It runs in a thread of its own, so callers that
// block their thread (connection waits, UDP exchanges) are still answered. Every setter and
// getter may be called from any thread at any time.
class FakeModule
{
public:
    enum Port { CommandPort, FirmwarePort, ConfigPort };

    static const QByteArray defaultGreeting;
    static const QByteArray ackReply;
    static const QByteArray resetReply;

    explicit FakeModule(const QString &address = QStringLiteral("127.0.0.1"));
    ~FakeModule();

    // Opens the three ports; false when one of them cannot be bound.
    bool start();
    void stop();
    QString address() const { return m_address; }

    // Adds a UDP port service (before or after start()); it runs in the fake's thread, bound to
    // its port on this module's address, and sees every command of the command port. False when
    // its port cannot be bound (after start(); before, start() fails instead).
    bool addService(std::shared_ptr<FakeUdpService> service);

    // Answers as the example coupler RVE-C100 with RV-DI16, RV-DO16 and RV-AI4 plugged in, each
    // with its default parameter bytes, so the example descriptions show it with its sub-modules.
    void useExampleCoupler();
    static const QString exampleCouplerType;
    static const QList<int> exampleSubmoduleIds;
    static const QByteArray exampleParamBytes;
    // Answers the temperature page's uploads (plug 19) as an RVT-C800 set up by hand would: PID
    // and I/O settings inside the tables' ranges, each channel on inputs and outputs the module
    // describes (PV_1 to PV_4, MV_1, MV_2, the Heater bits), and the debug window's status.
    void useExampleTempCtlBlocks();
    // The block an upload of plug and sub-plug reads (setUploadBlock).
    QByteArray uploadBlock(int plug, int subplug) const;

    // What the module says.
    void setGreeting(const QByteArray &greeting);
    void setModuleType(const QString &type);
    void setSubmoduleIds(const QList<int> &typeIds);
    // Input and output process image bytes the information reply announces (default 4 and 4).
    void setProcessImageLengths(int input, int output);
    // A full information reply replaces the one built from type, address and sub-modules.
    void setInfoReply(const QByteArray &reply);
    QByteArray infoReply() const;
    // Parameter bytes; the reply to "G" is "PRM:" + bytes + "#end".
    void setParamBytes(const QByteArray &bytes);
    QByteArray paramBytes() const;
    void setParamReply(const QByteArray &reply);
    QByteArray paramReply() const;
    // The block a "U" request (TCP) or a 0x55 datagram (UDP) reads.
    void setUploadBlock(int plug, int subplug, const QByteArray &block);
    // Size announced in the "SIZE" reply; -1 announces the block's real size.
    void setUploadAnnouncedSize(qint64 size);
    // Data bytes per upload data reply (each followed by the upload trailer).
    void setUploadChunkSize(int size);
    // The 4 bytes after the data of each upload data reply (default "#end"); a module may send
    // any 4 bytes holding "end".
    void setUploadTrailer(const QByteArray &trailer);
    // What follows the total in the "SIZE" reply (default "#end"), such as "end\r\n".
    void setUploadSizeTail(const QByteArray &tail);
    // Data replies sent after the "SIZE" reply as they are, instead of the block cut in chunks.
    void setUploadDataReplies(const QList<QByteArray> &replies);
    // Data bytes of each data reply, in order, instead of replies of one chunk size; bytes the
    // lengths leave over go in replies of the chunk size.
    void setUploadReplyLengths(const QList<int> &lengths);
    // Data of one more reply (with the trailer) after the block: a faulty module's; empty: none.
    void setUploadSurplus(const QByteArray &data);
    // Pause in ms before each write of the upload after the "SIZE" reply: one per data reply,
    // then one before the reply beyond the total (missing entries: 0). Each reply is one write;
    // replies without a pause go out together. Unless a read size or upload cuts are set.
    void setUploadPauses(const QList<int> &msec);
    // Reply datagram to a 0x43 configuration datagram.
    void setUdpDownloadReply(const QByteArray &reply);

    // Misbehaviour.
    void setSilent(bool silent); // accepts connections, never greets or answers
    void setSkipAck(int index); // leaves out the index-th acknowledge (from 0); -1 none
    void setSplitReply(int at); // writes replies in two pieces split after `at` bytes; 0 off
    void setPieceGap(int msec); // pause between the pieces of a reply
    // The replies to an upload request are joined and written in pieces of this many bytes, each
    // spaced by the piece gap, whatever the reply boundaries; 0 off.
    void setReadSize(int bytes);
    // The replies to an upload request are joined and written in pieces cut at these offsets
    // (ascending), each spaced by the piece gap; empty off. The read size, when set, wins.
    void setUploadCuts(const QList<int> &at);
    // Each acknowledge goes out `times` times, `gapMs` apart; a gap of 0 writes them at once.
    void setAckRepeat(int times, int gapMs);
    // Only the first `count` acknowledges (from 0, as setSkipAck counts them) go out; -1 all.
    void setAckLimit(int count);
    // The pieces of a reply, and the several replies to one request, go out in one write with no
    // pause, as they arrive on a real network; off: spaced by the piece gap.
    void setBackToBack(bool on);
    // For a test's _data function: the bool column "backToBack" with the rows "spaced" and
    // "back to back", so a test runs against both.
    static void addSpacingRows();
    void setReplyDelay(int msec); // every greeting and reply comes this much later
    // The n-th command connection (from 0) is greeted msec.at(n) later still, later ones by the
    // last entry: a module that greets one link late and the next at once.
    void setGreetingDelays(const QList<int> &msec);
    void setDropOnCommand(char command); // closes the link instead of answering it; 0 off
    void setCloseAfterCommand(char command); // answers it, then closes the link; 0 off
    void setFirmwareDropAfter(qint64 bytes); // closes the firmware link after that many bytes; -1 off
    void setCommandDropAfter(qint64 bytes); // resets the command link after that many bytes; -1 off
    void setConfirmFirmware(bool confirm); // the RESET text once the whole image arrived (default on)

    // The configuration port as a service, for its own misbehaviour (split, dropped, back to
    // back ...); setSilent() and setReplyDelay() set its silence and delay too.
    FakeUdpService &configService();

    // Sends a datagram from this module's configuration port, as if on its own, after msec.
    void sendDatagram(const QByteArray &data, const QHostAddress &to, quint16 port, int msec);

    // What the module received.
    QByteArray received(Port port) const;
    QList<QByteArray> datagrams() const;
    QList<QByteArray> commands() const; // each command recognised on the command port
    int connectionCount(Port port) const;
    QList<QHostAddress> commandPeers() const;
    QByteArray downloadedParams() const; // bytes after the last "P"
    QByteArray networkSettings() const; // the 12 bytes after the last "S"
    QByteArray block(int plug, int subplug) const; // the last block written by "C" or a 0x43 datagram
    QList<QByteArray> blockWrites() const; // each data block of the TCP block downloads, as received
    // Each piece written of the upload replies that the read size, the upload cuts or the upload
    // pauses cut, as written.
    QList<QByteArray> uploadPieces() const;
    QByteArray firmwareHeader() const;
    QByteArray firmwareImage() const;
    void clearRecords();

private:
    friend class FakeModuleEngine;
    friend class FakeConfigService;

    struct Script
    {
        QByteArray greeting;
        QString moduleType = QStringLiteral("FAKE-IO");
        QList<int> submoduleIds;
        int inputLength = 4;
        int outputLength = 4;
        QByteArray infoReply;
        QByteArray paramBytes;
        QByteArray paramReply;
        QMap<QPair<int, int>, QByteArray> uploadBlocks;
        qint64 uploadAnnounced = -1;
        int uploadChunk = 1000;
        QByteArray uploadTrailer = QByteArrayLiteral("#end");
        QByteArray uploadSizeTail = QByteArrayLiteral("#end");
        QList<QByteArray> uploadDataReplies;
        QList<int> uploadReplyLengths;
        QByteArray uploadSurplus;
        QList<int> uploadPauses;
        QByteArray udpDownloadReply;
        bool silent = false;
        int skipAck = -1;
        int split = 0;
        int pieceGap = 150;
        int readSize = 0;
        QList<int> uploadCuts;
        int ackTimes = 1;
        int ackGap = 0;
        int ackLimit = -1;
        bool backToBack = false;
        int replyDelay = 0;
        QList<int> greetingDelays;
        char dropOn = 0;
        char closeAfter = 0;
        qint64 firmwareDropAfter = -1;
        qint64 commandDropAfter = -1;
        bool confirmFirmware = true;
    };
    struct Records
    {
        QMap<int, QByteArray> received;
        QMap<int, int> connections;
        QList<QByteArray> datagrams;
        QList<QByteArray> commands;
        QList<QHostAddress> peers;
        QByteArray params;
        QByteArray settings;
        QMap<QPair<int, int>, QByteArray> blocks;
        QList<QByteArray> blockWrites;
        QList<QByteArray> uploadPieces;
        QByteArray firmwareHeader;
        QByteArray firmwareImage;
        int acks = 0;
    };

    QString m_address;
    mutable QMutex m_mutex;
    Script m_script;
    Records m_records;
    QList<std::shared_ptr<FakeUdpService>> m_services;
    std::shared_ptr<FakeUdpService> m_config;
    QThread *m_thread = nullptr;
    FakeModuleEngine *m_engine = nullptr;
};

// The module's own answers on its serial line: the information (R) and parameter (G) replies of
// a FakeModule, and the parameter download: "P", the length (4 bytes, high first), CR LF, then
// the bytes in blocks of up to 48, the header and every block acknowledged. Add it before other
// devices of the line, so the blocks reach it whatever bytes they hold.
class FakeSerialModule : public SerialPeer::Device
{
public:
    static constexpr int blockSize = 48;
    // A download left unfinished this long is given up; the next bytes are commands again.
    static constexpr int staleMs = 2000;

    // module must outlive the device.
    explicit FakeSerialModule(const FakeModule &module);

    int consume(const QByteArray &pending, QList<SerialPeer::Reply> &replies) override;

    // The bytes of the last download that arrived whole, and how many did.
    QByteArray downloaded() const;
    int downloads() const;

private:
    const FakeModule &m_module;
    mutable std::mutex m_mutex;
    qint64 m_remaining = -1; // bytes still to come; -1: no download running
    int m_blockLeft = 0;
    qint64 m_lastMs = 0;
    QByteArray m_data;
    QByteArray m_downloaded;
    int m_downloads = 0;
};

#endif
