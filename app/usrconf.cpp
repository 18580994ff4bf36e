#include "usrconf.h"

#include "apppaths.h"

#include <QSettings>

namespace UsrConf {

QString filePath()
{
    return AppPaths::path(QStringLiteral("/usrconf.ini"));
}

bool write(const QString &group, const QString &key, const QString &value)
{
    if (key.isEmpty())
        return false;
    QSettings settings(filePath(), QSettings::IniFormat);
    settings.beginGroup(group);
    settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool read(const QString &group, const QString &key, QString &value)
{
    value = QString();
    if (key.isEmpty())
        return false;
    QSettings settings(filePath(), QSettings::IniFormat);
    value = settings.value(group + QLatin1Char('/') + key).toString();
    return true;
}

int languageIndex(const QString &text)
{
    bool ok = false;
    const int index = text.trimmed().toInt(&ok, 10);
    return ok ? normalizedLanguage(index) : 0;
}

int normalizedLanguage(int index)
{
    return index == 1 ? 1 : 0;
}

} // namespace UsrConf
