#include "moduleshowform.h"

#include "ktlshowform.h"
#include "showmoduleform.h"

moduleshowform::moduleshowform(QWidget *parent)
    : QWidget(parent)
{
}

moduleshowform *moduleshowform::createForFamily(const QString &family)
{
    // The compact families stack three rows; every other family scrolls one row.
    if (family == QLatin1String("KTL") || family == QLatin1String("DRV_K"))
        return new KTLShowForm;
    return new ShowModuleForm;
}
