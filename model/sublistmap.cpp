#include "sublistmap.h"

#include "apppaths.h"

#include <QFile>
#include <QStringList>
#include <QTextCodec>

QString SublistMap::decode(const QByteArray &content)
{
    QTextCodec::ConverterState state;
    QTextCodec *utf8 = QTextCodec::codecForName("UTF-8");
    const QString text = utf8->toUnicode(content.constData(), content.size(), &state);
    if (state.invalidChars == 0)
        return text;
    if (QTextCodec *gb = QTextCodec::codecForName("GB18030"))
        return gb->toUnicode(content);
    return QString::fromLocal8Bit(content);
}

SublistMap SublistMap::parse(const QByteArray &content)
{
    SublistMap map;
    const QStringList entries = decode(content).simplified().split(QLatin1Char(','));
    for (QString entry : entries) {
        if (entry.size() <= 10)
            continue;
        entry.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
        const QStringList parts = entry.split(QLatin1Char(':'));
        // An entry without a name is not an entry.
        if (parts.size() < 2)
            continue;
        bool ok = false;
        const int id = parts.at(0).trimmed().toInt(&ok, 10);
        map.insert(ok ? id : 0, parts.at(1));
    }
    return map;
}

bool SublistMap::read()
{
    return readFile(AppPaths::find(QStringLiteral("/ModuleParameter/Sublistmap.map")));
}

bool SublistMap::readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *this = parse(file.readAll());
    return true;
}
