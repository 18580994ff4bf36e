#ifndef TEMPCURVEDIALOG_H
#define TEMPCURVEDIALOG_H

#include "curvereadout.h"
#include "modulebase.h"
#include "multicurvesplot.h"

#include <QColor>
#include <QDialog>
#include <QList>
#include <QStringList>
#include <QVector>

class PollLink;
class QComboBox;

namespace Ui {
class TempCurveDialog;
}

// "温度曲线": up to 16 curves of a temperature controller, each a channel and a value kind,
// sampled at the period the user picks. On a network module the curve stream is switched on at
// the command port and every period a request names the curves wanted; the samples that come
// back are plotted at their arrival. A run ends on the button, after three silent periods, or
// when the window closes.
class TempCurveDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int curveCount = 16;
    // A stream that never brings an end byte is not kept without limit.
    static constexpr int maxPending = 4096;
    // Samples are plotted in batches of this many, one redraw each, so that a burst of frames
    // never holds the window for long.
    static constexpr int pointsPerBatch = 500;

    explicit TempCurveDialog(modulebase *owner, QWidget *parent = nullptr);
    ~TempCurveDialog() override;

    void setModule(modulebase *owner);
    void stopMonitor();
    bool isRunning() const { return running; }
    QByteArray buildRequest() const;
    void setChannelCount(int count);
    void rebuildReadout();
    MultiCurvesPlot *plot() const;
    QComboBox *channelBox(int curve) const;
    QComboBox *valueBox(int curve) const;

    QStringList channelNames;
    QVector<QColor> curveColors;
    int channelCount = 0;
    QList<quint16> enabledCurves;

signals:
    void closeDialog();

public slots:
    void on_pushButton_clicked(bool checked);
    void parseReply(const QByteArray &frame);
    void ModeChanged(int index);
    void calcdiffvalue(int index);
    void showdiffvaule(int check);
    void getTracer_Data(Tracer_Data data);
    void on_lineEdit_Y_textChanged(const QString &text);
    void on_lineEdit_YMIN_textChanged(const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void startMonitor();
    void linkLost();
    void periodChanged(int index);
    void plotPending();

    struct PendingPoint
    {
        quint16 curve;
        double key;
        double value;
    };

    Ui::TempCurveDialog *ui;
    PollLink *link;
    CurveReadout readout;
    // Copies of what the window needs of its module, which may go while the window still shows.
    modulebase::CONNEST_TYPE connType = modulebase::CONNEST_NONE;
    QString ipAddress;
    QString comstr;
    bool running = false;
    // Samples received and not yet plotted, from pendingAt on.
    QVector<PendingPoint> pending;
    int pendingAt = 0;
    bool plotQueued = false;
};

#endif
