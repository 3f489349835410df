#include "products/trelvan/protocols/ProtocolNodeFrame3.h"

#include "products/trelvan/views/WidgetNodeFrame3.h"

namespace Trelvan {

ProtocolNodeFrame3::ProtocolNodeFrame3(QObject* parent)
    : RangingFrameProtocol(parent)
{
}

void ProtocolNodeFrame3::registerDataItems()
{
    registerFrameItems();
    createDataItem(new WidgetNodeFrame3Factory(lineCollector()));
}

} // namespace Trelvan
