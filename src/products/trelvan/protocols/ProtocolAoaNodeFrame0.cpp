#include "products/trelvan/protocols/ProtocolAoaNodeFrame0.h"

#include "products/trelvan/views/WidgetAoaNodeFrame0.h"

namespace Trelvan {

QList<FieldDescriptor> AoaNodeFrame0Layout::fields()
{
    return {Field::dis, Field::angle, Field::fpRssi, Field::rxRssi};
}

std::array<float, AoaNodeFrame0Layout::kValues> AoaNodeFrame0Layout::values(const Node_t& n)
{
    return {scaled(readInt24(reinterpret_cast<const char*>(n.dis)), 1000.0f), scaled(qint16(n.angle), 100.0f), signalLevelDb(n.fpRssi), signalLevelDb(n.rxRssi)};
}

ProtocolAoaNodeFrame0::ProtocolAoaNodeFrame0(QObject* parent)
    : RangingFrameProtocol(parent)
{
}

void ProtocolAoaNodeFrame0::registerDataItems()
{
    registerFrameItems();
    createDataItem(new WidgetAoaNodeFrame0Factory(lineCollector()));
}

} // namespace Trelvan
