#ifndef MODULEDATA_H
#define MODULEDATA_H

#include <QString>

// One data item of a module type's description.
struct moduleData
{
    int DataType = 0; // 0 BOOL, 1 an INT type
    int DIR = 0; // 0 input, 1 output
    QString Dataname;
    int BitLen = 0;
};

#endif
