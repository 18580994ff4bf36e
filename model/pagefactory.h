#ifndef PAGEFACTORY_H
#define PAGEFACTORY_H

#include <QString>
#include <functional>
#include <type_traits>

class menubase;
class modulebase;

// Turns a description's page-type keys into pages. Page classes are registered explicitly (the
// application registers the program's own at start-up); a key whose class is not registered
// makes no page. Pages are made with their widgets left for their first show.
class PageFactory
{
public:
    // Page kinds in the order in which keys are tested.
    enum Kind {
        General, // "General", exact
        IO, // "I/O", exact
        ModbusMonitor, // "ModbusMonitor", exact
        ModbusConfig, // "ModbusConfig", exact
        EcatModbusConfig, // "EcatModbusConfig", exact
        IoutlinkConfig, // "IoutlinkConfig", exact
        MSCOM, // prefix
        TEMP_CTL, // prefix
        WEIGT, // prefix
        Factory_WEIGT, // prefix
        MQTT, // prefix
        PARAM_IOLink, // prefix
        DATA_IOLink, // prefix
        INFO_IOLink, // prefix
        KindCount,
        None = -1
    };

    using Maker = std::function<menubase *()>;
    // Copies the owner's row, input and output limits into a gateway page.
    using LimitSetter = std::function<void(menubase *, int maxSlots, int maxInput, int maxOutput)>;

    // The kind a key makes; None when it makes no page.
    static Kind kindOf(const QString &key);

    static void registerPage(Kind kind, Maker maker, LimitSetter limits = LimitSetter());

    // Registers page class T (constructed with no parent). For the gateway kinds the factory copies
    // the owner's limits into T's Maxslotnum, Maxinputsize and Maxoutputsize fields.
    template <class T> static void registerPage(Kind kind)
    {
        LimitSetter limits;
        if constexpr (HasLimits<T>::value) {
            limits = [](menubase *page, int maxSlots, int in, int out) {
                T *p = static_cast<T *>(page);
                p->Maxslotnum = maxSlots;
                p->Maxinputsize = in;
                p->Maxoutputsize = out;
            };
        }
        registerPage(
            kind, [] { return static_cast<menubase *>(new T(nullptr)); }, limits);
    }

    static void unregisterPage(Kind kind);
    static bool isRegistered(Kind kind);

    // Makes and binds the page for key, or returns null when the key makes none.
    static menubase *create(const QString &key, modulebase *owner);

private:
    template <class T, class = void> struct HasLimits : std::false_type
    {
    };
    template <class T>
    struct HasLimits<T,
        std::void_t<decltype(std::declval<T &>().Maxslotnum = 0), decltype(std::declval<T &>().Maxinputsize = 0),
            decltype(std::declval<T &>().Maxoutputsize = 0)>> : std::true_type
    {
    };
};

#endif
