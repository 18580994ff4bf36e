#include "iolinkparamtable.h"

#include "iolinkhexpairs.h"

#include <QFile>
#include <QStringList>

namespace {

// The trimmed text of a field; an empty one becomes "00", in the field as well.
QString filledIn(QString *field)
{
    QString text = field->trimmed();
    if (text.isEmpty()) {
        text = QStringLiteral("00");
        *field = text;
    }
    return text;
}

} // namespace

IoLinkParamRowError checkIoLinkParamRow(IoLinkParamTexts *texts, quint8 port, quint8 row, IoLinkParamRow *out)
{
    IoLinkParamRow record;
    record.port = port;
    record.row = row;

    bool ok = false;
    const quint32 index = filledIn(&texts->index).toUInt(&ok, 16);
    if (!ok)
        return IoLinkParamRowError::Index;
    record.index = quint16(index & 0xFFFF);

    const quint16 subIndex = filledIn(&texts->subIndex).toUShort(&ok, 16);
    if (!ok)
        return IoLinkParamRowError::SubIndex;
    record.subIndex = quint8(subIndex & 0xFF);

    const QString data = filledIn(&texts->data);
    if (!isHexPairText(data))
        return IoLinkParamRowError::DataFormat;
    if (hexPairCount(data) > IoLinkParamRow::dataSize)
        return IoLinkParamRowError::DataTooLong;
    record.data = hexPairBytes(data);

    if (out)
        *out = record;
    return IoLinkParamRowError::None;
}

QString ioLinkParamFileText(const QVector<IoLinkParamTexts> &rows)
{
    QString text;
    for (int i = 0; i < rows.size(); ++i) {
        const IoLinkParamTexts &r = rows.at(i);
        text += QString::number(i) + QLatin1Char('|') + r.index.trimmed() + QLatin1Char('|') + r.subIndex.trimmed()
            + QLatin1Char('|') + r.data.trimmed() + QLatin1Char('\n');
    }
    return text;
}

QVector<IoLinkParamTexts> ioLinkParamFromFileText(const QString &text)
{
    QVector<IoLinkParamTexts> rows(IoLinkParamRow::rows);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        // A file written on another platform may still carry its carriage returns.
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (!line.contains(QLatin1Char('|')))
            continue;
        const QStringList parts = line.split(QLatin1Char('|'));
        const uint row = parts.at(0).toUInt(nullptr, 10);
        if (row >= uint(IoLinkParamRow::rows))
            continue;
        IoLinkParamTexts &r = rows[int(row)];
        r.index = parts.at(1);
        if (parts.size() > 2)
            r.subIndex = parts.at(2);
        if (parts.size() > 3)
            r.data = parts.at(3);
    }
    return rows;
}

bool saveIoLinkParamFile(const QString &path, const QVector<IoLinkParamTexts> &rows)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Truncate))
        return false;
    file.write(ioLinkParamFileText(rows).toUtf8());
    file.close();
    return true;
}

bool loadIoLinkParamFile(const QString &path, QVector<IoLinkParamTexts> *rows)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    *rows = ioLinkParamFromFileText(QString::fromUtf8(file.readAll()));
    return true;
}
