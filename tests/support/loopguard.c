/* Preloaded into every test process: any connection or datagram to an address outside the
 * loopback range aborts the test, so a forgotten default range or broadcast never leaves the
 * machine. */
#define _GNU_SOURCE
#include <arpa/inet.h>
#include <dlfcn.h>
#include <netinet/in.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

int rivudo_loopguard_active = 1;

static int allowed(const struct sockaddr *addr, socklen_t len)
{
    if (!addr || len == 0)
        return 1;
    if (addr->sa_family == AF_INET) {
        const struct sockaddr_in *in = (const struct sockaddr_in *)addr;
        return (ntohl(in->sin_addr.s_addr) >> 24) == 127;
    }
    if (addr->sa_family == AF_INET6) {
        const struct sockaddr_in6 *in6 = (const struct sockaddr_in6 *)addr;
        if (IN6_IS_ADDR_LOOPBACK(&in6->sin6_addr))
            return 1;
        if (IN6_IS_ADDR_V4MAPPED(&in6->sin6_addr))
            return in6->sin6_addr.s6_addr[12] == 127;
        return 0;
    }
    return 1; /* local (unix) sockets and anything that is not IP */
}

static void refuse(const char *what, const struct sockaddr *addr)
{
    char text[INET6_ADDRSTRLEN] = "?";
    int port = 0;
    if (addr->sa_family == AF_INET) {
        const struct sockaddr_in *in = (const struct sockaddr_in *)addr;
        inet_ntop(AF_INET, &in->sin_addr, text, sizeof text);
        port = ntohs(in->sin_port);
    } else if (addr->sa_family == AF_INET6) {
        const struct sockaddr_in6 *in6 = (const struct sockaddr_in6 *)addr;
        inet_ntop(AF_INET6, &in6->sin6_addr, text, sizeof text);
        port = ntohs(in6->sin6_port);
    }
    char line[256];
    int n = snprintf(line, sizeof line, "LOOPBACK GUARD: %s to %s port %d refused; tests stay on 127.0.0.0/8\n",
                     what, text, port);
    if (n > 0)
        (void)!write(2, line, (size_t)n);
    abort();
}

int connect(int fd, const struct sockaddr *addr, socklen_t len)
{
    static int (*real)(int, const struct sockaddr *, socklen_t);
    if (!real)
        real = (int (*)(int, const struct sockaddr *, socklen_t))dlsym(RTLD_NEXT, "connect");
    if (!allowed(addr, len))
        refuse("connection", addr);
    return real(fd, addr, len);
}

ssize_t sendto(int fd, const void *buf, size_t n, int flags, const struct sockaddr *addr, socklen_t len)
{
    static ssize_t (*real)(int, const void *, size_t, int, const struct sockaddr *, socklen_t);
    if (!real)
        real = (ssize_t(*)(int, const void *, size_t, int, const struct sockaddr *, socklen_t))dlsym(RTLD_NEXT, "sendto");
    if (!allowed(addr, len))
        refuse("datagram", addr);
    return real(fd, buf, n, flags, addr, len);
}

ssize_t sendmsg(int fd, const struct msghdr *msg, int flags)
{
    static ssize_t (*real)(int, const struct msghdr *, int);
    if (!real)
        real = (ssize_t(*)(int, const struct msghdr *, int))dlsym(RTLD_NEXT, "sendmsg");
    if (msg && !allowed((const struct sockaddr *)msg->msg_name, msg->msg_namelen))
        refuse("datagram", (const struct sockaddr *)msg->msg_name);
    return real(fd, msg, flags);
}

int sendmmsg(int fd, struct mmsghdr *vec, unsigned int count, int flags)
{
    static int (*real)(int, struct mmsghdr *, unsigned int, int);
    if (!real)
        real = (int (*)(int, struct mmsghdr *, unsigned int, int))dlsym(RTLD_NEXT, "sendmmsg");
    for (unsigned int i = 0; vec && i < count; ++i) {
        const struct msghdr *m = &vec[i].msg_hdr;
        if (!allowed((const struct sockaddr *)m->msg_name, m->msg_namelen))
            refuse("datagram", (const struct sockaddr *)m->msg_name);
    }
    return real(fd, vec, count, flags);
}
