#include "moduleslot.h"

moduleslot::moduleslot(QString name)
    : name(name)
{
}

moduleslot::moduleslot(moduleslot *other)
{
    if (!other)
        return;
    name = other->name;
    typeId = other->typeId;
    Text = other->Text;
    Pixmap = other->Pixmap;
    Family = other->Family;
    Inputsize = other->Inputsize;
    Outputsize = other->Outputsize;
    Scantime = other->Scantime;
}

moduleslot *moduleslot::findSubmodule(QString name) const
{
    for (moduleslot *child : children) {
        if (child && child->name == name)
            return child;
    }
    return nullptr;
}
