#ifndef PROMPTS_H
#define PROMPTS_H

#include <QMessageBox>
#include <QString>

class QAction;
class QDialog;
class QMenu;
class QObject;
class QPoint;
class QWidget;

// Every question the program puts to the user goes through here, so that tests can answer
// without a blocking modal loop.
class Prompts
{
public:
    class Handler
    {
    public:
        virtual ~Handler() = default;
        virtual QMessageBox::StandardButton message(QWidget *parent, QMessageBox::Icon icon,
                                                    const QString &caption, const QString &text,
                                                    QMessageBox::StandardButtons buttons,
                                                    QMessageBox::StandardButton defaultButton) = 0;
        virtual QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                     const QString &filter) = 0;
        virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                     const QString &filter) = 0;
        virtual QString existingDirectory(QWidget *parent, const QString &caption, const QString &dir) = 0;
        virtual int exec(QDialog *dialog) = 0;
        // Not pure, so handlers that never meet a menu need not answer one; the default shows
        // the real menu.
        virtual QAction *menu(QMenu *menu, const QPoint &globalPos);
    };

    // nullptr restores the real message boxes, file choosers and modal loops.
    static void setHandler(Handler *handler);
    static Handler *handler();

    static QMessageBox::StandardButton information(QWidget *parent, const QString &caption, const QString &text,
                                                   QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                   QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton warning(QWidget *parent, const QString &caption, const QString &text,
                                               QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                               QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton critical(QWidget *parent, const QString &caption, const QString &text,
                                                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton question(QWidget *parent, const QString &caption, const QString &text,
                                                QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No,
                                                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    // A warning with an OK button that opens once the code asking for it has returned to the
    // event loop: for a box asked for from inside an editor's own signal, since a real box takes
    // the focus and the view may then close and delete that editor while the box is open. Boxes
    // asked for meanwhile open one after another, in order, never one inside another. A box opens
    // only while its context object (which must be given) still exists.
    static void warningLater(QObject *context, const QString &caption, const QString &text);
    // Shows now, in order, the boxes that wait for the event loop (a prompt recorder takes the
    // boxes asked for while it lives).
    static void showPending();

    static QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir = QString(),
                                   const QString &filter = QString());
    static QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir = QString(),
                                   const QString &filter = QString());
    static QString getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir = QString());
    // Where file choosers start unless the user chose before: the desktop folder, or the home
    // folder where there is none. Given a folder that is not there, a chooser starts in its
    // parent with the folder's name typed as the file name.
    static QString defaultFolder();

    // Runs dialog modally and returns its result.
    static int exec(QDialog *dialog);

    // Runs menu modally at globalPos. The chosen action has been triggered when this returns it;
    // null when the menu was dismissed.
    static QAction *execMenu(QMenu *menu, const QPoint &globalPos);
};

#endif
