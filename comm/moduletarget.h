#ifndef MODULETARGET_H
#define MODULETARGET_H

#include <QByteArray>
#include <QList>
#include <QString>

// What a network worker needs of one module, gathered in the GUI thread before the worker starts:
// the worker never touches module objects or page widgets from its own thread.
struct ModuleTarget
{
    QString ip; // the module's address text; ":" is read as "."
    int downFlag = 0; // 1: download paramData to this module
    int firmwareFlag = 0; // 1: update this module's firmware
    QByteArray paramData; // the module's parameter bytes at the time of the download
    QByteArray firmwareHeader; // the 12 bytes sent before the image
    QByteArray firmwareData; // the flat image; the worker empties its copy once confirmed
};

using ModuleTargetList = QList<ModuleTarget>;

#endif
