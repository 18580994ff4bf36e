#include "testsupport.h"

#include <QAbstractSpinBox>
#include <QElapsedTimer>

#include "platformlists.h"

#include "builtinpages.h"
#include "endpoints.h"
#include "ipaddress.h"
#include "resourceinit.h"

#include <QLineEdit>
#include <QSet>
#include <QTcpServer>
#include <QUdpSocket>
#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace TestSupport {

bool loopGuardActive()
{
    return dlsym(RTLD_DEFAULT, "rivudo_loopguard_active") != nullptr;
}

void init(int argc, char **argv)
{
    Q_UNUSED(argc);
    if (!loopGuardActive()) {
        // Started by hand: start again with the guard preloaded.
        if (std::getenv("RIVUDO_LOOPGUARD_TRIED")) {
            std::fprintf(stderr, "loopback guard could not be loaded from %s\n", RIVUDO_LOOPGUARD_PATH);
            std::exit(2);
        }
        setenv("RIVUDO_LOOPGUARD_TRIED", "1", 1);
        QByteArray preload = RIVUDO_LOOPGUARD_PATH;
        if (const char *old = std::getenv("LD_PRELOAD"); old && *old)
            preload += QByteArray(":") + old;
        setenv("LD_PRELOAD", preload.constData(), 1);
        QByteArray asan = "verify_asan_link_order=0";
        if (const char *old = std::getenv("ASAN_OPTIONS"); old && *old)
            asan = QByteArray(old) + ":" + asan;
        setenv("ASAN_OPTIONS", asan.constData(), 1);
        if (!std::getenv("LSAN_OPTIONS"))
            setenv("LSAN_OPTIONS", "suppressions=" RIVUDO_SOURCE_DIR "/tests/lsan.supp:print_suppressions=0", 1);
        if (!std::getenv("QT_QPA_PLATFORM"))
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        execv("/proc/self/exe", argv);
        std::perror("execv");
        std::exit(2);
    }
    rivudoInitResources();
    // As the program does at start-up; a test may register its own pages over them.
    registerBuiltinPages();
}

QString sourceDataDir()
{
    return QStringLiteral(RIVUDO_SOURCE_DIR "/data");
}

namespace {

    // Binds the port on an address no test uses and keeps it bound until the process ends. Test
    // processes running side by side then never hand out the same port, and the kernel gives no
    // explicitly bound port to an outgoing connection.
    bool reservePort(quint16 port)
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        sockaddr_in sa {};
        sa.sin_family = AF_INET;
        sa.sin_port = htons(port);
        sa.sin_addr.s_addr = htonl(0x7F006401); // 127.0.100.1
        if (::bind(fd, reinterpret_cast<const sockaddr *>(&sa), sizeof sa) != 0) {
            ::close(fd);
            return false;
        }
        return true;
    }

} // namespace

quint16 freePort()
{
    // A port free for TCP and UDP alike on loopback.
    for (int attempt = 0; attempt < 50; ++attempt) {
        QTcpServer server;
        if (!server.listen(QHostAddress::LocalHost, 0))
            continue;
        const quint16 port = server.serverPort();
        QUdpSocket udp;
        if (udp.bind(QHostAddress::AnyIPv4, port) && reservePort(port))
            return port;
    }
    return 0;
}

void useLoopbackEndpoints()
{
    Endpoints &e = Endpoints::current();
    QSet<quint16> taken;
    auto next = [&taken]() {
        quint16 port = freePort();
        while (taken.contains(port))
            port = freePort();
        taken.insert(port);
        return port;
    };
    e.commandPort = next();
    e.firmwarePort = next();
    e.configLocalPort = next();
    e.configModulePort = next();
    e.factoryLocalPort = next();
    e.factoryModulePort = next();
    e.modbusMonLocalPort = next();
    e.modbusMonModulePort = next();
    e.ioMonLocalPort = next();
    e.ioMonModulePort = next();
    e.tempLocalPort = next();
    e.tempModulePort = next();
    e.broadcast = QHostAddress(QStringLiteral("127.255.255.255"));
    // Nor may a test open the machine's serial lines, or another test's pseudo-terminals, unless
    // it names them.
    PlatformLists::setSerialPorts({});
}

void typeAddress(IPAddress *entry, const QString &address)
{
    const QStringList octets = address.split(QLatin1Char('.'));
    const char *fields[] = { "txtIP1", "txtIP2", "txtIP3", "txtIP4" };
    for (int i = 0; i < 4; ++i) {
        auto *field = child<QLineEdit>(entry, fields[i]);
        field->clear();
        QTest::keyClicks(field, octets.at(i));
    }
}

bool focusInActiveWindow(QWidget *window, QWidget *field)
{
    window->show();
    QApplication::setActiveWindow(window);
    if (!QTest::qWaitForWindowActive(window) || !field)
        return false;
    field->setFocus();
    QElapsedTimer clock;
    clock.start();
    while (!field->hasFocus() && clock.elapsed() < 5000)
        QTest::qWait(10);
    return field->hasFocus();
}

void typeKeys(QWidget *field, const QString &keys)
{
    if (keys == QLatin1String("down")) {
        QTest::keyClick(field, Qt::Key_Down);
        return;
    }
    if (auto *spin = qobject_cast<QAbstractSpinBox *>(field))
        spin->selectAll();
    QTest::keyClicks(field, keys);
}

} // namespace TestSupport
