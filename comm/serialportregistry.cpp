#include "serialportregistry.h"

#include <QMutexLocker>

SerialPortRegistry &SerialPortRegistry::instance()
{
    static SerialPortRegistry registry;
    return registry;
}

QString SerialPortRegistry::key(const QString &name)
{
    const QString trimmed = name.trimmed();
    // Device paths are case-sensitive; COM names are not.
    return trimmed.startsWith(QLatin1Char('/')) ? trimmed : trimmed.toUpper();
}

bool SerialPortRegistry::acquire(const QString &name, QObject *holder)
{
    if (!holder || name.trimmed().isEmpty())
        return false;
    const QString k = key(name);
    bool watch = false;
    {
        QMutexLocker lock(&m_mutex);
        QObject *current = m_holders.value(k);
        if (current && current != holder)
            return false;
        if (!current)
            m_holders.insert(k, holder);
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
    QMutexLocker lock(&m_mutex);
    const QString k = key(name);
    if (m_holders.value(k) == holder)
        m_holders.remove(k);
}

void SerialPortRegistry::releaseAll(QObject *holder)
{
    QMutexLocker lock(&m_mutex);
    for (auto it = m_holders.begin(); it != m_holders.end();) {
        if (it.value() == holder)
            it = m_holders.erase(it);
        else
            ++it;
    }
}

bool SerialPortRegistry::isHeld(const QString &name) const
{
    QMutexLocker lock(&m_mutex);
    return m_holders.contains(key(name));
}

QObject *SerialPortRegistry::holderOf(const QString &name) const
{
    QMutexLocker lock(&m_mutex);
    return m_holders.value(key(name));
}
