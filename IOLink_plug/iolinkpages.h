#ifndef IOLINKPAGES_H
#define IOLINKPAGES_H

#include <QList>

class Channel_Ctrl;
class menubase;
class modulebase;

// What the three IO-Link pages do alike.
namespace IoLinkPages {

// Points the link at module and registers frames (tab order) for ports 0..3 of page.
void attach(menubase *page, modulebase *module, const QList<Channel_Ctrl *> &frames);
// Gives the link's serial port back, so a scan or a download can open it.
void releasePort();

} // namespace IoLinkPages

#endif
