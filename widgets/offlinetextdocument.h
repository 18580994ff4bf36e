#ifndef OFFLINETEXTDOCUMENT_H
#define OFFLINETEXTDOCUMENT_H

#include <QTextDocument>
#include <QTextObjectInterface>

// Rich text taken from a file the user opens: it is shown with its markup, but nothing it names
// (pictures, style sheets, background images) is ever loaded. A reference to a device file or a
// huge picture would otherwise hang the program or fill its memory. Pictures keep a small empty
// place in the text.
class OfflineTextDocument : public QTextDocument, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    explicit OfflineTextDocument(QObject *parent = nullptr);

    QSizeF intrinsicSize(QTextDocument *doc, int posInDocument, const QTextFormat &format) override;
    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *doc, int posInDocument,
        const QTextFormat &format) override;

protected:
    QVariant loadResource(int type, const QUrl &name) override;
};

#endif
