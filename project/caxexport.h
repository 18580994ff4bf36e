#ifndef CAXEXPORT_H
#define CAXEXPORT_H

#include <QDomDocument>
#include <QDomElement>
#include <QList>
#include <QObject>
#include <QString>
#include <memory>

class module;
class moduleslot;
class submodule;

// Writes the PROFINET couplers of the module list, with their sub-modules and remote modules,
// into a copy of the AutomationML template; names and identifiers come from the GSDML files.
// One object serves one export.
class Caxexport : public QObject
{
    Q_OBJECT
public:
    Caxexport(QList<module *> modules, QString type, QObject *parent = nullptr);
    ~Caxexport() override;

    // Asks for the output file and writes it.
    void exportCaxFile();
    // Fills the template with the devices and writes it to path; false (with a reason) when the
    // template is missing or the file cannot be written. An existing file stays untouched
    // until the new one is complete.
    bool writeCaxFile(const QString &path, QString *error = nullptr);

private:
    void loadTemplate(QString path);
    bool findGsdml(module *m);
    void readGsdml(module *m);

    QString createId();
    QDomElement createAttribute(QString name, QString dataType, QString value);
    QDomElement createRoleClass(QString path);
    QDomElement createInternalElement(QString name);
    QDomElement createDevice(module *m);
    QDomElement createRack(module *m);
    QDomElement createHeadModule(module *m);
    QDomElement createModule(submodule *s);
    QDomElement createSlotModule(moduleslot *e, QString gsdmlFile);
    QDomElement createSubmodule(moduleslot *c, QString gsdmlFile);
    QDomElement createBuiltIn(QString name);

    std::unique_ptr<QDomDocument> doc;
    QDomElement container;
    QList<module *> modules;
    QString rackName;
};

#endif
