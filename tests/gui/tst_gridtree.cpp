#include "testsupport.h"
#include "treewidgetbase.h"

#include <QHeaderView>

static QStringList paintWarnings;

static void recordPaintWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && message.contains(QLatin1String("QPainter")))
        paintWarnings << message;
}

class TestGridTree : public QObject
{
    Q_OBJECT

    // A tree on a black background, so the white grid shows; items without text, so only
    // the grid can be white.
    static void setUp(TreeWidgetBase &tree, int columns)
    {
        QPalette palette = tree.palette();
        palette.setColor(QPalette::Base, Qt::black);
        tree.setPalette(palette);
        tree.setColumnCount(columns);
        tree.setRootIsDecorated(false);
        tree.setFocusPolicy(Qt::NoFocus); // no focus frame over the first row
        tree.header()->setStretchLastSection(false);
        for (int c = 0; c < columns; ++c)
            tree.setColumnWidth(c, 80);
        tree.resize(400, 300);
    }

    static bool white(const QImage &image, int x, int y) { return image.pixelColor(x, y) == QColor(Qt::white); }

private slots:
    void init() { paintWarnings.clear(); }

    void gridAroundRowsAndBetweenColumns()
    {
        TreeWidgetBase tree;
        setUp(tree, 3);
        auto *first = new QTreeWidgetItem(&tree);
        auto *second = new QTreeWidgetItem(&tree);
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));

        QtMessageHandler old = qInstallMessageHandler(recordPaintWarnings);
        const QImage image = tree.viewport()->grab().toImage();
        qInstallMessageHandler(old);
        QVERIFY2(paintWarnings.isEmpty(), qPrintable(paintWarnings.join('\n')));

        const QRect r1 = tree.visualItemRect(first);
        const QRect r2 = tree.visualItemRect(second);
        QVERIFY(!r1.isEmpty());
        const int midX = r1.left() + 40;
        const int midY = r1.center().y();
        QVERIFY(white(image, midX, r1.top())); // top border of the first row
        QVERIFY(white(image, midX, r1.bottom())); // its bottom border
        QVERIFY(white(image, midX, r2.bottom())); // bottom border of the second row
        QVERIFY(white(image, r1.left(), midY));
        QVERIFY(white(image, r1.right(), midY));
        // Separators before columns 1 and 2, counted back from the right edge.
        QVERIFY(white(image, r1.right() - 80, midY));
        QVERIFY(white(image, r1.right() - 160, midY));
        QVERIFY(!white(image, midX, midY)); // cells stay clear
        QVERIFY(!white(image, r1.right() - 120, midY));
        // Nothing below the last row.
        QVERIFY(!white(image, midX, r2.bottom() + 5));
    }

    void singleColumnHasNoSeparators()
    {
        TreeWidgetBase tree;
        setUp(tree, 1);
        auto *item = new QTreeWidgetItem(&tree);
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));
        const QImage image = tree.viewport()->grab().toImage();
        const QRect r = tree.visualItemRect(item);
        const int midY = r.center().y();
        QVERIFY(white(image, r.left(), midY));
        QVERIFY(white(image, r.right(), midY));
        for (int x = r.left() + 1; x < r.right(); ++x)
            QVERIFY2(!white(image, x, midY), qPrintable(QString::number(x)));
    }

    void collapsedChildrenDrawNothing()
    {
        TreeWidgetBase tree;
        setUp(tree, 2);
        auto *parent = new QTreeWidgetItem(&tree);
        for (int i = 0; i < 3; ++i)
            new QTreeWidgetItem(parent);
        tree.collapseItem(parent);
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));

        QtMessageHandler old = qInstallMessageHandler(recordPaintWarnings);
        const QImage image = tree.viewport()->grab().toImage();
        qInstallMessageHandler(old);
        QVERIFY(paintWarnings.isEmpty());

        const QRect r = tree.visualItemRect(parent);
        // Below the one shown row there is no line at all.
        for (int y = r.bottom() + 2; y < r.bottom() + 60; ++y)
            for (int x = 0; x < 200; x += 7)
                QVERIFY(!white(image, x, y));
        QVERIFY(!white(image, 0, 0) || r.top() == 0);
    }

    void itemsPaintOverTheGrid()
    {
        TreeWidgetBase tree;
        setUp(tree, 2);
        auto *item = new QTreeWidgetItem(&tree);
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));
        tree.setCurrentItem(item);
        const QImage image = tree.viewport()->grab().toImage();
        const QRect r = tree.visualItemRect(item);
        // The selection is painted after the grid, so the separator inside the row is covered.
        QVERIFY(!white(image, r.right() - 80, r.center().y()));
        QVERIFY(image.pixelColor(r.left() + 40, r.center().y()) != QColor(Qt::black));
    }
};

RIVUDO_TEST_MAIN(TestGridTree)
#include "tst_gridtree.moc"
