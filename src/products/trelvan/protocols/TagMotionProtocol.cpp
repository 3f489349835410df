#include "products/trelvan/protocols/TagMotionProtocol.h"

#include "model/ResourceItems.h"
#include "products/trelvan/protocols/TrelvanNaming.h"

#include <QVector3D>

namespace Trelvan {

namespace {
void writeLines(const QVector<LineResourceItem*>& items, const float* values, int count)
{
    for (int i = 0; i < count; ++i)
        DataFrameProtocol::writeLine(items.value(i), values[i]);
}
} // namespace

void TagMotionProtocol::createMotionLines()
{
    posItems = createLineItems(makeVectorItemNames(Field::pos));
    velItems = createLineItems(makeVectorItemNames(Field::vel));
    gItems = createLineItems(makeVectorItemNames(Field::g));
    aItems = createLineItems(makeVectorItemNames(Field::a));
    angleItems = createLineItems(makeVectorItemNames(Field::angle));
    qItems = createLineItems(makeArrayItemNames(Field::q, 4));
    eopItems = createLineItems(makeVectorItemNames(Field::eop));
}

void TagMotionProtocol::createTagPoints()
{
    const QString tag = QStringLiteral("tag");
    tagScatter = createItem(ResourceType::Scatter, tag);
    tagScatter3D = createItem(ResourceType::Scatter3D, tag);
    tagAttitude = createItem(ResourceType::Attitude, tag);
}

void TagMotionProtocol::writeMotion(const Motion& m)
{
    writeLines(posItems, m.pos, 3);
    writeLines(velItems, m.vel, 3);
    writeLines(gItems, m.g, 3);
    writeLines(aItems, m.a, 3);
    writeLines(angleItems, m.angle, 3);
    writeLines(qItems, m.q, 4);
    writeLines(eopItems, m.eop, 3);
    writeScatter(tagScatter, m.pos[0], m.pos[1]);
    writeScatter3D(tagScatter3D,
                   Scatter3DValue{m.pos[0], m.pos[1], m.pos[2], m.angle[0], m.angle[1], m.angle[2]});
    if (tagAttitude)
        writeValue(tagAttitude, QVariant::fromValue(QVector3D(m.angle[0], m.angle[1], m.angle[2])));
}

} // namespace Trelvan
