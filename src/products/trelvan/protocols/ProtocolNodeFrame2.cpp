#include "products/trelvan/protocols/ProtocolNodeFrame2.h"

#include "foundation/ZLog.h"
#include "model/ResourceItems.h"
#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/protocols/FrameDecoding.h"
#include "products/trelvan/protocols/NodeLabel.h"
#include "products/trelvan/protocols/TrelvanNaming.h"
#include "products/trelvan/views/WidgetNodeFrame2.h"

#include <cstring>

namespace Trelvan {

namespace {

ProtocolNodeFrame2* g_instance = nullptr;

bool nodeOrAnchor(qint8 role)
{
    return role == 0 || role == 1;
}

const char* bytes(const quint8* p)
{
    return reinterpret_cast<const char*>(p);
}

} // namespace

ProtocolNodeFrame2* ProtocolNodeFrame2::instance(QObject* parent)
{
    if (!g_instance)
        g_instance = new ProtocolNodeFrame2(parent);
    return g_instance;
}

ProtocolNodeFrame2* ProtocolNodeFrame2::existing()
{
    return g_instance;
}

void ProtocolNodeFrame2::registerProtocol()
{
    registerFrameProtocol<ProtocolNodeFrame2>();
}

ProtocolNodeFrame2::ProtocolNodeFrame2(QObject* parent)
    // The u8 record count allows at most 255 records: 120 + 13 * 255 = 3435 bytes.
    : TagMotionProtocol(kFrameKey, 0, kFixedPart, kFixedPart + 255 * kRecordSize + 1, parent)
    , DataExportObserver(this)
    , queue(name())
{
    exportColumns_ << makeItemName(Field::plr) << "r0" << "r1" << "r2" << "r4" << "r5" << "r6" << "r7" << "r8"
                   << "r9" << makeItemName(Field::localTime) << makeItemName(Field::systemTime)
                   << makeVectorItemNames(Field::eop) << makeVectorItemNames(Field::pos)
                   << makeVectorItemNames(Field::vel) << makeVectorItemNames(Field::g)
                   << makeVectorItemNames(Field::a) << makeVectorItemNames(Field::angle)
                   << makeArrayItemNames(Field::q, 4) << makeItemName(Field::voltage)
                   << makeItemName(Field::nodeCount) << makeItemName(Field::role) << makeItemName(Field::id)
                   << makeItemName(Field::dis) << makeItemName(Field::fpRssi) << makeItemName(Field::rxRssi);
}

ProtocolNodeFrame2::~ProtocolNodeFrame2()
{
    for (auto& byId : nodeItems)
        qDeleteAll(byId);
    if (g_instance == this)
        g_instance = nullptr;
}

QList<FieldDescriptor> ProtocolNodeFrame2::recordFields()
{
    return {Field::dis, Field::fpRssi, Field::rxRssi};
}

std::array<float, 3> ProtocolNodeFrame2::recordValues(const Node_t& n)
{
    return {scaled(readInt24(bytes(n.dis)), 1000.0f), signalLevelDb(n.fpRssi), signalLevelDb(n.rxRssi)};
}

QVector<float> ProtocolNodeFrame2::posMetres(const Frame_t& f)
{
    return {scaled(readInt24(bytes(f.pos)), 1000.0f), scaled(readInt24(bytes(f.pos + 3)), 1000.0f),
            scaled(readInt24(bytes(f.pos + 6)), 1000.0f)};
}

QVector<float> ProtocolNodeFrame2::velMetresPerSecond(const Frame_t& f)
{
    return {scaled(readInt24(bytes(f.vel)), 10000.0f), scaled(readInt24(bytes(f.vel + 3)), 10000.0f),
            scaled(readInt24(bytes(f.vel + 6)), 10000.0f)};
}

QVector<float> ProtocolNodeFrame2::angleDegrees(const Frame_t& f)
{
    const qint16 x = f.angle[0], y = f.angle[1], z = f.angle[2];
    return {scaled(x, 100.0f), scaled(y, 100.0f), scaled(z, 100.0f)};
}

QVector<float> ProtocolNodeFrame2::eopMetres(const Frame_t& f)
{
    return {scaled(f.eop[0], 100.0f), scaled(f.eop[1], 100.0f), scaled(f.eop[2], 100.0f)};
}

qint32 ProtocolNodeFrame2::reservedInt(const Frame_t& f, int i)
{
    return readInt24(bytes(f.r012 + 3 * i));
}

void ProtocolNodeFrame2::registerDataItems()
{
    plrItem = createLineItem(makeItemName(Field::plr));
    rItems = createLineItems({"r0", "r1", "r2", "r4", "r5", "r6", "r7", "r8", "r9"});
    systemTimeItem = createLineItem(makeItemName(Field::systemTime));
    createMotionLines();
    voltageItem = createLineItem(makeItemName(Field::voltage));
    createTagPoints();
    createDataItem(new WidgetNodeFrame2Factory(lineCollector()));
}

bool ProtocolNodeFrame2::recordsFit(const char* frame, qint32 length) const
{
    return fixedRecordsFit(frame, length, kFixedPart, kRecordSize);
}

void ProtocolNodeFrame2::parseFrame(const QByteArray& frame)
{
    if (frame.size() < kFixedPart + 1)
        return;
    const char* p = frame.constData();
    const int count = readU8(p + 118);
    if (!keepsRecords(frame, count))
        return;

    std::memcpy(&frameRecord, p, kFixedPart);
    const Frame_t& f = frameRecord;

    writeLine(plrItem, scaled(f.plr, 600.0f));
    const float r[9] = {float(reservedInt(f, 0)), float(reservedInt(f, 1)), float(reservedInt(f, 2)),
                        f.r456[0], f.r456[1], f.r456[2], f.r7, f.r8, f.r9};
    for (int i = 0; i < rItems.size() && i < 9; ++i)
        writeLine(rItems[i], r[i]);
    writeLineInt(systemTimeItem, f.systemTime);
    writeLine(voltageItem, scaled(f.voltage, 1000.0f));

    const QVector<float> pos = posMetres(f);
    const QVector<float> vel = velMetresPerSecond(f);
    const QVector<float> angle = angleDegrees(f);
    const QVector<float> eop = eopMetres(f);
    // Copies: the frame's floats lie unaligned.
    const float g[3] = {f.g[0], f.g[1], f.g[2]};
    const float a[3] = {f.a[0], f.a[1], f.a[2]};
    const float q[4] = {f.q[0], f.q[1], f.q[2], f.q[3]};
    writeMotion({pos.constData(), vel.constData(), g, a, angle.constData(), q, eop.constData()});

    NodeViews views;
    QList<Node_t> records = readNodeRecords<Node_t>(frame, kFixedPart, count, &nodeOrAnchor, views, [this](const Node_t& n) {
        NodeItems*& items = nodeItems[n.role][n.id];
        if (!items) {
            items = new NodeItems;
            const QString key = nodeLabel(n.role, n.id);
            items->dis = createLineItem(makeRecordItemName(Field::dis, key));
            items->fpRssi = createLineItem(makeRecordItemName(Field::fpRssi, key));
            items->rxRssi = createLineItem(makeRecordItemName(Field::rxRssi, key));
        }
        const std::array<float, 3> v = recordValues(n);
        writeLine(items->dis, v[0]);
        writeLine(items->fpRssi, v[1]);
        writeLine(items->rxRssi, v[2]);
    });
    nodes = records;

    exportRow();
    publishNodeFrame(queue, frame, f, std::move(records), std::move(views));
}

QList<BaseResourceItem*> ProtocolNodeFrame2::takeNodeItems(qint8 role, quint64 id)
{
    return takeFromNodeMap(nodeItems, role, id, [](NodeItems* items) {
        return QList<BaseResourceItem*>{items->dis, items->fpRssi, items->rxRssi};
    });
}

QList<QVariant> ProtocolNodeFrame2::fillExportRow()
{
    const Frame_t& f = frameRecord;
    QList<QVariant> row;
    row.reserve(36 + 5 * nodes.size());
    auto add = [&row](float v) { row << QVariant::fromValue(v); };
    add(scaled(f.plr, 600.0f));
    for (int i = 0; i < 3; ++i)
        add(float(reservedInt(f, i)));
    add(f.r456[0]);
    add(f.r456[1]);
    add(f.r456[2]);
    add(f.r7);
    add(f.r8);
    add(f.r9);
    row << QVariant::fromValue(quint32(f.localTime)) << QVariant::fromValue(quint32(f.systemTime));
    for (float v : eopMetres(f))
        add(v);
    for (float v : posMetres(f))
        add(v);
    for (float v : velMetresPerSecond(f))
        add(v);
    for (int i = 0; i < 3; ++i)
        add(f.g[i]);
    for (int i = 0; i < 3; ++i)
        add(f.a[i]);
    for (float v : angleDegrees(f))
        add(v);
    for (int i = 0; i < 4; ++i)
        add(f.q[i]);
    add(scaled(f.voltage, 1000.0f));
    row << int(f.nodeCount);
    for (const Node_t& n : qAsConst(nodes)) {
        row << int(n.role) << int(n.id);
        for (float v : recordValues(n))
            add(v);
    }
    return row;
}

} // namespace Trelvan
