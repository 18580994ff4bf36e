#include "modulebase.h"

#include "apppaths.h"
#include "descriptiontranslation.h"
#include "menubase.h"
#include "moduledescription.h"
#include "moduleprms.h"
#include "pagefactory.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>

namespace {

// A project or scan builds many modules of the same few types: each description and
// translation file is parsed once per type and reused while the file stays as it was.
template <class T> T readCached(const QString &path, const QString &name)
{
    struct Entry
    {
        QDateTime modified;
        qint64 size = -1;
        T value;
    };
    static QHash<QString, Entry> cache;
    const QFileInfo file(path);
    if (!file.isFile())
        return T::read(path, name);
    const QString key = path + QLatin1Char('\n') + name;
    const auto it = cache.constFind(key);
    if (it != cache.constEnd() && it->modified == file.lastModified() && it->size == file.size())
        return it->value;
    Entry entry { file.lastModified(), file.size(), T::read(path, name) };
    cache.insert(key, entry);
    return entry.value;
}

} // namespace

modulebase::modulebase(QString name, QString family)
    : name(name)
    , ModuleShowName(name)
    , Family(family)
{
    xmlPath = AppPaths::find(QStringLiteral("/ModuleParameter/%1/ModuleParameter.xml").arg(Family));
    loadDescription();
}

modulebase::~modulebase()
{
    qDeleteAll(paramList);
    paramList.clear();
    qDeleteAll(dataList);
    dataList.clear();
    pageList.clear();
    for (const QPointer<menubase> &page : m_ownedPages) {
        if (!page.isNull())
            delete page.data();
    }
    m_ownedPages.clear();
}

ValueItemList modulebase::readValueItems(QDomNode lists, QString target)
{
    ValueItemList items;
    for (QDomNode list = lists.firstChild(); !list.isNull(); list = list.nextSibling()) {
        if (list.toElement().attribute("ID").simplified() != target)
            continue;
        for (QDomElement e = list.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
            auto *item = new ValueItem;
            item->TextId = item->text = e.attribute("TextId").simplified();
            items.append({ item, ModuleDescription::toDecimal(e.attribute("Content")) });
        }
    }
    return items;
}

modulePrms *modulebase::findParam(QString name) const
{
    for (int i = paramList.size() - 1; i >= 0; --i) {
        if (paramList.at(i)->ParameterName == name)
            return paramList.at(i);
    }
    return nullptr;
}

QList<menubase *> modulebase::livePages()
{
    QList<menubase *> alive;
    for (const QPointer<menubase> &page : m_ownedPages) {
        if (!page.isNull())
            alive.append(page.data());
    }
    if (alive.size() != m_ownedPages.size())
        pageList = alive;
    return pageList;
}

void modulebase::loadDescription()
{
    qDeleteAll(paramList);
    paramList.clear();
    menuList.clear();

    const ModuleDescription d = readCached<ModuleDescription>(xmlPath, name);
    if (d.status == ModuleDescription::Ok) {
        if (d.hasPixmap && !d.pixmapFile.isEmpty())
            Pixmap = AppPaths::find(QStringLiteral("/ModuleParameter/%1/%2").arg(Family, d.pixmapFile));
        else
            Pixmap = AppPaths::path(QStringLiteral("/ModuleParameter/%1/").arg(Family));
        Text = d.text;
        ModuleShowName = d.showName.isEmpty() ? name : d.showName;
        if (d.maxSlotNum)
            Maxslotnum = *d.maxSlotNum;
        if (d.maxInputSize)
            Maxinputsize = *d.maxInputSize;
        if (d.maxOutputSize)
            Maxoutputsize = *d.maxOutputSize;
        if (d.paramLen)
            paramLen = *d.paramLen;
        for (const moduleData &item : d.dataItems)
            dataList.append(new moduleData(item));
        for (const ModuleDescription::Param &p : d.params) {
            auto *prm = new modulePrms;
            prm->text = prm->ParameterName = p.ParameterName;
            prm->DataType = p.DataType;
            prm->min = p.min;
            prm->max = p.max;
            prm->DefaultValue = p.DefaultValue;
            prm->value = p.DefaultValue;
            prm->ValueItemTarget = p.ValueItemTarget;
            for (const auto &entry : p.valueItems) {
                auto *item = new ValueItem;
                item->TextId = item->text = entry.first;
                prm->valueItems.append({ item, entry.second });
            }
            paramList.append(prm);
        }
        menuList = d.menuKeys;
    }
    createPages();
}

void modulebase::createPages()
{
    const QStringList keys = menuList;
    for (const QString &key : keys) {
        menubase *page = PageFactory::create(key, this);
        if (!page)
            continue;
        pageList.append(page);
        m_ownedPages.append(page);
    }
}

void modulebase::loadLanguage(int language)
{
    const QString file
        = language == 1 ? QStringLiteral("ModuleParameter_en.xml") : QStringLiteral("ModuleParameter_zh.xml");
    const DescriptionTranslation t = readCached<DescriptionTranslation>(
        AppPaths::find(QStringLiteral("/ModuleParameter/%1/%2").arg(Family, file)), name);
    if (t.status != DescriptionTranslation::Ok)
        return;
    for (const DescriptionTranslation::Entry &entry : t.entries) {
        if (entry.kind == DescriptionTranslation::Entry::Text) {
            Text = entry.translation;
            continue;
        }
        modulePrms *prm = findParam(entry.srcText);
        if (!prm)
            continue;
        prm->text = entry.translation;
        if (prm->valueItems.isEmpty())
            continue;
        for (const DescriptionTranslation::ItemList &list : t.itemLists) {
            if (list.id != prm->ValueItemTarget)
                continue;
            for (const auto &item : list.items) {
                for (auto &entry : prm->valueItems) {
                    if (entry.first->TextId == item.first) {
                        entry.first->text = item.second;
                        break;
                    }
                }
            }
        }
    }
}
