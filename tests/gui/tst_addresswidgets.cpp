#include "dhcpdialog.h"
#include "factorycodec.h"
#include "ipaddress.h"
#include "ipmodfiy_dialog.h"
#include "macdialog.h"
#include "module.h"
#include "mqtt_form.h"
#include "platformlists.h"
#include "restoresetdialog.h"
#include "scandialog.h"
#include "tempappdir.h"
#include "testsupport.h"
#include "textroom.h"
#include "ui_dhcpdialog.h"

#include <QAbstractItemView>
#include <QGroupBox>
#include <QHostAddress>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <functional>
#include <memory>

// A window with an entry between two plain line edits, so focus moves out of the entry can be
// seen landing on a neighbour.
template <typename Entry> struct EntryWindow
{
    QWidget window;
    QLineEdit *before;
    Entry *entry;
    QLineEdit *after;

    EntryWindow()
    {
        auto *layout = new QVBoxLayout(&window);
        before = new QLineEdit(&window);
        before->setObjectName("before");
        entry = new Entry(&window);
        after = new QLineEdit(&window);
        after->setObjectName("after");
        layout->addWidget(before);
        layout->addWidget(entry);
        layout->addWidget(after);
    }

    bool show()
    {
        window.show();
        QApplication::setActiveWindow(&window);
        return QTest::qWaitForWindowActive(&window);
    }

    QLineEdit *field(const char *name) const { return entry->template findChild<QLineEdit *>(name); }

    QString focusName() const
    {
        QWidget *w = QApplication::focusWidget();
        return w ? w->objectName() : QString();
    }

    // Types into whatever holds the focus, key by key, as a user would.
    void type(const QString &keys) const
    {
        for (const QChar c : keys) {
            QWidget *target = QApplication::focusWidget();
            if (c == QLatin1Char('<'))
                QTest::keyClick(target, Qt::Key_Backspace);
            else
                QTest::keyClick(target, c.toLatin1());
        }
    }
};

// A dialog holding address entries, by name: the scan dialog, the IP change dialog of mod, the
// DHCP dialog with two hosts, the MQTT page with its server entry shown, the factory tool with a
// module found.
std::unique_ptr<QWidget> addressDialog(const QString &dialog, module &mod)
{
    PlatformLists::setLocalAddresses({});
    PlatformLists::setSerialPorts({});
    mod.ip = "127.0.0.1";
    mod.mask = "255.255.255.0";
    mod.gateway = "127.0.0.254";
    std::unique_ptr<QWidget> window;
    if (dialog == "scan") {
        auto *scan = new SCANDialog;
        scan->setIPRange("127.0.0.1", "127.0.0.10");
        window.reset(scan);
    } else if (dialog == "ipchange") {
        window.reset(new IPModfiy_Dialog(&mod));
    } else if (dialog == "dhcp") {
        auto *dhcp = new dhcpDialog;
        dhcp->form()->AddmacButton->click();
        dhcp->form()->AddmacButton->click();
        window.reset(dhcp);
    } else if (dialog == "factory") {
        auto *factory = new RestoresetDialog;
        ModuleNetInfo found;
        found.typeName = QStringLiteral("abc_12");
        found.ip = { 127, 0, 0, 1 };
        found.mask = { 255, 255, 255, 0 };
        found.gateway = { 127, 0, 0, 254 };
        found.mac = { 0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e };
        factory->messageReceive(writeModuleNetInfo(found));
        window.reset(factory);
    } else {
        window.reset(new MQTT_Form);
        TestSupport::child<QGroupBox>(window.get(), "groupBox")->setChecked(true);
        TestSupport::child<IPAddress>(window.get(), "Service_IP")->setIP("192.168.1.10");
    }
    return window;
}

class TestAddressWidgets : public QObject
{
    Q_OBJECT
private slots:
    void ipTyping_data()
    {
        QTest::addColumn<QString>("keys"); // '<' stands for Backspace
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("ip");

        QTest::newRow("full octet moves on") << "192" << QStringList { "192", "", "", "" } << "txtIP2"
                                             << "192...";
        QTest::newRow("two digits stay") << "19" << QStringList { "19", "", "", "" } << "txtIP1"
                                         << "19...";
        QTest::newRow("099 cannot be typed") << "099" << QStringList { "09", "", "", "" } << "txtIP1"
                                             << "09...";
        QTest::newRow("256 cannot be typed") << "256" << QStringList { "25", "", "", "" } << "txtIP1"
                                             << "25...";
        QTest::newRow("dot in empty octet") << "." << QStringList { "", "", "", "" } << "txtIP2"
                                            << "";
        QTest::newRow("short octets with dots") << "10.0.0.1" << QStringList { "10", "0", "0", "1" } << "txtIP4"
                                                << "10.0.0.1";
        QTest::newRow("dotted address with full octets")
            << "192.168.1.10" << QStringList { "192", "168", "1", "10" } << "txtIP4"
            << "192.168.1.10";
        QTest::newRow("dot out of the last octet") << "1.2.3.4." << QStringList { "1", "2", "3", "4" } << "after"
                                                   << "1.2.3.4";
        QTest::newRow("full last octet leaves the widget")
            << "1.2.3.200" << QStringList { "1", "2", "3", "200" } << "after"
            << "1.2.3.200";
        QTest::newRow("backspace empties and moves back") << "1.2<" << QStringList { "1", "", "", "" } << "txtIP1"
                                                          << "1...";
        QTest::newRow("backspace in empty octet moves back") << "1.<" << QStringList { "1", "", "", "" } << "txtIP1"
                                                             << "1...";
        QTest::newRow("backspace in longer octet stays") << "12.34<" << QStringList { "12", "3", "", "" } << "txtIP2"
                                                         << "12.3..";
        QTest::newRow("backspace in first octet leaves backwards") << "1<" << QStringList { "", "", "", "" } << "before"
                                                                   << "...";
    }

    void ipTyping()
    {
        QFETCH(QString, keys);
        QFETCH(QStringList, fields);
        QFETCH(QString, focus);
        QFETCH(QString, ip);

        EntryWindow<IPAddress> w;
        QVERIFY(w.show());
        w.entry->setFocusFirst();
        QCOMPARE(w.focusName(), QString("txtIP1"));
        w.type(keys);

        const QStringList shown { w.field("txtIP1")->text(), w.field("txtIP2")->text(), w.field("txtIP3")->text(),
            w.field("txtIP4")->text() };
        QCOMPARE(shown, fields);
        QCOMPARE(w.focusName(), focus);
        QCOMPARE(w.entry->getIP(), ip);
        QCOMPARE(w.entry->property("ip").toString(), ip);
    }

    void ipMovesCountFromTheEnteredOctet_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<QString>("preset");
        QTest::newRow("click into a fresh widget") << int(Qt::MouseFocusReason) << QString();
        QTest::newRow("tab into a fresh widget") << int(Qt::TabFocusReason) << QString();
        // Setting 192.168.0.1 leaves the widget's own moves at the third octet.
        QTest::newRow("click into a filled widget") << int(Qt::MouseFocusReason) << "192.168.0.1";
        QTest::newRow("back-tab into a filled widget") << int(Qt::BacktabFocusReason) << "192.168.0.1";
    }

    void ipMovesCountFromTheEnteredOctet()
    {
        QFETCH(int, reason);
        QFETCH(QString, preset);
        EntryWindow<IPAddress> w;
        QVERIFY(w.show());
        w.entry->setIP(preset);
        w.field("txtIP2")->setFocus(Qt::FocusReason(reason));
        w.type(".");
        QCOMPARE(w.focusName(), QString("txtIP3"));
        w.type(".");
        QCOMPARE(w.focusName(), QString("txtIP4"));
        w.field("txtIP4")->setFocus(Qt::FocusReason(reason));
        w.type("<<");
        QCOMPARE(w.focusName(), QString("txtIP2"));
    }

    void ipOctetReachedByAMoveIsSelected()
    {
        EntryWindow<IPAddress> w;
        QVERIFY(w.show());
        w.entry->setIP("10.20.30.40");
        w.entry->setFocusFirst();
        w.field("txtIP1")->selectAll();
        w.type("192"); // full octet: moves on
        QCOMPARE(w.focusName(), QString("txtIP2"));
        QCOMPARE(w.field("txtIP2")->selectedText(), QString("20"));
        w.type("."); // confirms the move, keeps the selection
        QCOMPARE(w.field("txtIP2")->selectedText(), QString("20"));
        w.type("5.");
        QCOMPARE(w.focusName(), QString("txtIP3"));
        QCOMPARE(w.field("txtIP3")->selectedText(), QString("30"));
        // Backspace that moves back leaves the previous octet to be deleted from its end.
        w.type("<<");
        QCOMPARE(w.focusName(), QString("txtIP2"));
        QVERIFY(!w.field("txtIP2")->hasSelectedText());
        QCOMPARE(w.field("txtIP2")->cursorPosition(), 1);
        QCOMPARE(w.entry->getIP(), QString("192.5..40"));
    }

    // A person clicks (or tabs) into the first octet of a filled entry and types an address
    // key by key: the entry then holds exactly that address.
    void ipTypingOverAFilledWidget_data()
    {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<bool>("click");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("focus");

        QTest::newRow("scan start") << "127.0.0.1" << true << "127.0.0.5"
                                    << "txtIP4";
        QTest::newRow("short over full") << "192.168.0.1" << true << "10.1.2.3"
                                         << "txtIP4";
        QTest::newRow("full over short") << "10.0.0.1" << true << "192.168.100.200"
                                         << "after";
        QTest::newRow("same address") << "192.168.1.10" << true << "192.168.1.10"
                                      << "txtIP4";
        QTest::newRow("tabbed in") << "255.255.255.0" << false << "1.2.3.4"
                                   << "txtIP4";
        QTest::newRow("zeros") << "172.16.254.1" << true << "0.0.0.0"
                               << "txtIP4";
        QTest::newRow("fresh widget") << "" << true << "127.0.0.5"
                                      << "txtIP4";
    }

    void ipTypingOverAFilledWidget()
    {
        QFETCH(QString, preset);
        QFETCH(bool, click);
        QFETCH(QString, typed);
        QFETCH(QString, focus);

        EntryWindow<IPAddress> w;
        QVERIFY(w.show());
        w.entry->setIP(preset);
        if (click) {
            QTest::mouseClick(w.field("txtIP1"), Qt::LeftButton);
        } else {
            w.before->setFocus();
            QTest::keyClick(w.before, Qt::Key_Tab);
        }
        QCOMPARE(w.focusName(), QString("txtIP1"));
        w.type(typed);
        QCOMPARE(w.entry->getIP(), typed);
        QCOMPARE(w.focusName(), focus);
    }

    void ipDragSelectionIsKept()
    {
        EntryWindow<IPAddress> w;
        QVERIFY(w.show());
        w.entry->setIP("192.168.0.1");
        QLineEdit *first = w.field("txtIP1");
        QTest::mousePress(first, Qt::LeftButton);
        first->setSelection(0, 1);
        QTest::mouseRelease(first, Qt::LeftButton);
        QCOMPARE(first->selectedText(), QString("1"));
    }

    // Every dialog holding address entries: each entry takes an address typed over its
    // preset value after a click into its first octet.
    void typingIntoTheDialogs_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::newRow("scan") << "scan";
        QTest::newRow("IP change") << "ipchange";
        QTest::newRow("DHCP") << "dhcp";
        QTest::newRow("MQTT") << "mqtt";
    }

    void typingIntoTheDialogs()
    {
        QFETCH(QString, dialog);
        TempAppDir dir(true);
        module mod("NONE", "NOFAMILY");
        std::unique_ptr<QWidget> window = addressDialog(dialog, mod);
        window->show();
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));

        const QList<IPAddress *> entries = window->findChildren<IPAddress *>();
        QVERIFY(!entries.isEmpty());
        const QStringList typed { "127.0.0.5", "10.1.200.3", "172.16.0.100", "192.168.1.2" };
        for (int i = 0; i < entries.size(); ++i) {
            QLineEdit *first = TestSupport::child<QLineEdit>(entries.at(i), "txtIP1");
            QTest::mouseClick(first, Qt::LeftButton);
            QCOMPARE(QApplication::focusWidget(), first);
            for (const QChar c : typed.at(i % typed.size()))
                QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        }
        for (int i = 0; i < entries.size(); ++i)
            QCOMPARE(entries.at(i)->getIP(), typed.at(i % typed.size()));
    }

    // Every dialog holding address entries shows the widest octets whole in each entry, in
    // both languages, and nothing cuts an entry off (a squeezing layout or a narrow table cell).
    // Each leaves a screenshot beside the test program.
    void octetsShowWhole_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("language");
        for (const char *language : { "", ":/res/language/en_US.qm" }) {
            const QByteArray suffix = *language ? " English" : " Chinese";
            QTest::newRow("scan" + suffix) << "scan" << language;
            QTest::newRow("IP change" + suffix) << "ipchange" << language;
            QTest::newRow("DHCP" + suffix) << "dhcp" << language;
            QTest::newRow("MQTT" + suffix) << "mqtt" << language;
            QTest::newRow("factory tool" + suffix) << "factory" << language;
        }
    }

    void octetsShowWhole()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, language);
        TestSupport::Language translation(language);
        TempAppDir dir(true);
        module mod("NONE", "NOFAMILY");
        std::unique_ptr<QWidget> window = addressDialog(dialog, mod);
        const QList<IPAddress *> entries = window->findChildren<IPAddress *>();
        QVERIFY(!entries.isEmpty());
        for (IPAddress *entry : entries)
            entry->setIP("255.255.255.255");
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCoreApplication::processEvents();

        QVERIFY(window->grab().save(QCoreApplication::applicationDirPath()
            + QStringLiteral("/addresses_%1_%2.png").arg(dialog, language.isEmpty() ? "zh" : "en")));
        for (IPAddress *entry : entries) {
            // In a table the cell is whole; the table scrolls to it.
            for (QWidget *w = entry;
                 w != window.get() && !qobject_cast<QAbstractItemView *>(w->parentWidget()->parentWidget());
                 w = w->parentWidget()) {
                const QRect inParent = w->geometry();
                QVERIFY2(w->parentWidget()->rect().contains(inParent),
                    qPrintable(
                        QStringLiteral("%1 is cut by %2").arg(w->objectName(), w->parentWidget()->objectName())));
            }
            for (QLineEdit *octet : entry->findChildren<QLineEdit *>()) {
                const int needed = octet->fontMetrics().horizontalAdvance(octet->text());
                QVERIFY2(needed <= TestSupport::textRoom(octet),
                    qPrintable(QStringLiteral("%1 %2 needs %3 px, has %4")
                                   .arg(entry->objectName(), octet->objectName())
                                   .arg(needed)
                                   .arg(TestSupport::textRoom(octet))));
                QVERIFY2(octet->parentWidget()->rect().contains(octet->geometry()),
                    qPrintable(QStringLiteral("%1 is cut off: the entry is %2 px wide, needs %3")
                                   .arg(octet->objectName())
                                   .arg(entry->width())
                                   .arg(entry->minimumSizeHint().width())));
            }
        }
    }

    void setIP_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("ip");

        const QStringList preset { "10", "0", "0", "1" };
        QTest::newRow("address") << "192.168.1.10" << QStringList { "192", "168", "1", "10" } << "192.168.1.10";
        QTest::newRow("leading zeros kept")
            << "010.001.000.255" << QStringList { "010", "001", "000", "255" } << "010.001.000.255";
        QTest::newRow("octet too large") << "192.168.1.300" << preset << "10.0.0.1";
        QTest::newRow("three octets") << "192.168.1" << preset << "10.0.0.1";
        QTest::newRow("five octets") << "1.2.3.4.5" << preset << "10.0.0.1";
        QTest::newRow("empty") << "" << preset << "10.0.0.1";
        QTest::newRow("blank around") << " 192.168.1.1" << preset << "10.0.0.1";
        QTest::newRow("letters") << "a.b.c.d" << preset << "10.0.0.1";
        QTest::newRow("non-ascii digits") << QString::fromUtf8("\u0661.2.3.4") << preset << "10.0.0.1";
    }

    void setIP()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, fields);
        QFETCH(QString, ip);

        IPAddress entry;
        entry.setIP("10.0.0.1");
        entry.setIP(text);
        const QStringList shown { entry.findChild<QLineEdit *>("txtIP1")->text(),
            entry.findChild<QLineEdit *>("txtIP2")->text(), entry.findChild<QLineEdit *>("txtIP3")->text(),
            entry.findChild<QLineEdit *>("txtIP4")->text() };
        QCOMPARE(shown, fields);
        QCOMPARE(entry.getIP(), ip);
    }

    void setIPOnFreshWidget()
    {
        IPAddress entry;
        QCOMPARE(entry.getIP(), QString());
        entry.setIP("1.2.3");
        QCOMPARE(entry.getIP(), QString());
        entry.setProperty("ip", "172.16.0.1");
        QCOMPARE(entry.getIP(), QString("172.16.0.1"));
    }

    void setIPMovesTheFocusThroughFullOctets()
    {
        EntryWindow<IPAddress> w;
        QVERIFY(w.show());
        w.entry->setFocusFirst();
        w.entry->setIP("192.168.100.200");
        QCOMPARE(w.focusName(), QString("after"));
        QCOMPARE(w.entry->getIP(), QString("192.168.100.200"));
    }

    void clearEmptiesTheFields()
    {
        EntryWindow<IPAddress> w;
        QVERIFY(w.show());
        w.after->setFocus();
        w.entry->setIP("10.1.2.3");
        w.entry->clear();
        QCOMPARE(w.entry->getIP(), QString("..."));
        QCOMPARE(w.entry->getPaddedIP(3), QString("000.000.000.000"));
        QCOMPARE(w.focusName(), QString("txtIP1"));

        IPAddress fresh;
        fresh.clear();
        QCOMPARE(fresh.getIP(), QString());
    }

    void paddedIP_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("padded");

        QTest::newRow("short octets") << "10.0.0.1" << 3 << "010.000.000.001";
        QTest::newRow("mixed") << "192.168.1.10" << 3 << "192.168.001.010";
        QTest::newRow("already padded") << "010.001.000.255" << 3 << "010.001.000.255";
        QTest::newRow("longer text stays whole") << "192.168.1.10" << 2 << "192.168.01.10";
        QTest::newRow("empty fields") << "" << 3 << "000.000.000.000";
    }

    void paddedIP()
    {
        QFETCH(QString, ip);
        QFETCH(int, width);
        QFETCH(QString, padded);

        IPAddress entry;
        entry.setIP(ip);
        QCOMPARE(entry.getPaddedIP(width), padded);
    }

    void stripLeadingZeros_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("plain");

        QTest::newRow("octal-looking octets") << "010.001.000.255"
                                              << "10.1.0.255";
        QTest::newRow("plain stays") << "192.168.1.10"
                                     << "192.168.1.10";
        QTest::newRow("zero octets") << "0.00.000.0"
                                     << "0.0.0.0";
        QTest::newRow("empty octets stay empty") << "..."
                                                 << "...";
        QTest::newRow("not an address") << "abc"
                                        << "abc";
    }

    void stripLeadingZeros()
    {
        QFETCH(QString, text);
        QFETCH(QString, plain);
        QCOMPARE(IPAddress::stripLeadingZeros(text), plain);
    }

    void strippedTextIsTheDecimalAddress()
    {
        // What the helper exists for: Qt 5 would read the padded form as octal.
        IPAddress entry;
        entry.setIP("192.168.010.020");
        QCOMPARE(QHostAddress(IPAddress::stripLeadingZeros(entry.getIP())), QHostAddress("192.168.10.20"));
        QCOMPARE(QHostAddress(IPAddress::stripLeadingZeros(entry.getPaddedIP(3))), QHostAddress("192.168.10.20"));
    }

    void macTyping_data()
    {
        QTest::addColumn<QString>("keys"); // '<' stands for Backspace
        QTest::addColumn<QString>("mac");
        QTest::addColumn<QString>("focus");

        QTest::newRow("six groups") << "001a2b3c4d5e"
                                    << "00:1A:2B:3C:4D:5E"
                                    << "after";
        QTest::newRow("one digit stays") << "0"
                                         << "0:::::"
                                         << "lineEdit";
        QTest::newRow("non-hex refused") << "0g1"
                                         << "01:::::"
                                         << "lineEdit_2";
        QTest::newRow("colon moves on") << "a:b"
                                        << "A:B::::"
                                        << "lineEdit_2";
        QTest::newRow("colon in last field leaves") << ":::::f:"
                                                    << ":::::F"
                                                    << "after";
        QTest::newRow("backspace moves back") << "ab1<"
                                              << "AB:::::"
                                              << "lineEdit";
        QTest::newRow("backspace in first field leaves backwards") << "<"
                                                                   << ":::::"
                                                                   << "before";
    }

    void macTyping()
    {
        QFETCH(QString, keys);
        QFETCH(QString, mac);
        QFETCH(QString, focus);

        EntryWindow<MACDialog> w;
        QVERIFY(w.show());
        w.field("lineEdit")->setFocus();
        w.type(keys);
        QCOMPARE(w.entry->getMAC(), mac);
        QCOMPARE(w.focusName(), focus);
    }

    void setMAC_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("mac");

        QTest::newRow("six groups") << "00:1a:2b:3c:4d:5e"
                                    << "00:1A:2B:3C:4D:5E";
        QTest::newRow("empty") << ""
                               << ":::::";
        QTest::newRow("empty groups kept") << "aa::cc:::ff"
                                           << "AA::CC:::FF";
        QTest::newRow("two groups") << "AA:BB"
                                    << "AA:BB::::";
        QTest::newRow("no colon") << "001122334455"
                                  << "001122334455:::::";
        QTest::newRow("extra groups ignored") << "01:02:03:04:05:06:07:08"
                                              << "01:02:03:04:05:06";
    }

    void setMAC()
    {
        QFETCH(QString, text);
        QFETCH(QString, mac);

        MACDialog entry;
        entry.setMAC("ff:ff:ff:ff:ff:ff");
        entry.setMAC(text);
        QCOMPARE(entry.getMAC(), mac);
    }

    void macEscapeClearsTheCurrentField()
    {
        EntryWindow<MACDialog> w;
        QVERIFY(w.show());
        QSignalSpy rejected(w.entry, &QDialog::rejected);
        w.field("lineEdit")->setFocus();
        w.type("12:3"); // current field is now lineEdit_3 holding "3"
        w.field("lineEdit_5")->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(w.field("lineEdit_5"), Qt::Key_Escape);
        QCOMPARE(w.entry->getMAC(), QString("12:::::"));
        QVERIFY(w.entry->isVisible());
        QCOMPARE(rejected.count(), 0);
    }

    void macIsEmbedded()
    {
        QWidget host;
        MACDialog entry(&host);
        QVERIFY(!entry.isWindow());
        QCOMPARE(entry.size(), QSize(245, 45));
    }
};

RIVUDO_TEST_MAIN(TestAddressWidgets)
#include "tst_addresswidgets.moc"
