#include "projectfile.h"

#include <QDomDocument>
#include <QDomElement>
#include <QLocale>
#include <QSaveFile>

namespace ProjectFile {

const char *const makerAddress = "https://de-rivudo.example.org";

namespace {

const char *const rootTemplate = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                                 "<root_info value = \"%3\">\n"
                                 "   %1\n"
                                 "   <modulelist>\n"
                                 "   %2\n"
                                 "   </modulelist>\n"
                                 "</root_info>";

const char *const fileInfoTemplate = "   <fileinfo   producer = \"%1\"  modfiydate =  \"%2\">\n"
                                     "       <Text>%3</Text>\n"
                                     "   </fileinfo>";

const char *const moduleTemplate = "<module name=\"%1\" mac=\"%2\" ip=\"%3\" mask=\"%4\" gateway=\"%5\" inlen=\"%6\"  "
                                   "outlen=\"%7\" Paralen=\"%8\" softwareVer=\"%9\" backbusVer=\"%10\" "
                                   "subnum=\"%11\">\n";

const char *const submoduleTemplate = "              <submodule name=\"%1\" slot=\"%2\" softwareVer=\"%3\"/>\n";

bool allowedInXml(uint c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

QString escape(const QString &text, bool attribute)
{
    QString out;
    out.reserve(text.size() + 8);
    const int n = text.size();
    for (int i = 0; i < n; ++i) {
        const QChar ch = text.at(i);
        uint code = ch.unicode();
        if (ch.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            out += ch;
            out += text.at(++i);
            continue;
        }
        if (ch.isSurrogate() || !allowedInXml(code))
            continue;
        switch (code) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            if (attribute)
                out += QLatin1String("&quot;");
            else
                out += ch;
            break;
        default:
            out += ch;
        }
    }
    return out;
}

QString attr(const QDomElement &e, const char *name)
{
    return e.attribute(QLatin1String(name)).simplified();
}

ModuleRecord readModule(const QDomElement &e)
{
    ModuleRecord m;
    m.name = attr(e, "name");
    m.mac = attr(e, "mac");
    m.ip = attr(e, "ip");
    m.mask = attr(e, "mask");
    m.gateway = attr(e, "gateway");
    m.inlen = attr(e, "inlen");
    m.outlen = attr(e, "outlen");
    m.Paralen = attr(e, "Paralen");
    m.softwareVer = attr(e, "softwareVer");
    m.backbusVer = attr(e, "backbusVer");
    m.subnum = attr(e, "subnum").toInt();

    QDomNode child = e.firstChild();
    if (child.nodeName() == QLatin1String("submodulelist")) {
        // Fewer elements than the stored count keeps the ones present.
        QDomElement s = child.firstChildElement();
        for (int i = 0; i < m.subnum && !s.isNull(); ++i, s = s.nextSiblingElement()) {
            SubmoduleRecord sub;
            sub.name = attr(s, "name");
            sub.slot = attr(s, "slot");
            sub.softwareVer = attr(s, "softwareVer");
            m.submodules.append(sub);
        }
        child = child.nextSibling();
    }
    m.hasParameters = child.nodeName() == QLatin1String("Parameters");
    if (m.hasParameters)
        m.parameters = parseHexParameters(attr(child.toElement(), "data"));
    return m;
}

} // namespace

QString fillTemplate(const QString &tmpl, const QStringList &values)
{
    QString out;
    out.reserve(tmpl.size() + 64);
    const int n = tmpl.size();
    const int count = values.size();
    int i = 0;
    while (i < n) {
        const QChar ch = tmpl.at(i);
        if (ch == QLatin1Char('%') && i + 1 < n && tmpl.at(i + 1).isDigit()) {
            int number = tmpl.at(i + 1).digitValue();
            int used = 2;
            if (i + 2 < n && tmpl.at(i + 2).isDigit()) {
                const int two = number * 10 + tmpl.at(i + 2).digitValue();
                if (two <= count) {
                    number = two;
                    used = 3;
                }
            }
            if (number >= 1 && number <= count) {
                out += values.at(number - 1);
                i += used;
                continue;
            }
        }
        out += ch;
        ++i;
    }
    return out;
}

QString escapeText(const QString &text)
{
    return escape(text, false);
}

QString escapeAttribute(const QString &text)
{
    return escape(text, true);
}

QString hexParameters(const QByteArray &bytes)
{
    static const char digits[] = "0123456789abcdef";
    QString out;
    out.resize(bytes.size() * 3);
    QChar *p = out.data();
    for (const char c : bytes) {
        const uchar b = uchar(c);
        *p++ = QLatin1Char(digits[b >> 4]);
        *p++ = QLatin1Char(digits[b & 0xf]);
        *p++ = QLatin1Char(' ');
    }
    return out;
}

QByteArray parseHexParameters(const QString &data)
{
    const QString text = data.simplified();
    QByteArray bytes;
    // An empty text means a module without parameter bytes, not one zero byte.
    if (text.isEmpty())
        return bytes;
    const QVector<QStringRef> parts = text.splitRef(QLatin1Char(' '), Qt::KeepEmptyParts);
    bytes.reserve(parts.size());
    for (const QStringRef &part : parts) {
        bool ok = false;
        const ushort value = part.toUShort(&ok, 16);
        bytes.append(char(ok ? value & 0xff : 0));
    }
    return bytes;
}

QString saveTimeText(const QDateTime &time)
{
    return QLocale::system().toString(time, QStringLiteral("yyyy.MM.dd hh:mm:ss.zzz ddd"));
}

QString submoduleXml(const SubmoduleRecord &sub)
{
    return fillTemplate(QLatin1String(submoduleTemplate),
                        { escapeAttribute(sub.name), escapeAttribute(sub.slot), escapeAttribute(sub.softwareVer) });
}

QString moduleXml(const ModuleRecord &m)
{
    auto value = [](const QString &s) { return escapeAttribute(s.simplified()); };
    QString out = fillTemplate(QLatin1String(moduleTemplate),
                               { value(m.name), value(m.mac), value(m.ip), value(m.mask), value(m.gateway),
                                 value(m.inlen), value(m.outlen), value(m.Paralen), value(m.softwareVer),
                                 value(m.backbusVer), QString::number(m.subnum) });
    if (!m.submodules.isEmpty()) {
        out += QLatin1String("       <submodulelist>\n");
        for (const SubmoduleRecord &sub : m.submodules)
            out += submoduleXml(sub);
        out += QLatin1String("       </submodulelist>\n");
    }
    out += QLatin1String("       <Parameters data = \"");
    out += hexParameters(m.parameters);
    out += QLatin1String("\"/>\n    </module>");
    return out;
}

QString fileInfoXml(const QString &producer, const QString &saveTime, const QString &description)
{
    return fillTemplate(QLatin1String(fileInfoTemplate),
                        { escapeAttribute(producer), escapeAttribute(saveTime), escapeText(description) });
}

QString documentXml(const QString &fileInfo, const QString &moduleText)
{
    return fillTemplate(QLatin1String(rootTemplate), { fileInfo, moduleText, QLatin1String(makerAddress) });
}

bool writeFile(const QString &path, const QString &text, QString *error)
{
    QSaveFile file(path);
    // Unbuffered: a buffered flush that the disk cuts short is not reported by Qt, and the
    // short file would replace the old one.
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Unbuffered);
    if (ok) {
        const QByteArray bytes = text.toUtf8();
        ok = file.write(bytes) == bytes.size();
        ok = ok ? file.commit() : false;
    }
    if (!ok) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
    }
    return ok;
}

bool readBounded(QIODevice &device, QByteArray *data)
{
    data->clear();
    if (!device.isSequential()) {
        if (device.size() > maxFileSize)
            return false;
        *data = device.readAll();
    } else {
        while (data->size() <= maxFileSize) {
            const QByteArray chunk = device.read(64 * 1024);
            if (chunk.isEmpty())
                break;
            data->append(chunk);
        }
    }
    if (data->size() > maxFileSize) {
        data->clear();
        return false;
    }
    return true;
}

ReadResult read(const QByteArray &data)
{
    ReadResult result;
    QDomDocument doc;
    QString message;
    int line = 0;
    int column = 0;
    if (!doc.setContent(data, false, &message, &line, &column)) {
        result.error = QStringLiteral("%1 (%2:%3)").arg(message).arg(line).arg(column);
        return result;
    }
    const QDomElement root = doc.documentElement();
    for (QDomNode n = root.firstChild(); !n.isNull(); n = n.nextSibling()) {
        const QString name = n.nodeName();
        if (name == QLatin1String("fileinfo")) {
            Section s;
            s.kind = Section::Info;
            const QDomElement e = n.toElement();
            s.info.producer = attr(e, "producer");
            s.info.modfiydate = attr(e, "modfiydate");
            const QDomNode first = e.firstChild();
            if (first.isElement())
                s.info.text = first.toElement().text();
            result.sections.append(s);
        } else if (name == QLatin1String("modulelist")) {
            Section s;
            s.kind = Section::Modules;
            for (QDomNode m = n.firstChild(); !m.isNull(); m = m.nextSibling()) {
                if (m.isElement())
                    s.modules.append(readModule(m.toElement()));
            }
            result.sections.append(s);
        }
    }
    result.ok = true;
    return result;
}

} // namespace ProjectFile
