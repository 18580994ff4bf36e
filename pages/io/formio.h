#ifndef FORMIO_H
#define FORMIO_H

#include "menubase.h"

#include <QModelIndex>
#include <QPointer>
#include <QVector>
#include <functional>

class IO_Monitor_Curve_Dialog;
class IoPoint;
class IoPointDelegate;
class PollLink;
class QComboBox;
class QLabel;
class QTreeWidgetItem;
class module;

namespace Ui {
class FormIO;
}

// The "I/O" page: the module's process image as a table of points. The user gives each point a
// data type (merging the following bytes into it or splitting it back into bytes), a display
// format, a byte order and a description, writes output values, monitors the module live through
// the poll link and plots inputs in the curve dialog. The table's rows hold what their controls
// show; a control is made only for the cell being edited, so the page costs its rows.
class FormIO : public menubase
{
    Q_OBJECT

public:
    explicit FormIO(QWidget *parent = nullptr);
    ~FormIO() override;

    void updatePage() override;
    void resetPage() override;
    void retranslate(int language) override;
    int attachModule(modulebase *owner) override;

    // Shows the point's value in its row; nothing when the table does not show it.
    void refreshPoint(IoPoint *point);
    // The next poll as the module reads it (before the serial link's own framing).
    QByteArray buildPollFrame();
    PollLink *pollLink() const { return link; }
    IO_Monitor_Curve_Dialog *curves() const;
    // Presses the bit button of the bit row at index, as bin_pushButton_clicked on that row.
    void toggleBit(const QModelIndex &bit, bool checked);

    bool connected = false;
    int inputLength = 0;
    int outputLength = 0;
    QPointer<::module> module;
    bool writePending = false;
    int writeRounds = 0;

signals:
    void updataiovalue();

public slots:
    void datatypecom_IndexChanged(int index);
    void showtypecom_IndexChanged(int index);
    void swapenable_check(int state);
    void datatextchanged(QString text);
    void bin_pushButton_clicked(bool checked);
    void on_pushButton_clicked(bool checked);
    void on_pushButton_write_clicked();
    void on_pushButton_2_clicked();
    void colse_curvedialogs();

protected:
    void buildPage() override;
    void hideEvent(QHideEvent *event) override;

private:
    enum LinkState { NeverOpened, Open, Closed, Failed };

    void connectDevice();
    void disconnectDevice();
    void onReply(const QByteArray &reply);
    void showLinkState();
    bool serialLink() const;

    void clearTable();
    void deleteRow(QTreeWidgetItem *row);
    // Fills a row not yet in the table; rows join the table in batches.
    void addPointRow(IoPoint *point, QTreeWidgetItem *row);
    void showPointValue(QTreeWidgetItem *row, IoPoint *point);
    void applyDisplayFormat(QTreeWidgetItem *row, IoPoint *point);
    void updateBitRows(QTreeWidgetItem *row, IoPoint *point);
    void setModifyRange(QTreeWidgetItem *row, int minimum, int maximum);
    enum CellTexts { TypeTexts, FormatTexts, SwapTexts, CellTextKinds };
    void translateCellTexts();
    QString cellText(CellTexts kind, int index) const;
    // The row an editor edits (a point row or a bit row); it becomes the current row. Without
    // an editor, the current row.
    QTreeWidgetItem *rowOfWidget(QObject *w);
    // What the write button takes from an output row: the modify value, or in binary format the
    // bit pattern the bit buttons made, which the modify range could not hold.
    qint32 valueToWrite(QTreeWidgetItem *row, IoPoint *point) const;
    void mergeFailed(QComboBox *combo, IoPoint *point, const QString &message);

    Ui::FormIO *ui;
    IoPointDelegate *m_delegate = nullptr;
    // The row showing each point, sorted by point: a reply refreshes its points through it. One
    // block for the whole table, where a hash would make a node per row.
    struct RowOfPoint
    {
        IoPoint *point;
        QTreeWidgetItem *row;
        bool operator<(const RowOfPoint &o) const { return std::less<IoPoint *>()(point, o.point); }
    };
    QVector<RowOfPoint> m_rows;
    bool m_sortingRows = false;
    QTreeWidgetItem *rowOf(IoPoint *point) const;
    QStringList m_cellTexts[CellTextKinds];
    struct ValueText
    {
        quint32 value = 0;
        int dataType = 0;
        int format = 0;
        QString text;
    } m_valueText;
    PollLink *link = nullptr;
    QPointer<IO_Monitor_Curve_Dialog> curveDialog;
    // Why the monitor link is down, when it went down by itself or could not open.
    QLabel *m_problemLabel = nullptr;
    QString silenceText() const;
    void showLinkProblem(const QString &text);
    LinkState linkState = NeverOpened;
};

#endif
