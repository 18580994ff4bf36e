#ifndef MODULEDESCRIPTION_H
#define MODULEDESCRIPTION_H

#include "moduledata.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

// What a family's ModuleParameter.xml says about one type, read without building any object,
// so the reader can be tested and fuzzed on its own.
class ModuleDescription
{
public:
    enum Status { Ok, Unreadable, NotWellFormed, TypeNotFound };

    struct Param
    {
        QString ParameterName;
        QString DataType;
        int min = 0;
        int max = 0;
        int DefaultValue = 0;
        QString ValueItemTarget;
        QList<QPair<QString, int>> valueItems; // (TextId, value) in file order
    };

    // Reads the type called name from the bytes of a description file.
    static ModuleDescription parse(const QByteArray &xml, const QString &name);
    // The same from a file; Unreadable when it cannot be opened.
    static ModuleDescription read(const QString &path, const QString &name);

    // Decimal integer of text, 0 when it is not one.
    static int toDecimal(const QString &text);

    Status status = Unreadable;
    bool hasPixmap = false;
    QString pixmapFile;
    QString text;
    QString showName; // empty when the description gives none
    std::optional<int> maxSlotNum;
    std::optional<int> maxInputSize;
    std::optional<int> maxOutputSize;
    std::optional<int> paramLen; // never negative
    QList<moduleData> dataItems;
    QList<Param> params;
    QStringList menuKeys;
};

#endif
