#ifndef IOUTLINKCELLEDITOR_H
#define IOUTLINKCELLEDITOR_H

#include <QPointer>
#include <functional>

class QLineEdit;
class QObject;
class QString;
class QTreeWidget;
class QTreeWidgetItem;

// The line editor the remote-module tables open over an address or scan-cycle cell. It stays
// tied to the cell it was opened in, whatever row becomes current meanwhile.
class IoutlinkCellEditor
{
public:
    bool isOpen() const { return !m_editor.isNull(); }
    // Opens the editor over the cell of row in tree when column is the address or the scan-cycle
    // column (false otherwise); finished runs in receiver when the editing ends.
    bool open(QTreeWidget *tree, QTreeWidgetItem *row, int column, QObject *receiver, std::function<void()> finished);
    // Ends the edit. When the editor still stands in its cell it is taken out, and its text, if not
    // empty, goes into the cell; that row is handed back (the text through text when not null),
    // else null.
    QTreeWidgetItem *finish(QString *text = nullptr);
    // Takes an open editor out of its cell unread, before its row goes; false when none was open.
    bool discard();

private:
    QTreeWidget *m_tree = nullptr;
    QPointer<QLineEdit> m_editor;
    QObject *m_receiver = nullptr;
    QTreeWidgetItem *m_row = nullptr;
    int m_column = -1;
};

#endif
