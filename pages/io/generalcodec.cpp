#include "generalcodec.h"

int generalTypeWidth(const QString &dataType)
{
    if (dataType == QLatin1String("Unsigned8") || dataType == QLatin1String("signed8"))
        return 1;
    if (dataType == QLatin1String("Unsigned16") || dataType == QLatin1String("Integer16"))
        return 2;
    if (dataType == QLatin1String("Unsigned32") || dataType == QLatin1String("Integer32"))
        return 4;
    return 0;
}

QByteArray encodeGeneralValue(const QString &dataType, int value)
{
    const int width = generalTypeWidth(dataType);
    QByteArray out(width, '\0');
    const quint32 bits = static_cast<quint32>(value);
    for (int i = 0; i < width; ++i)
        out[i] = static_cast<char>((bits >> (8 * (width - 1 - i))) & 0xFF);
    return out;
}

GeneralDecoded decodeGeneralValue(const QString &dataType, const QByteArray &data, int pos, int min)
{
    GeneralDecoded result;
    result.width = generalTypeWidth(dataType);
    if (result.width == 0)
        return result;
    quint32 bits = 0;
    for (int i = 0; i < result.width; ++i) {
        const int at = pos + i;
        const quint8 byte = (at >= 0 && at < data.size()) ? static_cast<quint8>(data.at(at)) : 0;
        bits = (bits << 8) | byte;
    }
    if (dataType == QLatin1String("Integer16"))
        result.value = static_cast<qint16>(bits);
    else if (dataType == QLatin1String("signed8") && min < 0)
        result.value = static_cast<qint8>(bits);
    else
        result.value = static_cast<int>(bits);
    return result;
}

QByteArray encodeGeneralBlock(const QVector<GeneralField> &fields)
{
    QByteArray block;
    for (const GeneralField &f : fields)
        block.append(encodeGeneralValue(f.dataType, f.value));
    return block;
}

int decodeGeneralBlock(QVector<GeneralField> &fields, const QByteArray &data)
{
    int pos = 0;
    for (GeneralField &f : fields) {
        const GeneralDecoded d = decodeGeneralValue(f.dataType, data, pos, f.min);
        if (d.width == 0)
            continue;
        f.value = d.value;
        pos += d.width;
    }
    return pos;
}
