#include "helpers/SenderFrames.h"

namespace TestTrelvan {

QList<float> rangeValues(const sim::RangeRecord& r, int angles)
{
    QList<float> v{float(r.disMm) / 1000.0f};
    if (angles >= 1)
        v << float(r.angle0) / 100.0f;
    if (angles >= 2)
        v << float(r.angle1) / 100.0f;
    v << float(r.fpRssi) * -0.5f << float(r.rxRssi) * -0.5f;
    return v;
}

QList<QVariant> senderValues(const sim::SenderFields& f, int count)
{
    return {double(f.localTime), double(f.systemTime), double(float(f.voltage) / 1000.0f), count};
}

QList<QVariant> rangeRow(const sim::RangeFrameFields& f, int angles)
{
    QList<QVariant> row = senderValues(f, f.nodes.size());
    for (const sim::RangeRecord& r : f.nodes) {
        row << int(r.role) << double(r.id);
        for (float v : rangeValues(r, angles))
            row << double(v);
    }
    return row;
}

} // namespace TestTrelvan
