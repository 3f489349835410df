#pragma once

#include "products/trelvan/protocols/DataFrameProtocol.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMutex>
#include <QSharedPointer>
#include <QVector>

#include <atomic>

class QTimer;

namespace Trelvan {

class WidgetNodeFrame0Item;

// Node frame 0 (head 55 02, u16 length): data-transmission payloads. The sending
// node names itself, then lists records of (role, id, u16 length, payload bytes)
// that the program does not interpret. Each frame is queued for the "Data
// Transmission" window and sent as the JSON object "node_frame0" while UDP output
// is on. A timer watches for watched ids whose payloads stop (the "DT" check).
// No export, no line items: its one item is the window's special item.
class ProtocolNodeFrame0 : public DataFrameProtocol
{
    Q_OBJECT
public:
    static constexpr quint8 kFrameKey = 2;
    static constexpr int kFixedPart = 11; // also the minimum length
    static constexpr int kRecordHead = 4;
    // The length field is 16 bits: nothing longer can be announced.
    static constexpr int kMaxLength = 65535;
    static constexpr int kDefaultCheckPeriod = 1200;

#pragma pack(push, 1)
    // The frame's first 11 bytes as they stand.
    struct Frame_t
    {
        quint8 head[2] = {kHeadByte, kFrameKey};
        quint16 frameLength = 0;
        qint8 role = 0;
        quint8 id = 0;
        quint8 reserved[4] = {0, 0, 0, 0};
        quint8 nodeCount = 0;
    };
#pragma pack(pop)
    static_assert(sizeof(Frame_t) == kFixedPart, "packed fixed part of node frame 0");

    struct Node_t
    {
        qint8 role = 0;
        quint8 id = 0;
        quint16 dataLength = 0;
        QByteArray data;
    };

    struct Data
    {
        quint32 systemTime = 0; // the frame carries none
        qint32 pcTime = 0;
        QByteArray rawFrame;
        Frame_t frame;
        QList<Node_t> nodes; // every record; views tells which make boxes
        NodeViews views;
    };

    static ProtocolNodeFrame0* instance(QObject* parent = nullptr);
    // The singleton when it has been made, else null (never creates it).
    static ProtocolNodeFrame0* existing();
    // Makes the protocol factory create this protocol under its frame name.
    static void registerProtocol();

    void registerDataItems() override;
    bool recordsFit(const char* frame, qint32 length) const override { return recordsWithinFrame(frame, length); }
    // Each record head and payload lies within the frame, its checksum included.
    static bool recordsWithinFrame(const char* frame, qint32 length);
    void parseFrame(const QByteArray& frame) override;

    // Walks the records of a whole frame (checksum byte included in the bound).
    // False when one of them does not fit.
    static bool decodeRecords(const QByteArray& frame, QList<Node_t>& records);

    // The data-transmission check (GUI thread).
    void setCheckEnabled(bool on);
    void setCheckNodeCount(int count);
    void setCheckPeriod(int ms);
    bool isCheckEnabled() const { return checkEnabled.load(); }
    int checkNodeCountValue() const;
    int checkPeriodValue() const { return checkPeriod; }

    WidgetNodeFrame0Item* viewItem() const { return item; }

    ProtocolDataQueue<Data> queue;
    Frame_t frameRecord;

public slots:
    // Logs the watched ids that sent nothing for longer than one period.
    void checkDataTransmission();

private:
    explicit ProtocolNodeFrame0(QObject* parent);
    ~ProtocolNodeFrame0() override;
    void sendJson(const QList<Node_t>& records);

    WidgetNodeFrame0Item* item = nullptr;
    std::atomic<bool> checkEnabled{false};
    int checkNodeCount = 0;
    int checkPeriod = kDefaultCheckPeriod;
    QVector<QElapsedTimer> nodeTimers;
    QTimer* checkTimer = nullptr;
    mutable QMutex checkMutex;
};

} // namespace Trelvan
