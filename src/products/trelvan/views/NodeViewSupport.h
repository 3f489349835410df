#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <type_traits>
#include <utility>

class QStackedWidget;
class QWidget;
class ZLabel;

namespace Trelvan {

// "HH:mm:ss.zzz" (or another QTime format) of a time of day in milliseconds;
// empty for a value that is no time of day (86,400,000 or more, or negative).
QString timeOfDayText(qint64 msecs, const QString& format = QStringLiteral("HH:mm:ss.zzz"));

// The time line of a frame: "system: <time>, pc: <time>", without the "system: "
// part when the system time is 0.
QString frameInfoLine(quint32 systemTime, qint32 pcTime);

// One console block of a frame: "[<line>]\n<lower-case hex pairs, blank-separated>\n".
QString rawFrameBlock(const QString& line, const QByteArray& rawFrame);

// Order key of a node box: role first, then id, in 64 bits; with 8-bit ids exactly
// role × 256 + id, with 32-bit ids role × 2^32 + id.
inline qint64 nodeOrderKey(qint8 role, quint64 id, int idBits)
{
    return qint64(role) * (qint64(1) << idBits) + qint64(id);
}

// The two-page light of a node box: page 0 grey, page 1 green.
QStackedWidget* makeNodeLight(QWidget* parent);

// Empties the value texts of labels, leaving captions (and colour styles) in place.
void clearLabelValues(const QList<ZLabel*>& labels);

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
