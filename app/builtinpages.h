#ifndef BUILTINPAGES_H
#define BUILTINPAGES_H

// Registers the program's own page classes with the page factory; the program calls it once at
// start-up, before the first module is made.
void registerBuiltinPages();

#endif
