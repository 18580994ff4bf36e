#include "prompts.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QList>
#include <QMenu>
#include <QPointer>
#include <QStandardPaths>

namespace {
Prompts::Handler *g_handler = nullptr;

struct PendingBox
{
    QPointer<QObject> context;
    QString caption;
    QString text;
};
QList<PendingBox> g_pending;
bool g_scheduled = false;
bool g_showing = false;

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

void Prompts::warningLater(QObject *context, const QString &caption, const QString &text)
{
    g_pending.append({ context, caption, text });
    // A box already showing is followed by this one when it closes.
    if (g_scheduled || g_showing)
        return;
    g_scheduled = true;
    QMetaObject::invokeMethod(QCoreApplication::instance(), &Prompts::showPending, Qt::QueuedConnection);
}

void Prompts::showPending()
{
    g_scheduled = false;
    if (g_showing)
        return;
    g_showing = true;
    while (!g_pending.isEmpty()) {
        const PendingBox box = g_pending.takeFirst();
        if (box.context)
            ask(nullptr, QMessageBox::Warning, box.caption, box.text, QMessageBox::Ok, QMessageBox::NoButton);
    }
    g_showing = false;
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
