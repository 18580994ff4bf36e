#include "resourceinit.h"

#include <QtGlobal>

static void initAll()
{
    Q_INIT_RESOURCE(resources);
    Q_INIT_RESOURCE(language);
}

void rivudoInitResources()
{
    static bool done = false;
    if (!done) {
        done = true;
        initAll();
    }
}
