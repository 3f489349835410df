#include "products/trelvan/protocols/ProtocolTagFrame0.h"

#include "model/ResourceItems.h"
#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/protocols/FrameDecoding.h"
#include "products/trelvan/protocols/TrelvanNaming.h"
#include "products/trelvan/views/WidgetTagFrame0.h"

#include <cstring>

namespace Trelvan {

namespace {

ProtocolTagFrame0* g_instance = nullptr;

const char* bytes(const quint8* p)
{
    return reinterpret_cast<const char*>(p);
}

template <size_t N>
std::array<float, N> int24s(const quint8* p, float scale)
{
    std::array<float, N> v{};
    for (size_t i = 0; i < N; ++i)
        v[i] = scaled(readInt24(bytes(p + 3 * i)), scale);
    return v;
}

} // namespace

ProtocolTagFrame0* ProtocolTagFrame0::instance(QObject* parent)
{
    if (!g_instance)
        g_instance = new ProtocolTagFrame0(parent);
    return g_instance;
}

ProtocolTagFrame0* ProtocolTagFrame0::existing()
{
    return g_instance;
}

void ProtocolTagFrame0::registerProtocol()
{
    registerFrameProtocol<ProtocolTagFrame0>();
}

ProtocolTagFrame0::ProtocolTagFrame0(QObject* parent)
    : TagMotionProtocol(kFrameKey, kFrameLength, kFrameLength, kFrameLength, parent)
    , DataExportObserver(this)
    , queue(name())
{
    exportColumns_ << makeItemName(Field::plr) << "r0" << "r1" << "r2" << "r4" << "r5" << "r6" << "r7"
                   << makeVectorItemNames(Field::pos) << makeVectorItemNames(Field::vel)
                   << makeArrayItemNames(Field::dis, 8) << makeVectorItemNames(Field::g)
                   << makeVectorItemNames(Field::a) << makeVectorItemNames(Field::angle)
                   << makeArrayItemNames(Field::q, 4) << makeItemName(Field::localTime)
                   << makeItemName(Field::systemTime) << makeVectorItemNames(Field::eop)
                   << makeItemName(Field::voltage);
}

ProtocolTagFrame0::~ProtocolTagFrame0()
{
    if (g_instance == this)
        g_instance = nullptr;
}

std::array<float, 3> ProtocolTagFrame0::posMetres(const Frame_t& f)
{
    return int24s<3>(f.pos, 1000.0f);
}

std::array<float, 3> ProtocolTagFrame0::velMetresPerSecond(const Frame_t& f)
{
    return int24s<3>(f.vel, 10000.0f);
}

std::array<float, 8> ProtocolTagFrame0::disMetres(const Frame_t& f)
{
    return int24s<8>(f.dis, 1000.0f);
}

std::array<float, 3> ProtocolTagFrame0::angleDegrees(const Frame_t& f)
{
    const qint16 x = f.angle[0], y = f.angle[1], z = f.angle[2];
    return {scaled(x, 100.0f), scaled(y, 100.0f), scaled(z, 100.0f)};
}

std::array<float, 3> ProtocolTagFrame0::eopMetres(const Frame_t& f)
{
    return {scaled(f.eop[0], 100.0f), scaled(f.eop[1], 100.0f), scaled(f.eop[2], 100.0f)};
}

float ProtocolTagFrame0::plrValue(const Frame_t& f)
{
    return scaled(quint16(f.plr), 600.0f);
}

float ProtocolTagFrame0::voltageVolts(const Frame_t& f)
{
    return scaled(quint16(f.voltage), 1000.0f);
}

void ProtocolTagFrame0::registerDataItems()
{
    plrItem = createLineItem(makeItemName(Field::plr));
    rFloatItems = createLineItems({"r0", "r1", "r2"});
    const QVector<LineResourceItem*> r4to7 = createLineItems({"r4", "r5", "r6", "r7"});
    rFloatItems.append(r4to7.value(0));
    rIntItems = r4to7.mid(1);
    createMotionLines();
    disItems = createLineItems(makeArrayItemNames(Field::dis, 8));
    voltageItem = createLineItem(makeItemName(Field::voltage), false);
    createTagPoints();
    createDataItem(new WidgetTagFrame0Factory(lineCollector()));
}

void ProtocolTagFrame0::parseFrame(const QByteArray& frame)
{
    if (frame.size() < kFrameLength)
        return;
    std::memcpy(&frameRecord, frame.constData(), kFrameLength);
    const Frame_t& f = frameRecord;

    // The page is fed first; the export and the items follow.
    auto data = QSharedPointer<Data>::create();
    data->systemTime = f.systemTime;
    data->frame = f;
    publish(queue, data);

    exportRow();

    writeLine(plrItem, plrValue(f));
    const float rFloats[4] = {f.r0, f.r1, f.r2, f.r4};
    for (int i = 0; i < 4; ++i)
        writeLine(rFloatItems.value(i), rFloats[i]);
    const int rInts[3] = {f.r5, f.r6, f.r7};
    for (int i = 0; i < 3; ++i)
        writeValue(rIntItems.value(i), rInts[i]);
    writeLine(voltageItem, voltageVolts(f));
    const auto pos = posMetres(f);
    const auto vel = velMetresPerSecond(f);
    const auto dis = disMetres(f);
    const auto angle = angleDegrees(f);
    const auto eop = eopMetres(f);
    for (int i = 0; i < 8; ++i)
        writeLine(disItems.value(i), dis[size_t(i)]);
    // Copies: the frame's floats lie unaligned.
    const float g[3] = {f.g[0], f.g[1], f.g[2]};
    const float a[3] = {f.a[0], f.a[1], f.a[2]};
    const float q[4] = {f.q[0], f.q[1], f.q[2], f.q[3]};
    writeMotion({pos.data(), vel.data(), g, a, angle.data(), q, eop.data()});
}

QList<QVariant> ProtocolTagFrame0::fillExportRow()
{
    const Frame_t& f = frameRecord;
    QList<QVariant> row;
    row.reserve(41);
    auto add = [&row](float v) { row << QVariant::fromValue(v); };
    add(plrValue(f));
    add(f.r0);
    add(f.r1);
    add(f.r2);
    add(f.r4);
    row << int(f.r5) << int(f.r6) << int(f.r7);
    for (float v : posMetres(f))
        add(v);
    for (float v : velMetresPerSecond(f))
        add(v);
    for (float v : disMetres(f))
        add(v);
    for (int i = 0; i < 3; ++i)
        add(f.g[i]);
    for (int i = 0; i < 3; ++i)
        add(f.a[i]);
    for (float v : angleDegrees(f))
        add(v);
    for (int i = 0; i < 4; ++i)
        add(f.q[i]);
    row << QVariant::fromValue(quint32(f.localTime)) << QVariant::fromValue(quint32(f.systemTime));
    for (float v : eopMetres(f))
        add(v);
    add(voltageVolts(f));
    return row;
}

} // namespace Trelvan
