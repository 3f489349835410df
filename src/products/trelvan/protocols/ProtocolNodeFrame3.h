#pragma once

#include "products/trelvan/protocols/RangingFrameProtocol.h"

namespace Trelvan {

using NodeFrame3Layout = DistanceLevelsLayout<quint8, 5>;

// Node frame 3 (head 55 05, u16 length): the sender's clocks and voltage, then one
// 7-byte record per node it ranges with: distance and two signal levels.
class ProtocolNodeFrame3 : public RangingFrameProtocol<NodeFrame3Layout>
{
    Q_OBJECT
public:
    static ProtocolNodeFrame3* instance(QObject* parent = nullptr);
    // The singleton when it has been made, else null (never creates it).
    static ProtocolNodeFrame3* existing();
    // Makes the protocol factory create this protocol under its frame name.
    static void registerProtocol();

    void registerDataItems() override;

private:
    explicit ProtocolNodeFrame3(QObject* parent);
    ~ProtocolNodeFrame3() override;
};

} // namespace Trelvan
