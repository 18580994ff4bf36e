#ifndef GATEWAYTABLE_H
#define GATEWAYTABLE_H

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QObject;
class QSpinBox;
class QString;
class QTableWidget;
class QTableWidgetItem;
class QWidget;

// What the gateway table pages share: one request per row, its fields widgets in the cells.
namespace GatewayTable {

// TableMenu takes the field's own context menu away, so that a right-click on it opens the
// table's menu; FieldMenu leaves the field as it comes.
enum class RightClick { FieldMenu, TableMenu };

// Fields without arrows, so that the narrow columns show the whole value.
QSpinBox *makeSpin(int minimum, int maximum, int value, RightClick rightClick);
QComboBox *makeCombo(RightClick rightClick);
QTableWidgetItem *readOnlyItem();
// A holder that centres box in its cell; Cells::check() finds the box again.
QWidget *centred(QCheckBox *box);
// The row's name field. A name the block or a sheet gives may be longer than one typed in.
QLineEdit *makeDescription(const QString &text);
// Widens each column whose header text (in the current language) is wider than the column;
// narrower texts keep the widths set before.
void fitHeaderTexts(QTableWidget *table);
// fitHeaderTexts, and widens each column whose fields need more room than it has: a choice box
// its longest choice, a number field its widest number. Only row is looked at when given (a row
// just made), every row otherwise (after the texts changed).
void fitColumns(QTableWidget *table, int row = -1);

// The fields in the cells of one table.
class Cells
{
public:
    explicit Cells(const QTableWidget *table = nullptr)
        : m_table(table)
    {
    }

    // Null when the cell holds no field of that kind.
    QSpinBox *spin(int row, int column) const;
    QComboBox *combo(int row, int column) const;
    // The box in a centred() cell.
    QCheckBox *check(int row, int column) const;
    QLineEdit *lineEdit(int row, int column) const;
    // The row whose cell holds the field that sent a signal, -1 if none does; the current row
    // when the slot was called directly (no sender).
    int senderRow(const QObject *sender) const;

private:
    const QTableWidget *m_table;
};

// Numbers the rows' bytes in one direction of the process image, row after row.
class ImageNumbering
{
public:
    // size: the bytes ahead of the first row's (a status or control word).
    explicit ImageNumbering(int size)
        : m_size(size)
    {
    }

    // item shows the bytes the next row takes: "5", "5...8", or nothing for none.
    void place(QTableWidgetItem *item, int bytes);
    int size() const { return m_size; }
    // Whether the last row with bytes starts at or beyond limit.
    bool overflows(int limit) const { return m_any && m_lastStart >= limit; }

private:
    int m_size;
    int m_lastStart = 0;
    bool m_any = false;
};

// The table's right-click menu, at the mouse; the page passes its own translated texts.
void popupRowMenu(QWidget *page, const QString &addText, const QString &deleteText, const std::function<void()> &add,
    const std::function<void()> &remove);

} // namespace GatewayTable

#endif
