#ifndef STCPSOCKET_H
#define STCPSOCKET_H

#include <QByteArray>
#include <QTcpSocket>
#include <functional>

// The socket of one exchange on the command channel. The read handler advances the reply state
// when a received chunk is the reply the state asks for; senders poll the state with waitread().
// Each chunk is judged on its own and never combined with another one.
class sTcpSocket : public QTcpSocket
{
    Q_OBJECT
public:
    // An even value is a waiting state set by the sender; the read handler moves it one up.
    enum INFOType : qint32 {
        WAIT_VERSION = 0,
        VERSION_OK = 1,
        WAIT_INFO = 2,
        INFO_OK = 3,
        WAIT_ACK = 4,
        ACK_OK = 5,
        WAIT_PRM = 6,
        PRM_OK = 7,
        WAIT_RESET = 8,
        RESET_OK = 9,
    };
    Q_ENUM(INFOType)

    static constexpr int pollInterval = 20;
    static constexpr int pollCount = 61;

    sTcpSocket();
    ~sTcpSocket() override;

    // Hides QAbstractSocket::state(); the connection state stays reachable through connectionState().
    INFOType state = VERSION_OK;
    QByteArray reply;

    SocketState connectionState() const { return QAbstractSocket::state(); }

    // Asked between the polls of a wait: true ends the wait at once, unanswered. Set by the
    // worker that owns the socket so a stop request never sits out a whole wait.
    std::function<bool()> stopRequested;

    // When set, each read goes here whole instead of through the reply rules: an upload keeps
    // all it receives and cuts it as a whole, since a network joins and splits replies at will.
    std::function<void(const QByteArray &)> rawReader;

    // Non-empty chunks read so far, whoever took them.
    quint64 chunksRead = 0;

    // Applies the reply rules to one chunk as if it had just been read. onRead() feeds it.
    void handleChunk(const QByteArray &chunk);
    // The wait of waitreadAfterDelay() for any condition: true once done() holds after one of
    // its polls.
    bool waitUntil(const std::function<bool()> &done);

    // Reads and drops, by the reply rules of the present state, whatever the module has sent
    // that is not read yet, without waiting: bytes that came before a command never answer it.
    void takeStale();
    // Waits in 20 ms polls until the module has sent nothing for quietPolls polls in a row, so
    // repeats or late pieces of an answer come in before the next command goes out. False when
    // the module keeps sending for 61 polls, or on a stop request or a closed link.
    bool settle(int quietPolls);

public slots:
    void onRead();
    // True as soon as the state equals newstate, tested at once and after each of 61 waits of
    // 20 ms; the 61st wait ends without a test. A stop request, or a link the module has closed
    // with nothing left to read, ends the wait early with false.
    bool waitread(INFOType newstate);
    // The same wait, without the test before the first 20 ms.
    bool waitreadAfterDelay(INFOType newstate);
};

#endif
