#pragma once
// Node frame 2 and anchor frame 0 as a device sends them, for the benches. The
// system time of frame n is 1000 + 10 n, so a decoded frame tells its number.

#include "FrameFeed.h"

#include "products/trelvan/protocols/ProtocolAnchorFrame0.h"
#include "products/trelvan/protocols/ProtocolNodeFrame2.h"

namespace benchframes {

inline quint32 systemTimeOf(int n)
{
    return quint32(1000 + 10 * n);
}

using benchfeed::seal;

// A tag at frame n with four anchors in view.
inline QByteArray nodeFrame2(int n)
{
    using Trelvan::ProtocolNodeFrame2;
    ProtocolNodeFrame2::Frame_t f;
    f.role = 2;
    f.systemTime = systemTimeOf(n);
    f.localTime = f.systemTime + 7;
    const qint32 pos[3] = {5000 + (n % 700), 4000 - (n % 500), 1000};
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b)
            f.pos[3 * a + b] = quint8((quint32(pos[a]) >> (8 * b)) & 0xFF);
    f.g[2] = 0.7f;
    f.a[2] = 9.81f;
    f.angle[2] = qint16(n % 36000 - 18000);
    f.q[0] = 1.0f;
    f.plr = 600;
    f.voltage = 3700;
    f.nodeCount = 4;
    QByteArray b(reinterpret_cast<const char*>(&f), sizeof f);
    for (int k = 0; k < 4; ++k) {
        ProtocolNodeFrame2::Node_t r;
        r.role = 1;
        r.id = quint8(k);
        const quint32 d = quint32(3000 + 100 * k + n % 200);
        r.dis[0] = quint8(d);
        r.dis[1] = quint8(d >> 8);
        r.fpRssi = quint8(160 + k);
        r.rxRssi = quint8(150 + k);
        b.append(reinterpret_cast<const char*>(&r), sizeof r);
    }
    return benchfeed::finish(std::move(b));
}

// An anchor reporting five tags (slots 0, 3, 7, 12, 20).
inline QByteArray anchorFrame0(int n)
{
    using Trelvan::ProtocolAnchorFrame0;
    ProtocolAnchorFrame0::Frame_t f;
    for (auto& slot : f.nodes)
        slot.id = 0xFF;
    const int used[5] = {0, 3, 7, 12, 20};
    for (int t = 0; t < 5; ++t) {
        ProtocolAnchorFrame0::Node_t& r = f.nodes[used[t]];
        r.id = quint8(10 + t);
        r.role = 2;
        const quint32 x = quint32(1000 * t + n % 900);
        r.pos[0] = quint8(x);
        r.pos[1] = quint8(x >> 8);
        for (int k = 0; k < 8; ++k)
            r.dis[k] = quint16(300 + 10 * k + n % 50);
    }
    f.systemTime = systemTimeOf(n);
    f.plr = 600;
    f.voltage = 3700;
    f.role = 1;
    return QByteArray(reinterpret_cast<const char*>(&f), sizeof f);
}

} // namespace benchframes
