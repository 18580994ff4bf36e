#ifndef BUILTINPAGES_H
#define BUILTINPAGES_H

// Registers the program's own page classes with the page factory. The factory calls it once,
// before it makes its first page.
void registerBuiltinPages();

#endif
