#include "offlinetextdocument.h"

#include <QAbstractTextDocumentLayout>

OfflineTextDocument::OfflineTextDocument(QObject *parent)
    : QTextDocument(parent)
{
    // The stock picture handler reads a file by its name when no resource answers; this one
    // takes its place and reads nothing.
    documentLayout()->registerHandler(QTextFormat::ImageObject, this);
}

QSizeF OfflineTextDocument::intrinsicSize(QTextDocument *, int, const QTextFormat &)
{
    return QSizeF(16, 16);
}

void OfflineTextDocument::drawObject(QPainter *, const QRectF &, QTextDocument *, int, const QTextFormat &) { }

QVariant OfflineTextDocument::loadResource(int, const QUrl &)
{
    return QVariant();
}
