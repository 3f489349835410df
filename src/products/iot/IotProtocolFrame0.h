#pragma once

#include "model/ResourceItems.h"
#include "protocol/NodeBound.h"
#include "protocol/ProtocolBase.h"
#include "protocol/ProtocolDataQueue.h"
#include "record/DataExportObserver.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSharedPointer>
#include <QStringList>
#include <QVariant>

#include <array>

namespace iot {

// The frame names of the iot line by key; 0 is its one data frame, "iot_frame0".
QString frameName(int key);

// The iot node frame "55 01": 160 bytes, ten node slots of 14 bytes from byte 6,
// summed into the last byte. Each frame becomes one record for the node grid, three
// line-item values per node and, while exporting, one row of five cells per node.
class ProtocolFrame0 : public ProtocolBase, public DataExportObserver
{
    Q_OBJECT
public:
    static constexpr int kFrameLength = 160;
    static constexpr int kNodeSlots = 10;
    static constexpr int kFirstSlot = 6;
    static constexpr int kSlotSize = 14;

#pragma pack(push, 1)
    // One node slot as laid out in the frame (little-endian).
    struct Node_t
    {
        quint32 id = 0; // 0: empty slot
        quint8 cnt = 0;
        quint8 dis[3] = {};   // signed 24-bit, mm
        quint8 aoa_h[3] = {}; // signed 24-bit, thousandths of a degree
        quint8 aoa_v[3] = {}; // signed 24-bit, thousandths of a degree

        float disMetres() const { return scaled(dis); }
        float aoaHDegrees() const { return scaled(aoa_h); }
        float aoaVDegrees() const { return scaled(aoa_v); }
    };
#pragma pack(pop)

    // The decoded record of one frame, shared with the node grid.
    struct Data
    {
        quint32 systemTime = 0; // the frame carries no device time
        quint32 pcTime = 0;     // ms since midnight when parsed; 0 when the clock is invalid
        QByteArray raw;         // the frame as received
        std::array<quint8, kFrameLength> frame{};
        QList<Node_t> nodes;    // the non-empty slots, in slot order
        NodeViews views;        // which of them make boxes, where to ask which nodes are shown
    };

    // A signed 24-bit little-endian value (sign taken from bit 23).
    static qint32 int24(const quint8* b);
    // int24 / 1000 in single precision, as shown, plotted and exported.
    static float scaled(const quint8* b) { return static_cast<float>(int24(b)) / 1000.0f; }
    // The non-empty node slots of a frame of kFrameLength bytes, in slot order.
    static QList<Node_t> decodeNodes(const char* frame);

    // The line items of one node.
    struct NodeItems
    {
        LineResourceItem* dis = nullptr;
        LineResourceItem* aoaH = nullptr;
        LineResourceItem* aoaV = nullptr;
    };
    // Names of the line items: "dis(m)", "aoa_h(deg)", "aoa_v(deg)".
    static const QStringList& valueNames();
    // "<value name>[<id in lower-case hex>]"
    static QString itemName(const QString& valueName, quint32 id);

    // Creates the one instance on the first call (with parent), returns it later.
    static ProtocolFrame0* instance(QObject* parent = nullptr);
    // The instance if it exists.
    static ProtocolFrame0* existing();
    ~ProtocolFrame0() override;

    void registerDataItems() override;
    void parseFrame(const QByteArray& frame) override;
    QList<QVariant> fillExportRow() override;

    ProtocolDataQueue<Data> queue;

    LineResourceCollector* collector() { return &collector_; }
    DataResourceItem* dataItem() const { return dataItem_; }
    // The items of a node id; empty when the node has not been seen (processing
    // thread, or once the pipeline is idle).
    NodeItems nodeItems(quint32 id) const { return nodeItems_.value(id); }
    // The number of node ids with items (at most NodeBound::kMaxNodes).
    int nodeCount() const { return nodeItems_.size(); }
    // Whether the bound shows the node (processing thread, or once the pipeline is idle).
    bool showsNode(quint32 id) const { return nodeBound_.contains(id); }
    // The nodes shown, asked from any thread.
    std::shared_ptr<const NodeRoster> shownNodes() const { return nodeBound_.roster(); }
    QByteArray frameImage() const { return frame_; }

private:
    explicit ProtocolFrame0(QObject* parent);
    NodeItems itemsFor(quint32 id);
    // Drops the items of the nodes that gave up their place; views learns where to
    // ask which nodes are shown.
    void settleEvictions(NodeViews& views);

    QByteArray frame_;
    QList<Node_t> currentNodes_;
    DataResourceItem* dataItem_ = nullptr;
    // By the full id: nodes that share their low byte are still apart.
    QMap<quint32, NodeItems> nodeItems_;
    NodeBound nodeBound_;
    LineResourceCollector collector_;
};

static_assert(sizeof(ProtocolFrame0::Node_t) == ProtocolFrame0::kSlotSize, "a node slot is 14 bytes");

} // namespace iot
