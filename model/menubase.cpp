#include "menubase.h"

#include <QApplication>
#include <QMainWindow>

menubase::menubase(QWidget *parent)
    : QWidget(parent)
{
}

menubase::~menubase() = default;

void menubase::setTitle(QString title)
{
    this->title = title;
}

QByteArray menubase::getParamData()
{
    return QByteArray();
}

void menubase::restoreDefaults(bool) { }

int menubase::setParamData(QByteArray)
{
    return 0;
}

void menubase::updatePage() { }

void menubase::resetPage() { }

void menubase::retranslate(int) { }

void menubase::setOwner(modulebase *owner)
{
    this->owner = owner;
}

int menubase::attachModule(modulebase *owner)
{
    this->owner = owner;
    return 0;
}

modulebase *menubase::getOwner()
{
    return owner;
}

int menubase::inputSize()
{
    return 0;
}

int menubase::outputSize()
{
    return 0;
}

QList<moduleslot *> menubase::getSlotList()
{
    return QList<moduleslot *>();
}

QWidget *menubase::mainWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow *>(w))
            return w;
    }
    return nullptr;
}
