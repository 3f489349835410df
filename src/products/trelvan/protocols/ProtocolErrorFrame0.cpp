#include "products/trelvan/protocols/ProtocolErrorFrame0.h"

#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/views/WidgetErrorFrame0.h"

#include <QSharedPointer>

#include <cstring>

namespace Trelvan {

namespace {
ProtocolErrorFrame0* g_instance = nullptr;
}

ProtocolErrorFrame0* ProtocolErrorFrame0::instance(QObject* parent)
{
    if (!g_instance)
        g_instance = new ProtocolErrorFrame0(parent);
    return g_instance;
}

ProtocolErrorFrame0* ProtocolErrorFrame0::existing()
{
    return g_instance;
}

void ProtocolErrorFrame0::registerProtocol()
{
    registerFrameProtocol<ProtocolErrorFrame0>(QStringLiteral("Vexa_Trelvan_Error_Frame0"));
}

ProtocolErrorFrame0::ProtocolErrorFrame0(QObject* parent)
    : ProtocolBase(QStringLiteral("Vexa_Trelvan_Error_Frame0"), parent)
    , queue(name())
    , item(new WidgetErrorFrame0Item(this))
{
    isLengthKnown_ = true;
    frameLength_ = kFrameLength;
    minFrameLength_ = kFrameLength;
    maxFrameLength_ = kFrameLength;
    head_.append(char(kHead0));
    head_.append(char(kHead1));
}

ProtocolErrorFrame0::~ProtocolErrorFrame0()
{
    if (g_instance == this)
        g_instance = nullptr;
}

void ProtocolErrorFrame0::registerDataItems()
{
    item->createViewInGuiThread();
}

void ProtocolErrorFrame0::parseFrame(const QByteArray& frame)
{
    if (frame.size() < kFrameLength)
        return;
    std::memcpy(lastFrame.bytes, frame.constData(), kFrameLength);
    queue.push(QSharedPointer<Record>::create(lastFrame));
    item->setDirty(true);
}

} // namespace Trelvan
