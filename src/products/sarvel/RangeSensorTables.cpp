#include "products/sarvel/RangeSensorTables.h"

namespace Sarvel {

const QSet<int>& rionProductTypes()
{
    static const QSet<int> types{6, 7, 14, 15, 16, 17};
    return types;
}

bool isRionProductType(int productType)
{
    return rionProductTypes().contains(productType);
}

const QMap<int, QString>& frameNames()
{
    static const QMap<int, QString> names{{0, QStringLiteral("Vexa_Sarvel_Frame0")}};
    return names;
}

QString frameName(int key)
{
    return frameNames().value(key);
}

} // namespace Sarvel

namespace Parvo {

const QMap<quint8, QString>& frameNames()
{
    static const QMap<quint8, QString> names{{0, QStringLiteral("Vexa_Sarvel-Vora_Frame0_64")},
                                             {1, QStringLiteral("Vexa_Sarvel-Vora_Frame0_16")}};
    return names;
}

QString frameName(quint8 pixelMode)
{
    return frameNames().value(pixelMode);
}

const QMap<quint8, QStringList>& baudRates()
{
    static const QMap<quint8, QStringList> rates{
        {0, {"115200", "230400", "460800", "921600", "1000000", "1200000", "1500000", "2000000", "3000000"}},
        {1, {"100000", "250000", "500000", "1000000"}},
    };
    return rates;
}

QStringList baudRateList(quint8 interfaceMode)
{
    return baudRates().value(interfaceMode);
}

} // namespace Parvo
