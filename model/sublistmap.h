#ifndef SUBLISTMAP_H
#define SUBLISTMAP_H

#include <QByteArray>
#include <QMap>
#include <QString>

// Sub-module type id to sub-module type name (Sublistmap.map).
class SublistMap : public QMap<int, QString>
{
public:
    // The map that the bytes of a Sublistmap.map give (UTF-8 when valid, else GB18030).
    static SublistMap parse(const QByteArray &content);
    static QString decode(const QByteArray &content);
    // Refills the map from the file beside the program; when the file is missing the map keeps
    // what it held and false is returned (the caller tells the user).
    bool read();
    bool readFile(const QString &path);
};

#endif
