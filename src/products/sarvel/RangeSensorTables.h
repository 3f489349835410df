#pragma once

#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

// Static tables of the range sensor products. Each is built on first use and kept
// for the run; a lookup of a missing key gives an empty text or list.
namespace Sarvel {

// Single-point product types with the extended feature set (range precision,
// filter factor, full UART rate list, wider band).
const QSet<int>& rionProductTypes();
bool isRionProductType(int productType);

// Frame names of the single-point frames by key.
const QMap<int, QString>& frameNames();
QString frameName(int key);

} // namespace Sarvel

namespace Parvo {

// Zone-frame names by pixel mode: 0 = 8 x 8 zones, 1 = 4 x 4 zones.
const QMap<quint8, QString>& frameNames();
QString frameName(quint8 pixelMode);

// Baud-rate texts by interface mode: 0 UART, 1 CAN.
const QMap<quint8, QStringList>& baudRates();
QStringList baudRateList(quint8 interfaceMode);

} // namespace Parvo
