#include "builtinpages.h"

#include "general.h"
#include "pagefactory.h"

void registerBuiltinPages()
{
    // Each page class joins here, e.g. PageFactory::registerPage<General>(PageFactory::General);
    PageFactory::registerPage<General>(PageFactory::General);
}
