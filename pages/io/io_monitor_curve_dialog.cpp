#include "io_monitor_curve_dialog.h"

#include "iopoint.h"
#include "module.h"
#include "prompts.h"
#include "ui_io_monitor_curve_dialog.h"

#include <QDateTime>
#include <QTreeWidgetItem>

IO_Monitor_Curve_Dialog::IO_Monitor_Curve_Dialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::IO_Monitor_Curve_Dialog)
{
    ui->setupUi(this);
    m_readout = CurveReadout(
        { ui->widget, ui->widget_show, ui->lineEdit_time, ui->comboBox_diff1, ui->comboBox_diff2, ui->lineEdit_value });
    setWindowTitle(tr("变量曲线"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    connect(ui->checkBox, &QCheckBox::stateChanged, this, &IO_Monitor_Curve_Dialog::showdiffvaule);
    connect(ui->widget, &MultiCurvesPlot::sendTracer_Data, this, &IO_Monitor_Curve_Dialog::getTracer_Data);
    connect(ui->comboBox_diff1, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        &IO_Monitor_Curve_Dialog::calcdiffvalue);
    connect(ui->comboBox_diff2, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        &IO_Monitor_Curve_Dialog::calcdiffvalue);
}

IO_Monitor_Curve_Dialog::~IO_Monitor_Curve_Dialog()
{
    delete ui;
}

MultiCurvesPlot *IO_Monitor_Curve_Dialog::plot() const
{
    return ui->widget;
}

void IO_Monitor_Curve_Dialog::setModule(::module *module)
{
    m_module = module;
    if (!module)
        return;
    for (IoPoint *point : qAsConst(module->ioPoints)) {
        if (point->direction != 0)
            continue;
        auto *item = new QTreeWidgetItem(ui->treeWidget);
        item->setText(0, point->address);
        item->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void *>(point)));
        item->setCheckState(0, Qt::Unchecked);
    }
}

void IO_Monitor_Curve_Dialog::forgetPoint(IoPoint *point)
{
    for (auto it = recorded.begin(); it != recorded.end();) {
        if (it.value() == point)
            it = recorded.erase(it);
        else
            ++it;
    }
    for (int i = 0; i < ui->treeWidget->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = ui->treeWidget->topLevelItem(i);
        if (item->data(0, Qt::UserRole).value<void *>() != point)
            continue;
        item->setData(0, Qt::UserRole, QVariant());
        item->setCheckState(0, Qt::Unchecked);
        item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable));
        on_treeWidget_itemClicked(item, 0);
    }
}

void IO_Monitor_Curve_Dialog::on_treeWidget_itemClicked(QTreeWidgetItem *, int)
{
    chosen.clear();
    QList<quint16> curves;
    for (int i = 0; i < ui->treeWidget->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = ui->treeWidget->topLevelItem(i);
        auto *point = static_cast<IoPoint *>(item->data(0, Qt::UserRole).value<void *>());
        if (!point || item->checkState(0) != Qt::Checked)
            continue;
        if (chosen.size() >= maxShown || (!m_curveOfRow.contains(i) && m_curveOfRow.size() >= maxRecorded)) {
            Prompts::warning(nullptr, tr("错误"), tr("超过最大监控数量"));
            continue;
        }
        if (!m_curveOfRow.contains(i)) {
            const int curve = m_curveOfRow.size();
            m_curveOfRow.insert(i, curve);
            m_rowOfCurve.insert(curve, i);
        }
        chosen.append(quint16(i));
        if (!recorded.contains(i))
            recorded.insert(i, point);
        const int curve = m_curveOfRow.value(i);
        ui->widget->setCurveName(curve, point->address);
        curves.append(quint16(curve));
    }
    ui->widget->showCurves(curves);
    rebuildReadout();
}

void IO_Monitor_Curve_Dialog::rebuildReadout()
{
    QList<QPair<int, QString>> rows;
    for (quint16 row : qAsConst(chosen))
        rows.append({ row, ui->widget->getCurveName(m_curveOfRow.value(row, -1)) });
    m_readout.rebuild(rows);
}

void IO_Monitor_Curve_Dialog::updatavalue()
{
    const double t = QDateTime::currentMSecsSinceEpoch() / 1000.0;
    for (auto it = recorded.cbegin(); it != recorded.cend(); ++it) {
        // Points can leave the module while the dialog lives (another page rebuilds them).
        if (!m_module || !m_module->ioPoints.contains(it.value()))
            continue;
        ui->widget->addData(m_curveOfRow.value(it.key(), -1), t, double(quint32(it.value()->value)));
    }
    // Replies that arrive together are drawn together.
    ui->widget->replot(QCustomPlot::rpQueuedReplot);
}

void IO_Monitor_Curve_Dialog::on_lineEdit_Y_textChanged(const QString &text)
{
    m_readout.setYUpper(ui->lineEdit_Y, text, tr("自动"));
}

void IO_Monitor_Curve_Dialog::on_lineEdit_YMIN_textChanged(const QString &text)
{
    m_readout.setYLower(text);
}

void IO_Monitor_Curve_Dialog::showdiffvaule(int state)
{
    m_readout.showTracer(state != 0);
}

void IO_Monitor_Curve_Dialog::getTracer_Data(Tracer_Data data)
{
    m_readout.showTracerData(data, m_rowOfCurve.value(data.curveIndex, -1));
}

void IO_Monitor_Curve_Dialog::calcdiffvalue(int)
{
    m_readout.showDifference();
}

void IO_Monitor_Curve_Dialog::closeEvent(QCloseEvent *event)
{
    QDialog::closeEvent(event);
    emit closeDialog();
}
