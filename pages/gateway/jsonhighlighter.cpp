#include "jsonhighlighter.h"

#include <QRegularExpression>

namespace {

QTextCharFormat boldFormat(const QColor &colour)
{
    QTextCharFormat format;
    format.setFontWeight(75);
    format.setFontPointSize(12);
    format.setForeground(colour);
    return format;
}

} // namespace

jsonHighlighter::jsonHighlighter(QTextDocument *document)
    : QSyntaxHighlighter(document)
    , m_keyFormat(boldFormat(Qt::darkMagenta))
    , m_stringFormat(boldFormat(Qt::darkYellow))
    , m_numberFormat(boldFormat(Qt::darkYellow))
    , m_boolFormat(boldFormat(Qt::darkYellow))
    , m_nullFormat(boldFormat(Qt::gray))
{
}

void jsonHighlighter::highlightBlock(const QString &text)
{
    static const QRegularExpression values(QStringLiteral("(\".*?\")|(-?\\d+\\.?\\d*)|(true|false)|(null)"));
    static const QRegularExpression keys(QStringLiteral("(\"\\w+\"):\\s*"));
    const QTextCharFormat *formats[] = { &m_stringFormat, &m_numberFormat, &m_boolFormat, &m_nullFormat };
    auto it = values.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        for (int group = 1; group <= 4; ++group) {
            if (match.capturedStart(group) >= 0) {
                setFormat(match.capturedStart(group), match.capturedLength(group), *formats[group - 1]);
                break;
            }
        }
    }
    // Keys are strings too: colour them over what the first pass gave them.
    auto keyIt = keys.globalMatch(text);
    while (keyIt.hasNext()) {
        const QRegularExpressionMatch match = keyIt.next();
        setFormat(match.capturedStart(1), match.capturedLength(1), m_keyFormat);
    }
}
