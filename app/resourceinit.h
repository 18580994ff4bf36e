#ifndef RESOURCEINIT_H
#define RESOURCEINIT_H

// Registers the icons and translations that the static library carries.
void rivudoInitResources();

#endif
