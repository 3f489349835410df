#pragma once

#include "model/ResourceItems.h"
#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/protocols/DataFrameProtocol.h"
#include "products/trelvan/protocols/FrameDecoding.h"
#include "products/trelvan/protocols/NodeLabel.h"
#include "products/trelvan/protocols/SenderFrameHead.h"
#include "products/trelvan/protocols/TrelvanNaming.h"
#include "record/DataExportObserver.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSharedPointer>
#include <QVariant>

#include <array>
#include <cstring>
#include <type_traits>
#include <utility>

class LineResourceItem;

namespace Trelvan {

// A node frame made of a sender's fixed part (SenderFrameHead) and nodeCount
// records of one size, each giving a few scaled values of one ranged node (role,
// id): one line item per value and (role, id), one export group per record.
// Layout describes the frame:
//   kFrameKey; Frame_t; Node_t (packed, with members role and id);
//   kValues and fields(): the descriptors of the record's values, in item, box
//   and export order; values(const Node_t&): those values, scaled;
//   kChecksRole: records whose role is neither NODE nor ANCHOR are logged;
//   kVoltageFirst: the voltage item is made before the two clock items.
// The frame's own class (Derived, whose constructor takes the parent and may be
// private to this template) adds the page's "data" item.
template <typename Layout, typename Derived>
class RangingFrameProtocol : public DataFrameProtocol, public DataExportObserver
{
public:
    static Derived* instance(QObject* parent = nullptr)
    {
        if (!instance_)
            instance_ = new Derived(parent);
        return static_cast<Derived*>(instance_);
    }
    // The singleton when it has been made, else null (never creates it).
    static Derived* existing() { return static_cast<Derived*>(instance_); }
    // Makes the protocol factory create this protocol under its frame name.
    static void registerProtocol() { registerFrameProtocol<Derived>(); }

    using Frame_t = typename Layout::Frame_t;
    using Node_t = typename Layout::Node_t;
    using Id = std::decay_t<decltype(std::declval<const Node_t&>().id)>;
    static constexpr quint8 kFrameKey = Layout::kFrameKey;
    static constexpr int kFixedPart = int(sizeof(Frame_t)); // also the minimum length
    static constexpr int kRecordSize = int(sizeof(Node_t));
    static constexpr int kValues = Layout::kValues;
    using Values = std::array<float, kValues>;
    using NodeItems = std::array<LineResourceItem*, kValues>;

    using Data = NodeFrameData<Frame_t, Node_t>;

    // A record's values as items, boxes and export rows show them.
    static Values recordValues(const Node_t& n) { return Layout::values(n); }
    static QList<FieldDescriptor> recordFields() { return Layout::fields(); }

    bool recordsFit(const char* frame, qint32 length) const override
    {
        return fixedRecordsFit(frame, length, kFixedPart, kRecordSize);
    }

    void parseFrame(const QByteArray& frame) override
    {
        if (frame.size() < kFixedPart + 1)
            return;
        const char* p = frame.constData();
        const int count = readU8(p + kFixedPart - 1);
        if (!keepsRecords(frame, count))
            return;

        std::memcpy(&frameRecord, p, kFixedPart);
        writeLineInt(localTimeItem, quint32(frameRecord.localTime));
        writeLineInt(systemTimeItem, quint32(frameRecord.systemTime));
        writeLine(voltageItem, scaled(quint16(frameRecord.voltage), 1000.0f));

        NodeViews views;
        QList<Node_t> records =
            readNodeRecords<Node_t>(frame, kFixedPart, count, Layout::kChecksRole ? &nodeOrAnchor : nullptr, views,
                                    [this](const Node_t& n) {
                                        const NodeItems& items = itemsOf(n.role, n.id);
                                        const Values v = Layout::values(n);
                                        for (int k = 0; k < kValues; ++k)
                                            writeLine(items[size_t(k)], v[size_t(k)]);
                                    });
        nodes = records;

        exportRow();
        publishNodeFrame(queue, frame, frameRecord, std::move(records), std::move(views));
    }

    QList<QVariant> fillExportRow() override
    {
        QList<QVariant> row;
        row.reserve(4 + (2 + kValues) * nodes.size());
        row << QVariant::fromValue(quint32(frameRecord.localTime)) << QVariant::fromValue(quint32(frameRecord.systemTime))
            << QVariant::fromValue(scaled(quint16(frameRecord.voltage), 1000.0f)) << int(frameRecord.nodeCount);
        for (const Node_t& n : qAsConst(nodes)) {
            const Id id = n.id;
            row << int(qint8(n.role));
            if (sizeof(Id) == 1)
                row << int(id);
            else
                row << QVariant::fromValue(quint32(id)); // never negative
            for (float v : Layout::values(n))
                row << QVariant::fromValue(v);
        }
        return row;
    }

    ProtocolDataQueue<Data> queue;
    Frame_t frameRecord;
    QList<Node_t> nodes;

    // Frame-level items (null until registered, or when the page lacks the type).
    LineResourceItem* localTimeItem = nullptr;
    LineResourceItem* systemTimeItem = nullptr;
    LineResourceItem* voltageItem = nullptr;
    QMap<qint8, QMap<Id, NodeItems>> nodeItems;

protected:
    explicit RangingFrameProtocol(QObject* parent)
        : DataFrameProtocol(kFrameKey, 0, kFixedPart, kFixedPart + 255 * kRecordSize + 1, parent)
        , DataExportObserver(this)
        , queue(name())
    {
        exportColumns_ << makeItemName(Field::localTime) << makeItemName(Field::systemTime)
                       << makeItemName(Field::voltage) << makeItemName(Field::nodeCount) << makeItemName(Field::role)
                       << makeItemName(Field::id);
        for (const FieldDescriptor& d : Layout::fields())
            exportColumns_ << makeItemName(d);
    }
    ~RangingFrameProtocol() override
    {
        if (instance_ == this)
            instance_ = nullptr;
    }

    QList<BaseResourceItem*> takeNodeItems(qint8 role, quint64 id) override
    {
        auto byRole = nodeItems.find(role);
        if (byRole == nodeItems.end())
            return {};
        const auto it = byRole->find(Id(id));
        if (it == byRole->end())
            return {};
        QList<BaseResourceItem*> taken;
        for (LineResourceItem* item : it.value())
            taken << item;
        byRole->erase(it);
        if (byRole->isEmpty())
            nodeItems.erase(byRole);
        return taken;
    }

    // The two clocks (not in use) and the voltage; the page's "data" item is the
    // frame class's own.
    void registerFrameItems()
    {
        if (Layout::kVoltageFirst)
            voltageItem = createLineItem(makeItemName(Field::voltage));
        localTimeItem = createLineItem(makeItemName(Field::localTime), false);
        systemTimeItem = createLineItem(makeItemName(Field::systemTime), false);
        if (!Layout::kVoltageFirst)
            voltageItem = createLineItem(makeItemName(Field::voltage));
    }

private:
    static inline RangingFrameProtocol* instance_ = nullptr;

    static bool nodeOrAnchor(qint8 role) { return role == 0 || role == 1; }

    // The items of (role, id), made on first sight: dis[A_3](m) and so on.
    const NodeItems& itemsOf(qint8 role, Id id)
    {
        QMap<Id, NodeItems>& byId = nodeItems[role];
        auto it = byId.find(id);
        if (it == byId.end()) {
            NodeItems made{};
            const QString key = nodeLabel(role, id);
            const QList<FieldDescriptor> fields = Layout::fields();
            for (int k = 0; k < kValues; ++k)
                made[size_t(k)] = createLineItem(makeRecordItemName(fields.at(k), key));
            it = byId.insert(id, made);
        }
        return it.value();
    }
};

// The layout of the frames whose records give one distance and two signal levels
// (node frames 3 and 5): role, id, distance, first-path and received level.
template <typename IdT, quint8 Key>
struct DistanceLevelsLayout
{
    static constexpr quint8 kFrameKey = Key;
    using Frame_t = SenderFrameHead<IdT, kFrameKey>;
#pragma pack(push, 1)
    struct Node_t
    {
        qint8 role = 0;
        IdT id = 0;
        quint8 dis[3] = {0, 0, 0}; // int24, mm
        quint8 fpRssi = 0;         // x -0.5 dB
        quint8 rxRssi = 0;         // x -0.5 dB
    };
#pragma pack(pop)
    static_assert(sizeof(Node_t) == 6 + sizeof(IdT), "packed record");
    static constexpr int kValues = 3;
    static constexpr bool kChecksRole = true;
    static constexpr bool kVoltageFirst = false;
    static QList<FieldDescriptor> fields() { return {Field::dis, Field::fpRssi, Field::rxRssi}; }
    static std::array<float, kValues> values(const Node_t& n)
    {
        return {scaled(readInt24(reinterpret_cast<const char*>(n.dis)), 1000.0f), signalLevelDb(n.fpRssi),
                signalLevelDb(n.rxRssi)};
    }
};

} // namespace Trelvan
