#include "iolinkpages.h"

#include "channel_ctrl.h"
#include "iolink_module.h"
#include "menubase.h"

namespace IoLinkPages {

void attach(menubase *page, modulebase *module, const QList<Channel_Ctrl *> &frames)
{
    page->owner = module;
    IoLink_Module *link = IoLink_Module::instance();
    link->setModule(page->getOwner());
    for (int k = 0; k < frames.size(); ++k) {
        frames[k]->ownerPage = page;
        frames[k]->port = quint8(k);
        link->registerFrame(frames[k]);
    }
}

void releasePort()
{
    if (IoLink_Module *link = IoLink_Module::existingInstance())
        link->closePort();
}

} // namespace IoLinkPages
