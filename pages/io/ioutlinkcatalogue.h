#ifndef IOUTLINKCATALOGUE_H
#define IOUTLINKCATALOGUE_H

#include <QMap>
#include <QString>

class QObject;
class moduleslot;

// The remote module types a coupler accepts, by type name; each entry holds its sub-module
// types as children.
using IoutlinkCatalogue = QMap<QString, moduleslot *>;

namespace IoutlinkCatalogueReader {

// "/ModuleParameter/<family>/<type>_Deviceslist.xml" of a coupler, relative to the program.
QString deviceslistPath(const QString &family, const QString &type);

// Fills entry's texts, picture, limits, scan cycle and lengths from the module element of its
// name in its family's description file; false when there is no such element (or file).
bool readModuleDescription(moduleslot *entry);

// Adds or replaces the types listed in the device-list file at path. Types whose description
// is missing are left out. New entries are made children of owner; a replaced entry is deleted
// with its sub-module types. False (and nothing changed) when the file cannot be read or parsed.
bool readDeviceslist(const QString &path, IoutlinkCatalogue &catalogue, QObject *owner);

// Deletes a catalogue entry together with its sub-module types.
void deleteType(moduleslot *entry);

} // namespace IoutlinkCatalogueReader

#endif
