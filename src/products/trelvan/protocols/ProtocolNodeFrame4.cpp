#include "products/trelvan/protocols/ProtocolNodeFrame4.h"

#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/protocols/FrameDecoding.h"
#include "products/trelvan/protocols/NodeLabel.h"
#include "products/trelvan/protocols/TrelvanNaming.h"
#include "products/trelvan/views/WidgetNodeFrame4.h"

#include <QStringList>

#include <cstring>

namespace Trelvan {

namespace {

ProtocolNodeFrame4* g_instance = nullptr;

// The longest frame the length field can state: 255 entries of 255 sub-records
// would not fit in it.
constexpr int kMaxLength = 65535;

// Size of the entry at p, or 0 when its head is not within `left` bytes.
int entrySize(const char* p, int left)
{
    if (left < ProtocolNodeFrame4::kEntryHead)
        return 0;
    return ProtocolNodeFrame4::kEntryHead + ProtocolNodeFrame4::kSubRecordSize * readU8(p + 4);
}

} // namespace

ProtocolNodeFrame4* ProtocolNodeFrame4::instance(QObject* parent)
{
    if (!g_instance)
        g_instance = new ProtocolNodeFrame4(parent);
    return g_instance;
}

ProtocolNodeFrame4* ProtocolNodeFrame4::existing()
{
    return g_instance;
}

void ProtocolNodeFrame4::registerProtocol()
{
    registerFrameProtocol<ProtocolNodeFrame4>();
}

ProtocolNodeFrame4::ProtocolNodeFrame4(QObject* parent)
    : DataFrameProtocol(kFrameKey, 0, kFixedPart, kMaxLength, parent)
    , DataExportObserver(this)
    , queue(name())
{
    // Each entry gives four values: "count" stands over its count, so the
    // distance text stands under "id: dis(m)".
    exportColumns_ << makeItemName(Field::localTime) << makeItemName(Field::systemTime)
                   << makeItemName(Field::voltage) << makeItemName(Field::nodeCount) << makeItemName(Field::id)
                   << makeItemName(Field::voltage) << QStringLiteral("count")
                   << QString("%1: %2").arg(makeItemName(Field::id), makeItemName(Field::dis));
}

ProtocolNodeFrame4::~ProtocolNodeFrame4()
{
    for (auto& byId : nodeItems)
        qDeleteAll(byId);
    if (g_instance == this)
        g_instance = nullptr;
}

QString ProtocolNodeFrame4::distanceText(const Node_t& n)
{
    QStringList parts;
    parts.reserve(n.disList.size());
    for (quint32 sub : n.disList)
        parts << QString("%1: %2").arg(anchorOf(sub)).arg(double(distanceMetres(sub)), 0, 'g', 6);
    return parts.join(',');
}

void ProtocolNodeFrame4::registerDataItems()
{
    localTimeItem = createLineItem(makeItemName(Field::localTime), false);
    systemTimeItem = createLineItem(makeItemName(Field::systemTime), false);
    voltageItem = createLineItem(makeItemName(Field::voltage));
    createDataItem(new WidgetNodeFrame4Factory(lineCollector()));
}

ProtocolNodeFrame4::TagItems* ProtocolNodeFrame4::tagItems(quint8 tagId)
{
    TagItems*& items = nodeItems[kTagRole][tagId];
    if (!items) {
        items = new TagItems;
        items->voltage = createLineItem(makeRecordItemName(Field::voltage, nodeLabel(kTagRole, tagId)));
    }
    return items;
}

bool ProtocolNodeFrame4::recordsFit(const char* frame, qint32 length) const
{
    // Entries lie between the fixed part and the checksum.
    if (!frame || length < kFixedPart + 1)
        return false;
    return recordsWithin(frame, kFixedPart, readU8(frame + kFixedPart - 1), length - 1, entrySize);
}

namespace {
quint64 pairKey(quint8 tagId, quint8 anchor)
{
    return quint64(tagId) << 8 | anchor;
}

QString pairLabel(quint8 tagId, quint8 anchor)
{
    return nodeLabel(ProtocolNodeFrame4::kTagRole, tagId) + "-" + nodeLabel(ProtocolNodeFrame4::kAnchorRole, anchor);
}
} // namespace

LineResourceItem* ProtocolNodeFrame4::distanceItem(TagItems* items, quint8 tagId, quint8 anchor)
{
    // Each (tag, anchor) pair has an item and a label of its own: the pairs count
    // against their bound, at every sighting (the bound keeps them by recency).
    if (!admitsKey(pairBound_, pairKey(tagId, anchor), [tagId, anchor] { return pairLabel(tagId, anchor); }))
        return nullptr;
    auto it = items->distances.find(anchor);
    if (it == items->distances.end())
        it = items->distances.insert(anchor, createLineItem(makeRecordItemName(Field::dis, pairLabel(tagId, anchor))));
    return it.value();
}

QList<BaseResourceItem*> ProtocolNodeFrame4::takeNodeItems(qint8 role, quint64 id)
{
    return takeFromNodeMap(nodeItems, role, id, [this, id](TagItems* items) {
        QList<BaseResourceItem*> taken{items->voltage};
        for (auto it = items->distances.cbegin(); it != items->distances.cend(); ++it) {
            // The tag's pairs leave their bound with it.
            pairBound_.forget(pairKey(quint8(id), it.key()));
            taken << it.value();
        }
        return taken;
    });
}

void ProtocolNodeFrame4::settlePairEvictions()
{
    const QVector<quint64> keys = pairBound_.takeEvicted();
    QList<BaseResourceItem*> taken;
    for (quint64 key : keys) {
        TagItems* items = nodeItems.value(kTagRole).value(quint8(key >> 8));
        if (items)
            taken << items->distances.take(quint8(key & 0xFF));
    }
    releaseItems(taken);
}

void ProtocolNodeFrame4::parseFrame(const QByteArray& frame)
{
    if (frame.size() < kFixedPart + 1)
        return;
    const char* p = frame.constData();
    const int count = readU8(p + kFixedPart - 1);
    if (!keepsRecords(frame, count))
        return;

    std::memcpy(&frameRecord, p, kFixedPart);
    const quint32 systemTime = frameRecord.systemTime;
    writeLineInt(localTimeItem, quint32(frameRecord.localTime));
    writeLineInt(systemTimeItem, systemTime);
    writeLine(voltageItem, scaled(quint16(frameRecord.voltage), 1000.0f));

    // Every entry and distance stays in the data; the bounds decide which make items
    // and boxes.
    QList<Node_t> entries;
    entries.reserve(count);
    NodeViews views;
    int at = kFixedPart;
    for (int i = 0; i < count; ++i) {
        Node_t n;
        n.id = readU8(p + at);
        n.reserved[0] = readU8(p + at + 1);
        n.reserved[1] = readU8(p + at + 2);
        n.voltage = readU8(p + at + 3);
        n.count = readU8(p + at + 4);
        at += kEntryHead;
        n.disList.reserve(n.count);
        for (int k = 0; k < n.count; ++k)
            n.disList.append(readU32(p + at + k * kSubRecordSize));
        at += n.count * kSubRecordSize;

        if (admitsNode(kTagRole, n.id)) {
            TagItems* items = tagItems(n.id);
            writeLine(items->voltage, tagVoltage(n));
            for (quint32 sub : qAsConst(n.disList))
                writeLine(distanceItem(items, n.id, anchorOf(sub)), distanceMetres(sub));
        } else {
            views.hide(i, count);
        }
        entries.append(n);
    }
    settleEvictions(views);
    settlePairEvictions();
    nodes = entries;

    exportRow();

    publishNodeFrame(queue, frame, frameRecord, std::move(entries), std::move(views));
}

QList<QVariant> ProtocolNodeFrame4::fillExportRow()
{
    QList<QVariant> row;
    row.reserve(4 + 4 * nodes.size());
    row << QVariant::fromValue(quint32(frameRecord.localTime)) << QVariant::fromValue(quint32(frameRecord.systemTime))
        << QVariant::fromValue(scaled(quint16(frameRecord.voltage), 1000.0f)) << int(frameRecord.nodeCount);
    for (const Node_t& n : qAsConst(nodes))
        row << int(n.id) << QVariant::fromValue(tagVoltage(n)) << int(n.count) << distanceText(n);
    return row;
}

} // namespace Trelvan
