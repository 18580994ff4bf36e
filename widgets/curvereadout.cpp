#include "curvereadout.h"

#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {
QString rowFieldName(int key)
{
    return QStringLiteral("curve_lineEdit_%1").arg(key);
}
} // namespace

CurveReadout::CurveReadout(const Widgets &widgets)
    : w(widgets)
{
}

void CurveReadout::rebuild(const QList<QPair<int, QString>> &rows)
{
    auto *column = qobject_cast<QVBoxLayout *>(w.panel->layout());
    for (QHBoxLayout *row : qAsConst(rowLayouts)) {
        while (QLayoutItem *item = row->takeAt(0)) {
            delete item->widget();
            delete item;
        }
        column->removeItem(row);
        delete row;
    }
    rowLayouts.clear();
    const QSignalBlocker b1(w.diff1);
    const QSignalBlocker b2(w.diff2);
    w.diff1->clear();
    w.diff2->clear();
    int position = 1;
    for (const auto &row : rows) {
        auto *layout = new QHBoxLayout;
        layout->setObjectName(QStringLiteral("curve_Layout"));
        auto *label = new QLabel(row.second, w.panel);
        label->setObjectName(QStringLiteral("curve_label"));
        auto *edit = new QLineEdit(w.panel);
        edit->setObjectName(rowFieldName(row.first));
        edit->setReadOnly(true);
        layout->addWidget(label);
        layout->addWidget(edit);
        column->insertLayout(position++, layout);
        rowLayouts.append(layout);
        w.diff1->addItem(row.second, row.first);
        w.diff2->addItem(row.second, row.first);
    }
    showDifference();
}

void CurveReadout::showTracerData(const Tracer_Data &data, int key)
{
    w.time->setText(QDateTime::fromMSecsSinceEpoch(qint64(data.key * 1000)).toString(QStringLiteral("hh:mm:ss")));
    if (auto *edit = w.panel->findChild<QLineEdit *>(rowFieldName(key)))
        edit->setText(QString::number(data.value, 'f', 1));
    showDifference();
}

double CurveReadout::rowNumber(int key) const
{
    auto *edit = w.panel->findChild<QLineEdit *>(rowFieldName(key));
    return edit ? edit->text().toDouble() : 0;
}

void CurveReadout::showDifference()
{
    const double a = rowNumber(w.diff1->currentData().toInt());
    const double b = rowNumber(w.diff2->currentData().toInt());
    w.difference->setText(QString::number(a - b, 'f', 1));
}

void CurveReadout::showTracer(bool on)
{
    w.plot->showTracer(on);
    w.panel->setEnabled(on);
}

void CurveReadout::setYUpper(QLineEdit *field, const QString &text, const QString &autoText)
{
    const int upper = text.toInt();
    if (upper != 0) {
        w.plot->yAxis->setRange(w.plot->yAxis->range().lower, upper);
        w.plot->replot(QCustomPlot::rpRefreshHint);
    } else if (text != autoText) {
        field->setText(autoText);
    }
}

void CurveReadout::setYLower(const QString &text)
{
    const int lower = text.toInt();
    if (lower < w.plot->yAxis->range().upper) {
        w.plot->yAxis->setRange(lower, w.plot->yAxis->range().upper);
        w.plot->replot(QCustomPlot::rpRefreshHint);
    }
}
