#ifndef PROMPTRECORDER_H
#define PROMPTRECORDER_H

#include "prompts.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <functional>

class QAction;
class QDialog;

// Answers the program's questions from a script and remembers what was asked.
// Installed while the object lives.
class PromptRecorder : public Prompts::Handler
{
public:
    struct Message
    {
        QMessageBox::Icon icon;
        QString caption;
        QString text;
    };

    PromptRecorder();
    ~PromptRecorder() override;

    QList<Message> messages;
    QStringList dialogsRun;   // class names of dialogs passed to exec

    // Answers for the next message boxes; when empty: the default button, else Ok, else Yes,
    // else the lowest button offered.
    QQueue<QMessageBox::StandardButton> answers;
    // Answers for the next file choosers (open, save and folder alike); when empty: "".
    QQueue<QString> fileAnswers;
    // Where each file chooser was told to start (folder or file name), in order.
    QStringList fileStarts;
    // Runs a dialog instead of its modal loop; the default rejects it.
    std::function<int(QDialog *)> onExec;
    // The action texts of every menu shown, in order.
    QList<QStringList> menus;
    // Texts of the actions to choose in the next menus; when empty, or when no enabled action
    // has the text, the menu is dismissed.
    QQueue<QString> menuAnswers;

    QMessageBox::StandardButton message(QWidget *parent, QMessageBox::Icon icon, const QString &caption,
                                        const QString &text, QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override;
    QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override;
    QString existingDirectory(QWidget *parent, const QString &caption, const QString &dir) override;
    int exec(QDialog *dialog) override;
    QAction *menu(QMenu *menu, const QPoint &globalPos) override;

    // The last message's texts, or empty ones.
    QString lastCaption() const;
    QString lastText() const;

private:
    Prompts::Handler *m_previous = nullptr;
};

#endif
