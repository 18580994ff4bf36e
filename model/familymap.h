#ifndef FAMILYMAP_H
#define FAMILYMAP_H

#include <QByteArray>
#include <QMap>
#include <QString>

// Module or sub-module type name to the family folder that describes it (Devicestype.xml).
class FamilyMap : public QMap<QString, QString>
{
public:
    // The map that the bytes of a Devicestype.xml give; ok is false when they are not XML.
    static FamilyMap parse(const QByteArray &xml, bool *ok = nullptr);
    // Refills the map from the file beside the program; on a missing or broken file the map
    // keeps what it held and false is returned.
    bool read();
    bool readFile(const QString &path);
};

#endif
