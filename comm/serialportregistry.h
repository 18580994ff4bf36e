#ifndef SERIALPORTREGISTRY_H
#define SERIALPORTREGISTRY_H

#include <QElapsedTimer>
#include <QHash>
#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

class SerialLine;

// The one owner of every serial device. The pages, monitors and dialogs of a coupler share the
// device's one SerialLine, made here on first use. A device has one line whatever it is called:
// "ttyUSB0" as the port list gives it, "/dev/ttyUSB0" as typed, or a symbolic link to it. A
// blocking worker (a scan, a download) borrows a port exclusively: its dialog first lends the
// port out (SerialLease), which pauses the line and closes it, then the worker acquires the device
// before opening the port and releases it after closing it; the line itself holds the device
// while its port is open. A holder that is destroyed gives its ports back. acquire/release and
// the write times are thread-safe (workers borrow from their own threads); lines and lending
// belong to the GUI thread.
class SerialPortRegistry : public QObject
{
    Q_OBJECT
public:
    static SerialPortRegistry &instance();

    // The shared line of name, made on first use (GUI thread).
    SerialLine *line(const QString &name);
    // The line of name if there is one with its port open.
    bool hasOpenLine(const QString &name) const;
    // Pauses the line of name and closes its port until every lender has taken it back (GUI
    // thread).
    void lendOut(const QString &name);
    void takeBack(const QString &name);
    bool isLentOut(const QString &name) const;
    // A line opened name's port: its device is known by the names it was opened under from now on.
    void noteDevice(const QString &name, SerialLine *line);

    // True when name was free (or already held by holder) and is now held by holder.
    bool acquire(const QString &name, QObject *holder);
    void release(const QString &name, QObject *holder);
    // Gives back every port holder has.
    void releaseAll(QObject *holder);
    bool isHeld(const QString &name) const;
    // What holds name, or null.
    QObject *holderOf(const QString &name) const;

    // A line wrote to name; how long ago that was (-1: never), so that a worker that borrows the
    // port can let a reply still on its way pass before it asks.
    void noteWrite(const QString &name);
    qint64 msSinceWrite(const QString &name) const;

    // The name as the system resolves it: a bare name is a device under /dev (Unix), a path is
    // followed through its links; COM names are compared without case.
    static QString key(const QString &name);

private:
    SerialPortRegistry();
    ~SerialPortRegistry() override;

    struct Hold
    {
        QObject *holder = nullptr;
        // The device's key and the name as given when it was taken: the device may be gone
        // (and its key another) by the time it is given back.
        QString name;
    };

    // Lexical form of a name, before any link is followed.
    static QString spelled(const QString &name);
    SerialLine *findLine(const QString &name) const;

    mutable QMutex m_mutex;
    QHash<QString, Hold> m_holds;
    // Holders whose destruction we already watch.
    QSet<QObject *> m_watched;
    QHash<QString, qint64> m_writes;
    QElapsedTimer m_clock;
    // By the names lines were asked for, and by the devices they opened.
    QHash<QString, SerialLine *> m_byName;
    QHash<QString, SerialLine *> m_byDevice;
    QList<SerialLine *> m_lines;
};

// Lends a port out for as long as it lives (a scan or a download on a worker thread).
class SerialLease
{
public:
    explicit SerialLease(const QString &name);
    ~SerialLease();
    SerialLease(const SerialLease &) = delete;
    SerialLease &operator=(const SerialLease &) = delete;

private:
    QString m_name;
};

#endif
