#ifndef PROJECTFILE_H
#define PROJECTFILE_H

#include "moduleattributes.h"

#include <QByteArray>
#include <QDateTime>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>

// The ".kdxml" project file as plain values: written from fixed text templates and read back
// with a DOM parser. Widgets and modules convert to and from these records.
namespace ProjectFile {

// Written into the root element; readers ignore it.
extern const char *const makerAddress;

struct SubmoduleRecord
{
    QString name;
    QString slot;
    QString softwareVer;
};

struct ModuleRecord : ModuleAttributes
{
    QString name;
    QList<SubmoduleRecord> submodules;
    // False when the element had no "Parameters" in its place: the pages keep their values.
    bool hasParameters = true;
    QByteArray parameters;
};

struct FileInfo
{
    QString producer;
    QString modfiydate;
    QString text;
};

// One child of the root element that the reader acts on, in document order.
struct Section
{
    enum Kind { Info, Modules };
    Kind kind = Info;
    FileInfo info;               // Info
    QList<ModuleRecord> modules; // Modules
};

struct ReadResult
{
    bool ok = false;
    QString error; // parser message with line and column when not ok
    QList<Section> sections;
};

// Fills %1, %2, ... in one pass: a value is never searched again, so a "%2" typed by the user
// stays as typed. Two-digit numbers are taken when that many values are given.
QString fillTemplate(const QString &tmpl, const QStringList &values);

// Drops what XML 1.0 forbids, then escapes & < > (and " in attributes).
QString escapeText(const QString &text);
QString escapeAttribute(const QString &text);

// Each byte as two lower-case hex digits and a blank.
QString hexParameters(const QByteArray &bytes);
// The stored "data" text back to bytes.
QByteArray parseHexParameters(const QString &data);

// "yyyy.MM.dd hh:mm:ss.zzz ddd" with the system locale's day name.
QString saveTimeText(const QDateTime &time);

QString submoduleXml(const SubmoduleRecord &sub);
QString moduleXml(const ModuleRecord &module);
QString fileInfoXml(const QString &producer, const QString &saveTime, const QString &description);
// The whole file: fileInfo from fileInfoXml, moduleText the module elements joined.
QString documentXml(const QString &fileInfo, const QString &moduleText);

// Writes text as UTF-8 without byte order mark through a QSaveFile, so a failed write leaves an
// existing file untouched. On failure returns false and error says why.
bool writeFile(const QString &path, const QString &text, QString *error = nullptr);

// A project holds a few modules; anything this large is not one, and is refused unread.
constexpr qint64 maxFileSize = 64 * 1024 * 1024;
// Reads the whole device into data, at most maxFileSize bytes. False when it holds more (or
// never ends, as a device file does).
bool readBounded(QIODevice &device, QByteArray *data);

ReadResult read(const QByteArray &data);

} // namespace ProjectFile

#endif
