#pragma once

#include "model/ResourceType.h"
#include "model/ResourceValues.h"
#include "products/trelvan/protocols/FrameDecoding.h"
#include "products/trelvan/protocols/TrelvanTables.h"
#include "protocol/NodeBound.h"
#include "protocol/ProtocolBase.h"
#include "protocol/ProtocolDataQueue.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSharedPointer>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <cstring>
#include <functional>
#include <utility>

class BaseResourceItem;
class DataResourceItem;
class DataWidgetBaseFactory;
class LineResourceCollector;
class LineResourceItem;

namespace Trelvan {

// The decoded record a node frame queues for its page: the fixed part as on the
// wire, every node record, the raw bytes, the frame's and the PC's time, and which
// records make boxes (views).
template <typename Frame_t, typename Node_t>
struct NodeFrameData
{
    quint32 systemTime = 0;
    qint32 pcTime = 0;
    QByteArray rawFrame;
    Frame_t frame;
    QList<Node_t> nodes;
    NodeViews views;
};

// What every data-frame protocol of the positioning system shares: the head
// 0x55 + frame key, the name from the frame-name table, the fixed or variable
// length rule, the line-item collector, the "data" item and null-safe writes.
// A frame protocol derives from it (and from DataExportObserver when it exports),
// keeps its own ProtocolDataQueue<Data> and hands records over with publish().
class DataFrameProtocol : public ProtocolBase
{
    Q_OBJECT
public:
    static constexpr quint8 kHeadByte = 0x55;

    // fixedLength > 0: frames of that length (the default length check);
    // otherwise variable frames of minLength to maxLength bytes. maxLength is the
    // largest frame the kind can really carry: the frame search gives up a head
    // whose length field claims more, and holds no more bytes than that waiting.
    DataFrameProtocol(quint8 frameKey, int fixedLength, int minLength, int maxLength, QObject* parent);
    // The same for a frame kind named outside the frame-name table.
    DataFrameProtocol(const QString& name, quint8 frameKey, int fixedLength, int minLength, int maxLength,
                      QObject* parent);
    ~DataFrameProtocol() override;

    // Variable frames: the shared length rule; fixed frames: true.
    bool checkFrameLength(const char* data, qint64 available) override;

    quint8 frameKey() const { return frameKey_; }
    bool isVariableLength() const { return variable_; }
    // Every line item the protocol made; the frame's page builds its statistics from it.
    LineResourceCollector* lineCollector() const { return collector_; }
    // The item whose factory builds the frame's page; null before registration or
    // when no page offers data items.
    DataResourceItem* dataItem() const { return dataItem_; }

    // Writes a value into column 6 of an item; absent (null) items are skipped.
    static void writeValue(BaseResourceItem* item, const QVariant& value);
    static void writeLine(BaseResourceItem* item, float value);
    static void writeLineInt(BaseResourceItem* item, qint64 value);
    static void writeScatter(BaseResourceItem* item, float x, float y);
    static void writeScatter3D(BaseResourceItem* item, const Scatter3DValue& value);

    // Frames dropped because their record count reaches past their end.
    int droppedFrames = 0;

    // The distinct nodes whose records make items and boxes (at most NodeBound::kMaxNodes).
    int shownNodeCount() const { return nodeBound_.size(); }
    // Whether role is one of the role table's: other roles (damaged records) share
    // one label per id, so their records stay in the data but make no items or boxes.
    static bool isKnownRole(qint8 role);

protected:
    // Items of this protocol (Belong = its name, visibility not fixed); null when
    // the current page does not offer the type or there is no page.
    BaseResourceItem* createItem(ResourceType type, const QString& name, bool isUsed = true);
    // A line item, added to the collector when made.
    LineResourceItem* createLineItem(const QString& name, bool isUsed = true);
    QVector<LineResourceItem*> createLineItems(const QStringList& names, bool isUsed = true);
    // The item "data" with the page factory (owned by the item, deleted when refused).
    DataResourceItem* createDataItem(DataWidgetBaseFactory* factory);

    // Queues a decoded record for the page and marks "data" changed.
    template <typename Data>
    void publish(ProtocolDataQueue<Data>& queue, QSharedPointer<Data> record)
    {
        queue.push(std::move(record));
        markDataChanged();
    }
    void markDataChanged();

    // The record bound of frames whose count byte ends the fixed part: that many
    // records of recordSize fit between the fixed part and the checksum.
    static bool fixedRecordsFit(const char* frame, qint32 length, int fixedPart, int recordSize);
    // The decoder's last guard, for frames handed to processFrame directly: a frame
    // whose `count` records do not fit (recordsFit) is damaged; it is counted in
    // droppedFrames and logged, and nothing of it is shown or exported.
    bool keepsRecords(const QByteArray& frame, int count);

    // Whether the records of (role, id) are shown and make items and boxes: a role of
    // the table, within the bound (NodeBound). admitsKey asks a bound of the
    // protocol's own for a key of its own, such as a pair of nodes.
    bool admitsNode(qint8 role, quint64 id);
    bool admitsKey(NodeBound& bound, quint64 key, const std::function<QString()>& label);
    static quint64 nodeKey(qint8 role, quint64 id) { return NodeRef{role, id}.key(); }
    static NodeRef nodeOfKey(quint64 key) { return NodeRef::ofKey(key); }

    // The items of a node that gave up its place, taken out of the protocol's own
    // maps; the protocol makes them again if the node returns.
    virtual QList<BaseResourceItem*> takeNodeItems(qint8 role, quint64 id);
    // Drops the items of the nodes that gave up their place in the node bound while
    // a frame was decoded (takeNodeItems, then the collector and the page's model,
    // without waiting) and tells the page in views where to ask which nodes are shown.
    void settleEvictions(NodeViews& views);
    // Removes items from the collector and, without waiting, from the page's model.
    void releaseItems(const QList<BaseResourceItem*>& items);
    // Takes the items record of (role, id) out of a per-node map and deletes it; list
    // names the items it held. Empty when the node has none.
    template <typename Items, typename List>
    static QList<BaseResourceItem*> takeFromNodeMap(QMap<qint8, QMap<quint8, Items*>>& nodeItems, qint8 role,
                                                    quint64 id, List&& list)
    {
        auto byRole = nodeItems.find(role);
        if (byRole == nodeItems.end())
            return {};
        Items* items = byRole->take(quint8(id));
        if (byRole->isEmpty())
            nodeItems.erase(byRole);
        if (!items)
            return {};
        QList<BaseResourceItem*> taken = list(items);
        delete items;
        return taken;
    }

    // The count records after the fixed part, all of them, in frame order; those of
    // shown nodes (admitsNode) are handed to each(record), the others marked hidden
    // in views. The first record whose role acceptedRole refuses is logged, once a
    // frame: the line carries the whole frame, and a line per record would flood the
    // log at the frame rate. A null acceptedRole takes every role.
    template <typename Node_t, typename Each>
    QList<Node_t> readNodeRecords(const QByteArray& frame, int fixedPart, int count, bool (*acceptedRole)(qint8),
                                  NodeViews& views, Each&& each)
    {
        QList<Node_t> records;
        records.reserve(count);
        const char* p = frame.constData() + fixedPart;
        bool roleLogged = false;
        for (int i = 0; i < count; ++i) {
            Node_t n;
            std::memcpy(&n, p + i * int(sizeof(Node_t)), sizeof(Node_t));
            const qint8 role = n.role;
            if (acceptedRole && !roleLogged && !acceptedRole(role)) {
                roleLogged = true;
                logInvalidNodeRole(role, quint64(n.id), frame);
            }
            records.append(n);
            if (admitsNode(role, quint64(n.id)))
                each(n);
            else
                views.hide(i, count);
        }
        settleEvictions(views);
        return records;
    }

    // Queues the decoded frame: its fixed part and records with the raw bytes.
    template <typename Frame_t, typename Node_t>
    void publishNodeFrame(ProtocolDataQueue<NodeFrameData<Frame_t, Node_t>>& queue, const QByteArray& frame,
                          const Frame_t& fixedPart, QList<Node_t> records, NodeViews views)
    {
        auto data = QSharedPointer<NodeFrameData<Frame_t, Node_t>>::create();
        data->systemTime = fixedPart.systemTime;
        data->pcTime = pcTimeOfDay();
        data->rawFrame = frame;
        data->frame = fixedPart;
        data->nodes = std::move(records);
        data->views = std::move(views);
        publish(queue, data);
    }

    // A real installation shows at its first frame; a node beyond the largest one
    // shows at its second (see NodeBound).
    NodeBound nodeBound_{NodeBound::kMaxNodes, largestInstallation()};

private:
    quint8 frameKey_;
    bool variable_;
    LineResourceCollector* collector_;
    DataResourceItem* dataItem_ = nullptr;
};

} // namespace Trelvan
