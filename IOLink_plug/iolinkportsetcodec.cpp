#include "iolinkportsetcodec.h"

QByteArray IoLinkIsduReadReply::validData() const
{
    return data.left(qMin(int(count), dataSize));
}
