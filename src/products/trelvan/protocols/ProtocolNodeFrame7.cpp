#include "products/trelvan/protocols/ProtocolNodeFrame7.h"

#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/views/WidgetNodeFrame7.h"

namespace Trelvan {

namespace {
ProtocolNodeFrame7* g_instance = nullptr;
}

QList<FieldDescriptor> NodeFrame7Layout::fields()
{
    return {Field::dis, Field::angle0, Field::angle1, Field::fpRssi, Field::rxRssi};
}

std::array<float, NodeFrame7Layout::kValues> NodeFrame7Layout::values(const Node_t& n)
{
    return {scaled(readInt24(reinterpret_cast<const char*>(n.dis)), 1000.0f), scaled(qint16(n.angle0), 100.0f), scaled(qint16(n.angle1), 100.0f), signalLevelDb(n.fpRssi), signalLevelDb(n.rxRssi)};
}

ProtocolNodeFrame7* ProtocolNodeFrame7::instance(QObject* parent)
{
    if (!g_instance)
        g_instance = new ProtocolNodeFrame7(parent);
    return g_instance;
}

ProtocolNodeFrame7* ProtocolNodeFrame7::existing()
{
    return g_instance;
}

void ProtocolNodeFrame7::registerProtocol()
{
    registerFrameProtocol<ProtocolNodeFrame7>();
}

ProtocolNodeFrame7::ProtocolNodeFrame7(QObject* parent)
    : RangingFrameProtocol(parent)
{
}

ProtocolNodeFrame7::~ProtocolNodeFrame7()
{
    if (g_instance == this)
        g_instance = nullptr;
}

void ProtocolNodeFrame7::registerDataItems()
{
    registerFrameItems();
    createDataItem(new WidgetNodeFrame7Factory(lineCollector()));
}

} // namespace Trelvan
