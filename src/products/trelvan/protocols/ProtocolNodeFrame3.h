#pragma once

#include "products/trelvan/protocols/DataFrameProtocol.h"
#include "record/DataExportObserver.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSharedPointer>
#include <QVariant>

class LineResourceItem;

namespace Trelvan {

// Node frame 3 (head 55 05, u16 length): the sender's clocks and voltage, then one
// 7-byte record per node it ranges with: distance and two signal levels.
class ProtocolNodeFrame3 : public DataFrameProtocol, public DataExportObserver
{
    Q_OBJECT
public:
    static constexpr quint8 kFrameKey = 5;
    static constexpr int kFixedPart = 21; // also the minimum length
    static constexpr int kRecordSize = 7;

#pragma pack(push, 1)
    // The fixed part as on the wire, unscaled.
    struct Frame_t
    {
        quint8 head[2] = {kHeadByte, kFrameKey};
        quint16 frameLength = 0;
        qint8 role = 0;
        quint8 id = 0;
        quint32 localTime = 0; // before systemTime in this frame
        quint32 systemTime = 0;
        quint8 reserved[4] = {};
        quint16 voltage = 0; // mV
        quint8 nodeCount = 0;
    };
    struct Node_t
    {
        qint8 role = 0;
        quint8 id = 0;
        quint8 dis[3] = {0, 0, 0}; // int24, mm
        quint8 fpRssi = 0;         // x -0.5 dB
        quint8 rxRssi = 0;         // x -0.5 dB
    };
#pragma pack(pop)
    static_assert(sizeof(Frame_t) == kFixedPart, "packed fixed part of node frame 3");
    static_assert(sizeof(Node_t) == kRecordSize, "packed node record of node frame 3");

    struct Data
    {
        quint32 systemTime = 0;
        qint32 pcTime = 0;
        QByteArray rawFrame;
        Frame_t frame;
        QList<Node_t> nodes;
    };

    struct NodeItems
    {
        LineResourceItem* dis = nullptr;
        LineResourceItem* fpRssi = nullptr;
        LineResourceItem* rxRssi = nullptr;
    };

    static ProtocolNodeFrame3* instance(QObject* parent = nullptr);
    // The singleton when it has been made, else null (never creates it).
    static ProtocolNodeFrame3* existing();
    // Makes the protocol factory create this protocol under its frame name.
    static void registerProtocol();

    void registerDataItems() override;
    void parseFrame(const QByteArray& frame) override;
    QList<QVariant> fillExportRow() override;

    // A record's distance in metres, shared with the page.
    static float disMetres(const Node_t& n);

    ProtocolDataQueue<Data> queue;
    Frame_t frameRecord;
    QList<Node_t> nodes;
    // Frames dropped because their record count reaches past their end.
    int droppedFrames = 0;

    LineResourceItem* localTimeItem = nullptr;
    LineResourceItem* systemTimeItem = nullptr;
    LineResourceItem* voltageItem = nullptr;
    QMap<qint8, QMap<quint8, NodeItems*>> nodeItems;

private:
    explicit ProtocolNodeFrame3(QObject* parent);
    ~ProtocolNodeFrame3() override;
};

} // namespace Trelvan
