#include "multicurvesplot.h"
#include "promptrecorder.h"
#include "testsupport.h"

#include <QSignalSpy>

namespace {
void sendMouse(QWidget *w, QEvent::Type type, const QPoint &pos, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, pos, w->mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
        Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
}

class TestMultiCurvesPlot : public QObject
{
    Q_OBJECT
private slots:
    void refusedPoints_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("log");
        QTest::newRow("index 16") << 16 << 1.0 << QStringLiteral("\"warning:下位机企图绘制编号为16的曲线！\"");
        QTest::newRow("index -1") << -1 << 1.0 << QStringLiteral("\"warning:下位机企图绘制编号为-1的曲线！\"");
        QTest::newRow("NaN") << 0 << double(NAN)
                             << QStringLiteral("\"warning: MultiCurvesPlot::addData -> value is not finite!\"");
        QTest::newRow("infinity") << 0 << double(INFINITY)
                                  << QStringLiteral("\"warning: MultiCurvesPlot::addData -> value is not finite!\"");
        QTest::newRow("1e11") << 0 << 1e11 << QString();
        QTest::newRow("-1e11") << 0 << -1e11 << QString();
    }
    void refusedPoints()
    {
        QFETCH(int, index);
        QFETCH(double, value);
        QFETCH(QString, log);
        MultiCurvesPlot plot;
        const QCPRange before = plot.xAxis->range();
        if (!log.isEmpty())
            QTest::ignoreMessage(QtDebugMsg, log.toUtf8().constData());
        plot.addData(index, 1000.0, value);
        for (int i = 0; i < 16; ++i)
            QVERIFY(plot.history(i).first.isEmpty());
        // A refused point does not count as the first one.
        QCOMPARE(plot.xAxis->range(), before);
    }

    void timeRangeFollowsPoints()
    {
        MultiCurvesPlot plot;
        const double t = 1.7e9;
        plot.addData(0, t, 1);
        QCOMPARE(plot.xAxis->range().lower, t);
        QCOMPARE(plot.xAxis->range().upper, t + 100);
        plot.addData(0, t + 150, 1);
        QCOMPARE(plot.xAxis->range().lower, t);
        QCOMPARE(plot.xAxis->range().upper, t + 160);
    }

    void valueRangeGrowsUpwards()
    {
        MultiCurvesPlot plot;
        plot.yAxis->setRange(0, 5);
        plot.addData(2, 1.7e9, 500);
        QCOMPARE(plot.yAxis->range().lower, 0.0);
        QCOMPARE(plot.yAxis->range().upper, 600.0);
        QCOMPARE(plot.yAxis2->range(), plot.yAxis->range());
        plot.addData(2, 1.7e9 + 1, -50);
        QCOMPARE(plot.yAxis->range().lower, 0.0);
    }

    void showCurvesKeepsHistory()
    {
        MultiCurvesPlot plot;
        plot.addData(3, 1.7e9, 7);
        plot.addData(1, 1.7e9, 3);
        plot.addData(3, 1.7e9 + 1, 8);
        plot.setCurveName(3, "%IB3");
        plot.showCurves({ 3, 1 });
        QCOMPARE(plot.graphCount(), 2);
        QCOMPARE(plot.graph(0)->name(), QStringLiteral("%IB3"));
        QCOMPARE(plot.graph(1)->name(), QStringLiteral("curve 1"));
        QCOMPARE(plot.graph(0)->pen().color(), plot.curveColors().at(3));
        QCOMPARE(plot.graph(1)->pen().color(), plot.curveColors().at(1));
        QCOMPARE(plot.graph(0)->dataCount(), 2);
        QCOMPARE(plot.graph(0)->lineStyle(), QCPGraph::lsStepLeft);
        // Points recorded while shown reach the graph too.
        plot.addData(1, 1.7e9 + 2, 4);
        QCOMPARE(plot.graph(1)->dataCount(), 2);

        plot.showCurves({ 1 });
        QCOMPARE(plot.graphCount(), 1);
        QCOMPARE(plot.graph(0)->name(), QStringLiteral("curve 1"));
        plot.addData(3, 1.7e9 + 3, 9);
        plot.showCurves({ 3 });
        QCOMPARE(plot.graph(0)->dataCount(), 3);

        QTest::ignoreMessage(QtDebugMsg, "\"warning: MultiCurvesPlot::showCurves->超出数据源max index\"");
        plot.showCurves({ 16, 3 });
        QCOMPARE(plot.graphCount(), 1);
    }

    void namesAndColors()
    {
        MultiCurvesPlot plot;
        QCOMPARE(plot.getCurveName(15), QStringLiteral("curve 15"));
        QCOMPARE(plot.getCurveName(16), QStringLiteral("notExist"));
        QTest::ignoreMessage(QtDebugMsg, "warning: MultiCurvesPlot::setCurveName -> invalid idx!");
        plot.setCurveName(16, "x");
        const QVector<QColor> before = plot.curveColors();
        QCOMPARE(before.size(), 16);
        QTest::ignoreMessage(QtDebugMsg, "warning: MultiCurvesPlot::setColors failed!");
        plot.setColors(QVector<QColor>(15, Qt::red));
        QCOMPARE(plot.curveColors(), before);
        plot.setColors(QVector<QColor>(16, Qt::red));
        plot.showCurves({ 4 });
        QCOMPARE(plot.graph(0)->pen().color(), QColor(Qt::red));
    }

    void clearAsksFirst()
    {
        PromptRecorder prompts;
        MultiCurvesPlot plot;
        plot.addData(0, 1.7e9, 1);
        plot.showCurves({ 0 });
        prompts.answers.enqueue(QMessageBox::No);
        plot.clearHistoryAction()->trigger();
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.lastCaption(), QStringLiteral("请再次确认"));
        QCOMPARE(prompts.lastText(), QStringLiteral("确认清空吗？"));
        QCOMPARE(plot.history(0).first.size(), 1);
        QCOMPARE(plot.graph(0)->dataCount(), 1);

        prompts.answers.enqueue(QMessageBox::Yes);
        plot.clearAllData();
        QVERIFY(plot.history(0).first.isEmpty());
        QCOMPARE(plot.graph(0)->dataCount(), 0);
        // The next point starts the time range again.
        plot.addData(0, 2e9, 1);
        QCOMPARE(plot.xAxis->range().lower, 2e9);
    }

    void contextMenuOrder()
    {
        MultiCurvesPlot plot;
        QCOMPARE(plot.contextMenuPolicy(), Qt::ActionsContextMenu);
        QCOMPARE(plot.actions().size(), 2);
        QCOMPARE(plot.actions().at(0)->text(), QStringLiteral("全显"));
        QCOMPARE(plot.actions().at(1)->text(), QStringLiteral("清空历史数据"));
    }

    void draggingTheCursorReportsEachShownCurve()
    {
        MultiCurvesPlot plot;
        plot.resize(640, 400);
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        const double t = 1.7e9;
        for (int i = 0; i < 20; ++i) {
            plot.addData(3, t + i, 7 + i);
            plot.addData(1, t + i, 3);
        }
        plot.addData(5, t, 1); // recorded but not shown
        plot.showCurves({ 3, 1 });
        plot.yAxis->setRange(0, 50);
        plot.xAxis->setRange(t, t + 19);
        plot.replot();
        QSignalSpy spy(&plot, &MultiCurvesPlot::sendTracer_Data);

        plot.showTracer(true);
        QVERIFY(plot.cursor()->visible());
        QCOMPARE(spy.count(), 0);

        const int lineX = int(plot.xAxis->coordToPixel(t + 9.5));
        const int y = plot.axisRect()->rect().center().y();
        // A press far from the line pans instead of dragging it.
        sendMouse(&plot, QEvent::MouseButtonPress, QPoint(lineX + 100, y), Qt::LeftButton);
        sendMouse(&plot, QEvent::MouseMove, QPoint(lineX + 110, y), Qt::LeftButton);
        QCOMPARE(spy.count(), 0);
        sendMouse(&plot, QEvent::MouseButtonRelease, QPoint(lineX + 110, y), Qt::NoButton);
        plot.xAxis->setRange(t, t + 19);
        plot.showTracer(true);
        plot.replot();

        sendMouse(&plot, QEvent::MouseButtonPress, QPoint(lineX + 3, y), Qt::LeftButton);
        const QCPRange before = plot.xAxis->range();
        const int x4 = int(plot.xAxis->coordToPixel(t + 4));
        sendMouse(&plot, QEvent::MouseMove, QPoint(x4, y), Qt::LeftButton);
        QCOMPARE(spy.count(), 2);
        const Tracer_Data first = spy.at(0).at(0).value<Tracer_Data>();
        const Tracer_Data second = spy.at(1).at(0).value<Tracer_Data>();
        QCOMPARE(first.curveIndex, 3);
        QCOMPARE(second.curveIndex, 1);
        QCOMPARE(first.key, t + 4);
        QCOMPARE(first.value, 11.0);
        QCOMPARE(second.value, 3.0);
        QCOMPARE(plot.xAxis->range(), before); // no panning while dragging

        // Beyond the last point the last one is reported.
        sendMouse(&plot, QEvent::MouseMove, QPoint(plot.axisRect()->rect().right() - 1, y), Qt::LeftButton);
        QCOMPARE(spy.count(), 4);
        QCOMPARE(spy.at(2).at(0).value<Tracer_Data>().value, 26.0);
        sendMouse(&plot, QEvent::MouseButtonRelease, QPoint(x4, y), Qt::NoButton);
        sendMouse(&plot, QEvent::MouseMove, QPoint(x4 + 5, y), Qt::NoButton);
        QCOMPARE(spy.count(), 4);

        plot.showTracer(false);
        QVERIFY(!plot.cursor()->visible());
    }
};

RIVUDO_TEST_MAIN(TestMultiCurvesPlot)
#include "tst_multicurvesplot.moc"
