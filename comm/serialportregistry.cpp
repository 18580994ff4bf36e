#include "serialportregistry.h"

#include "serialline.h"

#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>
#include <QRegularExpression>

SerialPortRegistry &SerialPortRegistry::instance()
{
    static SerialPortRegistry registry;
    return registry;
}

SerialPortRegistry::SerialPortRegistry()
{
    m_clock.start();
}

SerialPortRegistry::~SerialPortRegistry()
{
    qDeleteAll(m_lines);
}

QString SerialPortRegistry::spelled(const QString &name)
{
    const QString trimmed = name.trimmed();
    static const QRegularExpression comName(QStringLiteral("^COM\\d+$"), QRegularExpression::CaseInsensitiveOption);
    if (trimmed.isEmpty() || comName.match(trimmed).hasMatch())
        return trimmed.toUpper();
#ifdef Q_OS_UNIX
    // The port list names a device as the system does, without its folder.
    if (!trimmed.contains(QLatin1Char('/')))
        return QStringLiteral("/dev/") + trimmed;
    return QDir::cleanPath(trimmed);
#else
    return trimmed.toUpper();
#endif
}

QString SerialPortRegistry::key(const QString &name)
{
    const QString s = spelled(name);
    if (!s.startsWith(QLatin1Char('/')))
        return s;
    // Device paths keep their case; a link names the device it points to.
    const QString device = QFileInfo(s).canonicalFilePath();
    return device.isEmpty() ? s : device;
}

bool SerialPortRegistry::acquire(const QString &name, QObject *holder)
{
    if (!holder || name.trimmed().isEmpty())
        return false;
    const QString k = key(name);
    bool watch = false;
    {
        QMutexLocker lock(&m_mutex);
        const auto it = m_holds.constFind(k);
        if (it != m_holds.constEnd() && it->holder != holder)
            return false;
        if (it == m_holds.constEnd())
            m_holds.insert(k, { holder, spelled(name) });
        if (!m_watched.contains(holder)) {
            m_watched.insert(holder);
            watch = true;
        }
    }
    // The holder may live in another thread; destroyed is emitted there and handled directly.
    if (watch)
        connect(
            holder, &QObject::destroyed, this,
            [this](QObject *gone) {
                releaseAll(gone);
                QMutexLocker lock(&m_mutex);
                m_watched.remove(gone);
            },
            Qt::DirectConnection);
    return true;
}

void SerialPortRegistry::release(const QString &name, QObject *holder)
{
    const QString k = key(name);
    const QString s = spelled(name);
    QMutexLocker lock(&m_mutex);
    for (auto it = m_holds.begin(); it != m_holds.end();) {
        if (it->holder == holder && (it.key() == k || it->name == s))
            it = m_holds.erase(it);
        else
            ++it;
    }
}

void SerialPortRegistry::releaseAll(QObject *holder)
{
    QMutexLocker lock(&m_mutex);
    for (auto it = m_holds.begin(); it != m_holds.end();) {
        if (it->holder == holder)
            it = m_holds.erase(it);
        else
            ++it;
    }
}

bool SerialPortRegistry::isHeld(const QString &name) const
{
    const QString k = key(name);
    QMutexLocker lock(&m_mutex);
    return m_holds.contains(k);
}

QObject *SerialPortRegistry::holderOf(const QString &name) const
{
    const QString k = key(name);
    QMutexLocker lock(&m_mutex);
    return m_holds.value(k).holder;
}

void SerialPortRegistry::noteWrite(const QString &name)
{
    const QString k = key(name);
    QMutexLocker lock(&m_mutex);
    m_writes.insert(k, m_clock.elapsed());
}

qint64 SerialPortRegistry::msSinceWrite(const QString &name) const
{
    const QString k = key(name);
    QMutexLocker lock(&m_mutex);
    const auto it = m_writes.constFind(k);
    return it == m_writes.constEnd() ? -1 : m_clock.elapsed() - *it;
}

SerialLine *SerialPortRegistry::findLine(const QString &name) const
{
    // The line of the device the name points to now, while somebody uses it; else the name's own.
    SerialLine *device = m_byDevice.value(key(name));
    if (device && device->userCount() > 0)
        return device;
    if (SerialLine *named = m_byName.value(spelled(name)))
        return named;
    return device;
}

SerialLine *SerialPortRegistry::line(const QString &name)
{
    SerialLine *found = findLine(name);
    if (!found) {
        found = new SerialLine(name.trimmed());
        m_lines.append(found);
    } else if (found->userCount() == 0 && !found->isOpen()) {
        // An idle line opens the device by the name it is asked for now: a link may point
        // elsewhere than when the line was last used.
        found->setPortName(name.trimmed());
    }
    m_byName.insert(spelled(name), found);
    m_byDevice.insert(key(name), found);
    return found;
}

void SerialPortRegistry::noteDevice(const QString &name, SerialLine *line)
{
    m_byDevice.insert(key(name), line);
}

bool SerialPortRegistry::hasOpenLine(const QString &name) const
{
    const SerialLine *found = findLine(name);
    return found && found->isOpen();
}

void SerialPortRegistry::lendOut(const QString &name)
{
    line(name)->lendOut();
}

void SerialPortRegistry::takeBack(const QString &name)
{
    if (SerialLine *found = findLine(name))
        found->takeBack();
}

bool SerialPortRegistry::isLentOut(const QString &name) const
{
    const SerialLine *found = findLine(name);
    return found && found->isLentOut();
}

SerialLease::SerialLease(const QString &name)
    : m_name(name)
{
    SerialPortRegistry::instance().lendOut(m_name);
}

SerialLease::~SerialLease()
{
    SerialPortRegistry::instance().takeBack(m_name);
}
