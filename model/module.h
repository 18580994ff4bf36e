#ifndef MODULE_H
#define MODULE_H

#include "firmwareheader.h"
#include "moduleframe.h"
#include "projectfile.h"

#include <QByteArray>
#include <QList>
#include <QString>

class IoPoint;
class submodule;

// A coupler found by a scan or read from a project file. It owns its sub-modules (slot
// order), its process-image points, its pages and its picture form.
class module : public moduleFrame
{
public:
    module(QString name, QString family);
    ~module() override;

    void setIP(QString ip);
    void setSlotNum(QString slot);
    submodule *addSubmodule(QString name, QString family, int slot);
    // Hands connType, comstr and ipAddress on to every sub-module.
    void shareConnection();

    QByteArray getParamData();
    void setParamData(QByteArray data);
    void restoreDefaults();
    int inputSize();
    int outputSize();
    void buildIoPoints();
    // The module's record and element of the project file (parameters from getParamData).
    ProjectFile::ModuleRecord toRecord();
    ModuleAttributes attributes() const;
    // Takes over what a scan reply or a project file says of the coupler (the address through setIP).
    void setAttributes(const ModuleAttributes &a);
    QString toXmlString();

    FirmwareHeader firmwareHeader;
    QByteArray firmwareData;
    QList<IoPoint *> ioPoints;
    QString ip;
    QString mask;
    QString gateway;
    QString inlen;
    QString outlen;
    QString Paralen;
    QString softwareVer;
    QString backbusVer;
    int subnum = 0;
    int downFlag = 0;
    int firmwareFlag = 0;
    QList<submodule *> submodules;
    // CAx export texts.
    QString gsdmlFile;
    QString dapId;
    QString dnsName;
};

#endif
