#pragma once

#include <QtGlobal>

namespace Trelvan {

#pragma pack(push, 1)
// The fixed part of the node frames that report from one sender with two clocks
// and a voltage (node frames 3, 4, 5, 7, AOA node frame 0), as on the wire: 21 bytes
// with an 8-bit sender id, 24 with a 32-bit one. nodeCount is its last byte.
template <typename Id, quint8 Key>
struct SenderFrameHead
{
    quint8 head[2] = {0x55, Key};
    quint16 frameLength = 0;
    quint8 role = 0;
    Id id = 0;
    quint32 localTime = 0;  // ms
    quint32 systemTime = 0; // ms
    quint8 reserved[4] = {};
    quint16 voltage = 0; // mV
    quint8 nodeCount = 0;
};
#pragma pack(pop)

static_assert(sizeof(SenderFrameHead<quint8, 0>) == 21, "packed fixed part, 8-bit ids");
static_assert(sizeof(SenderFrameHead<quint32, 0>) == 24, "packed fixed part, 32-bit ids");

} // namespace Trelvan
