#include "products/uwbana/UwbAnaTables.h"

#include "model/ResourceItems.h"

namespace UwbAna {

namespace {

// Every per-chip list is drawn from its value table by code, so a list can never
// name a text its table lacks.
QStringList textsOf(const ValueTable& table, const QList<quint32>& codes)
{
    QStringList texts;
    for (quint32 code : codes)
        texts << table.value(code);
    return texts;
}

QList<quint32> codeRange(quint32 first, quint32 last)
{
    QList<quint32> codes;
    for (quint32 c = first; c <= last; ++c)
        codes << c;
    return codes;
}

ValueTable numberedTable(quint32 first, quint32 last)
{
    ValueTable table;
    for (quint32 c = first; c <= last; ++c)
        table.insert(c, QString::number(c));
    return table;
}

LineResourceCollector g_lineCollector;

} // namespace

const QStringList baudRates{"9600",   "14400",  "19200",   "38400",   "43000",   "57600",   "76800",   "115200",
                            "230400", "460800", "921600",  "1000000", "1200000", "1500000", "2000000", "3000000"};
const ValueTable detectModes{{0, "Error"}, {1, "Exist"}};
const ValueTable chipTypeNames{{0, "DW1000"}, {1, "DW3000"}};
const QMap<int, int> chipTypes{{0, 0}, {1, 0}, {2, 1}, {3, 1}};
const ValueTable channels{{1, "0"}, {2, "1"}, {3, "2"}, {4, "3"}, {5, "4"},
                          {6, "5"}, {7, "6"}, {8, "7"}, {9, "8"}, {10, "9"}};
const ChipLists chipChannels{{0, textsOf(channels, {3, 4})}, {1, textsOf(channels, {6, 10})}};
const ValueTable preambleLengths{{1, "16"},   {2, "32"},   {3, "64"},    {4, "72"},    {5, "128"},  {6, "256"},
                                 {7, "512"},  {8, "1024"}, {9, "1536"},  {10, "2048"}, {11, "4096"}};
const ChipLists chipPreambleLengths{{0, textsOf(preambleLengths, codeRange(3, 11))},
                                    {1, textsOf(preambleLengths, codeRange(2, 11))}};
const ValueTable preambleCodes = numberedTable(1, 24);
const QMap<quint32, QStringList> channelPreambleCodes{
    {2, textsOf(preambleCodes, {1, 2, 9, 10, 11, 12})},   {3, textsOf(preambleCodes, {3, 4, 9, 10, 11, 12})},
    {4, textsOf(preambleCodes, {5, 6, 9, 10, 11, 12})},   {5, textsOf(preambleCodes, {7, 8, 17, 18, 19, 20})},
    {6, textsOf(preambleCodes, {3, 4, 9, 10, 11, 12})},   {8, textsOf(preambleCodes, {7, 8, 17, 18, 19, 20})},
    {10, textsOf(preambleCodes, {3, 4, 9, 10, 11, 12})}};
const ValueTable prfs{{1, "16MHz"}, {2, "64MHz"}};
const ValueTable pacSizes{{1, "4"}, {2, "8"}, {3, "16"}, {4, "32"}, {5, "64"}};
const ChipLists chipPacSizes{{0, textsOf(pacSizes, codeRange(2, 5))}, {1, textsOf(pacSizes, codeRange(1, 4))}};
const ValueTable sfdTypes{{1, "IEEE 8-bit"}, {2, "DW 8-bit"}, {3, "DW 16-bit"}, {4, "BPRF SFD"}, {5, "NO-STD SFD"}};
const ChipLists chipSfdTypes{{0, textsOf(sfdTypes, {1, 5})}, {1, textsOf(sfdTypes, codeRange(1, 4))}};
const ValueTable dataRates{{1, "110K"}, {2, "850K"}, {3, "6.8M"}};
const ChipLists chipDataRates{{0, textsOf(dataRates, codeRange(1, 3))}, {1, textsOf(dataRates, {2, 3})}};
const ValueTable phrModes{{1, "STD"}, {2, "EXT"}};
const ValueTable phrRates{{1, "STD"}, {2, "DATA"}};
const ChipLists chipPhrRates{{0, textsOf(phrRates, {1})}, {1, textsOf(phrRates, {1, 2})}};
const ValueTable stsModes{{1, "SP0"}, {2, "SP1"}, {3, "SP2"}, {4, "SP3"}};
const ChipLists chipStsModes{{0, textsOf(stsModes, {1})}, {1, textsOf(stsModes, codeRange(1, 4))}};
const ValueTable stsLengths{{0, "INVALID"}, {1, "32"},  {2, "64"},   {3, "128"},
                            {4, "256"},     {5, "512"}, {6, "1024"}, {7, "2048"}};
const ChipLists chipStsLengths{{0, textsOf(stsLengths, {0})}, {1, textsOf(stsLengths, codeRange(1, 7))}};
const ValueTable frameNames{{0, "UWB_Analyzer_Frame0"},
                            {1, "UWB_Analyzer_Frame1"},
                            {2, "UWB_Analyzer_Parameter"},
                            {3, "UWB_Analyzer"}};
LineResourceCollector* const lineCollector = &g_lineCollector;

QString textOf(const ValueTable& table, quint32 code)
{
    return table.value(code);
}

quint32 codeOf(const ValueTable& table, const QString& text)
{
    for (auto it = table.constBegin(); it != table.constEnd(); ++it) {
        if (it.value() == text)
            return it.key();
    }
    return 0;
}

QStringList listOf(const ChipLists& lists, int chipType)
{
    return lists.value(chipType);
}

int chipTypeOf(int chipIndex)
{
    return chipTypes.value(chipIndex, 0);
}

} // namespace UwbAna
