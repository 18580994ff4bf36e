#ifndef MULTICURVESPLOT_H
#define MULTICURVESPLOT_H

#include <qcustomplot.h>

#include <QColor>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QVector>

// The cursor line's read-out of one curve.
struct Tracer_Data
{
    int curveIndex = 0; // data source, 0 to 15
    double key = 0; // seconds since 1970-01-01 UTC
    double value = 0;
};
Q_DECLARE_METATYPE(Tracer_Data)

// A time plot of up to 16 data sources. Every source keeps its whole history whether it is shown
// or not, so a curve shown again comes back with everything recorded meanwhile. A draggable
// vertical cursor line reports each shown curve's value at its position.
class MultiCurvesPlot : public QCustomPlot
{
    Q_OBJECT

public:
    explicit MultiCurvesPlot(QWidget *parent = nullptr);
    ~MultiCurvesPlot() override;

    // key: seconds since the epoch (callers pass milliseconds / 1000.0).
    void addData(int curveIndex, double key, double value);
    QString getCurveName(int idx) const;
    void setColors(const QVector<QColor> &colors);
    QVector<QColor> curveColors() const { return colors; }
    void showTracer(bool on);
    bool isTracerShown() const { return tracerOn; }
    // The stored history of one source (keys, values); empty for an index outside 0..15.
    QPair<QVector<double>, QVector<double>> history(int curveIndex) const;
    QList<quint16> shown() const { return shownCurves; }
    // The graph that shows curveIndex, or null.
    QCPGraph *graphOf(int curveIndex) const { return graphOfCurve.value(quint16(curveIndex), nullptr); }
    QAction *clearHistoryAction() const { return clearAction; }
    QAction *showAllDataAction() const { return showAllAction; }
    QCPItemStraightLine *cursor() const { return cursorLine; }

public slots:
    void showCurves(QList<quint16> indices);
    void setCurveName(int idx, QString newName);
    void storeAxisScope(bool x, bool y);
    void resumeAxisScope(bool x, bool y);
    void clearAllData();

signals:
    void sendTracer_Data(Tracer_Data data);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void redraw();
    void showAll();
    void placeCursor(double key);

    QVector<QPair<QVector<double>, QVector<double>>> sources;
    int sourceCount = 16;
    QMap<quint16, QCPGraph *> graphOfCurve;
    QMap<QCPGraph *, quint16> curveOfGraph;
    QVector<QColor> colors;
    QVector<QString> curveNames;
    QList<quint16> shownCurves;
    QAction *clearAction = nullptr;
    QAction *showAllAction = nullptr;
    QCPItemTracer *tracer = nullptr;
    QCPItemStraightLine *cursorLine = nullptr;
    bool dragging = false;
    bool tracerOn = false;
    QCPRange savedXRange { 0, 0 };
    QCPRange savedYRange { 0, 0 };
    bool firstPoint = true;
};

#endif
