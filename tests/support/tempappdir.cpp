#include "tempappdir.h"

#include "apppaths.h"
#include "testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

TempAppDir::TempAppDir(bool withData)
{
    if (withData)
        copyTree(TestSupport::sourceDataDir(), QString());
    AppPaths::setAppDirOverride(m_dir.path());
}

TempAppDir::~TempAppDir()
{
    AppPaths::clearAppDirOverride();
}

QString TempAppDir::filePath(const QString &relative) const
{
    return m_dir.path() + relative;
}

bool TempAppDir::write(const QString &relative, const QByteArray &content)
{
    const QString file = filePath(relative);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(content) == content.size();
}

QByteArray TempAppDir::read(const QString &relative) const
{
    QFile f(filePath(relative));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

bool TempAppDir::exists(const QString &relative) const
{
    return QFileInfo::exists(filePath(relative));
}

bool TempAppDir::copyTree(const QString &source, const QString &relative)
{
    const QString target = filePath(relative);
    QDir().mkpath(target);
    QDirIterator it(source, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    bool ok = true;
    while (it.hasNext()) {
        const QString from = it.next();
        const QString to = target + from.mid(source.size());
        if (it.fileInfo().isDir())
            ok = QDir().mkpath(to) && ok;
        else
            ok = QFile::copy(from, to) && ok;
    }
    return ok;
}
