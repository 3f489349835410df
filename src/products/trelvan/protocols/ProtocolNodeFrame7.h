#pragma once

#include "products/trelvan/protocols/RangingFrameProtocol.h"

#include <QList>

#include <array>

namespace Trelvan {

struct NodeFrame7Layout
{
    static constexpr quint8 kFrameKey = 11;
    using Frame_t = SenderFrameHead<quint32, kFrameKey>;
#pragma pack(push, 1)
    struct Node_t
    {
        qint8 role = 0;
        quint32 id = 0;
        quint8 dis[3] = {0, 0, 0}; // int24, mm
        qint16 angle0 = 0;         // 1/100 deg
        qint16 angle1 = 0;         // 1/100 deg
        quint8 reserved[2] = {};   // carried, not shown
        quint8 fpRssi = 0;         // x -0.5 dB
        quint8 rxRssi = 0;         // x -0.5 dB
    };
#pragma pack(pop)
    static_assert(sizeof(Node_t) == 16, "packed record");
    static constexpr int kValues = 5;
    static constexpr bool kChecksRole = true;
    static constexpr bool kVoltageFirst = false;
    static QList<FieldDescriptor> fields();
    static std::array<float, kValues> values(const Node_t& n);
};

// Node frame 7 (head 55 0B, u16 length): the fixed part of node frame 5, then one
// 16-byte record per node it ranged with: role, 32-bit id, distance, two angles
// and two signal levels.
class ProtocolNodeFrame7 : public RangingFrameProtocol<NodeFrame7Layout, ProtocolNodeFrame7>
{
    Q_OBJECT
public:
    void registerDataItems() override;

private:
    friend class RangingFrameProtocol;
    explicit ProtocolNodeFrame7(QObject* parent);
};

} // namespace Trelvan
