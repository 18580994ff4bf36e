#include "menubase.h"

#include <QApplication>
#include <QMainWindow>

namespace {
int deferDepth = 0;
}

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

menubase::DeferBuild::DeferBuild()
{
    ++deferDepth;
}

menubase::DeferBuild::~DeferBuild()
{
    --deferDepth;
}

void menubase::buildPage() { }

void menubase::buildUnlessDeferred()
{
    if (deferDepth == 0)
        ensureBuilt();
}

void menubase::ensureBuilt()
{
    if (m_built)
        return;
    // Marked first: what the build calls may ask for the widgets again.
    m_built = true;
    buildPage();
    if (m_pendingLanguage >= 0) {
        const int language = m_pendingLanguage;
        m_pendingLanguage = -1;
        retranslate(language);
    }
}

bool menubase::deferRetranslate(int language)
{
    if (m_built)
        return false;
    m_pendingLanguage = language;
    return true;
}

void menubase::setVisible(bool visible)
{
    // Before the show, so the new children are shown with the page instead of one by one later.
    if (visible && !m_built)
        ensureBuilt();
    QWidget::setVisible(visible);
}
