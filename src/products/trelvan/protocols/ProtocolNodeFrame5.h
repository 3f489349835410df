#pragma once

#include "products/trelvan/protocols/RangingFrameProtocol.h"

namespace Trelvan {

using NodeFrame5Layout = DistanceLevelsLayout<quint32, 8>;

// Node frame 5 (head 55 08, u16 length): a sender (role, 32-bit id), its clocks and
// voltage, then one 10-byte record per node it ranged with: role, 32-bit id,
// distance and two signal levels.
class ProtocolNodeFrame5 : public RangingFrameProtocol<NodeFrame5Layout, ProtocolNodeFrame5>
{
    Q_OBJECT
public:
    void registerDataItems() override;

private:
    friend class RangingFrameProtocol;
    explicit ProtocolNodeFrame5(QObject* parent);
};

} // namespace Trelvan
