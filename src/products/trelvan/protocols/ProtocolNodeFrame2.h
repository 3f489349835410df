#pragma once

#include "products/trelvan/protocols/TagMotionProtocol.h"
#include "products/trelvan/protocols/TrelvanNaming.h"
#include "record/DataExportObserver.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSharedPointer>
#include <QVariant>

#include <array>

class AttitudeResourceItem;
class BaseResourceItem;
class LineResourceItem;

namespace Trelvan {

// Node frame 2 (head 55 04, u16 length): the sending node's whole navigation
// state (position, velocity, rates, accelerations, angles, quaternion, eop,
// voltage, two clocks) followed by one 13-byte record per node it ranged with.
class ProtocolNodeFrame2 : public TagMotionProtocol, public DataExportObserver
{
    Q_OBJECT
public:
    static constexpr quint8 kFrameKey = 4;
    static constexpr int kFixedPart = 119; // also the minimum length
    static constexpr int kRecordSize = 13;

#pragma pack(push, 1)
    // The fixed part as on the wire, unscaled.
    struct Frame_t
    {
        quint8 head[2] = {kHeadByte, kFrameKey};
        quint16 frameLength = 0;
        quint8 role = 0;
        quint8 id = 0;
        quint32 systemTime = 0;
        quint8 eop[3] = {0, 0, 0};  // 1/100 m
        quint8 pos[9] = {};         // 3 x int24, mm
        quint8 vel[9] = {};         // 3 x int24, 1/10000 m/s
        quint8 r012[9] = {};        // r0, r1, r2: 3 x int24, unscaled
        float g[3] = {0, 0, 0};     // rad/s
        float a[3] = {0, 0, 0};     // m/s^2
        float r456[3] = {0, 0, 0};
        qint16 angle[3] = {0, 0, 0}; // 1/100 deg
        float q[4] = {0, 0, 0, 0};
        float r7 = 0;
        quint32 localTime = 0;
        float r8 = 0;
        float r9 = 0;
        quint16 plr = 0;     // value / 600
        quint16 voltage = 0; // mV
        quint8 nodeCount = 0;
    };
    // One ranged node.
    struct Node_t
    {
        qint8 role = 0;
        quint8 id = 0;
        quint8 dis[3] = {0, 0, 0}; // int24, mm
        quint8 fpRssi = 0;         // x -0.5 dB
        quint8 rxRssi = 0;         // x -0.5 dB
        quint8 reserved[6] = {};
    };
#pragma pack(pop)
    static_assert(sizeof(Frame_t) == kFixedPart, "packed fixed part of node frame 2");
    static_assert(sizeof(Node_t) == kRecordSize, "packed node record of node frame 2");

    using Data = NodeFrameData<Frame_t, Node_t>;

    struct NodeItems
    {
        LineResourceItem* dis = nullptr;
        LineResourceItem* fpRssi = nullptr;
        LineResourceItem* rxRssi = nullptr;
    };

    static ProtocolNodeFrame2* instance(QObject* parent = nullptr);
    // The singleton when it has been made, else null (never creates it).
    static ProtocolNodeFrame2* existing();
    // Makes the protocol factory create this protocol under its frame name.
    static void registerProtocol();

    void registerDataItems() override;
    bool recordsFit(const char* frame, qint32 length) const override;
    void parseFrame(const QByteArray& frame) override;
    QList<QVariant> fillExportRow() override;

    // Decoding helpers shared with the page (the page scales from the raw record).
    // A record's values, scaled, in item, box and export order, and their fields.
    static QList<FieldDescriptor> recordFields();
    static std::array<float, 3> recordValues(const Node_t& n);
    static QVector<float> posMetres(const Frame_t& f);
    static QVector<float> velMetresPerSecond(const Frame_t& f);
    static QVector<float> angleDegrees(const Frame_t& f);
    static QVector<float> eopMetres(const Frame_t& f);
    static qint32 reservedInt(const Frame_t& f, int i); // r0, r1, r2

    ProtocolDataQueue<Data> queue;
    Frame_t frameRecord;
    QList<Node_t> nodes;

    // Frame-level items (null until registered, or when the page lacks the type).
    LineResourceItem* plrItem = nullptr;
    QVector<LineResourceItem*> rItems;     // r0 r1 r2 r4 r5 r6 r7 r8 r9
    LineResourceItem* systemTimeItem = nullptr;
    LineResourceItem* voltageItem = nullptr;
    QMap<qint8, QMap<quint8, NodeItems*>> nodeItems;

private:
    explicit ProtocolNodeFrame2(QObject* parent);
    ~ProtocolNodeFrame2() override;
    QList<BaseResourceItem*> takeNodeItems(qint8 role, quint64 id) override;
};

} // namespace Trelvan
