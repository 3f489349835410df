#include "TrelvanScenario.h"

#include "DeviceSimulator.h"

#include <QList>

#include <cmath>
#include <cstring>

namespace sim {

namespace {

constexpr double kPi = 3.14159265358979323846;

void putU16(QByteArray& b, quint16 v)
{
    b.append(char(v & 0xFF)).append(char(v >> 8));
}
void putU32(QByteArray& b, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}
void putI24(QByteArray& b, qint32 v)
{
    const quint32 u = quint32(v) & 0xFFFFFF;
    b.append(char(u & 0xFF)).append(char((u >> 8) & 0xFF)).append(char((u >> 16) & 0xFF));
}
void putF32(QByteArray& b, float v)
{
    quint32 u;
    std::memcpy(&u, &v, 4);
    putU32(b, u);
}

// Fills the u16 length in bytes 2 and 3 (the sum byte counted) and appends the sum.
void sealVariable(QByteArray& b)
{
    const int length = b.size() + 1;
    b[2] = char(length & 0xFF);
    b[3] = char(length >> 8);
    b.append('\0');
    sealSum8(b);
}

// Length field and 8-bit sum of a frame whose last byte is still to come.
QByteArray sealed(QByteArray b)
{
    const int length = b.size() + 1;
    b[2] = char(length & 0xFF);
    b[3] = char(length >> 8);
    b.append('\0');
    sealSum8(b);
    return b;
}

// The sender part: head, length (filled by sealed), role, id, clocks, reserved,
// voltage, record count.
QByteArray senderPart(quint8 key, const SenderFields& f, bool wideId, int count)
{
    QByteArray b;
    b.append(char(0x55)).append(char(key));
    putU16(b, 0);
    b.append(char(f.role));
    if (wideId)
        putU32(b, f.id);
    else
        b.append(char(f.id));
    putU32(b, f.localTime);
    putU32(b, f.systemTime);
    b.append("\xA5\x5A\xA5\x5A", 4); // reserved
    putU16(b, f.voltage);
    b.append(char(f.countOverride >= 0 ? f.countOverride : count));
    return b;
}

} // namespace

QByteArray nodeFrame5(const RangeFrameFields& f)
{
    QByteArray b = senderPart(0x08, f, true, f.nodes.size());
    for (const RangeRecord& n : f.nodes) {
        b.append(char(n.role));
        putU32(b, n.id);
        putI24(b, n.disMm);
        b.append(char(n.fpRssi)).append(char(n.rxRssi));
    }
    return sealed(b);
}

QByteArray nodeFrame7(const RangeFrameFields& f)
{
    QByteArray b = senderPart(0x0B, f, true, f.nodes.size());
    for (const RangeRecord& n : f.nodes) {
        b.append(char(n.role));
        putU32(b, n.id);
        putI24(b, n.disMm);
        putU16(b, quint16(n.angle0));
        putU16(b, quint16(n.angle1));
        b.append("\x5A\xA5", 2); // reserved, carried
        b.append(char(n.fpRssi)).append(char(n.rxRssi));
    }
    return sealed(b);
}

QByteArray aoaNodeFrame0(const RangeFrameFields& f)
{
    QByteArray b = senderPart(0x07, f, false, f.nodes.size());
    for (const RangeRecord& n : f.nodes) {
        b.append(char(n.role)).append(char(n.id));
        putI24(b, n.disMm);
        putU16(b, quint16(n.angle0));
        b.append(char(n.fpRssi)).append(char(n.rxRssi));
        b.append("\x5A\xA5", 2); // reserved
    }
    return sealed(b);
}

QByteArray nodeFrame4(const NodeFrame4Fields& f)
{
    QByteArray b = senderPart(0x06, f, false, f.tags.size());
    for (const TagDistances& t : f.tags) {
        b.append(char(t.id)).append("\xA5\x5A", 2).append(char(t.voltage));
        b.append(char(t.countOverride >= 0 ? t.countOverride : t.distancesMm.size()));
        for (const QPair<quint8, quint32>& d : t.distancesMm)
            putU32(b, quint32(d.first) | (d.second << 8));
    }
    return sealed(b);
}

QByteArray nodeFrame0(const NodeFrame0Fields& f)
{
    QByteArray b;
    b.append(char(0x55)).append(char(0x02));
    putU16(b, 0); // length, below
    b.append(char(f.role)).append(char(f.id));
    for (quint8 r : f.reserved)
        b.append(char(r));
    b.append(char(f.countOverride >= 0 ? f.countOverride : f.nodes.size()));
    for (const NodeFrame0Record& r : f.nodes) {
        b.append(char(r.role)).append(char(r.id));
        putU16(b, quint16(r.lengthOverride >= 0 ? r.lengthOverride : r.data.size()));
        b.append(r.data);
    }
    b.append(char(0));
    const quint16 length = quint16(b.size());
    b[2] = char(length & 0xFF);
    b[3] = char(length >> 8);
    sealSum8(b);
    return b;
}

QByteArray errorFrame0(const ErrorFrameFields& f)
{
    QByteArray b(32, '\0');
    b[0] = char(0x54);
    b[1] = char(0xFA);
    b[4] = char(f.role);
    b[5] = char(f.id);
    for (int i = 0; i < 4; ++i)
        b[6 + i] = char((f.systemTime >> (8 * i)) & 0xFF);
    b[14] = char(f.flags);
    for (int i = 0; i < 3; ++i)
        b[17 + i] = char(f.marks[size_t(i)]);
    sealSum8(b);
    return b;
}

QByteArray nodeFrame2(const NodeFrame2Fields& f)
{
    QByteArray b;
    b.reserve(120 + 13 * f.nodes.size());
    b.append(char(0x55)).append(char(0x04));
    putU16(b, 0); // length, below
    b.append(char(f.role)).append(char(f.id));
    putU32(b, f.systemTime);
    for (quint8 e : f.eop)
        b.append(char(e));
    for (qint32 v : f.posMm)
        putI24(b, v);
    for (qint32 v : f.vel)
        putI24(b, v);
    for (qint32 v : f.r012)
        putI24(b, v);
    for (float v : f.g)
        putF32(b, v);
    for (float v : f.a)
        putF32(b, v);
    for (float v : f.r456)
        putF32(b, v);
    for (qint16 v : f.angle)
        putU16(b, quint16(v));
    for (float v : f.q)
        putF32(b, v);
    putF32(b, f.r7);
    putU32(b, f.localTime);
    putF32(b, f.r8);
    putF32(b, f.r9);
    putU16(b, f.plr);
    putU16(b, f.voltage);
    b.append(char(f.countOverride >= 0 ? f.countOverride : f.nodes.size()));
    for (const NodeFrame2Record& n : f.nodes) {
        b.append(char(n.role)).append(char(n.id));
        putI24(b, n.disMm);
        b.append(char(n.fpRssi)).append(char(n.rxRssi));
        b.append(6, char(0xA5)); // reserved, carried
    }
    const int length = b.size() + 1;
    b[2] = char(length & 0xFF);
    b[3] = char(length >> 8);
    b.append('\0');
    sealSum8(b);
    return b;
}

QByteArray tagFrame0(const TagFrame0Fields& f)
{
    QByteArray b;
    b.reserve(128);
    b.append(char(0x55)).append(char(0x01));
    b.append(char(f.id)).append(char(f.reserved));
    for (qint32 v : f.posMm)
        putI24(b, v);
    for (qint32 v : f.vel)
        putI24(b, v);
    for (qint32 v : f.disMm)
        putI24(b, v);
    for (float v : f.g)
        putF32(b, v);
    for (float v : f.a)
        putF32(b, v);
    putF32(b, f.r0);
    putF32(b, f.r1);
    putF32(b, f.r2);
    for (qint16 v : f.angle)
        putU16(b, quint16(v));
    for (float v : f.q)
        putF32(b, v);
    putF32(b, f.r4);
    putU32(b, f.localTime);
    putU32(b, f.systemTime);
    b.append(char(f.r5));
    for (quint8 e : f.eop)
        b.append(char(e));
    putU16(b, f.voltage);
    putU16(b, f.r6);
    putU16(b, f.plr);
    b.append(char(f.r7));
    b.append('\0');
    sealSum8(b);
    return b;
}

QByteArray nodeFrame1(const NodeFrame1Fields& f)
{
    QByteArray b;
    b.reserve(28 + 20 * f.nodes.size());
    b.append(char(0x55)).append(char(0x03));
    putU16(b, 0); // length, below
    b.append(char(f.role)).append(char(f.id));
    putU32(b, f.systemTime);
    putU32(b, f.localTime);
    b.append(10, char(0x5A)); // reserved, carried
    putU16(b, f.voltage);
    b.append(char(f.countOverride >= 0 ? f.countOverride : f.nodes.size()));
    for (const NodeFrame1Record& n : f.nodes) {
        b.append(char(n.role)).append(char(n.id));
        for (qint32 v : n.posMm)
            putI24(b, v);
        b.append(9, char(0xA5)); // reserved, carried
    }
    sealVariable(b);
    return b;
}

QByteArray nodeFrame3(const NodeFrame3Fields& f)
{
    QByteArray b;
    b.reserve(22 + 7 * f.nodes.size());
    b.append(char(0x55)).append(char(0x05));
    putU16(b, 0); // length, below
    b.append(char(f.role)).append(char(f.id));
    putU32(b, f.localTime);
    putU32(b, f.systemTime);
    b.append(4, char(0x5A)); // reserved, carried
    putU16(b, f.voltage);
    b.append(char(f.countOverride >= 0 ? f.countOverride : f.nodes.size()));
    for (const NodeFrame3Record& n : f.nodes) {
        b.append(char(n.role)).append(char(n.id));
        putI24(b, n.disMm);
        b.append(char(n.fpRssi)).append(char(n.rxRssi));
    }
    sealVariable(b);
    return b;
}

AnchorFrame0Fields::AnchorFrame0Fields()
{
    for (AnchorTag& t : tagSlots)
        t.id = 0xFF;
}

QByteArray anchorFrame0(const AnchorFrame0Fields& f)
{
    QByteArray b;
    b.reserve(896);
    b.append(char(0x55)).append(char(0x00));
    for (const AnchorTag& t : f.tagSlots) {
        b.append(char(t.id)).append(char(t.role));
        for (qint32 v : t.posMm)
            putI24(b, v);
        for (quint16 d : t.disCm)
            putU16(b, d);
    }
    b.append(67, '\0');
    putU32(b, f.localTime);
    putU16(b, f.plr);
    b.append(2, '\0');
    putU16(b, f.voltage);
    putU32(b, f.systemTime);
    b.append(char(f.id)).append(char(f.role)).append(char(f.tail));
    return b;
}

TrelvanScenario::TrelvanScenario(int rateHz)
    : rate_(rateHz > 0 ? rateHz : 100)
{
}

quint32 TrelvanScenario::timeOf(int n) const
{
    return 1000u + quint32(qint64(n) * 1000 / rate_);
}

int TrelvanScenario::frameNow(qint64 elapsedMs, int last) const
{
    return qMax(int(elapsedMs * rate_ / 1000), last + 1);
}

std::array<qint32, 3> TrelvanScenario::anchorMm(int k)
{
    static const std::array<std::array<qint32, 3>, kAnchors> corners{
        {{0, 0, 2500}, {10000, 0, 2500}, {10000, 8000, 2500}, {0, 8000, 2500}}};
    return corners[size_t(k % kAnchors)];
}

std::array<qint32, 3> TrelvanScenario::tagMm(int t, quint32 ms)
{
    // Tag t: radius 1.5 + t m, one turn in 8 + 4t s, height 1 + 0.25t m.
    const double radius = 1500.0 + 1000.0 * t;
    const double period = 8000.0 + 4000.0 * t;
    const double phase = 2.0 * kPi * double(ms) / period + t;
    return {qint32(std::lround(5000.0 + radius * std::cos(phase))),
            qint32(std::lround(4000.0 + radius * std::sin(phase))), 1000 + 250 * t};
}

qint32 TrelvanScenario::distanceMm(const std::array<qint32, 3>& a, const std::array<qint32, 3>& b)
{
    const double dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return qint32(std::lround(std::sqrt(dx * dx + dy * dy + dz * dz)));
}

quint8 TrelvanScenario::fpRssiAt(qint32 disMm)
{
    // About -75 dB at 1 m, 0.5 dB worse per 0.25 m.
    return quint8(qBound(0, 150 + disMm / 250, 255));
}

quint8 TrelvanScenario::rxRssiAt(qint32 disMm)
{
    return quint8(qBound(0, 140 + disMm / 300, 255));
}

NodeFrame2Fields TrelvanScenario::nodeFrame2Fields(int n) const
{
    NodeFrame2Fields f;
    const quint32 ms = timeOf(n);
    const quint32 earlier = ms >= 10 ? ms - 10 : 0;
    f.role = 2;
    f.id = 0;
    f.systemTime = ms;
    f.localTime = ms + 123456;
    f.posMm = tagMm(0, ms);
    const std::array<qint32, 3> before = tagMm(0, earlier);
    for (int i = 0; i < 3; ++i) // mm per 10 ms -> 1/10000 m/s
        f.vel[size_t(i)] = (f.posMm[size_t(i)] - before[size_t(i)]) * 1000;
    const double heading = std::atan2(double(f.posMm[1] - before[1]), double(f.posMm[0] - before[0]));
    f.angle = {qint16(std::lround(200.0 * std::sin(ms / 700.0))), qint16(std::lround(-150.0 * std::cos(ms / 900.0))),
               qint16(std::lround(heading * 18000.0 / kPi))};
    f.q = {float(std::cos(heading / 2)), 0.0f, 0.0f, float(std::sin(heading / 2))};
    f.g = {0.01f * float(std::sin(ms / 500.0)), -0.02f, float(2.0 * kPi / 8000.0 * 1000.0)};
    f.a = {0.1f * float(std::cos(ms / 400.0)), 0.05f, 9.81f};
    f.eop = {quint8(5 + n % 3), quint8(6 + n % 2), 12};
    f.r012 = {n % 1000, -7, 42};
    f.r456 = {0.5f, -0.25f, 1.0f};
    f.r7 = 3.0f;
    f.r8 = float(n % 50);
    f.r9 = -1.5f;
    f.plr = quint16(600 - n % 60);
    f.voltage = quint16(3700 + n % 100);
    for (int k = 0; k < kAnchors; ++k) {
        const qint32 d = distanceMm(f.posMm, anchorMm(k));
        f.nodes.append(NodeFrame2Record{1, quint8(k), d, fpRssiAt(d), rxRssiAt(d)});
    }
    return f;
}

AnchorFrame0Fields TrelvanScenario::anchorFrame0Fields(int n) const
{
    AnchorFrame0Fields f;
    const quint32 ms = timeOf(n);
    f.systemTime = ms;
    f.localTime = ms + 654321;
    f.plr = quint16(1200 - n % 60);
    f.voltage = quint16(3700 + 8 * (n % 50)); // 3.7 V every 50th frame
    f.id = 0;
    f.role = 1;
    static const int usedSlots[kTags] = {0, 2, 5};
    for (int t = 0; t < kTags; ++t) {
        AnchorTag& tag = f.tagSlots[size_t(usedSlots[t])];
        tag.id = quint8(10 + t);
        tag.role = 2;
        tag.posMm = tagMm(t, ms);
        for (int k = 0; k < kAnchors; ++k)
            tag.disCm[size_t(k)] = quint16(distanceMm(tag.posMm, anchorMm(k)) / 10);
    }
    return f;
}

TagFrame0Fields TrelvanScenario::tagFrame0Fields(int n) const
{
    // The same tag and motion as node frame 2's report.
    const NodeFrame2Fields own = nodeFrame2Fields(n);
    TagFrame0Fields f;
    f.id = own.id;
    f.posMm = own.posMm;
    f.vel = own.vel;
    for (int k = 0; k < kAnchors; ++k)
        f.disMm[size_t(k)] = own.nodes[k].disMm;
    f.g = own.g;
    f.a = own.a;
    f.r0 = 0.25f;
    f.r1 = -2.0f;
    f.r2 = float(n % 100);
    f.angle = own.angle;
    f.q = own.q;
    f.r4 = 4.5f;
    f.localTime = own.localTime;
    f.systemTime = own.systemTime;
    f.r5 = quint8(n % 256);
    f.eop = own.eop;
    f.voltage = own.voltage;
    f.r6 = quint16(60000 + n % 1000);
    f.plr = own.plr;
    f.r7 = 7;
    return f;
}

NodeFrame1Fields TrelvanScenario::nodeFrame1Fields(int n) const
{
    NodeFrame1Fields f;
    const quint32 ms = timeOf(n);
    f.role = 0;
    f.id = 0;
    f.systemTime = ms;
    f.localTime = ms + 222222;
    f.voltage = quint16(3900 + n % 80);
    for (int t = 0; t < kTags; ++t)
        f.nodes.append(NodeFrame1Record{2, quint8(t), tagMm(t, ms)});
    f.nodes.append(NodeFrame1Record{0, 1, {2500, 6000, 1800}});
    return f;
}

NodeFrame3Fields TrelvanScenario::nodeFrame3Fields(int n) const
{
    NodeFrame3Fields f;
    const quint32 ms = timeOf(n);
    f.role = 2;
    f.id = 0;
    f.localTime = ms + 333333;
    f.systemTime = ms;
    f.voltage = quint16(3600 + n % 90);
    const std::array<qint32, 3> pos = tagMm(0, ms);
    for (int k = 0; k < kAnchors; ++k) {
        const qint32 d = distanceMm(pos, anchorMm(k));
        f.nodes.append(NodeFrame3Record{1, quint8(k), d, fpRssiAt(d), rxRssiAt(d)});
    }
    return f;
}

NodeFrame4Fields TrelvanScenario::nodeFrame4Fields(int n) const
{
    NodeFrame4Fields f;
    const quint32 ms = timeOf(n);
    f.role = 1;
    f.id = 0;
    f.systemTime = ms;
    f.localTime = ms + 222222;
    f.voltage = quint16(4000 - n % 40);
    for (int t = 0; t < kTags; ++t) {
        TagDistances tag;
        tag.id = quint8(10 + t);
        tag.voltage = quint8(74 + t + (n / 100) % 3); // 3.7 V and a little more
        for (int k = 0; k < kAnchors; ++k)
            tag.distancesMm.append({quint8(k), quint32(distanceMm(tagMm(t, ms), anchorMm(k)))});
        f.tags.append(tag);
    }
    return f;
}

qint16 TrelvanScenario::azimuth(const std::array<qint32, 3>& from, const std::array<qint32, 3>& to)
{
    const double a = std::atan2(double(to[1] - from[1]), double(to[0] - from[0]));
    return qint16(std::lround(a * 18000.0 / kPi));
}

qint16 TrelvanScenario::elevation(const std::array<qint32, 3>& from, const std::array<qint32, 3>& to)
{
    const double dx = to[0] - from[0], dy = to[1] - from[1];
    const double e = std::atan2(double(to[2] - from[2]), std::sqrt(dx * dx + dy * dy));
    return qint16(std::lround(e * 18000.0 / kPi));
}

RangeFrameFields TrelvanScenario::nodeFrame5Fields(int n) const
{
    RangeFrameFields f;
    const quint32 ms = timeOf(n);
    f.role = 0;
    f.id = 0x00020000u;
    f.systemTime = ms;
    f.localTime = ms + 333333;
    f.voltage = quint16(3600 + n % 100);
    const std::array<qint32, 3> at = tagMm(0, ms);
    for (int k = 0; k < kAnchors; ++k) {
        RangeRecord r;
        r.role = 1;
        r.id = 0x00010000u + quint32(k);
        r.disMm = distanceMm(at, anchorMm(k));
        r.fpRssi = fpRssiAt(r.disMm);
        r.rxRssi = rxRssiAt(r.disMm);
        f.nodes.append(r);
    }
    return f;
}

RangeFrameFields TrelvanScenario::nodeFrame7Fields(int n) const
{
    RangeFrameFields f = nodeFrame5Fields(n);
    const std::array<qint32, 3> at = tagMm(0, timeOf(n));
    for (int k = 0; k < f.nodes.size(); ++k) {
        f.nodes[k].angle0 = azimuth(at, anchorMm(k));
        f.nodes[k].angle1 = elevation(at, anchorMm(k));
    }
    return f;
}

RangeFrameFields TrelvanScenario::aoaNodeFrame0Fields(int n) const
{
    RangeFrameFields f;
    const quint32 ms = timeOf(n);
    f.role = 1;
    f.id = 0;
    f.systemTime = ms;
    f.localTime = ms + 444444;
    f.voltage = quint16(5000 - n % 70);
    for (int t = 0; t < kTags; ++t) {
        const std::array<qint32, 3> tag = tagMm(t, ms);
        RangeRecord r;
        r.role = 2;
        r.id = quint32(10 + t);
        r.disMm = distanceMm(anchorMm(0), tag);
        r.angle0 = azimuth(anchorMm(0), tag);
        r.fpRssi = fpRssiAt(r.disMm);
        r.rxRssi = rxRssiAt(r.disMm);
        f.nodes.append(r);
    }
    return f;
}

QByteArray TrelvanScenario::frameAt(Kind kind, int n) const
{
    switch (kind) {
    case Kind::NodeFrame2:
        return nodeFrame2(sent(nodeFrame2Fields(n)));
    case Kind::AnchorFrame0:
        return anchorFrame0(sent(anchorFrame0Fields(n)));
    case Kind::NodeFrame0:
        return nodeFrame0(sent(nodeFrame0Fields(n)));
    case Kind::TagFrame0:
        return tagFrame0At(n);
    case Kind::NodeFrame1:
        return nodeFrame1(sent(nodeFrame1Fields(n)));
    case Kind::NodeFrame3:
        return nodeFrame3(sent(nodeFrame3Fields(n)));
    case Kind::NodeFrame4:
        return nodeFrame4(sent(nodeFrame4Fields(n)));
    case Kind::NodeFrame5:
        return nodeFrame5(sent(nodeFrame5Fields(n)));
    case Kind::NodeFrame7:
        return nodeFrame7(sent(nodeFrame7Fields(n)));
    case Kind::AoaNodeFrame0:
        return aoaNodeFrame0(sent(aoaNodeFrame0Fields(n)));
    }
    return QByteArray();
}

QByteArray TrelvanScenario::stream(Kind kind, int first, int count) const
{
    QByteArray all;
    for (int n = first; n < first + count; ++n)
        all += frameAt(kind, n);
    return all;
}

bool TrelvanScenario::kindOfGroup(const QString& group, Kind* kind)
{
    static const QList<QPair<QString, Kind>> kinds{
        {"Node_Frame2", Kind::NodeFrame2}, {"Anchor_Frame0", Kind::AnchorFrame0},
        {"Node_Frame0", Kind::NodeFrame0}, {"Tag_Frame0", Kind::TagFrame0},
        {"Node_Frame1", Kind::NodeFrame1}, {"Node_Frame3", Kind::NodeFrame3},
        {"Node_Frame4", Kind::NodeFrame4}, {"Node_Frame5", Kind::NodeFrame5},
        {"Node_Frame7", Kind::NodeFrame7}, {"AOA_Node_Frame0", Kind::AoaNodeFrame0}};
    for (const auto& k : kinds) {
        if (group.compare(k.first, Qt::CaseInsensitive) == 0 ||
            group.compare("Vexa_Trelvan_" + k.first, Qt::CaseInsensitive) == 0) {
            if (kind)
                *kind = k.second;
            return true;
        }
    }
    return false;
}

void TrelvanScenario::streamTo(DeviceSimulator& device, Kind kind, int count, bool loop) const
{
    QByteArray data;
    QVector<int> sizes;
    for (int n = 0; n < count; ++n) {
        const QByteArray frame = frameAt(kind, n);
        data += frame;
        sizes << frame.size();
    }
    const int frameBytes = count > 0 ? data.size() / count : 0;
    device.stream(data, frameBytes * rate_, loop, sizes);
}

void TrelvanScenario::setNodeSilenced(int id, bool silenced)
{
    if (id >= 0 && id < kDtNodes)
        silenced_[size_t(id)] = silenced;
}

NodeFrame0Fields TrelvanScenario::nodeFrame0Fields(int n) const
{
    NodeFrame0Fields f;
    f.role = dtSenderRole_;
    f.id = 0;
    for (int id = 0; id < kDtNodes; ++id) {
        if (silenced_[size_t(id)])
            continue;
        NodeFrame0Record r;
        r.role = dtNodeRole_;
        r.id = quint8(id);
        const int length = payloadLengths_[size_t(id)];
        r.data.resize(length);
        for (int i = 0; i < length; ++i)
            r.data[i] = char((n + 16 * id + i) & 0xFF);
        f.nodes.append(r);
    }
    return f;
}

ErrorFrameFields TrelvanScenario::errorFrameFields(int n) const
{
    ErrorFrameFields e;
    e.role = 2;
    e.id = 7;
    e.systemTime = timeOf(n);
    e.flags = 0x11; // nodeRepeat, hardFault
    e.marks = {2, 0, 0};
    return e;
}

QByteArray TrelvanScenario::mixedStream(Kind kind, int first, int count) const
{
    const int errorEvery = 3 * rate_;
    QByteArray all;
    for (int n = first; n < first + count; ++n) {
        if (errorEvery > 0 && n % errorEvery == 0)
            all += errorFrame0At(n);
        all += frameAt(kind, n);
        if (kind != Kind::NodeFrame0 && n % nodeFrame0Interval_ == 0)
            all += nodeFrame0At(n);
    }
    return all;
}

void TrelvanScenario::streamMixedTo(DeviceSimulator& device, Kind kind, int count, bool loop) const
{
    QByteArray data;
    QVector<int> sizes; // the frames of each step go out together
    for (int n = 0; n < count; ++n) {
        const QByteArray step = mixedStream(kind, n, 1);
        data += step;
        sizes << step.size();
    }
    const qint64 perSecond = count > 0 ? qint64(data.size()) * rate_ / count : 0;
    device.stream(data, int(perSecond), loop, sizes);
}

} // namespace sim
