#include "iopoint.h"

void IoPoint::updateAddress()
{
    const QString pattern = direction != 0 ? QStringLiteral("%Q%1%2") : QStringLiteral("%I%1%2");
    const QString letter = size == 1 ? QStringLiteral("B") : size == 2 ? QStringLiteral("W") : QStringLiteral("D");
    address = pattern.arg(letter).arg(number);
}
