#ifndef USRCONF_H
#define USRCONF_H

#include <QString>

// The user's remembered entries in "usrconf.ini" beside the program. Every access opens the
// file afresh, so a write is on disk when it returns.
namespace UsrConf {

// The settings file's full path.
QString filePath();

// Stores value under group and key. False for an empty key (nothing written) and when the
// file could not be written.
bool write(const QString &group, const QString &key, const QString &value);

// value = the stored text, empty when nothing is stored. False only for an empty key.
bool read(const QString &group, const QString &key, QString &value);

// The language index a stored text stands for: 1 (English) for "1", else 0 (Chinese).
int languageIndex(const QString &text);

// Only 0 and 1 are languages; anything else falls back to Chinese.
int normalizedLanguage(int index);

} // namespace UsrConf

#endif
