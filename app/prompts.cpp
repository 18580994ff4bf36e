#include "prompts.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QStandardPaths>

namespace {
Prompts::Handler *g_handler = nullptr;

QMessageBox::StandardButton ask(QWidget *parent, QMessageBox::Icon icon, const QString &caption,
                                const QString &text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton)
{
    if (g_handler)
        return g_handler->message(parent, icon, caption, text, buttons, defaultButton);
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
}

void Prompts::setHandler(Handler *handler)
{
    g_handler = handler;
}

Prompts::Handler *Prompts::handler()
{
    return g_handler;
}

QMessageBox::StandardButton Prompts::information(QWidget *parent, const QString &caption, const QString &text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton)
{
    return ask(parent, QMessageBox::Information, caption, text, buttons, defaultButton);
}

QMessageBox::StandardButton Prompts::warning(QWidget *parent, const QString &caption, const QString &text,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton)
{
    return ask(parent, QMessageBox::Warning, caption, text, buttons, defaultButton);
}

QMessageBox::StandardButton Prompts::critical(QWidget *parent, const QString &caption, const QString &text,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton defaultButton)
{
    return ask(parent, QMessageBox::Critical, caption, text, buttons, defaultButton);
}

QMessageBox::StandardButton Prompts::question(QWidget *parent, const QString &caption, const QString &text,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton defaultButton)
{
    return ask(parent, QMessageBox::Question, caption, text, buttons, defaultButton);
}

QString Prompts::getOpenFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    if (g_handler)
        return g_handler->openFileName(parent, caption, dir, filter);
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString Prompts::getSaveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    if (g_handler)
        return g_handler->saveFileName(parent, caption, dir, filter);
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

QString Prompts::getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir)
{
    if (g_handler)
        return g_handler->existingDirectory(parent, caption, dir);
    return QFileDialog::getExistingDirectory(parent, caption, dir);
}

QString Prompts::defaultFolder()
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktop.isEmpty() && QFileInfo(desktop).isDir())
        return desktop;
    return QDir::homePath();
}

int Prompts::exec(QDialog *dialog)
{
    if (g_handler)
        return g_handler->exec(dialog);
    return dialog->exec();
}

QAction *Prompts::Handler::menu(QMenu *menu, const QPoint &globalPos)
{
    return menu->exec(globalPos);
}

QAction *Prompts::execMenu(QMenu *menu, const QPoint &globalPos)
{
    if (g_handler)
        return g_handler->menu(menu, globalPos);
    return menu->exec(globalPos);
}
