#include "externalprograms.h"

#include "apppaths.h"

#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

namespace {
QHash<int, QString> &overrides()
{
    static QHash<int, QString> map;
    return map;
}

// Names on PATH for the same programs outside Windows.
QStringList pathNames(ExternalPrograms::Program program)
{
    switch (program) {
    case ExternalPrograms::SevenZip:
        return {QStringLiteral("7z"), QStringLiteral("7za")};
    case ExternalPrograms::CleanScript:
        return {};
    case ExternalPrograms::DhcpServer:
        return {QStringLiteral("OpenDHCPServer"), QStringLiteral("opendhcp")};
    }
    return {};
}
}

QString ExternalPrograms::relativePath(Program program)
{
    switch (program) {
    case SevenZip:
        return QStringLiteral("/7-Zip/7z.exe");
    case CleanScript:
        return QStringLiteral("/ModuleParameter/clean.sh");
    case DhcpServer:
        return QStringLiteral("/OpenDHCPServer/OpenDHCPServer.exe");
    }
    return QString();
}

QString ExternalPrograms::resolve(Program program)
{
    const auto it = overrides().constFind(program);
    if (it != overrides().constEnd())
        return it.value();
    const QString beside = AppPaths::find(relativePath(program));
    if (QFileInfo(beside).isFile())
        return beside;
    for (const QString &name : pathNames(program)) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

void ExternalPrograms::setOverride(Program program, const QString &path)
{
    overrides().insert(program, path);
}

void ExternalPrograms::clearOverrides()
{
    overrides().clear();
}
