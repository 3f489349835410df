#pragma once

// What the scenario's sender frames (node frames 4, 5, 7, AOA node frame 0) should
// show: a ranged record's values in field order, and the export row of a frame.

#include "sim/TrelvanScenario.h"

#include <QList>
#include <QVariant>

namespace TestTrelvan {

// dis in m, then `angles` angles in degrees (0, 1 or 2), then the two levels in dB.
QList<float> rangeValues(const sim::RangeRecord& r, int angles);
// localTime, systemTime, voltage in V, record count.
QList<QVariant> senderValues(const sim::SenderFields& f, int count);
// The four sender values, then role, id and the values of each record.
QList<QVariant> rangeRow(const sim::RangeFrameFields& f, int angles);

} // namespace TestTrelvan
