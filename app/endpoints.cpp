#include "endpoints.h"

Endpoints &Endpoints::current()
{
    static Endpoints endpoints;
    return endpoints;
}

void Endpoints::reset()
{
    current() = Endpoints();
}
