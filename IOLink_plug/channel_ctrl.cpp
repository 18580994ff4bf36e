#include "channel_ctrl.h"

namespace {

int deferDepth = 0;

} // namespace

Channel_Ctrl::Channel_Ctrl(QWidget *parent)
    : QFrame(parent)
{
}

Channel_Ctrl::DeferBuild::DeferBuild()
{
    ++deferDepth;
}

Channel_Ctrl::DeferBuild::~DeferBuild()
{
    --deferDepth;
}

void Channel_Ctrl::buildFrame() { }

void Channel_Ctrl::buildUnlessDeferred()
{
    if (deferDepth == 0)
        ensureBuilt();
}

void Channel_Ctrl::ensureBuilt()
{
    if (m_built)
        return;
    // Marked first: what the build calls may ask for the widgets again.
    m_built = true;
    buildFrame();
}

bool Channel_Ctrl::deferRetranslate(int language)
{
    if (m_built)
        return false;
    m_pendingLanguage = language;
    return true;
}

int Channel_Ctrl::takePendingLanguage()
{
    const int language = m_pendingLanguage;
    m_pendingLanguage = -1;
    return language;
}

void Channel_Ctrl::setVisible(bool visible)
{
    // Before the show, so the new children are shown with the panel.
    if (visible && !m_built)
        ensureBuilt();
    QFrame::setVisible(visible);
}
