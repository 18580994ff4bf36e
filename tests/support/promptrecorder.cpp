#include "promptrecorder.h"

#include <QAction>
#include <QDialog>
#include <QMenu>

PromptRecorder::PromptRecorder()
{
    m_previous = Prompts::handler();
    Prompts::setHandler(this);
}

PromptRecorder::~PromptRecorder()
{
    // Boxes asked for while the recorder lived are its to answer, not a real box's in a later test.
    Prompts::showPending();
    Prompts::setHandler(m_previous);
}

QMessageBox::StandardButton PromptRecorder::message(QWidget *, QMessageBox::Icon icon, const QString &caption,
                                                    const QString &text, QMessageBox::StandardButtons buttons,
                                                    QMessageBox::StandardButton defaultButton)
{
    messages.append({icon, caption, text});
    if (!answers.isEmpty())
        return answers.dequeue();
    if (defaultButton != QMessageBox::NoButton)
        return defaultButton;
    if (buttons.testFlag(QMessageBox::Ok))
        return QMessageBox::Ok;
    if (buttons.testFlag(QMessageBox::Yes))
        return QMessageBox::Yes;
    for (unsigned bit = QMessageBox::FirstButton; bit <= QMessageBox::LastButton; bit <<= 1) {
        if (buttons & bit)
            return static_cast<QMessageBox::StandardButton>(bit);
    }
    return QMessageBox::NoButton;
}

QString PromptRecorder::openFileName(QWidget *, const QString &, const QString &dir, const QString &)
{
    fileStarts.append(dir);
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

QString PromptRecorder::saveFileName(QWidget *, const QString &, const QString &dir, const QString &)
{
    fileStarts.append(dir);
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

QString PromptRecorder::existingDirectory(QWidget *, const QString &, const QString &dir)
{
    fileStarts.append(dir);
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

int PromptRecorder::exec(QDialog *dialog)
{
    dialogsRun.append(QString::fromLatin1(dialog->metaObject()->className()));
    if (onExec)
        return onExec(dialog);
    return QDialog::Rejected;
}

QAction *PromptRecorder::menu(QMenu *menu, const QPoint &)
{
    QStringList texts;
    const QList<QAction *> actions = menu->actions();
    for (QAction *action : actions) {
        if (!action->isSeparator())
            texts.append(action->text());
    }
    menus.append(texts);
    if (menuAnswers.isEmpty())
        return nullptr;
    const QString wanted = menuAnswers.dequeue();
    for (QAction *action : actions) {
        if (!action->isSeparator() && action->isEnabled() && action->text() == wanted) {
            // As a real menu does before it returns.
            action->trigger();
            return action;
        }
    }
    return nullptr;
}

QString PromptRecorder::lastCaption() const
{
    return messages.isEmpty() ? QString() : messages.last().caption;
}

QString PromptRecorder::lastText() const
{
    return messages.isEmpty() ? QString() : messages.last().text;
}
