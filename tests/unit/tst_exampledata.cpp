#include "familymap.h"
#include "modulebase.h"
#include "moduleprms.h"
#include "sublistmap.h"
#include "tempappdir.h"
#include "testsupport.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QRegularExpression>
#include <QSet>

// The example description set shipped in data/ModuleParameter is what the program shows out of
// the box and what many tests build modules from: it must stay well-formed and self-consistent.
class TestExampleData : public QObject
{
    Q_OBJECT

    struct Description
    {
        QDomElement module;
        QDomNode lists;
    };

    static QString dir() { return TestSupport::sourceDataDir() + "/ModuleParameter"; }

    static bool parse(const QString &path, QDomDocument &doc, QString *why)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            *why = path + ": cannot open";
            return false;
        }
        QString error;
        int line = 0;
        if (!doc.setContent(&file, &error, &line)) {
            *why = QString("%1:%2: %3").arg(path).arg(line).arg(error);
            return false;
        }
        return true;
    }

    // Readers walk by position: the first child of the root must be the module list (a comment
    // there would hide every type).
    static QMap<QString, QDomElement> modulesOf(const QDomDocument &doc)
    {
        QMap<QString, QDomElement> result;
        for (QDomNode n = doc.documentElement().firstChild().firstChild(); !n.isNull(); n = n.nextSibling())
            result.insert(n.toElement().attribute("ModuleName").simplified(), n.toElement());
        return result;
    }

    static QDomElement childByTag(const QDomElement &e, const QString &tag)
    {
        for (QDomNode n = e.firstChild(); !n.isNull(); n = n.nextSibling())
            if (n.isElement() && n.toElement().tagName() == tag)
                return n.toElement();
        return {};
    }

    static QMap<QString, QString> familyMap()
    {
        QMap<QString, QString> map;
        QDomDocument doc;
        QString why;
        if (!parse(dir() + "/Devicestype.xml", doc, &why))
            return map;
        for (QDomNode g = doc.documentElement().firstChild(); !g.isNull(); g = g.nextSibling()) {
            const QString family = g.toElement().attribute("Family").simplified();
            for (QDomNode t = g.firstChild(); !t.isNull(); t = t.nextSibling())
                if (!family.isEmpty() && !t.toElement().text().simplified().isEmpty())
                    map.insert(t.toElement().text().simplified(), family);
        }
        return map;
    }

    static int widthOf(const QString &dataType)
    {
        static const QMap<QString, int> widths { { "Unsigned8", 1 }, { "signed8", 1 }, { "Unsigned16", 2 },
            { "Integer16", 2 }, { "Unsigned32", 4 }, { "Integer32", 4 } };
        return widths.value(dataType, -1);
    }

    static QList<QPair<QString, int>> valueItems(const QDomNode &lists, const QString &id)
    {
        QList<QPair<QString, int>> items;
        for (QDomNode l = lists.firstChild(); !l.isNull(); l = l.nextSibling()) {
            if (l.toElement().attribute("ID").simplified() != id)
                continue;
            for (QDomNode i = l.firstChild(); !i.isNull(); i = i.nextSibling())
                items.append(
                    { i.toElement().attribute("TextId").simplified(), i.toElement().attribute("Content").toInt() });
        }
        return items;
    }

private slots:
    void everyXmlFileIsWellFormed()
    {
        QDir base(dir());
        QStringList files { "Devicestype.xml" };
        for (const QString &family : base.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            for (const QString &f : QDir(base.filePath(family)).entryList({ "*.xml" }, QDir::Files))
                files << family + "/" + f;
        QVERIFY(files.size() > 10);
        for (const QString &f : files) {
            QDomDocument doc;
            QString why;
            QVERIFY2(parse(base.filePath(f), doc, &why), qPrintable(why));
            QVERIFY2(doc.documentElement().firstChild().isElement(), qPrintable(f));
        }
    }

    void familiesHaveTheirFiles()
    {
        const auto families = familyMap();
        QVERIFY(families.size() >= 10);
        QVERIFY(families.values().contains("KTL"));
        for (auto it = families.cbegin(); it != families.cend(); ++it) {
            for (const char *file : { "ModuleParameter.xml", "ModuleParameter_zh.xml", "ModuleParameter_en.xml" }) {
                const QString path = dir() + "/" + it.value() + "/" + file;
                QVERIFY2(QFile::exists(path), qPrintable(path));
            }
            QDomDocument doc;
            QString why;
            QVERIFY2(parse(dir() + "/" + it.value() + "/ModuleParameter.xml", doc, &why), qPrintable(why));
            QVERIFY2(modulesOf(doc).contains(it.key()), qPrintable(it.key() + " has no description"));
        }
    }

    void sublistMapNamesAreDescribed()
    {
        QFile file(dir() + "/Sublistmap.map");
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList entries = QString::fromLocal8Bit(file.readAll()).simplified().split(',');
        const auto families = familyMap();
        QSet<int> ids;
        for (const QString &entry : entries) {
            // The reader skips entries of 10 characters or fewer without a word.
            QVERIFY2(entry.size() > 10, qPrintable(entry));
            QString body = entry;
            body.remove('[').remove(']');
            const QStringList parts = body.split(':');
            QCOMPARE(parts.size(), 2);
            bool ok = false;
            const int id = parts[0].trimmed().toInt(&ok);
            QVERIFY2(ok && !ids.contains(id), qPrintable(entry));
            ids.insert(id);
            QVERIFY2(families.contains(parts[1]), qPrintable(parts[1] + " is not in Devicestype.xml"));
        }
        QVERIFY(ids.size() >= 6);
    }

    void descriptionsAreConsistent_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("family");
        const auto families = familyMap();
        for (auto it = families.cbegin(); it != families.cend(); ++it)
            QTest::newRow(qPrintable(it.key())) << it.key() << it.value();
    }

    void descriptionsAreConsistent()
    {
        QFETCH(QString, type);
        QFETCH(QString, family);
        QDomDocument doc;
        QString why;
        QVERIFY2(parse(dir() + "/" + family + "/ModuleParameter.xml", doc, &why), qPrintable(why));
        const QDomElement module = modulesOf(doc).value(type);
        const QDomNode lists = doc.documentElement().firstChild().nextSibling();

        const QString pixmap = dir() + "/" + family + "/" + module.attribute("Pixmap").simplified();
        QVERIFY2(!QImage(pixmap).isNull(), qPrintable(pixmap));
        QVERIFY(!module.attribute("Text").simplified().isEmpty());

        const QDomElement param = childByTag(module, "Param");
        QVERIFY2(!param.isNull(), "every type carries a Param element with Len");
        int width = 0;
        for (QDomNode n = param.firstChild(); !n.isNull(); n = n.nextSibling()) {
            const QDomElement p = n.toElement();
            const QString name = p.attribute("ParameterName");
            const int w = widthOf(p.attribute("DataType"));
            QVERIFY2(w > 0, qPrintable(name + ": " + p.attribute("DataType")));
            width += w;
            const QStringList range = p.attribute("AllowedValues").split("..");
            QCOMPARE(range.size(), 2);
            bool okMin = false, okMax = false, okDefault = false;
            const int min = range[0].toInt(&okMin), max = range[1].toInt(&okMax);
            const int def = p.attribute("DefaultValue").toInt(&okDefault);
            QVERIFY2(okMin && okMax && okDefault && min <= def && def <= max, qPrintable(name));
            const QString target = p.attribute("ValueItemTarget");
            if (!target.isEmpty()) {
                const auto items = valueItems(lists, target);
                QVERIFY2(!items.isEmpty(), qPrintable(name + ": no list " + target));
                bool hasDefault = false;
                for (const auto &item : items) {
                    QVERIFY2(item.second >= min && item.second <= max, qPrintable(item.first));
                    hasDefault = hasDefault || item.second == def;
                }
                QVERIFY2(hasDefault, qPrintable(name + ": default has no item"));
            }
        }
        // The sub-module slices of the parameter bytes are cut by Len, so it must match the
        // General block exactly.
        QCOMPARE(param.attribute("Len").toInt(), width);

        const QDomElement menu = childByTag(module, "menu");
        QVERIFY(!menu.isNull());
        QVERIFY(menu.firstChild().isElement());
        for (QDomNode n = menu.firstChild(); !n.isNull(); n = n.nextSibling()) {
            const QString key = n.toElement().attribute("menuname");
            QVERIFY(!key.isEmpty());
            if (key == "IoutlinkConfig")
                QVERIFY(QFile::exists(dir() + "/" + family + "/" + type + "_Deviceslist.xml"));
        }

        for (QDomNode d = childByTag(module, "Data").firstChild(); !d.isNull(); d = d.nextSibling()) {
            const QDomElement item = d.toElement();
            QVERIFY(!item.attribute("Dataname").isEmpty());
            QVERIFY(item.attribute("DIR") == "Input" || item.attribute("DIR") == "Output");
            QVERIFY(item.attribute("BitLen").toInt() > 0);
        }

        for (const char *lang : { "zh", "en" }) {
            QDomDocument tr;
            QVERIFY2(parse(dir() + "/" + family + "/ModuleParameter_" + lang + ".xml", tr, &why), qPrintable(why));
            const QDomElement t = modulesOf(tr).value(type);
            QVERIFY2(!t.isNull(), qPrintable(QString("%1 missing in %2").arg(type, lang)));
            QVERIFY(!childByTag(t, "Text").firstChildElement().attribute("translation").isEmpty());
            QMap<QString, QString> names;
            for (QDomNode n = childByTag(t, "Param").firstChild(); !n.isNull(); n = n.nextSibling())
                names.insert(n.toElement().attribute("SRC_Text"), n.toElement().attribute("translation"));
            const QDomNode trLists = tr.documentElement().firstChild().nextSibling();
            for (QDomNode n = param.firstChild(); !n.isNull(); n = n.nextSibling()) {
                const QDomElement p = n.toElement();
                QVERIFY2(!names.value(p.attribute("ParameterName")).isEmpty(),
                    qPrintable(QString("%1: %2 untranslated").arg(lang, p.attribute("ParameterName"))));
                const QString target = p.attribute("ValueItemTarget");
                if (target.isEmpty())
                    continue;
                QSet<QString> translated;
                for (QDomNode l = trLists.firstChild(); !l.isNull(); l = l.nextSibling())
                    if (l.toElement().attribute("ID").simplified() == target)
                        for (QDomNode i = l.firstChild(); !i.isNull(); i = i.nextSibling())
                            if (!i.toElement().attribute("translation").simplified().isEmpty())
                                translated.insert(i.toElement().attribute("TextId").simplified());
                for (const auto &item : valueItems(lists, target))
                    QVERIFY2(translated.contains(item.first), qPrintable(QString("%1: %2").arg(lang, item.first)));
            }
        }
    }

    void setCoversEveryPageKeyAndDataType()
    {
        const QStringList exact { "General", "I/O", "ModbusMonitor", "ModbusConfig", "EcatModbusConfig",
            "IoutlinkConfig" };
        const QStringList prefixes { "MSCOM", "TEMP_CTL", "WEIGT", "Factory_WEIGT", "MQTT", "PARAM_IOLink",
            "DATA_IOLink", "INFO_IOLink" };
        QSet<QString> keysSeen, typesSeen;
        const auto families = familyMap();
        for (auto it = families.cbegin(); it != families.cend(); ++it) {
            QDomDocument doc;
            QString why;
            QVERIFY(parse(dir() + "/" + it.value() + "/ModuleParameter.xml", doc, &why));
            const QDomElement module = modulesOf(doc).value(it.key());
            for (QDomNode n = childByTag(module, "menu").firstChild(); !n.isNull(); n = n.nextSibling()) {
                const QString key = n.toElement().attribute("menuname");
                if (exact.contains(key))
                    keysSeen.insert(key);
                for (const QString &p : prefixes)
                    if (key.startsWith(p))
                        keysSeen.insert(p);
            }
            for (QDomNode n = childByTag(module, "Param").firstChild(); !n.isNull(); n = n.nextSibling())
                typesSeen.insert(n.toElement().attribute("DataType"));
        }
        for (const QString &k : exact + prefixes)
            QVERIFY2(keysSeen.contains(k), qPrintable(k));
        for (const char *t : { "Unsigned8", "signed8", "Unsigned16", "Integer16", "Unsigned32", "Integer32" })
            QVERIFY2(typesSeen.contains(t), t);
    }

    void deviceListsNameDescribedTypes()
    {
        int lists = 0;
        QDir base(dir());
        for (const QString &family : base.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            for (const QString &f : QDir(base.filePath(family)).entryList({ "*_Deviceslist.xml" }, QDir::Files)) {
                ++lists;
                QDomDocument doc;
                QString why;
                QVERIFY2(parse(base.filePath(family + "/" + f), doc, &why), qPrintable(why));
                auto described = [&](const QString &name, const QString &fam) {
                    QDomDocument d;
                    QString w;
                    return parse(dir() + "/" + fam + "/ModuleParameter.xml", d, &w) && modulesOf(d).contains(name);
                };
                for (QDomNode m = doc.documentElement().firstChild(); !m.isNull(); m = m.nextSibling()) {
                    const QDomElement e = m.toElement();
                    QVERIFY2(described(e.attribute("Name"), e.attribute("Family")), qPrintable(e.attribute("Name")));
                    for (QDomNode s = m.firstChild(); !s.isNull(); s = s.nextSibling())
                        QVERIFY2(described(s.toElement().attribute("SubName"), s.toElement().attribute("Family")),
                            qPrintable(s.toElement().attribute("SubName")));
                }
            }
        }
        QVERIFY(lists >= 1);
    }

    // The program's own readers see the same set, and every text has a translation in both
    // languages.
    void programReadsTheSet()
    {
        TempAppDir app(true);
        FamilyMap families;
        QVERIFY(families.read());
        const QMap<QString, QString> &read = families;
        QCOMPARE(read, familyMap());
        SublistMap sublist;
        QVERIFY(sublist.read());
        QCOMPARE(sublist.size(), 8);
        for (const QString &name : sublist)
            QVERIFY2(families.contains(name), qPrintable(name));

        for (auto it = families.cbegin(); it != families.cend(); ++it) {
            modulebase type(it.key(), it.value());
            QVERIFY2(!type.menuList.isEmpty(), qPrintable(it.key()));
            QVERIFY(QFile::exists(type.Pixmap));
            QStringList english, chinese;
            for (int language : { 1, 0 }) {
                type.loadLanguage(language);
                QStringList &texts = language ? english : chinese;
                texts << type.Text;
                for (modulePrms *p : type.paramList) {
                    texts << p->text;
                    for (const auto &item : p->valueItems)
                        texts << item.first->text;
                }
            }
            QCOMPARE(english.size(), chinese.size());
            for (const QString &t : english)
                QVERIFY2(!t.isEmpty() && !t.contains(QRegularExpression("[\\x{4e00}-\\x{9fff}]")),
                    qPrintable(it.key() + ": " + t));
            QCOMPARE(chinese.first(), type.Text);
        }
    }
};

RIVUDO_TEST_MAIN(TestExampleData)
#include "tst_exampledata.moc"
