#include "products/trelvan/protocols/ProtocolNodeFrame3.h"

#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/views/WidgetNodeFrame3.h"

namespace Trelvan {

namespace {
ProtocolNodeFrame3* g_instance = nullptr;
}

ProtocolNodeFrame3* ProtocolNodeFrame3::instance(QObject* parent)
{
    if (!g_instance)
        g_instance = new ProtocolNodeFrame3(parent);
    return g_instance;
}

ProtocolNodeFrame3* ProtocolNodeFrame3::existing()
{
    return g_instance;
}

void ProtocolNodeFrame3::registerProtocol()
{
    registerFrameProtocol<ProtocolNodeFrame3>();
}

ProtocolNodeFrame3::ProtocolNodeFrame3(QObject* parent)
    : RangingFrameProtocol(parent)
{
}

ProtocolNodeFrame3::~ProtocolNodeFrame3()
{
    if (g_instance == this)
        g_instance = nullptr;
}

void ProtocolNodeFrame3::registerDataItems()
{
    registerFrameItems();
    createDataItem(new WidgetNodeFrame3Factory(lineCollector()));
}

} // namespace Trelvan
