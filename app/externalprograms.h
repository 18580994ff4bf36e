#ifndef EXTERNALPROGRAMS_H
#define EXTERNALPROGRAMS_H

#include <QString>

// The outside programs the tool starts. Each is looked for beside the program under its usual
// relative path first, then under its plain name on PATH. Tests put scripts in their place.
class ExternalPrograms
{
public:
    enum Program { SevenZip, CleanScript, DhcpServer };

    // The relative path beside the program, starting with "/".
    static QString relativePath(Program program);
    // The program to start, or an empty text when it cannot be found.
    static QString resolve(Program program);

    static void setOverride(Program program, const QString &path);
    static void clearOverrides();
};

#endif
