#include "moduleshowform.h"

moduleshowform::moduleshowform(QWidget *parent)
    : QWidget(parent)
{
}

moduleshowform *moduleshowform::createForFamily(const QString &family)
{
    // "KTL" and "DRV_K" stack three rows (KTLShowForm); every other family scrolls one row
    // (ShowModuleForm). Until those forms exist a module has no picture form.
    Q_UNUSED(family);
    return nullptr;
}
