#ifndef CURVEREADOUT_H
#define CURVEREADOUT_H

#include "multicurvesplot.h"

#include <QList>
#include <QPair>
#include <QString>

class QComboBox;
class QHBoxLayout;
class QLineEdit;
class QWidget;

// The read-out beside a curve plot, as the curve windows share it: the cursor's time, one row
// per shown curve with its value at the cursor, the difference of two chosen curves, and the
// value axis edits. Each row is known by a key that names its field "curve_lineEdit_<key>".
class CurveReadout
{
public:
    struct Widgets
    {
        MultiCurvesPlot *plot = nullptr;
        QWidget *panel = nullptr; // vertical layout: time row first, the rows go below it
        QLineEdit *time = nullptr;
        QComboBox *diff1 = nullptr;
        QComboBox *diff2 = nullptr;
        QLineEdit *difference = nullptr;
    };

    CurveReadout() = default;
    explicit CurveReadout(const Widgets &widgets);

    // Remakes the rows and both difference choices: one per (key, name), in order.
    void rebuild(const QList<QPair<int, QString>> &rows);
    // The cursor moved: its time, the row of key (when shown) and the difference.
    void showTracerData(const Tracer_Data &data, int key);
    void showDifference();
    // The cursor and the panel are on only together.
    void showTracer(bool on);
    // The axis' upper end; 0 or no number leaves the range and turns the field into autoText.
    void setYUpper(QLineEdit *field, const QString &text, const QString &autoText);
    // The axis' lower end, when it stays below the upper end.
    void setYLower(const QString &text);

private:
    double rowNumber(int key) const;

    Widgets w;
    QList<QHBoxLayout *> rowLayouts;
};

#endif
