#include "networksettings.h"

#include "ipv4text.h"

#include <QtEndian>

QByteArray networkSettingsBlock(const QString &ip, const QString &gateway, const QString &mask)
{
    QByteArray block(12, '\0');
    int offset = 0;
    for (const QString &text : { ip, gateway, mask }) {
        const QHostAddress address = ipv4FromText(text);
        if (address.isNull())
            return QByteArray();
        qToBigEndian(address.toIPv4Address(), block.data() + offset);
        offset += 4;
    }
    return block;
}
