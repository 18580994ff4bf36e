#ifndef MODULETARGETS_H
#define MODULETARGETS_H

#include "moduletarget.h"

#include <QList>

class module;

// What the network worker needs of modules, taken in the GUI thread just before it starts: the
// parameter bytes only of modules ticked for download, the image only of those ticked for update.
ModuleTarget moduleTarget(module *m);
ModuleTargetList moduleTargets(const QList<module *> &modules);

#endif
