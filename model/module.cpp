#include "module.h"

#include "iopoint.h"
#include "moduleshowform.h"
#include "submodule.h"

#include <limits>

module::module(QString name, QString family) :moduleFrame(name, family)
{
    showForm = moduleshowform::createForFamily(family);
    kind = 0;
    addShowWidget(this);
    setSlotNum(QStringLiteral("0"));
    comstr = QLatin1String("");
}

module::~module()
{
    qDeleteAll(ioPoints);
    ioPoints.clear();
    const QList<submodule *> subs = submodules;
    submodules.clear();
    for (submodule *sub : subs) {
        sub->parentModule = nullptr;
        delete sub;
    }
    // When the picture form is being destroyed it is what deletes this module: our parent has
    // already let go of us, and the form must not be deleted a second time.
    QWidget *holder = parentWidget();
    const bool formDying = holder && !holder->children().contains(this);
    // isNull() does not touch the object, which may be half destroyed.
    if (!formDying && !showForm.isNull()) {
        setParent(nullptr);
        delete showForm.data();
    }
}

void module::setIP(QString ip)
{
    ip.replace(':', '.');
    this->ip = ip;
    ipAddress = ip;
    setData(0, Qt::DisplayRole, QStringLiteral("%1(%2)").arg(ModuleShowName, ip));
    shareConnection();
}

void module::setSlotNum(QString slot)
{
    moduleFrame::setSlotNum(slot);
}

submodule *module::addSubmodule(QString name, QString family, int slot)
{
    auto *sub = new submodule(name, family);
    sub->setSlot(QString::number(slot));
    sub->parentModule = this;
    addShowWidget(sub);
    addChild(sub);
    submodules.append(sub);
    sub->connType = connType;
    sub->comstr = comstr;
    sub->ipAddress = ipAddress;
    return sub;
}

void module::shareConnection()
{
    for (submodule *sub : submodules) {
        sub->connType = connType;
        sub->comstr = comstr;
        sub->ipAddress = ipAddress;
    }
}

QByteArray module::getParamData()
{
    QByteArray data = moduleFrame::getParamData();
    for (submodule *sub : submodules)
        data.append(sub->getParamData());
    return data;
}

void module::setParamData(QByteArray data)
{
    // A table page of the coupler takes every byte it is given: it is given none of the
    // sub-modules' blocks, or it would swallow their parameters.
    int subsLen = 0;
    for (submodule *sub : qAsConst(submodules))
        subsLen += qMax(0, sub->paramLen);
    qint64 offset = moduleFrame::setParamData(data, subsLen);
    for (submodule *sub : submodules) {
        const int len = qMax(0, sub->paramLen);
        sub->setParamData(offset < data.size() ? data.mid(int(offset), len) : QByteArray());
        offset += len;
    }
}

void module::restoreDefaults()
{
    restorePagesDefaults();
    for (submodule *sub : submodules)
        sub->restorePagesDefaults();
}

namespace {
// A process image is addressed with 16-bit byte numbers, so no direction can hold more.
constexpr qint64 maxImageBytes = 65535;

qint64 decimalOrZero(const QString &text)
{
    bool ok = false;
    const qint64 n = text.trimmed().toLongLong(&ok, 10);
    return ok ? n : 0;
}

// The device's own number is not trusted: a reply claiming millions of bytes would otherwise
// build millions of points in the GUI thread, and the sum with the page sizes could overflow.
int imageSize(const QString &reported, qint64 pagesSum, const QString &moduleName, const char *direction)
{
    const qint64 own = decimalOrZero(reported);
    const qint64 sum = qMin(own, maxImageBytes) + pagesSum;
    if (own > maxImageBytes || sum > maxImageBytes)
        qWarning("module %s: %s size %s (pages %lld) exceeds %lld bytes, using %lld", qUtf8Printable(moduleName),
            direction, qUtf8Printable(reported.trimmed()), pagesSum, maxImageBytes, maxImageBytes);
    return int(qBound(qint64(std::numeric_limits<int>::min()), sum, maxImageBytes));
}
} // namespace

int module::inputSize()
{
    qint64 pages = pagesInputSize();
    for (submodule *sub : submodules)
        pages += sub->pagesInputSize();
    return imageSize(inlen, pages, name, "input");
}

int module::outputSize()
{
    qint64 pages = pagesOutputSize();
    for (submodule *sub : submodules)
        pages += sub->pagesOutputSize();
    return imageSize(outlen, pages, name, "output");
}

void module::buildIoPoints()
{
    const int inputs = inputSize();
    const int outputs = outputSize();
    for (int direction = 0; direction < 2; ++direction) {
        const int count = direction == 0 ? inputs : outputs;
        for (int i = 0; i < count; ++i) {
            auto *point = new IoPoint;
            point->number = i;
            point->direction = direction;
            point->updateAddress();
            ioPoints.append(point);
        }
    }
}

ModuleAttributes module::attributes() const
{
    ModuleAttributes a;
    a.mac = mac;
    a.ip = ip;
    a.mask = mask;
    a.gateway = gateway;
    a.inlen = inlen;
    a.outlen = outlen;
    a.Paralen = Paralen;
    a.softwareVer = softwareVer;
    a.backbusVer = backbusVer;
    a.subnum = subnum;
    return a;
}

void module::setAttributes(const ModuleAttributes &a)
{
    mac = a.mac;
    setIP(a.ip);
    mask = a.mask;
    gateway = a.gateway;
    inlen = a.inlen;
    outlen = a.outlen;
    Paralen = a.Paralen;
    softwareVer = a.softwareVer;
    backbusVer = a.backbusVer;
    subnum = a.subnum;
}

ProjectFile::ModuleRecord module::toRecord()
{
    ProjectFile::ModuleRecord r;
    r.name = name;
    static_cast<ModuleAttributes &>(r) = attributes();
    for (submodule *sub : submodules)
        r.submodules.append(sub->toRecord());
    r.parameters = getParamData();
    return r;
}

QString module::toXmlString()
{
    return ProjectFile::moduleXml(toRecord());
}
