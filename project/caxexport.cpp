#include "caxexport.h"

#include "apppaths.h"
#include "gsdml.h"
#include "module.h"
#include "moduleslot.h"
#include "prompts.h"
#include "submodule.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>
#include <QUuid>

namespace {

const QString roleLib = QStringLiteral("AutomationProjectConfigurationRoleClassLib/");

void showMissingFile()
{
    Prompts::critical(nullptr, QStringLiteral("Erro"), QStringLiteral("Missing file"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
}

// The remote I/O link page marks a name it has no id for with 0xFFFF; rebuilt entries carry 0.
int slotTypeId(const moduleslot *e)
{
    return (e->typeId == 0 || e->typeId == 0xFFFF) ? -1 : e->typeId;
}

template <class T> void takeItem(T *object, const QList<Gsdml::Item> &items, int typeId)
{
    if (const Gsdml::Item *item = Gsdml::findItem(items, typeId)) {
        object->gsdId = item->id;
        object->textId = item->textId;
    }
}

template <class T> void takeText(T *object, const QList<Gsdml::Text> &texts)
{
    if (const Gsdml::Text *text = Gsdml::findText(texts, object->textId))
        object->nameText = text->value;
}

} // namespace

Caxexport::Caxexport(QList<module *> modules, QString type, QObject *parent)
    : QObject(parent)
    , rackName(QStringLiteral("机架"))
{
    loadTemplate(AppPaths::find(QStringLiteral("/Template/%1_Caxe_Template.aml").arg(type)));
    this->modules = modules;
}

Caxexport::~Caxexport() = default;

void Caxexport::loadTemplate(QString path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    auto document = std::make_unique<QDomDocument>();
    QString message;
    if (!document->setContent(&file, false, &message)) {
        qDebug() << "CAx template not readable:" << path << message;
        return;
    }
    doc = std::move(document);
    const QDomElement root = doc->documentElement();
    for (QDomNode h = root.firstChild(); !h.isNull(); h = h.nextSibling()) {
        if (h.nodeName() != QLatin1String("InstanceHierarchy"))
            continue;
        for (QDomNode n = h.firstChild(); !n.isNull(); n = n.nextSibling()) {
            const QDomElement e = n.toElement();
            if (!e.isNull() && e.attribute(QStringLiteral("Name")).simplified() == QLatin1String("VORNAK_Devices"))
                container = e;
        }
    }
}

void Caxexport::exportCaxFile()
{
    // Without a template there is nothing to fill; asking for a file first would only mislead.
    if (!doc) {
        showMissingFile();
        return;
    }
    const QString defaultName = Prompts::defaultFolder() + QStringLiteral("/project.aml");
    const QString path = Prompts::getSaveFileName(nullptr, tr("Save CAX File"), defaultName, QStringLiteral("*.aml"));
    if (path.isEmpty())
        return;
    QString error;
    if (!writeCaxFile(path, &error))
        Prompts::warning(
            nullptr, tr("失败"), tr("导出Cax文件失败") + "\n" + QDir::toNativeSeparators(path) + "\n" + error);
}

bool Caxexport::writeCaxFile(const QString &path, QString *error)
{
    if (!doc) {
        if (error)
            *error = QStringLiteral("Missing file");
        return false;
    }
    for (module *m : qAsConst(modules)) {
        if (!findGsdml(m))
            continue;
        readGsdml(m);
        const QDomElement device = createDevice(m);
        // A template without the devices element gets written as it is.
        if (!container.isNull())
            container.appendChild(device);
    }
    if (!container.isNull())
        container.appendChild(createRoleClass(roleLib + QStringLiteral("DeviceUserFolder")));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QTextStream stream(&file);
    // The declaration's encoding wins when the template has one.
    stream.setCodec("UTF-8");
    doc->save(stream, 4);
    stream.flush();
    if (stream.status() != QTextStream::Ok || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool Caxexport::findGsdml(module *m)
{
    QFile index(AppPaths::find(QStringLiteral("/GSDML/gsdxm.ini")));
    if (!index.open(QIODevice::ReadOnly)) {
        showMissingFile();
        return false;
    }
    const Gsdml::IndexEntry entry = Gsdml::lookupIndex(index, m->name);
    if (!entry.found)
        return false;
    m->gsdmlFile = entry.file;
    m->dapId = entry.dapId;
    return true;
}

void Caxexport::readGsdml(module *m)
{
    QFile file(AppPaths::find(QStringLiteral("/GSDML/") + m->gsdmlFile));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const Gsdml::Document gsdml = Gsdml::read(file);
    if (!gsdml.ok) {
        qDebug() << "GSDML file not readable:" << file.fileName() << gsdml.error;
        return;
    }
    for (const Gsdml::ApplicationProcess &ap : gsdml.processes) {
        for (const Gsdml::AccessPoint &dap : ap.accessPoints) {
            if (dap.id == m->dapId)
                m->dnsName = dap.dnsName;
        }
        if (!ap.hasModuleList)
            continue;
        for (submodule *s : qAsConst(m->submodules)) {
            takeItem(s, ap.modules, s->typeId);
            takeText(s, ap.texts);
        }
        m->collectSlotList();
        for (moduleslot *e : qAsConst(m->slotList)) {
            qDebug() << "name" << e->name << "id" << e->typeId;
            takeItem(e, ap.modules, slotTypeId(e));
            takeText(e, ap.texts);
            for (moduleslot *c : qAsConst(e->children)) {
                takeItem(c, ap.submodules, slotTypeId(c));
                takeText(c, ap.texts);
            }
        }
    }
}

QString Caxexport::createId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

QDomElement Caxexport::createAttribute(QString name, QString dataType, QString value)
{
    QDomElement attribute = doc->createElement(QStringLiteral("Attribute"));
    attribute.setAttribute(QStringLiteral("Name"), name);
    attribute.setAttribute(QStringLiteral("AttributeDataType"), dataType);
    QDomElement v = doc->createElement(QStringLiteral("Value"));
    v.appendChild(doc->createTextNode(value));
    attribute.appendChild(v);
    return attribute;
}

QDomElement Caxexport::createRoleClass(QString path)
{
    QDomElement role = doc->createElement(QStringLiteral("SupportedRoleClass"));
    role.setAttribute(QStringLiteral("RefRoleClassPath"), path);
    return role;
}

QDomElement Caxexport::createInternalElement(QString name)
{
    QDomElement e = doc->createElement(QStringLiteral("InternalElement"));
    e.setAttribute(QStringLiteral("Name"), name);
    e.setAttribute(QStringLiteral("ID"), createId());
    return e;
}

QDomElement Caxexport::createBuiltIn(QString name)
{
    QDomElement e = createInternalElement(name);
    e.appendChild(createAttribute(QStringLiteral("PositionNumber"), QStringLiteral("xs:int"), QStringLiteral("0")));
    e.appendChild(createAttribute(QStringLiteral("BuiltIn"), QStringLiteral("xs:boolean"), QStringLiteral("true")));
    e.appendChild(createRoleClass(roleLib + QStringLiteral("DeviceItem")));
    return e;
}

QDomElement Caxexport::createDevice(module *m)
{
    QDomElement device = createInternalElement(QStringLiteral("GSD device_1"));
    device.appendChild(createAttribute(
        QStringLiteral("TypeIdentifier"), QStringLiteral("xs:string"), QStringLiteral("GSD:%1/D").arg(m->gsdmlFile)));
    device.appendChild(createRack(m));
    device.appendChild(createRoleClass(roleLib + QStringLiteral("Device")));
    return device;
}

QDomElement Caxexport::createRack(module *m)
{
    QDomElement rack = createInternalElement(rackName);
    rack.appendChild(createAttribute(QStringLiteral("TypeName"), QStringLiteral("xs:string"), QStringLiteral("Rack")));
    rack.appendChild(createAttribute(QStringLiteral("PositionNumber"), QStringLiteral("xs:int"), QStringLiteral("0")));
    rack.appendChild(createAttribute(QStringLiteral("BuiltIn"), QStringLiteral("xs:boolean"), QStringLiteral("false")));
    rack.appendChild(createAttribute(QStringLiteral("TypeIdentifier"), QStringLiteral("xs:string"),
        QStringLiteral("GSD:%1/R/%2").arg(m->gsdmlFile, m->dapId)));
    const QString deviceItem = roleLib + QStringLiteral("DeviceItem");
    QDomElement head = createHeadModule(m);
    head.appendChild(createRoleClass(deviceItem));
    rack.appendChild(head);
    for (submodule *s : qAsConst(m->submodules)) {
        QDomElement e = createModule(s);
        e.appendChild(createRoleClass(deviceItem));
        rack.appendChild(e);
    }
    for (moduleslot *slot : qAsConst(m->slotList)) {
        QDomElement e = createSlotModule(slot, m->gsdmlFile);
        e.appendChild(createRoleClass(deviceItem));
        rack.appendChild(e);
    }
    rack.appendChild(createRoleClass(deviceItem));
    return rack;
}

QDomElement Caxexport::createHeadModule(module *m)
{
    QDomElement head = createInternalElement(m->dnsName);
    head.appendChild(createAttribute(QStringLiteral("TypeName"), QStringLiteral("xs:string"), m->name));
    head.appendChild(
        createAttribute(QStringLiteral("DeviceItemType"), QStringLiteral("xs:string"), QStringLiteral("HeadModule")));
    head.appendChild(createAttribute(QStringLiteral("PositionNumber"), QStringLiteral("xs:int"), QStringLiteral("0")));
    head.appendChild(createAttribute(QStringLiteral("BuiltIn"), QStringLiteral("xs:boolean"), QStringLiteral("false")));
    head.appendChild(createAttribute(QStringLiteral("TypeIdentifier"), QStringLiteral("xs:string"),
        QStringLiteral("GSD:%1/DAP/%2").arg(m->gsdmlFile, m->dapId)));
    head.appendChild(createBuiltIn(m->name));

    QDomElement port = createInternalElement(QStringLiteral("端口1"));
    port.appendChild(createAttribute(QStringLiteral("Label"), QStringLiteral("xs:string"), QStringLiteral("P1")));
    port.appendChild(createAttribute(QStringLiteral("PositionNumber"), QStringLiteral("xs:int"), QStringLiteral("1")));
    port.appendChild(createAttribute(QStringLiteral("BuiltIn"), QStringLiteral("xs:boolean"), QStringLiteral("true")));
    port.appendChild(createRoleClass(roleLib + QStringLiteral("CommunicationPort")));

    QDomElement interface = createInternalElement(QStringLiteral("网络接口"));
    interface.appendChild(createAttribute(QStringLiteral("Label"), QStringLiteral("xs:string"), QStringLiteral("X1")));
    interface.appendChild(
        createAttribute(QStringLiteral("PositionNumber"), QStringLiteral("xs:int"), QStringLiteral("1")));
    interface.appendChild(
        createAttribute(QStringLiteral("BuiltIn"), QStringLiteral("xs:boolean"), QStringLiteral("true")));
    interface.appendChild(port);
    interface.appendChild(createRoleClass(roleLib + QStringLiteral("CommunicationInterface")));
    head.appendChild(interface);
    return head;
}

QDomElement Caxexport::createModule(submodule *s)
{
    const QString gsdmlFile = s->parentModule ? s->parentModule->gsdmlFile : QString();
    QDomElement e = createInternalElement(QStringLiteral("%1_%2").arg(s->name, s->slot));
    e.appendChild(createAttribute(QStringLiteral("TypeName"), QStringLiteral("xs:string"), s->nameText));
    e.appendChild(createAttribute(QStringLiteral("PositionNumber"), QStringLiteral("xs:int"), s->slot));
    e.appendChild(createAttribute(QStringLiteral("BuiltIn"), QStringLiteral("xs:boolean"), QStringLiteral("false")));
    e.appendChild(createAttribute(QStringLiteral("TypeIdentifier"), QStringLiteral("xs:string"),
        QStringLiteral("GSD:%1/M/%2").arg(gsdmlFile, s->gsdId)));
    e.appendChild(createBuiltIn(s->nameText));
    return e;
}

QDomElement Caxexport::createSlotModule(moduleslot *e, QString gsdmlFile)
{
    QDomElement m = createInternalElement(QStringLiteral("%1_%2").arg(e->name, QString::number(e->slot)));
    m.appendChild(createAttribute(QStringLiteral("TypeName"), QStringLiteral("xs:string"), e->nameText));
    m.appendChild(
        createAttribute(QStringLiteral("PositionNumber"), QStringLiteral("xs:int"), QString::number(e->slot)));
    m.appendChild(createAttribute(QStringLiteral("BuiltIn"), QStringLiteral("xs:boolean"), QStringLiteral("false")));
    m.appendChild(createAttribute(QStringLiteral("TypeIdentifier"), QStringLiteral("xs:string"),
        QStringLiteral("GSD:%1/M/%2").arg(gsdmlFile, e->gsdId)));
    if (e->children.isEmpty())
        m.appendChild(createBuiltIn(e->nameText));
    for (moduleslot *c : qAsConst(e->children))
        m.appendChild(createSubmodule(c, gsdmlFile));
    return m;
}

QDomElement Caxexport::createSubmodule(moduleslot *c, QString gsdmlFile)
{
    const QString position = QString::number(c->subSlot - 1);
    QDomElement e = createInternalElement(QStringLiteral("%1_%2").arg(c->name, position));
    e.appendChild(createAttribute(QStringLiteral("TypeName"), QStringLiteral("xs:string"), c->nameText));
    e.appendChild(createAttribute(QStringLiteral("PositionNumber"), QStringLiteral("xs:int"), position));
    e.appendChild(createAttribute(QStringLiteral("BuiltIn"), QStringLiteral("xs:boolean"), QStringLiteral("false")));
    e.appendChild(createAttribute(QStringLiteral("TypeIdentifier"), QStringLiteral("xs:string"),
        QStringLiteral("GSD:%1/SM/%2").arg(gsdmlFile, c->gsdId)));
    e.appendChild(createRoleClass(roleLib + QStringLiteral("DeviceItem")));
    return e;
}
