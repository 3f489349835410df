#include "products/trelvan/protocols/ProtocolNodeFrame5.h"

#include "products/trelvan/views/WidgetNodeFrame5.h"

namespace Trelvan {

ProtocolNodeFrame5::ProtocolNodeFrame5(QObject* parent)
    : RangingFrameProtocol(parent)
{
}

void ProtocolNodeFrame5::registerDataItems()
{
    registerFrameItems();
    createDataItem(new WidgetNodeFrame5Factory(lineCollector()));
}

} // namespace Trelvan
