#include "products/trelvan/protocols/ProtocolNodeFrame5.h"

#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/views/WidgetNodeFrame5.h"

namespace Trelvan {

namespace {
ProtocolNodeFrame5* g_instance = nullptr;
}

ProtocolNodeFrame5* ProtocolNodeFrame5::instance(QObject* parent)
{
    if (!g_instance)
        g_instance = new ProtocolNodeFrame5(parent);
    return g_instance;
}

ProtocolNodeFrame5* ProtocolNodeFrame5::existing()
{
    return g_instance;
}

void ProtocolNodeFrame5::registerProtocol()
{
    registerFrameProtocol<ProtocolNodeFrame5>();
}

ProtocolNodeFrame5::ProtocolNodeFrame5(QObject* parent)
    : RangingFrameProtocol(parent)
{
}

ProtocolNodeFrame5::~ProtocolNodeFrame5()
{
    if (g_instance == this)
        g_instance = nullptr;
}

void ProtocolNodeFrame5::registerDataItems()
{
    registerFrameItems();
    createDataItem(new WidgetNodeFrame5Factory(lineCollector()));
}

} // namespace Trelvan
