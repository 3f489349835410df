#include "products/trelvan/protocols/ProtocolNodeFrame7.h"

#include "products/trelvan/views/WidgetNodeFrame7.h"

namespace Trelvan {

QList<FieldDescriptor> NodeFrame7Layout::fields()
{
    return {Field::dis, Field::angle0, Field::angle1, Field::fpRssi, Field::rxRssi};
}

std::array<float, NodeFrame7Layout::kValues> NodeFrame7Layout::values(const Node_t& n)
{
    return {scaled(readInt24(reinterpret_cast<const char*>(n.dis)), 1000.0f), scaled(qint16(n.angle0), 100.0f), scaled(qint16(n.angle1), 100.0f), signalLevelDb(n.fpRssi), signalLevelDb(n.rxRssi)};
}

ProtocolNodeFrame7::ProtocolNodeFrame7(QObject* parent)
    : RangingFrameProtocol(parent)
{
}

void ProtocolNodeFrame7::registerDataItems()
{
    registerFrameItems();
    createDataItem(new WidgetNodeFrame7Factory(lineCollector()));
}

} // namespace Trelvan
