#ifndef BLACKHOLE_H
#define BLACKHOLE_H

#include <QList>
#include <QString>
#include <QtGlobal>

// A TCP port on a loopback address that never completes a connection: it listens with a full
// queue, so the system drops every further connection request and the caller's connection wait
// runs to its end, as with a module that is switched off.
class BlackHole
{
public:
    BlackHole(const QString &address, quint16 port);
    ~BlackHole();
    BlackHole(const BlackHole &) = delete;
    BlackHole &operator=(const BlackHole &) = delete;

    // True once a connection request is known to hang.
    bool isOpen() const { return m_open; }

private:
    int m_listen = -1;
    QList<int> m_fill;
    bool m_open = false;
};

#endif
