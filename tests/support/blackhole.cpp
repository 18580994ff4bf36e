#include "blackhole.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

sockaddr_in socketAddress(const QString &address, quint16 port)
{
    sockaddr_in sa {};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    inet_pton(AF_INET, address.toLatin1().constData(), &sa.sin_addr);
    return sa;
}

} // namespace

BlackHole::BlackHole(const QString &address, quint16 port)
{
    const sockaddr_in sa = socketAddress(address, port);
    m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
    if (m_listen < 0)
        return;
    const int on = 1;
    ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(m_listen, reinterpret_cast<const sockaddr *>(&sa), sizeof sa) != 0 || ::listen(m_listen, 0) != 0)
        return;
    // Fill the accept queue until a request stays unanswered.
    for (int i = 0; i < 16 && !m_open; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        if (fd < 0)
            return;
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        const int rc = ::connect(fd, reinterpret_cast<const sockaddr *>(&sa), sizeof sa);
        m_fill.append(fd);
        if (rc == 0)
            continue;
        if (errno != EINPROGRESS)
            return;
        pollfd p { fd, POLLOUT, 0 };
        if (::poll(&p, 1, 300) == 0)
            m_open = true;
    }
}

BlackHole::~BlackHole()
{
    for (int fd : qAsConst(m_fill))
        ::close(fd);
    if (m_listen >= 0)
        ::close(m_listen);
}
