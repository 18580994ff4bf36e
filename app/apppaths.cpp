#include "apppaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
QString &overrideDir()
{
    static QString dir;
    return dir;
}
}

QString AppPaths::appDir()
{
    QString dir = overrideDir().isEmpty() ? QCoreApplication::applicationDirPath() : overrideDir();
    while (dir.size() > 1 && dir.endsWith('/'))
        dir.chop(1);
    return dir;
}

QString AppPaths::path(const QString &relative)
{
    return appDir() + relative;
}

QString AppPaths::resolve(const QString &path)
{
    if (path.isEmpty() || QFileInfo::exists(path))
        return path;
    const QString clean = QDir::cleanPath(path);
    const bool absolute = clean.startsWith('/');
    const QStringList parts = clean.split('/', Qt::SkipEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QStringLiteral(".");
    for (int i = 0; i < parts.size(); ++i) {
        const QString &part = parts.at(i);
        QString next = current == QLatin1String("/") ? current + part : current + '/' + part;
        if (!QFileInfo::exists(next)) {
            const QStringList entries = QDir(current).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            QString found;
            for (const QString &entry : entries) {
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    found = entry;
                    break;
                }
            }
            if (found.isEmpty())
                return path;
            next = current == QLatin1String("/") ? current + found : current + '/' + found;
        }
        current = next;
    }
    if (!absolute && current.startsWith(QLatin1String("./")))
        current = current.mid(2);
    return current;
}

QString AppPaths::find(const QString &relative)
{
    return resolve(path(relative));
}

void AppPaths::setAppDirOverride(const QString &dir)
{
    overrideDir() = dir;
}

void AppPaths::clearAppDirOverride()
{
    overrideDir().clear();
}
