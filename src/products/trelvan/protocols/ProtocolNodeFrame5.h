#pragma once

#include "products/trelvan/protocols/RangingFrameProtocol.h"

#include <QList>

#include <array>

namespace Trelvan {

struct NodeFrame5Layout
{
    static constexpr quint8 kFrameKey = 8;
    using Frame_t = SenderFrameHead<quint32, kFrameKey>;
#pragma pack(push, 1)
    struct Node_t
    {
        qint8 role = 0;
        quint32 id = 0;
        quint8 dis[3] = {0, 0, 0}; // int24, mm
        quint8 fpRssi = 0;         // x -0.5 dB
        quint8 rxRssi = 0;         // x -0.5 dB
    };
#pragma pack(pop)
    static_assert(sizeof(Node_t) == 10, "packed record");
    static constexpr int kValues = 3;
    static constexpr bool kChecksRole = true;
    static constexpr bool kVoltageFirst = false;
    static QList<FieldDescriptor> fields();
    static std::array<float, kValues> values(const Node_t& n);
};

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
