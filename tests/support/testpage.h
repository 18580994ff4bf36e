#ifndef TESTPAGE_H
#define TESTPAGE_H

#include "menubase.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QStringList>

// What a test page does, chosen by its owner's type name and its place among the owner's pages.
struct TestPageSpec
{
    int take = 0; // bytes setParamData reports
    QByteArray out; // getParamData
    int inputSize = 0;
    int outputSize = 0;
    QList<moduleslot *> slotRecords;
};

// A page that does what its TestPageSpec asks and logs every call as "<owner>/<index>:<operation>".
class TestPage : public menubase
{
public:
    explicit TestPage(QWidget *parent = nullptr);
    ~TestPage() override;

    // Registers TestPage for every page kind; gateway kinds get TestGatewayPage.
    static void install();
    static void clear();
    static QHash<QString, QList<TestPageSpec>> &specs();
    static QStringList &log();
    static int alive();

    int attachModule(modulebase *owner) override;
    QByteArray getParamData() override;
    int setParamData(QByteArray data) override;
    void restoreDefaults(bool showInWidgets) override;
    void updatePage() override;
    void resetPage() override;
    void retranslate(int language) override;
    int inputSize() override;
    int outputSize() override;
    QList<moduleslot *> getSlotList() override;

    TestPageSpec spec;
    QString tag;
    QList<QByteArray> received;
};

class TestGatewayPage : public TestPage
{
public:
    explicit TestGatewayPage(QWidget *parent = nullptr)
        : TestPage(parent)
    {
    }
    int Maxslotnum = -1;
    int Maxinputsize = -1;
    int Maxoutputsize = -1;
};

#endif
