#pragma once

#include "products/trelvan/protocols/RangingFrameProtocol.h"

#include <QList>

#include <array>

namespace Trelvan {

struct AoaNodeFrame0Layout
{
    static constexpr quint8 kFrameKey = 7;
    using Frame_t = SenderFrameHead<quint8, kFrameKey>;
#pragma pack(push, 1)
    struct Node_t
    {
        qint8 role = 0;
        quint8 id = 0;
        quint8 dis[3] = {0, 0, 0}; // int24, mm
        qint16 angle = 0;          // 1/100 deg
        quint8 fpRssi = 0;         // x -0.5 dB
        quint8 rxRssi = 0;         // x -0.5 dB
        quint8 reserved[2] = {};   // carried, not shown
    };
#pragma pack(pop)
    static_assert(sizeof(Node_t) == 11, "packed record");
    static constexpr int kValues = 4;
    static constexpr bool kChecksRole = false;
    static constexpr bool kVoltageFirst = true;
    static QList<FieldDescriptor> fields();
    static std::array<float, kValues> values(const Node_t& n);
};

// AOA node frame 0 (head 55 07, u16 length): an angle-of-arrival node (role, id),
// its clocks and voltage, then one 11-byte record per node it ranged with: role,
// id, distance, angle of arrival and two signal levels. Every role is accepted.
class ProtocolAoaNodeFrame0 : public RangingFrameProtocol<AoaNodeFrame0Layout, ProtocolAoaNodeFrame0>
{
    Q_OBJECT
public:
    void registerDataItems() override;

private:
    friend class RangingFrameProtocol;
    explicit ProtocolAoaNodeFrame0(QObject* parent);
};

} // namespace Trelvan
