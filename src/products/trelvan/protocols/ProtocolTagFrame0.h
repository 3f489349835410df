#pragma once

#include "products/trelvan/protocols/TagMotionProtocol.h"
#include "record/DataExportObserver.h"

#include <QList>
#include <QSharedPointer>
#include <QVariant>
#include <QVector>

#include <array>

class BaseResourceItem;
class LineResourceItem;

namespace Trelvan {

// Tag frame 0 (head 55 01, 128 bytes, sum check): a tag's own state — position,
// velocity, distances to eight anchors, rates, accelerations, angles, quaternion,
// two clocks, voltage and a few values carried as they are. No records.
class ProtocolTagFrame0 : public TagMotionProtocol, public DataExportObserver
{
    Q_OBJECT
public:
    static constexpr quint8 kFrameKey = 1;
    static constexpr int kFrameLength = 128;

#pragma pack(push, 1)
    // The whole frame as on the wire, unscaled.
    struct Frame_t
    {
        quint8 head[2] = {kHeadByte, kFrameKey};
        quint8 id = 0;
        quint8 reserved = 0;
        quint8 pos[9] = {};  // 3 x int24, mm
        quint8 vel[9] = {};  // 3 x int24, 1/10000 m/s
        quint8 dis[24] = {}; // 8 x int24, mm
        float g[3] = {0, 0, 0}; // rad/s
        float a[3] = {0, 0, 0}; // m/s^2
        float r0 = 0;
        float r1 = 0;
        float r2 = 0;
        qint16 angle[3] = {0, 0, 0}; // 1/100 deg
        float q[4] = {0, 0, 0, 0};
        float r4 = 0;
        quint32 localTime = 0;
        quint32 systemTime = 0;
        quint8 r5 = 0;
        quint8 eop[3] = {0, 0, 0}; // 1/100 m
        quint16 voltage = 0;       // mV
        quint16 r6 = 0;
        quint16 plr = 0; // value / 600
        quint8 r7 = 0;
        quint8 checkSum = 0;
    };
#pragma pack(pop)
    static_assert(sizeof(Frame_t) == kFrameLength, "packed tag frame 0");

    struct Data
    {
        quint32 systemTime = 0;
        Frame_t frame;
    };

    static ProtocolTagFrame0* instance(QObject* parent = nullptr);
    // The singleton when it has been made, else null (never creates it).
    static ProtocolTagFrame0* existing();
    // Makes the protocol factory create this protocol under its frame name.
    static void registerProtocol();

    void registerDataItems() override;
    void parseFrame(const QByteArray& frame) override;
    QList<QVariant> fillExportRow() override;

    // Scaled values of a frame, shared with the page (which scales from the raw frame).
    static std::array<float, 3> posMetres(const Frame_t& f);
    static std::array<float, 3> velMetresPerSecond(const Frame_t& f);
    static std::array<float, 8> disMetres(const Frame_t& f);
    static std::array<float, 3> angleDegrees(const Frame_t& f);
    static std::array<float, 3> eopMetres(const Frame_t& f);
    static float plrValue(const Frame_t& f);
    static float voltageVolts(const Frame_t& f);

    ProtocolDataQueue<Data> queue;
    Frame_t frameRecord;

    // Items (null until registered, or when the page lacks the type); the motion
    // items are TagMotionProtocol's.
    LineResourceItem* plrItem = nullptr;
    QVector<LineResourceItem*> rFloatItems; // r0 r1 r2 r4
    QVector<LineResourceItem*> rIntItems;   // r5 r6 r7
    QVector<LineResourceItem*> disItems;
    LineResourceItem* voltageItem = nullptr;

private:
    explicit ProtocolTagFrame0(QObject* parent);
    ~ProtocolTagFrame0() override;
};

} // namespace Trelvan
