#ifndef IOPOINTDELEGATE_H
#define IOPOINTDELEGATE_H

#include <QStyledItemDelegate>

class FormIO;
class IoPoint;
class QTreeWidgetItem;

// Columns of the I/O page's table and the data its rows hold besides their texts.
namespace IoTable {
enum Column { ColAddress, ColType, ColFormat, ColValue, ColModify, ColSwap, ColEnable, ColName, ColumnCount };
enum Role {
    // Column 4 of an output row: what its modify spin box holds.
    ModifyValueRole = Qt::UserRole + 1,
    ModifyMinimumRole,
    ModifyMaximumRole,
    // The bit pattern the bit buttons edit in binary format; invalid otherwise.
    BitPatternRole,
    // Column 6 of an output row: the enable box; column 4 of an output's bit row: its button.
    CheckedRole,
};
IoPoint *pointOf(const QTreeWidgetItem *row);
// The spin box's text of a value: prefix, then the value in the base of the format.
QString modifyText(int value, int format);
QString modifyPrefix(int format);
int modifyBase(int format);
}

// Draws the I/O page's cells as the controls they edit (combo boxes, spin box, check box, bit
// buttons, line edits) and makes a real control only for the cell being edited, so a table of
// thousands of points costs its rows and no more than one editor. Changes made in an editor
// reach the page at once, as the controls of a row always did; the check box and the bit buttons
// toggle on a click (or the space key) without an editor.
class IoPointDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit IoPointDelegate(FormIO *page);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(
        QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The table row an editor made by this delegate edits; null for any other widget.
    static QModelIndex editedIndex(const QObject *editor);

protected:
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
        const QModelIndex &index) override;

private:
    enum Kind { Plain, TypeCombo, FormatCombo, SwapCombo, ModifySpin, EnableCheck, NameEdit, BitValue, BitButton };
    Kind kindOf(const QModelIndex &index) const;
    void paintBackground(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;
    void toggle(QAbstractItemModel *model, const QModelIndex &index, Kind kind);

    FormIO *m_page;
    mutable int m_rowHeight = 0;
};

#endif
