#include "customtabstyle.h"
#include "pageholderstyle.h"
#include "testsupport.h"

#include <QGroupBox>
#include <QPainter>
#include <QStyleOptionTab>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

class TestTabStyle : public QObject
{
    Q_OBJECT

    // Paints one tab label of the given state into a 100 x 30 tile on a black image.
    static QImage label(QStyle::State state, const QString &text = QStringLiteral("MMM"))
    {
        CustomTabStyle style;
        QImage image(120, 50, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        QFont font = painter.font();
        font.setPixelSize(20);
        font.setBold(true);
        painter.setFont(font);
        QStyleOptionTab option;
        option.rect = QRect(10, 10, 100, 30);
        option.text = text;
        option.state = QStyle::State_Enabled | state;
        option.shape = QTabBar::RoundedWest;
        style.drawControl(QStyle::CE_TabBarTabLabel, &option, &painter);
        return image;
    }

    static int count(const QImage &image, const QRect &area, QColor color)
    {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += image.pixelColor(x, y) == color;
        return n;
    }

private slots:
    void tabColours_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QColor>("fill");
        QTest::addColumn<QColor>("text");
        QTest::addColumn<QColor>("border");

        QTest::newRow("plain") << int(QStyle::State_None) << QColor(14, 106, 175) << QColor(Qt::white)
                               << QColor(218, 219, 220);
        QTest::newRow("hovered") << int(QStyle::State_MouseOver) << QColor(242, 242, 242) << QColor(0, 106, 177)
                                 << QColor(218, 219, 220);
        QTest::newRow("selected") << int(QStyle::State_Selected) << QColor(178, 171, 255) << QColor(Qt::white)
                                  << QColor(Qt::white);
        QTest::newRow("selected and hovered") << int(QStyle::State_Selected | QStyle::State_MouseOver)
                                              << QColor(178, 171, 255) << QColor(Qt::white) << QColor(Qt::white);
    }

    void tabColours()
    {
        QFETCH(int, state);
        QFETCH(QColor, fill);
        QFETCH(QColor, text);
        QFETCH(QColor, border);

        const QImage image = label(QStyle::State(state));
        QCOMPARE(image.pixelColor(15, 25), fill); // left of the centred text
        QCOMPARE(image.pixelColor(10, 25), border); // left edge of the tile
        QCOMPARE(image.pixelColor(60, 10), border); // top edge
        QVERIFY(count(image, QRect(12, 12, 96, 26), text) > 20);
        QCOMPARE(image.pixelColor(5, 5), QColor(Qt::black)); // nothing outside the tile
    }

    // The box around the page tabs: no frame, its title white on a blue band centred at the top,
    // and its contents below the band.
    void pageHolderTitle()
    {
        PageHolderStyle style;
        QGroupBox box(QStringLiteral("1:RV-IOL4"));
        box.setStyle(&style);
        box.resize(400, 200);
        auto *inside = new QWidget(&box);
        auto *layout = new QVBoxLayout(&box);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(inside);
        box.setAttribute(Qt::WA_DontShowOnScreen);
        box.show();
        const QImage image = box.grab().toImage();
        const QColor band(119, 121, 255);
        QCOMPARE(image.pixelColor(200 - 60, 3), band);
        QVERIFY(count(image, QRect(100, 0, 200, 24), QColor(Qt::white)) > 20);
        // Left and right of the band, and along the box's edges: no frame.
        const QColor background = image.pixelColor(5, 100);
        QCOMPARE(image.pixelColor(20, 5), background);
        QCOMPARE(image.pixelColor(0, 150), background);
        QCOMPARE(image.pixelColor(399, 150), background);
        QCOMPARE(image.pixelColor(200, 199), background);
        QVERIFY(inside->geometry().top() >= QFontMetrics(PageHolderStyle::titleFont(box.font())).height());
        // A style of its own is not handed on to what the box holds.
        QCOMPARE(inside->style(), QApplication::style());
    }

    void textIsCentredAndHorizontal()
    {
        const QImage shortText = label(QStyle::State_None, QStringLiteral("M"));
        // One glyph in the middle: the text colour shows around the centre column only.
        const QColor white(Qt::white);
        QVERIFY(count(shortText, QRect(50, 12, 20, 26), white) > 10);
        QCOMPARE(count(shortText, QRect(12, 12, 30, 26), white), 0);
        QCOMPARE(count(shortText, QRect(78, 12, 30, 26), white), 0);
    }

    void otherElementsDrawNothing_data()
    {
        QTest::addColumn<int>("element");
        QTest::newRow("tab shape") << int(QStyle::CE_TabBarTabShape);
        QTest::newRow("push button") << int(QStyle::CE_PushButton);
        QTest::newRow("header") << int(QStyle::CE_Header);
    }

    void otherElementsDrawNothing()
    {
        QFETCH(int, element);

        CustomTabStyle style;
        QImage image(120, 50, QImage::Format_RGB32);
        image.fill(Qt::black);
        const QImage before = image;
        {
            QPainter painter(&image);
            QStyleOptionTab option;
            option.rect = QRect(10, 10, 100, 30);
            option.text = QStringLiteral("x");
            option.state = QStyle::State_Enabled | QStyle::State_Selected;
            style.drawControl(QStyle::ControlElement(element), &option, &painter);
        }
        QCOMPARE(image, before);
    }

    void labelNeedsATabOption()
    {
        CustomTabStyle style;
        QImage image(120, 50, QImage::Format_RGB32);
        image.fill(Qt::black);
        const QImage before = image;
        {
            QPainter painter(&image);
            QStyleOption option;
            option.rect = QRect(10, 10, 100, 30);
            style.drawControl(QStyle::CE_TabBarTabLabel, &option, &painter);
        }
        QCOMPARE(image, before);
    }

    // A tile is 100 x 30 unless its text needs more; then it grows to hold the text on one line,
    // and the tiles stacked on the left all take the width of the widest.
    void tabSize_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<bool>("standard");
        QTest::newRow("short") << "IO" << 12 << true;
        QTest::newRow("empty") << "" << 12 << true;
        QTest::newRow("translated") << "Modbus Configure" << 16 << false;
        QTest::newRow("long") << QString::fromUtf8("一个很长很长很长很长很长很长很长的页面标题") << 12 << false;
        QTest::newRow("tall font") << "IO" << 40 << false;
    }

    void tabSize()
    {
        QFETCH(QString, title);
        QFETCH(int, pixels);
        QFETCH(bool, standard);

        QFont font = QApplication::font();
        font.setPixelSize(pixels);
        const QFontMetrics fm(font);
        CustomTabStyle style;
        QStyleOptionTab option;
        option.text = title;
        option.fontMetrics = fm;
        const QSize tile = style.sizeFromContents(QStyle::CT_TabBarTab, &option, QSize(400, 60), nullptr);
        if (standard)
            QCOMPARE(tile, QSize(100, 30));
        QVERIFY(tile.width() >= 100 && tile.height() >= 30);
        // Drawn as the label is drawn: centred and wrapped at spaces, which must not happen.
        const QRect drawn = fm.boundingRect(QRect(QPoint(), tile), Qt::AlignCenter | Qt::TextWordWrap, title);
        QVERIFY2(QRect(QPoint(), tile).contains(drawn), qPrintable(title));
        const QRect oneLine = fm.boundingRect(QRect(0, 0, 10000, 1000), Qt::AlignCenter, title);
        QCOMPARE(drawn.height(), oneLine.height());

        // In place: the tabs stand on the left from the top, as wide as the widest.
        QTabWidget tabs;
        tabs.setFont(font);
        tabs.setTabPosition(QTabWidget::West);
        tabs.tabBar()->setStyle(&style);
        tabs.addTab(new QWidget, QStringLiteral("General"));
        tabs.addTab(new QWidget, title);
        const QRect first = tabs.tabBar()->tabRect(0);
        const QRect second = tabs.tabBar()->tabRect(1);
        QCOMPARE(second.height(), tile.height());
        QVERIFY(second.width() >= tile.width());
        QCOMPARE(first.width(), second.width());
        QCOMPARE(second.top(), first.bottom() + 1);
        if (standard)
            QCOMPARE(first.size(), QSize(100, 30));
    }

    void otherSizesComeFromTheBase()
    {
        CustomTabStyle style;
        QStyleOptionButton option;
        option.text = QStringLiteral("OK");
        const QSize contents(40, 16);
        QCOMPARE(style.sizeFromContents(QStyle::CT_PushButton, &option, contents, nullptr),
            style.baseStyle()->sizeFromContents(QStyle::CT_PushButton, &option, contents, nullptr));
    }

    void tabBarPaintsTiles()
    {
        CustomTabStyle style;
        QTabWidget tabs;
        tabs.resize(400, 300);
        tabs.setTabPosition(QTabWidget::West);
        tabs.tabBar()->setStyle(&style);
        tabs.addTab(new QWidget, QStringLiteral("A"));
        tabs.addTab(new QWidget, QStringLiteral("B"));
        tabs.setCurrentIndex(0);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        const QImage bar = tabs.tabBar()->grab().toImage();
        const QRect selected = tabs.tabBar()->tabRect(0);
        const QRect other = tabs.tabBar()->tabRect(1);
        QCOMPARE(bar.pixelColor(selected.left() + 5, selected.center().y()), QColor(178, 171, 255));
        QCOMPARE(bar.pixelColor(other.left() + 5, other.center().y()), QColor(14, 106, 175));
    }
};

RIVUDO_TEST_MAIN(TestTabStyle)
#include "tst_tabstyle.moc"
