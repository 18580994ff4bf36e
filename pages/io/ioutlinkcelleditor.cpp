#include "ioutlinkcelleditor.h"

#include "ioutlinkform.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QTreeWidget>

bool IoutlinkCellEditor::open(
    QTreeWidget *tree, QTreeWidgetItem *row, int column, QObject *receiver, std::function<void()> finished)
{
    QString pattern;
    if (column == IOutlinkForm::IpColumn)
        pattern = QStringLiteral("((2[0-4]\\d|25[0-5]|[01]?\\d\\d?)\\.){3}(2[0-4]\\d|25[0-5]|[01]?\\d\\d?)");
    else if (column == IOutlinkForm::ScanColumn)
        pattern = QStringLiteral("[1-9]\\d{0,5}");
    else
        return false;
    auto *editor = new QLineEdit(row->text(column));
    editor->setStyleSheet(QStringLiteral("QLineEdit {border: 0.5px solid rgb(255, 255, 255)}"));
    editor->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), editor));
    tree->setItemWidget(row, column, editor);
    QObject::connect(editor, &QLineEdit::editingFinished, receiver, std::move(finished));
    m_tree = tree;
    m_editor = editor;
    m_receiver = receiver;
    m_row = row;
    m_column = column;
    editor->setFocus();
    return true;
}

QTreeWidgetItem *IoutlinkCellEditor::finish(QString *text)
{
    QTreeWidgetItem *row = m_row;
    const int column = m_column;
    QLineEdit *editor = m_editor;
    m_editor = nullptr;
    m_row = nullptr;
    m_column = -1;
    if (!row || !editor || m_tree->itemWidget(row, column) != editor)
        return nullptr;
    const QString typed = editor->text();
    QObject::disconnect(editor, nullptr, m_receiver, nullptr);
    m_tree->removeItemWidget(row, column);
    if (!typed.isEmpty())
        row->setText(column, typed);
    if (text)
        *text = typed;
    return row;
}

bool IoutlinkCellEditor::discard()
{
    if (!m_editor)
        return false;
    QObject::disconnect(m_editor, nullptr, m_receiver, nullptr);
    m_tree->removeItemWidget(m_row, m_column);
    m_editor = nullptr;
    m_row = nullptr;
    return true;
}
