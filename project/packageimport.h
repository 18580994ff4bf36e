#ifndef PACKAGEIMPORT_H
#define PACKAGEIMPORT_H

#include <QString>
#include <functional>

class QUrl;

// The toolbar actions that hand work to programs outside the tool: unpacking a description
// package into the description folder, and opening the help folder.
class PackageImport
{
public:
    enum Result {
        Imported, // unpacked; the cleanup step ran or there was none
        UnpackFailed, // the unpacker is missing, did not start, crashed or reported an error
        UnpackTimedOut, // stopped after the wait; no cleanup
        CleanupFailed // unpacked, but the cleanup step did not start or outlasted its wait
    };

    // Unpacks archive (a ".kdzip") into ModuleParameter beside the program, keeping files that
    // are already there under new names, runs ModuleParameter/clean.sh when present, and tells the user the outcome.
    // The new descriptions take effect at the next scan.
    Result importPackage(const QString &archive);

    // How long each outside program may run, in milliseconds.
    int waitMs = 60000;

    // Opens the help folder beside the program with the desktop's handler; false when no
    // program took it.
    static bool openHelpFolder();
    // Where openHelpFolder looks, as the user's system writes paths.
    static QString helpFolder();

    // Tests replace the desktop's URL handler; an empty function restores it.
    using UrlOpener = std::function<bool(const QUrl &)>;
    static void setUrlOpener(UrlOpener opener);
};

#endif
