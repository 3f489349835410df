#include "TrelvanScenario.h"

#include "DeviceSimulator.h"

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

} // namespace

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

QByteArray TrelvanScenario::nodeFrame2Stream(int first, int count) const
{
    QByteArray all;
    for (int n = first; n < first + count; ++n)
        all += nodeFrame2At(n);
    return all;
}

QByteArray TrelvanScenario::anchorFrame0Stream(int first, int count) const
{
    QByteArray all;
    for (int n = first; n < first + count; ++n)
        all += anchorFrame0At(n);
    return all;
}

void TrelvanScenario::streamTo(DeviceSimulator& device, Kind kind, int count, bool loop) const
{
    const QByteArray data = kind == Kind::NodeFrame2 ? nodeFrame2Stream(0, count) : anchorFrame0Stream(0, count);
    const int frameBytes = count > 0 ? data.size() / count : 0;
    device.stream(data, frameBytes * rate_, loop);
}

} // namespace sim
