#include "testpage.h"

#include "modulebase.h"
#include "pagefactory.h"

namespace {
int g_alive = 0;
}

TestPage::TestPage(QWidget *parent)
    : menubase(parent)
{
    ++g_alive;
}

TestPage::~TestPage()
{
    --g_alive;
}

void TestPage::install()
{
    for (int kind = 0; kind < PageFactory::KindCount; ++kind) {
        const auto k = PageFactory::Kind(kind);
        if (k == PageFactory::ModbusConfig || k == PageFactory::EcatModbusConfig || k == PageFactory::MSCOM)
            PageFactory::registerPage<TestGatewayPage>(k);
        else
            PageFactory::registerPage<TestPage>(k);
    }
}

void TestPage::clear()
{
    specs().clear();
    log().clear();
}

QHash<QString, QList<TestPageSpec>> &TestPage::specs()
{
    static QHash<QString, QList<TestPageSpec>> s;
    return s;
}

QStringList &TestPage::log()
{
    static QStringList l;
    return l;
}

int TestPage::alive()
{
    return g_alive;
}

int TestPage::attachModule(modulebase *owner)
{
    menubase::attachModule(owner);
    const int index = owner ? owner->pageList.size() : 0;
    tag = QStringLiteral("%1/%2").arg(owner ? owner->name : QString()).arg(index);
    const QList<TestPageSpec> list = specs().value(owner ? owner->name : QString());
    if (index < list.size())
        spec = list.at(index);
    log().append(tag + ":attach");
    return 0;
}

QByteArray TestPage::getParamData()
{
    return spec.out;
}

int TestPage::setParamData(QByteArray data)
{
    received.append(data);
    log().append(tag + ":set:" + data.toHex());
    return spec.take;
}

void TestPage::restoreDefaults(bool showInWidgets)
{
    log().append(tag + (showInWidgets ? ":restore:shown" : ":restore"));
}

void TestPage::updatePage()
{
    log().append(tag + ":update");
}

void TestPage::resetPage()
{
    log().append(tag + ":reset");
}

void TestPage::retranslate(int language)
{
    log().append(tag + ":retranslate:" + QString::number(language));
}

int TestPage::inputSize()
{
    return spec.inputSize;
}

int TestPage::outputSize()
{
    return spec.outputSize;
}

QList<moduleslot *> TestPage::getSlotList()
{
    return spec.slotRecords;
}
