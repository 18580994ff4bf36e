#include "moduletargets.h"

#include "module.h"

ModuleTarget moduleTarget(module *m)
{
    ModuleTarget target;
    if (!m)
        return target;
    target.ip = m->ip;
    target.downFlag = m->downFlag;
    target.firmwareFlag = m->firmwareFlag;
    if (m->downFlag == 1)
        target.paramData = m->getParamData();
    if (m->firmwareFlag == 1) {
        target.firmwareHeader = m->firmwareHeader.toBytes();
        target.firmwareData = m->firmwareData;
    }
    return target;
}

ModuleTargetList moduleTargets(const QList<module *> &modules)
{
    ModuleTargetList targets;
    for (module *m : modules) {
        if (m)
            targets << moduleTarget(m);
    }
    return targets;
}
