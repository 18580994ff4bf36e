#include "modalcloser.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

ModalCloser::ModalCloser()
{
    m_previous = Prompts::handler();
    Prompts::setHandler(nullptr);
    m_timer.setInterval(20);
    connect(&m_timer, &QTimer::timeout, this, &ModalCloser::poll);
    m_timer.start();
}

ModalCloser::~ModalCloser()
{
    // Boxes asked for while this lived open now and are closed here, not left to block a later test.
    Prompts::showPending();
    Prompts::setHandler(m_previous);
}

void ModalCloser::poll()
{
    QWidget *window = QApplication::activeModalWidget();
    if (!window || !window->isVisible())
        return;
    int open = 0;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && top->isModal())
            ++open;
    }
    deepest = qMax(deepest, open);
    Box box { QString::fromLatin1(window->metaObject()->className()), window->windowTitle(), QString() };
    if (auto *message = qobject_cast<QMessageBox *>(window))
        box.text = message->text();
    closed.append(box);
    if (answer) {
        answer(window);
        return;
    }
    if (auto *message = qobject_cast<QMessageBox *>(window)) {
        QAbstractButton *button = message->defaultButton();
        if (!button)
            button = message->button(QMessageBox::Ok);
        if (!button)
            button = message->escapeButton();
        if (button) {
            button->click();
            return;
        }
    }
    if (auto *dialog = qobject_cast<QDialog *>(window)) {
        dialog->reject();
        return;
    }
    window->close();
}
