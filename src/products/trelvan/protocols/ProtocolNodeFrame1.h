#pragma once

#include "products/trelvan/protocols/DataFrameProtocol.h"
#include "record/DataExportObserver.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSharedPointer>
#include <QVariant>

#include <array>

class BaseResourceItem;
class LineResourceItem;

namespace Trelvan {

// Node frame 1 (head 55 03, u16 length): the sender's clocks and voltage, then one
// 20-byte record per node with that node's position.
class ProtocolNodeFrame1 : public DataFrameProtocol, public DataExportObserver
{
    Q_OBJECT
public:
    static constexpr quint8 kFrameKey = 3;
    static constexpr int kFixedPart = 27; // also the minimum length
    static constexpr int kRecordSize = 20;

#pragma pack(push, 1)
    // The fixed part as on the wire, unscaled.
    struct Frame_t
    {
        quint8 head[2] = {kHeadByte, kFrameKey};
        quint16 frameLength = 0;
        qint8 role = 0;
        quint8 id = 0;
        quint32 systemTime = 0; // before localTime in this frame
        quint32 localTime = 0;
        quint8 reserved[10] = {};
        quint16 voltage = 0; // mV
        quint8 nodeCount = 0;
    };
    struct Node_t
    {
        qint8 role = 0;
        quint8 id = 0;
        quint8 pos[9] = {}; // 3 x int24, mm
        quint8 reserved[9] = {};
    };
#pragma pack(pop)
    static_assert(sizeof(Frame_t) == kFixedPart, "packed fixed part of node frame 1");
    static_assert(sizeof(Node_t) == kRecordSize, "packed node record of node frame 1");

    using Data = NodeFrameData<Frame_t, Node_t>;

    struct NodeItems
    {
        LineResourceItem* pos[3] = {nullptr, nullptr, nullptr};
        BaseResourceItem* scatter = nullptr;
        BaseResourceItem* scatter3D = nullptr;
        bool charted = false; // scatter items asked for (the node has a chart place)
    };

    // A chart place turns over at most once per this time on average: each turn
    // frees and makes a node's 2D and 3D series.
    static constexpr qint64 kChartTurnEveryMs = 100;

    static ProtocolNodeFrame1* instance(QObject* parent = nullptr);
    // The singleton when it has been made, else null (never creates it).
    static ProtocolNodeFrame1* existing();
    // Makes the protocol factory create this protocol under its frame name.
    static void registerProtocol();

    void registerDataItems() override;
    bool recordsFit(const char* frame, qint32 length) const override;
    void parseFrame(const QByteArray& frame) override;
    QList<QVariant> fillExportRow() override;

    // A record's position in metres, shared with the page.
    static std::array<float, 3> posMetres(const Node_t& n);

    ProtocolDataQueue<Data> queue;
    Frame_t frameRecord;
    QList<Node_t> nodes;

    LineResourceItem* voltageItem = nullptr;
    QMap<qint8, QMap<quint8, NodeItems*>> nodeItems;

private:
    explicit ProtocolNodeFrame1(QObject* parent);
    ~ProtocolNodeFrame1() override;
    QList<BaseResourceItem*> takeNodeItems(qint8 role, quint64 id) override;
    // Frees the chart items of the nodes that gave up their chart place.
    void settleChartEvictions();

    // The nodes charted in 2D and 3D, the costly views: no more than the largest
    // installation, the ones seen most recently.
    NodeBound chartBound_{largestInstallation(), -1, kChartTurnEveryMs};
    QString chartLogName_;
};

} // namespace Trelvan
