#pragma once
// Streams that fill the node bounds, for bench_latency --flood: frames whose records
// carry fresh keys (as damage that passes the sum does) against the same frames with
// fixed keys, and the largest real installations. Frame n of every stream is
// complete and sealed.

#include "FrameFeed.h"

#include "products/iot/IotProtocolFrame0.h"
#include "products/trelvan/protocols/ProtocolNodeFrame1.h"
#include "products/trelvan/protocols/ProtocolNodeFrame4.h"
#include "products/trelvan/protocols/TrelvanTables.h"

namespace floodframes {

using benchfeed::seal;

inline void put24(quint8* b, qint32 v)
{
    b[0] = quint8(v & 0xFF);
    b[1] = quint8((v >> 8) & 0xFF);
    b[2] = quint8((v >> 16) & 0xFF);
}

using benchfeed::finish;

// Key k of the node frame 1 flood: every role of the role table x 256 ids, in turn,
// so that the keys come round again (every 1.8 s at five a frame and 200 frames/s).
inline QPair<qint8, quint8> floodKey(int k)
{
    const int roles = Trelvan::roleLetters.size();
    return {qint8((k / 256) % roles), quint8(k % 256)};
}

// Node frame 1 from node N_0 with the given (role, id) records.
inline QByteArray nodeFrame1(int n, const QVector<QPair<qint8, quint8>>& keys)
{
    using Trelvan::ProtocolNodeFrame1;
    ProtocolNodeFrame1::Frame_t f;
    f.systemTime = quint32(1000 + 5 * n);
    f.localTime = f.systemTime + 7;
    f.voltage = 3700;
    f.nodeCount = quint8(keys.size());
    QByteArray b(reinterpret_cast<const char*>(&f), sizeof f);
    for (int k = 0; k < keys.size(); ++k) {
        ProtocolNodeFrame1::Node_t r;
        r.role = keys[k].first;
        r.id = keys[k].second;
        put24(r.pos, 1000 * (k + 1) + n % 700);
        put24(r.pos + 3, 4000 - n % 500);
        put24(r.pos + 6, 1200);
        b.append(reinterpret_cast<const char*>(&r), sizeof r);
    }
    return finish(b);
}

// Five fresh flood keys a frame.
inline QByteArray nodeFrame1Fresh(int n)
{
    QVector<QPair<qint8, quint8>> keys;
    for (int j = 0; j < 5; ++j)
        keys << floodKey(5 * n + j);
    return nodeFrame1(n, keys);
}

// Five fixed tags T_10 .. T_14.
inline QByteArray nodeFrame1Fixed(int n)
{
    QVector<QPair<qint8, quint8>> keys;
    for (int j = 0; j < 5; ++j)
        keys << qMakePair(qint8(2), quint8(10 + j));
    return nodeFrame1(n, keys);
}

// The real tags T_first .. T_first+4.
inline QByteArray nodeFrame1Real(int n, int first = 0)
{
    QVector<QPair<qint8, quint8>> keys;
    for (int j = 0; j < 5; ++j)
        keys << qMakePair(qint8(2), quint8(first + j));
    return nodeFrame1(n, keys);
}

// A node frame 1 with `count` nodes never seen in any other stream here (roles 0 and
// 2, ids 0..255 then the next role): a real installation's first frame.
inline QByteArray nodeFrame1Many(int n, int count)
{
    QVector<QPair<qint8, quint8>> keys;
    for (int j = 0; j < count; ++j)
        keys << qMakePair(qint8(j < 256 ? 0 : 2), quint8(j % 256));
    return nodeFrame1(n, keys);
}

// The largest installation the modes allow (a master and 255 slaves): 256 nodes,
// five a frame in turn, so each moves about four times a second at 200 frames/s.
inline QByteArray nodeFrame1Installation(int n)
{
    QVector<QPair<qint8, quint8>> keys;
    for (int j = 0; j < 5; ++j)
        keys << qMakePair(qint8(0), quint8((5 * n + j) % 256));
    return nodeFrame1(n, keys);
}

// Damage that repeats keys: each (role, id) drawn from the role table's roles and all
// 256 ids, as damaged copies of real frames carry (a fixed seed, so runs compare).
inline QByteArray nodeFrame1Random(int n)
{
    QVector<QPair<qint8, quint8>> keys;
    quint32 x = 2463534242u ^ quint32(n * 2654435761u);
    for (int j = 0; j < 5; ++j) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        keys << qMakePair(qint8((x >> 8) % quint32(Trelvan::roleLetters.size())), quint8(x >> 24));
    }
    return nodeFrame1(n, keys);
}

// The iot node frame with five node slots: ids fresh (never repeated) or fixed.
inline QByteArray iotFrame(int n, bool fresh)
{
    using iot::ProtocolFrame0;
    QByteArray f(ProtocolFrame0::kFrameLength, '\0');
    f[0] = char(0x55);
    f[1] = char(0x01);
    for (int i = 0; i < 5; ++i) {
        const int o = ProtocolFrame0::kFirstSlot + ProtocolFrame0::kSlotSize * i;
        const quint32 id = fresh ? 0x10000u + quint32(5 * n + i) : 0x100u + quint32(i);
        for (int b = 0; b < 4; ++b)
            f[o + b] = char((id >> (8 * b)) & 0xFF);
        f[o + 4] = char(n & 0xFF);
        put24(reinterpret_cast<quint8*>(f.data() + o + 5), 1000 * (i + 1) + n % 500);
        put24(reinterpret_cast<quint8*>(f.data() + o + 8), (n * 7 + i * 1000) % 90000 - 45000);
        put24(reinterpret_cast<quint8*>(f.data() + o + 11), (n * 3) % 20000 - 10000);
    }
    seal(f);
    return f;
}

// Node frame 4 from anchor A_0: tags (id, sub-records of (anchor, distance)).
inline QByteArray nodeFrame4(int n, const QVector<QPair<quint8, QVector<quint8>>>& tags)
{
    using Trelvan::ProtocolNodeFrame4;
    ProtocolNodeFrame4::Frame_t f;
    f.role = 1;
    f.localTime = quint32(5000 + 5 * n);
    f.systemTime = quint32(1000 + 5 * n);
    f.voltage = 3700;
    f.nodeCount = quint8(tags.size());
    QByteArray b(reinterpret_cast<const char*>(&f), sizeof f);
    for (const auto& tag : tags) {
        b.append(char(tag.first)).append(2, '\0').append(char(74)).append(char(tag.second.size()));
        for (int k = 0; k < tag.second.size(); ++k) {
            const quint32 sub = quint32(tag.second[k]) | (quint32(3000 + 10 * k + n % 300) << 8);
            for (int i = 0; i < 4; ++i)
                b.append(char((sub >> (8 * i)) & 0xFF));
        }
    }
    return finish(b);
}

// Five fresh (tag, anchor) pairs a frame, going through all 65,536 in turn (once a
// 65.5 s at 200 frames/s): five tags of one sub-record each.
inline QByteArray nodeFrame4Fresh(int n)
{
    QVector<QPair<quint8, QVector<quint8>>> tags;
    for (int j = 0; j < 5; ++j) {
        const int pair = (5 * n + j) % 65536;
        tags << qMakePair(quint8(pair >> 8), QVector<quint8>{quint8(pair & 0xFF)});
    }
    return nodeFrame4(n, tags);
}

// Mode 12 at capacity: 40 tags each ranging all 120 anchors (4,800 pairs, 19,422 bytes).
inline QByteArray nodeFrame4Mode12(int n)
{
    QVector<quint8> anchors;
    for (int a = 0; a < 120; ++a)
        anchors << quint8(a);
    QVector<QPair<quint8, QVector<quint8>>> tags;
    for (int t = 0; t < 40; ++t)
        tags << qMakePair(quint8(128 + t), anchors);
    return nodeFrame4(n, tags);
}

} // namespace floodframes
