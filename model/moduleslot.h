#ifndef MODULESLOT_H
#define MODULESLOT_H

#include <QList>
#include <QObject>
#include <QString>

// One remote module (or a sub-module inside one) of the remote I/O link page and its
// catalogue. A record does not own its children.
class moduleslot : public QObject
{
    Q_OBJECT
public:
    explicit moduleslot(QString name);
    // Copies the catalogue facts of other; placement, limits and children start afresh.
    explicit moduleslot(moduleslot *other);

    moduleslot *findSubmodule(QString name) const;

    QString name;
    int typeId = 0;
    QString Text;
    QString Pixmap;
    QString Family;
    QString gsdId;
    QString textId;
    QString nameText;
    int Inputsize = 0;
    int Outputsize = 0;
    int Scantime = 10;
    int Maxslotnum = 255;
    int Maxinputsize = 255;
    int Maxoutputsize = 255;
    moduleslot *parent = nullptr;
    QList<moduleslot *> children;
    int slot = 0;
    int subSlot = 0;
    QString ip;
    bool modified = false;
    bool removed = false;
};

#endif
