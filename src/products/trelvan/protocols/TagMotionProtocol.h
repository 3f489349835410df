#pragma once

#include "products/trelvan/protocols/DataFrameProtocol.h"

#include <QVector>

class BaseResourceItem;
class LineResourceItem;

namespace Trelvan {

// A frame that carries a tag's motion state (node frame 2, tag frame 0): the line
// items of its position, velocity, rates, accelerations, angles, quaternion and
// eop, and the tag's point "tag" in the 2D, 3D and attitude views.
class TagMotionProtocol : public DataFrameProtocol
{
public:
    using DataFrameProtocol::DataFrameProtocol;

    // One frame's state, scaled: m, m/s, rad/s, m/s^2, deg, quaternion (4), m.
    struct Motion
    {
        const float* pos;
        const float* vel;
        const float* g;
        const float* a;
        const float* angle;
        const float* q;
        const float* eop;
    };

    // Null until registered, or when the page lacks the type.
    QVector<LineResourceItem*> posItems;
    QVector<LineResourceItem*> velItems;
    QVector<LineResourceItem*> gItems;
    QVector<LineResourceItem*> aItems;
    QVector<LineResourceItem*> angleItems;
    QVector<LineResourceItem*> qItems;
    QVector<LineResourceItem*> eopItems;
    BaseResourceItem* tagScatter = nullptr;
    BaseResourceItem* tagScatter3D = nullptr;
    BaseResourceItem* tagAttitude = nullptr;

protected:
    // The motion lines, pos to eop in that order.
    void createMotionLines();
    // The tag's 2D, 3D and attitude points.
    void createTagPoints();
    // Writes the lines, then the points (3D and attitude with the angles).
    void writeMotion(const Motion& m);
};

} // namespace Trelvan
