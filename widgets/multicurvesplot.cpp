#include "multicurvesplot.h"

#include "prompts.h"

#include <QDateTime>
#include <QDebug>
#include <QMouseEvent>
#include <cmath>
#include <cstdlib>

namespace {
const double valueLimit = 1e10;
const int cursorGrabPixels = 10;

double nowSeconds()
{
    return QDateTime::currentMSecsSinceEpoch() / 1000.0;
}
}

MultiCurvesPlot::MultiCurvesPlot(QWidget *parent)
    : QCustomPlot(parent)
{
    qRegisterMetaType<Tracer_Data>("Tracer_Data");
    sources.resize(sourceCount);

    setInteractions(QCP::iRangeDrag | QCP::iRangeZoom | QCP::iSelectLegend);
    setNoAntialiasingOnDrag(true);

    legend->setVisible(true);
    axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);
    yAxis2->setVisible(true);
    connect(yAxis, QOverload<const QCPRange &>::of(&QCPAxis::rangeChanged), yAxis2,
        QOverload<const QCPRange &>::of(&QCPAxis::setRange));

    QSharedPointer<QCPAxisTickerDateTime> ticker(new QCPAxisTickerDateTime);
    ticker->setDateTimeFormat(QStringLiteral("hh:mm:ss\nyyyy-MM-dd"));
    ticker->setDateTimeSpec(Qt::LocalTime);
    xAxis->setTicker(ticker);
    xAxis->setTickLabels(true);
    const double now = nowSeconds();
    xAxis->setRange(now, now + 100);
    qDebug() << "xAxis range" << xAxis->range().size();

    tracer = new QCPItemTracer(this);
    tracer->setInterpolating(false);
    tracer->setVisible(false);

    cursorLine = new QCPItemStraightLine(this);
    cursorLine->setLayer(QStringLiteral("overlay"));
    cursorLine->setPen(QPen(QBrush(Qt::red), 1.5, Qt::DotLine, Qt::SquareCap, Qt::BevelJoin));
    cursorLine->setClipToAxisRect(true);
    cursorLine->setVisible(false);

    // Both entries read the same in every language.
    showAllAction = new QAction(QStringLiteral("全显"), this);
    clearAction = new QAction(QStringLiteral("清空历史数据"), this);
    addAction(showAllAction);
    addAction(clearAction);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(showAllAction, &QAction::triggered, this, &MultiCurvesPlot::showAll);
    connect(clearAction, &QAction::triggered, this, &MultiCurvesPlot::clearAllData);

    // Unseeded on purpose: the first plot of every run gets the same colours.
    colors.reserve(sourceCount);
    for (int i = 0; i < sourceCount; ++i) {
        const int r = std::rand() % 255;
        const int g = std::rand() % 255;
        const int b = std::rand() % 255;
        colors.append(QColor(r, g, b));
    }
    curveNames.reserve(sourceCount);
    for (int i = 0; i < sourceCount; ++i)
        curveNames.append(QStringLiteral("curve %1").arg(i));
}

MultiCurvesPlot::~MultiCurvesPlot() = default;

void MultiCurvesPlot::addData(int curveIndex, double key, double value)
{
    if (curveIndex < 0 || curveIndex >= sourceCount) {
        qDebug() << QStringLiteral("warning:下位机企图绘制编号为%1的曲线！").arg(curveIndex);
        return;
    }
    if (!std::isfinite(key) || !std::isfinite(value)) {
        qDebug() << QStringLiteral("warning: MultiCurvesPlot::addData -> value is not finite!");
        return;
    }
    if (value > valueLimit || value < -valueLimit)
        return;
    if (firstPoint) {
        const double width = xAxis->range().size();
        xAxis->setRange(key, key + width);
        firstPoint = false;
    }
    sources[curveIndex].first.append(key);
    sources[curveIndex].second.append(value);
    if (QCPGraph *graph = graphOfCurve.value(quint16(curveIndex), nullptr)) {
        graph->addData(key, value);
        graph->data()->removeBefore(0);
    }
    // Redrawn once the caller's batch of points is in, not for every point that grows a range.
    if (value > yAxis->range().upper) {
        yAxis->setRange(yAxis->range().lower, value + 100);
        replot(QCustomPlot::rpQueuedReplot);
    }
    if (key > xAxis->range().upper) {
        xAxis->setRange(xAxis->range().lower, key + 10);
        replot(QCustomPlot::rpQueuedReplot);
    }
}

void MultiCurvesPlot::showCurves(QList<quint16> indices)
{
    clearGraphs();
    shownCurves = indices;
    graphOfCurve.clear();
    curveOfGraph.clear();
    for (quint16 g : indices) {
        if (g >= sourceCount) {
            qDebug() << QStringLiteral("warning: MultiCurvesPlot::showCurves->超出数据源max index");
            continue;
        }
        QCPGraph *graph = addGraph(xAxis, yAxis);
        graphOfCurve.insert(g, graph);
        curveOfGraph.insert(graph, g);
        graph->setData(sources[g].first, sources[g].second, true);
        graph->data()->removeBefore(0);
        graph->setPen(QPen(colors[g]));
        graph->setLineStyle(QCPGraph::lsStepLeft);
        graph->setName(curveNames[g]);
    }
    redraw();
}

void MultiCurvesPlot::setCurveName(int idx, QString newName)
{
    if (idx < 0 || idx >= sourceCount) {
        qDebug() << "warning: MultiCurvesPlot::setCurveName -> invalid idx!";
        return;
    }
    curveNames[idx] = newName;
}

QString MultiCurvesPlot::getCurveName(int idx) const
{
    if (idx < 0 || idx >= sourceCount)
        return QStringLiteral("notExist");
    return curveNames[idx];
}

void MultiCurvesPlot::setColors(const QVector<QColor> &newColors)
{
    if (newColors.size() != sourceCount) {
        qDebug() << "warning: MultiCurvesPlot::setColors failed!";
        return;
    }
    colors = newColors;
}

QPair<QVector<double>, QVector<double>> MultiCurvesPlot::history(int curveIndex) const
{
    if (curveIndex < 0 || curveIndex >= sourceCount)
        return {};
    return sources[curveIndex];
}

void MultiCurvesPlot::showTracer(bool on)
{
    tracerOn = on;
    if (!on) {
        cursorLine->setVisible(false);
        redraw();
        return;
    }
    placeCursor(xAxis->range().center());
    cursorLine->setVisible(true);
    redraw();
    dragging = false;
}

void MultiCurvesPlot::storeAxisScope(bool x, bool y)
{
    if (x)
        savedXRange = xAxis->range();
    if (y)
        savedYRange = yAxis->range();
}

void MultiCurvesPlot::resumeAxisScope(bool x, bool y)
{
    if (x)
        xAxis->setRange(savedXRange);
    if (y)
        yAxis->setRange(savedYRange);
}

void MultiCurvesPlot::clearAllData()
{
    const QMessageBox::StandardButton answer = Prompts::information(
        this, tr("请再次确认"), tr("确认清空吗？"), QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    for (int i = 0; i < graphCount(); ++i)
        graph(i)->data()->clear();
    for (auto &source : sources) {
        source.first.clear();
        source.second.clear();
    }
    firstPoint = true;
}

void MultiCurvesPlot::mousePressEvent(QMouseEvent *event)
{
    QCustomPlot::mousePressEvent(event);
    if ((event->buttons() & Qt::LeftButton) && cursorLine->visible() && axisRect()->rect().contains(event->pos())
        && cursorLine->selectTest(event->pos(), false) <= cursorGrabPixels) {
        dragging = true;
        setCursor(Qt::ClosedHandCursor);
    }
}

void MultiCurvesPlot::mouseMoveEvent(QMouseEvent *event)
{
    if (!cursorLine->visible() || !dragging) {
        QCustomPlot::mouseMoveEvent(event);
        return;
    }
    const double key = xAxis->pixelToCoord(event->pos().x());
    placeCursor(key);
    redraw();
    for (int i = 0; i < graphCount(); ++i) {
        QCPGraph *g = graph(i);
        if (g->data()->isEmpty())
            continue;
        tracer->setGraph(g);
        tracer->setGraphKey(key);
        tracer->updatePosition();
        Tracer_Data data;
        data.curveIndex = curveOfGraph.value(g, 0);
        data.key = tracer->position->key();
        data.value = tracer->position->value();
        qDebug() << "X,Y" << data.key << data.value;
        emit sendTracer_Data(data);
    }
    tracer->setGraph(nullptr);
}

void MultiCurvesPlot::mouseReleaseEvent(QMouseEvent *event)
{
    QCustomPlot::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        dragging = false;
        setCursor(Qt::ArrowCursor);
    }
}

void MultiCurvesPlot::redraw()
{
    replot(QCustomPlot::rpRefreshHint);
}

// Fits both axes to every shown curve's points.
void MultiCurvesPlot::showAll()
{
    if (graphCount() == 0)
        return;
    rescaleAxes(true);
    redraw();
}

void MultiCurvesPlot::placeCursor(double key)
{
    cursorLine->point1->setCoords(key, yAxis->range().lower);
    cursorLine->point2->setCoords(key, yAxis->range().upper);
}
