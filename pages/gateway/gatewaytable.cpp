#include "gatewaytable.h"

#include "textfit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QStyle>
#include <QTableWidget>

namespace {

const char *const fieldStyle = "QSpinBox::up-button,QSpinBox::down-button{width:0px;}";

void styleField(QWidget *field, GatewayTable::RightClick rightClick)
{
    field->setStyleSheet(fieldStyle);
    if (rightClick == GatewayTable::RightClick::TableMenu)
        field->setContextMenuPolicy(Qt::NoContextMenu);
}

} // namespace

namespace GatewayTable {

QSpinBox *makeSpin(int minimum, int maximum, int value, RightClick rightClick)
{
    auto *box = new QSpinBox;
    styleField(box, rightClick);
    box->setRange(minimum, maximum);
    box->setValue(value);
    return box;
}

QComboBox *makeCombo(RightClick rightClick)
{
    auto *box = new QComboBox;
    styleField(box, rightClick);
    return box;
}

QTableWidgetItem *readOnlyItem()
{
    auto *item = new QTableWidgetItem;
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

QWidget *centred(QCheckBox *box)
{
    auto *holder = new QWidget;
    auto *layout = new QHBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setAlignment(Qt::AlignCenter);
    layout->addWidget(box);
    return holder;
}

void fitHeaderTexts(QTableWidget *table)
{
    QHeaderView *header = table->horizontalHeader();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    // A header shows a section in bold while the selection reaches its column, and a selected row
    // reaches every column.
    QFont font = header->font();
    font.setBold(font.bold() || header->highlightSections());
    const QFontMetrics metrics(font);
    for (int column = 0; column < table->columnCount(); ++column) {
        const QTableWidgetItem *item = table->horizontalHeaderItem(column);
        if (!item)
            continue;
        const int needed = metrics.horizontalAdvance(item->text()) + 2 * margin;
        if (header->sectionSize(column) < needed)
            table->setColumnWidth(column, needed);
    }
}

void fitColumns(QTableWidget *table, int row)
{
    fitHeaderTexts(table);
    const int first = row < 0 ? 0 : row;
    const int last = row < 0 ? table->rowCount() - 1 : qMin(row, table->rowCount() - 1);
    for (int column = 0; column < table->columnCount(); ++column) {
        int needed = 0;
        for (int r = first; r <= last; ++r) {
            QWidget *field = table->cellWidget(r, column);
            if (auto *box = qobject_cast<QComboBox *>(field)) {
                QStringList texts;
                for (int i = 0; i < box->count(); ++i)
                    texts << box->itemText(i);
                needed = qMax(needed, TextFit::comboBoxWidth(box, texts));
            } else if (auto *spin = qobject_cast<QSpinBox *>(field)) {
                // The spin box measures its widest number with its own font and style sheet.
                spin->ensurePolished();
                needed = qMax(needed, spin->sizeHint().width());
            }
        }
        if (table->horizontalHeader()->sectionSize(column) < needed)
            table->setColumnWidth(column, needed);
    }
}

QLineEdit *makeDescription(const QString &text)
{
    auto *edit = new QLineEdit;
    edit->setStyleSheet("QLineEdit{border-width:0;border-style:outset}");
    edit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(text.isEmpty() ? "^[a-zA-Z][a-zA-Z0-9_]{3,20}$" : "^[a-zA-Z][a-zA-Z0-9_]{3,32}$"), edit));
    edit->setText(text);
    return edit;
}

QSpinBox *Cells::spin(int row, int column) const
{
    return qobject_cast<QSpinBox *>(m_table->cellWidget(row, column));
}

QComboBox *Cells::combo(int row, int column) const
{
    return qobject_cast<QComboBox *>(m_table->cellWidget(row, column));
}

QCheckBox *Cells::check(int row, int column) const
{
    QWidget *holder = m_table->cellWidget(row, column);
    return holder ? holder->findChild<QCheckBox *>() : nullptr;
}

QLineEdit *Cells::lineEdit(int row, int column) const
{
    return qobject_cast<QLineEdit *>(m_table->cellWidget(row, column));
}

int Cells::senderRow(const QObject *sender) const
{
    if (!sender)
        return m_table->currentRow();
    for (int row = 0; row < m_table->rowCount(); ++row) {
        for (int column = 0; column < m_table->columnCount(); ++column) {
            if (m_table->cellWidget(row, column) == sender)
                return row;
        }
    }
    return -1;
}

void ImageNumbering::place(QTableWidgetItem *item, int bytes)
{
    if (bytes == 0) {
        item->setText(QString());
        return;
    }
    m_lastStart = m_size + 1;
    m_size += bytes;
    item->setText(bytes == 1 ? QString::number(m_lastStart) : QString("%1...%2").arg(m_lastStart).arg(m_size));
    m_any = true;
}

void popupRowMenu(QWidget *page, const QString &addText, const QString &deleteText, const std::function<void()> &add,
    const std::function<void()> &remove)
{
    auto *menu = new QMenu(page);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(menu->addAction(addText), &QAction::triggered, page, add);
    QObject::connect(menu->addAction(deleteText), &QAction::triggered, page, remove);
    menu->popup(QCursor::pos());
}

} // namespace GatewayTable
