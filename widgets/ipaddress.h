#ifndef IPADDRESS_H
#define IPADDRESS_H

#include <QString>
#include <QWidget>

class QFrame;
class QLabel;
class QLineEdit;

// Four octet fields with dots between them; typing a full octet or "." moves on to the next
// field with its text selected, Backspace in an emptied field moves back. The field the user
// clicks or tabs into is where the moves count from. Each octet keeps the room "255" needs in the
// widget's font; in a table cell the widget widens its column and heightens its row to fit.
class IPAddress : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString ip READ getIP WRITE setIP)

public:
    explicit IPAddress(QWidget *parent = nullptr);

    QString getIP() const;
    QString getPaddedIP(int width) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Qt 5's QHostAddress reads "010" as octal 8, so entry text must lose its leading zeros
    // before it becomes an address: "010.001.000.255" gives "10.1.0.255". Text that is not
    // four dotted parts comes back unchanged.
    static QString stripLeadingZeros(const QString &ip);

public slots:
    void setIP(const QString &ip);
    void clear();
    void setBgColor(const QString &bgColor);
    void setBorderColor(const QString &borderColor);
    void setBorderRadius(int borderRadius);

    void setFocusFirst();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private slots:
    void textChanged(const QString &text);

private:
    void fitOctets();
    void fitCell();
    void focusNextOctet();
    void focusPreviousOctet();

    QLabel *labDot1;
    QLabel *labDot2;
    QLabel *labDot3;

    QLineEdit *txtIP1;
    QLineEdit *txtIP2;
    QLineEdit *txtIP3;
    QLineEdit *txtIP4;

    QLineEdit *currentOctet;

    QString ip;

    QString bgColor;
    QString borderColor;
    int borderRadius;

    QFrame *frameIP;

    // Set when a typed three-digit octet moved the focus on, so that the "." the user types
    // next only confirms that move instead of skipping a field.
    bool m_dotConfirmsMove = false;
    // The octet a mouse press has just entered; its release selects the octet's text.
    QLineEdit *m_selectOnRelease = nullptr;
};

#endif
