#include "testsupport.h"
#include "titleform.h"

#include <QPushButton>
#include <QTranslator>
#include <QVBoxLayout>

// A frameless window carrying a title bar, as every dialog of the program does.
struct TitledWindow
{
    QWidget window;
    TitleForm *title;
    int closeRequests = 0;

    TitledWindow()
    {
        window.setWindowFlags(Qt::FramelessWindowHint);
        auto *layout = new QVBoxLayout(&window);
        title = new TitleForm(&window);
        layout->addWidget(title);
        layout->addStretch();
        window.resize(400, 300);
        window.move(100, 80);
    }

    QPushButton *button(const char *name) const { return title->findChild<QPushButton *>(name); }

    void mouse(QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons buttons) const
    {
        const QPoint global = title->mapToGlobal(local);
        QMouseEvent event(type, local, local, global, button, buttons, Qt::NoModifier);
        QApplication::sendEvent(title, &event);
    }

    // Presses the left button on the bar and moves the cursor by delta with `held` down.
    void drag(QPoint delta, Qt::MouseButton pressed = Qt::LeftButton, Qt::MouseButtons held = Qt::LeftButton) const
    {
        const QPoint start(200, 10);
        mouse(QEvent::MouseButtonPress, start, pressed, pressed);
        mouse(QEvent::MouseMove, start + delta, Qt::NoButton, held);
        mouse(QEvent::MouseButtonRelease, start + delta, pressed, Qt::NoButton);
    }
};

static QImage picture(const QIcon &icon)
{
    return icon.pixmap(QSize(30, 30), QIcon::Normal, QIcon::On).toImage().convertToFormat(QImage::Format_ARGB32);
}

static QImage picture(const char *name)
{
    return picture(QIcon(QStringLiteral(":/new/prefix1/img/") + name));
}

class TestTitleBar : public QObject
{
    Q_OBJECT
private slots:
    void iconsDiffer()
    {
        // The icon checks below mean nothing if the two pictures were the same.
        QVERIFY(!picture("max.png").isNull());
        QVERIFY(picture("max.png") != picture("normal.png"));
    }

    void nothingHappensWithoutWindow()
    {
        TitledWindow w;
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        const QPoint pos = w.window.pos();

        w.button("minbutton")->click();
        w.button("maxbutton")->click();
        w.title->toggleMaximized();
        w.mouse(QEvent::MouseButtonDblClick, QPoint(200, 10), Qt::LeftButton, Qt::LeftButton);
        w.drag(QPoint(40, 30));
        w.button("closebutton")->click();
        QCoreApplication::processEvents();

        QVERIFY(w.window.isVisible());
        QVERIFY(!w.window.isMinimized());
        QVERIFY(!w.window.isMaximized());
        QCOMPARE(w.window.pos(), pos);
        QCOMPARE(picture(w.button("maxbutton")->icon()), picture("normal.png"));
    }

    void minimise()
    {
        TitledWindow w;
        w.title->setWindow(&w.window);
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        w.button("minbutton")->click();
        QVERIFY(w.window.isMinimized());
    }

    void maximiseAndRestore()
    {
        TitledWindow w;
        w.title->setWindow(&w.window);
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        QCOMPARE(picture(w.button("maxbutton")->icon()), picture("normal.png"));

        w.button("maxbutton")->click();
        QVERIFY(w.window.isMaximized());
        QCOMPARE(picture(w.button("maxbutton")->icon()), picture("max.png"));

        w.button("maxbutton")->click();
        QVERIFY(!w.window.isMaximized());
        QCOMPARE(picture(w.button("maxbutton")->icon()), picture("normal.png"));
    }

    void mainWindowStartsMaximised()
    {
        TitledWindow w;
        w.title->setWindow(&w.window);
        w.title->toggleMaximized();
        QVERIFY(w.window.isMaximized());
        QVERIFY(w.window.isVisible());
        QCOMPARE(picture(w.button("maxbutton")->icon()), picture("max.png"));

        w.button("maxbutton")->click();
        QVERIFY(!w.window.isMaximized());
        QCOMPARE(picture(w.button("maxbutton")->icon()), picture("normal.png"));
    }

    void close()
    {
        TitledWindow w;
        w.title->setWindow(&w.window);
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        w.button("closebutton")->click();
        QVERIFY(!w.window.isVisible());
    }

    void drag_data()
    {
        QTest::addColumn<int>("pressed");
        QTest::addColumn<int>("held");
        QTest::addColumn<bool>("moves");

        QTest::newRow("left button") << int(Qt::LeftButton) << int(Qt::LeftButton) << true;
        QTest::newRow("left among others") << int(Qt::LeftButton) << int(Qt::LeftButton | Qt::RightButton) << true;
        QTest::newRow("right button") << int(Qt::RightButton) << int(Qt::RightButton) << false;
        QTest::newRow("no button held") << int(Qt::LeftButton) << int(Qt::NoButton) << false;
    }

    void drag()
    {
        QFETCH(int, pressed);
        QFETCH(int, held);
        QFETCH(bool, moves);

        TitledWindow w;
        w.title->setWindow(&w.window);
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        const QPoint start = w.window.pos();
        const QPoint delta(37, -21);
        w.drag(delta, Qt::MouseButton(pressed), Qt::MouseButtons(held));
        QTRY_COMPARE(w.window.pos(), moves ? start + delta : start);
    }

    void rightPressKeepsTheDragOffset()
    {
        TitledWindow w;
        w.title->setWindow(&w.window);
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        const QPoint start = w.window.pos();
        // Grab at (200, 10), then a right press elsewhere must not shift where the window hangs.
        w.mouse(QEvent::MouseButtonPress, QPoint(200, 10), Qt::LeftButton, Qt::LeftButton);
        w.mouse(QEvent::MouseButtonPress, QPoint(20, 5), Qt::RightButton, Qt::LeftButton | Qt::RightButton);
        w.mouse(QEvent::MouseMove, QPoint(210, 15), Qt::NoButton, Qt::LeftButton | Qt::RightButton);
        QTRY_COMPARE(w.window.pos(), start + QPoint(10, 5));
    }

    void maximisedWindowDoesNotDrag()
    {
        TitledWindow w;
        w.title->setWindow(&w.window);
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        w.button("maxbutton")->click();
        QVERIFY(w.window.isMaximized());
        QCoreApplication::processEvents();
        const QPoint maximised = w.window.pos();
        w.drag(QPoint(50, 50));
        QCoreApplication::processEvents();
        QCOMPARE(w.window.pos(), maximised);

        w.button("maxbutton")->click();
        QVERIFY(!w.window.isMaximized());
        QCoreApplication::processEvents();
        const QPoint restored = w.window.pos();
        w.drag(QPoint(50, 50));
        QTRY_COMPARE(w.window.pos(), restored + QPoint(50, 50));
    }

    void doubleClickToggles_data()
    {
        QTest::addColumn<int>("button");
        QTest::newRow("left") << int(Qt::LeftButton);
        QTest::newRow("right") << int(Qt::RightButton);
    }

    void doubleClickToggles()
    {
        QFETCH(int, button);

        // Set up as a dialog: both buttons hidden, still maximised by a double click.
        TitledWindow w;
        w.title->hideMaxButton();
        w.title->hideMinButton();
        w.title->setWindow(&w.window);
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        QVERIFY(w.button("maxbutton")->isHidden());
        QVERIFY(w.button("minbutton")->isHidden());
        QVERIFY(!w.button("closebutton")->isHidden());

        const auto b = Qt::MouseButton(button);
        w.mouse(QEvent::MouseButtonDblClick, QPoint(200, 10), b, b);
        QVERIFY(w.window.isMaximized());
        QCOMPARE(picture(w.button("maxbutton")->icon()), picture("max.png"));
        w.mouse(QEvent::MouseButtonDblClick, QPoint(200, 10), b, b);
        QVERIFY(!w.window.isMaximized());
        QCOMPARE(picture(w.button("maxbutton")->icon()), picture("normal.png"));
    }

    void titleButton()
    {
        TitleForm title;
        auto *caption = title.findChild<QPushButton *>("Tilebutton_2");
        QVERIFY(caption);
        QVERIFY(caption->text().isEmpty());
        title.setTitleText("DE_Rivudo");
        QCOMPARE(caption->text(), QString("DE_Rivudo"));
        title.setTitleIcon(QIcon(":/new/prefix1/img/Vqtool.png"));
        QVERIFY(!caption->icon().isNull());
        QCOMPARE(caption->iconSize(), QSize(32, 30));
        title.setTitleIconSize(QSize(32, 32));
        QCOMPARE(caption->iconSize(), QSize(32, 32));
    }

    void englishTranslationLoads()
    {
        QTranslator translator;
        QVERIFY(translator.load(":/res/language/en_US.qm"));
        // A null result would mean the entry is missing from the compiled file.
        QVERIFY(!translator.translate("TitleForm", "Form").isNull());
        QVERIFY(!translator.translate("MACDialog", "Dialog").isNull());
        QVERIFY(QCoreApplication::installTranslator(&translator));
        QCOMPARE(QCoreApplication::translate("TitleForm", "Form"), QString("Form"));
        QCOMPARE(QCoreApplication::translate("MACDialog", "<html><head/><body><p>:</p></body></html>"),
            QString("<html><head/><body><p>:</p></body></html>"));
        QCoreApplication::removeTranslator(&translator);
    }
};

RIVUDO_TEST_MAIN(TestTitleBar)
#include "tst_titlebar.moc"
