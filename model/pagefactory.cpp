#include "pagefactory.h"

#include "menubase.h"
#include "modulebase.h"

#include <QVector>

namespace {

struct Entry
{
    PageFactory::Maker make;
    PageFactory::LimitSetter limits;
};

QVector<Entry> &registry()
{
    static QVector<Entry> entries(PageFactory::KindCount);
    return entries;
}

} // namespace

PageFactory::Kind PageFactory::kindOf(const QString &key)
{
    static const struct
    {
        const char *text;
        bool prefix;
        Kind kind;
    } rules[] = {
        { "General", false, General },
        { "I/O", false, IO },
        { "ModbusMonitor", false, ModbusMonitor },
        { "ModbusConfig", false, ModbusConfig },
        { "EcatModbusConfig", false, EcatModbusConfig },
        { "IoutlinkConfig", false, IoutlinkConfig },
        { "MSCOM", true, MSCOM },
        { "TEMP_CTL", true, TEMP_CTL },
        { "WEIGT", true, WEIGT },
        { "Factory_WEIGT", true, Factory_WEIGT },
        { "MQTT", true, MQTT },
        { "PARAM_IOLink", true, PARAM_IOLink },
        { "DATA_IOLink", true, DATA_IOLink },
        { "INFO_IOLink", true, INFO_IOLink },
    };
    for (const auto &rule : rules) {
        const QLatin1String text(rule.text);
        if (rule.prefix ? key.startsWith(text) : key == text)
            return rule.kind;
    }
    return None;
}

void PageFactory::registerPage(Kind kind, Maker maker, LimitSetter limits)
{
    if (kind < 0 || kind >= KindCount)
        return;
    registry()[kind] = Entry { std::move(maker), std::move(limits) };
}

void PageFactory::unregisterPage(Kind kind)
{
    if (kind < 0 || kind >= KindCount)
        return;
    registry()[kind] = Entry {};
}

bool PageFactory::isRegistered(Kind kind)
{
    return kind >= 0 && kind < KindCount && bool(registry().at(kind).make);
}

menubase *PageFactory::create(const QString &key, modulebase *owner)
{
    const Kind kind = kindOf(key);
    if (kind == None)
        return nullptr;
    const Entry entry = registry().at(kind);
    if (!entry.make)
        return nullptr;
    menubase *page = nullptr;
    {
        // The page's widgets wait for its first show.
        menubase::DeferBuild defer;
        page = entry.make();
    }
    if (!page)
        return nullptr;
    page->attachModule(owner);
    if ((kind == ModbusConfig || kind == EcatModbusConfig || kind == MSCOM) && entry.limits && owner)
        entry.limits(page, owner->Maxslotnum, owner->Maxinputsize, owner->Maxoutputsize);
    if (kind == IoutlinkConfig)
        page->setTitle(QStringLiteral("IoutlinkConfig"));
    return page;
}
