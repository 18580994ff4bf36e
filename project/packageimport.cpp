#include "packageimport.h"

#include "apppaths.h"
#include "externalprograms.h"
#include "prompts.h"

#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace {

PackageImport::UrlOpener &urlOpener()
{
    static PackageImport::UrlOpener opener;
    return opener;
}

// Runs program to its end or until waitMs pass; false when it did not start or was stopped.
bool runToEnd(QProcess &process, const QString &program, const QStringList &arguments, int waitMs, bool *timedOut)
{
    *timedOut = false;
    // Nobody answers the program's questions: it reads end-of-file instead of waiting forever.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForStarted(waitMs)) {
        qDebug() << "could not start" << program << process.errorString();
        return false;
    }
    if (!process.waitForFinished(waitMs)) {
        *timedOut = true;
        process.kill();
        process.waitForFinished(5000);
        return false;
    }
    return true;
}

} // namespace

PackageImport::Result PackageImport::importPackage(const QString &archive)
{
    const QString unpacker = ExternalPrograms::resolve(ExternalPrograms::SevenZip);
    const QStringList arguments = { QStringLiteral("x"), archive,
        QStringLiteral("-o") + AppPaths::path(QStringLiteral("/ModuleParameter/")), QStringLiteral("-aot") };
    bool timedOut = false;
    QProcess unpack;
    const bool ended = !unpacker.isEmpty() && runToEnd(unpack, unpacker, arguments, waitMs, &timedOut);
    const bool unpacked = ended && unpack.exitStatus() == QProcess::NormalExit && unpack.exitCode() == 0;
    if (!unpacked) {
        Prompts::warning(nullptr, QStringLiteral("失败"), QStringLiteral("非法文件"));
        // Only an unpacker that ran to its end is followed by the cleanup.
        if (!ended)
            return timedOut ? UnpackTimedOut : UnpackFailed;
    } else {
        Prompts::information(nullptr, QStringLiteral("完成"), QStringLiteral("导入成功"));
    }

    const QString script = ExternalPrograms::resolve(ExternalPrograms::CleanScript);
    if (script.isEmpty())
        return unpacked ? Imported : UnpackFailed;
    QProcess clean;
    clean.setWorkingDirectory(QFileInfo(script).absolutePath());
    const bool direct = QFileInfo(script).isExecutable();
    const bool cleaned = runToEnd(clean, direct ? script : QStringLiteral("/bin/sh"),
        direct ? QStringList() : QStringList { script }, waitMs, &timedOut);
    if (!cleaned) {
        Prompts::warning(nullptr, QStringLiteral("失败"), QStringLiteral("操作失败"));
        return unpacked ? CleanupFailed : UnpackFailed;
    }
    return unpacked ? Imported : UnpackFailed;
}

bool PackageImport::openHelpFolder()
{
    const QUrl url = QUrl::fromLocalFile(AppPaths::path(QStringLiteral("/helpfile/")));
    if (urlOpener())
        return urlOpener()(url);
    return QDesktopServices::openUrl(url);
}

QString PackageImport::helpFolder()
{
    return QDir::toNativeSeparators(AppPaths::path(QStringLiteral("/helpfile/")));
}

void PackageImport::setUrlOpener(UrlOpener opener)
{
    urlOpener() = std::move(opener);
}
