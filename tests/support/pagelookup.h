#pragma once

#include "menubase.h"
#include "modulebase.h"

namespace TestSupport {

// The owner's first page of type T, or null.
template <class T> T *pageOf(const modulebase *owner)
{
    for (menubase *page : owner->pageList) {
        if (auto *found = dynamic_cast<T *>(page))
            return found;
    }
    return nullptr;
}

// The same page with its widgets built, as its first show would build them.
template <class T> T *builtPageOf(const modulebase *owner)
{
    T *page = pageOf<T>(owner);
    if (page)
        page->ensureBuilt();
    return page;
}

} // namespace TestSupport
