#include "scanreply.h"

namespace {

// Field index as text up to its first NUL, less its first skip characters; empty when the
// reply has no such field.
QString field(const QList<QByteArray> &fields, int index, int skip)
{
    if (index < 0 || index >= fields.size())
        return QString();
    QByteArray bytes = fields.at(index);
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    return QString::fromUtf8(bytes).mid(skip);
}

int decimal(const QString &text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok, 10);
    return ok ? n : 0;
}

QString dotted(QString text)
{
    return text.replace(QLatin1Char(':'), QLatin1Char('.'));
}

} // namespace

ScanReply ScanReply::parse(const QByteArray &reply)
{
    ScanReply r;
    const QList<QByteArray> fields = reply.split('#');
    r.hasModuleType = field(fields, 0, 0).contains(QLatin1String("moduletype"));
    if (!r.hasModuleType)
        return r;
    r.typeName = field(fields, 0, 11);
    r.mac = field(fields, 1, 4);
    r.ip = dotted(field(fields, 2, 3));
    r.mask = dotted(field(fields, 3, 5));
    r.gateway = dotted(field(fields, 4, 8));
    r.inlen = field(fields, 5, 5);
    r.outlen = field(fields, 6, 5);
    r.Paralen = field(fields, 7, 5);
    r.softwareVer = field(fields, 8, 0);
    r.backbusVer = field(fields, 9, 0);
    r.subnum = decimal(field(fields, 10, 7));
    // The count is only as good as the pairs that follow it.
    for (int i = 0; i < r.subnum && 11 + 2 * i < fields.size(); ++i) {
        Sub sub;
        sub.slot = i + 1;
        sub.typeId = decimal(field(fields, 11 + 2 * i, 3));
        sub.softwareVer = field(fields, 12 + 2 * i, 0);
        r.subs.append(sub);
    }
    return r;
}
