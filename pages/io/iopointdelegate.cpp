#include "iopointdelegate.h"

#include "formio.h"
#include "iomonitorcodec.h"
#include "iopoint.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPersistentModelIndex>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidgetItem>

namespace {
const char *const indexProperty = "ioTableIndex";

IoPoint *pointAt(const QModelIndex &index)
{
    if (!index.isValid())
        return nullptr;
    return static_cast<IoPoint *>(index.sibling(index.row(), IoTable::ColAddress).data(Qt::UserRole).value<void *>());
}

QStyle *cellStyle()
{
    return QApplication::style();
}
}

namespace IoTable {

IoPoint *pointOf(const QTreeWidgetItem *row)
{
    return row ? static_cast<IoPoint *>(row->data(ColAddress, Qt::UserRole).value<void *>()) : nullptr;
}

QString modifyPrefix(int format)
{
    return format == 1 ? QStringLiteral("16#") : format == 2 ? QStringLiteral("2#") : QStringLiteral("0");
}

int modifyBase(int format)
{
    return format == 1 ? 16 : format == 2 ? 2 : 10;
}

// As QSpinBox writes its value: locale digits without group separators in base 10, else a sign
// and the digits of the magnitude.
QString modifyText(int value, int format)
{
    const int base = modifyBase(format);
    QString digits;
    if (base != 10) {
        digits = (value < 0 ? QStringLiteral("-") : QString())
            + QString::number(value < 0 ? -qint64(value) : qint64(value), base);
    } else {
        const QLocale locale;
        digits = locale.toString(value);
        digits.remove(locale.groupSeparator());
    }
    return modifyPrefix(format) + digits;
}

}

using namespace IoTable;

IoPointDelegate::IoPointDelegate(FormIO *page)
    : QStyledItemDelegate(page)
    , m_page(page)
{
}

QModelIndex IoPointDelegate::editedIndex(const QObject *editor)
{
    if (!editor)
        return QModelIndex();
    return editor->property(indexProperty).value<QPersistentModelIndex>();
}

IoPointDelegate::Kind IoPointDelegate::kindOf(const QModelIndex &index) const
{
    if (!index.isValid())
        return Plain;
    const QModelIndex parent = index.parent();
    if (parent.isValid()) {
        if (index.column() == ColValue)
            return BitValue;
        const IoPoint *point = pointAt(parent);
        if (index.column() == ColModify && point && point->direction == 1)
            return BitButton;
        return Plain;
    }
    const IoPoint *point = pointAt(index);
    if (!point)
        return Plain;
    const bool output = point->direction == 1;
    switch (index.column()) {
    case ColType:
        return TypeCombo;
    case ColFormat:
        return FormatCombo;
    case ColModify:
        return output ? ModifySpin : Plain;
    case ColSwap:
        return SwapCombo;
    case ColEnable:
        return output ? EnableCheck : Plain;
    case ColName:
        return NameEdit;
    default:
        return Plain;
    }
}

void IoPointDelegate::paintBackground(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    opt.text.clear();
    opt.backgroundBrush = QBrush();
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
}

void IoPointDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const Kind kind = kindOf(index);
    if (kind == Plain) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    paintBackground(painter, option, index);
    QStyle *style = cellStyle();
    // Inside the cell's grid lines, as the cell widgets sat.
    const QRect r = option.rect.adjusted(1, 1, -2, -2);
    const QStyle::State enabled = option.state & QStyle::State_Enabled;
    painter->save();
    switch (kind) {
    case TypeCombo:
    case FormatCombo:
    case SwapCombo: {
        QStyleOptionComboBox combo;
        combo.rect = r;
        combo.state = enabled;
        combo.palette = option.palette;
        combo.fontMetrics = option.fontMetrics;
        combo.direction = option.direction;
        combo.currentText = index.data(Qt::DisplayRole).toString();
        combo.frame = true;
        combo.editable = false;
        combo.subControls = QStyle::SC_All;
        style->drawComplexControl(QStyle::CC_ComboBox, &combo, painter);
        style->drawControl(QStyle::CE_ComboBoxLabel, &combo, painter);
        break;
    }
    case ModifySpin: {
        const IoPoint *point = pointAt(index);
        const int value = index.data(ModifyValueRole).toInt();
        const int minimum = index.data(ModifyMinimumRole).toInt();
        const int maximum = index.data(ModifyMaximumRole).toInt();
        const int format = point ? point->format : 0;
        QStyleOptionSpinBox spin;
        spin.rect = r;
        spin.state = enabled;
        spin.palette = option.palette;
        spin.fontMetrics = option.fontMetrics;
        spin.direction = option.direction;
        spin.frame = true;
        spin.buttonSymbols = QAbstractSpinBox::UpDownArrows;
        spin.subControls = QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
        spin.stepEnabled = QAbstractSpinBox::StepNone;
        if (format != 2) {
            if (value < maximum)
                spin.stepEnabled |= QAbstractSpinBox::StepUpEnabled;
            if (value > minimum)
                spin.stepEnabled |= QAbstractSpinBox::StepDownEnabled;
        }
        style->drawComplexControl(QStyle::CC_SpinBox, &spin, painter);
        const QRect field = style->subControlRect(QStyle::CC_SpinBox, &spin, QStyle::SC_SpinBoxEditField);
        painter->setPen(option.palette.color(QPalette::Text));
        painter->drawText(field.adjusted(2, 0, -2, 0), Qt::AlignRight | Qt::AlignVCenter,
            option.fontMetrics.elidedText(modifyText(value, format), Qt::ElideLeft, field.width() - 4));
        break;
    }
    case EnableCheck: {
        QStyleOptionButton check;
        const int w = style->pixelMetric(QStyle::PM_IndicatorWidth);
        const int h = style->pixelMetric(QStyle::PM_IndicatorHeight);
        check.rect = QRect(r.center().x() - w / 2, r.center().y() - h / 2, w, h);
        check.state = enabled | (index.data(CheckedRole).toBool() ? QStyle::State_On : QStyle::State_Off);
        check.palette = option.palette;
        style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &check, painter);
        break;
    }
    case NameEdit: {
        QStyleOptionFrame frame;
        frame.rect = r;
        frame.state = enabled | QStyle::State_Raised;
        frame.palette = option.palette;
        frame.lineWidth = style->pixelMetric(QStyle::PM_DefaultFrameWidth);
        frame.midLineWidth = 0;
        style->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, painter);
        painter->setPen(option.palette.color(QPalette::Text));
        const QRect text = r.adjusted(4, 0, -4, 0);
        painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
            option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, text.width()));
        break;
    }
    case BitValue: {
        painter->fillRect(r, index.data(Qt::BackgroundRole).value<QBrush>());
        painter->setPen(index.data(Qt::ForegroundRole).value<QBrush>().color());
        painter->drawText(r.adjusted(4, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter, index.data().toString());
        break;
    }
    case BitButton: {
        QStyleOptionButton button;
        button.rect = r;
        const bool on = index.data(CheckedRole).toBool();
        button.state = enabled | (on ? QStyle::State_On | QStyle::State_Sunken : QStyle::State_Raised);
        button.palette = option.palette;
        button.fontMetrics = option.fontMetrics;
        button.direction = option.direction;
        button.text = index.data(Qt::DisplayRole).toString();
        style->drawControl(QStyle::CE_PushButton, &button, painter);
        break;
    }
    case Plain:
        break;
    }
    painter->restore();
}

QSize IoPointDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (m_rowHeight == 0) {
        // Rows as high as a combo box, the tallest of the controls a row shows.
        QStyleOptionComboBox combo;
        combo.fontMetrics = option.fontMetrics;
        combo.frame = true;
        m_rowHeight
            = cellStyle()->sizeFromContents(QStyle::CT_ComboBox, &combo, QSize(0, option.fontMetrics.height())).height()
            + 3;
    }
    size.setHeight(qMax(size.height(), m_rowHeight));
    return size;
}

QWidget *IoPointDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    QWidget *editor = nullptr;
    switch (kindOf(index)) {
    case TypeCombo: {
        auto *combo = new QComboBox(parent);
        for (int t = 0; t < IoDataTypeCount; ++t)
            combo->addItem(ioDataTypeName(t), ioDataTypeSize(t));
        connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), m_page, &FormIO::datatypecom_IndexChanged);
        editor = combo;
        break;
    }
    case FormatCombo: {
        auto *combo = new QComboBox(parent);
        combo->addItems({ FormIO::tr("10进制"), FormIO::tr("16进制"), FormIO::tr("2进制") });
        connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), m_page, &FormIO::showtypecom_IndexChanged);
        editor = combo;
        break;
    }
    case SwapCombo: {
        auto *combo = new QComboBox(parent);
        combo->addItems({ FormIO::tr("不交换"), FormIO::tr("交换") });
        connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), m_page, &FormIO::swapenable_check);
        editor = combo;
        break;
    }
    case ModifySpin: {
        auto *spin = new QSpinBox(parent);
        spin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        const QPersistentModelIndex at(index);
        // The value lives in the row, so the write button finds it with no editor open.
        connect(spin, QOverload<int>::of(&QSpinBox::valueChanged), this, [at](int value) {
            if (at.isValid())
                const_cast<QAbstractItemModel *>(at.model())->setData(at, value, ModifyValueRole);
        });
        editor = spin;
        break;
    }
    case NameEdit: {
        auto *edit = new QLineEdit(parent);
        edit->setStyleSheet(QStringLiteral("QLineEdit{border-style:outset}"));
        connect(edit, &QLineEdit::textChanged, m_page, &FormIO::datatextchanged);
        editor = edit;
        break;
    }
    default:
        return nullptr;
    }
    editor->setProperty(indexProperty, QVariant::fromValue(QPersistentModelIndex(index)));
    // A click on a choice cell opens its list, as a click on the combo box itself did.
    if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        if (QApplication::mouseButtons() & Qt::LeftButton) {
            QTimer::singleShot(0, combo, [combo] {
                if (combo->isVisible())
                    combo->showPopup();
            });
        }
    }
    return editor;
}

void IoPointDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    const IoPoint *point = pointAt(index);
    if (!point)
        return;
    const QSignalBlocker block(editor);
    switch (kindOf(index)) {
    case TypeCombo:
        static_cast<QComboBox *>(editor)->setCurrentIndex(qBound(0, point->dataType, IoDataTypeCount - 1));
        break;
    case FormatCombo:
        static_cast<QComboBox *>(editor)->setCurrentIndex(qBound(0, point->format, 2));
        break;
    case SwapCombo:
        static_cast<QComboBox *>(editor)->setCurrentIndex(point->swap ? 1 : 0);
        break;
    case ModifySpin: {
        auto *spin = static_cast<QSpinBox *>(editor);
        spin->setPrefix(modifyPrefix(point->format));
        spin->setDisplayIntegerBase(modifyBase(point->format));
        spin->setRange(index.data(ModifyMinimumRole).toInt(), index.data(ModifyMaximumRole).toInt());
        spin->setReadOnly(point->format == 2);
        const int value = index.data(ModifyValueRole).toInt();
        if (spin->value() != value)
            spin->setValue(value);
        break;
    }
    case NameEdit: {
        auto *edit = static_cast<QLineEdit *>(editor);
        const QString text = index.data(Qt::DisplayRole).toString();
        if (edit->text() != text)
            edit->setText(text);
        break;
    }
    default:
        break;
    }
}

// Every change already reached the page while it was made.
void IoPointDelegate::setModelData(QWidget *, QAbstractItemModel *, const QModelIndex &) const { }

void IoPointDelegate::updateEditorGeometry(
    QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &) const
{
    editor->setGeometry(option.rect.adjusted(0, 0, -1, -1));
}

void IoPointDelegate::toggle(QAbstractItemModel *model, const QModelIndex &index, Kind kind)
{
    const bool on = !index.data(CheckedRole).toBool();
    if (kind == EnableCheck) {
        model->setData(index, on, CheckedRole);
        return;
    }
    m_page->toggleBit(index, on);
}

bool IoPointDelegate::editorEvent(
    QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option, const QModelIndex &index)
{
    const Kind kind = kindOf(index);
    if (kind != EnableCheck && kind != BitButton)
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    switch (event->type()) {
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton || !option.rect.contains(mouse->pos()))
            return false;
        toggle(model, index, kind);
        return true;
    }
    case QEvent::MouseButtonDblClick:
        // The release after it toggles again, as on the control itself; it opens no editor.
        return true;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Space && key != Qt::Key_Select)
            return false;
        toggle(model, index, kind);
        return true;
    }
    default:
        return false;
    }
}
