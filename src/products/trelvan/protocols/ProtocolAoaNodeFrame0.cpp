#include "products/trelvan/protocols/ProtocolAoaNodeFrame0.h"

#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/views/WidgetAoaNodeFrame0.h"

namespace Trelvan {

namespace {
ProtocolAoaNodeFrame0* g_instance = nullptr;
}

QList<FieldDescriptor> AoaNodeFrame0Layout::fields()
{
    return {Field::dis, Field::angle, Field::fpRssi, Field::rxRssi};
}

std::array<float, AoaNodeFrame0Layout::kValues> AoaNodeFrame0Layout::values(const Node_t& n)
{
    return {scaled(readInt24(reinterpret_cast<const char*>(n.dis)), 1000.0f), scaled(qint16(n.angle), 100.0f), signalLevelDb(n.fpRssi), signalLevelDb(n.rxRssi)};
}

ProtocolAoaNodeFrame0* ProtocolAoaNodeFrame0::instance(QObject* parent)
{
    if (!g_instance)
        g_instance = new ProtocolAoaNodeFrame0(parent);
    return g_instance;
}

ProtocolAoaNodeFrame0* ProtocolAoaNodeFrame0::existing()
{
    return g_instance;
}

void ProtocolAoaNodeFrame0::registerProtocol()
{
    registerFrameProtocol<ProtocolAoaNodeFrame0>();
}

ProtocolAoaNodeFrame0::ProtocolAoaNodeFrame0(QObject* parent)
    : RangingFrameProtocol(parent)
{
}

ProtocolAoaNodeFrame0::~ProtocolAoaNodeFrame0()
{
    if (g_instance == this)
        g_instance = nullptr;
}

void ProtocolAoaNodeFrame0::registerDataItems()
{
    registerFrameItems();
    createDataItem(new WidgetAoaNodeFrame0Factory(lineCollector()));
}

} // namespace Trelvan
