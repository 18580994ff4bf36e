#include "builtinpages.h"

#include "pagefactory.h"

void registerBuiltinPages()
{
    // Each page class joins here, e.g. PageFactory::registerPage<General>(PageFactory::General);
}
