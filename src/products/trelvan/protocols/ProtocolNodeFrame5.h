#pragma once

#include "products/trelvan/protocols/RangingFrameProtocol.h"

namespace Trelvan {

using NodeFrame5Layout = DistanceLevelsLayout<quint32, 8>;

// Node frame 5 (head 55 08, u16 length): a sender (role, 32-bit id), its clocks and
// voltage, then one 10-byte record per node it ranged with: role, 32-bit id,
// distance and two signal levels.
class ProtocolNodeFrame5 : public RangingFrameProtocol<NodeFrame5Layout>
{
    Q_OBJECT
public:
    static ProtocolNodeFrame5* instance(QObject* parent = nullptr);
    // The singleton when it has been made, else null (never creates it).
    static ProtocolNodeFrame5* existing();
    // Makes the protocol factory create this protocol under its frame name.
    static void registerProtocol();

    void registerDataItems() override;

private:
    explicit ProtocolNodeFrame5(QObject* parent);
    ~ProtocolNodeFrame5() override;
};

} // namespace Trelvan
