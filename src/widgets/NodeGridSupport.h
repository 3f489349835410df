#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

class QStackedWidget;
class QWidget;
class ZLabel;

// Pieces of the node-grid pages (a raw-frame console beside one box per node) that
// do not depend on a frame kind.
namespace NodeGrid {

// "HH:mm:ss.zzz" (or another QTime format) of a time of day in milliseconds; empty for a value that is no
// time of day (86,400,000 or more, or negative).
QString timeOfDayText(qint64 msecs, const QString& format = QStringLiteral("HH:mm:ss.zzz"));

// The time line of a frame: "system: <time>, pc: <time>", without the "system: "
// part when the system time is 0.
QString frameInfoLine(quint32 systemTime, qint64 pcTime);

// One console block of a frame: "[<line>]\n<lower-case hex pairs, blank-separated>\n".
QString rawFrameBlock(const QString& line, const QByteArray& rawFrame);

// Order key of a node box: role first, then id, in 64 bits; with 8-bit ids exactly
// role × 256 + id, with 32-bit ids role × 2^32 + id (the id taken unsigned).
inline qint64 nodeOrderKey(qint8 role, quint64 id, int idBits)
{
    return qint64(role) * (qint64(1) << idBits) + qint64(id);
}

// The two-page light of a node box: page 0 grey, page 1 green.
QStackedWidget* makeNodeLight(QWidget* parent);

// Empties the value texts of labels, leaving captions (and colour styles) in place.
void clearLabelValues(const QList<ZLabel*>& labels);

} // namespace NodeGrid
