#include "products/iot/IotProtocolFrame0.h"

#include "model/ModelManager.h"
#include "products/iot/IotWidgetFrame0.h"
#include "protocol/ProtocolFactory.h"

#include <QPointer>
#include <QTime>

#include <cstring>

namespace iot {

namespace {
QPointer<ProtocolFrame0> g_instance;
}

QString frameName(int key)
{
    return ProtocolFactory::iotFrameNames().value(key);
}

qint32 ProtocolFrame0::int24(const quint8* b)
{
    const quint32 raw = quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16;
    return static_cast<qint32>(raw << 8) >> 8;
}

QList<ProtocolFrame0::Node_t> ProtocolFrame0::decodeNodes(const char* frame)
{
    QList<Node_t> nodes;
    for (int i = 0; i < kNodeSlots; ++i) {
        Node_t n;
        std::memcpy(&n, frame + kFirstSlot + kSlotSize * i, sizeof n);
        if (n.id != 0)
            nodes.append(n);
    }
    return nodes;
}

const QStringList& ProtocolFrame0::valueNames()
{
    static const QStringList names{"dis(m)", "aoa_h(deg)", "aoa_v(deg)"};
    return names;
}

QString ProtocolFrame0::itemName(const QString& valueName, quint32 id)
{
    return QString("%1[%2]").arg(valueName, QString::number(id, 16));
}

ProtocolFrame0* ProtocolFrame0::instance(QObject* parent)
{
    if (!g_instance)
        g_instance = new ProtocolFrame0(parent);
    return g_instance.data();
}

ProtocolFrame0* ProtocolFrame0::existing()
{
    return g_instance.data();
}

ProtocolFrame0::ProtocolFrame0(QObject* parent)
    : ProtocolBase(frameName(0), parent)
    , DataExportObserver(this)
{
    frame_ = QByteArray(kFrameLength, '\0');
    frame_[0] = char(0x55);
    frame_[1] = char(0x01);
    isLengthKnown_ = true;
    frameLength_ = kFrameLength;
    minFrameLength_ = kFrameLength;
    maxFrameLength_ = kFrameLength;
    head_ = frame_.left(2);
    exportColumns_ = QStringList{"id", "cnt", "dis(m)", "aoa_h(deg)", "aoa_v(deg)"};
    queue.name_ = name_;
}

ProtocolFrame0::~ProtocolFrame0() = default;

void ProtocolFrame0::registerDataItems()
{
    ModelManager* manager = modelManager_;
    if (!manager)
        return;
    dataItem_ = qobject_cast<DataResourceItem*>(manager->createResource(
        ResourceType::Data, name_, QStringLiteral("data"), true, new WidgetFrame0Factory(&collector_), false));
}

ProtocolFrame0::NodeItems ProtocolFrame0::itemsFor(quint32 id)
{
    auto it = nodeItems_.constFind(id);
    if (it != nodeItems_.constEnd())
        return it.value();
    NodeItems items;
    if (ModelManager* manager = modelManager_) {
        LineResourceItem** targets[3] = {&items.dis, &items.aoaH, &items.aoaV};
        for (int k = 0; k < 3; ++k) {
            *targets[k] = qobject_cast<LineResourceItem*>(manager->createResource(
                ResourceType::Line, name_, itemName(valueNames().at(k), id), true, nullptr, false));
            if (*targets[k])
                collector_.addItem(*targets[k]);
        }
    }
    nodeItems_.insert(id, items);
    return items;
}

void ProtocolFrame0::parseFrame(const QByteArray& frame)
{
    if (frame.size() < kFrameLength)
        return;
    frame_ = frame.left(kFrameLength);
    QList<Node_t> nodes = decodeNodes(frame_.constData());
    auto record = QSharedPointer<Data>::create();
    // Every node reaches the grid's count and the export; those beyond the bound make
    // no items or boxes.
    for (int i = 0; i < nodes.size(); ++i) {
        const Node_t& n = nodes.at(i);
        if (!nodeBound_.admits(n.id, name_, [&n] { return QString::number(n.id, 16); })) {
            record->views.hide(i, nodes.size());
            continue;
        }
        const NodeItems items = itemsFor(n.id);
        if (items.dis)
            items.dis->setData(BaseResourceItem::ColValue, n.disMetres());
        if (items.aoaH)
            items.aoaH->setData(BaseResourceItem::ColValue, n.aoaHDegrees());
        if (items.aoaV)
            items.aoaV->setData(BaseResourceItem::ColValue, n.aoaVDegrees());
    }
    settleEvictions(record->views);
    currentNodes_ = nodes;
    exportRow();

    const QTime now = QTime::currentTime();
    record->pcTime = now.isValid() ? quint32(now.msecsSinceStartOfDay()) : 0u;
    record->raw = frame;
    std::memcpy(record->frame.data(), frame_.constData(), kFrameLength);
    record->nodes = std::move(nodes);
    queue.push(std::move(record));
    if (dataItem_)
        dataItem_->setDirty(true);
}

void ProtocolFrame0::settleEvictions(NodeViews& views)
{
    views.shown = nodeBound_.roster();
    const QVector<quint64> keys = nodeBound_.takeEvicted();
    if (keys.isEmpty())
        return;
    QList<LineResourceItem*> lines;
    for (quint64 key : keys) {
        const NodeItems items = nodeItems_.take(quint32(key));
        for (LineResourceItem* item : {items.dis, items.aoaH, items.aoaV})
            if (item)
                lines << item;
    }
    collector_.removeItems(lines);
    if (ModelManager* manager = modelManager_; manager && !lines.isEmpty()) {
        QList<BaseResourceItem*> items;
        for (LineResourceItem* line : qAsConst(lines))
            items << line;
        manager->releaseResources(items);
    }
}

QList<QVariant> ProtocolFrame0::fillExportRow()
{
    QList<QVariant> row;
    row.reserve(5 * currentNodes_.size());
    for (const Node_t& n : currentNodes_)
        row << QVariant(uint(n.id)) << QVariant(int(n.cnt)) << QVariant(n.disMetres()) << QVariant(n.aoaHDegrees())
            << QVariant(n.aoaVDegrees());
    return row;
}

} // namespace iot
