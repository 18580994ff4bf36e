#ifndef PROJECTMODULES_H
#define PROJECTMODULES_H

#include "projectfile.h"

#include <QList>
#include <QMap>
#include <QString>

class module;

// Between module objects and the records of the project file. GUI thread only: the
// parameter bytes come from the pages.
namespace ProjectModules {

ProjectFile::ModuleRecord recordOf(module *m);
// The module elements of all modules, one after the other.
QString modulesXml(const QList<module *> &modules);

// A new module from a record, with its sub-modules and stored parameter bytes; nullptr when
// the module's type or one of its sub-module types has no family.
module *buildModule(const ProjectFile::ModuleRecord &record, const QMap<QString, QString> &families);

} // namespace ProjectModules

#endif
