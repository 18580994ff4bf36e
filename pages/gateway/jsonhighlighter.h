#ifndef JSONHIGHLIGHTER_H
#define JSONHIGHLIGHTER_H

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

// Colours the JSON payload template: keys, strings, numbers, booleans and null.
class jsonHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT

public:
    explicit jsonHighlighter(QTextDocument *document);

protected:
    void highlightBlock(const QString &text) override;

private:
    QTextCharFormat m_keyFormat;
    QTextCharFormat m_stringFormat;
    QTextCharFormat m_numberFormat;
    QTextCharFormat m_boolFormat;
    QTextCharFormat m_nullFormat;
};

#endif
