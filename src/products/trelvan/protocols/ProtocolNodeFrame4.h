#pragma once

#include "products/trelvan/protocols/DataFrameProtocol.h"
#include "products/trelvan/protocols/SenderFrameHead.h"
#include "record/DataExportObserver.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSharedPointer>
#include <QVariant>
#include <QVector>

class LineResourceItem;

namespace Trelvan {

// Node frame 4 (head 55 06, u16 length): a sender's clocks and voltage, then one
// entry per tag: its id, its voltage and a counted list of (anchor id, unsigned
// 24-bit distance) sub-records. Entries carry no role: tags are filed under role
// 2 (TAG) whichever node sent the frame.
class ProtocolNodeFrame4 : public DataFrameProtocol, public DataExportObserver
{
    Q_OBJECT
public:
    static constexpr quint8 kFrameKey = 6;
    using Frame_t = SenderFrameHead<quint8, kFrameKey>;
    static constexpr int kFixedPart = int(sizeof(Frame_t)); // 21, also the minimum length
    static constexpr int kEntryHead = 5;                    // id, reserved[2], voltage, count
    static constexpr int kSubRecordSize = 4;
    static constexpr qint8 kTagRole = 2;
    static constexpr qint8 kAnchorRole = 1;
    // The (tag, anchor) pairs with distance items, bounded apart from the tags: every
    // tag of the largest installation the modes allow ranging every anchor of its
    // mode (mode 12: 40 tags x 120 anchors = 4,800 pairs), with room to spare. The
    // tags themselves (8-bit ids) never fill the node bound.
    static constexpr int kMaxPairs = 4840;

    // One tag entry.
    struct Node_t
    {
        quint8 id = 0;
        quint8 reserved[2] = {0, 0};
        quint8 voltage = 0; // 1/20 V
        quint8 count = 0;   // sub-records announced
        // One element per sub-record, its 4 bytes little-endian: bits 0-7 the
        // anchor id, bits 8-31 the distance in mm (unsigned).
        QVector<quint32> disList;
    };

    using Data = NodeFrameData<Frame_t, Node_t>;

    struct TagItems
    {
        LineResourceItem* voltage = nullptr;
        QMap<quint8, LineResourceItem*> distances; // by anchor id
    };

    static ProtocolNodeFrame4* instance(QObject* parent = nullptr);
    // The singleton when it has been made, else null (never creates it).
    static ProtocolNodeFrame4* existing();
    // Makes the protocol factory create this protocol under its frame name.
    static void registerProtocol();

    void registerDataItems() override;
    bool recordsFit(const char* frame, qint32 length) const override;
    void parseFrame(const QByteArray& frame) override;
    QList<QVariant> fillExportRow() override;

    // Decoding shared with the page (the page scales from the raw entry).
    static float tagVoltage(const Node_t& n) { return float(n.voltage) / 20.0f; }
    static quint8 anchorOf(quint32 subRecord) { return quint8(subRecord & 0xFF); }
    static float distanceMetres(quint32 subRecord) { return float(subRecord >> 8) / 1000.0f; }
    // "1: 2.5,3: 10.25": anchor id and distance in m per sub-record; empty without any.
    static QString distanceText(const Node_t& n);

    ProtocolDataQueue<Data> queue;
    Frame_t frameRecord;
    QList<Node_t> nodes;

    LineResourceItem* localTimeItem = nullptr;
    LineResourceItem* systemTimeItem = nullptr;
    LineResourceItem* voltageItem = nullptr;
    QMap<qint8, QMap<quint8, TagItems*>> nodeItems;

private:
    explicit ProtocolNodeFrame4(QObject* parent);
    ~ProtocolNodeFrame4() override;

    TagItems* tagItems(quint8 tagId);
    // The distance item of (tag, anchor), made on first sight; null for a pair beyond
    // the pair bound (its distance stays in the data, without an item).
    LineResourceItem* distanceItem(TagItems* items, quint8 tagId, quint8 anchor);
    QList<BaseResourceItem*> takeNodeItems(qint8 role, quint64 id) override;
    // Drops the distance items of the pairs that gave up their place.
    void settlePairEvictions();

    NodeBound pairBound_{kMaxPairs};
};

} // namespace Trelvan
