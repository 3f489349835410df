#include "products/trelvan/protocols/ProtocolNodeFrame1.h"

#include "model/ResourceItems.h"
#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/protocols/FrameDecoding.h"
#include "products/trelvan/protocols/NodeLabel.h"
#include "products/trelvan/protocols/TrelvanNaming.h"
#include "products/trelvan/views/WidgetNodeFrame1.h"

#include <cstring>

namespace Trelvan {

namespace {
ProtocolNodeFrame1* g_instance = nullptr;

bool expectedRole(qint8 role)
{
    return role == 0 || role == 2; // NODE, TAG
}
} // namespace

ProtocolNodeFrame1* ProtocolNodeFrame1::instance(QObject* parent)
{
    if (!g_instance)
        g_instance = new ProtocolNodeFrame1(parent);
    return g_instance;
}

ProtocolNodeFrame1* ProtocolNodeFrame1::existing()
{
    return g_instance;
}

void ProtocolNodeFrame1::registerProtocol()
{
    registerFrameProtocol<ProtocolNodeFrame1>();
}

ProtocolNodeFrame1::ProtocolNodeFrame1(QObject* parent)
    : DataFrameProtocol(kFrameKey, 0, kFixedPart, kFixedPart + 255 * kRecordSize + 1, parent)
    , DataExportObserver(this)
    , queue(name())
    , chartLogName_(name() + QStringLiteral(" (2D/3D)"))
{
    exportColumns_ << makeItemName(Field::role) << makeItemName(Field::id) << makeItemName(Field::systemTime)
                   << makeItemName(Field::localTime) << makeItemName(Field::voltage)
                   << makeItemName(Field::nodeCount) << makeItemName(Field::role) << makeItemName(Field::id)
                   << makeVectorItemNames(Field::pos);
}

ProtocolNodeFrame1::~ProtocolNodeFrame1()
{
    for (auto& byId : nodeItems)
        qDeleteAll(byId);
    if (g_instance == this)
        g_instance = nullptr;
}

std::array<float, 3> ProtocolNodeFrame1::posMetres(const Node_t& n)
{
    const char* p = reinterpret_cast<const char*>(n.pos);
    return {scaled(readInt24(p), 1000.0f), scaled(readInt24(p + 3), 1000.0f), scaled(readInt24(p + 6), 1000.0f)};
}

void ProtocolNodeFrame1::registerDataItems()
{
    voltageItem = createLineItem(makeItemName(Field::voltage));
    createDataItem(new WidgetNodeFrame1Factory(lineCollector()));
}

bool ProtocolNodeFrame1::recordsFit(const char* frame, qint32 length) const
{
    return fixedRecordsFit(frame, length, kFixedPart, kRecordSize);
}

void ProtocolNodeFrame1::parseFrame(const QByteArray& frame)
{
    if (frame.size() < kFixedPart + 1)
        return;
    const char* p = frame.constData();
    const int count = readU8(p + kFixedPart - 1);
    if (!keepsRecords(frame, count))
        return;

    std::memcpy(&frameRecord, p, kFixedPart);
    writeLine(voltageItem, scaled(quint16(frameRecord.voltage), 1000.0f));

    NodeViews views;
    QList<Node_t> records = readNodeRecords<Node_t>(frame, kFixedPart, count, &expectedRole, views, [this](const Node_t& n) {
        NodeItems*& items = nodeItems[n.role][n.id];
        if (!items) {
            items = new NodeItems;
            const QString key = nodeLabel(n.role, n.id);
            const QStringList names = makeVectorItemNames(Field::pos, key);
            for (int k = 0; k < 3; ++k)
                items->pos[k] = createLineItem(names[k]);
        }
        // A point in the 2D and 3D charts costs some 600 KB with the 3D graph shown:
        // a node charts its position from its second frame, which a real node sends
        // within a second (the slowest output rate is 1 Hz), so damage that does not
        // repeat a key that soon charts nothing; damage that repeats keys charts no
        // more nodes than the largest installation.
        const quint64 key = nodeKey(n.role, n.id);
        if (nodeBound_.repeats(key)
            && chartBound_.admits(key, chartLogName_, [&n] { return nodeLabel(n.role, n.id); })) {
            settleChartEvictions();
            if (!items->charted) {
                items->charted = true;
                const QString label = nodeLabel(n.role, n.id);
                items->scatter = createItem(ResourceType::Scatter, label);
                items->scatter3D = createItem(ResourceType::Scatter3D, label);
            }
        }
        const std::array<float, 3> pos = posMetres(n);
        for (int k = 0; k < 3; ++k)
            writeLine(items->pos[k], pos[size_t(k)]);
        writeScatter(items->scatter, pos[0], pos[1]);
        writeScatter3D(items->scatter3D, Scatter3DValue{pos[0], pos[1], pos[2], 0.0f, 0.0f, 0.0f});
    });
    nodes = records;

    exportRow();
    publishNodeFrame(queue, frame, frameRecord, std::move(records), std::move(views));
}

void ProtocolNodeFrame1::settleChartEvictions()
{
    QList<BaseResourceItem*> taken;
    for (quint64 key : chartBound_.takeEvicted()) {
        const NodeRef node = nodeOfKey(key);
        NodeItems* items = nodeItems.value(node.role).value(quint8(node.id));
        if (!items)
            continue;
        taken << items->scatter << items->scatter3D;
        items->scatter = items->scatter3D = nullptr;
        items->charted = false;
    }
    releaseItems(taken);
}

QList<BaseResourceItem*> ProtocolNodeFrame1::takeNodeItems(qint8 role, quint64 id)
{
    chartBound_.forget(nodeKey(role, id));
    return takeFromNodeMap(nodeItems, role, id, [](NodeItems* items) {
        return QList<BaseResourceItem*>{items->pos[0], items->pos[1], items->pos[2], items->scatter, items->scatter3D};
    });
}

QList<QVariant> ProtocolNodeFrame1::fillExportRow()
{
    const Frame_t& f = frameRecord;
    QList<QVariant> row;
    row.reserve(6 + 5 * nodes.size());
    row << int(f.role) << int(f.id) << QVariant::fromValue(quint32(f.systemTime))
        << QVariant::fromValue(quint32(f.localTime)) << QVariant::fromValue(scaled(quint16(f.voltage), 1000.0f))
        << int(f.nodeCount);
    for (const Node_t& n : qAsConst(nodes)) {
        row << int(n.role) << int(n.id);
        for (float v : posMetres(n))
            row << QVariant::fromValue(v);
    }
    return row;
}

} // namespace Trelvan
