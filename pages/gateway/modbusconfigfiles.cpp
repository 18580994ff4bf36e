#include "modbusconfigfiles.h"

#include "prompts.h"
#include "xlsxsheet.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

QString ModbusConfigFiles::desktop()
{
    return Prompts::defaultFolder();
}

bool ModbusConfigFiles::copyFile(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return false;
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

void ModbusConfigFiles::copyTemplate(
    const char *context, const QString &templatePath, const QString &defaultName, const QString &filter)
{
    const QString caption = QCoreApplication::translate(context, "选择文件");
    const QString target = Prompts::getSaveFileName(nullptr, caption, desktop() + "/" + defaultName, filter);
    if (target.isEmpty())
        return;
    const QString error = QCoreApplication::translate(context, "错误");
    if (!QFileInfo::exists(templatePath)) {
        Prompts::warning(nullptr, error, QCoreApplication::translate(context, "模板文件丢失，创建文件失败"));
        return;
    }
    if (!copyFile(templatePath, target))
        Prompts::warning(nullptr, error, QCoreApplication::translate(context, "创建文件失败"));
}

bool ModbusConfigFiles::chooseWorkbook(const char *context, const QString &filter, XlsxSheet *sheet)
{
    const QString path
        = Prompts::getOpenFileName(nullptr, QCoreApplication::translate(context, "选择文件"), desktop(), filter);
    if (path.isEmpty())
        return false;
    if (sheet->load(path))
        return true;
    warnUnreadable(context);
    return false;
}

void ModbusConfigFiles::warnUnreadable(const char *context)
{
    Prompts::warning(nullptr, QCoreApplication::translate(context, "错误"),
        QCoreApplication::translate(context, "Excel文件无法读取，表格未改变"));
}

void ModbusConfigFiles::warnNoRows(const char *context)
{
    Prompts::warning(nullptr, QCoreApplication::translate(context, "错误"),
        QCoreApplication::translate(context, "Excel文件中没有可导入的行，表格未改变"));
}

uint ModbusConfigFiles::number(const QString &text)
{
    bool ok = false;
    const uint value = text.trimmed().toUInt(&ok, 10);
    if (ok)
        return value;
    // A number cell written as a float ("12.0") still reads as its whole value.
    const double d = text.trimmed().toDouble(&ok);
    if (ok && d >= 0 && d <= 4294967295.0 && d == qint64(d))
        return uint(d);
    return 0;
}
