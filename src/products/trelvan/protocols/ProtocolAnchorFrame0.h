#pragma once

#include "products/trelvan/protocols/DataFrameProtocol.h"
#include "record/DataExportObserver.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSharedPointer>
#include <QVariant>
#include <QVector>

class BaseResourceItem;
class LineResourceItem;

namespace Trelvan {

// Anchor frame 0 (head 55 00, 896 bytes, ends in 0xEE instead of a checksum): up
// to 30 tag records (id 0xFF marks an empty slot) with position and eight
// distances, then the anchor's clocks, plr, voltage, id and role. Also sent as the
// JSON object "anchor_frame0" while UDP output is on.
class ProtocolAnchorFrame0 : public DataFrameProtocol, public DataExportObserver
{
    Q_OBJECT
public:
    static constexpr quint8 kFrameKey = 0;
    static constexpr int kFrameLength = 896;
    static constexpr int kSlots = 30;
    static constexpr int kRecordSize = 27;
    static constexpr quint8 kTail = 0xEE;
    static constexpr quint8 kEmptyId = 0xFF;

#pragma pack(push, 1)
    struct Node_t
    {
        quint8 id = 0;
        qint8 role = 0;
        quint8 pos[9] = {};  // 3 x int24, mm
        quint16 dis[8] = {}; // cm
    };
    struct Frame_t
    {
        quint8 head[2] = {kHeadByte, kFrameKey};
        Node_t nodes[kSlots];
        quint8 reserved0[67] = {};
        quint32 localTime = 0;
        quint16 plr = 0; // value / 600
        quint8 reserved1[2] = {};
        quint16 voltage = 0; // mV
        quint32 systemTime = 0;
        quint8 id = 0;
        qint8 role = 0;
        quint8 tail = kTail;
    };
#pragma pack(pop)
    static_assert(sizeof(Node_t) == kRecordSize, "packed tag record of anchor frame 0");
    static_assert(sizeof(Frame_t) == kFrameLength, "packed anchor frame 0");

    struct Data
    {
        quint32 systemTime = 0;
        qint32 pcTime = 0;
        QByteArray rawFrame;
        Frame_t frame;
        QList<Node_t> nodes; // the non-empty slots, in slot order
    };

    // The items of one tag: x, y, z; eight distances; its 2D and 3D points.
    struct TagItems
    {
        QVector<LineResourceItem*> pos;
        QVector<LineResourceItem*> dis;
        BaseResourceItem* scatter = nullptr;
        BaseResourceItem* scatter3D = nullptr;
    };

    static ProtocolAnchorFrame0* instance(QObject* parent = nullptr);
    static ProtocolAnchorFrame0* existing();
    // Makes the protocol factory create this protocol under its frame name.
    static void registerProtocol();

    bool verifyFrame(const char* frame) override;
    void registerDataItems() override;
    void parseFrame(const QByteArray& frame) override;
    QList<QVariant> fillExportRow() override;

    // Decoding shared with the page.
    static float posMetres(const Node_t& n, int axis);
    static float disMetres(const Node_t& n, int i);

    ProtocolDataQueue<Data> queue;
    Frame_t frameRecord;
    QList<Node_t> lastNodes;
    LineResourceItem* plrItem = nullptr;
    LineResourceItem* voltageItem = nullptr;
    LineResourceItem* validNodeCountItem = nullptr;
    QMap<quint8, TagItems*> tagItems;

private:
    explicit ProtocolAnchorFrame0(QObject* parent);
    ~ProtocolAnchorFrame0() override;
    void sendJson();
};

} // namespace Trelvan
