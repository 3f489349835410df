#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

class LineResourceCollector;

// Constants of the UWB analyser: the radio settings of its chips (each stored as a
// code, shown as the text of its table), the chip types, the offered baud rates and
// detect modes, and the names of its protocols.
namespace UwbAna {

// Code -> text, in ascending code order.
using ValueTable = QMap<quint32, QString>;
// Chip type -> the texts that chip type offers, in combo order.
using ChipLists = QMap<int, QStringList>;

extern const QStringList baudRates;
extern const ValueTable detectModes;
extern const ValueTable chipTypeNames;
extern const QMap<int, int> chipTypes; // chip index -> chip type
extern const ValueTable channels;      // code = channel number + 1
extern const ChipLists chipChannels;
extern const ValueTable preambleLengths;
extern const ChipLists chipPreambleLengths;
extern const ValueTable preambleCodes;
extern const QMap<quint32, QStringList> channelPreambleCodes; // channel code -> preamble code texts
extern const ValueTable prfs;
extern const ValueTable pacSizes;
extern const ChipLists chipPacSizes;
extern const ValueTable sfdTypes;
extern const ChipLists chipSfdTypes;
extern const ValueTable dataRates;
extern const ChipLists chipDataRates;
extern const ValueTable phrModes;
extern const ValueTable phrRates;
extern const ChipLists chipPhrRates;
extern const ValueTable stsModes;
extern const ChipLists chipStsModes;
extern const ValueTable stsLengths;
extern const ChipLists chipStsLengths;
extern const ValueTable frameNames; // 0 frame 0, 1 frame 1, 2 parameter, 3 the group
// Collects the analyser's line items.
extern LineResourceCollector* const lineCollector;

constexpr int kChipCount = 4;

// The text of a code; empty when the table lacks it.
QString textOf(const ValueTable& table, quint32 code);
// The first code (ascending) whose text equals text; 0 when none.
quint32 codeOf(const ValueTable& table, const QString& text);
// The list of a chip type; empty when absent.
QStringList listOf(const ChipLists& lists, int chipType);
// The chip type of a chip index; 0 for an index outside the table.
int chipTypeOf(int chipIndex);
// The PRF code that follows from a preamble code: 1 below 9, else 2.
inline quint32 prfOfPreambleCode(quint32 preambleCode) { return preambleCode < 9 ? 1 : 2; }

} // namespace UwbAna
