// Scan of a /24 on loopback where 251 addresses never answer a connect and four fake modules
// answer: each silent address holds a listening socket whose one-place accept queue is already
// full, so the kernel drops the scan's connection request and the connect waits its full time.
// Nothing leaves loopback (the loopback guard is loaded, as in the tests).
#include "benchtools.h"
#include "endpoints.h"
#include "fakemodule.h"
#include "tcpthread.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <arpa/inet.h>
#include <cstdio>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

const char *const net = "127.0.77.";

// A listener on address:port with a full accept queue; -1 when it cannot be made.
bool silentAddress(const QString &address, quint16 port, std::vector<int> &fds)
{
    sockaddr_in sa {};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    inet_pton(AF_INET, address.toLatin1().constData(), &sa.sin_addr);
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    if (listener < 0 || bind(listener, reinterpret_cast<sockaddr *>(&sa), sizeof sa) != 0 || listen(listener, 0) != 0)
        return false;
    const int filler = socket(AF_INET, SOCK_STREAM, 0);
    if (filler < 0 || ::connect(filler, reinterpret_cast<sockaddr *>(&sa), sizeof sa) != 0)
        return false;
    fds.push_back(listener);
    fds.push_back(filler);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    TestSupport::init(argc, argv);
    QCoreApplication app(argc, argv);
    TestSupport::useLoopbackEndpoints();
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 1;
    const quint16 port = Endpoints::current().commandPort;

    const QList<int> answering { 10, 100, 200, 250 };
    std::vector<std::unique_ptr<FakeModule>> fakes;
    std::vector<int> fds;
    for (int n = 1; n <= 255; ++n) {
        const QString address = QString::fromLatin1(net) + QString::number(n);
        if (answering.contains(n)) {
            fakes.push_back(std::make_unique<FakeModule>(address));
            fakes.back()->setModuleType(QStringLiteral("RVE-C100"));
            if (!fakes.back()->start()) {
                std::fprintf(stderr, "fake module on %s could not start\n", qPrintable(address));
                return 1;
            }
        } else if (!silentAddress(address, port, fds)) {
            std::fprintf(stderr, "no silent listener on %s:%d\n", qPrintable(address), port);
            return 1;
        }
    }

    Bench::Side scan { QStringLiteral("scan .1 to .255, 4 modules answer"), {}, {} };
    bool inOrder = true;
    int found = 0;
    int addresses = 0;
    for (int i = 0; i < runs; ++i) {
        TCPThread worker;
        QStringList replies;
        addresses = 0;
        QObject::connect(&worker, &TCPThread::Sendmodule, [&](const QByteArray &reply) { replies << reply; });
        QObject::connect(&worker, &TCPThread::SendCurIP, [&](const QString &) { ++addresses; });
        const qint64 t0 = Bench::nowNs();
        worker.Scanmodulestart(QString::fromLatin1(net) + "1", QString::fromLatin1(net) + "255");
        scan.ms.push_back((Bench::nowNs() - t0) / 1e6);
        found = replies.size();
        for (int k = 0; k < replies.size() && k < answering.size(); ++k)
            inOrder = inOrder
                && replies.at(k).contains((QString::fromLatin1(net) + QString::number(answering.at(k))).toLatin1());
    }
    for (const auto &fake : fakes)
        inOrder = inOrder && fake->connectionCount(FakeModule::CommandPort) == runs;
    Bench::reportOne(
        QStringLiteral("Scan of a /24 on loopback, 251 silent addresses (connect wait 400 ms each)"), scan);
    std::printf("  %d modules found %s, %d addresses reported, one connection per module and run: %s\n", found,
        inOrder ? "in address order" : "OUT OF ORDER", addresses, inOrder ? "yes" : "NO");
    const double ms = Bench::stats(scan.ms).median;
    Bench::tableLine(QStringLiteral("scan of a /24, 251 silent"), QStringLiteral("%1 s").arg(ms / 1000, 0, 'f', 1),
        QStringLiteral("<= 10 s"), ms <= 10000 && inOrder && found == answering.size());
    for (int fd : fds)
        close(fd);
    return inOrder ? 0 : 1;
}
