#ifndef MODULEBASE_H
#define MODULEBASE_H

#include "moduledata.h"

#include <QDomNode>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "valueitem.h"

class menubase;
class modulePrms;
class moduleslot;

// What the description says about one module or sub-module type, plus what the scan adds.
// It owns its parameters, data items and pages.
class modulebase
{
public:
    enum CONNEST_TYPE { CONNEST_NET = 0, CONNEST_COM = 1, CONNEST_NONE = 255 };

    modulebase(QString name, QString family);
    virtual ~modulebase();
    modulebase(const modulebase &) = delete;
    modulebase &operator=(const modulebase &) = delete;

    // The value items of list target among the children of lists, in file order.
    ValueItemList readValueItems(QDomNode lists, QString target);
    // The last parameter called name; null when none is.
    modulePrms *findParam(QString name) const;
    // Replaces the shown texts from the translation file of language (1 English, else Chinese).
    void loadLanguage(int language);
    // pageList without the pages that were destroyed elsewhere (with the tab widget showing them).
    QList<menubase *> livePages();

    int kind = 0;
    CONNEST_TYPE connType = CONNEST_NONE;
    QString name;
    QString ModuleShowName;
    QString Text;
    QString Family;
    QString Pixmap;
    QList<modulePrms *> paramList;
    QList<moduleslot *> slotList;
    QStringList menuList;
    QList<menubase *> pageList;
    QList<moduleData *> dataList;
    int paramLen = 0;
    int Maxslotnum = 0;
    int Maxinputsize = 0;
    int Maxoutputsize = 0;
    int typeId = -1;
    QString mac;
    QString ipAddress;
    QString comstr;
    int language = 255;
    QString xmlPath;

protected:
    void loadDescription();
    void createPages();

private:
    // Pages may die with the tab widget that shows them; only the living ones are deleted.
    QList<QPointer<menubase>> m_ownedPages;
};

#endif
