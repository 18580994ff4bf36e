#ifndef APPPATHS_H
#define APPPATHS_H

#include <QString>

// Where the program finds the files it keeps beside itself. Tests point it at a temporary folder.
class AppPaths
{
public:
    // The application directory, without a trailing "/".
    static QString appDir();
    // appDir() followed by relative, which starts with "/".
    static QString path(const QString &relative);
    // The existing file or folder for path: the exact path when it exists, else a case-insensitive
    // match segment by segment (description sets are often authored on Windows). When nothing
    // matches, path itself.
    static QString resolve(const QString &path);
    // resolve(path(relative)).
    static QString find(const QString &relative);

    static void setAppDirOverride(const QString &dir);
    static void clearAppDirOverride();
};

#endif
