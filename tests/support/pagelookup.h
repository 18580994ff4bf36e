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

} // namespace TestSupport
