#pragma once

#include "widgets/NodeGridSupport.h"

#include <QList>
#include <QtGlobal>

#include <type_traits>
#include <utility>

class QWidget;
class ZLabel;

namespace Trelvan {

// The frame-independent pieces live with the node-grid template (widgets/).
using NodeGrid::clearLabelValues;
using NodeGrid::frameInfoLine;
using NodeGrid::makeNodeLight;
using NodeGrid::nodeOrderKey;
using NodeGrid::rawFrameBlock;
using NodeGrid::timeOfDayText;

// The frame-level labels that most node pages share: localTime(ms), systemTime(ms)
// and voltage(V), each 12 digits wide, made with the page as parent. The page
// places them (one row or one below the other).
struct FrameClockLabels
{
    explicit FrameClockLabels(QWidget* parent);
    // The times as unsigned decimals, the voltage from mV in V ('g', 6).
    void show(quint32 localTime, quint32 systemTime, quint16 voltageMv);
    // Empties the three values in that order; the captions stay.
    void clear();
    QList<ZLabel*> all() const { return {localTime, systemTime, voltage}; }

    ZLabel* localTime;
    ZLabel* systemTime;
    ZLabel* voltage;
};

// How the views reach a record's role and id: members `role` and `id` by default.
// A frame whose records carry no role (or no such members) specialises it.
template <typename Node_t>
struct NodeKey
{
    static qint8 role(const Node_t& n) { return static_cast<qint8>(n.role); }
    static quint64 id(const Node_t& n) { return static_cast<quint64>(n.id); }
    // 8 or 32, from the width of the record's id.
    static constexpr int idBits = int(8 * sizeof(std::decay_t<decltype(std::declval<const Node_t&>().id)>));
};

// How the views reach the sender of a frame: its fixed part's `role` and `id`.
template <typename Data>
struct FrameSender
{
    static qint8 role(const Data& d) { return static_cast<qint8>(d.frame.role); }
    static quint64 id(const Data& d) { return static_cast<quint64>(d.frame.id); }
};

} // namespace Trelvan
