#pragma once

#include "products/trelvan/protocols/RangingFrameProtocol.h"

namespace Trelvan {

using NodeFrame3Layout = DistanceLevelsLayout<quint8, 5>;

// Node frame 3 (head 55 05, u16 length): the sender's clocks and voltage, then one
// 7-byte record per node it ranges with: distance and two signal levels.
class ProtocolNodeFrame3 : public RangingFrameProtocol<NodeFrame3Layout, ProtocolNodeFrame3>
{
    Q_OBJECT
public:
    void registerDataItems() override;

private:
    friend class RangingFrameProtocol;
    explicit ProtocolNodeFrame3(QObject* parent);
};

} // namespace Trelvan
