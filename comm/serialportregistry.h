#ifndef SERIALPORTREGISTRY_H
#define SERIALPORTREGISTRY_H

#include <QHash>
#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

// The one owner of every serial port name. A scan, a download or a page borrows a port here
// before opening it and gives it back after closing it, so no two users open one port behind
// each other's back. A holder that is destroyed gives its ports back. Thread-safe: workers borrow
// from their own threads.
class SerialPortRegistry : public QObject
{
    Q_OBJECT
public:
    static SerialPortRegistry &instance();

    // True when name was free (or already held by holder) and is now held by holder.
    bool acquire(const QString &name, QObject *holder);
    void release(const QString &name, QObject *holder);
    // Gives back every port holder has.
    void releaseAll(QObject *holder);
    bool isHeld(const QString &name) const;
    // What holds name, or null.
    QObject *holderOf(const QString &name) const;

    // Port names are compared as the system would: case-insensitively for COM names.
    static QString key(const QString &name);

private:
    SerialPortRegistry() = default;

    mutable QMutex m_mutex;
    QHash<QString, QObject *> m_holders;
    // Holders whose destruction we already watch.
    QSet<QObject *> m_watched;
};

#endif
