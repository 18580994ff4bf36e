#ifndef GSDML_H
#define GSDML_H

#include <QByteArray>
#include <QList>
#include <QString>

class QIODevice;

// Reading the PROFINET device descriptions (GSDML) that the CAx export takes its identifiers
// and names from, and the index file that says which description belongs to which coupler.
namespace Gsdml {

// The index line of one coupler type.
struct IndexEntry
{
    bool found = false; // a line for the type names a GSDML file
    QString file; // the file name, upper-cased
    QString dapId; // ID of the device access point
};

// The first line of the index whose first ":"-field is typeName decides; a file field without
// "GSDML" means the type has no description. Lines may end in CRLF.
IndexEntry lookupIndex(QIODevice &device, const QString &typeName);
IndexEntry lookupIndex(const QByteArray &data, const QString &typeName);

struct AccessPoint
{
    QString id;
    QString dnsName;
};

// A module or sub-module item of a module or sub-module list.
struct Item
{
    bool identValid = false; // the ident attribute is a hexadecimal number
    int ident = 0;
    QString id;
    QString textId; // ModuleInfo/Name TextId
};

struct Text
{
    QString textId;
    QString value;
};

struct ApplicationProcess
{
    QList<AccessPoint> accessPoints;
    bool hasModuleList = false;
    QList<Item> modules;
    QList<Item> submodules;
    QList<Text> texts; // the primary language only
};

struct Document
{
    bool ok = false;
    QString error;
    QList<ApplicationProcess> processes; // every ProfileBody/ApplicationProcess in file order
};

Document read(const QByteArray &data);
Document read(QIODevice &device);

// An ident number: hexadecimal, "0x" allowed, fitting a non-negative 32-bit int.
bool parseIdent(const QString &text, int *value);

// The first item whose ident number equals typeId; null when none does or typeId < 0 (no type id).
const Item *findItem(const QList<Item> &items, int typeId);
// The first text with textId; null when none has it or textId is empty.
const Text *findText(const QList<Text> &texts, const QString &textId);

} // namespace Gsdml

#endif
