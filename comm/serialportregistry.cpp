#include "serialportregistry.h"

#include "serialline.h"

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

SerialPortRegistry::~SerialPortRegistry()
{
    qDeleteAll(m_lines);
}

SerialLine *SerialPortRegistry::line(const QString &name)
{
    const QString k = key(name);
    SerialLine *found = m_lines.value(k);
    if (!found) {
        found = new SerialLine(name.trimmed());
        m_lines.insert(k, found);
        for (int i = m_lent.value(k); i > 0; --i)
            found->lendOut();
    }
    return found;
}

bool SerialPortRegistry::hasOpenLine(const QString &name) const
{
    const SerialLine *found = m_lines.value(key(name));
    return found && found->isOpen();
}

void SerialPortRegistry::lendOut(const QString &name)
{
    const QString k = key(name);
    ++m_lent[k];
    if (SerialLine *found = m_lines.value(k))
        found->lendOut();
}

void SerialPortRegistry::takeBack(const QString &name)
{
    const QString k = key(name);
    if (m_lent.value(k) <= 0)
        return;
    if (--m_lent[k] == 0)
        m_lent.remove(k);
    if (SerialLine *found = m_lines.value(k))
        found->takeBack();
}

bool SerialPortRegistry::isLentOut(const QString &name) const
{
    return m_lent.value(key(name)) > 0;
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
