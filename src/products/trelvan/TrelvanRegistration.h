#pragma once

#include "products/trelvan/protocols/TrelvanTables.h"
#include "protocol/ProtocolFactory.h"

#include <QString>

class ProtocolBase;
class QObject;

namespace Trelvan {

// Start-up wiring of the positioning-system line (GUI thread, once, before any
// protocol group is loaded): makes the frame pipeline's node label this line's
// and registers every frame protocol of the line with the protocol factory.
void registerProtocols();

// Registers one frame protocol class under a name: the factory then creates it
// through P::instance(parent) on first use.
template <typename P>
void registerFrameProtocol(const QString& name)
{
    ProtocolFactory::registerProtocol(name, [](QObject* parent) -> ProtocolBase* { return P::instance(parent); });
}

// The same under the frame-name table's name of P::kFrameKey.
template <typename P>
void registerFrameProtocol()
{
    registerFrameProtocol<P>(frameNames.value(P::kFrameKey));
}

} // namespace Trelvan
