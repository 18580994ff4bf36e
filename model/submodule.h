#ifndef SUBMODULE_H
#define SUBMODULE_H

#include "moduleframe.h"
#include "projectfile.h"

class module;

// The sub-module in one slot of a module.
class submodule : public moduleFrame
{
public:
    submodule(QString name, QString family);
    ~submodule() override;

    void setSlot(QString slot);
    // The sub-module's record and line of the project file.
    ProjectFile::SubmoduleRecord toRecord() const;
    QString toXmlString() const;

    QString softwareVer;
    module *parentModule = nullptr;
    QString slot;
    // CAx export texts.
    QString gsdId;
    QString textId;
    QString nameText;
};

#endif
