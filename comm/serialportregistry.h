#ifndef SERIALPORTREGISTRY_H
#define SERIALPORTREGISTRY_H

#include <QHash>
#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

class SerialLine;

// The one owner of every serial port name. The pages, monitors and dialogs of a coupler share the
// port's one SerialLine, made here on first use. A blocking worker (a scan, a download) borrows a
// port exclusively: its dialog first lends the port out (SerialLease), which pauses the line and
// closes it, then the worker acquires the name before opening the port and releases it after
// closing it; the line itself holds the name while its port is open. A holder that is destroyed
// gives its ports back. acquire/release are thread-safe (workers borrow from their own threads);
// lines and lending belong to the GUI thread.
class SerialPortRegistry : public QObject
{
    Q_OBJECT
public:
    static SerialPortRegistry &instance();

    // The shared line of name, made on first use (GUI thread).
    SerialLine *line(const QString &name);
    // The line of name if there is one with its port open.
    bool hasOpenLine(const QString &name) const;
    // Pauses the line of name (present or made later) and closes its port until every lender
    // has taken it back (GUI thread).
    void lendOut(const QString &name);
    void takeBack(const QString &name);
    bool isLentOut(const QString &name) const;

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
    ~SerialPortRegistry() override;

    mutable QMutex m_mutex;
    QHash<QString, QObject *> m_holders;
    // Holders whose destruction we already watch.
    QSet<QObject *> m_watched;
    QHash<QString, SerialLine *> m_lines;
    QHash<QString, int> m_lent;
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
