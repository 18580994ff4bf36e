#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include <QApplication>
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

class IPAddress;

namespace TestSupport {

// Runs once before the tests: makes sure the loopback guard is loaded (re-executing the test
// with it when started by hand), registers the resources and keeps the protocol endpoints on
// loopback.
void init(int argc, char **argv);

// True when the loopback guard is active in this process.
bool loopGuardActive();

// The repository's own data/ folder, for tests that read the example description set.
QString sourceDataDir();

// A free TCP (and UDP) port on 127.0.0.1, kept from every other test process while this one runs.
quint16 freePort();

// Moves every endpoint to free ports and the broadcast to 127.255.255.255 so nothing leaves
// the machine and test runs do not collide.
void useLoopbackEndpoints();

// The named child of parent; a missing one ends the test at once, since every later step
// would only fail more obscurely.
template <class T> T *child(QObject *parent, const char *name)
{
    T *c = parent->findChild<T *>(QString::fromLatin1(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}

// Types an address into the four fields of an address entry, as a person does.
void typeAddress(IPAddress *entry, const QString &address);

// Shows window as the active one and gives field the focus; false when either does not happen.
bool focusInActiveWindow(QWidget *window, QWidget *field);
// What a person does in a table's field: "down" steps it with the arrow key, anything else
// replaces a number box's text by typing it.
void typeKeys(QWidget *field, const QString &keys);

// Installs a compiled translation for the life of the object (none for an empty name).
class Language
{
public:
    explicit Language(const QString &qm)
    {
        if (!qm.isEmpty() && m_translator.load(qm))
            QCoreApplication::installTranslator(&m_translator);
    }
    ~Language() { QCoreApplication::removeTranslator(&m_translator); }
    Language(const Language &) = delete;
    Language &operator=(const Language &) = delete;

private:
    QTranslator m_translator;
};

} // namespace TestSupport

// Like QTEST_MAIN, with the guard, resources and loopback endpoints in place.
#define RIVUDO_TEST_MAIN(TestObject)                                                                                   \
    int main(int argc, char *argv[])                                                                                   \
    {                                                                                                                  \
        TestSupport::init(argc, argv);                                                                                 \
        QApplication app(argc, argv);                                                                                  \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                       \
        TestSupport::useLoopbackEndpoints();                                                                           \
        TestObject tc;                                                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&tc, argc, argv);                                                                          \
    }

#endif
