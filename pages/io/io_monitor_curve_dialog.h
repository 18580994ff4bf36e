#ifndef IO_MONITOR_CURVE_DIALOG_H
#define IO_MONITOR_CURVE_DIALOG_H

#include "curvereadout.h"
#include "multicurvesplot.h"

#include <QDialog>
#include <QList>
#include <QMap>
#include <QPointer>

class IoPoint;
class QTreeWidgetItem;
class module;

namespace Ui {
class IO_Monitor_Curve_Dialog;
}

// "变量曲线": the module's inputs as curves. Up to 8 checked inputs are shown; every input
// checked once keeps being recorded (up to 16), so checking it again brings back its whole
// history. A cursor line reads each curve's value and the difference of two of them.
class IO_Monitor_Curve_Dialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int maxShown = 8;
    static constexpr int maxRecorded = 16;

    explicit IO_Monitor_Curve_Dialog(QWidget *parent = nullptr);
    ~IO_Monitor_Curve_Dialog() override;

    void setModule(::module *module);
    // A point that left the module (merged into another): never read again.
    void forgetPoint(IoPoint *point);
    MultiCurvesPlot *plot() const;
    // The plot curve that records list row `row`, or -1.
    int curveOfRow(int row) const { return m_curveOfRow.value(row, -1); }

    QList<quint16> chosen;
    QMap<int, IoPoint *> recorded;

signals:
    void closeDialog();

public slots:
    void updatavalue();
    void on_treeWidget_itemClicked(QTreeWidgetItem *item, int column);
    void on_lineEdit_Y_textChanged(const QString &text);
    void on_lineEdit_YMIN_textChanged(const QString &text);
    void showdiffvaule(int state);
    void getTracer_Data(Tracer_Data data);
    void calcdiffvalue(int);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void rebuildReadout();

    Ui::IO_Monitor_Curve_Dialog *ui;
    QPointer<::module> m_module;
    // Each recorded row has a plot curve of its own, given in the order rows are first checked.
    QMap<int, int> m_curveOfRow;
    QMap<int, int> m_rowOfCurve;
    CurveReadout m_readout;
};

#endif
