#ifndef MODALCLOSER_H
#define MODALCLOSER_H

#include "prompts.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class QWidget;

// Lets the program open its real modal boxes and dialogs (any prompt recorder is set aside while
// this lives) and closes each one from a timer once it is the active modal window, the way a
// person answers it: a message box by its default button (else Ok, else its escape button), any
// other dialog by rejecting it. What a real box does meanwhile (a nested event loop, focus leaving
// an editor, a table closing that editor) therefore really happens in the test.
class ModalCloser : public QObject
{
public:
    struct Box
    {
        QString className;
        QString caption;
        QString text;
    };

    ModalCloser();
    ~ModalCloser() override;
    ModalCloser(const ModalCloser &) = delete;
    ModalCloser &operator=(const ModalCloser &) = delete;

    // Every modal window closed so far, in order.
    QList<Box> closed;
    // Runs instead of the default answer when set; it must close the window it is given.
    std::function<void(QWidget *)> answer;
    // How many modal windows were open at once at most (boxes opened from inside a box nest).
    int deepest = 0;

private:
    void poll();

    Prompts::Handler *m_previous = nullptr;
    QTimer m_timer;
};

#endif
